// Camera-facing billboards and sprite-sheet cells: the model-view bracket that drops
// rotation and scale, and the textured square that shows one cell of a grid.
#include <GL/gl.h>

#include "lumora/render.h"

namespace Lumora {

bool LockViewModelScale = true; // cleared for good by LockViewModelScaleOff

void LockViewModelBegin(float X, float Y, float Z) {
    glPushMatrix();
    glTranslatef(X, Y, Z);
    glPushMatrix();
    GLfloat Matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, Matrix);
    // Only the upper-left 3 x 3 block goes: the translation and the bottom row stay, so
    // what follows sits at the eye-space position of (X, Y, Z) and faces the viewer.
    for (uint8_t MX = 0; MX <= 2; ++MX)
        for (uint8_t MY = 0; MY <= 2; ++MY)
            Matrix[MX * 4 + MY] = (MX == MY) ? 1.0f : 0.0f;
    glLoadMatrixf(Matrix);
    if (LockViewModelScale) glScalef(0.1f, 0.1f, 0.1f);
}

void LockViewModelEnd() {
    glPopMatrix();
    glPopMatrix();
}

void LockViewModelScaleOff() {
    LockViewModelScale = false;
}

void FindCharacter(float X, float Y, float PX, float PY, float SX, float SY, int32_t Rows,
                   int32_t Columns) {
    // A grid without cells has no cell to show; drawing nothing beats dividing by zero.
    if (Rows == 0 || Columns == 0) return;

    TGLFX_3DAnimation Anim{};
    Anim.Rows = Rows;
    Anim.Columns = Columns;
    Anim.V.X = static_cast<float>(PX / static_cast<double>(Rows));
    Anim.V.Y = static_cast<float>(PY / static_cast<double>(Columns));

    const double CellW = 1.0 / Anim.Rows;
    const double CellH = 1.0 / Anim.Columns;
    const auto S0 = static_cast<GLfloat>(Anim.V.X);
    const auto S1 = static_cast<GLfloat>(CellW + Anim.V.X);
    const auto T1 = static_cast<GLfloat>(1.0 - Anim.V.Y);
    const auto T0 = static_cast<GLfloat>((1.0 - Anim.V.Y) - CellH);

    glPushMatrix();
    glTranslatef(X, Y, 0.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(S0, T0);
    glVertex3f(-SX, -SY, 0.0f);
    glTexCoord2f(S1, T0);
    glVertex3f(SX, -SY, 0.0f);
    glTexCoord2f(S1, T1);
    glVertex3f(SX, SY, 0.0f);
    glTexCoord2f(S0, T1);
    glVertex3f(-SX, SY, 0.0f);
    glEnd();
    glPopMatrix();
}

} // namespace Lumora
