// The objects behind GDI handles, shared by the drawing, text and object files of GDI.
// Every live object is registered, so that a handle is checked before it is used.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace platform::gdi {

// The drawing files reach the pixel conversions through this namespace.
using platform::FromPixel;
using platform::ToPixel;

enum class ObjectKind { Brush, Bitmap, Font, DeviceContext };

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ObjectKind kind;
    bool stock = false;
    int selectedCount = 0;  // device contexts it is selected into
};

struct Brush : GdiObject {
    Brush() : GdiObject(ObjectKind::Brush) {}
    COLORREF color = 0;
    bool hollow = false;
};

struct Bitmap : GdiObject {
    Bitmap() : GdiObject(ObjectKind::Bitmap) {}
    PixelSurface pixels;
    UINT resourceId = 0;
};

class FontFace;  // a resolved, sized face (gdi_fonts.cpp)

struct Font : GdiObject {
    Font() : GdiObject(ObjectKind::Font) {}
    LOGFONTW logfont{};
    std::string requestedFace;  // UTF-8
    std::shared_ptr<FontFace> face;
};

struct DeviceContext : GdiObject {
    DeviceContext() : GdiObject(ObjectKind::DeviceContext) {}
    PixelSurface* surface = nullptr;  // a window surface, or the selected bitmap's pixels
    POINT origin{0, 0};
    std::vector<RECT> clip;  // disjoint rectangles, surface coordinates
    bool memory = false;     // a memory DC: clip follows the selected bitmap
    Bitmap* bitmap = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    bool recording = false;
    std::vector<DrawingRecord> log;
};

// The registry of live objects. Lookups return null for unknown handles or the wrong kind.
void Register(GdiObject* object);
void Unregister(GdiObject* object);
GdiObject* Lookup(const void* handle, ObjectKind kind);
std::mutex& ObjectLock();

DeviceContext* LookupDC(HDC hdc);

// The colour a brush handle paints with: a brush object or (HBRUSH)(COLOR_x + 1). Empty for a
// bad handle; `hollow` is set for the null brush.
std::optional<COLORREF> BrushColor(HBRUSH brush, bool* hollow);

// Calls `fill(x0, x1, y)` for each run of pixels of the surface rectangle `area` inside `clip`
// (disjoint rectangles, surface coordinates; x1 exclusive).
template <typename Fn>
void ForEachClippedSpan(const std::vector<RECT>& clip, const RECT& area, Fn&& fill) {
    for (const RECT& c : clip) {
        const LONG left = area.left > c.left ? area.left : c.left;
        const LONG right = area.right < c.right ? area.right : c.right;
        const LONG top = area.top > c.top ? area.top : c.top;
        const LONG bottom = area.bottom < c.bottom ? area.bottom : c.bottom;
        for (LONG y = top; y < bottom && left < right; ++y) {
            fill(left, right, y);
        }
    }
}

// Coordinates and sizes are accepted within GDI's 27-bit space (as Windows limits them), so
// that adding an origin or a size never overflows; calls outside it fail.
inline constexpr long long kCoordinateLimit = 1LL << 27;
template <typename... Values>
constexpr bool InCoordinateRange(Values... values) {
    return ((values >= -kCoordinateLimit && values <= kCoordinateLimit) && ...);
}
inline bool InCoordinateRange(const RECT& r) {
    return InCoordinateRange(r.left, r.top, r.right, r.bottom);
}

// True when surface point (x, y) is inside the DC's clip.
bool InClip(const DeviceContext& dc, LONG x, LONG y);

// Appends `record` to the DC's log when it records.
void Record(DeviceContext& dc, DrawingRecord record);

}  // namespace platform::gdi
