// The cloud demo's own state and routines: three seeded layers, the selected cloud type and
// layer, the S-key frame counter, start-up and the frame.
#pragma once

#include <cstdint>

#include "lumora/types.h"

namespace CloudsDemo {

constexpr int32_t LayerSize = 1000; // emitters per layer, indices 0..999

// The three cloud layers: zero-filled static storage, seeded once at start-up.
extern Lumora::TGLFX_Particle Nubi1[LayerSize];
extern Lumora::TGLFX_Particle Nubi2[LayerSize];
extern Lumora::TGLFX_Particle Nubi3[LayerSize];

extern int32_t SelTipoNube; // cloud type 0..6, written by the keyboard step of the frame
extern int32_t SelNube;     // 0..2 one layer, 3 all three; written by the keyboard step
extern int32_t Timer;       // frames with S held, 0..9 between frames

// The demo's fixed values.
extern const char* const QuestionText;    // "Settare lo schermo intero?  "
extern const char* const QuestionCaption; // "Video!"
extern const char* const WindowTitle;
extern const char* const TextureFile; // "CloudsParticles4.tga"
constexpr int32_t WindowWidth = 800;
constexpr int32_t WindowHeight = 600;
constexpr int32_t WindowBits = 32;
constexpr double SceneDepth = 100.0;
constexpr double SkyA = 0.0, SkyR = 0.46484375, SkyG = 0.73046875, SkyB = 0.99609375;

// Start-up steps after the window exists: texture into slot 0, then the three layers.
void OpenGL_Texture();
void OpenGL_CreateList();

// One frame: clears, projection, keys, camera, light, ground, clouds.
void OpenGL_Draw();
void OpenGL_Draw2D();
void OpenGL_Mouse2D();
void OpenGL_Keyboard();
void Quad(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3,
          float X4, float Y4, float Z4);

// The whole program: question, window, start-up, frame loop, shutdown. Returns the exit code.
int RunCloudsDemo();

} // namespace CloudsDemo
