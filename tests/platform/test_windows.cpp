// Window classes and the window tree: creation and destruction order, geometry, child
// windows and their hit tests, properties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"

using namespace platform;

namespace {

std::vector<std::pair<HWND, UINT>> g_log; // (window, message) in the order procedures saw them

LRESULT LoggingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE || msg == WM_DESTROY || msg == WM_NCDESTROY) g_log.emplace_back(wnd, msg);
    if (msg == WM_CREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        // A window that asks to fail its own creation.
        if (cs && cs->lpszName && std::string(cs->lpszName) == "refuse") return -1;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void Register(const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = LoggingProc;
    wc.lpszClassName = name;
    ASSERT_NE(RegisterClassA(&wc), 0);
}

TEST(WindowClasses, AreFoundByNameAndRegisteredOnce) {
    Register("Alpha");
    WNDCLASSA again{};
    again.lpfnWndProc = LoggingProc;
    again.lpszClassName = "ALPHA";
    EXPECT_EQ(RegisterClassA(&again), 0) << "class names ignore case";
    WNDCLASSEXA info{};
    ASSERT_TRUE(GetClassInfoExA(0, "alpha", &info));
    EXPECT_EQ(info.lpfnWndProc, &LoggingProc);
    EXPECT_FALSE(GetClassInfoExA(0, "Missing", &info));
    EXPECT_EQ(CreateWindowExA(0, "Missing", "x", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr), 0u);
}

TEST(Windows, CreateRunsWmCreateFirstAndDestroyReachesChildrenAfterTheirParent) {
    Register("Tree");
    const HWND top = CreateWindowExA(0, "Tree", "top", WS_POPUP, 0, 0, 200, 100, 0, 0, 0, nullptr);
    ASSERT_NE(top, 0u);
    const HWND child = CreateWindowExA(0, "Tree", "c", WS_CHILD | WS_VISIBLE, 5, 6, 20, 10, top,
                                       static_cast<HMENU>(42), 0, nullptr);
    ASSERT_NE(child, 0u);
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    ASSERT_EQ(g_log.size(), 2u);
    EXPECT_EQ(g_log[0], std::make_pair(top, WM_CREATE));
    EXPECT_EQ(g_log[1], std::make_pair(child, WM_CREATE));
    g_log.clear();
    EXPECT_TRUE(DestroyWindow(top));
    ASSERT_GE(g_log.size(), 2u);
    EXPECT_EQ(g_log[0], std::make_pair(top, WM_DESTROY));
    EXPECT_EQ(g_log[1], std::make_pair(child, WM_DESTROY));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(top)) << "a stale handle fails, it does not crash";
}

TEST(Windows, RefusedCreationGivesNoWindowAndChildrenNeedAParent) {
    Register("Refuse");
    EXPECT_EQ(CreateWindowExA(0, "Refuse", "refuse", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr), 0u);
    EXPECT_EQ(CreateWindowExA(0, "Refuse", "c", WS_CHILD, 0, 0, 10, 10, 0, 0, 0, nullptr), 0u);
}

TEST(Windows, ChildGeometryIsInScreenCoordinatesThroughItsParent) {
    Register("Geo");
    const HWND top = CreateWindowExA(0, "Geo", "top", WS_POPUP, 30, 40, 300, 200, 0, 0, 0, nullptr);
    const HWND child = CreateWindowExA(0, "Geo", "c", WS_CHILD, 10, 20, 50, 60, top,
                                       static_cast<HMENU>(1), 0, nullptr);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(top, &r));
    const RECT topRect = r;
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, topRect.left + 10);
    EXPECT_EQ(r.top, topRect.top + 20);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 60);
    ASSERT_TRUE(MoveWindow(child, 1, 2, 7, 8, FALSE));
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(r.left, topRect.left + 1);
    EXPECT_EQ(r.bottom - r.top, 8);
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(r.right, 7);
}

TEST(Windows, PropertiesAreNamedValuesThatReadZeroWhenMissing) {
    Register("Props");
    const HWND w = CreateWindowExA(0, "Props", "p", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, nullptr);
    EXPECT_EQ(GetPropA(w, "A"), 0u);
    EXPECT_TRUE(SetPropA(w, "A", 7));
    EXPECT_TRUE(SetPropA(w, "A", 8));
    EXPECT_EQ(GetPropA(w, "A"), 8u);
    EXPECT_EQ(RemovePropA(w, "A"), 8u);
    EXPECT_EQ(GetPropA(w, "A"), 0u);
    EXPECT_EQ(RemovePropA(w, "A"), 0u);
    EXPECT_FALSE(SetPropA(w + 999, "A", 1));
}

} // namespace
