// The framework's small value types: CPoint, CSize and CRect over the Win32 geometry structs,
// and the integer types of window messages.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

using UINT_PTR = std::uintptr_t;

class CPoint : public POINT {
  public:
    constexpr CPoint() : POINT{0, 0} {}
    constexpr CPoint(LONG x0, LONG y0) : POINT{x0, y0} {}
};

class CSize : public SIZE {
  public:
    constexpr CSize() : SIZE{0, 0} {}
    constexpr CSize(LONG cx0, LONG cy0) : SIZE{cx0, cy0} {}
};

class CRect : public RECT {
  public:
    constexpr CRect() : RECT{0, 0, 0, 0} {}
    constexpr CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    constexpr explicit CRect(const RECT& rect) : RECT(rect) {}
    constexpr LONG Width() const { return right - left; }
    constexpr LONG Height() const { return bottom - top; }
    constexpr bool operator==(const CRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};
