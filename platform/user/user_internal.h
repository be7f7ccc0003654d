// What USER keeps behind its handles: the window objects, the per-thread queues with their
// timers and input, and the display backend that waits for input and shows frames. Shared by
// the user_*.cpp files and the backends; nothing outside the platform layer includes it.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/user.h"
#include "platform/user/update_region.h"

namespace platform::user {

struct WindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
};

struct Window {
    HWND handle = nullptr;
    std::thread::id thread;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;     // children only
    HWND owner = nullptr;      // top-level windows only
    bool messageOnly = false;  // made under HWND_MESSAGE: never shown, painted or enumerated
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // in the parent's client coordinates, on the screen for top-level windows
    std::u16string text;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::vector<HWND> children;  // z-order, topmost first
    Region update;               // client coordinates
    bool eraseUpdate = false;
    bool destroying = false;
    std::unique_ptr<PixelSurface> surface;  // top-level windows only
    bool frameChanged = false;              // top-level: not yet shown by the backend
    Region changedArea;  // top-level: what is not yet shown (surface coordinates)
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    DWORD start;  // tick count the countdown runs from
    TIMERPROC proc;
};

// Input as the user gave it; it becomes a message when it is taken from the queue.
struct InputEvent {
    bool mouse;
    UINT message;  // mouse: WM_LBUTTONDOWN/UP, WM_MOUSEMOVE; keys: WM_KEYDOWN/UP
    POINT screen;  // mouse
    UINT vk;       // keys
    DWORD time;
};

// One thread's queue. `mutex` guards the posted messages, the input and the quit flag, which
// other threads may touch; the rest is used by the owning thread only.
struct ThreadQueue {
    std::thread::id thread;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    bool quit = false;
    int quitCode = 0;

    std::vector<Timer> timers;
    UINT_PTR nextThreadTimerId = 1;
    HWND focus = nullptr;
    HWND capture = nullptr;
    MSG last{};  // the message last taken
    // The previous press, for double clicks.
    HWND lastPressWindow = nullptr;
    DWORD lastPressTime = 0;
    POINT lastPressPoint{};
    bool keyDown[256] = {};
};

// The calling thread's queue (created on first use).
ThreadQueue& CurrentQueue();
// The queue of `thread`, or null when that thread has none.
std::shared_ptr<ThreadQueue> QueueOf(std::thread::id thread);

// The window of a handle when it exists and belongs to the calling thread; else null (and
// ERROR_INVALID_WINDOW_HANDLE).
Window* Find(HWND hwnd);
// The window of a handle of any thread (for posting); null when it is no window.
std::thread::id ThreadOf(HWND hwnd, bool* found);
// Every top-level window of the calling thread, in creation order.
std::vector<HWND> TopLevelWindows();

// Geometry helpers in the top-level surface's coordinates.
POINT ClientOriginInSurface(const Window& w);
RECT ClientRectOf(const Window& w);  // (0, 0, width, height) of the client area
// The frame's width on each side: 1 for WS_BORDER, 2 more for WS_EX_CLIENTEDGE inside it.
int BorderWidth(const Window& w);
// The part of `w`'s client area that shows, in client coordinates: clipped by its ancestors,
// without its visible children and the visible siblings above it (and above its ancestors).
Region VisibleClientRegion(const Window& w);
Window* TopLevelOf(Window* w);

// Adds to the update region of `w` (client coordinates; null: all) and, with `children`, the
// matching parts of its visible descendants.
void Invalidate(Window& w, const RECT* rect, bool erase, bool children);
// Invalidates the area `rect` (parent client coordinates) in the parent of child `w`, or
// nothing for a top-level window.
void InvalidateInParent(Window& w, const RECT& rect);
// Marks the area of `w` (its window rectangle, border included) changed in the frame of its
// top-level window, for the backend to show.
void FrameChanged(Window& w);
// Marks `surfaceArea` (the top-level surface's coordinates) of `w`'s frame changed.
void FrameChanged(Window& w, const Region& surfaceArea);
// Draws the frame of a window with WS_BORDER or WS_EX_CLIENTEDGE into its surface.
void DrawBorder(Window& w);

// Calls the window procedure of `hwnd` on this thread.
LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Converts an input event into a message for a window of this thread; false when it goes
// nowhere (no window under the point, a disabled one, no focus). `commit` updates the
// double-click and key state.
bool InputToMessage(ThreadQueue& queue, const InputEvent& event, MSG* msg, bool commit);

// ---- The display backend --------------------------------------------------------------------

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;
    // Blocks the calling thread until input, a posted message or a wake-up arrives, or for at
    // most `timeoutMs` (negative: no limit). Input of a real display is queued with
    // QueueMouseInput/QueueKeyInput.
    virtual void Wait(ThreadQueue& queue, int timeoutMs) = 0;
    // Wakes `queue`'s thread from Wait; any thread may call it.
    virtual void Wake(ThreadQueue& queue) = 0;
    // A top-level window was shown, hidden, resized, or its frame changed: show the frame.
    // `changed` are the parts that changed since the last call (surface coordinates); a
    // backend may show more, and shows the whole frame when its window is new or resized.
    virtual void Present(HWND topLevel, const PixelSurface& frame, bool visible,
                         const std::vector<RECT>& changed) = 0;
    // The shortest time between two presents of a thread's frames: a real display shows a few
    // dozen frames a second, so changes that come faster are gathered into one present.
    virtual int PresentIntervalMs() const { return 0; }
    virtual void WindowDestroyed(HWND topLevel) = 0;
    virtual void Beep() = 0;
    // Copies the pixels the display shows for `topLevel` into `out`; false when it shows none.
    virtual bool ReadFrame(HWND topLevel, PixelSurface* out) = 0;
    // The display's own id of the window of `topLevel`, 0 when it has none.
    virtual std::uint32_t WindowId(HWND) { return 0; }
};

DisplayBackend& Backend();
// The headless backend (always there) and the SDL one, loaded from the display module beside
// this library (null, with a line on stderr, when the module or a display cannot be opened).
std::unique_ptr<DisplayBackend> MakeHeadlessBackend();
std::unique_ptr<DisplayBackend> MakeSdlBackend();
// The display module's file name and its entry point, which returns a new backend or null.
inline constexpr char kSdlDisplayModule[] = "libplatform_display_sdl.so";
using CreateDisplayBackendFunction = DisplayBackend* (*)();
inline constexpr char kCreateSdlDisplayBackend[] = "CreateSdlDisplayBackend";

// Shows every changed frame; called when a loop is about to wait. Unless `now`, frames are
// shown at most once per the backend's present interval: the result is then the milliseconds
// until the held-back changes are due (-1 when nothing waits).
int PresentChangedFrames(bool now);

// The whole-number factor by which the display shows frames (platform::SetDisplayZoom).
int DisplayZoom();

}  // namespace platform::user
