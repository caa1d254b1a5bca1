// Pixel formats, GL rendering contexts and buffer swaps over SDL's GL functions. A format
// request is met by the nearest configuration this system can really give.
#include <algorithm>
#include <map>
#include <vector>

#include "gl_compositor.h"
#include "handles.h"
#include "platform/win_gl.h"
#include "window_tree.h"

namespace platform {

namespace {

struct PixelFormat {
    sdl::GlAttributes gl;
};

struct GlContext {
    void* sdlContext = nullptr;
    uint32_t sdlId = 0; // the SDL window the context was made on
};

std::vector<PixelFormat> g_formats;        // chosen formats; index + 1 is the format number
HandleTable<GlContext> g_contexts;         // live rendering contexts
HGLRC g_current = 0;                       // the context current on this thread
std::map<std::vector<int>, bool> g_probes; // attribute sets already tried on this display

std::vector<int> KeyOf(const sdl::GlAttributes& a) {
    return {a.red,      a.green,      a.blue,      a.alpha,      a.depth,  a.stencil,
            a.accumRed, a.accumGreen, a.accumBlue, a.accumAlpha, a.stereo, a.doubleBuffer};
}

bool Works(const sdl::GlAttributes& a) {
    const auto key = KeyOf(a);
    auto it = g_probes.find(key);
    if (it != g_probes.end()) return it->second;
    const bool ok = sdl::ProbeGlAttributes(a);
    g_probes.emplace(key, ok);
    return ok;
}

// Sizes to try for one attribute, largest first, none above the request.
std::vector<int> Ladder(int requested, std::initializer_list<int> steps) {
    std::vector<int> out{requested};
    for (int s : steps)
        if (s < requested) out.push_back(s);
    if (requested > 0) out.push_back(0);
    return out;
}

void SetAccum(sdl::GlAttributes& a, int perChannel) {
    a.accumRed = a.accumGreen = a.accumBlue = a.accumAlpha = perChannel;
}

bool Choose(const PIXELFORMATDESCRIPTOR& pfd, sdl::GlAttributes& out) {
    sdl::GlAttributes want;
    const int colour = pfd.cColorBits;
    want.red = want.green = want.blue = colour > 0 && colour < 24 ? 5 : 8;
    if (colour > 0 && colour < 24) want.green = 6;
    want.alpha = pfd.cAlphaBits;
    want.depth = pfd.cDepthBits;
    want.stencil = pfd.cStencilBits;
    SetAccum(want, pfd.cAccumBits > 0 ? std::max(1, pfd.cAccumBits / 4) : 0);
    want.stereo = (pfd.dwFlags & PFD_STEREO) != 0;
    want.doubleBuffer = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    // Auxiliary buffers cannot be asked for through SDL; they are the first thing dropped.
    if (Works(want)) {
        out = want;
        return true;
    }

    // Find, for each attribute alone, the most this system gives, then put them together.
    sdl::GlAttributes minimal = want;
    minimal.alpha = minimal.depth = minimal.stencil = 0;
    SetAccum(minimal, 0);
    minimal.stereo = false;
    if (!Works(minimal)) {
        minimal.doubleBuffer = !minimal.doubleBuffer;
        if (!Works(minimal)) return false;
    }
    sdl::GlAttributes pick = minimal;
    if (want.stereo) {
        sdl::GlAttributes t = minimal;
        t.stereo = true;
        pick.stereo = Works(t);
    }
    // The largest size on an attribute's ladder that works with all else at its minimum.
    const auto largest = [&](int requested, std::initializer_list<int> steps, auto set) {
        for (int v : Ladder(requested, steps)) {
            sdl::GlAttributes t = minimal;
            set(t, v);
            if (v == 0 || Works(t)) {
                set(pick, v);
                return;
            }
        }
    };
    largest(want.accumRed, {16, 8}, [](sdl::GlAttributes& a, int v) { SetAccum(a, v); });
    largest(want.stencil, {8, 4, 1}, [](sdl::GlAttributes& a, int v) { a.stencil = v; });
    largest(want.depth, {24, 16}, [](sdl::GlAttributes& a, int v) { a.depth = v; });
    largest(want.alpha, {8, 1}, [](sdl::GlAttributes& a, int v) { a.alpha = v; });
    // Together they may still not fit: give up stereo, accumulation, then stencil, depth
    // and alpha sizes, in that order, one step at a time.
    while (!Works(pick)) {
        if (pick.stereo)
            pick.stereo = false;
        else if (pick.accumRed > 0)
            SetAccum(pick, pick.accumRed > 8 ? 8 : 0);
        else if (pick.stencil > 0)
            pick.stencil = pick.stencil > 8 ? 8 : 0;
        else if (pick.depth > 0)
            pick.depth = pick.depth > 24 ? 24 : pick.depth > 16 ? 16 : 0;
        else if (pick.alpha > 0)
            pick.alpha = pick.alpha > 8 ? 8 : 0;
        else
            return false;
    }
    out = pick;
    return true;
}

Window* TopLevelOfDC(HDC dc) {
    Window* w = FindWindow(gdi::WindowOfDC(dc));
    return w && !w->parent && w->sdlId ? w : nullptr;
}

} // namespace

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (!pfd || !TopLevelOfDC(dc)) return 0;
    sdl::GlAttributes gl;
    if (!Choose(*pfd, gl)) return 0;
    for (size_t i = 0; i < g_formats.size(); ++i)
        if (g_formats[i].gl == gl) return static_cast<int>(i + 1);
    g_formats.push_back(PixelFormat{gl});
    return static_cast<int>(g_formats.size());
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    Window* w = TopLevelOfDC(dc);
    if (!w || format <= 0 || format > static_cast<int>(g_formats.size())) return FALSE;
    // A window's format is set once, as on Windows.
    if (w->pixelFormat != 0) return w->pixelFormat == format ? TRUE : FALSE;
    const sdl::GlAttributes& gl = g_formats[format - 1].gl;
    if (!(w->gl == gl) && !RecreateSdlWindow(w, gl)) return FALSE;
    w->pixelFormat = format;
    return TRUE;
}

int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* pfd) {
    if (!TopLevelOfDC(dc)) return 0;
    const int count = static_cast<int>(g_formats.size());
    if (format <= 0 || format > count || !pfd || bytes < sizeof(PIXELFORMATDESCRIPTOR))
        return count;
    const sdl::GlAttributes& gl = g_formats[format - 1].gl;
    *pfd = PIXELFORMATDESCRIPTOR{};
    pfd->nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd->nVersion = 1;
    pfd->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                   (gl.doubleBuffer ? PFD_DOUBLEBUFFER : 0) | (gl.stereo ? PFD_STEREO : 0);
    pfd->iPixelType = PFD_TYPE_RGBA;
    pfd->cRedBits = static_cast<BYTE>(gl.red);
    pfd->cGreenBits = static_cast<BYTE>(gl.green);
    pfd->cBlueBits = static_cast<BYTE>(gl.blue);
    pfd->cAlphaBits = static_cast<BYTE>(gl.alpha);
    pfd->cColorBits = static_cast<BYTE>(gl.red + gl.green + gl.blue);
    pfd->cAccumRedBits = static_cast<BYTE>(gl.accumRed);
    pfd->cAccumGreenBits = static_cast<BYTE>(gl.accumGreen);
    pfd->cAccumBlueBits = static_cast<BYTE>(gl.accumBlue);
    pfd->cAccumAlphaBits = static_cast<BYTE>(gl.accumAlpha);
    pfd->cAccumBits = static_cast<BYTE>(gl.accumRed + gl.accumGreen + gl.accumBlue + gl.accumAlpha);
    pfd->cDepthBits = static_cast<BYTE>(gl.depth);
    pfd->cStencilBits = static_cast<BYTE>(gl.stencil);
    pfd->iLayerType = PFD_MAIN_PLANE;
    return count;
}

HGLRC wglCreateContext(HDC dc) {
    Window* w = TopLevelOfDC(dc);
    if (!w || w->pixelFormat == 0) return 0;
    void* context = sdl::CreateGlContext(w->sdlId, w->gl);
    if (!context) return 0;
    auto record = std::make_unique<GlContext>();
    record->sdlContext = context;
    record->sdlId = w->sdlId;
    NoteContextCreated(w->sdlId);
    return g_contexts.Add(std::move(record));
}

BOOL wglMakeCurrent(HDC dc, HGLRC rc) {
    if (rc == 0) {
        // Releasing needs no device context; the window may be gone already.
        sdl::MakeGlCurrent(0, nullptr);
        g_current = 0;
        return TRUE;
    }
    GlContext* c = g_contexts.Find(rc);
    Window* w = TopLevelOfDC(dc);
    if (!c || !w) return FALSE;
    if (!sdl::MakeGlCurrent(w->sdlId, c->sdlContext)) return FALSE;
    g_current = rc;
    return TRUE;
}

BOOL wglDeleteContext(HGLRC rc) {
    std::unique_ptr<GlContext> c = g_contexts.Take(rc);
    if (!c) return FALSE;
    if (g_current == rc || sdl::CurrentGlContext() == c->sdlContext) {
        sdl::MakeGlCurrent(0, nullptr);
        g_current = 0;
    }
    sdl::DeleteGlContext(c->sdlContext);
    NoteContextDeleted(c->sdlId);
    return TRUE;
}

HGLRC wglGetCurrentContext() {
    return g_contexts.Find(g_current) ? g_current : 0;
}

BOOL SwapBuffers(HDC dc) {
    Window* w = TopLevelOfDC(dc);
    if (!w) return FALSE;
    if (g_current != 0) CompositeChildren(*w);
    sdl::SwapGlWindow(w->sdlId);
    return TRUE;
}

} // namespace platform
