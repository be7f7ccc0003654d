// The thread message queue: posting and sending, registered message numbers, taking messages
// in Windows' order (posted, input, quit, then paint and timers only when nothing else
// waits), waiting for them, dispatching, the default window procedure and window timers on
// the platform clock.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/gdi.h"
#include "platform/last_error.h"
#include "platform/systime.h"
#include "platform/user/user_internal.h"

namespace platform::user {

namespace {

thread_local std::function<bool()> idleHook;
thread_local bool inIdleHook = false;

// Whether `hwnd` is `filter` or one of its descendants (a null filter takes every message).
bool MatchesWindow(HWND hwnd, HWND filter) {
    if (filter == nullptr) {
        return true;
    }
    for (const Window* w = Find(hwnd); w != nullptr; w = w->parent ? Find(w->parent) : nullptr) {
        if (w->handle == filter) {
            return true;
        }
    }
    return false;
}

bool MatchesRange(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

POINT CursorPos() {
    return CurrentQueue().last.pt;
}

// The first window needing paint: ancestors before their children, top-level windows in
// creation order, children from the bottom of the z-order up (so upper siblings paint last).
Window* FindWindowToPaint(HWND filter) {
    std::function<Window*(HWND)> walk = [&](HWND hwnd) -> Window* {
        Window* w = Find(hwnd);
        if (w == nullptr || (w->style & WS_VISIBLE) == 0) {
            return nullptr;
        }
        if (!w->update.Empty() && MatchesWindow(hwnd, filter)) {
            return w;
        }
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
            if (Window* found = walk(*it)) {
                return found;
            }
        }
        return nullptr;
    };
    for (HWND top : TopLevelWindows()) {
        if (Window* found = walk(top)) {
            return found;
        }
    }
    return nullptr;
}

Timer* FindDueTimer(ThreadQueue& q, HWND filter, DWORD now) {
    for (Timer& t : q.timers) {
        if (static_cast<DWORD>(now - t.start) >= t.period &&
            (t.hwnd == nullptr ? filter == nullptr : MatchesWindow(t.hwnd, filter))) {
            return &t;
        }
    }
    return nullptr;
}

BOOL Take(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT flags) {
    ThreadQueue& q = CurrentQueue();
    const bool remove = (flags & PM_REMOVE) != 0;
    const DWORD now = GetTickCount();
    MSG found{};
    bool have = false;
    {
        std::unique_lock lock(q.mutex);
        for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
            if (MatchesRange(it->message, min, max) &&
                (hwnd == nullptr || MatchesWindow(it->hwnd, hwnd))) {
                found = *it;
                have = true;
                if (remove) {
                    q.posted.erase(it);
                }
                break;
            }
        }
        while (!have && !q.input.empty()) {
            const InputEvent event = q.input.front();
            lock.unlock();
            MSG m{};
            const bool routed = InputToMessage(q, event, &m, remove);
            lock.lock();
            if (!routed) {
                q.input.pop_front();  // input that goes nowhere is dropped
                continue;
            }
            if (MatchesRange(m.message, min, max) && MatchesWindow(m.hwnd, hwnd)) {
                found = m;
                have = true;
                if (remove) {
                    q.input.pop_front();
                }
            }
            break;
        }
        if (!have && q.quit) {
            found = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, now, CursorPos()};
            have = true;
            if (remove) {
                q.quit = false;
            }
        }
    }
    if (!have && MatchesRange(WM_PAINT, min, max)) {
        if (Window* w = FindWindowToPaint(hwnd)) {
            found = MSG{w->handle, WM_PAINT, 0, 0, now, CursorPos()};
            have = true;
        }
    }
    if (!have && MatchesRange(WM_TIMER, min, max)) {
        if (Timer* t = FindDueTimer(q, hwnd, now)) {
            found =
                MSG{t->hwnd, WM_TIMER, t->id, reinterpret_cast<LPARAM>(t->proc), now, CursorPos()};
            have = true;
            if (remove) {
                t->start = now;  // the countdown starts again when the tick is taken
            }
        }
    }
    if (!have) {
        return FALSE;
    }
    if (found.time == 0) {
        found.time = now;
    }
    if (remove) {
        q.last = found;
    }
    *msg = found;
    return TRUE;
}

// Milliseconds until the next timer of this thread falls due; -1 when there is none.
int NextTimerTimeout(ThreadQueue& q) {
    if (q.timers.empty()) {
        return -1;
    }
    const DWORD now = GetTickCount();
    DWORD soonest = std::numeric_limits<DWORD>::max();
    for (const Timer& t : q.timers) {
        const DWORD elapsed = now - t.start;
        soonest = std::min(soonest, elapsed >= t.period ? 0 : t.period - elapsed);
    }
    return static_cast<int>(std::min<DWORD>(soonest, 0x7FFFFFFF));
}

}  // namespace

int PresentChangedFrames(bool now) {
    using Clock = std::chrono::steady_clock;
    static thread_local Clock::time_point lastPresent;
    const std::vector<HWND> tops = TopLevelWindows();
    const bool pending = std::any_of(tops.begin(), tops.end(), [](HWND top) {
        const Window* w = Find(top);
        return w != nullptr && w->frameChanged;
    });
    if (!pending) {
        return -1;
    }
    DisplayBackend& backend = Backend();
    const auto interval = std::chrono::milliseconds(backend.PresentIntervalMs());
    const auto since = Clock::now() - lastPresent;
    if (!now && since < interval) {
        return static_cast<int>(
            std::chrono::ceil<std::chrono::milliseconds>(interval - since).count());
    }
    for (HWND top : tops) {
        Window* w = Find(top);
        if (w != nullptr && w->frameChanged) {
            w->frameChanged = false;
            const std::vector<RECT> changed = w->changedArea.Rects();
            w->changedArea.Clear();
            backend.Present(top, *w->surface, (w->style & WS_VISIBLE) != 0, changed);
        }
    }
    lastPresent = Clock::now();
    return -1;
}

void WaitForMessage() {
    const int presentDue = PresentChangedFrames(false);
    if (idleHook && !inIdleHook) {
        // A copy: the hook may replace itself while it runs.
        const std::function<bool()> hook = idleHook;
        inIdleHook = true;
        const bool gave = hook();
        inIdleHook = false;
        if (gave) {
            return;
        }
    }
    ThreadQueue& q = CurrentQueue();
    const int timer = NextTimerTimeout(q);
    Backend().Wait(q, presentDue < 0 ? timer
                      : timer < 0    ? presentDue
                                     : std::min(timer, presentDue));
}

}  // namespace platform::user

using namespace platform::user;
using platform::PixelSurface;
using platform::Region;

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue;
    if (hwnd == nullptr) {
        CurrentQueue();
        queue = QueueOf(std::this_thread::get_id());
    } else {
        bool found = false;
        const std::thread::id thread = ThreadOf(hwnd, &found);
        if (!found) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        queue = QueueOf(thread);
    }
    {
        std::lock_guard lock(queue->mutex);
        queue->posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), {0, 0}});
    }
    queue->wake.notify_all();
    Backend().Wake(*queue);
    return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    bool found = false;
    const std::thread::id thread = ThreadOf(hwnd, &found);
    if (!found) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (thread != std::this_thread::get_id()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    return CallProc(hwnd, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    ThreadQueue& q = CurrentQueue();
    std::lock_guard lock(q.mutex);
    q.quit = true;
    q.quitCode = exitCode;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Take(msg, hwnd, filterMin, filterMax, removeFlags);
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // WM_QUIT comes whatever the filter.
    while (!Take(msg, hwnd, filterMin, filterMax, PM_REMOVE) &&
           !Take(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        WaitForMessage();
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (msg->hwnd == nullptr || Find(msg->hwnd) == nullptr) {
        return 0;
    }
    const LRESULT result = CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return result;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc != nullptr ? proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH brush = w->cls->background;
            if (brush == nullptr) {
                return 0;
            }
            RECT client = ClientRectOf(*w);
            return FillRect(reinterpret_cast<HDC>(wParam), &client, brush) != 0 ? 1 : 0;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SETTEXT:
            w->text = lParam != 0 ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : u"";
            return TRUE;
        case WM_GETTEXT: {
            const std::size_t room = static_cast<std::size_t>(wParam);
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            if (room == 0 || out == nullptr) {
                return 0;
            }
            const std::size_t n = std::min(room - 1, w->text.size());
            std::copy_n(w->text.data(), n, out);
            out[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        default:
            return 0;
    }
}

LONG GetMessageTime() {
    return static_cast<LONG>(CurrentQueue().last.time);
}

DWORD GetMessagePos() {
    const POINT pt = CurrentQueue().last.pt;
    return static_cast<DWORD>(MAKELPARAM(pt.x, pt.y));
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd != nullptr && Find(hwnd) == nullptr) {
        return 0;
    }
    ThreadQueue& q = CurrentQueue();
    const UINT period = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    if (hwnd == nullptr) {
        auto existing = std::find_if(q.timers.begin(), q.timers.end(), [&](const Timer& t) {
            return t.hwnd == nullptr && t.id == id;
        });
        if (id == 0 || existing == q.timers.end()) {
            id = q.nextThreadTimerId++;
        }
    }
    std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    q.timers.push_back(Timer{hwnd, id, period, GetTickCount(), proc});
    Backend().Wake(q);
    return hwnd == nullptr || id != 0 ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    ThreadQueue& q = CurrentQueue();
    const auto removed =
        std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return removed != 0 ? TRUE : FALSE;
}

namespace {

// The registered message names (folded) and their numbers, for the whole process.
struct RegisteredMessages {
    std::mutex mutex;
    std::map<std::u16string, UINT> numbers;
};

RegisteredMessages& TheRegisteredMessages() {
    static RegisteredMessages* table = new RegisteredMessages;  // modules may post at exit
    return *table;
}

constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

// Whether the calling thread's queue holds work of a kind in `mask`.
bool QueueHolds(ThreadQueue& q, DWORD mask) {
    {
        std::lock_guard lock(q.mutex);
        if ((mask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE | QS_SENDMESSAGE)) != 0 &&
            (!q.posted.empty() || q.quit)) {
            return true;
        }
        if ((mask & QS_INPUT) != 0 && !q.input.empty()) {
            return true;
        }
    }
    if ((mask & QS_TIMER) != 0 && FindDueTimer(q, nullptr, GetTickCount()) != nullptr) {
        return true;
    }
    return (mask & QS_PAINT) != 0 && FindWindowToPaint(nullptr) != nullptr;
}

// The shortest of two waits in milliseconds, where -1 means none.
int SoonerWait(int a, int b) {
    return a < 0 ? b : b < 0 ? a : std::min(a, b);
}

}  // namespace

UINT RegisterWindowMessageW(LPCWSTR name) {
    if (name == nullptr || name[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RegisteredMessages& table = TheRegisteredMessages();
    std::lock_guard lock(table.mutex);
    const auto [it, added] = table.numbers.try_emplace(
        FoldedAscii(std::u16string_view(name)),
        static_cast<UINT>(kFirstRegisteredMessage + table.numbers.size()));
    if (it->second > kLastRegisteredMessage) {
        table.numbers.erase(it);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return it->second;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD ms, DWORD wakeMask) {
    if (count != 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return WAIT_FAILED;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    ThreadQueue& q = CurrentQueue();
    for (;;) {
        if (QueueHolds(q, wakeMask)) {
            return WAIT_OBJECT_0 + count;
        }
        int left = -1;
        if (ms != INFINITE) {
            left = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
            if (left <= 0) {
                return WAIT_TIMEOUT;
            }
        }
        const int timer = (wakeMask & QS_TIMER) != 0 ? NextTimerTimeout(q) : -1;
        Backend().Wait(q, SoonerWait(SoonerWait(left, timer), PresentChangedFrames(false)));
    }
}

namespace platform {

std::function<bool()> SetIdleHook(std::function<bool()> hook) {
    return std::exchange(platform::user::idleHook, std::move(hook));
}

int DispatchPendingMessages(int limit) {
    int count = 0;
    MSG msg;
    while (count < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the real loop
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    platform::user::PresentChangedFrames(true);
    return count;
}

bool RunMessageLoopFor(DWORD ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        MSG msg;
        // The deadline holds even while messages keep coming.
        while (Clock::now() < deadline && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
    platform::user::PresentChangedFrames(true);
    return true;
}

void AdvanceScriptedClock(DWORD ms) {
    DispatchPendingMessages();
    DWORD left = ms;
    for (;;) {
        const int next = NextTimerTimeout(CurrentQueue());
        DWORD step = next < 0 ? left : std::min<DWORD>(left, static_cast<DWORD>(next));
        if (step == 0) {
            step = std::min<DWORD>(left, 1);  // a due timer that did not fire must not stall us
        }
        platform_test::AdvanceTickCount(step);
        left -= step;
        DispatchPendingMessages();
        if (left == 0) {
            break;
        }
    }
}

}  // namespace platform
