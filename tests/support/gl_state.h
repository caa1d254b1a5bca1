// GL state read back in one call each, for tests that compare what a routine left behind.
#pragma once

#include <GL/gl.h>

#include <array>

namespace test_support {

using Mat = std::array<GLfloat, 16>; // column-major, as GL keeps it
using Vec4 = std::array<GLfloat, 4>;

inline Mat Matrix(GLenum which) {
    Mat m{};
    glGetFloatv(which, m.data());
    return m;
}

inline Mat ModelView() {
    return Matrix(GL_MODELVIEW_MATRIX);
}

inline GLint Int(GLenum which) {
    GLint v = 0;
    glGetIntegerv(which, &v);
    return v;
}

inline GLfloat Float(GLenum which) {
    GLfloat v = 0;
    glGetFloatv(which, &v);
    return v;
}

inline Vec4 Floats4(GLenum which) {
    Vec4 v{};
    glGetFloatv(which, v.data());
    return v;
}

} // namespace test_support
