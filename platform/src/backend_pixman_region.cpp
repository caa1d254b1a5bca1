// pixman_region32 behind the plain region seam: every set operation of the GDI regions is
// pixman's; the caller keeps the resulting rectangle list.
#include "backend_pixman_region.h"

#include <cstdint>

#include <pixman.h>

namespace platform::backend {

namespace {

// A pixman region that cleans up after itself.
struct PixRegion {
    pixman_region32_t r;
    PixRegion() { pixman_region32_init(&r); }
    ~PixRegion() { pixman_region32_fini(&r); }
    PixRegion(const PixRegion&) = delete;
    PixRegion& operator=(const PixRegion&) = delete;
};

static_assert(sizeof(RegionBox) == sizeof(pixman_box32_t));

bool Load(PixRegion& region, const RegionBox* rects, size_t count) {
    if (count == 0) return true;
    pixman_region32_fini(&region.r);
    // pixman's box and ours are the same four 32-bit fields in the same order.
    const auto* boxes = reinterpret_cast<const pixman_box32_t*>(rects);
    if (!pixman_region32_init_rects(&region.r, boxes, static_cast<int>(count))) {
        pixman_region32_init(&region.r);
        return false;
    }
    return true;
}

bool Store(const PixRegion& region, std::vector<RegionBox>* out, RegionBox* extents) {
    int n = 0;
    const pixman_box32_t* boxes =
        pixman_region32_rectangles(const_cast<pixman_region32_t*>(&region.r), &n);
    out->assign(reinterpret_cast<const RegionBox*>(boxes),
                reinterpret_cast<const RegionBox*>(boxes) + n);
    const pixman_box32_t* e = pixman_region32_extents(const_cast<pixman_region32_t*>(&region.r));
    *extents = n ? RegionBox{e->x1, e->y1, e->x2, e->y2} : RegionBox{0, 0, 0, 0};
    return true;
}

} // namespace

bool RegionFromRects(const RegionBox* rects, size_t count, std::vector<RegionBox>* out,
                     RegionBox* extents) {
    out->clear();
    *extents = RegionBox{0, 0, 0, 0};
    // pixman counts rectangles in an int.
    if (count > static_cast<size_t>(INT32_MAX)) return false;
    // Empty and inverted rectangles add nothing; pixman would complain about a lone one.
    std::vector<RegionBox> kept;
    for (size_t i = 0; i < count; ++i) {
        const RegionBox& r = rects[i];
        if (r.x1 < r.x2 && r.y1 < r.y2) continue;
        kept.reserve(count);
        for (size_t j = 0; j < count; ++j)
            if (rects[j].x1 < rects[j].x2 && rects[j].y1 < rects[j].y2) kept.push_back(rects[j]);
        rects = kept.data();
        count = kept.size();
        break;
    }
    PixRegion region;
    if (!Load(region, rects, count)) return false;
    return Store(region, out, extents);
}

bool RegionCombine(RegionOp op, const std::vector<RegionBox>& a, const std::vector<RegionBox>& b,
                   std::vector<RegionBox>* out, RegionBox* extents) {
    out->clear();
    *extents = RegionBox{0, 0, 0, 0};
    PixRegion ra, rb, result;
    if (!Load(ra, a.data(), a.size()) || !Load(rb, b.data(), b.size())) return false;
    pixman_bool_t ok = 0;
    switch (op) {
    case RegionOp::And:
        ok = pixman_region32_intersect(&result.r, &ra.r, &rb.r);
        break;
    case RegionOp::Or:
        ok = pixman_region32_union(&result.r, &ra.r, &rb.r);
        break;
    case RegionOp::Diff:
        ok = pixman_region32_subtract(&result.r, &ra.r, &rb.r);
        break;
    case RegionOp::Xor: {
        // (a - b) + (b - a): pixman has no exclusive-or of its own.
        PixRegion ab, ba;
        ok = pixman_region32_subtract(&ab.r, &ra.r, &rb.r) &&
             pixman_region32_subtract(&ba.r, &rb.r, &ra.r) &&
             pixman_region32_union(&result.r, &ab.r, &ba.r);
        break;
    }
    }
    if (!ok) return false;
    return Store(result, out, extents);
}

} // namespace platform::backend
