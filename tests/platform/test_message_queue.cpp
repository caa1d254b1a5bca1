// The message queue and input translation, fed by real SDL events on the offscreen driver.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"
#include "sdl_events.h"

using namespace platform;

namespace {

struct Seen {
    HWND wnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({wnd, msg, wParam, lParam});
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps{};
        BeginPaint(wnd, &ps);
        EndPaint(wnd, &ps);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

class Queue : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "QueueTest";
        ASSERT_NE(RegisterClassA(&wc), 0);
        wnd = CreateWindowExA(0, "QueueTest", "q", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200, 0, 0, 0,
                              nullptr);
        ASSERT_NE(wnd, 0u);
        DrainPaint();
        g_seen.clear();
    }
    // Takes the initial paint so tests start from an empty queue.
    void DrainPaint() {
        MSG m{};
        while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    // Every message now pending, in the order the pump gives them.
    std::vector<MSG> TakeAll() {
        std::vector<MSG> out;
        MSG m{};
        while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
            out.push_back(m);
            DispatchMessageA(&m);
        }
        return out;
    }
    HWND wnd = 0;
};

TEST_F(Queue, PeekOnEmptyQueueReturnsAtOnceWithNothing) {
    MSG m{};
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(Queue, PostedMessagesComeFirstInFirstOutAndNoRemoveLeavesThem) {
    PostMessageA(wnd, WM_USER + 1, 11, 0);
    PostMessageA(wnd, WM_USER + 2, 22, 0);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 1);
    EXPECT_TRUE(g_seen.empty()) << "peeking runs no window procedure";
    ASSERT_EQ(GetMessageA(&m, 0, 0, 0), TRUE);
    EXPECT_EQ(m.message, WM_USER + 1);
    EXPECT_EQ(m.wParam, 11u);
    ASSERT_EQ(GetMessageA(&m, 0, 0, 0), TRUE);
    EXPECT_EQ(m.message, WM_USER + 2);
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
}

TEST_F(Queue, SendRunsTheProcedureBeforeReturningAndDispatchDoesToo) {
    SendMessageA(wnd, WM_USER + 5, 1, 2);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].msg, WM_USER + 5);
    MSG m{};
    m.hwnd = wnd;
    m.message = WM_USER + 6;
    DispatchMessageA(&m);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].msg, WM_USER + 6);
    // A stale handle reaches nobody.
    EXPECT_EQ(SendMessageA(wnd + 1000, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(wnd + 1000, WM_USER, 0, 0));
}

TEST_F(Queue, PaintComesOnlyWhenNothingElseIsPendingAndStopsOnceValidated) {
    InvalidateRect(wnd, nullptr, FALSE);
    PostMessageA(wnd, WM_USER, 0, 0);
    const auto msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].message, WM_USER);
    EXPECT_EQ(msgs[1].message, WM_PAINT);
    MSG m{};
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE)) << "BeginPaint validated the window";
}

TEST_F(Queue, QuitComesAfterPostedMessagesAndGetMessageReportsIt) {
    PostQuitMessage(3);
    PostMessageA(wnd, WM_USER, 0, 0);
    MSG m{};
    ASSERT_EQ(GetMessageA(&m, 0, 0, 0), TRUE);
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_EQ(GetMessageA(&m, 0, 0, 0), FALSE);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
}

TEST_F(Queue, DefaultProcessingOfCloseDestroysTheWindow) {
    test_support::PushWindowClose(wnd);
    const auto msgs = TakeAll();
    ASSERT_FALSE(msgs.empty());
    EXPECT_EQ(msgs[0].message, WM_CLOSE);
    EXPECT_FALSE(IsWindow(wnd));
    bool destroyed = false;
    for (const Seen& s : g_seen)
        destroyed = destroyed || s.msg == WM_DESTROY;
    EXPECT_TRUE(destroyed);
}

TEST_F(Queue, QuitRequestFromOutsideClosesEveryTopLevelWindow) {
    const HWND second =
        CreateWindowExA(0, "QueueTest", "q2", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr);
    test_support::PushQuit();
    TakeAll();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(IsWindow(second));
}

struct KeyCase {
    const char* name;
    int32_t sym;
    int scancode;
    uint16_t mods;
    WPARAM vk;
};

TEST_F(Queue, KeysBecomeVirtualKeyCodes) {
    const KeyCase cases[] = {
        {"s", SDLK_s, SDL_SCANCODE_S, KMOD_NONE, 83},
        {"Shift+S", SDLK_s, SDL_SCANCODE_S, KMOD_LSHIFT, 83},
        {"Caps Lock s", SDLK_s, SDL_SCANCODE_S, KMOD_CAPS, 83},
        {"Shift+Caps s", SDLK_s, SDL_SCANCODE_S, KMOD_LSHIFT | KMOD_CAPS, 83},
        {"1", SDLK_1, SDL_SCANCODE_1, KMOD_NONE, 49},
        {"7", SDLK_7, SDL_SCANCODE_7, KMOD_NONE, 55},
        {"0", SDLK_0, SDL_SCANCODE_0, KMOD_NONE, 48},
        {"keypad 5", SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NONE, 101},
        {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE, 27},
        {"F4", SDLK_F4, SDL_SCANCODE_F4, KMOD_NONE, 115},
        {"F12", SDLK_F12, SDL_SCANCODE_F12, KMOD_NONE, 123},
        {"Return", SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, 13},
        {"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE, 32},
        {"Left", SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, 37},
        {"Down", SDLK_DOWN, SDL_SCANCODE_DOWN, KMOD_NONE, 40},
        {"Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_NONE, 16},
        {"Ctrl", SDLK_RCTRL, SDL_SCANCODE_RCTRL, KMOD_NONE, 17},
    };
    for (const KeyCase& c : cases) {
        test_support::PushKey(wnd, c.sym, c.scancode, true, c.mods);
        test_support::PushKey(wnd, c.sym, c.scancode, false, c.mods);
        MSG down{}, up{};
        ASSERT_TRUE(PeekMessageA(&down, 0, 0, 0, PM_REMOVE)) << c.name;
        ASSERT_TRUE(PeekMessageA(&up, 0, 0, 0, PM_REMOVE)) << c.name;
        EXPECT_EQ(down.message, WM_KEYDOWN) << c.name;
        EXPECT_EQ(down.wParam, c.vk) << c.name;
        EXPECT_EQ(down.hwnd, wnd) << c.name;
        EXPECT_EQ(up.message, WM_KEYUP) << c.name;
        EXPECT_EQ(up.wParam, c.vk) << c.name;
        EXPECT_NE(static_cast<uint32_t>(up.lParam) & (1u << 31), 0u) << c.name;
    }
}

TEST_F(Queue, AltKeysAreSystemKeysAndAltF4ClosesTheWindow) {
    test_support::PushKey(wnd, SDLK_F4, SDL_SCANCODE_F4, true, KMOD_LALT);
    TakeAll();
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(Queue, AutoRepeatRepeatsKeyDownAndTranslateAddsCharacters) {
    test_support::PushKey(wnd, SDLK_a, SDL_SCANCODE_A, true);
    test_support::PushKey(wnd, SDLK_a, SDL_SCANCODE_A, true, 0, true);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(static_cast<uint32_t>(m.lParam) & (1u << 30), 0u);
    EXPECT_TRUE(TranslateMessage(&m));
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, 65u);
    EXPECT_NE(static_cast<uint32_t>(m.lParam) & (1u << 30), 0u) << "a repeat says the key was down";
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_CHAR);
    EXPECT_EQ(m.wParam, static_cast<WPARAM>('a'));
}

TEST_F(Queue, MouseMessagesCarrySignedClientCoordinatesAndButtonFlags) {
    test_support::PushMouseButton(wnd, SDL_BUTTON_LEFT, true, 10, 20);
    test_support::PushMouseMove(wnd, -5, -7, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
    test_support::PushMouseButton(wnd, SDL_BUTTON_RIGHT, false, 400, 300);
    std::vector<MSG> mouse;
    for (const MSG& m : TakeAll())
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONUP) mouse.push_back(m);
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(GET_X_LPARAM(mouse[0].lParam), 10);
    EXPECT_EQ(GET_Y_LPARAM(mouse[0].lParam), 20);
    EXPECT_EQ(mouse[0].wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(mouse[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(mouse[1].lParam), -5);
    EXPECT_EQ(GET_Y_LPARAM(mouse[1].lParam), -7);
    EXPECT_EQ(mouse[1].wParam & (MK_LBUTTON | MK_RBUTTON), MK_LBUTTON | MK_RBUTTON);
    EXPECT_EQ(mouse[2].message, WM_RBUTTONUP);
    EXPECT_EQ(GET_X_LPARAM(mouse[2].lParam), 400);
    EXPECT_EQ(mouse[2].wParam & MK_RBUTTON, 0u);
}

} // namespace
