// Win32 USER of the platform layer: windows as light objects (class and procedure, parent and
// owner, style, rectangle, z-order, text, enabled state, focus), one message queue per thread
// with invalidation, painting and timers generated as Windows generates them, mouse and keyboard
// input, and the beep. Every top-level window owns a pixel surface that its children are drawn
// into; a display backend (headless or SDL, platform::SelectDisplay) shows those frames and
// turns real input into messages.
//
// Windows belong to the thread that creates them and are used only there; PostMessageW,
// PostThreadMessageW and IsWindow may be called from any thread.
#pragma once

#ifdef _WIN32
// On Windows USER is the system's own (windows.h, user32).
#include "platform/win_types.h"
#else

#include <functional>
#include <string>

#include "platform/pixel_surface.h"
#include "platform/win_types.h"

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HMENU = void*;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using ATOM = WORD;

// ---- Messages ------------------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// Mouse message wParam bits.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;

// WM_SIZE wParam.
constexpr WPARAM SIZE_RESTORED = 0;

// ---- Styles --------------------------------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_GROUP = 0x00020000;

constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

// ---- Virtual keys --------------------------------------------------------------------------

constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_F1 = 0x70;

// ---- Window classes and creation -----------------------------------------------------------

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    void* hCursor;
    HBRUSH hbrBackground;  // erases the background in DefWindowProc's WM_ERASEBKGND; may be null
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

// lParam of WM_NCCREATE and WM_CREATE.
struct CREATESTRUCTW {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

// Registers a class (names compare without case). 0 when the name is taken or arguments are
// missing (ERROR_CLASS_ALREADY_EXISTS, ERROR_INVALID_PARAMETER); otherwise a non-zero atom.
ATOM RegisterClassW(const WNDCLASSW* wc);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
// The registration of `className`; FALSE (ERROR_CLASS_DOES_NOT_EXIST) when there is none.
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* wc);

// Creates a window of a registered class. A WS_CHILD window lies in `parent`'s client area
// (x, y relative to it), goes to the bottom of its siblings' z-order and takes `menu` as its
// control id; any other window is top-level (x, y on the screen), goes on top, has `parent`
// as its owner and a pixel surface of its own. CW_USEDEFAULT is not supported. Sends
// WM_NCCREATE and WM_CREATE (FALSE or -1 from them destroys the window and gives null); a
// WS_VISIBLE window is then shown. Null with ERROR_CLASS_DOES_NOT_EXIST for an unknown class,
// ERROR_INVALID_PARAMETER for a child without a valid parent.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);

// Destroys `hwnd`, the windows it owns and its children: hides it, sends WM_DESTROY to it and
// then to its children (parents first), WM_NCDESTROY to the children and then to it (children
// first), kills its timers, removes the messages posted to them and not yet taken, and drops
// focus and capture held by any of them. FALSE
// (ERROR_INVALID_WINDOW_HANDLE) for a handle that is no window.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

// ---- State and geometry ---------------------------------------------------------------------

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;

// Shows or hides; returns whether it was visible before (its own WS_VISIBLE bit). Showing
// invalidates the window and its children with erase; hiding invalidates the area it covered
// in its parent.
BOOL ShowWindow(HWND hwnd, int cmdShow);
// Visible only while the window and every ancestor has WS_VISIBLE.
BOOL IsWindowVisible(HWND hwnd);

const HWND HWND_TOP = nullptr;
const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
// The parent of a message-only window: it has no parent or owner (GetParent gives null), is
// never visible, painted or enumerated (EnumWindows skips it), and only takes messages.
const HWND HWND_MESSAGE = reinterpret_cast<HWND>(-3);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;

// Moves, sizes, restacks (after `insertAfter`, or HWND_TOP / HWND_BOTTOM), shows or hides.
// Sends WM_MOVE and WM_SIZE for what changed; the old area is repainted in the parent and the
// window is repainted whole. A negative size becomes 0.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);

// The client area (0, 0, width, height): the window less its frame, one pixel for WS_BORDER
// and two more for WS_EX_CLIENTEDGE on each side.
BOOL GetClientRect(HWND hwnd, LPRECT rect);
// The window's rectangle in screen coordinates.
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
// Converts points from `from`'s client coordinates to `to`'s (null: the screen). Returns the
// horizontal offset in the low word and the vertical one in the high word, as Windows does.
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);

// Enables or disables mouse and keyboard input; returns whether it was disabled before. Sends
// WM_ENABLE when the state changes; disabling takes the focus from it and its children.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

// Gives the keyboard focus (sending WM_KILLFOCUS to the old window, WM_SETFOCUS to the new
// one); returns the previous focus window. Null removes the focus.
HWND SetFocus(HWND hwnd);
HWND GetFocus();

HWND GetParent(HWND hwnd);  // a child's parent, else a top-level window's owner
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
// GW_CHILD: the topmost child; GW_HWNDNEXT/PREV: the sibling below/above; GW_OWNER.
HWND GetWindow(HWND hwnd, UINT cmd);
// The child of `dialog` whose control id is `id`, else null.
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
// Calls `proc` for each top-level window of the calling thread, the newest (topmost) first,
// until it returns FALSE. Top-level windows stack in the order they were made.
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);

// Text: GetWindowTextW copies at most count-1 units and a terminator, returns the units copied.
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextW(HWND hwnd, LPWSTR text, int count);
int GetWindowTextLengthW(HWND hwnd);

constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_ID = -12;
constexpr int GWLP_USERDATA = -21;
// The window's style bits, procedure, instance, control id or user data. Setting the style
// changes only the bits (no repaint), as SetWindowLong does before SetWindowPos.
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);

// ---- Messages and the queue ----------------------------------------------------------------

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// Queues a message for the thread of `hwnd` (null: the calling thread, as a thread message).
// Any thread may post. FALSE (ERROR_INVALID_WINDOW_HANDLE) for a handle that is no window.
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window procedure at once, on the calling thread. 0 with
// ERROR_INVALID_WINDOW_HANDLE for no window; a window of another thread is not supported
// (0, ERROR_NOT_SUPPORTED).
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Ends the calling thread's message loops: GetMessageW returns FALSE once the queue holds no
// other posted message.
void PostQuitMessage(int exitCode);

// Takes the next message of the calling thread, in Windows' order: posted messages, input,
// WM_QUIT, then WM_PAINT for a window with an update region and WM_TIMER for a timer that is
// due, these two only when nothing else is waiting. `hwnd` limits to that window and its
// children, min/max to a message range (0, 0: all). Blocks in the display backend until a
// message comes; returns FALSE for WM_QUIT, else TRUE.
BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
// As GetMessageW without blocking: FALSE when nothing matches. PM_NOREMOVE leaves the message.
BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Calls the message's window procedure (or a WM_TIMER's TIMERPROC); returns its result.
LRESULT DispatchMessageW(const MSG* msg);

// A message number of its own for `name`, in 0xC000..0xFFFF: every caller in the process that
// registers the same name (case ignored) gets the same number, so any module may post it to
// another. 0 (ERROR_INVALID_PARAMETER) for a null or empty name.
UINT RegisterWindowMessageW(LPCWSTR name);

// Wait results and the kinds of queued work a wait can be woken by.
using HANDLE = void*;
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD QS_KEY = 0x0001;
constexpr DWORD QS_MOUSEMOVE = 0x0002;
constexpr DWORD QS_MOUSEBUTTON = 0x0004;
constexpr DWORD QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr DWORD QS_POSTMESSAGE = 0x0008;
constexpr DWORD QS_TIMER = 0x0010;
constexpr DWORD QS_PAINT = 0x0020;
constexpr DWORD QS_SENDMESSAGE = 0x0040;
constexpr DWORD QS_HOTKEY = 0x0080;
constexpr DWORD QS_ALLPOSTMESSAGE = 0x0100;
constexpr DWORD QS_RAWINPUT = 0x0400;
constexpr DWORD QS_INPUT = QS_MOUSE | QS_KEY | QS_RAWINPUT;
constexpr DWORD QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
constexpr DWORD QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;

// Blocks the calling thread, without spinning, until its queue holds work of a kind in
// `wakeMask` (posted messages, input, a due timer, a window to paint) or `ms` milliseconds
// (INFINITE: no limit) have passed: WAIT_OBJECT_0 + count for the queue, WAIT_TIMEOUT for the
// time. Changed frames are shown before it waits. Only count 0 is supported (the layer has no
// waitable objects): any other gives WAIT_FAILED (ERROR_NOT_SUPPORTED). Unlike Windows, which
// wakes only for input that arrived since the thread last looked at its queue, it returns at
// once while anything of the mask is waiting (as MWMO_INPUTAVAILABLE asks): a loop that empties
// its queue before waiting sees no difference.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms,
                                DWORD wakeMask);
// Posts WM_CHAR for a WM_KEYDOWN of a key that types a character (digits, letters with the
// shift state, space, RETURN, ESCAPE, BACK, TAB, the keypad digits); TRUE when it posted one.
BOOL TranslateMessage(const MSG* msg);
// The default handling: WM_ERASEBKGND fills the client area with the class brush (1) or
// reports nothing erased (0); WM_PAINT validates the window; WM_CLOSE destroys it; WM_NCCREATE
// answers TRUE; text messages read and set the window text; others answer 0.
LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The time and cursor position of the message last retrieved on this thread.
LONG GetMessageTime();
DWORD GetMessagePos();

// ---- Painting ------------------------------------------------------------------------------

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // TRUE when the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// Adds `rect` (null: the whole client area) to the window's update region; with `erase` the
// whole region is erased at the next BeginPaint. An invisible window keeps its region.
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
// Removes `rect` (null: all) from the update region.
BOOL ValidateRect(HWND hwnd, LPCRECT rect);
// The bounds of the update region; FALSE when it is empty. With `erase`, sends WM_ERASEBKGND
// now when the region asks for it.
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
// Sends WM_PAINT at once when the window has an update region.
BOOL UpdateWindow(HWND hwnd);
// Starts painting: a device context over the top-level window's surface with the client
// area's origin, clipped to the visible part of the update region (children and siblings
// above excluded); sends WM_ERASEBKGND when the region asks for erasing; empties the region.
// rcPaint is the region's bounds in client coordinates.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A device context over the visible client area; ReleaseDC frees it. GetDC(null) gives a
// context over a one-pixel scratch surface, for measuring.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// ---- Timers --------------------------------------------------------------------------------

constexpr UINT USER_TIMER_MINIMUM = 10;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Starts (or, for the same window and id, restarts) a timer on the platform clock
// (GetTickCount). Its WM_TIMER is generated when due and the queue is otherwise empty, at most
// one at a time; its countdown starts again when the message is taken. The period is clamped
// to USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM. Returns the id (a new one for a null window), 0
// for a window that is no window of this thread.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
// Stops it; FALSE when there is no such timer. A WM_TIMER already taken still arrives.
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---- Input ---------------------------------------------------------------------------------

// Sends all mouse input to `hwnd` until released; returns the previous capture window.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// The topmost visible child of `parent` containing `pt` (client coordinates), `parent` itself
// when none does, null outside it.
HWND ChildWindowFromPoint(HWND parent, POINT pt);
// The deepest visible window under a screen point.
HWND WindowFromPoint(POINT pt);
// High bit set while the key is down (as the injected input left it).
SHORT GetKeyState(int vk);
UINT GetDoubleClickTime();  // 500 ms

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONHAND = 0x00000010;
// Counts the beep (platform::GetMessageBeepCount) and lets the backend ring it (the SDL
// backend rings the terminal bell, the headless one nothing). Always TRUE.
BOOL MessageBeep(UINT type);

// ---- Modules -------------------------------------------------------------------------------

// The load address of the loaded module whose file name (without folder; case ignored) is
// `moduleName`, or of the program for null. Null (ERROR_MOD_NOT_FOUND) when none is loaded.
HMODULE GetModuleHandleW(LPCWSTR moduleName);

// Error codes of USER.
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;

inline WORD LOWORD(std::uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
inline WORD HIWORD(std::uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
inline LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(static_cast<DWORD>(
        (static_cast<WORD>(low)) | (static_cast<DWORD>(static_cast<WORD>(high)) << 16)));
}
inline WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>(MAKELPARAM(low, high)) & 0xFFFFFFFFu;
}
// Signed coordinates of a mouse message's lParam.
inline int GET_X_LPARAM(LPARAM lp) {
    return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lp)));
}
inline int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lp)));
}

// ---- The display and input as a user gives it (not Win32) -----------------------------------

namespace platform {

enum class Display { Headless, Sdl };

// Chooses the backend for this process. Before the first window: `FORECOURT_DISPLAY`
// (headless or sdl) decides, headless when unset. False when windows exist already or the SDL
// display cannot be opened (the headless one stays).
bool SelectDisplay(Display display);
Display CurrentDisplay();

// The factor by which a real display shows every frame, for screens of many dots to the inch:
// each window pixel becomes a square of `factor` by `factor` screen pixels, and positions of
// the mouse map back to window pixels. Windows draw as before. False (and no change) outside
// 1 to kMaxDisplayZoom. The headless display keeps its frames 1:1.
constexpr int kMaxDisplayZoom = 8;
bool SetDisplayZoom(int factor);

// The frame of a top-level window (its children composed in), or null for no such window
// (a message-only window has none).
const PixelSurface* GetWindowSurface(HWND topLevel);
// The top-level window that `hwnd` lies in (itself for a top-level window).
HWND GetTopLevelWindow(HWND hwnd);

// The frame the display shows for a top-level window: the real window's pixels with the SDL
// backend (zoomed by the display's factor), the window's surface headless. Changes not yet
// shown are shown first. False when it shows none.
bool ReadPresentedFrame(HWND topLevel, PixelSurface* frame);
// The SDL window id of a shown top-level window (0 headless), for feeding it SDL events.
std::uint32_t GetDisplayWindowId(HWND topLevel);

// The number of MessageBeep calls in this process.
unsigned long GetMessageBeepCount();

// Dispatches every message pending on this thread (paint and due timers included) without
// waiting, and shows the changed frames; returns how many it dispatched. Stops early after
// `limit` messages, and at WM_QUIT, which it leaves queued for the loop outside.
int DispatchPendingMessages(int limit = 10000);
// Runs this thread's message loop for `ms` milliseconds of real time: dispatches whatever
// comes (posted messages, input, paint, due timers) and sleeps in MsgWaitForMultipleObjects
// between them. False when it stopped early at WM_QUIT, which it leaves queued for the loop
// outside. The idle hook is not called: nothing waits for a script here.
bool RunMessageLoopFor(DWORD ms);
// Moves the scripted clock (platform::StartScriptedClock, or a test's
// platform_test::SetTickCount) on by `ms`, stopping at every timer that falls due on the way
// and dispatching all messages pending there, so that a timer of period p fires ms / p times.
// Messages pending at the start are dispatched first.
void AdvanceScriptedClock(DWORD ms);

// Called when a message loop of this thread is about to wait: GetMessageW has found nothing
// to take (no posted message, input, paint or due timer). It is where a program that feeds its
// windows from a script (or a test) acts while a modal loop, such as a dialog's DoModal, holds
// the thread: it may queue input, post messages, move the test clock or dispatch. It returns
// true when the loop should look again, false when it has nothing to give (the loop then waits
// as usual). It is not called again while it runs: a loop inside it waits as usual. Returns
// the hook it replaces, for the caller to put back; null removes the hook.
std::function<bool()> SetIdleHook(std::function<bool()> hook);

// Queues mouse input at `pt` in the client coordinates of `window` (a press, release or move
// of the left button: WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE). When taken from the queue
// it goes to the capture window or the deepest enabled visible window under the point, in its
// client coordinates; a press within the double-click time and distance of the previous press
// on a CS_DBLCLKS window becomes WM_LBUTTONDBLCLK. False for no such window.
bool QueueMouseInput(HWND window, UINT message, POINT pt);
// Queues a key press or release; it goes to the focus window when taken (dropped without one).
void QueueKeyInput(UINT vk, bool down);

// The virtual-key code of a key name: RETURN, ESCAPE, UP, DOWN, LEFT, RIGHT, TAB, SPACE, BACK,
// DELETE, HOME, END, PRIOR, NEXT, SHIFT, F1-F12, 0-9, A-Z, NUMPAD0-NUMPAD9 (case ignored);
// 0 for an unknown name.
UINT VirtualKeyFromName(const std::string& name);

}  // namespace platform

namespace platform_test {

// Forgets the beep count.
void ResetMessageBeepCount();

}  // namespace platform_test

#endif  // _WIN32
