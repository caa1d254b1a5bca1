// Region algebra over pixman: set operations on lists of half-open rectangles. Plain C++
// at the seam, so no pixman type (or its TRUE/FALSE macros) leaks into the GDI files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::backend {

// A half-open rectangle: x1, y1 inclusive, x2, y2 exclusive.
struct RegionBox {
    int32_t x1, y1, x2, y2;
};

enum class RegionOp { And, Or, Xor, Diff };

// The banded form (bands top to bottom, boxes left to right, touching boxes merged, equal
// neighbouring bands joined) of the union of any rectangles; empty ones are skipped.
// False when memory is short; `out` is then left empty.
bool RegionFromRects(const RegionBox* rects, size_t count, std::vector<RegionBox>* out,
                     RegionBox* extents);

// a op b, both given in banded form, into `out` (which may not alias a or b).
bool RegionCombine(RegionOp op, const std::vector<RegionBox>& a, const std::vector<RegionBox>& b,
                   std::vector<RegionBox>* out, RegionBox* extents);

} // namespace platform::backend
