// Plane normals and textured vertex pairs for polygons built by hand.
#include <cmath>

#include <GL/gl.h>

#include "lumora/render.h"

namespace Lumora {

double FNormal[4] = {0.0, 0.0, 0.0, 0.0}; // x y z at [1] [2] [3]; written by FindNormal

namespace {

// The length is held as a single, as the normal only feeds glNormal3f; a length that is
// zero at that precision leaves the vector as it is rather than dividing by zero.
void ReduceToUnit(double& X, double& Y, double& Z) {
    float Length = static_cast<float>(std::sqrt(X * X + Y * Y + Z * Z));
    if (Length == 0.0f) Length = 1.0f;
    X = X / Length;
    Y = Y / Length;
    Z = Z / Length;
}

} // namespace

void FindNormal(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X,
                double V3Y, double V3Z) {
    double Temp_V1[4] = {0.0, V1X - V2X, V1Y - V2Y, V1Z - V2Z};
    double Temp_V2[4] = {0.0, V2X - V3X, V2Y - V3Y, V2Z - V3Z};
    FNormal[1] = Temp_V1[2] * Temp_V2[3] - Temp_V1[3] * Temp_V2[2];
    FNormal[2] = Temp_V1[3] * Temp_V2[1] - Temp_V1[1] * Temp_V2[3];
    FNormal[3] = Temp_V1[1] * Temp_V2[2] - Temp_V1[2] * Temp_V2[1];
    ReduceToUnit(FNormal[1], FNormal[2], FNormal[3]);
}

void LineFree(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2,
              float Y2, float Z2, bool Texture) {
    if (Texture) glTexCoord2f(TX1, TY1);
    glVertex3f(X1, Y1, Z1);
    if (Texture) glTexCoord2f(TX2, TY2);
    glVertex3f(X2, Y2, Z2);
}

} // namespace Lumora
