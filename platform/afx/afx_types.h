// The framework's small value types: CPoint, CSize and CRect over the Win32 geometry structs,
// and the integer types of window messages. CRect's operations are GDI's rectangle calls.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "platform/win_types.h"

#ifndef _WIN32
using UINT_PTR = std::uintptr_t;
#endif

class CSize;

class CPoint : public POINT {
  public:
    constexpr CPoint() : POINT{0, 0} {}
    constexpr CPoint(LONG x0, LONG y0) : POINT{x0, y0} {}
    constexpr CPoint(POINT point) : POINT(point) {}
    constexpr void Offset(LONG dx, LONG dy) {
        x += dx;
        y += dy;
    }
    constexpr bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    constexpr CPoint operator+(const CPoint& other) const { return {x + other.x, y + other.y}; }
    constexpr CPoint operator-(const CPoint& other) const { return {x - other.x, y - other.y}; }
};

class CSize : public SIZE {
  public:
    constexpr CSize() : SIZE{0, 0} {}
    constexpr CSize(LONG cx0, LONG cy0) : SIZE{cx0, cy0} {}
    constexpr CSize(SIZE size) : SIZE(size) {}
    constexpr bool operator==(const CSize& other) const { return cx == other.cx && cy == other.cy; }
};

class CRect : public RECT {
  public:
    constexpr CRect() : RECT{0, 0, 0, 0} {}
    constexpr CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    constexpr explicit CRect(const RECT& rect) : RECT(rect) {}
    constexpr CRect(POINT topLeft, SIZE size)
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
    constexpr LONG Width() const { return right - left; }
    constexpr LONG Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
    constexpr CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    constexpr bool operator==(const CRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT point) { ::OffsetRect(this, point.x, point.y); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    // This rectangle becomes the overlap of a and b (empty when they do not meet).
    BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
    // This rectangle becomes the smallest one holding a and b.
    BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
};
