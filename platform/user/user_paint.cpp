// Invalidation and painting: the update region with its erase flag, BeginPaint/EndPaint over
// the top-level window's surface clipped to what shows, and window device contexts.
#include "platform/gdi.h"
#include "platform/user/user_internal.h"

namespace platform::user {

namespace {

HDC SurfaceDC(Window& w, const Region& clip) {
    Window* top = TopLevelOf(&w);
    return CreateSurfaceDC(*top->surface, ClientOriginInSurface(w), clip.Rects());
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;
using platform::PixelSurface;
using platform::Region;

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return FALSE;
    }
    Invalidate(*w, rect, erase != FALSE, false);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return FALSE;
    }
    if (rect == nullptr) {
        w->update.Clear();
    } else {
        w->update.Subtract(*rect);
    }
    if (w->update.Empty()) {
        w->eraseUpdate = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->update.Empty()) {
        if (rect != nullptr) {
            *rect = {0, 0, 0, 0};
        }
        return FALSE;
    }
    if (rect != nullptr) {
        *rect = w->update.Bounds();
    }
    if (erase && w->eraseUpdate) {
        HDC hdc = GetDC(hwnd);
        w->eraseUpdate = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
        ReleaseDC(hwnd, hdc);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return FALSE;
    }
    if (!w->update.Empty() && IsWindowVisible(hwnd)) {
        SendMessageW(hwnd, WM_PAINT, 0, 0);
    }
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    Window* w = Find(hwnd);
    if (w == nullptr || ps == nullptr) {
        return nullptr;
    }
    *ps = PAINTSTRUCT{};
    Region update = w->update;
    const bool erase = w->eraseUpdate;
    w->update.Clear();
    w->eraseUpdate = false;
    ps->rcPaint = update.Bounds();
    DrawBorder(*w);
    // The update region in surface coordinates, cut to the part of the window that shows.
    const POINT origin = ClientOriginInSurface(*w);
    update.Offset(origin.x, origin.y);
    update.Intersect(VisibleClientRegion(*w));
    ps->hdc = SurfaceDC(*w, update);
    if (erase) {
        ps->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0) == 0
                         ? TRUE
                         : FALSE;
    }
    // Only the update region can be drawn on: that much of the frame changes.
    if (Window* still = Find(hwnd)) {
        FrameChanged(*still, update);
    }
    return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (ps == nullptr || ps->hdc == nullptr) {
        return FALSE;
    }
    DeleteDC(ps->hdc);
    if (Window* w = Find(hwnd)) {
        // Again, in case the frame was shown while the painting went on.
        const POINT origin = ClientOriginInSurface(*w);
        RECT painted = ps->rcPaint;
        OffsetRect(&painted, origin.x, origin.y);
        Region area(painted);
        area.Intersect(VisibleClientRegion(*w));
        FrameChanged(*w, area);
    }
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (hwnd == nullptr) {
        static thread_local platform::PixelSurface scratch = [] {
            platform::PixelSurface s;
            s.Reset(1, 1);
            return s;
        }();
        return CreateSurfaceDC(scratch, POINT{0, 0}, {RECT{0, 0, 1, 1}});
    }
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return nullptr;
    }
    FrameChanged(*w);
    Window* top = TopLevelOf(w);
    return CreateSurfaceDC(*top->surface, ClientOriginInSurface(*w),
                           VisibleClientRegion(*w).Rects());
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    if (hdc == nullptr) {
        return 0;
    }
    DeleteDC(hdc);
    if (Window* w = hwnd != nullptr ? Find(hwnd) : nullptr) {
        FrameChanged(*w);
    }
    return 1;
}
