// The library's GL window: creation and teardown, the window procedure message by
// message, the one-message pump fed by real SDL events, and the fatal start-up errors.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lumora/window.h"
#include "message_boxes.h"
#include "platform/hooks.h"
#include "platform/win32.h"
#include "sdl_events.h"

using namespace Lumora;
using namespace platform;

namespace {

class GLWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateOGLWindow("Finestra di prova", 320, 240, 32, false));
        ASSERT_NE(HWindow, 0u);
    }
    // Every message now pending goes through the library's pump, one per call.
    int PumpAll() {
        int n = 0;
        MSG m{};
        while (PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE) && n < 1000) {
            SetGLMsg();
            ++n;
        }
        return n;
    }
};

TEST_F(GLWindow, CreationLeavesAWindowAContextAndActiveTrue) {
    EXPECT_TRUE(Active);
    EXPECT_NE(DCWindow, 0u);
    EXPECT_NE(RCWindow, 0u);
    EXPECT_EQ(wglGetCurrentContext(), RCWindow);
    EXPECT_EQ(Width, 320);
    EXPECT_EQ(Height, 240);
    char title[128] = {};
    GetWindowTextA(HWindow, title, sizeof title);
    EXPECT_STREQ(title, "Finestra di prova");
    RECT r{};
    ASSERT_TRUE(GetWindowRect(HWindow, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 320);
    WNDCLASSEXA button{};
    EXPECT_TRUE(GetClassInfoExA(0, "IMAGEBUTTON", &button)) << "the image button class comes along";
    EXPECT_EQ(ObjNull, 0u) << "no context existed when the settings were made";
}

TEST_F(GLWindow, EscapeEndsTheLoopButLeavesTheWindowAndIsNotRecorded) {
    test_support::PushKey(HWindow, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, true);
    SetGLMsg();
    EXPECT_FALSE(Active);
    EXPECT_TRUE(IsWindow(HWindow));
    EXPECT_EQ(SetKey[27], 0);
    bool quit = false;
    MSG m{};
    while (!quit && PeekMessageA(&m, 0, 0, 0, PM_REMOVE))
        quit = m.message == WM_QUIT;
    EXPECT_TRUE(quit) << "WM_DESTROY posted the quit message";

    // Teardown sends WM_DESTROY again and releases everything.
    DeleteOGLWindow();
    EXPECT_FALSE(IsWindow(HWindow));
    EXPECT_EQ(wglGetCurrentContext(), 0u);
}

TEST_F(GLWindow, KeysGoUpAndDownInSetKeyWhateverShiftSays) {
    test_support::PushKey(HWindow, SDLK_s, SDL_SCANCODE_S, true, KMOD_LSHIFT);
    test_support::PushKey(HWindow, SDLK_3, SDL_SCANCODE_3, true);
    SetGLMsg();
    EXPECT_EQ(SetKey[83], -1);
    EXPECT_TRUE(SetGLKey('S'));
    EXPECT_FALSE(SetGLKey('3')) << "one message per call";
    PumpAll();
    EXPECT_TRUE(SetGLKey('3'));
    MouseFree = true;
    test_support::PushKey(HWindow, SDLK_s, SDL_SCANCODE_S, false, KMOD_CAPS);
    PumpAll();
    EXPECT_EQ(SetKey[83], 0);
    EXPECT_FALSE(MouseFree) << "every key release leaves free look";
    EXPECT_TRUE(SetGLKey('3'));
}

TEST_F(GLWindow, LowerCaseAsksForAnotherKeyAndHighCharactersReadTheirOwnEntry) {
    test_support::PushKey(HWindow, SDLK_F4, SDL_SCANCODE_F4, true);
    PumpAll();
    EXPECT_TRUE(SetGLKey('s')) << "s is code 115, the code of F4";
    EXPECT_FALSE(SetGLKey('S'));
    SetKey[0xE8] = -1;
    EXPECT_TRUE(SetGLKey('\xE8'));
    EXPECT_FALSE(SetGLKey('\x80'));
}

TEST_F(GLWindow, KeyCodesOutsideTheTableAreIgnored) {
    int32_t before[501];
    std::memcpy(before, SetKey, sizeof before);
    GLWndProc(HWindow, WM_KEYDOWN, 501, 0);
    GLWndProc(HWindow, WM_KEYDOWN, 0xFFFFFFFFu, 0);
    GLWndProc(HWindow, WM_KEYUP, 100000, 0);
    EXPECT_EQ(std::memcmp(before, SetKey, sizeof before), 0);
    GLWndProc(HWindow, WM_KEYDOWN, 500, 0);
    EXPECT_EQ(SetKey[500], -1);
}

TEST_F(GLWindow, TheCloseBoxDestroysTheWindowInsideThePump) {
    test_support::PushWindowClose(HWindow);
    SetGLMsg();
    EXPECT_FALSE(Active);
    EXPECT_FALSE(IsWindow(HWindow));
    // The rest of that frame goes to a window that is gone, without effect.
    EXPECT_FALSE(SwapBuffers(DCWindow));
    DeleteOGLWindow();
    EXPECT_EQ(wglGetCurrentContext(), 0u);
}

LRESULT g_commandSeen = 0; // what the program's command hook saw last
LRESULT CommandHook(HWND, UINT msg, WPARAM wParam, LPARAM) {
    g_commandSeen = static_cast<LRESULT>(msg) * 1000 + static_cast<LRESULT>(wParam);
    return 55;
}

TEST_F(GLWindow, CommandsReachTheHookOnlyWithTheMenuSwitchedOn) {
    EXPECT_EQ(GLWndProc(HWindow, WM_COMMAND, 7, 0), 0);
    GetInputCommand = CommandHook;
    EXPECT_EQ(GLWndProc(HWindow, WM_COMMAND, 7, 0), 0);
    EXPECT_EQ(g_commandSeen, 0) << "ShowMenuBar is off";
    ShowMenuBar = true;
    GetInputCommand = nullptr;
    EXPECT_EQ(GLWndProc(HWindow, WM_COMMAND, 7, 0), 0);
    GetInputCommand = CommandHook;
    EXPECT_EQ(GLWndProc(HWindow, WM_COMMAND, 7, 0), 0) << "the hook's result is dropped";
    EXPECT_EQ(g_commandSeen, static_cast<LRESULT>(WM_COMMAND) * 1000 + 7);
}

TEST_F(GLWindow, PaintValidatesWithoutDrawing) {
    InvalidateRect(HWindow, nullptr, TRUE);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    SetGLMsg();
    EXPECT_FALSE(PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(Active);
}

TEST_F(GLWindow, ThePumpNeverWaitsOnAnEmptyQueue) {
    PumpAll();
    const uint32_t before = GetTickCount();
    for (int i = 0; i < 100; ++i)
        SetGLMsg();
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_TRUE(Active);
}

// ---- the mouse-driven view, through real mouse events ----------------------------------------

class MouseView : public GLWindow {
  protected:
    void Move(int x, int y, uint32_t buttons) {
        test_support::PushMouseMove(HWindow, x, y, buttons);
        PumpAll();
    }
    void Press(int button, int x, int y) {
        test_support::PushMouseButton(HWindow, button, true, x, y);
        PumpAll();
    }
    void Release(int button, int x, int y) {
        test_support::PushMouseButton(HWindow, button, false, x, y);
        PumpAll();
    }
};

TEST_F(MouseView, NothingMovesBeforeTheFirstSetGLMouseMove) {
    Press(SDL_BUTTON_LEFT, 100, 100);
    Move(150, 130, SDL_BUTTON_LMASK);
    EXPECT_EQ(XRot, 0.0f);
    EXPECT_EQ(YRot, 0.0f);
    EXPECT_TRUE(LeftMouseDown);
    EXPECT_EQ(GetCapture(), HWindow);
}

struct DragCase {
    int speed;
    int dx, dy;
    float xRot, yRot;
};

TEST_F(MouseView, LeftDragsTurnByHalfPixelsTimesTheSpeed) {
    const DragCase cases[] = {
        {2, 10, 0, 0.0f, 10.0f}, {2, 0, 10, 10.0f, 0.0f}, {2, 0, 3, 3.0f, 0.0f},
        {1, 0, 3, 1.5f, 0.0f},   {1, -5, 0, 0.0f, -2.5f}, {3, 7, -1, -1.5f, 10.5f},
    };
    for (const DragCase& c : cases) {
        XRot = YRot = XRot2 = YRot2 = 0;
        SetGLMouseMove(7, c.speed); // speed only, no GL call
        Press(SDL_BUTTON_LEFT, 100, 100);
        Move(100 + c.dx, 100 + c.dy, SDL_BUTTON_LMASK);
        EXPECT_FLOAT_EQ(XRot, c.xRot) << c.speed << " " << c.dx << "," << c.dy;
        EXPECT_FLOAT_EQ(YRot, c.yRot) << c.speed << " " << c.dx << "," << c.dy;
        EXPECT_FLOAT_EQ(XRot2, c.xRot);
        EXPECT_FLOAT_EQ(YRot2, c.yRot);
        Release(SDL_BUTTON_LEFT, 100 + c.dx, 100 + c.dy);
        EXPECT_EQ(XCoord, 0);
        EXPECT_EQ(SetMX, 0);
        EXPECT_FALSE(LeftMouseDown);
    }
}

TEST_F(MouseView, RightDragsZoomAndBothButtonsDoBothInOneMove) {
    SetGLMouseMove(7, 2);
    Press(SDL_BUTTON_RIGHT, 50, 50);
    Move(50, 60, SDL_BUTTON_RMASK);
    EXPECT_FLOAT_EQ(Depth, -2.0f);
    Move(50, 50, SDL_BUTTON_RMASK);
    EXPECT_FLOAT_EQ(Depth, 0.0f);
    Press(SDL_BUTTON_LEFT, 50, 50);
    EXPECT_TRUE(LeftMouseDown && RightMouseDown);
    Move(60, 40, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
    EXPECT_FLOAT_EQ(YRot, 10.0f);
    EXPECT_FLOAT_EQ(XRot, -10.0f);
    EXPECT_FLOAT_EQ(Depth, 2.0f);
    EXPECT_FLOAT_EQ(Depth2, 2.0f);
    // Releasing one button releases the capture; the other flag stays set.
    Release(SDL_BUTTON_RIGHT, 60, 40);
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_TRUE(LeftMouseDown);
    EXPECT_FALSE(RightMouseDown);
}

TEST_F(MouseView, TheViewFollowsTheCursorLeftOfAndAboveTheWindowWithoutAJump) {
    SetGLMouseMove(7, 2);
    Press(SDL_BUTTON_LEFT, 10, 10);
    Move(-5, 10, SDL_BUTTON_LMASK);
    EXPECT_EQ(SetOMX, -5);
    EXPECT_FLOAT_EQ(YRot, -15.0f);
    Move(-5, -20, SDL_BUTTON_LMASK);
    EXPECT_FLOAT_EQ(XRot, -30.0f);
    EXPECT_EQ(YCoord, -20);
}

TEST_F(MouseView, LeftDragsGoPastSixtyButFreeLookClampsAndNeedsTheForeground) {
    SetGLMouseMove(7, 2);
    Press(SDL_BUTTON_LEFT, 0, 0);
    Move(100, 0, SDL_BUTTON_LMASK);
    EXPECT_FLOAT_EQ(YRot, 100.0f);
    Release(SDL_BUTTON_LEFT, 100, 0);

    MouseFree = true;
    Move(10, 10, 0);
    EXPECT_FLOAT_EQ(YRot, 100.0f) << "another window has the foreground: no free look";
    test_support::PushFocusGained(HWindow);
    PumpAll();
    ASSERT_EQ(GetForegroundWindow(), HWindow);
    Move(11, 11, 0);
    EXPECT_GE(YRot, -60.0f);
    EXPECT_LE(YRot, 60.0f);
    EXPECT_GE(YRot2, -60.0f);
    EXPECT_LE(YRot2, 60.0f);
}

TEST_F(MouseView, SetGLMouseMoveAppliesTheModesTableAndOtherModesOnlySetTheSpeed) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    XRot = 0;
    YRot = 0;
    Depth = 0;
    SetGLMouseMove(0, 2);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);

    Depth = 4;
    XRot = 90;
    YRot = 0;
    const struct {
        int mode;
        float myX, myY, myZ;
        float tx, ty, tz; // translation column after the call
    } modes[] = {{0, 0, 0, -4, 0, 0, -4},
                 {1, 0, -4, 0, 0, -4, 0},
                 {2, -4, 0, 0, -4, 0, 0},
                 {3, 0, 0, -4, 0, 0, -4}};
    for (const auto& c : modes) {
        glLoadIdentity();
        SetGLMouseMove(c.mode, 2);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_FLOAT_EQ(MY.X, c.myX) << c.mode;
        EXPECT_FLOAT_EQ(MY.Y, c.myY) << c.mode;
        EXPECT_FLOAT_EQ(MY.Z, c.myZ) << c.mode;
        EXPECT_NEAR(m[12], c.tx, 1e-5) << c.mode;
        EXPECT_NEAR(m[13], c.ty, 1e-5) << c.mode;
        EXPECT_NEAR(m[14], c.tz, 1e-5) << c.mode;
    }
    // Mode 0 turns XRot about x: y goes to z.
    glLoadIdentity();
    SetGLMouseMove(0, 2);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[6], 1.0f, 1e-5);

    glLoadIdentity();
    const TGLVertex before = MY;
    SetGLMouseMove(7, 3);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(MSpeed, 3);
    EXPECT_EQ(MY.Z, before.Z);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
}

// ---- creation variants and failures -------------------------------------------------------

TEST(GLWindowCreation, FullScreenTakesTheDesktopSizeWithoutAModeChange) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(screenW, 0);
    ASSERT_TRUE(CreateOGLWindow("pieno", 800, 600, 32, true));
    EXPECT_EQ(Width, screenW);
    EXPECT_EQ(Height, screenH);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(HWindow, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, screenW);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screenW);
}

TEST(GLWindowCreation, AStatusBarShowsItsTextAlongTheBottom) {
    ShowStatusBar = true;
    ASSERT_TRUE(CreateOGLWindow("stato", 320, 240, 32, false));
    ASSERT_NE(HStatus, 0u);
    EXPECT_EQ(HStatus, AWnd);
    EXPECT_EQ(GetParent(HStatus), HWindow);
    EXPECT_STREQ(FileName, "Percorso file");
    char text[64] = {};
    GetWindowTextA(HStatus, text, sizeof text);
    EXPECT_STREQ(text, "Percorso file");
    RECT bar{}, win{};
    GetWindowRect(HStatus, &bar);
    GetWindowRect(HWindow, &win);
    EXPECT_EQ(bar.bottom, win.bottom);
    EXPECT_EQ(bar.right - bar.left, 320);
}

TEST(GLWindowCreation, TheStatusBarPaintsItsPartsOverTheGlFrame) {
    ShowStatusBar = true;
    MaxStatusItem = 2;
    StatusItem[1] = 120;
    StatusItem[2] = -1;
    ASSERT_TRUE(CreateOGLWindow("stato", 320, 240, 32, false));
    ASSERT_NE(HStatus, 0u);
    SendMessageA(HStatus, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("PARTE DUE"));
    MSG m{};
    for (int i = 0; i < 100 && PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE); ++i)
        SetGLMsg();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(DCWindow));
    // The frame stays readable after the swap on the offscreen driver.
    std::vector<uint8_t> px(320 * 240 * 4);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    auto at = [&](int x, int yFromTop) {
        const uint8_t* p = &px[(static_cast<size_t>(239 - yFromTop) * 320 + x) * 4];
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    };
    EXPECT_EQ(at(160, 100), 0x0000FFu) << "above the bar the GL frame shows";
    int face = 0, ink = 0, inkSecondPart = 0;
    for (int y = 220; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const uint32_t c = at(x, y);
            face += c == 0xD4D0C8u;
            ink += c == 0x000000u;
            inkSecondPart += c == 0x000000u && x > 120;
        }
    }
    EXPECT_GT(face, 320 * 20 / 2) << "the bar is the button-face grey";
    EXPECT_GT(ink, 20) << "its text is drawn";
    EXPECT_GT(inkSecondPart, 10) << "the second part shows its own text";
}

TEST(GLWindowCreation, ACursorFileThatCannotBeLoadedLeavesTheClassWithoutCursor) {
    OGLWindowSetting(FILECURSOR, "", GENERIC, "");
    ASSERT_TRUE(WindowRegister());
    WNDCLASSEXA wc{};
    ASSERT_TRUE(GetClassInfoExA(0, "GLWindow", &wc));
    EXPECT_EQ(wc.hCursor, 0u);
    EXPECT_NE(wc.hIcon, 0u);
    EXPECT_EQ(wc.lpfnWndProc, &GLWndProc);
}

TEST(GLWindowCreation, WindowInitFailsWithoutAWindow) {
    EXPECT_FALSE(WindowInit(0));
    EXPECT_EQ(RCWindow, 0u);
}

// ThrowError ends the process with exit code 0 after its box; the recorder in the dying
// process writes the box to standard error so the test can see it.
void ReportBoxes() {
    hooks::SetMessageBoxResponder([](const hooks::MessageBoxCall& call) {
        std::fprintf(stderr, "[%s|%s]\n", call.caption.c_str(), call.text.c_str());
        return IDOK;
    });
}

TEST(ThrowErrorDeathTest, EveryStartUpFailureShowsItsMessageAndExitsWithZero) {
    // GL drivers start threads; a re-executed child is the safe way to die here.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ReportBoxes();
            ThrowError("la rispettiva applicazione non \xE8 stata inizilizata!");
        },
        ::testing::ExitedWithCode(0),
        "\\[Error\\|la rispettiva applicazione non \xE8 stata inizilizata!\\]");
    EXPECT_EXIT(
        {
            ReportBoxes();
            CreateOGLWindow("uno", 100, 100, 32, false);
            CreateOGLWindow("due", 100, 100, 32, false);
        },
        ::testing::ExitedWithCode(0),
        "\\[Error\\|Errore di registro per la rispettiva applicazione!\\]");
    EXPECT_EXIT(
        {
            ReportBoxes();
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            ShowStatusBar = true;
            CreateOGLWindow("tre", 100, 100, 32, false);
        },
        ::testing::ExitedWithCode(0),
        "\\[Error\\|Impossibile creare la finestra per la rispettiva applicazione!\\]");
}

} // namespace
