// Child windows as image buttons use them: mouse routing by capture, rectangle and window
// region; geometry and identity; window regions owned by their window; painting into a
// child's own surface; destruction of a subtree; composition over the GL frame on a swap.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../../platform/src/gdi_internal.h"
#include "../../platform/src/window_tree.h"
#include "gl_test_window.h"
#include "platform/win32.h"
#include "sdl_events.h"

using namespace platform;

namespace {

struct Seen {
    HWND wnd;
    UINT msg;
    WPARAM wParam;
    int x, y;
};
std::vector<Seen> g_seen; // mouse messages and WM_DESTROY, in the order procedures saw them

bool IsMouse(UINT msg) {
    return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONUP;
}

// Paints the memory DC named by the "FILL" property over the whole window; a window
// without one never paints.
LRESULT ChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (IsMouse(msg) || msg == WM_DESTROY)
        g_seen.push_back({wnd, msg, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (msg == WM_PAINT) {
        const HDC fill = GetPropA(wnd, "FILL");
        if (!fill) return 0;
        PAINTSTRUCT ps{};
        const HDC dc = BeginPaint(wnd, &ps);
        RECT r{};
        GetClientRect(wnd, &r);
        BitBlt(dc, 0, 0, r.right, r.bottom, fill, 0, 0, SRCCOPY);
        EndPaint(wnd, &ps);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void RegisterChildClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ChildProc;
    wc.lpszClassName = "ChildTest";
    RegisterClassA(&wc);
}

HWND Child(HWND parent, int x, int y, int w, int h, int id, DWORD style = WS_VISIBLE) {
    return CreateWindowExA(0, "ChildTest", "", WS_CHILD | style, x, y, w, h, parent,
                           static_cast<HMENU>(id), 0, nullptr);
}

// A memory DC holding a 256 x 256 picture of one colour (0x00RRGGBB), more than any
// window here needs.
HDC SolidDC(uint32_t rgb) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 256;
    bi.bmiHeader.biHeight = -256;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, 0, 0);
    for (int i = 0; i < 256 * 256; ++i)
        static_cast<uint32_t*>(bits)[i] = rgb;
    SelectObject(dc, bmp);
    return dc;
}

void Fill(HWND wnd, uint32_t rgb) {
    SetPropA(wnd, "FILL", SolidDC(rgb));
}

// A rectangle with a rectangular hole, in window coordinates.
HRGN RectWithHole(int w, int h, int holeLeft, int holeTop, int holeRight, int holeBottom) {
    const HRGN outer = CreateRectRgn(0, 0, w, h);
    const HRGN hole = CreateRectRgn(holeLeft, holeTop, holeRight, holeBottom);
    CombineRgn(outer, outer, hole, RGN_DIFF);
    DeleteObject(hole);
    return outer;
}

// Takes and dispatches everything pending, paints included.
void PumpAll() {
    MSG m{};
    for (int n = 0; n < 1000 && PeekMessageA(&m, 0, 0, 0, PM_REMOVE); ++n)
        DispatchMessageA(&m);
}

std::vector<Seen> MouseSeen() {
    std::vector<Seen> out;
    for (const Seen& s : g_seen)
        if (IsMouse(s.msg)) out.push_back(s);
    return out;
}

// A 200 x 150 top-level window with:
//   a: (10, 10) 100 x 80, id 1, holding c: (5, 5) 20 x 20, id 3
//   b: (50, 40) 100 x 80, id 2, above a, its window region missing the square (0, 0)-(30, 30)
//   hidden: (0, 100) 50 x 50, id 4, not visible
class ChildWindows : public ::testing::Test {
  public: // the case tables name the windows through member pointers
    void SetUp() override {
        RegisterChildClass();
        top = CreateWindowExA(0, "ChildTest", "top", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, 0, 0, 0,
                              nullptr);
        ASSERT_NE(top, 0u);
        a = Child(top, 10, 10, 100, 80, 1);
        b = Child(top, 50, 40, 100, 80, 2);
        c = Child(a, 5, 5, 20, 20, 3);
        hidden = Child(top, 0, 100, 50, 50, 4, 0);
        ASSERT_TRUE(a && b && c && hidden);
        ASSERT_NE(SetWindowRgn(b, RectWithHole(100, 80, 0, 0, 30, 30), FALSE), 0);
        PumpAll();
        g_seen.clear();
    }
    // Where a pointer move at (x, y) of the top-level's client area lands.
    Seen MoveTo(int x, int y, uint32_t buttons = 0) {
        g_seen.clear();
        test_support::PushMouseMove(top, x, y, buttons);
        PumpAll();
        const std::vector<Seen> mouse = MouseSeen();
        EXPECT_EQ(mouse.size(), 1u) << "at " << x << "," << y;
        return mouse.empty() ? Seen{} : mouse.back();
    }
    HWND top = 0, a = 0, b = 0, c = 0, hidden = 0;
};

TEST_F(ChildWindows, MouseGoesToTheTopmostChildWhoseRectangleAndRegionHoldThePointer) {
    struct Case {
        int x, y;
        HWND ChildWindows::*target;
        int lx, ly;
    };
    const Case cases[] = {
        {15, 15, &ChildWindows::c, 0, 0},         // a grandchild, in its own coordinates
        {12, 12, &ChildWindows::a, 2, 2},         // a outside its child
        {60, 50, &ChildWindows::a, 50, 40},       // b's region has a hole there: a below it
        {90, 80, &ChildWindows::b, 40, 40},       // overlap: the later child lies on top
        {149, 119, &ChildWindows::b, 99, 79},     // b's last pixel
        {150, 119, &ChildWindows::top, 150, 119}, // right edge is exclusive
        {5, 120, &ChildWindows::top, 5, 120},     // a hidden child takes nothing
        {180, 10, &ChildWindows::top, 180, 10},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "pointer at " << k.x << "," << k.y);
        const Seen s = MoveTo(k.x, k.y, SDL_BUTTON_LMASK);
        EXPECT_EQ(s.wnd, this->*k.target);
        EXPECT_EQ(s.msg, WM_MOUSEMOVE);
        EXPECT_EQ(s.x, k.lx);
        EXPECT_EQ(s.y, k.ly);
        EXPECT_EQ(s.wParam & MK_LBUTTON, MK_LBUTTON);
    }
    // Buttons are routed the same way.
    g_seen.clear();
    test_support::PushMouseButton(top, SDL_BUTTON_RIGHT, true, 90, 80);
    PumpAll();
    ASSERT_EQ(MouseSeen().size(), 1u);
    EXPECT_EQ(MouseSeen()[0].wnd, b);
    EXPECT_EQ(MouseSeen()[0].msg, WM_RBUTTONDOWN);
    EXPECT_EQ(MouseSeen()[0].x, 40);
}

TEST_F(ChildWindows, TheCaptureWindowGetsEveryMouseMessageNegativeLeftOfAndAboveIt) {
    SetCapture(c); // c's client origin is (15, 15) in the top-level
    EXPECT_EQ(GetCapture(), c);
    Seen s = MoveTo(180, 140);
    EXPECT_EQ(s.wnd, c);
    EXPECT_EQ(s.x, 165);
    EXPECT_EQ(s.y, 125);
    s = MoveTo(2, 3);
    EXPECT_EQ(s.wnd, c);
    EXPECT_EQ(s.x, -13);
    EXPECT_EQ(s.y, -12);
    s = MoveTo(-20, 200); // outside the top-level altogether
    EXPECT_EQ(s.wnd, c);
    EXPECT_EQ(s.x, -35);
    EXPECT_EQ(s.y, 185);
    g_seen.clear();
    test_support::PushMouseButton(top, SDL_BUTTON_LEFT, true, 90, 80); // over b
    PumpAll();
    ASSERT_EQ(MouseSeen().size(), 1u);
    EXPECT_EQ(MouseSeen()[0].wnd, c);
    EXPECT_EQ(MouseSeen()[0].msg, WM_LBUTTONDOWN);
    EXPECT_EQ(MouseSeen()[0].x, 75);

    // The top-level capturing the mouse takes it from the child under the pointer too.
    SetCapture(top);
    EXPECT_EQ(MoveTo(90, 80).wnd, top);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(MoveTo(90, 80).wnd, b);
}

TEST_F(ChildWindows, GeometryIdentityAndPropertiesFollowEachWindow) {
    RECT topRect{}, r{};
    ASSERT_TRUE(GetWindowRect(top, &topRect));
    ASSERT_TRUE(GetWindowRect(c, &r));
    EXPECT_EQ(r.left, topRect.left + 15);
    EXPECT_EQ(r.top, topRect.top + 15);
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(r.bottom - r.top, 20);

    // Moving a parent carries its children along, in the tree and in the hit tests.
    ASSERT_TRUE(MoveWindow(a, 120, 5, 60, 50, FALSE));
    ASSERT_TRUE(GetWindowRect(c, &r));
    EXPECT_EQ(r.left, topRect.left + 125);
    EXPECT_EQ(r.top, topRect.top + 10);
    ASSERT_TRUE(GetWindowRect(a, &r));
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_EQ(r.bottom - r.top, 50);
    const Seen s = MoveTo(126, 12);
    EXPECT_EQ(s.wnd, c);
    EXPECT_EQ(s.x, 1);
    EXPECT_EQ(s.y, 2);
    EXPECT_EQ(MoveTo(15, 15).wnd, top);

    EXPECT_EQ(GetParent(c), a);
    EXPECT_EQ(GetParent(a), top);
    EXPECT_EQ(GetParent(top), 0u);
    EXPECT_EQ(GetDlgCtrlID(c), 3);
    EXPECT_EQ(GetDlgCtrlID(b), 2);
    EXPECT_EQ(GetDlgCtrlID(top), 0) << "a top-level window has no control id";

    // Each window has its own properties; they go with it.
    ASSERT_TRUE(SetPropA(a, "STATE", 1));
    ASSERT_TRUE(SetPropA(b, "STATE", 2));
    EXPECT_EQ(GetPropA(a, "STATE"), 1u);
    EXPECT_EQ(GetPropA(b, "STATE"), 2u);
    EXPECT_EQ(GetPropA(c, "STATE"), 0u);
    DestroyWindow(b);
    EXPECT_EQ(GetPropA(b, "STATE"), 0u);
    EXPECT_EQ(GetPropA(a, "STATE"), 1u);

    // Stale and 0 handles fail instead of crashing.
    EXPECT_FALSE(GetWindowRect(b, &r));
    EXPECT_FALSE(MoveWindow(b, 0, 0, 1, 1, FALSE));
    EXPECT_EQ(GetParent(b), 0u);
    EXPECT_EQ(GetDlgCtrlID(0), 0);
}

TEST_F(ChildWindows, TheWindowOwnsItsRegionAndDeletesItWhenReplacedOrDestroyed) {
    const size_t base = gdi::LiveGdiObjects(); // b's region is among them
    const HRGN first = CreateRectRgn(0, 0, 10, 10);
    ASSERT_NE(SetWindowRgn(a, first, FALSE), 0);
    const HRGN second = CreateRectRgn(0, 0, 50, 50);
    ASSERT_NE(SetWindowRgn(a, second, FALSE), 0);
    EXPECT_FALSE(DeleteObject(first)) << "replacing the region deleted the old one";
    EXPECT_EQ(gdi::LiveGdiObjects(), base + 1);
    EXPECT_NE(SetWindowRgn(a, second, FALSE), 0) << "setting the same region again keeps it";
    EXPECT_TRUE(PtInRegion(second, 1, 1));
    EXPECT_EQ(SetWindowRgn(a, 0xBAD0, FALSE), 0) << "a bogus handle is refused";
    EXPECT_TRUE(PtInRegion(second, 1, 1)) << "and the window keeps what it had";
    EXPECT_EQ(MoveTo(30, 70).wnd, top) << "a's region ends at (50, 50) in its own coordinates";
    EXPECT_EQ(MoveTo(40, 20).wnd, a);

    // No region: the whole rectangle again.
    ASSERT_NE(SetWindowRgn(a, 0, FALSE), 0);
    EXPECT_FALSE(DeleteObject(second));
    EXPECT_EQ(gdi::LiveGdiObjects(), base);
    EXPECT_EQ(MoveTo(30, 70).wnd, a);

    // Redrawing is asked for only when told.
    MSG m{};
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
    ASSERT_NE(SetWindowRgn(a, CreateRectRgn(0, 0, 5, 5), TRUE), 0);
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    EXPECT_EQ(m.hwnd, a);

    // Destroying the windows deletes their regions: b's and a's new one.
    DestroyWindow(a);
    DestroyWindow(b);
    EXPECT_EQ(gdi::LiveGdiObjects(), base - 1);
}

TEST_F(ChildWindows, AnInvalidChildGetsOneWmPaintThatDrawsIntoItsOwnSurface) {
    Window* child = FindWindow(a);
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child->surface, nullptr);
    EXPECT_FALSE(child->painted) << "a has no picture yet and never began painting";
    Fill(a, 0xC02010);

    InvalidateRect(a, nullptr, FALSE);
    PostMessageA(top, WM_USER, 0, 0);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER) << "paint waits until nothing else is pending";
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    EXPECT_EQ(m.hwnd, a);
    DispatchMessageA(&m);
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE)) << "EndPaint validated the window";
    EXPECT_TRUE(child->painted);
    ASSERT_EQ(child->surface->pixels.size(), 100u * 80u);
    for (uint32_t p : child->surface->pixels)
        ASSERT_EQ(p & 0xFFFFFF, 0xC02010u);

    // UpdateWindow on the parent brings its invalid children up to date at once.
    Fill(b, 0x00FF00);
    InvalidateRect(b, nullptr, FALSE);
    UpdateWindow(top);
    EXPECT_EQ(FindWindow(b)->surface->pixels[0] & 0xFFFFFF, 0x00FF00u);
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));

    // A resized child gets a fresh surface of its new size and is painted again.
    MoveWindow(a, 10, 10, 30, 20, FALSE);
    EXPECT_FALSE(child->painted);
    PumpAll();
    EXPECT_TRUE(child->painted);
    EXPECT_EQ(child->surface->pixels.size(), 30u * 20u);
    EXPECT_EQ(child->surface->pixels.back() & 0xFFFFFF, 0xC02010u);
}

TEST_F(ChildWindows, DestroyingAWindowSendsWmDestroyToItsWholeSubtreeParentFirst) {
    SetCapture(c);
    g_seen.clear();
    ASSERT_TRUE(DestroyWindow(a));
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].wnd, a);
    EXPECT_EQ(g_seen[0].msg, WM_DESTROY);
    EXPECT_EQ(g_seen[1].wnd, c);
    EXPECT_EQ(g_seen[1].msg, WM_DESTROY);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(c));
    EXPECT_TRUE(IsWindow(b));
    EXPECT_EQ(GetCapture(), 0u) << "the capture went with its window";
    EXPECT_EQ(MoveTo(15, 15).wnd, top) << "the parent no longer lists a";

    g_seen.clear();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<HWND> destroyed;
    for (const Seen& s : g_seen)
        if (s.msg == WM_DESTROY) destroyed.push_back(s.wnd);
    EXPECT_EQ(destroyed, (std::vector<HWND>{top, b, hidden}));
}

// ---- composition over the GL frame ----------------------------------------------------------

// The GL state a program may have set, read back in full.
std::map<std::string, std::vector<double>> GlState() {
    std::map<std::string, std::vector<double>> s;
    auto doubles = [&](const char* name, GLenum e, int n) {
        std::vector<double> v(16);
        glGetDoublev(e, v.data());
        v.resize(static_cast<size_t>(n));
        s[name] = v;
    };
    doubles("matrix mode", GL_MATRIX_MODE, 1);
    doubles("modelview", GL_MODELVIEW_MATRIX, 16);
    doubles("projection", GL_PROJECTION_MATRIX, 16);
    doubles("texture matrix", GL_TEXTURE_MATRIX, 16);
    doubles("modelview depth", GL_MODELVIEW_STACK_DEPTH, 1);
    doubles("projection depth", GL_PROJECTION_STACK_DEPTH, 1);
    doubles("texture depth", GL_TEXTURE_STACK_DEPTH, 1);
    doubles("attrib depth", GL_ATTRIB_STACK_DEPTH, 1);
    doubles("client attrib depth", GL_CLIENT_ATTRIB_STACK_DEPTH, 1);
    doubles("viewport", GL_VIEWPORT, 4);
    doubles("scissor box", GL_SCISSOR_BOX, 4);
    doubles("blend src", GL_BLEND_SRC, 1);
    doubles("blend dst", GL_BLEND_DST, 1);
    doubles("alpha func", GL_ALPHA_TEST_FUNC, 1);
    doubles("alpha ref", GL_ALPHA_TEST_REF, 1);
    doubles("depth func", GL_DEPTH_FUNC, 1);
    doubles("texture binding", GL_TEXTURE_BINDING_2D, 1);
    doubles("colour", GL_CURRENT_COLOR, 4);
    doubles("texture coords", GL_CURRENT_TEXTURE_COORDS, 4);
    doubles("unpack alignment", GL_UNPACK_ALIGNMENT, 1);
    doubles("unpack row length", GL_UNPACK_ROW_LENGTH, 1);
    doubles("polygon mode", GL_POLYGON_MODE, 2);
    doubles("colour mask", GL_COLOR_WRITEMASK, 4);
    doubles("clear colour", GL_COLOR_CLEAR_VALUE, 4);
    doubles("logic op", GL_LOGIC_OP_MODE, 1);
    doubles("red scale", GL_RED_SCALE, 1);
    const std::pair<const char*, GLenum> enables[] = {
        {"lighting", GL_LIGHTING},
        {"depth test", GL_DEPTH_TEST},
        {"blend", GL_BLEND},
        {"cull", GL_CULL_FACE},
        {"texture 2D", GL_TEXTURE_2D},
        {"alpha test", GL_ALPHA_TEST},
        {"fog", GL_FOG},
        {"scissor", GL_SCISSOR_TEST},
        {"stencil", GL_STENCIL_TEST},
        {"colour material", GL_COLOR_MATERIAL},
        {"texgen s", GL_TEXTURE_GEN_S},
    };
    for (const auto& [name, e] : enables)
        s[name] = {static_cast<double>(glIsEnabled(e))};
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    s["texture env"] = {static_cast<double>(env)};
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    s["bound texture's filter"] = {static_cast<double>(filter)};
    return s;
}

// Every piece of state the compositor touches, set away from what the compositor wants.
void SetProgramState(GLuint texture) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -0.75, 0.75, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, -3);
    glRotatef(30, 0, 1, 0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(2, 2, 1);
    glViewport(3, 4, 50, 60);
    glScissor(1, 2, 3, 4);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_FOG);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_LESS, 0.25f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glTexCoord4f(0.1f, 0.2f, 0.3f, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_TRUE);
    // Each of these alone would hide or recolour the children if the compositor kept it.
    const GLdouble nowhere[4] = {0, 0, 0, -1};
    glClipPlane(GL_CLIP_PLANE0, nowhere);
    glEnable(GL_CLIP_PLANE0);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_CLEAR);
    glPixelTransferf(GL_RED_SCALE, 0.0f);
}

TEST(ChildComposition, SwapBuffersShowsVisiblePaintedChildrenClippedToTheirRegions) {
    test_support::GlTestWindow gl(200, 150);
    RegisterChildClass();
    const HWND holed = Child(gl.Window(), 10, 20, 60, 40, 1);      // red, hole (20,10)-(40,30)
    const HWND inner = Child(holed, 44, 4, 10, 10, 2);             // yellow, inside holed
    const HWND hidden = Child(gl.Window(), 100, 20, 30, 30, 3);    // green, hidden after painting
    const HWND unpainted = Child(gl.Window(), 100, 80, 30, 30, 4); // never paints
    ASSERT_TRUE(holed && inner && hidden && unpainted);
    Fill(holed, 0xFF0000);
    Fill(inner, 0xFFFF00);
    Fill(hidden, 0x00FF00);
    ASSERT_NE(SetWindowRgn(holed, RectWithHole(60, 40, 20, 10, 40, 30), FALSE), 0);
    PumpAll();
    ShowWindow(hidden, SW_HIDE);

    glViewport(0, 0, 200, 150);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    SetProgramState(texture);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const auto before = GlState();

    ASSERT_TRUE(SwapBuffers(gl.Dc()));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const auto after = GlState();
    for (const auto& [name, values] : before)
        EXPECT_EQ(after.at(name), values) << name << " changed";

    // On the offscreen driver the swap leaves the composed frame in place (a pbuffer), so
    // it can be read back; nothing the program left set may get in the way of reading.
    glPixelTransferf(GL_RED_SCALE, 1.0f);
    const uint32_t red = 0xFF0000FF, yellow = 0xFFFF00FF, blue = 0x0000FFFF;
    struct Probe {
        int x, y;
        uint32_t rgba;
    };
    const Probe probes[] = {
        {10, 20, red},    {69, 59, red},    {25, 45, red}, // holed's corners and its left part
        {35, 35, blue},   {49, 49, blue},                  // its hole shows the GL frame
        {54, 24, yellow}, {63, 33, yellow},                // the grandchild over its parent
        {9, 20, blue},    {70, 59, blue},                  // just outside
        {115, 35, blue},                                   // hidden child
        {115, 95, blue},                                   // never painted
    };
    for (const Probe& p : probes)
        EXPECT_EQ(gl.PixelAt(p.x, p.y), p.rgba) << "at " << p.x << "," << p.y;
}

} // namespace
