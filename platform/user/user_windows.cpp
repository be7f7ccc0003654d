// Window classes and window objects: creation and destruction, the tree and z-order, geometry,
// visibility, enabled state, focus, text and the window longs.
#include <algorithm>
#include <atomic>
#include <map>

#include "platform/ascii_case.h"
#include "platform/gdi.h"
#include "platform/last_error.h"
#include "platform/user/user_internal.h"

namespace platform::user {

namespace {

std::u16string Fold(std::u16string_view text) {
    return FoldedAscii(text);
}

std::u16string FromWide(LPCWSTR text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

// The windows of every thread and the registered classes. Windows are created, changed and
// destroyed only by their own thread; the lock guards the table for lookups from others.
struct Table {
    std::mutex mutex;
    std::map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevels;  // creation order
    std::map<std::u16string, std::shared_ptr<WindowClass>> classes;
    std::uintptr_t nextHandle = 0x10000;
};

Table& TheTable() {
    static Table* table = new Table;  // lives until exit: windows may outlive statics
    return *table;
}

struct Queues {
    std::mutex mutex;
    std::map<std::thread::id, std::shared_ptr<ThreadQueue>> byThread;
};

Queues& TheQueues() {
    static Queues* queues = new Queues;
    return *queues;
}

Window* FindAny(HWND hwnd) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.windows.find(hwnd);
    return it == t.windows.end() ? nullptr : it->second.get();
}

bool Visible(const Window& w) {
    for (const Window* p = &w; p != nullptr;
         p = p->parent != nullptr ? FindAny(p->parent) : nullptr) {
        if ((p->style & WS_VISIBLE) == 0 || p->messageOnly) {
            return false;
        }
    }
    return true;
}

RECT WindowRectInParent(const Window& w) {
    return w.rect;
}

// The window's rectangle in its top-level surface's coordinates.
RECT WindowRectInSurface(const Window& w) {
    if (w.parent == nullptr) {
        return {0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top};
    }
    const Window* parent = FindAny(w.parent);
    const POINT origin = ClientOriginInSurface(*parent);
    return {origin.x + w.rect.left, origin.y + w.rect.top, origin.x + w.rect.right,
            origin.y + w.rect.bottom};
}

void Unlink(Window& w) {
    if (w.parent != nullptr) {
        if (Window* parent = FindAny(w.parent)) {
            auto& c = parent->children;
            c.erase(std::remove(c.begin(), c.end(), w.handle), c.end());
        }
    }
}

void PlaceInZOrder(Window& w, HWND insertAfter) {
    if (w.parent == nullptr) {
        return;  // top-level windows do not overlap in a frame
    }
    Window* parent = FindAny(w.parent);
    auto& c = parent->children;
    c.erase(std::remove(c.begin(), c.end(), w.handle), c.end());
    if (insertAfter == HWND_TOP) {
        c.insert(c.begin(), w.handle);
    } else if (insertAfter == HWND_BOTTOM) {
        c.push_back(w.handle);
    } else {
        auto at = std::find(c.begin(), c.end(), insertAfter);
        c.insert(at == c.end() ? c.end() : at + 1, w.handle);
    }
}

void ResizeSurface(Window& w) {
    if (w.surface) {
        w.surface->Reset(w.rect.right - w.rect.left, w.rect.bottom - w.rect.top);
    }
}

// Drops focus and capture held by `w` or a descendant.
void DropInputState(Window& w) {
    ThreadQueue& q = CurrentQueue();
    for (HWND* held : {&q.focus, &q.capture}) {
        for (Window* p = Find(*held); p != nullptr; p = p->parent ? Find(p->parent) : nullptr) {
            if (p == &w) {
                *held = nullptr;
                break;
            }
        }
    }
}

void SendDestroy(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    CallProc(hwnd, WM_DESTROY, 0, 0);
    w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    const std::vector<HWND> children = w->children;
    for (HWND child : children) {
        SendDestroy(child);
    }
}

void SendNcDestroyAndFree(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    const std::vector<HWND> children = w->children;
    for (HWND child : children) {
        SendNcDestroyAndFree(child);
    }
    CallProc(hwnd, WM_NCDESTROY, 0, 0);
    ThreadQueue& q = CurrentQueue();
    std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    {
        // Its posted messages go with it, as they do on Windows.
        std::lock_guard lock(q.mutex);
        std::erase_if(q.posted, [&](const MSG& m) { return m.hwnd == hwnd; });
    }
    w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    Unlink(*w);
    if (w->parent == nullptr && !w->messageOnly) {
        Backend().WindowDestroyed(hwnd);
    }
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    std::erase(t.topLevels, hwnd);
    t.windows.erase(hwnd);
}

}  // namespace

ThreadQueue& CurrentQueue() {
    thread_local std::shared_ptr<ThreadQueue> own;
    if (!own) {
        Queues& queues = TheQueues();
        std::lock_guard lock(queues.mutex);
        auto& slot = queues.byThread[std::this_thread::get_id()];
        if (!slot) {
            slot = std::make_shared<ThreadQueue>();
            slot->thread = std::this_thread::get_id();
        }
        own = slot;
    }
    return *own;
}

std::shared_ptr<ThreadQueue> QueueOf(std::thread::id thread) {
    Queues& queues = TheQueues();
    std::lock_guard lock(queues.mutex);
    auto it = queues.byThread.find(thread);
    return it == queues.byThread.end() ? nullptr : it->second;
}

Window* Find(HWND hwnd) {
    Window* w = FindAny(hwnd);
    if (w == nullptr || w->thread != std::this_thread::get_id()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return w;
}

std::thread::id ThreadOf(HWND hwnd, bool* found) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.windows.find(hwnd);
    *found = it != t.windows.end();
    return *found ? it->second->thread : std::thread::id();
}

std::vector<HWND> TopLevelWindows() {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    std::vector<HWND> own;
    for (HWND h : t.topLevels) {
        if (t.windows.at(h)->thread == std::this_thread::get_id()) {
            own.push_back(h);
        }
    }
    return own;
}

int BorderWidth(const Window& w) {
    // SM_CXBORDER for WS_BORDER, SM_CXEDGE for WS_EX_CLIENTEDGE, as AdjustWindowRectEx adds them.
    return ((w.style & WS_BORDER) != 0 ? 1 : 0) + ((w.exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0);
}

RECT ClientRectOf(const Window& w) {
    const int b = BorderWidth(w);
    const LONG width = std::max<LONG>(0, w.rect.right - w.rect.left - 2 * b);
    const LONG height = std::max<LONG>(0, w.rect.bottom - w.rect.top - 2 * b);
    return {0, 0, width, height};
}

POINT ClientOriginInSurface(const Window& w) {
    const RECT r = WindowRectInSurface(w);
    return {r.left + BorderWidth(w), r.top + BorderWidth(w)};
}

Window* TopLevelOf(Window* w) {
    while (w != nullptr && w->parent != nullptr) {
        w = FindAny(w->parent);
    }
    return w;
}

// Cuts `region` (surface coordinates) to what shows of window `w`: its ancestors' client
// areas clip it, the visible siblings above it (and above each ancestor) cover it, and the
// surface ends it.
void ClipToWhatShows(const Window& w, Region* region) {
    for (const Window* self = &w; self->parent != nullptr;) {
        const Window* parent = FindAny(self->parent);
        const POINT po = ClientOriginInSurface(*parent);
        const RECT pc = ClientRectOf(*parent);
        region->Intersect(RECT{pc.left + po.x, pc.top + po.y, pc.right + po.x, pc.bottom + po.y});
        for (HWND sibling : parent->children) {
            if (sibling == self->handle) {
                break;
            }
            const Window* s = FindAny(sibling);
            if ((s->style & WS_VISIBLE) != 0) {
                region->Subtract(WindowRectInSurface(*s));
            }
        }
        self = parent;
    }
    const Window* top = TopLevelOf(const_cast<Window*>(&w));
    if (top->surface) {
        region->Intersect(RECT{0, 0, top->surface->width, top->surface->height});
    }
}

Region VisibleClientRegion(const Window& w) {
    Region region;
    if (!Visible(w)) {
        return region;
    }
    const POINT origin = ClientOriginInSurface(w);
    RECT client = ClientRectOf(w);
    client = {client.left + origin.x, client.top + origin.y, client.right + origin.x,
              client.bottom + origin.y};
    region.Add(client);
    for (HWND child : w.children) {
        const Window* c = FindAny(child);
        if ((c->style & WS_VISIBLE) != 0) {
            region.Subtract(WindowRectInSurface(*c));
        }
    }
    ClipToWhatShows(w, &region);
    return region;
}

void Invalidate(Window& w, const RECT* rect, bool erase, bool children) {
    const RECT client = ClientRectOf(w);
    const RECT area = rect != nullptr ? RectIntersection(*rect, client) : client;
    if (!RectEmpty(area)) {
        w.update.Add(area);
        w.eraseUpdate = w.eraseUpdate || erase;
    }
    if (!children) {
        return;
    }
    for (HWND child : w.children) {
        Window* c = FindAny(child);
        if ((c->style & WS_VISIBLE) == 0) {
            continue;
        }
        const int b = BorderWidth(*c);
        RECT inChild = RectIntersection(area, c->rect);
        if (RectEmpty(inChild)) {
            continue;
        }
        inChild = {inChild.left - c->rect.left - b, inChild.top - c->rect.top - b,
                   inChild.right - c->rect.left - b, inChild.bottom - c->rect.top - b};
        Invalidate(*c, &inChild, erase, true);
        if (b > 0) {
            DrawBorder(*c);
        }
    }
}

void InvalidateInParent(Window& w, const RECT& rect) {
    if (w.parent == nullptr) {
        return;
    }
    Window* parent = FindAny(w.parent);
    Invalidate(*parent, &rect, true, true);
}

void FrameChanged(Window& w) {
    FrameChanged(w, Region(WindowRectInSurface(w)));
}

void FrameChanged(Window& w, const Region& surfaceArea) {
    Window* top = TopLevelOf(&w);
    if (top == nullptr || surfaceArea.Empty()) {
        return;
    }
    top->frameChanged = true;
    top->changedArea.Add(surfaceArea);
}

void DrawBorder(Window& w) {
    if (BorderWidth(w) == 0 || !Visible(w)) {
        return;
    }
    Window* top = TopLevelOf(&w);
    PixelSurface& s = *top->surface;
    const RECT outer = WindowRectInSurface(w);
    // The frame is clipped like the window itself, by its ancestors and the siblings above.
    Region clip(outer);
    ClipToWhatShows(w, &clip);
    // One ring of a frame: the top and left sides in `topLeft`, then the bottom and right ones
    // in `bottomRight`, which so take the top-right and bottom-left corners (DrawEdge's order).
    auto ring = [&](const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
        auto plot = [&](LONG x, LONG y, COLORREF colour) {
            if (clip.Contains({x, y})) {
                s.at(x, y) = ToPixel(colour);
            }
        };
        for (LONG x = r.left; x < r.right; ++x) {
            plot(x, r.top, topLeft);
        }
        for (LONG y = r.top; y < r.bottom; ++y) {
            plot(r.left, y, topLeft);
        }
        for (LONG x = r.left; x < r.right; ++x) {
            plot(x, r.bottom - 1, bottomRight);
        }
        for (LONG y = r.top; y < r.bottom; ++y) {
            plot(r.right - 1, y, bottomRight);
        }
    };
    RECT r = outer;
    if ((w.style & WS_BORDER) != 0) {
        ring(r, 0x000000, 0x000000);
        InflateRect(&r, -1, -1);
    }
    if ((w.exStyle & WS_EX_CLIENTEDGE) != 0) {
        // EDGE_SUNKEN: the outer ring shadow over highlight, the inner dark shadow over light.
        ring(r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        InflateRect(&r, -1, -1);
        ring(r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
        InflateRect(&r, -1, -1);
    }
    Region frame(outer);
    frame.Subtract(r);
    frame.Intersect(clip);
    FrameChanged(w, frame);
}

LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->proc == nullptr) {
        return 0;
    }
    return w->proc(hwnd, message, wParam, lParam);
}

}  // namespace platform::user

using namespace platform::user;
using platform::PixelSurface;
using platform::Region;

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const std::u16string key = Fold(wc->lpszClassName);
    if (t.classes.count(key) != 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->style = wc->style;
    cls->proc = wc->lpfnWndProc;
    cls->instance = wc->hInstance;
    cls->background = wc->hbrBackground;
    t.classes[key] = cls;
    return static_cast<ATOM>(0xC000 + t.classes.size());
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    if (className == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    if (t.classes.erase(Fold(className)) == 0) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* wc) {
    if (className == nullptr || wc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.classes.find(Fold(className));
    if (it == t.classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *wc = WNDCLASSW{it->second->style,
                    it->second->proc,
                    0,
                    0,
                    it->second->instance,
                    nullptr,
                    nullptr,
                    it->second->background,
                    nullptr,
                    it->second->name.c_str()};
    return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
    std::shared_ptr<WindowClass> cls;
    {
        Table& t = TheTable();
        std::lock_guard lock(t.mutex);
        auto it = className != nullptr ? t.classes.find(Fold(className)) : t.classes.end();
        if (it == t.classes.end()) {
            SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
        cls = it->second;
    }
    // A message-only window has no parent or owner and never shows: it only takes messages.
    const bool messageOnly = parent == HWND_MESSAGE;
    if (messageOnly) {
        parent = nullptr;
        style &= ~(WS_CHILD | WS_VISIBLE);
    }
    const bool child = (style & WS_CHILD) != 0;
    Window* parentWindow = parent != nullptr ? Find(parent) : nullptr;
    if ((child && parentWindow == nullptr) || (parent != nullptr && parentWindow == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto window = std::make_unique<Window>();
    Window& w = *window;
    w.thread = std::this_thread::get_id();
    CurrentQueue();  // a window's thread has a queue from the start: others may post to it
    w.cls = cls;
    w.proc = cls->proc;
    w.style = style & ~WS_VISIBLE;  // shown below, after WM_CREATE
    w.exStyle = exStyle;
    w.rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
    w.text = FromWide(windowName);
    w.instance = instance;
    w.messageOnly = messageOnly;
    if (child) {
        w.parent = parent;
        w.id = reinterpret_cast<LONG_PTR>(menu);
    } else {
        w.owner = parent;
        w.surface = std::make_unique<PixelSurface>();
        ResizeSurface(w);
    }
    HWND hwnd;
    {
        Table& t = TheTable();
        std::lock_guard lock(t.mutex);
        hwnd = reinterpret_cast<HWND>(t.nextHandle);
        t.nextHandle += 4;
        w.handle = hwnd;
        t.windows[hwnd] = std::move(window);
        if (!child && !messageOnly) {
            t.topLevels.push_back(hwnd);
        }
    }
    if (child) {
        PlaceInZOrder(w, HWND_BOTTOM);
    }
    CREATESTRUCTW cs{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (!CallProc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        CallProc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (Find(hwnd) == nullptr) {
        return nullptr;  // destroyed while being created
    }
    if ((style & WS_VISIBLE) != 0) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->destroying) {
        return w != nullptr;
    }
    w->destroying = true;
    // Owned top-level windows go first, as Windows destroys them.
    for (HWND other : TopLevelWindows()) {
        Window* o = Find(other);
        if (o != nullptr && o->owner == hwnd) {
            DestroyWindow(other);
        }
    }
    w = Find(hwnd);
    if (w == nullptr) {
        return TRUE;
    }
    if ((w->style & WS_VISIBLE) != 0) {
        const bool wasVisible = IsWindowVisible(hwnd);
        w->style &= ~WS_VISIBLE;
        if (wasVisible) {
            InvalidateInParent(*w, WindowRectInParent(*w));
        }
    }
    DropInputState(*w);
    SendDestroy(hwnd);
    SendNcDestroyAndFree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return FindAny(hwnd) != nullptr;
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->messageOnly) {
        return FALSE;
    }
    const bool was = (w->style & WS_VISIBLE) != 0;
    const bool show = cmdShow != SW_HIDE;
    if (was == show) {
        return was;
    }
    CallProc(hwnd, WM_SHOWWINDOW, show, 0);
    w = Find(hwnd);
    if (w == nullptr) {
        return was;
    }
    if (show) {
        w->style |= WS_VISIBLE;
        Invalidate(*w, nullptr, true, true);
        DrawBorder(*w);
    } else {
        const bool wasShowing = Visible(*w);
        w->style &= ~WS_VISIBLE;
        if (wasShowing) {
            InvalidateInParent(*w, w->rect);
        }
        DropInputState(*w);
    }
    FrameChanged(*w);
    return was;
}

BOOL IsWindowVisible(HWND hwnd) {
    const Window* w = Find(hwnd);
    return w != nullptr && Visible(*w);
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return FALSE;
    }
    const RECT old = w->rect;
    const bool wasVisible = Visible(*w);
    RECT now = old;
    if ((flags & SWP_NOMOVE) == 0) {
        now = {x, y, x + (now.right - now.left), y + (now.bottom - now.top)};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        now.right = now.left + std::max(0, cx);
        now.bottom = now.top + std::max(0, cy);
    }
    const bool moved = now.left != old.left || now.top != old.top;
    const bool sized = (now.right - now.left) != (old.right - old.left) ||
                       (now.bottom - now.top) != (old.bottom - old.top);
    const bool restacked = (flags & SWP_NOZORDER) == 0 && w->parent != nullptr;
    if (wasVisible && (moved || sized || restacked) && (flags & SWP_NOREDRAW) == 0) {
        InvalidateInParent(*w, old);
    }
    w->rect = now;
    if (restacked) {
        PlaceInZOrder(*w, insertAfter);
    }
    if (sized) {
        ResizeSurface(*w);
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(hwnd, SW_SHOWNA);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(hwnd, SW_HIDE);
    }
    w = Find(hwnd);
    if (w == nullptr) {
        return TRUE;
    }
    if (Visible(*w) && (moved || sized || restacked) && (flags & SWP_NOREDRAW) == 0) {
        Invalidate(*w, nullptr, true, true);
        DrawBorder(*w);
        FrameChanged(*w);
    }
    if (moved) {
        CallProc(hwnd, WM_MOVE, 0, MAKELPARAM(now.left, now.top));
    }
    if (sized) {
        const RECT client = Find(hwnd) != nullptr ? ClientRectOf(*Find(hwnd)) : RECT{};
        CallProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    const Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = ClientRectOf(*w);
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    const Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    POINT origin{w->rect.left, w->rect.top};
    if (w->parent != nullptr) {
        ClientToScreen(w->parent, &origin);
    }
    *rect = {origin.x, origin.y, origin.x + (w->rect.right - w->rect.left),
             origin.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

namespace {

// The screen position of a window's client origin.
bool ClientOriginOnScreen(HWND hwnd, POINT* origin) {
    const Window* w = Find(hwnd);
    if (w == nullptr) {
        return false;
    }
    POINT p{w->rect.left + BorderWidth(*w), w->rect.top + BorderWidth(*w)};
    for (const Window* c = w; c->parent != nullptr;) {
        const Window* parent = Find(c->parent);
        p.x += parent->rect.left + BorderWidth(*parent);
        p.y += parent->rect.top + BorderWidth(*parent);
        c = parent;
    }
    *origin = p;
    return true;
}

}  // namespace

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT a{0, 0};
    POINT b{0, 0};
    if ((from != nullptr && !ClientOriginOnScreen(from, &a)) ||
        (to != nullptr && !ClientOriginOnScreen(to, &b))) {
        return 0;
    }
    const LONG dx = a.x - b.x;
    const LONG dy = a.y - b.y;
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<int>(MAKELPARAM(static_cast<int>(dx), static_cast<int>(dy)));
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    POINT origin;
    if (point == nullptr || !ClientOriginOnScreen(hwnd, &origin)) {
        return FALSE;
    }
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    POINT origin;
    if (point == nullptr || !ClientOriginOnScreen(hwnd, &origin)) {
        return FALSE;
    }
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return FALSE;
    }
    const bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) {
        return wasDisabled;
    }
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        ThreadQueue& q = CurrentQueue();
        for (Window* p = Find(q.focus); p != nullptr; p = p->parent ? Find(p->parent) : nullptr) {
            if (p == w) {
                SetFocus(nullptr);
                break;
            }
        }
        if (q.capture == hwnd) {
            ReleaseCapture();
        }
    }
    CallProc(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    const Window* w = Find(hwnd);
    return w != nullptr && (w->style & WS_DISABLED) == 0;
}

HWND SetFocus(HWND hwnd) {
    ThreadQueue& q = CurrentQueue();
    if (hwnd != nullptr && Find(hwnd) == nullptr) {
        return nullptr;
    }
    const HWND previous = q.focus;
    if (previous == hwnd) {
        return previous;
    }
    q.focus = hwnd;
    if (previous != nullptr && Find(previous) != nullptr) {
        CallProc(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd != nullptr && q.focus == hwnd && Find(hwnd) != nullptr) {
        CallProc(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND GetFocus() {
    return CurrentQueue().focus;
}

HWND GetParent(HWND hwnd) {
    const Window* w = Find(hwnd);
    if (w == nullptr) {
        return nullptr;
    }
    return w->parent != nullptr ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    const Window* w = Find(hwnd);
    if (w == nullptr) {
        return nullptr;
    }
    if (cmd == GW_OWNER) {
        return w->owner;
    }
    if (cmd == GW_CHILD) {
        return w->children.empty() ? nullptr : w->children.front();
    }
    if (w->parent == nullptr) {
        return nullptr;  // top-level windows have no z-order among themselves here
    }
    const auto& siblings = Find(w->parent)->children;
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    switch (cmd) {
        case GW_HWNDFIRST:
            return siblings.front();
        case GW_HWNDLAST:
            return siblings.back();
        case GW_HWNDNEXT:
            return it + 1 == siblings.end() ? nullptr : *(it + 1);
        case GW_HWNDPREV:
            return it == siblings.begin() ? nullptr : *(it - 1);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    if (proc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::vector<HWND> windows = TopLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (Find(*it) != nullptr && !proc(*it, lParam)) {
            break;
        }
    }
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    const Window* w = Find(dialog);
    if (w == nullptr) {
        return nullptr;
    }
    for (HWND child : w->children) {
        if (Find(child)->id == id) {
            return child;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    const Window* w = Find(hwnd);
    return w != nullptr && w->parent != nullptr ? static_cast<int>(w->id) : 0;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    return Find(hwnd) != nullptr &&
           SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int count) {
    if (text == nullptr || count <= 0 || Find(hwnd) == nullptr) {
        return 0;
    }
    return static_cast<int>(
        SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
    return Find(hwnd) != nullptr ? static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    const Window* w = Find(hwnd);
    if (w == nullptr) {
        return 0;
    }
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w->exStyle);
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_ID:
            return w->id;
        case GWLP_USERDATA:
            return w->userData;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return 0;
    }
    const LONG_PTR previous = GetWindowLongPtrW(hwnd, index);
    switch (index) {
        case GWL_STYLE:
            w->style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            w->exStyle = static_cast<DWORD>(value);
            break;
        case GWLP_WNDPROC:
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_HINSTANCE:
            w->instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWLP_ID:
            w->id = value;
            break;
        case GWLP_USERDATA:
            w->userData = value;
            break;
        default:
            return 0;
    }
    return previous;
}

namespace platform {

const PixelSurface* GetWindowSurface(HWND topLevel) {
    const user::Window* w = user::Find(topLevel);
    return w != nullptr && !w->messageOnly ? w->surface.get() : nullptr;
}

HWND GetTopLevelWindow(HWND hwnd) {
    user::Window* top = user::TopLevelOf(user::Find(hwnd));
    return top != nullptr ? top->handle : nullptr;
}

}  // namespace platform
