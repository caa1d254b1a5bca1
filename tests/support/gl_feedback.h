// Geometry capture for tests: runs drawing code in GL feedback mode and returns the
// primitives GL was sent, each vertex with window position, colour and texture coordinate.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace test_support {

struct FeedbackVertex {
    float X, Y, Z;      // window coordinates (Z is depth in [0, 1])
    float R, G, B, A;   // colour after lighting
    float S, T, TR, TQ; // texture coordinate
};

struct FeedbackPrimitive {
    float Token;                          // GL_POLYGON_TOKEN, GL_POINT_TOKEN, ...
    std::vector<FeedbackVertex> Vertices; // in the order GL reports them
};

// Runs Draw with GL in feedback mode (GL_3D_COLOR_TEXTURE) and decodes the buffer. A
// buffer too small for what was drawn fails the current test.
std::vector<FeedbackPrimitive> CaptureFeedback(const std::function<void()>& Draw,
                                               size_t MaxFloats = size_t{1} << 22);

// Mesa reports a quad (v0, v1, v2, v3) as the triangles (v0, v1, v3) and (v1, v2, v3);
// this puts such pairs back together in the order the quad was sent. Any primitive
// that is not part of such a pair (a point, a clipped polygon) fails the current test.
std::vector<std::vector<FeedbackVertex>>
QuadsFromFeedback(const std::vector<FeedbackPrimitive>& Primitives);

// Projection for geometry checks: one window unit per eye unit, eye origin at the window's
// centre, eye z from -100 to 100; the viewport covers the window. Leaves the model-view
// matrix current and loaded with the identity.
void SetPixelEyeProjection(int Width, int Height);
// Eye coordinates of a vertex captured under SetPixelEyeProjection.
struct EyePoint {
    float X, Y, Z;
};
EyePoint EyeFromWindow(const FeedbackVertex& V, int Width, int Height);

// Counts polygons only (what filled primitives GL kept after culling and clipping).
size_t PolygonCount(const std::vector<FeedbackPrimitive>& Primitives);

} // namespace test_support
