// Rendering support: camera-facing billboards and sprite-sheet cells, projection and clear
// set-up, lights and face state, plane normals and textured vertex pairs.
#pragma once

#include <cstdint>

#include "lumora/types.h"

namespace Lumora {

// ---- billboards and sprite-sheet cells -----------------------------------------------------

// Working record of FindCharacter: the grid and the cell's lower-left texture corner.
struct TGLFX_3DAnimation {
    int32_t Rows;
    int32_t Columns;
    TGLVector V;
    float Pos;
};

extern bool LockViewModelScale; // billboards shrink by 0.1 while set; LockViewModelScaleOff clears

void LockViewModelBegin(float X, float Y, float Z);
void LockViewModelEnd();
void LockViewModelScaleOff();
void FindCharacter(float X, float Y, float PX, float PY, float SX, float SY, int32_t Rows,
                   int32_t Columns);

// ---- projection and clear set-up -----------------------------------------------------------

extern float OffX; // Height div Width less 2.05; written by OpenGL_I2D
extern float OffY; // Height div Width less 1.45; written by OpenGL_I2D

void OpenGL_Init(double Depth, double A, double R, double G, double B);
void OpenGL_I2D(double A, double R, double G, double B);

// ---- lights and face state -----------------------------------------------------------------

extern float AmbientLight[4];  // ambient colour (RGBA) SetGLLight gives; set by programs
extern float DiffuseLight[4];  // diffuse colour (RGBA) SetGLLight gives; set by programs
extern float SpecularLight[4]; // specular colour (RGBA) SetGLLight gives; set by programs
extern float LightPosition[4]; // last position handed to GL by SetGLLight or PutGLPointLight

void SetGLLight(uint32_t nLight, float L0, float L1, float L2, float L3);
void PutGLPointLight(uint32_t nLight, float Size, float LX, float LY, float LZ, float LVal);
void TwoSideOn();
void TwoSideOff();
void SetGLRefractive();

// ---- normals and textured vertex pairs -----------------------------------------------------

extern double FNormal[4]; // last unit normal from FindNormal, x y z at [1] [2] [3]; [0] unused

void FindNormal(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X,
                double V3Y, double V3Z);
void LineFree(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2,
              float Y2, float Z2, bool Texture);

} // namespace Lumora
