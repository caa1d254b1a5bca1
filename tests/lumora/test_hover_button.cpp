// The "IMAGEBUTTON" class over the library's GL window, driven by real SDL mouse events
// through the library's pump: the state table, the WM_COMMAND notification, placement,
// the pictures shown, and what creation makes and destruction releases.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../../platform/src/gdi_internal.h"
#include "../../platform/src/window_tree.h"
#include "../platform/test_gdi_bmp_fixture.h"
#include "lumora/image_button.h"
#include "lumora/window.h"
#include "platform/win32.h"
#include "sdl_events.h"

using namespace Lumora;
using namespace platform;

namespace {

constexpr uint32_t MAGENTA = 0xFF00FF;
constexpr uint32_t NORMAL = 0x2040C0, HOVER = 0x40C040, PRESS = 0xC04020; // 0x00RRGGBB
constexpr int SIDE = 16; // the pictures are SIDE x SIDE
constexpr int BX = 40;   // where the tests want the button, in the GL window's client area
constexpr int BY = 30;
constexpr int BUTTON_ID = 7;

// A plus sign: bars 6 pixels wide through the middle, magenta in the four corners.
bool InPlus(int x, int y) {
    return (x >= 5 && x < 11) || (y >= 5 && y < 11);
}

std::vector<uint32_t> Plus(uint32_t colour) {
    std::vector<uint32_t> px;
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x)
            px.push_back(InPlus(x, y) ? colour : MAGENTA);
    return px;
}

// The same picture as an 8-bit file with a colour table (index 0 magenta, 1 the colour),
// so that one of the pictures gets a palette of its own instead of the halftone one.
void WritePlus8(const std::filesystem::path& path, uint32_t colour) {
    bmp_fixture::Layout l;
    l.width = l.height = SIDE;
    l.bitsPerPixel = 8;
    l.colors = {{0xFF, 0x00, 0xFF, 0},
                {static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8),
                 static_cast<BYTE>(colour >> 16), 0}};
    l.colorsUsed = 2;
    std::vector<uint32_t> idx;
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x)
            idx.push_back(InPlus(x, y) ? 1 : 0);
    bmp_fixture::WriteFile(path, bmp_fixture::WriteBmp(l, bmp_fixture::PackRows(l, idx)));
}

std::vector<MSG> g_commands; // WM_COMMAND as the program's command hook saw it
LRESULT RecordCommand(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    g_commands.push_back(MSG{wnd, msg, wParam, lParam, 0, {}});
    return 0;
}

class HoverButton : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateOGLWindow("Bottoni", 320, 240, 32, false));
        ShowMenuBar = true;
        GetInputCommand = RecordCommand;
        BMPType = (dir / "btn").string();
        bmp_fixture::WriteRgb24(BMPType + "N.BMP", SIDE, SIDE, Plus(NORMAL));
        WritePlus8(BMPType + "H.BMP", HOVER);
        bmp_fixture::WriteRgb24(BMPType + "P.BMP", SIDE, SIDE, Plus(PRESS));
        Pump();
    }

    // A button meant for (BX, BY): it subtracts the fixed offsets from where it is made.
    HWND MakeButton(int id = BUTTON_ID, HWND parent = 0) {
        const HWND b =
            CreateWindowExA(0, SZHOVERCLASS, "", WS_CHILD | WS_VISIBLE, BX + 3, BY + 19, 5, 5,
                            parent ? parent : HWindow, static_cast<HMENU>(id), 0, nullptr);
        Pump();
        return b;
    }

    // Every pending message through the library's pump, one per call; returns what it took.
    std::vector<MSG> Pump() {
        std::vector<MSG> taken;
        MSG m{};
        for (int n = 0; n < 1000 && PeekMessageA(&m, 0, 0, 0, PM_NOREMOVE); ++n) {
            SetGLMsg();
            taken.push_back(Msg_);
        }
        return taken;
    }

    // Pointer events at a point given in the button's own coordinates.
    void Move(int x, int y, uint32_t buttons = 0) {
        test_support::PushMouseMove(HWindow, BX + x, BY + y, buttons);
        Pump();
    }
    std::vector<MSG> Button(int sdlButton, bool down, int x, int y) {
        test_support::PushMouseButton(HWindow, sdlButton, down, BX + x, BY + y);
        return Pump();
    }
    void Click(int x, int y) {
        Button(SDL_BUTTON_LEFT, true, x, y);
        Button(SDL_BUTTON_LEFT, false, x, y);
    }

    // The WM_COMMAND messages the pump took from the queue: posted, not sent.
    static int Commands(const std::vector<MSG>& taken) {
        int n = 0;
        for (const MSG& m : taken)
            if (m.message == WM_COMMAND) {
                EXPECT_EQ(m.hwnd, HWindow);
                EXPECT_EQ(m.wParam, static_cast<WPARAM>(BUTTON_ID));
                EXPECT_EQ(m.lParam, 0);
                ++n;
            }
        return n;
    }

    static HANDLE State(HWND b) { return GetPropA(b, HOVERMODE); }

    bmp_fixture::ScratchDir dir;
};

TEST_F(HoverButton, AClickPostsOneCommandWithTheIdAndLeavesTheButtonNormal) {
    const HWND b = MakeButton();
    ASSERT_NE(b, 0u);
    EXPECT_EQ(State(b), 1u);
    Move(8, 8);
    EXPECT_EQ(State(b), 2u);
    EXPECT_EQ(GetCapture(), b) << "hover holds the capture to see the pointer leave";
    EXPECT_EQ(Commands(Button(SDL_BUTTON_LEFT, true, 8, 8)), 0);
    EXPECT_EQ(State(b), 3u);
    const std::vector<MSG> up = Button(SDL_BUTTON_LEFT, false, 8, 8);
    EXPECT_EQ(Commands(up), 1);
    ASSERT_EQ(g_commands.size(), 1u) << "the parent's window procedure passed it on";
    EXPECT_EQ(g_commands[0].wParam, static_cast<WPARAM>(BUTTON_ID));
    EXPECT_EQ(g_commands[0].lParam, 0);
    EXPECT_EQ(State(b), 1u);
    EXPECT_EQ(GetCapture(), 0u);
    Move(9, 8);
    EXPECT_EQ(State(b), 2u) << "the next move inside turns it to hover";

    // Two quick clicks are two clicks: there are no double-click messages.
    std::vector<MSG> taken;
    for (int i = 0; i < 2; ++i) {
        for (bool down : {true, false})
            for (const MSG& m : Button(SDL_BUTTON_LEFT, down, 8, 8))
                taken.push_back(m);
    }
    EXPECT_EQ(Commands(taken), 2);
    EXPECT_EQ(g_commands.size(), 3u);
}

TEST_F(HoverButton, PressingThenLeavingTheOutlineAndReleasingPostsNothing) {
    const HWND b = MakeButton();
    Move(8, 8);
    Button(SDL_BUTTON_LEFT, true, 8, 8);
    ASSERT_EQ(State(b), 3u);
    Move(1, 1, SDL_BUTTON_LMASK); // a corner: inside the rectangle, outside the plus
    EXPECT_EQ(State(b), 1u);
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Commands(Button(SDL_BUTTON_LEFT, false, 1, 1)), 0);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(State(b), 1u);
}

TEST_F(HoverButton, EnteringWithAButtonHeldPressesButOnlyTheLeftReleaseNotifies) {
    struct Case {
        const char* name;
        uint32_t held;
        int sdlButton;
        int commands;
        unsigned stateAfterRelease;
    };
    const Case cases[] = {
        {"left", SDL_BUTTON_LMASK, SDL_BUTTON_LEFT, 1, 1},
        {"right", SDL_BUTTON_RMASK, SDL_BUTTON_RIGHT, 0, 3}, // stays pressed until it leaves
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const HWND b = MakeButton();
        Move(8, 2, k.held); // pressed elsewhere, then moved onto the plus
        EXPECT_EQ(State(b), 3u);
        EXPECT_EQ(GetCapture(), b);
        EXPECT_EQ(Commands(Button(k.sdlButton, false, 8, 2)), k.commands);
        EXPECT_EQ(State(b), k.stateAfterRelease);
        Move(0, 0);
        EXPECT_EQ(State(b), 1u);
        DestroyWindow(b);
        Pump();
    }
    EXPECT_EQ(g_commands.size(), 1u);
}

TEST_F(HoverButton, RightClicksAndStrayReleasesOnAHoveringButtonPostNothing) {
    const HWND b = MakeButton();
    Move(8, 8);
    EXPECT_EQ(Commands(Button(SDL_BUTTON_RIGHT, true, 8, 8)), 0);
    EXPECT_EQ(State(b), 2u);
    EXPECT_EQ(Commands(Button(SDL_BUTTON_RIGHT, false, 8, 8)), 0);
    EXPECT_EQ(State(b), 2u);
    // A left release whose press the button never saw (made before the window had the
    // pointer) only returns it to normal.
    EXPECT_EQ(Commands(Button(SDL_BUTTON_LEFT, false, 8, 8)), 0);
    EXPECT_EQ(State(b), 1u);
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(HoverButton, MovesInsideWhileHoveringOrPressedChangeNothingAndAskNoRepaint) {
    for (unsigned state : {2u, 3u}) {
        SCOPED_TRACE(state);
        const HWND b = MakeButton();
        const uint32_t held = state == 3 ? SDL_BUTTON_LMASK : 0;
        Move(8, 8, held);
        ASSERT_EQ(State(b), state);
        for (auto [x, y] : {std::pair{2, 7}, std::pair{13, 9}, std::pair{7, 15}}) {
            test_support::PushMouseMove(HWindow, BX + x, BY + y, held);
            const std::vector<MSG> taken = Pump();
            ASSERT_EQ(taken.size(), 1u) << "the move alone: no repaint was asked for";
            EXPECT_EQ(taken[0].message, WM_MOUSEMOVE);
            EXPECT_EQ(taken[0].hwnd, b);
            EXPECT_EQ(State(b), state);
        }
        DestroyWindow(b);
        Pump();
    }
}

TEST_F(HoverButton, NegativeCoordinatesDuringTheCaptureReturnTheButtonToNormal) {
    for (auto [x, y] : {std::pair{-3, 8}, std::pair{8, -2}, std::pair{-45, -35}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        const HWND b = MakeButton();
        Move(8, 8);
        ASSERT_EQ(GetCapture(), b);
        test_support::PushMouseMove(HWindow, BX + x, BY + y);
        const std::vector<MSG> taken = Pump();
        ASSERT_FALSE(taken.empty());
        EXPECT_EQ(taken[0].hwnd, b);
        EXPECT_EQ(GET_X_LPARAM(taken[0].lParam), x);
        EXPECT_EQ(GET_Y_LPARAM(taken[0].lParam), y);
        EXPECT_EQ(State(b), 1u);
        EXPECT_EQ(GetCapture(), 0u);
        DestroyWindow(b);
        Pump();
    }
}

LRESULT PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

TEST_F(HoverButton, CreationTakesThePictureSizeAndTheFixedOffsetsWhateverTheParent) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "PlainParent";
    RegisterClassA(&wc);
    const HWND plain =
        CreateWindowExA(0, "PlainParent", "", WS_POPUP | WS_VISIBLE, 100, 50, 200, 150, 0, 0, 0,
                        nullptr); // no caption, no frame: the offsets are applied all the same
    ASSERT_NE(plain, 0u);
    const std::string wide = (dir / "wide").string();
    bmp_fixture::WriteRgb24(wide + "N.BMP", 24, 10, std::vector<uint32_t>(240, NORMAL));
    const std::string missing = (dir / "missing").string();
    struct Case {
        HWND parent;
        std::string type;
        int width, height;
    };
    const Case cases[] = {
        {HWindow, BMPType, SIDE, SIDE},
        {plain, BMPType, SIDE, SIDE},
        {HWindow, wide, 24, 10},  // BMPType at creation decides the pictures
        {HWindow, missing, 5, 5}, // no normal picture: the size it was made with
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type);
        BMPType = k.type;
        const HWND b = MakeButton(BUTTON_ID, k.parent);
        ASSERT_NE(b, 0u);
        RECT br{}, pr{};
        GetWindowRect(b, &br);
        GetWindowRect(k.parent, &pr);
        EXPECT_EQ(br.left - pr.left, BX);
        EXPECT_EQ(br.top - pr.top, BY);
        EXPECT_EQ(br.right - br.left, k.width);
        EXPECT_EQ(br.bottom - br.top, k.height);
    }
}

TEST_F(HoverButton, DestructionRemovesEveryPropertyAndReleasesPicturesDcsAndRegions) {
    const size_t base = gdi::LiveGdiObjects();
    const HWND b = MakeButton();
    ASSERT_NE(b, 0u);
    const HANDLE dcs[] = {GetPropA(b, NORMALBMP), GetPropA(b, HOVERBMP), GetPropA(b, PRESSBMP)};
    for (HANDLE dc : dcs)
        EXPECT_NE(gdi::FindDC(dc), nullptr);
    const HANDLE outline = GetPropA(b, BUTTONRGN);
    ASSERT_NE(outline, 0u);
    EXPECT_NE(FindWindow(b)->region, outline) << "the window owns a region of its own";
    // Three DCs, three bitmaps, three palettes, two regions.
    EXPECT_EQ(gdi::LiveGdiObjects(), base + 11);

    Move(8, 8);
    SendMessageA(b, WM_DESTROY, 0, 0);
    EXPECT_TRUE(FindWindow(b)->props.empty()) << "not one property is left";
    for (HANDLE dc : dcs)
        EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(DeleteObject(outline));
    EXPECT_EQ(gdi::LiveGdiObjects(), base + 1) << "only the window's own region remains";
    DestroyWindow(b);
    EXPECT_EQ(gdi::LiveGdiObjects(), base);
}

TEST_F(HoverButton, AMissingPictureStillGetsAnEmptyDc) {
    std::filesystem::remove(BMPType + "H.BMP");
    const size_t base = gdi::LiveGdiObjects();
    const HWND b = MakeButton();
    const HANDLE hover = GetPropA(b, HOVERBMP);
    ASSERT_NE(hover, 0u);
    ASSERT_NE(gdi::FindDC(hover), nullptr);
    EXPECT_EQ(gdi::FindDC(hover)->bitmap, gdi::StockBitmap()) << "no picture in it";
    Move(8, 8);
    EXPECT_EQ(State(b), 2u) << "the other pictures and the outline are not affected";
    DestroyWindow(b);
    EXPECT_EQ(gdi::LiveGdiObjects(), base);
}

TEST_F(HoverButton, WithoutAnOutlineTheButtonIsRectangularNeverHoversAndStillNotifies) {
    std::filesystem::remove(BMPType + "N.BMP");
    const HWND b = MakeButton();
    ASSERT_NE(b, 0u);
    EXPECT_EQ(GetPropA(b, BUTTONRGN), 0u);
    EXPECT_EQ(FindWindow(b)->region, 0u);
    EXPECT_NE(GetPropA(b, NORMALBMP), 0u);
    test_support::PushMouseMove(HWindow, BX + 1, BY + 1);
    const std::vector<MSG> taken = Pump();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].hwnd, b) << "a corner of the rectangle is the button's";
    EXPECT_EQ(State(b), 1u) << "never hover";
    EXPECT_EQ(Commands(Button(SDL_BUTTON_LEFT, true, 1, 1)), 0);
    EXPECT_EQ(State(b), 3u);
    EXPECT_EQ(Commands(Button(SDL_BUTTON_LEFT, false, 1, 1)), 1);
    EXPECT_EQ(State(b), 1u);
}

TEST_F(HoverButton, TheFrameShowsTheStatesPictureInsideTheOutlineAndTheSceneAround) {
    const HWND b = MakeButton();
    auto frame = [&] {
        Pump();
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        SwapBuffers(DCWindow);
    };
    auto pixel = [&](int x, int y) {
        uint8_t p[4] = {};
        glReadPixels(BX + x, Height - 1 - (BY + y), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    };
    struct Step {
        const char* name;
        int x, y;
        uint32_t held;
        uint32_t shown;
    };
    const Step steps[] = {
        {"normal", -10, -10, 0, NORMAL},
        {"hover", 8, 8, 0, HOVER},
        {"pressed", 8, 3, SDL_BUTTON_RMASK, PRESS},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        Move(-10, -10); // out first, so that each state is entered afresh
        Move(s.x, s.y, s.held);
        frame();

        EXPECT_EQ(pixel(8, 8), s.shown);
        EXPECT_EQ(pixel(7, 0), s.shown);
        EXPECT_EQ(pixel(1, 1), 0xFFFFFFu) << "the corner outside the plus shows the scene";
        EXPECT_EQ(pixel(15, 14), 0xFFFFFFu);
    }

    // A state without a picture paints nothing: the last picture stays.
    SetPropA(b, HOVERMODE, 9);
    InvalidateRect(b, nullptr, FALSE);
    EXPECT_EQ(HoverButtonHandler(b, WM_PAINT, 0, 0), 0);
    frame();
    EXPECT_EQ(pixel(8, 8), PRESS);
}

} // namespace
