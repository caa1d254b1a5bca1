// Lights and face state: the library's fixed light colours, light placement with an
// optional marker point, two-sided lighting and back-face culling.
#include <GL/gl.h>

#include "lumora/render.h"

namespace Lumora {

float AmbientLight[4] = {0.5f, 0.5f, 0.5f, 1.0f};  // ambient colour of lights; set by programs
float DiffuseLight[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // diffuse colour of lights; set by programs
float SpecularLight[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // specular colour of lights; set by programs
float LightPosition[4] = {0, 0, 0, 0}; // last light position; SetGLLight, PutGLPointLight

void SetGLLight(uint32_t nLight, float L0, float L1, float L2, float L3) {
    glEnable(GL_LIGHTING);
    glLightfv(nLight, GL_AMBIENT, AmbientLight);
    glLightfv(nLight, GL_DIFFUSE, DiffuseLight);
    glLightfv(nLight, GL_SPECULAR, SpecularLight);
    glEnable(nLight);
    LightPosition[0] = L0;
    LightPosition[1] = L1;
    LightPosition[2] = L2;
    LightPosition[3] = L3;
    glLightfv(nLight, GL_POSITION, LightPosition);
}

void PutGLPointLight(uint32_t nLight, float Size, float LX, float LY, float LZ, float LVal) {
    LightPosition[0] = LX;
    LightPosition[1] = LY;
    LightPosition[2] = LZ;
    LightPosition[3] = LVal;
    glLightfv(nLight, GL_POSITION, LightPosition);
    if (Size != 0.0f) {
        glPointSize(Size);
        glBegin(GL_POINTS);
        glNormal3f(0.0f, 0.0f, 1.0f);
        glVertex3f(LightPosition[0], LightPosition[1], LightPosition[2]);
        glEnd();
    }
}

void TwoSideOn() {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}

void TwoSideOff() {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

void SetGLRefractive() {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
}

} // namespace Lumora
