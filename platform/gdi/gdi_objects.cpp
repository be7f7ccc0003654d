// GDI objects: the registry that checks handles, stock objects, brushes, bitmaps, deletion
// and GetObjectW, and the rectangle helpers.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/gdi/gdi_internal.h"

namespace platform::gdi {

namespace {

std::unordered_set<const GdiObject*>& LiveObjects() {
    static auto* live = new std::unordered_set<const GdiObject*>();
    return *live;
}

Brush* MakeStockBrush(COLORREF color, bool hollow) {
    auto* brush = new Brush();
    brush->color = color;
    brush->hollow = hollow;
    brush->stock = true;
    Register(brush);
    return brush;
}

Font* MakeStockFont(LONG height, LONG weight, const char16_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::char_traits<char16_t>::copy(lf.lfFaceName, face, std::char_traits<char16_t>::length(face));
    auto* font = reinterpret_cast<Font*>(CreateFontIndirectW(&lf));
    if (font != nullptr) {
        font->stock = true;
    }
    return font;
}

}  // namespace

std::mutex& ObjectLock() {
    static auto* lock = new std::mutex();
    return *lock;
}

void Register(GdiObject* object) {
    std::lock_guard guard(ObjectLock());
    LiveObjects().insert(object);
}

void Unregister(GdiObject* object) {
    std::lock_guard guard(ObjectLock());
    LiveObjects().erase(object);
}

GdiObject* Lookup(const void* handle, ObjectKind kind) {
    if (handle == nullptr) {
        return nullptr;
    }
    auto* object = static_cast<GdiObject*>(const_cast<void*>(handle));
    std::lock_guard guard(ObjectLock());
    if (LiveObjects().count(object) == 0 || object->kind != kind) {
        return nullptr;
    }
    return object;
}

DeviceContext* LookupDC(HDC hdc) {
    return static_cast<DeviceContext*>(Lookup(hdc, ObjectKind::DeviceContext));
}

std::optional<COLORREF> BrushColor(HBRUSH handle, bool* hollow) {
    *hollow = false;
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value >= 1 && value <= static_cast<std::uintptr_t>(COLOR_MENUBAR) + 1) {
        return GetSysColor(static_cast<int>(value - 1));
    }
    auto* brush = static_cast<Brush*>(Lookup(handle, ObjectKind::Brush));
    if (brush == nullptr) {
        return std::nullopt;
    }
    *hollow = brush->hollow;
    return brush->color;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HGDIOBJ GetStockObject(int object) {
    static Brush* const brushes[] = {
        MakeStockBrush(RGB(255, 255, 255), false), MakeStockBrush(RGB(192, 192, 192), false),
        MakeStockBrush(RGB(128, 128, 128), false), MakeStockBrush(RGB(64, 64, 64), false),
        MakeStockBrush(RGB(0, 0, 0), false),       MakeStockBrush(0, true),
    };
    if (object >= WHITE_BRUSH && object <= NULL_BRUSH) {
        return reinterpret_cast<HGDIOBJ>(static_cast<GdiObject*>(brushes[object]));
    }
    if (object == SYSTEM_FONT) {
        // The DC's default font: Windows' "System", a bold sans face 16 pixels high.
        static Font* const system = MakeStockFont(16, FW_BOLD, u"System");
        return reinterpret_cast<HGDIOBJ>(static_cast<GdiObject*>(system));
    }
    if (object == DEFAULT_GUI_FONT) {
        static Font* const gui = MakeStockFont(-11, FW_NORMAL, u"MS Shell Dlg");
        return reinterpret_cast<HGDIOBJ>(static_cast<GdiObject*>(gui));
    }
    return nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* brush = new Brush();
    brush->color = color & 0x00FFFFFF;
    Register(brush);
    return reinterpret_cast<HBRUSH>(static_cast<GdiObject*>(brush));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    constexpr int kLargest = 16384;
    if (hdc != nullptr && LookupDC(hdc) == nullptr) {
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest) {
        return nullptr;
    }
    auto* bitmap = new Bitmap();
    bitmap->pixels.Reset(width, height, 0);
    Register(bitmap);
    return reinterpret_cast<HBITMAP>(static_cast<GdiObject*>(bitmap));
}

platform::PixelSurface* BitmapSurface(HBITMAP handle) {
    auto* bitmap = static_cast<Bitmap*>(Lookup(handle, ObjectKind::Bitmap));
    return bitmap != nullptr ? &bitmap->pixels : nullptr;
}

void SetBitmapResourceId(HBITMAP handle, UINT id) {
    if (auto* bitmap = static_cast<Bitmap*>(Lookup(handle, ObjectKind::Bitmap))) {
        bitmap->resourceId = id;
    }
}

BOOL DeleteObject(HGDIOBJ handle) {
    if (handle == nullptr) {
        return FALSE;
    }
    auto* object = static_cast<GdiObject*>(static_cast<void*>(handle));
    {
        std::lock_guard guard(ObjectLock());
        if (LiveObjects().count(object) == 0 || object->kind == ObjectKind::DeviceContext) {
            return FALSE;
        }
        if (object->stock) {
            return TRUE;
        }
        if (object->selectedCount > 0) {
            return FALSE;
        }
        LiveObjects().erase(object);
    }
    delete object;
    return TRUE;
}

int GetObjectW(HGDIOBJ handle, int size, void* out) {
    if (auto* bitmap = static_cast<Bitmap*>(Lookup(handle, ObjectKind::Bitmap))) {
        if (out == nullptr) {
            return static_cast<int>(sizeof(BITMAP));
        }
        if (size < static_cast<int>(sizeof(BITMAP))) {
            return 0;
        }
        BITMAP bm{};
        bm.bmWidth = bitmap->pixels.width;
        bm.bmHeight = bitmap->pixels.height;
        bm.bmWidthBytes = bitmap->pixels.width * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        std::memcpy(out, &bm, sizeof bm);
        return static_cast<int>(sizeof bm);
    }
    if (auto* font = static_cast<Font*>(Lookup(handle, ObjectKind::Font))) {
        if (out == nullptr) {
            return static_cast<int>(sizeof(LOGFONTW));
        }
        if (size < static_cast<int>(sizeof(LOGFONTW))) {
            return 0;
        }
        std::memcpy(out, &font->logfont, sizeof(LOGFONTW));
        return static_cast<int>(sizeof(LOGFONTW));
    }
    return 0;
}

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL IsRectEmpty(const RECT* rect) {
    return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL CopyRect(LPRECT dst, const RECT* src) {
    if (dst == nullptr || src == nullptr) {
        return FALSE;
    }
    *dst = *src;
    return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a != nullptr && b != nullptr && a->left == b->left && a->top == b->top &&
           a->right == b->right && a->bottom == b->bottom;
}

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (dst == nullptr || a == nullptr || b == nullptr) {
        return FALSE;
    }
    const RECT overlap{std::max(a->left, b->left), std::max(a->top, b->top),
                       std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&overlap)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = overlap;
    return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (dst == nullptr || a == nullptr || b == nullptr) {
        return FALSE;
    }
    if (IsRectEmpty(a) && IsRectEmpty(b)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (IsRectEmpty(a)) {
        *dst = *b;
    } else if (IsRectEmpty(b)) {
        *dst = *a;
    } else {
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                    std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect != nullptr && point.x >= rect->left && point.x < rect->right &&
           point.y >= rect->top && point.y < rect->bottom;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}
