// The demo's frame: clears and projection, the cloud-selection keys, camera and light,
// the orange ground square and the selected cloud layer or layers.
#include <GL/gl.h>

#include "demo.h"
#include "lumora/render.h"
#include "lumora/textures.h"
#include "lumora/window.h"
#include "zeph_games/clouds.h"

namespace CloudsDemo {

using namespace Lumora;
using namespace Zeph_Games;

namespace {

constexpr int32_t SheetRows = 8;      // sprite-sheet cells across
constexpr int32_t SheetColumns = 4;   // sprite-sheet cells down
constexpr int32_t LayerStepFrame = 7; // held frame in which S first steps the layer
constexpr int32_t LayerRepeat = 10;   // held frames between later steps

} // namespace

void OpenGL_Draw2D() {
    // The orthographic set-up is replaced at once; the frame draws with OpenGL_Init's state.
    OpenGL_I2D(0.0, 0.0, 0.0, 0.0);
    OpenGL_Init(SceneDepth, SkyA, SkyR, SkyG, SkyB);
}

void OpenGL_Mouse2D() {}

void OpenGL_Keyboard() {
    // Tested in order, so with several digits held the highest wins.
    for (char Digit = '1'; Digit <= '7'; ++Digit)
        if (SetGLKey(Digit)) SelTipoNube = Digit - '1';

    if (SetGLKey('S')) {
        ++Timer;
        if (Timer == LayerStepFrame) ++SelNube;
        if (Timer >= LayerRepeat) Timer = 0;
    } else {
        Timer = 0;
    }
    if (SelNube > 3) SelNube = 0;
}

void Quad(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3,
          float X4, float Y4, float Z4) {
    TwoSideOn();
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    FindNormal(X2, Y2, Z2, X1, Y1, Z1, X3, Y3, Z3);
    glNormal3f(static_cast<GLfloat>(FNormal[1]), static_cast<GLfloat>(FNormal[2]),
               static_cast<GLfloat>(FNormal[3]));
    LineFree(1, 1, 0, 1, X2, Y2, Z2, X1, Y1, Z1, true);
    LineFree(0, 0, 1, 0, X3, Y3, Z3, X4, Y4, Z4, true);
    glEnd();
    glEnable(GL_CULL_FACE);
    TwoSideOff();
}

void OpenGL_Draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    OpenGL_Draw2D();
    OpenGL_Mouse2D();
    OpenGL_Keyboard();

    glTranslatef(0.0f, 0.0f, -30.0f);
    glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
    SetGLMouseMove(0, 2);
    // w = 0.1 puts the light at (0, 100, 0) in the view just set up; no marker.
    PutGLPointLight(GL_LIGHT0, 0.0f, 0.0f, 10.0f, 0.0f, 0.1f);

    // The ground is flat orange: no texture, no light.
    TextureOff();
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 0.4f, 0.0f);
    glPushMatrix();
    glTranslatef(0.0f, -8.0f, 0.0f);
    Quad(-10, 0, -10, 10, 0, -10, -10, 0, 10, 10, 0, 10);
    glPopMatrix();

    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_LIGHTING);
    TextureOn();
    TextureTGASelectID(0);
    glPushMatrix();
    glTranslatef(0.0f, -3.0f, 0.0f);
    switch (SelNube) {
    case 0:
        GenClouds(Nubi1, SelTipoNube, SheetRows, SheetColumns);
        break;
    case 1:
        GenClouds(Nubi2, SelTipoNube, SheetRows, SheetColumns);
        break;
    case 2:
        GenClouds(Nubi3, SelTipoNube, SheetRows, SheetColumns);
        break;
    case 3:
        GenClouds(Nubi1, SelTipoNube, SheetRows, SheetColumns);
        GenClouds(Nubi2, SelTipoNube, SheetRows, SheetColumns);
        GenClouds(Nubi3, SelTipoNube, SheetRows, SheetColumns);
        break;
    default:
        break;
    }
    glPopMatrix();
}

} // namespace CloudsDemo
