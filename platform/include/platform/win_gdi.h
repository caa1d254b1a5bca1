// GDI: device contexts, bitmaps and DIB sections, palettes, brushes, regions, and
// movable global memory.
#pragma once

#include "platform/win_types.h"

namespace platform {

// ---- device contexts and objects ---------------------------------------------------------

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
int GetObjectA(HGDIOBJ obj, int size, void* out);
HGDIOBJ GetStockObject(int index);
HBRUSH CreateSolidBrush(COLORREF color);

// ---- bitmaps -------------------------------------------------------------------------------

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);

// ---- palettes ------------------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* logPalette);
HPALETTE CreateHalftonePalette(HDC dc);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);

// ---- regions -------------------------------------------------------------------------------

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL PtInRegion(HRGN rgn, int x, int y);
DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data);
int GetRgnBox(HRGN rgn, RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
// The window owns the region from then on; it clips hit tests and composition.
int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw);

// ---- movable memory ----------------------------------------------------------------------

HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags);
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);
size_t GlobalSize(HGLOBAL mem);

} // namespace platform
