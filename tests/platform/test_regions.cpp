// Regions: half-open rectangles, every CombineRgn mode against pixel-set arithmetic, the
// region-data record both ways, and unions built chunk by chunk matching one built at once.
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "../../platform/src/gdi_internal.h"
#include "platform/win32.h"

using namespace platform;

namespace {

// Room for up to `n` rectangles after the header.
struct RegionBuffer {
    std::vector<uint8_t> bytes;
    explicit RegionBuffer(size_t n) : bytes(sizeof(RGNDATAHEADER) + n * sizeof(RECT)) {
        Data()->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 0, 0, {0, 0, 0, 0}};
    }
    RGNDATA* Data() { return reinterpret_cast<RGNDATA*>(bytes.data()); }
    RECT* Rects() { return reinterpret_cast<RECT*>(Data()->Buffer); }
    void Add(const RECT& r) { Rects()[Data()->rdh.nCount++] = r; }
    DWORD Size() const { return static_cast<DWORD>(bytes.size()); }
};

HRGN FromRects(const std::vector<RECT>& rects) {
    RegionBuffer b(rects.size());
    for (const RECT& r : rects)
        b.Add(r);
    return ExtCreateRegion(nullptr, b.Size(), b.Data());
}

std::vector<uint8_t> RegionBytes(HRGN rgn) {
    const DWORD n = GetRegionData(rgn, 0, nullptr);
    std::vector<uint8_t> bytes(n);
    if (n) {
        EXPECT_EQ(GetRegionData(rgn, n, reinterpret_cast<RGNDATA*>(bytes.data())), n);
    }
    return bytes;
}

} // namespace

TEST(Regions, RectanglesAreHalfOpen) {
    const HRGN r = CreateRectRgn(3, 3, 1, 1); // corners in either order
    ASSERT_NE(r, 0u);
    EXPECT_TRUE(PtInRegion(r, 1, 1));
    EXPECT_TRUE(PtInRegion(r, 2, 2));
    EXPECT_FALSE(PtInRegion(r, 3, 2));
    EXPECT_FALSE(PtInRegion(r, 2, 3));
    EXPECT_FALSE(PtInRegion(r, 0, 1));
    RECT box{};
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.bottom, 3);

    const HRGN empty = CreateRectRgn(5, 5, 5, 9);
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    EXPECT_EQ(box.left | box.top | box.right | box.bottom, 0);
    EXPECT_FALSE(PtInRegion(empty, 5, 5));

    RECT rc{};
    EXPECT_TRUE(SetRect(&rc, 1, 2, 3, 4));
    EXPECT_EQ(rc.left + rc.top * 10 + rc.right * 100 + rc.bottom * 1000, 4321);
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
}

TEST(Regions, CombineModesMatchPixelSets) {
    // Two overlapping shapes with holes and touching edges, on a 12 x 12 grid.
    const std::vector<RECT> a = {{0, 0, 6, 4}, {2, 4, 4, 9}, {7, 7, 12, 12}};
    const std::vector<RECT> b = {{3, 2, 9, 8}, {0, 10, 7, 11}};
    auto inside = [](const std::vector<RECT>& rs, int x, int y) {
        for (const RECT& r : rs)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
        return false;
    };
    struct Mode {
        int mode;
        const char* name;
        bool (*op)(bool, bool);
    };
    const Mode modes[] = {
        {RGN_AND, "AND", [](bool p, bool q) { return p && q; }},
        {RGN_OR, "OR", [](bool p, bool q) { return p || q; }},
        {RGN_XOR, "XOR", [](bool p, bool q) { return p != q; }},
        {RGN_DIFF, "DIFF", [](bool p, bool q) { return p && !q; }},
        {RGN_COPY, "COPY", [](bool p, bool) { return p; }},
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        const HRGN ra = FromRects(a), rb = FromRects(b), dest = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(dest, ra, rb, m.mode), COMPLEXREGION);
        for (int y = -1; y < 13; ++y)
            for (int x = -1; x < 13; ++x)
                EXPECT_EQ(PtInRegion(dest, x, y) != FALSE, m.op(inside(a, x, y), inside(b, x, y)))
                    << x << "," << y;
        // The destination may be one of the sources.
        EXPECT_NE(CombineRgn(ra, ra, rb, m.mode), RGN_ERROR);
        EXPECT_TRUE(EqualRgn(ra, dest));
        DeleteObject(ra);
        DeleteObject(rb);
        DeleteObject(dest);
    }

    const HRGN left = CreateRectRgn(0, 0, 2, 2), right = CreateRectRgn(2, 0, 4, 2);
    const HRGN out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out, left, right, RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(out, left, right, RGN_OR), SIMPLEREGION); // touching halves join
    EXPECT_EQ(CombineRgn(out, left, 0, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(out, left, 0, RGN_OR), RGN_ERROR);
    EXPECT_EQ(CombineRgn(out, left, right, 99), RGN_ERROR);
    EXPECT_EQ(CombineRgn(0, left, right, RGN_OR), RGN_ERROR);
}

TEST(Regions, ExtCreateRegionReadsOnlyWhatItIsGiven) {
    RegionBuffer b(3);
    b.Add({0, 0, 4, 1});
    b.Add({5, 5, 5, 9}); // empty
    b.Add({9, 9, 7, 7}); // inverted
    const HRGN r = ExtCreateRegion(nullptr, b.Size(), b.Data());
    ASSERT_NE(r, 0u);
    RECT box{};
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 4);

    const XFORM identity{1, 0, 0, 1, 0, 0}, shift{1, 0, 0, 1, 5, 0};
    EXPECT_NE(ExtCreateRegion(&identity, b.Size(), b.Data()), 0u);
    EXPECT_EQ(ExtCreateRegion(&shift, b.Size(), b.Data()), 0u);
    EXPECT_EQ(ExtCreateRegion(nullptr, b.Size(), nullptr), 0u);
    EXPECT_EQ(ExtCreateRegion(nullptr, 31, b.Data()), 0u);
    // More rectangles claimed than the given size holds.
    EXPECT_EQ(ExtCreateRegion(nullptr, b.Size() - 1, b.Data()), 0u);
    b.Data()->rdh.iType = 2;
    EXPECT_EQ(ExtCreateRegion(nullptr, b.Size(), b.Data()), 0u);
    b.Data()->rdh.iType = RDH_RECTANGLES;
    b.Data()->rdh.dwSize = 40;
    EXPECT_EQ(ExtCreateRegion(nullptr, b.Size(), b.Data()), 0u);

    // Touching rectangles of one row join into one.
    EXPECT_EQ(GetRgnBox(FromRects({{0, 0, 2, 1}, {2, 0, 4, 1}, {0, 1, 4, 2}}), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 2);

    // No rectangles make an empty region, not a failure.
    RegionBuffer none(0);
    const HRGN empty = ExtCreateRegion(nullptr, none.Size(), none.Data());
    ASSERT_NE(empty, 0u);
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
}

TEST(Regions, RegionDataRoundTrips) {
    const HRGN r = FromRects({{0, 0, 3, 1}, {1, 1, 2, 3}, {5, 2, 8, 3}});
    EXPECT_EQ(GetRegionData(r, 0, nullptr), sizeof(RGNDATAHEADER) + 4 * sizeof(RECT));
    std::vector<uint8_t> small(sizeof(RGNDATAHEADER) + 3 * sizeof(RECT), 0xCD);
    EXPECT_EQ(GetRegionData(r, static_cast<DWORD>(small.size()),
                            reinterpret_cast<RGNDATA*>(small.data())),
              0u);
    EXPECT_EQ(small[0], 0xCD); // nothing written

    std::vector<uint8_t> bytes = RegionBytes(r);
    const auto* data = reinterpret_cast<const RGNDATA*>(bytes.data());
    EXPECT_EQ(data->rdh.dwSize, 32u);
    EXPECT_EQ(data->rdh.iType, RDH_RECTANGLES);
    EXPECT_EQ(data->rdh.nCount, 4u); // rows 0, 1, 2 (two boxes)
    EXPECT_EQ(data->rdh.nRgnSize, 64u);
    EXPECT_EQ(data->rdh.rcBound.left, 0);
    EXPECT_EQ(data->rdh.rcBound.right, 8);
    EXPECT_EQ(data->rdh.rcBound.bottom, 3);
    const HRGN copy = ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data);
    EXPECT_TRUE(EqualRgn(r, copy));
    const HRGN other = CreateRectRgn(0, 0, 3, 1);
    EXPECT_FALSE(EqualRgn(r, other));
    DeleteObject(other);
    EXPECT_FALSE(EqualRgn(r, other));
    EXPECT_EQ(GetRegionData(other, 0, nullptr), 0u);
}

TEST(Regions, UnionsBuiltChunkByChunkMatchOneBuiltAtOnce) {
    // Runs of one-pixel-high rows, as a bitmap scan makes them, split into chunks at every
    // kind of seam: mid-row, between rows, and rows repeating the one above.
    std::mt19937 rng(7);
    std::vector<RECT> rows;
    for (int y = 0; y < 60; ++y) {
        if (y % 10 == 5) { // repeat the previous row's runs exactly
            const int prev = y - 1;
            for (size_t i = 0, n = rows.size(); i < n; ++i)
                if (rows[i].top == prev) rows.push_back({rows[i].left, y, rows[i].right, y + 1});
            continue;
        }
        int x = 0;
        while (x < 80) {
            const int gap = static_cast<int>(rng() % 4) + (y % 7 == 3 ? 0 : 1);
            const int run = static_cast<int>(rng() % 6) + 1;
            x += gap;
            if (x + run > 80) break;
            rows.push_back({x, y, x + run, y + 1});
            x += run;
        }
    }
    // The reference is pixman's own build of the rectangles in no particular order.
    std::vector<RECT> shuffled = rows;
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    const HRGN whole = FromRects(shuffled);
    const std::vector<uint8_t> wholeBytes = RegionBytes(whole);
    // Handed over in band order, the rectangles give the same list without the sorting.
    EXPECT_EQ(RegionBytes(FromRects(rows)), wholeBytes);

    for (const size_t chunk : {size_t{1}, size_t{3}, size_t{17}, size_t{100}, rows.size()}) {
        SCOPED_TRACE(chunk);
        HRGN result = 0;
        for (size_t at = 0; at < rows.size(); at += chunk) {
            const std::vector<RECT> part(rows.begin() + at,
                                         rows.begin() + std::min(rows.size(), at + chunk));
            const HRGN piece = FromRects(part);
            if (!result) {
                result = piece;
                continue;
            }
            ASSERT_NE(CombineRgn(result, result, piece, RGN_OR), RGN_ERROR);
            DeleteObject(piece);
        }
        EXPECT_TRUE(EqualRgn(result, whole));
        // The same banded list, box for box, as pixman's own build.
        EXPECT_EQ(RegionBytes(result), wholeBytes);
        DeleteObject(result);
    }

    // Chunks arriving out of order still give the same region.
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (size_t at = rows.size(); at > 0;) {
        const size_t from = at >= 25 ? at - 25 : 0;
        const HRGN piece = FromRects(std::vector<RECT>(rows.begin() + from, rows.begin() + at));
        ASSERT_NE(CombineRgn(result, result, piece, RGN_OR), RGN_ERROR);
        DeleteObject(piece);
        at = from;
    }
    EXPECT_EQ(RegionBytes(result), wholeBytes);
}

TEST(Regions, MaskAndContainmentForTheWindowSide) {
    const HRGN r = FromRects({{-2, -2, 2, 2}, {3, 1, 9, 2}});
    EXPECT_TRUE(gdi::IsRegion(r));
    EXPECT_FALSE(gdi::IsRegion(CreateCompatibleDC(0)));
    EXPECT_TRUE(gdi::RegionContains(r, -2, -2));
    EXPECT_FALSE(gdi::RegionContains(r, 2, 0));
    const std::vector<uint8_t> mask = gdi::RegionMask(r, 5, 3);
    const std::vector<uint8_t> want = {1, 1, 0, 0, 0, //
                                       1, 1, 0, 1, 1, //
                                       0, 0, 0, 0, 0};
    EXPECT_EQ(mask, want);
    DeleteObject(r);
    EXPECT_FALSE(gdi::RegionContains(r, 0, 0));
    EXPECT_EQ(gdi::RegionMask(r, 2, 1), std::vector<uint8_t>(2, 0));
}
