// Region arithmetic on lists of non-overlapping rectangles.
#include "platform/user/update_region.h"

#include <algorithm>

namespace platform {

bool RectEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT RectIntersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return RectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

namespace {

// The parts of `r` outside `cut`: up to four rectangles (bands above and below, then the
// pieces left and right of `cut` within its rows).
void AppendDifference(const RECT& r, const RECT& cut, std::vector<RECT>* out) {
    const RECT inside = RectIntersection(r, cut);
    if (RectEmpty(inside)) {
        out->push_back(r);
        return;
    }
    if (r.top < inside.top) {
        out->push_back({r.left, r.top, r.right, inside.top});
    }
    if (inside.bottom < r.bottom) {
        out->push_back({r.left, inside.bottom, r.right, r.bottom});
    }
    if (r.left < inside.left) {
        out->push_back({r.left, inside.top, inside.left, inside.bottom});
    }
    if (inside.right < r.right) {
        out->push_back({inside.right, inside.top, r.right, inside.bottom});
    }
}

}  // namespace

RECT Region::Bounds() const {
    if (rects_.empty()) {
        return {0, 0, 0, 0};
    }
    RECT b = rects_.front();
    for (const RECT& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

bool Region::Contains(POINT pt) const {
    return std::any_of(rects_.begin(), rects_.end(), [&](const RECT& r) {
        return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
    });
}

void Region::Add(const RECT& rect) {
    if (RectEmpty(rect)) {
        return;
    }
    // Keep the pieces of the new rectangle that no existing one covers.
    std::vector<RECT> pieces{rect};
    for (const RECT& existing : rects_) {
        std::vector<RECT> next;
        for (const RECT& piece : pieces) {
            AppendDifference(piece, existing, &next);
        }
        pieces.swap(next);
        if (pieces.empty()) {
            return;
        }
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::Add(const Region& other) {
    for (const RECT& r : other.rects_) {
        Add(r);
    }
}

void Region::Subtract(const RECT& rect) {
    if (RectEmpty(rect)) {
        return;
    }
    std::vector<RECT> next;
    for (const RECT& r : rects_) {
        AppendDifference(r, rect, &next);
    }
    rects_.swap(next);
}

void Region::Intersect(const RECT& rect) {
    std::vector<RECT> next;
    for (const RECT& r : rects_) {
        const RECT inside = RectIntersection(r, rect);
        if (!RectEmpty(inside)) {
            next.push_back(inside);
        }
    }
    rects_.swap(next);
}

void Region::Intersect(const Region& other) {
    // Pieces of disjoint rectangles intersected pairwise stay disjoint.
    std::vector<RECT> next;
    for (const RECT& a : rects_) {
        for (const RECT& b : other.rects_) {
            const RECT inside = RectIntersection(a, b);
            if (!RectEmpty(inside)) {
                next.push_back(inside);
            }
        }
    }
    rects_.swap(next);
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

}  // namespace platform
