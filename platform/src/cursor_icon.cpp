// Cursors and icons: the system cursors by id, the generic application icon drawn by us,
// and .cur/.ico files read by our own parser (BMP-coded images with their AND masks).
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "backend_sdl.h"
#include "cursor_icon.h"
#include "handles.h"
#include "platform/win_window.h"

namespace platform {

namespace {

struct CursorIcon {
    uintptr_t systemId = 0;     // IDC_ id of a system cursor, 0 for pictures
    bool shared = false;        // system cursors and icons are never destroyed
    std::vector<uint32_t> argb; // picture, top row first
    int width = 0, height = 0;
    int hotX = 0, hotY = 0;
    void* sdlCursor = nullptr; // made when first shown (needs the video subsystem)
};

HandleTable<CursorIcon> g_cursors;            // every cursor and icon
std::map<uintptr_t, HCURSOR> g_systemCursors; // shared handles of the system cursors
HICON g_applicationIcon = 0;                  // shared handle of the generic application icon
HCURSOR g_shownCursor = 0;                    // the cursor last shown

bool KnownCursorId(uintptr_t id) {
    switch (id) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_UPARROW:
    case IDC_SIZE:
    case IDC_ICON:
    case IDC_SIZENWSE:
    case IDC_SIZENESW:
    case IDC_SIZEWE:
    case IDC_SIZENS:
    case IDC_SIZEALL:
    case IDC_NO:
    case IDC_HAND:
    case IDC_APPSTARTING:
    case IDC_HELP:
        return true;
    default:
        return false;
    }
}

// The generic application icon: a small window with a blue caption bar.
CursorIcon ApplicationIcon() {
    CursorIcon icon;
    icon.width = icon.height = 32;
    icon.argb.assign(32 * 32, 0);
    for (int y = 3; y < 29; ++y) {
        for (int x = 2; x < 30; ++x) {
            const bool border = x == 2 || x == 29 || y == 3 || y == 28;
            const bool caption = y < 9;
            uint32_t c = 0xFFFFFFFFu;
            if (border)
                c = 0xFF202830u;
            else if (caption)
                c = (x >= 24 && x <= 27 && y >= 5 && y <= 7) ? 0xFFE04040u : 0xFF2050C0u;
            icon.argb[y * 32 + x] = c;
        }
    }
    return icon;
}

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One BMP-coded image of a .cur/.ico file: colour bits, then the 1-bit AND mask.
bool DecodeDibImage(const uint8_t* data, size_t size, CursorIcon& out) {
    if (size < 40) return false;
    const uint32_t headerSize = Le32(data);
    if (headerSize < 40 || headerSize > size) return false;
    const int32_t width = static_cast<int32_t>(Le32(data + 4));
    const int32_t doubleHeight = static_cast<int32_t>(Le32(data + 8));
    const uint16_t bits = Le16(data + 14);
    const uint32_t compression = Le32(data + 16);
    uint32_t colorsUsed = Le32(data + 32);
    if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512 || compression != 0)
        return false;
    const int height = doubleHeight / 2;
    if (height <= 0) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    size_t paletteCount = 0;
    if (bits <= 8) {
        paletteCount = colorsUsed ? colorsUsed : (1u << bits);
        if (paletteCount > (1u << bits)) return false;
    }
    const size_t paletteOffset = headerSize;
    const size_t pixelOffset = paletteOffset + paletteCount * 4;
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t maskOffset = pixelOffset + stride * height;
    if (maskOffset > size) return false;
    const bool hasMask = maskOffset + maskStride * height <= size;

    out.width = width;
    out.height = height;
    out.argb.assign(static_cast<size_t>(width) * height, 0);
    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const uint8_t* src = data + pixelOffset + stride * (height - 1 - row); // bottom-up
        for (int x = 0; x < width; ++x) {
            uint32_t argb = 0;
            if (bits == 32) {
                const uint8_t* p = src + x * 4;
                argb = (static_cast<uint32_t>(p[3]) << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
                anyAlpha = anyAlpha || p[3] != 0;
            } else if (bits == 24) {
                const uint8_t* p = src + x * 3;
                argb = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
            } else {
                const size_t bit = static_cast<size_t>(x) * bits;
                const uint8_t byte = src[bit / 8];
                const unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= paletteCount) return false;
                const uint8_t* q = data + paletteOffset + index * 4;
                argb = 0xFF000000u | (q[2] << 16) | (q[1] << 8) | q[0];
            }
            out.argb[static_cast<size_t>(row) * width + x] = argb;
        }
    }
    // Without an alpha channel the AND mask says which pixels are see-through.
    if (!anyAlpha || bits != 32) {
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                uint32_t& p = out.argb[static_cast<size_t>(row) * width + x];
                bool transparent = false;
                if (hasMask) {
                    const uint8_t* m = data + maskOffset + maskStride * (height - 1 - row);
                    transparent = (m[x / 8] >> (7 - x % 8)) & 1u;
                }
                p = transparent ? 0 : (p | 0xFF000000u);
            }
        }
    }
    return true;
}

bool ParseCursorFile(const std::vector<uint8_t>& file, CursorIcon& out) {
    if (file.size() < 6) return false;
    const uint8_t* d = file.data();
    const uint16_t type = Le16(d + 2);
    const uint16_t count = Le16(d + 4);
    if (Le16(d) != 0 || (type != 1 && type != 2) || count == 0) return false;
    if (6 + static_cast<size_t>(count) * 16 > file.size()) return false;
    // The largest image up to 64 pixels, as a cursor is shown at about that size.
    int best = -1, bestWidth = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = d + 6 + i * 16;
        const int w = e[0] ? e[0] : 256;
        if (best < 0 || (w <= 64 && (w > bestWidth || bestWidth > 64)) ||
            (bestWidth > 64 && w < bestWidth)) {
            best = i;
            bestWidth = w;
        }
    }
    const uint8_t* e = d + 6 + best * 16;
    const uint32_t bytes = Le32(e + 8);
    const uint32_t offset = Le32(e + 12);
    if (offset >= file.size() || bytes > file.size() - offset) return false;
    if (!DecodeDibImage(d + offset, bytes, out)) return false;
    if (type == 2) {
        out.hotX = std::min<int>(Le16(e + 4), out.width - 1);
        out.hotY = std::min<int>(Le16(e + 6), out.height - 1);
    }
    return true;
}

bool ReadWholeFile(const char* name, std::vector<uint8_t>& out) {
    FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    uint8_t block[4096];
    size_t n = 0;
    bool ok = true;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
        out.insert(out.end(), block, block + n);
        if (out.size() > (16u << 20)) { // no cursor is this large
            ok = false;
            break;
        }
    }
    ok = ok && !std::ferror(f);
    std::fclose(f);
    return ok;
}

void* SdlCursorOf(CursorIcon& c) {
    if (!c.sdlCursor) {
        c.sdlCursor =
            c.systemId ? sdl::CreateSystemCursor(c.systemId)
                       : sdl::CreateColorCursor(c.argb.data(), c.width, c.height, c.hotX, c.hotY);
    }
    return c.sdlCursor;
}

} // namespace

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
    if (!IS_INTRESOURCE(name)) return 0; // cursors come from the system or from files here
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (!KnownCursorId(id)) return 0;
    auto it = g_systemCursors.find(id);
    if (it != g_systemCursors.end()) return it->second;
    auto c = std::make_unique<CursorIcon>();
    c->systemId = id;
    c->shared = true;
    const HCURSOR h = g_cursors.Add(std::move(c));
    g_systemCursors.emplace(id, h);
    return h;
}

HCURSOR LoadCursorFromFileA(LPCSTR fileName) {
    if (!fileName || IS_INTRESOURCE(fileName) || !*fileName) return 0;
    std::vector<uint8_t> file;
    if (!ReadWholeFile(fileName, file)) return 0;
    auto c = std::make_unique<CursorIcon>();
    if (!ParseCursorFile(file, *c)) return 0;
    return g_cursors.Add(std::move(c));
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    if (!IS_INTRESOURCE(name) || reinterpret_cast<uintptr_t>(name) != IDI_APPLICATION) return 0;
    if (!g_applicationIcon) {
        auto icon = std::make_unique<CursorIcon>(ApplicationIcon());
        icon->shared = true;
        g_applicationIcon = g_cursors.Add(std::move(icon));
    }
    return g_applicationIcon;
}

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR previous = g_shownCursor;
    CursorIcon* c = g_cursors.Find(cursor);
    if (!c) return previous;
    sdl::ApplyCursor(SdlCursorOf(*c));
    g_shownCursor = cursor;
    return previous;
}

void ShowClassCursor(HCURSOR cursor) {
    if (cursor != g_shownCursor) SetCursor(cursor);
}

BOOL DestroyCursor(HCURSOR cursor) {
    CursorIcon* c = g_cursors.Find(cursor);
    if (!c || c->shared || cursor == g_shownCursor) return FALSE;
    sdl::FreeCursor(c->sdlCursor);
    g_cursors.Remove(cursor);
    return TRUE;
}

BOOL DestroyIcon(HICON icon) {
    return DestroyCursor(icon);
}

bool CursorIconPixels(HANDLE handle, std::vector<uint32_t>& argb, int& width, int& height) {
    const CursorIcon* c = g_cursors.Find(handle);
    if (!c || c->argb.empty()) return false;
    argb = c->argb;
    width = c->width;
    height = c->height;
    return true;
}

} // namespace platform
