// The "IMAGEBUTTON" window procedure: three pictures held in memory DCs, an outline cut
// from the normal picture, hover and press tracking with the mouse capture, and a
// WM_COMMAND posted to the parent on a click. All state lives in window properties.
#include <string>

#include "lumora/image_button.h"
#include "platform/win32.h"

namespace Lumora {

using namespace platform;

const char* const SZHOVERCLASS = "IMAGEBUTTON";
const char* const NORMALBMP = "NORMALBITMAP";
const char* const HOVERBMP = "HOVERBITMAP";
const char* const PRESSBMP = "PRESSBITMAP";
const char* const HOVERMODE = "HOVERMODEBYTE";
const char* const BUTTONRGN = "HOVERBUTTONREGION";

std::string BMPType; // picture file prefix; set by programs

namespace {

constexpr COLORREF OutlineColour = 0x00FF00FF; // magenta marks the see-through pixels
constexpr uint8_t OutlineTolerance = 1;

// Property names of the memory DC's picture objects, so that they go with the DC.
std::string BitmapProp(const char* dcProp) { return std::string(dcProp) + ".BMP"; }
std::string PaletteProp(const char* dcProp) { return std::string(dcProp) + ".PAL"; }

std::string PictureFile(char letter) { return BMPType + letter + ".BMP"; }

// A memory DC holding one picture with its palette realised; the bitmap and palette are
// remembered beside it so that they are released together with the DC.
void LoadPicture(HWND wnd, const char* dcProp, HBITMAP bitmap, HPALETTE palette) {
    const HDC dc = CreateCompatibleDC(0);
    if (bitmap) SelectObject(dc, bitmap);
    if (palette) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    SetPropA(wnd, dcProp, dc);
    SetPropA(wnd, BitmapProp(dcProp).c_str(), bitmap);
    SetPropA(wnd, PaletteProp(dcProp).c_str(), palette);
}

void ReleasePicture(HWND wnd, const char* dcProp) {
    const HANDLE dc = GetPropA(wnd, dcProp);
    if (dc != 0) DeleteDC(dc);
    RemovePropA(wnd, dcProp);
    // The button's pictures die with their DCs, not with the process.
    if (const HANDLE bitmap = RemovePropA(wnd, BitmapProp(dcProp).c_str())) DeleteObject(bitmap);
    if (const HANDLE palette = RemovePropA(wnd, PaletteProp(dcProp).c_str())) DeleteObject(palette);
}

void SetState(HWND wnd, HANDLE state) { SetPropA(wnd, HOVERMODE, state); }

void OnCreate(HWND wnd) {
    HPALETTE palette = 0;
    const HBITMAP normal = LoadBMPFromFile(PictureFile('N').c_str(), palette);
    BITMAP bm{};
    RECT button{}, parent{};
    GetWindowRect(wnd, &button);
    GetWindowRect(GetParent(wnd), &parent);
    // Without its normal picture the button keeps the size it was made with, but it is
    // placed like every other button so that a layout does not shift for a missing file.
    int width = button.right - button.left, height = button.bottom - button.top;
    if (normal && GetObjectA(normal, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    }
    // The fixed offsets stand for the parent's frame and caption, whatever it has.
    MoveWindow(wnd, button.left - parent.left - 3, button.top - parent.top - 19, width, height,
               FALSE);
    LoadPicture(wnd, NORMALBMP, normal, normal ? palette : 0);

    HPALETTE hoverPalette = 0;
    const HBITMAP hover = LoadBMPFromFile(PictureFile('H').c_str(), hoverPalette);
    LoadPicture(wnd, HOVERBMP, hover, hover ? hoverPalette : 0);
    HPALETTE pressPalette = 0;
    const HBITMAP press = LoadBMPFromFile(PictureFile('P').c_str(), pressPalette);
    LoadPicture(wnd, PRESSBMP, press, press ? pressPalette : 0);

    SetState(wnd, 1);
    const HRGN outline = BitmapToRegion(PictureFile('N').c_str(), OutlineColour, OutlineTolerance);
    if (!outline) return;
    SetWindowRgn(wnd, outline, FALSE); // the window owns this one
    SetPropA(wnd, BUTTONRGN, BitmapToRegion(PictureFile('N').c_str(), OutlineColour, OutlineTolerance));
}

void OnDestroy(HWND wnd) {
    RemovePropA(wnd, HOVERMODE);
    if (const HANDLE rgn = GetPropA(wnd, BUTTONRGN)) DeleteObject(rgn);
    RemovePropA(wnd, BUTTONRGN);
    ReleasePicture(wnd, PRESSBMP);
    ReleasePicture(wnd, HOVERBMP);
    ReleasePicture(wnd, NORMALBMP);
}

void OnPaint(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    HANDLE picture = 0;
    switch (GetPropA(wnd, HOVERMODE)) {
    case 1: picture = GetPropA(wnd, NORMALBMP); break;
    case 2: picture = GetPropA(wnd, HOVERBMP); break;
    case 3: picture = GetPropA(wnd, PRESSBMP); break;
    default: break;
    }
    if (!picture) {
        // Nothing to show; the request is still answered so it does not come back forever.
        ValidateRect(wnd, nullptr);
        return;
    }
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(wnd, &ps);
    BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, picture, 0, 0, SRCCOPY);
    EndPaint(wnd, &ps);
}

void OnMouseMove(HWND wnd, WPARAM wParam, LPARAM lParam) {
    const HANDLE rgn = GetPropA(wnd, BUTTONRGN);
    const HANDLE state = GetPropA(wnd, HOVERMODE);
    if (!rgn || !state) return;
    if (PtInRegion(rgn, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
        if (state != 1) return;
        SetState(wnd, (wParam & 3) != 0 ? 3 : 2);
        SetCapture(wnd);
        InvalidateRect(wnd, nullptr, FALSE);
    } else {
        SetState(wnd, 1);
        ReleaseCapture();
        InvalidateRect(wnd, nullptr, FALSE);
    }
}

} // namespace

LRESULT HoverButtonHandler(HWND Wnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
    case WM_CREATE: OnCreate(Wnd); return 0;
    case WM_DESTROY: OnDestroy(Wnd); return 0;
    case WM_PAINT: OnPaint(Wnd); return 0;
    case WM_MOUSEMOVE: OnMouseMove(Wnd, wParam, lParam); return 0;
    case WM_LBUTTONDOWN:
        SetCapture(Wnd);
        SetState(Wnd, 3);
        InvalidateRect(Wnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (GetPropA(Wnd, HOVERMODE) == 3)
            PostMessageA(GetParent(Wnd), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(Wnd)), 0);
        SetState(Wnd, 1);
        ReleaseCapture();
        InvalidateRect(Wnd, nullptr, FALSE);
        return 0;
    default: return DefWindowProcA(Wnd, iMsg, wParam, lParam);
    }
}

} // namespace Lumora
