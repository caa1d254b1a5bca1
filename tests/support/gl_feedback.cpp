// Geometry capture in GL feedback mode, and reassembly of Mesa's quad triangles.
#include "gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace test_support {

namespace {

constexpr size_t VertexFloats = 11; // x y z, r g b a, s t r q

FeedbackVertex ReadVertex(const float* p) {
    return FeedbackVertex{p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9], p[10]};
}

bool SameVertex(const FeedbackVertex& a, const FeedbackVertex& b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z && a.S == b.S && a.T == b.T && a.R == b.R &&
           a.G == b.G && a.B == b.B && a.A == b.A;
}

} // namespace

std::vector<FeedbackPrimitive> CaptureFeedback(const std::function<void()>& Draw,
                                               size_t MaxFloats) {
    std::vector<GLfloat> buffer(MaxFloats);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    Draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPrimitive> out;
    if (used < 0) {
        ADD_FAILURE() << "feedback buffer of " << MaxFloats << " floats overflowed";
        return out;
    }
    const size_t n = static_cast<size_t>(used);
    size_t i = 0;
    auto vertices = [&](FeedbackPrimitive& prim, size_t count) {
        for (size_t v = 0; v < count && i + VertexFloats <= n; ++v, i += VertexFloats)
            prim.Vertices.push_back(ReadVertex(&buffer[i]));
    };
    while (i < n) {
        FeedbackPrimitive prim{buffer[i++], {}};
        const auto token = static_cast<GLenum>(prim.Token);
        if (token == GL_POLYGON_TOKEN) {
            const auto count = static_cast<size_t>(buffer[i++]);
            vertices(prim, count);
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            vertices(prim, 1);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            vertices(prim, 2);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
        } else {
            ADD_FAILURE() << "unknown feedback token " << prim.Token;
            break;
        }
        out.push_back(std::move(prim));
    }
    return out;
}

std::vector<std::vector<FeedbackVertex>>
QuadsFromFeedback(const std::vector<FeedbackPrimitive>& Primitives) {
    std::vector<std::vector<FeedbackVertex>> quads;
    for (size_t i = 0; i < Primitives.size(); i += 2) {
        const bool pair = i + 1 < Primitives.size() && Primitives[i].Token == GL_POLYGON_TOKEN &&
                          Primitives[i + 1].Token == GL_POLYGON_TOKEN &&
                          Primitives[i].Vertices.size() == 3 &&
                          Primitives[i + 1].Vertices.size() == 3;
        if (!pair) {
            ADD_FAILURE() << "primitive " << i << " is not the first half of a quad";
            return quads;
        }
        const auto& a = Primitives[i].Vertices;
        const auto& b = Primitives[i + 1].Vertices;
        if (!SameVertex(a[1], b[0]) || !SameVertex(a[2], b[2])) {
            ADD_FAILURE() << "primitives " << i << " and " << i + 1 << " do not share an edge";
            return quads;
        }
        quads.push_back({a[0], a[1], b[1], a[2]});
    }
    return quads;
}

void SetPixelEyeProjection(int Width, int Height) {
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-Width / 2.0, Width / 2.0, -Height / 2.0, Height / 2.0, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

EyePoint EyeFromWindow(const FeedbackVertex& V, int Width, int Height) {
    // Window depth is 0.5 - z / 200 for the default depth range.
    return EyePoint{V.X - Width / 2.0f, V.Y - Height / 2.0f, (0.5f - V.Z) * 200.0f};
}

size_t PolygonCount(const std::vector<FeedbackPrimitive>& Primitives) {
    size_t n = 0;
    for (const auto& p : Primitives)
        n += static_cast<GLenum>(p.Token) == GL_POLYGON_TOKEN;
    return n;
}

} // namespace test_support
