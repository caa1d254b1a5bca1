// Bitmap files and bitmap-to-region: a BMP file as a DIB section with a palette for it, and
// a window region covering every pixel of a picture outside a transparent colour range.
#include <algorithm>
#include <vector>

#include "lumora/image_button.h"
#include "platform/win32.h"

namespace Lumora {

using namespace platform;

TBitmapToRegionTrace BitmapToRegionTrace; // the last call's buffer use; written by BitmapToRegion

namespace {

// Rectangles gathered before they are turned into a region of their own and joined to the
// result: big enough to keep region calls few, small enough to keep the buffer small.
constexpr DWORD RECTS_PER_REGION = 2000;
constexpr LONG EMPTY_BOUND = 2147483647;

DWORD RegionBufferBytes(DWORD MaxRects) {
    return static_cast<DWORD>(sizeof(RGNDATAHEADER) + sizeof(RECT) * MaxRects);
}

// The rectangle buffer: a movable block holding RGNDATA, locked while it is written.
struct TRectBuffer {
    HGLOBAL hData;
    RGNDATA* pData;
    DWORD MaxRects;
};

void ResetBound(RGNDATAHEADER& Header) {
    Header.nCount = 0;
    SetRect(&Header.rcBound, EMPTY_BOUND, EMPTY_BOUND, 0, 0);
}

// Turns the rectangles in the buffer into a region and joins it to Rslt. False (with Rslt
// untouched) when the platform refuses either step: a region with a chunk missing would be
// a wrong outline, not a smaller one.
bool FlushRects(TRectBuffer& Buf, HRGN& Rslt) {
    const HRGN h = ExtCreateRegion(nullptr, RegionBufferBytes(Buf.MaxRects), Buf.pData);
    if (!h) return false;
    ++BitmapToRegionTrace.Regions;
    if (Rslt) {
        const bool Joined = CombineRgn(Rslt, Rslt, h, RGN_OR) != RGN_ERROR;
        DeleteObject(h);
        if (!Joined) return false;
    } else {
        Rslt = h;
    }
    ResetBound(Buf.pData->rdh);
    return true;
}

bool AddRect(TRectBuffer& Buf, HRGN& Rslt, LONG X0, LONG Y, LONG X) {
    if (Buf.pData->rdh.nCount >= Buf.MaxRects) {
        GlobalUnlock(Buf.hData);
        Buf.pData = nullptr;
        Buf.MaxRects += ALLOC_UNIT;
        // A failed grow leaves the old block alive; the caller frees it.
        if (!GlobalReAlloc(Buf.hData, RegionBufferBytes(Buf.MaxRects), GMEM_MOVEABLE)) return false;
        Buf.pData = static_cast<RGNDATA*>(GlobalLock(Buf.hData)); // the block may have moved
        if (!Buf.pData) return false;
        ++BitmapToRegionTrace.Grows;
    }
    RGNDATAHEADER& Header = Buf.pData->rdh;
    RECT* Rects = reinterpret_cast<RECT*>(Buf.pData->Buffer);
    SetRect(&Rects[Header.nCount], X0, Y, X, Y + 1);
    Header.rcBound.left = std::min(Header.rcBound.left, X0);
    Header.rcBound.top = std::min(Header.rcBound.top, Y);
    Header.rcBound.right = std::max(Header.rcBound.right, X);
    Header.rcBound.bottom = std::max(Header.rcBound.bottom, Y + 1);
    ++Header.nCount;
    ++BitmapToRegionTrace.Rects;
    if (Header.nCount == RECTS_PER_REGION) return FlushRects(Buf, Rslt);
    return true;
}

// Collects the runs of non-transparent pixels of a bottom-up 32-bit buffer, row by row from
// the top of the picture, into a region; 0 when the buffer or a region cannot be made.
HRGN ScanToRegion(const uint8_t* pbits32, LONG Width, LONG Height, LONG Stride, COLORREF TransColor,
                  uint8_t Tolerance) {
    TRectBuffer Buf{0, nullptr, ALLOC_UNIT};
    Buf.hData = GlobalAlloc(GMEM_MOVEABLE, RegionBufferBytes(Buf.MaxRects));
    if (!Buf.hData) return 0;
    Buf.pData = static_cast<RGNDATA*>(GlobalLock(Buf.hData));
    if (!Buf.pData) {
        GlobalFree(Buf.hData);
        return 0;
    }
    Buf.pData->rdh.dwSize = sizeof(RGNDATAHEADER);
    Buf.pData->rdh.iType = RDH_RECTANGLES;
    Buf.pData->rdh.nRgnSize = 0;
    ResetBound(Buf.pData->rdh);

    // The range only widens upwards: nothing below the colour itself is transparent.
    const uint8_t lr = static_cast<uint8_t>(TransColor), lg = static_cast<uint8_t>(TransColor >> 8),
                  lb = static_cast<uint8_t>(TransColor >> 16);
    const uint8_t hr = static_cast<uint8_t>(std::min(0xFF, lr + Tolerance));
    const uint8_t hg = static_cast<uint8_t>(std::min(0xFF, lg + Tolerance));
    const uint8_t hb = static_cast<uint8_t>(std::min(0xFF, lb + Tolerance));

    HRGN Rslt = 0;
    bool Ok = true;
    // The buffer's last row in memory is the picture's top row.
    const uint8_t* p32 = pbits32 + static_cast<size_t>(Height - 1) * static_cast<size_t>(Stride);
    for (LONG y = 0; y < Height && Ok; ++y) {
        const uint32_t* Row = reinterpret_cast<const uint32_t*>(p32);
        for (LONG x = 0; x < Width && Ok; ++x) {
            const LONG x0 = x;
            const uint32_t* p = Row + x;
            while (x < Width) {
                const uint32_t Pixel = *p;
                const uint8_t r = static_cast<uint8_t>(Pixel >> 16);
                if (r >= lr && r <= hr) {
                    const uint8_t g = static_cast<uint8_t>(Pixel >> 8);
                    if (g >= lg && g <= hg) {
                        const uint8_t b = static_cast<uint8_t>(Pixel);
                        if (b >= lb && b <= hb) break; // transparent: the run ends here
                    }
                }
                ++p;
                ++x;
            }
            if (x > x0) Ok = AddRect(Buf, Rslt, x0, y, x);
        }
        p32 -= Stride;
    }
    // The last chunk, also when it holds nothing (an all-transparent picture still gets
    // its empty region).
    if (Ok) Ok = FlushRects(Buf, Rslt);

    BitmapToRegionTrace.MaxRects = static_cast<int32_t>(Buf.MaxRects);
    BitmapToRegionTrace.BufferBytes = static_cast<uint32_t>(GlobalSize(Buf.hData));
    if (Buf.pData) GlobalUnlock(Buf.hData);
    GlobalFree(Buf.hData);
    if (!Ok && Rslt) {
        DeleteObject(Rslt);
        Rslt = 0;
    }
    return Rslt;
}

} // namespace

HBITMAP LoadBMPFromFile(const char* FileName, HPALETTE& Pal) {
    const HBITMAP Bmp =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), FileName, IMAGE_BITMAP, 0, 0,
                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!Bmp) return 0;
    BITMAP bm{};
    GetObjectA(Bmp, sizeof bm, &bm);
    HPALETTE NewPal = 0;
    if (bm.bmPlanes * bm.bmBitsPixel <= 8) {
        // A palette of exactly 256 entries from the colour table; entries the picture does
        // not have stay black.
        const HDC MemDC = CreateCompatibleDC(0);
        if (MemDC) {
            const HGDIOBJ OldBmp = SelectObject(MemDC, Bmp);
            RGBQUAD Table[256] = {};
            GetDIBColorTable(MemDC, 0, 256, Table);
            std::vector<uint8_t> LogPalMem(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
            auto* LogPal = reinterpret_cast<LOGPALETTE*>(LogPalMem.data());
            LogPal->palVersion = 0x300;
            LogPal->palNumEntries = 256;
            PALETTEENTRY* Entries = LogPal->palPalEntry;
            for (int i = 0; i < 256; ++i)
                Entries[i] = PALETTEENTRY{Table[i].rgbRed, Table[i].rgbGreen, Table[i].rgbBlue, 0};
            NewPal = CreatePalette(LogPal);
            SelectObject(MemDC, OldBmp);
            DeleteDC(MemDC);
        }
    } else {
        const HDC ScreenDC = GetDC(0);
        if (ScreenDC) {
            NewPal = CreateHalftonePalette(ScreenDC);
            ReleaseDC(0, ScreenDC);
        }
    }
    // A picture without its palette is no success: give nothing rather than half.
    if (!NewPal) {
        DeleteObject(Bmp);
        return 0;
    }
    Pal = NewPal;
    return Bmp;
}

HRGN BitmapToRegion(const char* BmpName, COLORREF TransColor, uint8_t Tolerance) {
    BitmapToRegionTrace = TBitmapToRegionTrace{};
    HPALETTE Pal = 0;
    const HBITMAP Bmp = LoadBMPFromFile(BmpName, Pal);
    if (!Bmp) return 0;

    HRGN Rslt = 0;
    const HDC MemDC = CreateCompatibleDC(0);
    if (MemDC) {
        BITMAP bm{};
        GetObjectA(Bmp, sizeof bm, &bm);
        // 32 bits, bottom-up: the picture redrawn in one known layout whatever its own.
        BITMAPINFO RGB32BITSBITMAPINFO{};
        RGB32BITSBITMAPINFO.bmiHeader = BITMAPINFOHEADER{
            sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pbits32 = nullptr;
        const HBITMAP hbm32 =
            CreateDIBSection(MemDC, &RGB32BITSBITMAPINFO, DIB_RGB_COLORS, &pbits32, 0, 0);
        if (hbm32) {
            const HGDIOBJ holdBmp = SelectObject(MemDC, hbm32);
            const HDC hDC = CreateCompatibleDC(MemDC);
            if (hDC) {
                const HGDIOBJ holdBmp2 = SelectObject(hDC, Bmp);
                const HPALETTE OldPal = SelectPalette(hDC, Pal, TRUE);
                RealizePalette(hDC);
                const bool Copied =
                    BitBlt(MemDC, 0, 0, bm.bmWidth, bm.bmHeight, hDC, 0, 0, SRCCOPY);
                SelectPalette(hDC, OldPal, FALSE);
                SelectObject(hDC, holdBmp2);
                DeleteDC(hDC);

                BITMAP bm32{};
                GetObjectA(hbm32, sizeof bm32, &bm32);
                LONG Stride = bm32.bmWidthBytes;
                while (Stride % 4 != 0)
                    ++Stride;
                if (Copied)
                    Rslt = ScanToRegion(static_cast<const uint8_t*>(pbits32), bm32.bmWidth,
                                        bm32.bmHeight, Stride, TransColor, Tolerance);
            }
            SelectObject(MemDC, holdBmp);
            DeleteObject(hbm32);
        }
        DeleteDC(MemDC);
    }
    DeleteObject(Pal);
    DeleteObject(Bmp);
    return Rslt;
}

} // namespace Lumora
