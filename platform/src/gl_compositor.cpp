// The compositor draws into the program's own GL context, so it saves and restores every
// piece of state it touches, the way an overlay must.
#include "gl_compositor.h"

#include <GL/gl.h>

#include <vector>

namespace platform {

namespace {

// One child's picture as RGBA, fully transparent outside its window region.
std::vector<uint8_t> ChildPixels(const Window& child) {
    const gdi::Surface& s = *child.surface;
    std::vector<uint8_t> rgba(static_cast<size_t>(s.width) * s.height * 4);
    std::vector<uint8_t> mask;
    if (child.region) mask = gdi::RegionMask(child.region, s.width, s.height);
    for (size_t i = 0, n = static_cast<size_t>(s.width) * s.height; i < n; ++i) {
        const uint32_t p = s.pixels[i];
        rgba[i * 4 + 0] = static_cast<uint8_t>(p >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(p >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(p);
        rgba[i * 4 + 3] = mask.empty() || mask[i] ? 255 : 0;
    }
    return rgba;
}

} // namespace

void CompositeChildren(const Window& top) {
    std::vector<HWND> children;
    VisibleChildren(top.handle, children);
    std::vector<const Window*> shown;
    for (HWND h : children) {
        const Window* c = FindWindow(h);
        if (c && c->painted && c->surface && c->width > 0 && c->height > 0) shown.push_back(c);
    }
    if (shown.empty()) return;

    GLint matrixMode = GL_MODELVIEW;
    GLint boundTexture = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, top.width, top.height, 0, -1, 1);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glViewport(0, 0, top.width, top.height);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glDisable(GL_TEXTURE_1D);
    // A program's clip planes, logic op or stipple would cut into or recolour the buttons.
    for (int i = 0; i < 6; ++i)
        glDisable(static_cast<GLenum>(GL_CLIP_PLANE0 + i));
    glDisable(GL_COLOR_LOGIC_OP);
    glDisable(GL_POLYGON_STIPPLE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    // Pixel transfer scales and biases would alter the pictures on their way in.
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    for (GLenum scale : {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE})
        glPixelTransferf(scale, 1.0f);
    for (GLenum bias : {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS})
        glPixelTransferf(bias, 0.0f);
    glColor4f(1, 1, 1, 1);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    for (const Window* c : shown) {
        const std::vector<uint8_t> rgba = ChildPixels(*c);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, c->width, c->height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     rgba.data());
        int x = 0, y = 0;
        OriginInTopLevel(c, x, y);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2i(x, y);
        glTexCoord2f(0, 1);
        glVertex2i(x, y + c->height);
        glTexCoord2f(1, 1);
        glVertex2i(x + c->width, y + c->height);
        glTexCoord2f(1, 0);
        glVertex2i(x + c->width, y);
        glEnd();
    }
    glDeleteTextures(1, &texture);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

} // namespace platform
