// Regions: unions of half-open rectangles, their set operations (pixman's), point tests and
// read-back, plus the queries the window side makes for hit tests and composition.
//   [x] SetRect, CreateRectRgn, ExtCreateRegion (RDH_RECTANGLES, no transform); rectangles
//       already in band order are joined without pixman's sort
//   [x] CombineRgn: AND, OR, XOR, DIFF, COPY; a union that adds rows below is appended in
//       place, so a region built band after band costs no more than one built at once
//   [x] PtInRegion, GetRgnBox, GetRegionData, EqualRgn
//   [ ] transforms other than identity, OffsetRgn, elliptic and polygon regions
#include <algorithm>
#include <cstring>

#include "gdi_internal.h"
#include "platform/win_gdi.h"

namespace platform {

using namespace gdi;
using backend::RegionBox;

static_assert(sizeof(RegionBox) == sizeof(RECT), "region data is copied box for box");

namespace {

// Mirrors pixman's limit on coordinates so that extents never overflow.
constexpr int32_t kMinCoord = INT32_MIN / 2;
constexpr int32_t kMaxCoord = INT32_MAX / 2;

RegionBox UnionOfExtents(const RegionBox& a, const RegionBox& b) {
    return RegionBox{std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2),
                     std::max(a.y2, b.y2)};
}

// Index of the first box of the band that holds box i.
size_t BandStart(const std::vector<RegionBox>& boxes, size_t i) {
    while (i > 0 && boxes[i - 1].y1 == boxes[i].y1)
        --i;
    return i;
}

// One past the last box of the band that starts at box i.
size_t BandEnd(const std::vector<RegionBox>& boxes, size_t i) {
    const int32_t top = boxes[i].y1;
    while (i < boxes.size() && boxes[i].y1 == top)
        ++i;
    return i;
}

// Appends one band (boxes of one height, left to right, apart) below the list. A band equal
// to the one right above it, and touching it, joins that one instead, as pixman would do.
void AppendBand(std::vector<RegionBox>& boxes, const RegionBox* band, size_t n) {
    if (!boxes.empty() && boxes.back().y2 == band[0].y1) {
        const size_t start = BandStart(boxes, boxes.size() - 1);
        const bool same =
            boxes.size() - start == n &&
            std::equal(band, band + n, boxes.begin() + static_cast<std::ptrdiff_t>(start),
                       [](const RegionBox& p, const RegionBox& q) {
                           return p.x1 == q.x1 && p.x2 == q.x2;
                       });
        if (same) {
            for (size_t i = start; i < boxes.size(); ++i)
                boxes[i].y2 = band[0].y2;
            return;
        }
    }
    boxes.insert(boxes.end(), band, band + n);
}

// Rectangles already in band order (by top, then left; one height per band; bands and the
// boxes within a band apart) need no sorting and are joined band by band: what a bitmap scan
// hands over. False for anything else, which pixman sorts out.
bool FromOrderedRects(const RegionBox* r, size_t n, Region& out) {
    out.boxes.clear();
    out.boxes.reserve(n);
    RegionBox e{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    int32_t above = INT32_MIN;
    for (size_t i = 0; i < n;) {
        const int32_t y1 = r[i].y1, y2 = r[i].y2;
        if (y1 >= y2 || y1 < above) return false;
        size_t j = i;
        for (; j < n && r[j].y1 == y1; ++j) {
            if (r[j].y2 != y2 || r[j].x1 >= r[j].x2) return false;
            if (j > i && r[j].x1 <= r[j - 1].x2) return false; // touching boxes merge
        }
        AppendBand(out.boxes, r + i, j - i);
        e = RegionBox{std::min(e.x1, r[i].x1), std::min(e.y1, y1), std::max(e.x2, r[j - 1].x2),
                      std::max(e.y2, y2)};
        above = y2;
        i = j;
    }
    out.extents = n ? e : RegionBox{0, 0, 0, 0};
    return true;
}

std::unique_ptr<Region> NewRegionFrom(const RegionBox* rects, size_t count) {
    auto r = std::make_unique<Region>();
    if (FromOrderedRects(rects, count, *r)) return r;
    if (!backend::RegionFromRects(rects, count, &r->boxes, &r->extents)) return nullptr;
    return r;
}

// One band's boxes joined with another's of the same height.
std::vector<RegionBox> MergeBands(const RegionBox* a, size_t na, const RegionBox* b, size_t nb) {
    std::vector<RegionBox> out;
    out.reserve(na + nb);
    size_t i = 0, j = 0;
    while (i < na || j < nb) {
        const RegionBox& next = (j == nb || (i < na && a[i].x1 <= b[j].x1)) ? a[i++] : b[j++];
        if (!out.empty() && next.x1 <= out.back().x2)
            out.back().x2 = std::max(out.back().x2, next.x2);
        else
            out.push_back(next);
    }
    return out;
}

// a = a | b. Bands of a that end above b's top are untouched, so only a's last bands and b
// are joined and the result is appended after them. Regions built row by row (bitmap
// outlines) grow in linear time this way instead of being rebuilt at each step.
bool UnionInPlace(Region& a, const Region& b) {
    if (b.boxes.empty()) return true;
    if (a.boxes.empty()) {
        a = b;
        return true;
    }
    const int32_t top = b.extents.y1;
    // Boxes are ordered by band and bands by y, so their bottoms never decrease.
    const auto split = std::partition_point(a.boxes.begin(), a.boxes.end(),
                                            [top](const RegionBox& r) { return r.y2 <= top; });
    const size_t keep = static_cast<size_t>(split - a.boxes.begin());
    const size_t bFirstEnd = BandEnd(b.boxes, 0);
    if (keep == a.boxes.size()) {
        // b lies wholly below a.
        AppendBand(a.boxes, b.boxes.data(), bFirstEnd);
        a.boxes.insert(a.boxes.end(), b.boxes.begin() + static_cast<std::ptrdiff_t>(bFirstEnd),
                       b.boxes.end());
    } else if (BandEnd(a.boxes, keep) == a.boxes.size() && a.boxes[keep].y1 == b.boxes[0].y1 &&
               a.boxes[keep].y2 == b.boxes[0].y2) {
        // a's last band and b's first cover the same rows: the seam of a row split in two.
        const std::vector<RegionBox> seam =
            MergeBands(a.boxes.data() + keep, a.boxes.size() - keep, b.boxes.data(), bFirstEnd);
        a.boxes.resize(keep);
        AppendBand(a.boxes, seam.data(), seam.size());
        if (bFirstEnd < b.boxes.size()) {
            const size_t secondEnd = BandEnd(b.boxes, bFirstEnd);
            AppendBand(a.boxes, b.boxes.data() + bFirstEnd, secondEnd - bFirstEnd);
            a.boxes.insert(a.boxes.end(), b.boxes.begin() + static_cast<std::ptrdiff_t>(secondEnd),
                           b.boxes.end());
        }
    } else {
        // Anything else: pixman joins a's overlapping bands with b.
        std::vector<RegionBox> tail(split, a.boxes.end()), merged;
        RegionBox mergedExtents;
        if (!backend::RegionCombine(backend::RegionOp::Or, tail, b.boxes, &merged, &mergedExtents))
            return false;
        a.boxes.resize(keep);
        if (!merged.empty()) {
            const size_t firstEnd = BandEnd(merged, 0);
            AppendBand(a.boxes, merged.data(), firstEnd);
            a.boxes.insert(a.boxes.end(), merged.begin() + static_cast<std::ptrdiff_t>(firstEnd),
                           merged.end());
        }
    }
    a.extents = UnionOfExtents(a.extents, b.extents);
    return true;
}

bool Contains(const Region& r, int x, int y) {
    if (r.boxes.empty() || x < r.extents.x1 || x >= r.extents.x2 || y < r.extents.y1 ||
        y >= r.extents.y2)
        return false;
    // First box whose band reaches below y; if its band starts at or above y it holds y.
    const auto band = std::partition_point(r.boxes.begin(), r.boxes.end(),
                                           [y](const RegionBox& b) { return b.y2 <= y; });
    if (band == r.boxes.end() || band->y1 > y) return false;
    const int32_t bandTop = band->y1;
    const auto bandEnd = std::partition_point(
        band, r.boxes.end(), [bandTop](const RegionBox& b) { return b.y1 == bandTop; });
    const auto box =
        std::partition_point(band, bandEnd, [x](const RegionBox& b) { return b.x2 <= x; });
    return box != bandEnd && box->x1 <= x;
}

} // namespace

namespace gdi {

int RegionKind(const Region& region) {
    if (region.boxes.empty()) return NULLREGION;
    return region.boxes.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool IsRegion(HRGN rgn) {
    return FindRegion(rgn) != nullptr;
}

bool RegionContains(HRGN rgn, int x, int y) {
    const Region* r = FindRegion(rgn);
    return r && Contains(*r, x, y);
}

std::vector<uint8_t> RegionMask(HRGN rgn, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    std::vector<uint8_t> mask(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const Region* r = FindRegion(rgn);
    if (!r) return mask;
    for (const RegionBox& b : r->boxes) {
        const int x1 = std::max(b.x1, 0), x2 = std::min(b.x2, width);
        const int y1 = std::max(b.y1, 0), y2 = std::min(b.y2, height);
        for (int y = y1; y < y2; ++y)
            if (x1 < x2)
                std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(y) * width + x1, x2 - x1, 1);
    }
    return mask;
}

} // namespace gdi

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const RegionBox box{
        std::clamp(left, kMinCoord, kMaxCoord), std::clamp(top, kMinCoord, kMaxCoord),
        std::clamp(right, kMinCoord, kMaxCoord), std::clamp(bottom, kMinCoord, kMaxCoord)};
    return AddRegion(NewRegionFrom(&box, 1));
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data) {
    if (!data || count < sizeof(RGNDATAHEADER)) return 0;
    if (xform && !(xform->eM11 == 1.0f && xform->eM12 == 0.0f && xform->eM21 == 0.0f &&
                   xform->eM22 == 1.0f && xform->eDx == 0.0f && xform->eDy == 0.0f))
        return 0;
    const RGNDATAHEADER& h = data->rdh;
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return 0;
    // Never read past the bytes the caller says it gave.
    if (h.nCount > (count - sizeof(RGNDATAHEADER)) / sizeof(RECT)) return 0;
    std::vector<RegionBox> rects(h.nCount);
    if (h.nCount) std::memcpy(rects.data(), data->Buffer, h.nCount * sizeof(RECT));
    for (RegionBox& r : rects) {
        r.x1 = std::clamp(r.x1, kMinCoord, kMaxCoord);
        r.y1 = std::clamp(r.y1, kMinCoord, kMaxCoord);
        r.x2 = std::clamp(r.x2, kMinCoord, kMaxCoord);
        r.y2 = std::clamp(r.y2, kMinCoord, kMaxCoord);
    }
    return AddRegion(NewRegionFrom(rects.data(), rects.size()));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    Region* d = FindRegion(dest);
    const Region* a = FindRegion(src1);
    if (!d || !a) return RGN_ERROR;
    if (mode == RGN_COPY) {
        if (d != a) *d = *a;
        return RegionKind(*d);
    }
    const Region* b = FindRegion(src2);
    if (!b) return RGN_ERROR;
    if (mode == RGN_OR && d == a) {
        if (d == b) return RegionKind(*d);
        if (!UnionInPlace(*d, *b)) return RGN_ERROR;
        return RegionKind(*d);
    }
    backend::RegionOp op;
    switch (mode) {
    case RGN_AND:
        op = backend::RegionOp::And;
        break;
    case RGN_OR:
        op = backend::RegionOp::Or;
        break;
    case RGN_XOR:
        op = backend::RegionOp::Xor;
        break;
    case RGN_DIFF:
        op = backend::RegionOp::Diff;
        break;
    default:
        return RGN_ERROR;
    }
    Region result;
    if (!backend::RegionCombine(op, a->boxes, b->boxes, &result.boxes, &result.extents))
        return RGN_ERROR;
    *d = std::move(result);
    return RegionKind(*d);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    const Region* r = FindRegion(rgn);
    return r && Contains(*r, x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN rgn, RECT* rect) {
    const Region* r = FindRegion(rgn);
    if (!r || !rect) return RGN_ERROR;
    *rect = RECT{r->extents.x1, r->extents.y1, r->extents.x2, r->extents.y2};
    return RegionKind(*r);
}

DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data) {
    const Region* r = FindRegion(rgn);
    if (!r) return 0;
    const uint64_t needed = sizeof(RGNDATAHEADER) + uint64_t{sizeof(RECT)} * r->boxes.size();
    if (needed > UINT32_MAX) return 0;
    if (!data) return static_cast<DWORD>(needed);
    if (count < needed) return 0;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(r->boxes.size());
    data->rdh.nRgnSize = static_cast<DWORD>(sizeof(RECT) * r->boxes.size());
    data->rdh.rcBound = RECT{r->extents.x1, r->extents.y1, r->extents.x2, r->extents.y2};
    if (!r->boxes.empty())
        std::memcpy(data->Buffer, r->boxes.data(), sizeof(RECT) * r->boxes.size());
    return count;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    const Region* ra = FindRegion(a);
    const Region* rb = FindRegion(b);
    if (!ra || !rb) return FALSE;
    // Equal when nothing lies in one and not the other, whatever the two lists look like.
    std::vector<RegionBox> difference;
    RegionBox extents;
    if (!backend::RegionCombine(backend::RegionOp::Xor, ra->boxes, rb->boxes, &difference,
                                &extents))
        return FALSE;
    return difference.empty() ? TRUE : FALSE;
}

} // namespace platform
