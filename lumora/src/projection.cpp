// Projection and clear set-up: the 3D perspective view with the library's default drawing
// state, and the flat orthographic view with its 2D offsets.
#include <GL/gl.h>
#include <GL/glu.h>

#include "lumora/render.h"
#include "lumora/window.h"

namespace Lumora {

float OffX = 0.0f; // Height div Width less 2.05; written by OpenGL_I2D
float OffY = 0.0f; // Height div Width less 1.45; written by OpenGL_I2D

void OpenGL_Init(double Depth, double A, double R, double G, double B) {
    glClearColor(static_cast<GLfloat>(R), static_cast<GLfloat>(G), static_cast<GLfloat>(B),
                 static_cast<GLfloat>(A));
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(Width) / static_cast<double>(Height), 0.1, Depth);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearDepth(Depth);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
}

void OpenGL_I2D(double A, double R, double G, double B) {
    // The offsets divide by the width; a zero-wide window has no 2D view to set up.
    if (Width == 0) return;

    const int32_t q = Height / Width;
    OffX = static_cast<float>(q - 2.05);
    OffY = static_cast<float>(q - 1.45);
    glClearColor(static_cast<GLfloat>(R), static_cast<GLfloat>(G), static_cast<GLfloat>(B),
                 static_cast<GLfloat>(A));
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double Half = static_cast<double>(2 * Height) / static_cast<double>(Width);
    glOrtho(-2.0, 2.0, -Half, Half, -2.0, 2.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_NORMALIZE);
}

} // namespace Lumora
