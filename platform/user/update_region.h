// A region as USER keeps it for invalidation and clipping: a union of non-overlapping
// rectangles. Windows keeps regions the same way (as bands of rectangles); we keep them simple
// because a window's update region holds a handful of rectangles at most.
#pragma once

#include <vector>

#include "platform/win_types.h"

namespace platform {

bool RectEmpty(const RECT& r);
// The intersection; an empty rectangle when they do not meet.
RECT RectIntersection(const RECT& a, const RECT& b);

class Region {
  public:
    Region() = default;
    explicit Region(const RECT& rect) { Add(rect); }

    bool Empty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }
    // The smallest rectangle holding the region; empty for an empty region.
    RECT Bounds() const;
    bool Contains(POINT pt) const;

    void Clear() { rects_.clear(); }
    // Unites `rect` with the region.
    void Add(const RECT& rect);
    void Add(const Region& other);
    // Removes `rect` from the region.
    void Subtract(const RECT& rect);
    // Keeps only the part inside `rect`.
    void Intersect(const RECT& rect);
    void Intersect(const Region& other);
    void Offset(int dx, int dy);

  private:
    std::vector<RECT> rects_;
};

}  // namespace platform
