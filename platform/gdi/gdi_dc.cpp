// Device contexts: surface and memory DCs, selection, colours and modes, fills, block copies
// and the drawing log.
#include <algorithm>
#include <utility>

#include "platform/gdi/gdi_internal.h"

namespace platform::gdi {

namespace {

// Adds `area` minus the rectangles already in `out`, so that the rectangles stay disjoint and
// no pixel is drawn twice (text is blended, a second pass would darken it).
void AddDisjoint(std::vector<RECT>& out, const RECT& area) {
    std::vector<RECT> pieces{area};
    for (const RECT& have : out) {
        std::vector<RECT> next;
        for (const RECT& p : pieces) {
            RECT overlap;
            if (!IntersectRect(&overlap, &p, &have)) {
                next.push_back(p);
                continue;
            }
            if (p.top < overlap.top)
                next.push_back(RECT{p.left, p.top, p.right, overlap.top});
            if (overlap.bottom < p.bottom)
                next.push_back(RECT{p.left, overlap.bottom, p.right, p.bottom});
            if (p.left < overlap.left)
                next.push_back(RECT{p.left, overlap.top, overlap.left, overlap.bottom});
            if (overlap.right < p.right)
                next.push_back(RECT{overlap.right, overlap.top, p.right, overlap.bottom});
        }
        pieces = std::move(next);
    }
    out.insert(out.end(), pieces.begin(), pieces.end());
}

HGDIOBJ AsHandle(GdiObject* object) {
    return reinterpret_cast<HGDIOBJ>(object);
}

Bitmap* DefaultBitmap() {
    static Bitmap* const bitmap = [] {
        auto* b = new Bitmap();
        b->pixels.Reset(1, 1, 0);
        b->stock = true;
        Register(b);
        return b;
    }();
    return bitmap;
}

void SelectBitmap(DeviceContext& dc, Bitmap* bitmap) {
    dc.bitmap = bitmap;
    dc.surface = &bitmap->pixels;
    dc.clip = {RECT{0, 0, bitmap->pixels.width, bitmap->pixels.height}};
    ++bitmap->selectedCount;
}

void InitialiseDefaults(DeviceContext& dc) {
    dc.brush = static_cast<Brush*>(Lookup(GetStockObject(WHITE_BRUSH), ObjectKind::Brush));
    dc.font = static_cast<Font*>(Lookup(GetStockObject(SYSTEM_FONT), ObjectKind::Font));
    if (dc.brush != nullptr)
        ++dc.brush->selectedCount;
    if (dc.font != nullptr)
        ++dc.font->selectedCount;
}

void FillSurfaceRect(DeviceContext& dc, const RECT& logical, std::uint32_t pixel) {
    const RECT area{logical.left + dc.origin.x, logical.top + dc.origin.y,
                    logical.right + dc.origin.x, logical.bottom + dc.origin.y};
    PixelSurface& s = *dc.surface;
    ForEachClippedSpan(dc.clip, area, [&](LONG x0, LONG x1, LONG y) {
        std::fill(s.pixels.begin() + y * s.width + x0, s.pixels.begin() + y * s.width + x1, pixel);
    });
}

// The source pixels of a blit: the source DC's surface, with its origin applied.
struct SourceView {
    const PixelSurface* surface;
    POINT origin;
    UINT bitmapId;
};

std::optional<SourceView> SourceOf(HDC src) {
    DeviceContext* dc = LookupDC(src);
    if (dc == nullptr || dc->surface == nullptr) {
        return std::nullopt;
    }
    return SourceView{dc->surface, dc->origin, dc->bitmap != nullptr ? dc->bitmap->resourceId : 0};
}

}  // namespace

bool InClip(const DeviceContext& dc, LONG x, LONG y) {
    for (const RECT& c : dc.clip) {
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) {
            return true;
        }
    }
    return false;
}

void Record(DeviceContext& dc, DrawingRecord record) {
    if (dc.recording) {
        dc.log.push_back(std::move(record));
    }
}

}  // namespace platform::gdi

using namespace platform::gdi;
using platform::PixelSurface;

HDC CreateSurfaceDC(platform::PixelSurface& surface, POINT origin, const std::vector<RECT>& clip) {
    if (!InCoordinateRange(origin.x, origin.y)) {
        return nullptr;
    }
    auto* dc = new DeviceContext();
    dc->surface = &surface;
    dc->origin = origin;
    const RECT bounds{0, 0, surface.width, surface.height};
    for (const RECT& r : clip) {
        RECT inside;
        if (IntersectRect(&inside, &r, &bounds)) {
            AddDisjoint(dc->clip, inside);
        }
    }
    InitialiseDefaults(*dc);
    Register(dc);
    return reinterpret_cast<HDC>(static_cast<GdiObject*>(dc));
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc != nullptr && LookupDC(hdc) == nullptr) {
        return nullptr;
    }
    auto* dc = new DeviceContext();
    dc->memory = true;
    SelectBitmap(*dc, DefaultBitmap());
    InitialiseDefaults(*dc);
    Register(dc);
    return reinterpret_cast<HDC>(static_cast<GdiObject*>(dc));
}

BOOL DeleteDC(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr) {
        return FALSE;
    }
    Unregister(dc);
    std::lock_guard guard(ObjectLock());
    for (GdiObject* selected :
         {static_cast<GdiObject*>(dc->bitmap), static_cast<GdiObject*>(dc->brush),
          static_cast<GdiObject*>(dc->font)}) {
        if (selected != nullptr) {
            --selected->selectedCount;
        }
    }
    delete dc;
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr) {
        return nullptr;
    }
    if (auto* brush = static_cast<Brush*>(Lookup(object, ObjectKind::Brush))) {
        Brush* previous = dc->brush;
        std::lock_guard guard(ObjectLock());
        ++brush->selectedCount;
        if (previous != nullptr)
            --previous->selectedCount;
        dc->brush = brush;
        return AsHandle(previous);
    }
    if (auto* font = static_cast<Font*>(Lookup(object, ObjectKind::Font))) {
        Font* previous = dc->font;
        std::lock_guard guard(ObjectLock());
        ++font->selectedCount;
        if (previous != nullptr)
            --previous->selectedCount;
        dc->font = font;
        return AsHandle(previous);
    }
    if (auto* bitmap = static_cast<Bitmap*>(Lookup(object, ObjectKind::Bitmap))) {
        if (!dc->memory) {
            return nullptr;
        }
        std::lock_guard guard(ObjectLock());
        if (bitmap == dc->bitmap) {
            return AsHandle(bitmap);
        }
        // A bitmap lives in one memory DC at a time.
        if (bitmap->selectedCount > 0 && !bitmap->stock) {
            return nullptr;
        }
        Bitmap* previous = dc->bitmap;
        --previous->selectedCount;
        SelectBitmap(*dc, bitmap);
        return AsHandle(previous);
    }
    return nullptr;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->textColor, color & 0x00FFFFFF);
}

COLORREF GetTextColor(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    return dc == nullptr ? CLR_INVALID : dc->textColor;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->bkColor, color & 0x00FFFFFF);
}

COLORREF GetBkColor(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    return dc == nullptr ? CLR_INVALID : dc->bkColor;
}

int SetBkMode(HDC hdc, int mode) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(dc->bkMode, mode);
}

int GetBkMode(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    return dc == nullptr ? 0 : dc->bkMode;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr || !InCoordinateRange(x, y))
        return CLR_INVALID;
    const LONG sx = x + dc->origin.x;
    const LONG sy = y + dc->origin.y;
    if (!InClip(*dc, sx, sy))
        return CLR_INVALID;
    return FromPixel(dc->surface->at(sx, sy));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr || !InCoordinateRange(x, y))
        return CLR_INVALID;
    color &= 0x00FFFFFF;
    DrawingRecord record;
    record.operation = "SetPixel";
    record.destination = RECT{x, y, x + 1, y + 1};
    record.fillColour = color;
    Record(*dc, std::move(record));
    const LONG sx = x + dc->origin.x;
    const LONG sy = y + dc->origin.y;
    if (!InClip(*dc, sx, sy))
        return CLR_INVALID;
    dc->surface->at(sx, sy) = ToPixel(color);
    return color;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DeviceContext* dc = LookupDC(hdc);
    bool hollow = false;
    const std::optional<COLORREF> color = BrushColor(brush, &hollow);
    if (dc == nullptr || rect == nullptr || !color || !InCoordinateRange(*rect)) {
        return 0;
    }
    DrawingRecord record;
    record.operation = "FillRect";
    record.destination = *rect;
    record.fillColour = *color;
    Record(*dc, std::move(record));
    if (!hollow) {
        FillSurfaceRect(*dc, *rect, ToPixel(*color));
    }
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DeviceContext* dc = LookupDC(hdc);
    bool hollow = false;
    const std::optional<COLORREF> color = BrushColor(brush, &hollow);
    if (dc == nullptr || rect == nullptr || !color || !InCoordinateRange(*rect)) {
        return 0;
    }
    DrawingRecord record;
    record.operation = "FrameRect";
    record.destination = *rect;
    record.fillColour = *color;
    Record(*dc, std::move(record));
    if (hollow || IsRectEmpty(rect)) {
        return 1;
    }
    const RECT& r = *rect;
    const std::uint32_t pixel = ToPixel(*color);
    FillSurfaceRect(*dc, RECT{r.left, r.top, r.right, r.top + 1}, pixel);
    FillSurfaceRect(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, pixel);
    FillSurfaceRect(*dc, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, pixel);
    FillSurfaceRect(*dc, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, pixel);
    return 1;
}

BOOL BitBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, DWORD rop) {
    DeviceContext* dc = LookupDC(hdst);
    if (dc == nullptr || w < 0 || h < 0 || !InCoordinateRange(x, y, w, h, xs, ys)) {
        return FALSE;
    }
    DrawingRecord record;
    record.operation = "BitBlt";
    record.destination = RECT{x, y, x + w, y + h};
    record.sourceSize = SIZE{w, h};
    record.flags = rop;
    if (rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY) {
        std::uint32_t pixel = rop == WHITENESS ? 0xFFFFFF : 0;
        if (rop == PATCOPY) {
            bool hollow = false;
            const auto color =
                BrushColor(reinterpret_cast<HBRUSH>(static_cast<GdiObject*>(dc->brush)), &hollow);
            if (!color || hollow) {
                return FALSE;
            }
            pixel = ToPixel(*color);
            record.fillColour = *color;
        }
        Record(*dc, std::move(record));
        FillSurfaceRect(*dc, RECT{x, y, x + w, y + h}, pixel);
        return TRUE;
    }
    const std::optional<SourceView> source = SourceOf(hsrc);
    if (rop != SRCCOPY || !source) {
        return FALSE;
    }
    record.bitmapId = source->bitmapId;
    Record(*dc, std::move(record));
    const PixelSurface& from = *source->surface;
    PixelSurface& to = *dc->surface;
    const RECT area{x + dc->origin.x, y + dc->origin.y, x + w + dc->origin.x, y + h + dc->origin.y};
    // Source pixels outside the source surface leave the destination as it was.
    ForEachClippedSpan(dc->clip, area, [&](LONG x0, LONG x1, LONG row) {
        const LONG sy = row - area.top + ys + source->origin.y;
        if (sy < 0 || sy >= from.height)
            return;
        for (LONG dx = x0; dx < x1; ++dx) {
            const LONG sx = dx - area.left + xs + source->origin.x;
            if (sx >= 0 && sx < from.width) {
                to.at(dx, row) = from.at(sx, sy);
            }
        }
    });
    return TRUE;
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs,
                    UINT transparent) {
    DeviceContext* dc = LookupDC(hdst);
    const std::optional<SourceView> source = SourceOf(hsrc);
    if (dc == nullptr || !source || w <= 0 || h <= 0 || ws <= 0 || hs <= 0 ||
        !InCoordinateRange(x, y, w, h, xs, ys, ws, hs)) {
        return FALSE;
    }
    const PixelSurface& from = *source->surface;
    const LONG sx0 = xs + source->origin.x;
    const LONG sy0 = ys + source->origin.y;
    if (sx0 < 0 || sy0 < 0 || sx0 + ws > from.width || sy0 + hs > from.height) {
        return FALSE;
    }
    DrawingRecord record;
    record.operation = "TransparentBlt";
    record.bitmapId = source->bitmapId;
    record.destination = RECT{x, y, x + w, y + h};
    record.sourceSize = SIZE{ws, hs};
    record.keyColour = transparent & 0x00FFFFFF;
    Record(*dc, std::move(record));
    const std::uint32_t key = ToPixel(transparent & 0x00FFFFFF);
    PixelSurface& to = *dc->surface;
    const RECT area{x + dc->origin.x, y + dc->origin.y, x + w + dc->origin.x, y + h + dc->origin.y};
    // Nearest source pixel of each destination pixel (COLORONCOLOR stretching).
    ForEachClippedSpan(dc->clip, area, [&](LONG x0, LONG x1, LONG row) {
        const LONG sy = sy0 + static_cast<LONG>(static_cast<long long>(row - area.top) * hs / h);
        for (LONG dx = x0; dx < x1; ++dx) {
            const LONG sx =
                sx0 + static_cast<LONG>(static_cast<long long>(dx - area.left) * ws / w);
            const std::uint32_t pixel = from.at(sx, sy);
            if (pixel != key) {
                to.at(dx, row) = pixel;
            }
        }
    });
    return TRUE;
}

BOOL StartDrawingLog(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr)
        return FALSE;
    dc->recording = true;
    dc->log.clear();
    return TRUE;
}

std::vector<DrawingRecord> TakeDrawingLog(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr)
        return {};
    return std::exchange(dc->log, {});
}
