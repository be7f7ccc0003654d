// Mouse and keyboard input: queued as the user gives it, routed when taken (capture, hit
// testing to the deepest enabled window, double clicks, the focus window), the keys' typed
// characters, the key state and the beep.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <map>

#include "platform/systime.h"
#include "platform/user/user_internal.h"

namespace platform::user {

namespace {

std::atomic<unsigned long> beepCount{0};

constexpr int kDoubleClickWidth = 4;  // SM_CXDOUBLECLK: the box around the first press
constexpr UINT kDoubleClickTime = 500;

bool PointIn(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The deepest visible window at `pt` (client coordinates of `w`), starting from `w`.
HWND DeepestAt(HWND hwnd, POINT pt) {
    const Window* w = Find(hwnd);
    for (HWND child : w->children) {
        const Window* c = Find(child);
        if ((c->style & WS_VISIBLE) != 0 && PointIn(c->rect, pt)) {
            const int b = BorderWidth(*c);
            return DeepestAt(child, POINT{pt.x - c->rect.left - b, pt.y - c->rect.top - b});
        }
    }
    return hwnd;
}

bool EnabledWithAncestors(HWND hwnd) {
    for (const Window* w = Find(hwnd); w != nullptr; w = w->parent ? Find(w->parent) : nullptr) {
        if ((w->style & WS_DISABLED) != 0) {
            return false;
        }
    }
    return true;
}

WPARAM ButtonState(const ThreadQueue& q) {
    WPARAM state = 0;
    if (q.keyDown[0x01]) {
        state |= MK_LBUTTON;
    }
    if (q.keyDown[VK_SHIFT]) {
        state |= MK_SHIFT;
    }
    if (q.keyDown[VK_CONTROL]) {
        state |= MK_CONTROL;
    }
    return state;
}

}  // namespace

bool InputToMessage(ThreadQueue& q, const InputEvent& event, MSG* msg, bool commit) {
    if (!event.mouse) {
        if (commit) {
            q.keyDown[event.vk & 0xFF] = event.message == WM_KEYDOWN;
        }
        if (q.focus == nullptr || Find(q.focus) == nullptr) {
            return false;
        }
        // Repeat count 1; a release has the previous-state and transition bits set.
        const LPARAM flags = event.message == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001u);
        *msg = MSG{q.focus, event.message, event.vk, flags, event.time, q.last.pt};
        return true;
    }
    HWND target = q.capture != nullptr && Find(q.capture) != nullptr ? q.capture : nullptr;
    if (target == nullptr) {
        target = WindowFromPoint(event.screen);
        if (target == nullptr || !EnabledWithAncestors(target)) {
            return false;
        }
    }
    POINT client = event.screen;
    ScreenToClient(target, &client);
    UINT message = event.message;
    if (commit && event.message == WM_LBUTTONDOWN) {
        const Window* w = Find(target);
        const bool dbl = (w->cls->style & CS_DBLCLKS) != 0 && q.lastPressWindow == target &&
                         event.time - q.lastPressTime <= kDoubleClickTime &&
                         std::abs(event.screen.x - q.lastPressPoint.x) <= kDoubleClickWidth / 2 &&
                         std::abs(event.screen.y - q.lastPressPoint.y) <= kDoubleClickWidth / 2;
        if (dbl) {
            message = WM_LBUTTONDBLCLK;
            q.lastPressWindow = nullptr;  // a third press starts over
        } else {
            q.lastPressWindow = target;
            q.lastPressTime = event.time;
            q.lastPressPoint = event.screen;
        }
    }
    if (commit && (event.message == WM_LBUTTONDOWN || event.message == WM_LBUTTONUP)) {
        q.keyDown[0x01] = event.message == WM_LBUTTONDOWN;
    }
    *msg = MSG{target,     message,     ButtonState(q), MAKELPARAM(client.x, client.y),
               event.time, event.screen};
    return true;
}

}  // namespace platform::user

using namespace platform::user;
using platform::PixelSurface;
using platform::Region;

HWND SetCapture(HWND hwnd) {
    ThreadQueue& q = CurrentQueue();
    const HWND previous = q.capture;
    if (Find(hwnd) == nullptr) {
        return previous;
    }
    q.capture = hwnd;
    if (previous != nullptr && previous != hwnd && Find(previous) != nullptr) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    return previous;
}

BOOL ReleaseCapture() {
    ThreadQueue& q = CurrentQueue();
    const HWND previous = q.capture;
    q.capture = nullptr;
    if (previous != nullptr && Find(previous) != nullptr) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND GetCapture() {
    return CurrentQueue().capture;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
    const Window* w = Find(parent);
    if (w == nullptr || !PointIn(ClientRectOf(*w), pt)) {
        return nullptr;
    }
    for (HWND child : w->children) {
        const Window* c = Find(child);
        if ((c->style & WS_VISIBLE) != 0 && PointIn(c->rect, pt)) {
            return child;
        }
    }
    return parent;
}

HWND WindowFromPoint(POINT pt) {
    // Later top-level windows lie above earlier ones (a popup above its owner).
    const std::vector<HWND> tops = TopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        const Window* w = Find(*it);
        if ((w->style & WS_VISIBLE) == 0 || !PointIn(w->rect, pt)) {
            continue;
        }
        POINT client = pt;
        ScreenToClient(*it, &client);
        if (!PointIn(ClientRectOf(*w), client)) {
            return *it;  // on the frame
        }
        return DeepestAt(*it, client);
    }
    return nullptr;
}

SHORT GetKeyState(int vk) {
    return CurrentQueue().keyDown[vk & 0xFF] ? static_cast<SHORT>(0x8000) : 0;
}

UINT GetDoubleClickTime() {
    return kDoubleClickTime;
}

BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message != WM_KEYDOWN) {
        return FALSE;
    }
    const UINT vk = static_cast<UINT>(msg->wParam);
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    WCHAR ch = 0;
    if (vk >= '0' && vk <= '9') {
        ch = static_cast<WCHAR>(vk);
    } else if (vk >= 'A' && vk <= 'Z') {
        ch = static_cast<WCHAR>(shift ? vk : vk - 'A' + 'a');
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) {
        ch = static_cast<WCHAR>('0' + (vk - VK_NUMPAD0));
    } else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK ||
               vk == VK_TAB) {
        ch = static_cast<WCHAR>(vk);
    }
    if (ch == 0) {
        return FALSE;
    }
    PostMessageW(msg->hwnd, WM_CHAR, ch, msg->lParam);
    return TRUE;
}

BOOL MessageBeep(UINT) {
    ++beepCount;
    Backend().Beep();
    return TRUE;
}

namespace platform {

unsigned long GetMessageBeepCount() {
    return user::beepCount.load();
}

bool QueueMouseInput(HWND window, UINT message, POINT pt) {
    if (message != WM_LBUTTONDOWN && message != WM_LBUTTONUP && message != WM_MOUSEMOVE) {
        return false;
    }
    bool found = false;
    const std::thread::id thread = user::ThreadOf(window, &found);
    if (!found || thread != std::this_thread::get_id() || !ClientToScreen(window, &pt)) {
        return false;
    }
    user::ThreadQueue& q = user::CurrentQueue();
    {
        std::lock_guard lock(q.mutex);
        q.input.push_back(user::InputEvent{true, message, pt, 0, GetTickCount()});
    }
    return true;
}

void QueueKeyInput(UINT vk, bool down) {
    user::ThreadQueue& q = user::CurrentQueue();
    std::lock_guard lock(q.mutex);
    q.input.push_back(
        user::InputEvent{false, down ? WM_KEYDOWN : WM_KEYUP, {0, 0}, vk, GetTickCount()});
}

UINT VirtualKeyFromName(const std::string& name) {
    std::string upper;
    for (char c : name) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static const std::map<std::string, UINT> named = {
        {"BACK", VK_BACK},    {"TAB", VK_TAB},         {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},
        {"SHIFT", VK_SHIFT},  {"CONTROL", VK_CONTROL}, {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE},
        {"PRIOR", VK_PRIOR},  {"NEXT", VK_NEXT},       {"END", VK_END},       {"HOME", VK_HOME},
        {"LEFT", VK_LEFT},    {"UP", VK_UP},           {"RIGHT", VK_RIGHT},   {"DOWN", VK_DOWN},
        {"DELETE", VK_DELETE}};
    if (auto it = named.find(upper); it != named.end()) {
        return it->second;
    }
    if (upper.size() == 1 && (std::isdigit(static_cast<unsigned char>(upper[0])) ||
                              std::isupper(static_cast<unsigned char>(upper[0])))) {
        return static_cast<UINT>(upper[0]);
    }
    if (upper.size() == 7 && upper.rfind("NUMPAD", 0) == 0 &&
        std::isdigit(static_cast<unsigned char>(upper[6]))) {
        return VK_NUMPAD0 + static_cast<UINT>(upper[6] - '0');
    }
    if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F') {
        const int n = std::atoi(upper.c_str() + 1);
        if (n >= 1 && n <= 12 && std::to_string(n) == upper.substr(1)) {
            return VK_F1 + static_cast<UINT>(n - 1);
        }
    }
    return 0;
}

}  // namespace platform

namespace platform_test {

void ResetMessageBeepCount() {
    platform::user::beepCount = 0;
}

}  // namespace platform_test
