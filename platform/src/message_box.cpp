// Message boxes: Windows-1252 texts shown through SDL's message box, answered by a test
// responder when one is installed, and echoed to standard error when no box can be shown.
#include <cstdio>

#include "backend_sdl.h"
#include "platform/hooks.h"
#include "platform/win_window.h"
#include "window_tree.h"

namespace platform {

namespace {

hooks::MessageBoxResponder g_responder; // answers boxes instead of the screen, when set

// Code points of bytes 0x80..0x9F; the five bytes Windows leaves undefined keep their value.
constexpr uint16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

sdl::BoxIcon IconOf(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONHAND:
        return sdl::BoxIcon::Error;
    case MB_ICONEXCLAMATION:
        return sdl::BoxIcon::Warning;
    case MB_ICONQUESTION:
    case MB_ICONASTERISK:
        return sdl::BoxIcon::Information;
    default:
        return sdl::BoxIcon::None;
    }
}

} // namespace

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (unsigned char c : text) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else if (c < 0xA0)
            AppendUtf8(out, Cp1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

namespace hooks {

void SetMessageBoxResponder(MessageBoxResponder responder) {
    g_responder = std::move(responder);
}

std::string Cp1252ToUtf8(const std::string& text) {
    return platform::Cp1252ToUtf8(text);
}

uint32_t SdlWindowIdOf(HWND wnd) {
    const Window* w = FindWindow(wnd);
    return w && !w->parent ? w->sdlId : 0;
}

} // namespace hooks

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const std::string body = text ? text : "";
    // A missing caption reads "Error", as the system titles such boxes.
    const std::string title = caption ? caption : "Error";
    if (g_responder) return g_responder(hooks::MessageBoxCall{owner, body, title, type});

    std::vector<sdl::BoxButton> buttons;
    switch (type & 0x0F) {
    case MB_YESNO:
        // Return answers Yes, as the default button; Escape answers No.
        buttons = {{IDYES, "Yes", true, false}, {IDNO, "No", false, true}};
        break;
    case MB_OKCANCEL:
        buttons = {{IDOK, "OK", true, false}, {IDCANCEL, "Cancel", false, true}};
        break;
    default:
        buttons = {{IDOK, "OK", true, true}};
        break;
    }
    const std::string captionUtf8 = Cp1252ToUtf8(title);
    const std::string textUtf8 = Cp1252ToUtf8(body);
    const int pressed = sdl::ShowMessageBox(captionUtf8, textUtf8, IconOf(type), buttons.data(),
                                            static_cast<int>(buttons.size()));
    if (pressed >= 0) return pressed;
    // No box could be shown (no display): the user still learns what happened.
    std::fprintf(stderr, "%s: %s\n", captionUtf8.c_str(), textUtf8.c_str());
    std::fflush(stderr);
    return 0;
}

} // namespace platform
