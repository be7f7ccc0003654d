// USER: windows, the thread queue's order (paint and timers last), update regions, timers on the
// test clock, visibility, hit testing, capture, double clicks, keyboard focus, a nested modal
// loop, the beep count and GetModuleHandleW; registered messages, message-only windows and
// waiting for the queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/gdi.h"
#include "platform/last_error.h"
#include "platform/systime.h"
#include "platform/user.h"

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> seen;
// Per-test handling before the default; return true when the message was handled.
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> handler;

// The messages worth recording (creation, sizing and focus noise left out unless asked).
bool Recorded(UINT m) {
    return m == WM_PAINT || m == WM_TIMER || m == WM_ERASEBKGND || m >= WM_USER ||
           m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_LBUTTONDBLCLK || m == WM_MOUSEMOVE ||
           m == WM_KEYDOWN || m == WM_KEYUP || m == WM_CHAR || m == WM_SETFOCUS ||
           m == WM_KILLFOCUS || m == WM_DESTROY || m == WM_NCDESTROY || m == WM_SIZE ||
           m == WM_MOVE;
}

LRESULT CALLBACK_Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Recorded(message)) {
        seen.push_back({hwnd, message, wParam, lParam});
    }
    LRESULT result = 0;
    if (handler && handler(hwnd, message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<UINT> Messages(HWND only = nullptr) {
    std::vector<UINT> out;
    for (const Seen& s : seen) {
        if (only == nullptr || s.hwnd == only) {
            out.push_back(s.message);
        }
    }
    return out;
}

class UserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &CALLBACK_Proc;
            wc.lpszClassName = u"UserTestWindow";
            RegisterClassW(&wc);
            wc.style = CS_DBLCLKS;
            wc.lpszClassName = u"UserTestDouble";
            RegisterClassW(&wc);
            return true;
        }();
        (void)registered;
        platform_test::SetTickCount(100000);
        DrainQueue();
        seen.clear();
        handler = nullptr;
    }
    void TearDown() override {
        handler = nullptr;
        for (HWND hwnd : created_) {
            if (IsWindow(hwnd)) {
                DestroyWindow(hwnd);
            }
        }
        DrainQueue();
        platform::SetIdleHook(nullptr);
        platform_test::ClearTickCount();
    }

    static void DrainQueue() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }

    HWND Top(int x, int y, int w, int h, DWORD style = WS_VISIBLE,
             const char16_t* cls = u"UserTestWindow") {
        HWND hwnd =
            CreateWindowExW(0, cls, u"top", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
        created_.push_back(hwnd);
        return hwnd;
    }
    HWND Child(HWND parent, int id, int x, int y, int w, int h, DWORD style = WS_VISIBLE,
               const char16_t* cls = u"UserTestWindow") {
        return CreateWindowExW(0, cls, u"child", WS_CHILD | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                               nullptr);
    }
    // Takes every pending message without dispatching; returns their kinds in order.
    static std::vector<UINT> TakeAll(bool dispatch) {
        std::vector<UINT> order;
        MSG msg;
        while (order.size() < 50 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            order.push_back(msg.message);
            if (dispatch) {
                DispatchMessageW(&msg);
            } else if (msg.message == WM_PAINT) {
                ValidateRect(msg.hwnd, nullptr);
            }
        }
        return order;
    }

    std::vector<HWND> created_;
};

TEST_F(UserTest, PaintAndTimerComeOnlyWhenNothingElseIsQueued) {
    HWND top = Top(0, 0, 50, 50);
    SetTimer(top, 7, 100, nullptr);
    platform_test::AdvanceTickCount(100);  // the timer is due and the window needs painting
    PostMessageW(top, WM_USER + 1, 0, 0);
    PostMessageW(top, WM_USER + 2, 0, 0);
    EXPECT_EQ(TakeAll(false), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER}));
}

TEST_F(UserTest, APostedMessageOvertakesAPendingPaint) {
    HWND top = Top(0, 0, 50, 50);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    PostMessageW(top, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
}

TEST_F(UserTest, UnpaintedWindowKeepsAskingAndDefaultPaintValidates) {
    HWND top = Top(0, 0, 20, 20);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    // Taking WM_PAINT does not validate: it comes again until painted.
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageW(&msg);  // DefWindowProc paints (validates)
    EXPECT_FALSE(PeekMessageW(&msg, top, 0, 0, PM_REMOVE));
}

TEST_F(UserTest, UpdateRegionsUniteAndKeepTheEraseFlag) {
    HWND top = Top(0, 0, 100, 100);
    ValidateRect(top, nullptr);
    RECT a{10, 10, 20, 20};
    RECT b{50, 40, 60, 70};
    InvalidateRect(top, &a, TRUE);
    InvalidateRect(top, &b, FALSE);  // a later request without erase keeps the erase asked
    RECT bounds;
    ASSERT_TRUE(GetUpdateRect(top, &bounds, FALSE));
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.top, 10);
    EXPECT_EQ(bounds.right, 60);
    EXPECT_EQ(bounds.bottom, 70);

    PAINTSTRUCT ps{};
    BOOL erased = FALSE;
    handler = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m == WM_ERASEBKGND) {
            erased = TRUE;
            *r = 0;  // nothing erased: BeginPaint reports fErase
            return true;
        }
        return false;
    };
    ASSERT_NE(BeginPaint(top, &ps), nullptr);
    EXPECT_TRUE(erased);
    EXPECT_TRUE(ps.fErase);
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.bottom, 70);
    EndPaint(top, &ps);
    EXPECT_FALSE(GetUpdateRect(top, &bounds, FALSE));

    // Without any erase request no WM_ERASEBKGND is sent.
    erased = FALSE;
    InvalidateRect(top, &a, FALSE);
    BeginPaint(top, &ps);
    EXPECT_FALSE(erased);
    EXPECT_FALSE(ps.fErase);
    EndPaint(top, &ps);
}

TEST_F(UserTest, ValidatingPartOfTheRegionLeavesTheRest) {
    HWND top = Top(0, 0, 100, 100);
    ValidateRect(top, nullptr);
    RECT a{0, 0, 40, 10};
    InvalidateRect(top, &a, FALSE);
    RECT left{0, 0, 30, 10};
    ValidateRect(top, &left);
    RECT bounds;
    ASSERT_TRUE(GetUpdateRect(top, &bounds, FALSE));
    EXPECT_EQ(bounds.left, 30);
    EXPECT_EQ(bounds.right, 40);
    RECT outside{200, 200, 300, 300};
    ValidateRect(top, nullptr);
    InvalidateRect(top, &outside, TRUE);  // clipped to the client area: nothing
    EXPECT_FALSE(GetUpdateRect(top, &bounds, FALSE));
}

TEST_F(UserTest, TimersFireAtTheirPeriodAndStopAfterKillTimer) {
    HWND top = Top(0, 0, 10, 10);
    ValidateRect(top, nullptr);
    ASSERT_EQ(SetTimer(top, 1, 1000, nullptr), 1u);
    ASSERT_EQ(SetTimer(top, 2, 300, nullptr), 2u);
    std::vector<std::pair<UINT_PTR, DWORD>> ticks;
    handler = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
        if (m == WM_TIMER) {
            ticks.emplace_back(w, GetTickCount() - 100000);
        }
        return false;
    };
    platform::AdvanceScriptedClock(999);
    EXPECT_EQ(ticks, (std::vector<std::pair<UINT_PTR, DWORD>>{{2, 300}, {2, 600}, {2, 900}}));
    ticks.clear();
    platform::AdvanceScriptedClock(1);
    EXPECT_EQ(ticks, (std::vector<std::pair<UINT_PTR, DWORD>>{{1, 1000}}));
    ticks.clear();
    EXPECT_TRUE(KillTimer(top, 2));
    EXPECT_FALSE(KillTimer(top, 2));
    platform::AdvanceScriptedClock(2000);
    EXPECT_EQ(ticks, (std::vector<std::pair<UINT_PTR, DWORD>>{{1, 2000}, {1, 3000}}));
    KillTimer(top, 1);
    ticks.clear();
    platform::AdvanceScriptedClock(5000);
    EXPECT_TRUE(ticks.empty());
}

TEST_F(UserTest, TimersCoalesceAndRestartWhenSetAgain) {
    HWND top = Top(0, 0, 10, 10);
    ValidateRect(top, nullptr);
    SetTimer(top, 5, 100, nullptr);
    platform_test::AdvanceTickCount(1000);  // ten periods pass unattended: one WM_TIMER
    EXPECT_EQ(TakeAll(true), (std::vector<UINT>{WM_TIMER}));
    platform_test::AdvanceTickCount(60);
    SetTimer(top, 5, 100, nullptr);  // restarts the countdown
    platform_test::AdvanceTickCount(60);
    EXPECT_TRUE(TakeAll(true).empty());
    platform_test::AdvanceTickCount(40);
    EXPECT_EQ(TakeAll(true), (std::vector<UINT>{WM_TIMER}));
    // Periods below the minimum become 10 ms.
    SetTimer(top, 6, 1, nullptr);
    platform_test::AdvanceTickCount(9);
    EXPECT_TRUE(TakeAll(true).empty());
    platform_test::AdvanceTickCount(1);
    EXPECT_EQ(TakeAll(true), (std::vector<UINT>{WM_TIMER}));
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x4), 1, 100, nullptr), 0u);
}

TEST_F(UserTest, VisibleOnlyWhileEveryAncestorIs) {
    HWND top = Top(0, 0, 100, 100, 0);
    HWND child = Child(top, 1, 0, 0, 50, 50);
    HWND grandchild = Child(child, 2, 0, 0, 10, 10);
    EXPECT_FALSE(IsWindowVisible(grandchild));
    ShowWindow(top, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(grandchild));
    ShowWindow(child, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_FALSE(ShowWindow(child, SW_SHOW));  // it was hidden
    EXPECT_TRUE(IsWindowVisible(grandchild));
    SetWindowPos(child, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    EXPECT_FALSE(IsWindowVisible(child));
    SetWindowPos(child, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(UserTest, ClicksGoToTheTopmostDeepestEnabledChild) {
    HWND top = Top(100, 50, 200, 200);
    HWND lower = Child(top, 1, 10, 10, 100, 100);  // created first: on top
    HWND upper = Child(top, 2, 50, 50, 100, 100);  // created later: below `lower`
    HWND inner = Child(upper, 3, 60, 60, 20, 20);
    DrainQueue();
    seen.clear();
    auto clickAt = [&](int x, int y) {
        platform::QueueMouseInput(top, WM_LBUTTONDOWN, POINT{x, y});
        MSG msg;
        EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
        return msg;
    };
    MSG m = clickAt(60, 60);  // where both overlap: the topmost
    EXPECT_EQ(m.hwnd, lower);
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 50);
    EXPECT_EQ(GET_Y_LPARAM(m.lParam), 50);
    SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(clickAt(60, 60).hwnd, upper);
    m = clickAt(115, 115);  // in `inner`, in its own coordinates
    EXPECT_EQ(m.hwnd, inner);
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 5);
    EXPECT_EQ(clickAt(5, 5).hwnd, top);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{115, 115}), upper);
    EXPECT_EQ(WindowFromPoint(POINT{100 + 115, 50 + 115}), inner);

    // A disabled window (or one inside a disabled one) takes no click.
    EnableWindow(upper, FALSE);
    platform::QueueMouseInput(top, WM_LBUTTONDOWN, POINT{115, 115});
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
}

TEST_F(UserTest, CaptureTakesTheMouseWherever) {
    HWND top = Top(0, 0, 200, 200);
    HWND a = Child(top, 1, 0, 0, 50, 50);
    Child(top, 2, 100, 100, 50, 50);
    DrainQueue();
    EXPECT_EQ(SetCapture(a), nullptr);
    platform::QueueMouseInput(top, WM_LBUTTONUP, POINT{120, 130});
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 120);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserTest, DoubleClicksOnlyForClassesThatAsk) {
    HWND top = Top(0, 0, 200, 100);
    HWND plain = Child(top, 1, 0, 0, 100, 100);
    HWND dbl = Child(top, 2, 100, 0, 100, 100, WS_VISIBLE, u"UserTestDouble");
    DrainQueue();
    auto twice = [&](int x, DWORD gap) {
        std::vector<UINT> got;
        for (int i = 0; i < 2; ++i) {
            platform::QueueMouseInput(top, WM_LBUTTONDOWN, POINT{x, 10});
            platform::QueueMouseInput(top, WM_LBUTTONUP, POINT{x, 10});
            MSG msg;
            while (PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, PM_REMOVE)) {
                got.push_back(msg.message);
            }
            platform_test::AdvanceTickCount(gap);
        }
        platform_test::AdvanceTickCount(1000);
        return got;
    };
    EXPECT_EQ(twice(10, 100),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(twice(110, 100),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    EXPECT_EQ(twice(110, 501),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    (void)plain;
    (void)dbl;
}

TEST_F(UserTest, KeysGoToTheFocusWindowAndTranslateToCharacters) {
    HWND top = Top(0, 0, 100, 100);
    HWND a = Child(top, 1, 0, 0, 10, 10);
    HWND b = Child(top, 2, 20, 0, 10, 10);
    DrainQueue();
    SetFocus(a);
    seen.clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_KILLFOCUS, WM_SETFOCUS}));
    EXPECT_EQ(seen[0].hwnd, a);
    EXPECT_EQ(seen[1].hwnd, b);
    seen.clear();
    platform::QueueKeyInput('7', true);
    platform::QueueKeyInput('7', false);
    platform::QueueKeyInput(VK_DOWN, true);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(Messages(b), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN}));
    EXPECT_EQ(seen[1].wParam, static_cast<WPARAM>('7'));
    EXPECT_TRUE(Messages(a).empty());

    // Letters follow the shift state; without a focus window keys go nowhere.
    seen.clear();
    platform::QueueKeyInput(VK_SHIFT, true);
    platform::QueueKeyInput('Q', true);
    platform::QueueKeyInput(VK_SHIFT, false);
    platform::QueueKeyInput('Q', true);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    std::u16string typed;
    for (const Seen& s : seen) {
        if (s.message == WM_CHAR) {
            typed += static_cast<char16_t>(s.wParam);
        }
    }
    EXPECT_EQ(typed, u"Qq");
    SetFocus(nullptr);
    seen.clear();
    platform::QueueKeyInput(VK_RETURN, true);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    // Disabling the focus window takes the focus away.
    SetFocus(b);
    EnableWindow(top, FALSE);
    EnableWindow(b, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserTest, ANestedModalLoopDispatchesTimersAndPostedMessages) {
    HWND owner = Top(0, 0, 100, 100);
    ValidateRect(owner, nullptr);
    bool ended = false;
    std::vector<std::string> order;
    handler = [&](HWND hwnd, UINT m, WPARAM w, LPARAM, LRESULT*) {
        if (m == WM_USER) {
            // The modal loop, as a dialog runs it: the owner is disabled while it runs.
            EnableWindow(owner, FALSE);
            SetTimer(hwnd, 9, 500, nullptr);
            PostMessageW(hwnd, WM_USER + 1, 0, 0);
            MSG msg;
            while (!ended && GetMessageW(&msg, nullptr, 0, 0)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            EnableWindow(owner, TRUE);
            order.push_back("modal loop ended");
            return true;
        }
        if (m == WM_USER + 1) {
            order.push_back("posted");
        } else if (m == WM_TIMER && w == 9) {
            order.push_back("timer at " + std::to_string(GetTickCount() - 100000));
            KillTimer(hwnd, 9);
            PostMessageW(hwnd, WM_USER + 2, 0, 0);
        } else if (m == WM_USER + 2) {
            order.push_back("closing");
            ended = true;
        }
        return false;
    };
    // When the loop would block, the test moves the clock on (as a user waits); at most a
    // few times, so a broken loop fails instead of hanging.
    int idle = 0;
    platform::SetIdleHook([&] {
        if (++idle > 10) {
            return false;
        }
        platform_test::AdvanceTickCount(250);
        return true;
    });
    SendMessageW(owner, WM_USER, 0, 0);
    EXPECT_EQ(order,
              (std::vector<std::string>{"posted", "timer at 500", "closing", "modal loop ended"}));
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(UserTest, QuitEndsTheLoopAfterPostedMessages) {
    HWND top = Top(0, 0, 10, 10);
    ValidateRect(top, nullptr);
    PostMessageW(top, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(UserTest, PostingFromAnotherThreadWakesTheLoop) {
    HWND top = Top(0, 0, 10, 10);
    ValidateRect(top, nullptr);
    std::thread poster([top] { PostMessageW(top, WM_USER + 5, 42, 0); });
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_EQ(msg.wParam, 42u);
}

TEST_F(UserTest, AWindowsThreadTakesPostsBeforeItFirstLooksAtItsQueue) {
    // A thread that has only created its window (as a container does while it sets up) can
    // be posted to at once, from another thread, and finds the message later.
    std::atomic<HWND> created{nullptr};
    std::atomic<bool> posted{false};
    MSG got{};
    std::thread owner([&] {
        HWND hwnd = CreateWindowExW(0, u"UserTestWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
        created = hwnd;
        for (int i = 0; i < 2000 && !posted; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        PeekMessageW(&got, nullptr, WM_USER + 7, WM_USER + 7, PM_REMOVE);
        DestroyWindow(hwnd);
    });
    for (int i = 0; i < 2000 && created == nullptr; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_NE(created.load(), nullptr);
    EXPECT_TRUE(PostMessageW(created, WM_USER + 7, 7, 0));
    posted = true;
    owner.join();
    EXPECT_EQ(got.message, static_cast<UINT>(WM_USER + 7));
    EXPECT_EQ(got.wParam, 7u);
}

TEST_F(UserTest, DestroyGoesParentsFirstThenChildrenFirst) {
    HWND top = Top(0, 0, 100, 100);
    HWND child = Child(top, 1, 0, 0, 50, 50);
    HWND grandchild = Child(child, 2, 0, 0, 10, 10);
    SetFocus(grandchild);
    SetTimer(child, 1, 100, nullptr);
    seen.clear();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : seen) {
        order.emplace_back(s.hwnd, s.message);
    }
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY},
                                                         {child, WM_DESTROY},
                                                         {grandchild, WM_DESTROY},
                                                         {grandchild, WM_NCDESTROY},
                                                         {child, WM_NCDESTROY},
                                                         {top, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(KillTimer(child, 1));
    EXPECT_FALSE(DestroyWindow(top));
    EXPECT_FALSE(PostMessageW(top, WM_USER, 0, 0));
}

TEST_F(UserTest, GeometryTextAndRelations) {
    HWND top = Top(100, 200, 300, 150, WS_VISIBLE | WS_BORDER);
    HWND child = Child(top, 42, 10, 20, 50, 40, WS_VISIBLE | WS_BORDER);
    RECT r;
    GetClientRect(top, &r);
    EXPECT_EQ(r.right, 298);
    EXPECT_EQ(r.bottom, 148);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 111);  // 100 + top's border + 10
    EXPECT_EQ(r.top, 221);
    EXPECT_EQ(r.right, 161);
    POINT p{0, 0};
    MapWindowPoints(child, top, &p, 1);
    EXPECT_EQ(p.x, 11);  // the child's client origin lies inside its own border
    EXPECT_EQ(p.y, 21);
    EXPECT_EQ(GetDlgItem(top, 42), child);
    EXPECT_EQ(GetDlgItem(top, 43), nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    EXPECT_EQ(GetParent(child), top);
    HWND popup = CreateWindowExW(0, u"UserTestWindow", u"", WS_POPUP, 0, 0, 10, 10, top, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), top);
    EXPECT_TRUE(SetWindowTextW(child, u"Pump 1"));
    WCHAR text[4];
    EXPECT_EQ(GetWindowTextW(child, text, 4), 3);
    EXPECT_EQ(std::u16string(text), u"Pum");
    EXPECT_EQ(GetWindowTextLengthW(child), 6);
    seen.clear();
    SetWindowPos(child, nullptr, 5, 5, 70, 40, SWP_NOZORDER);
    EXPECT_EQ(Messages(child), (std::vector<UINT>{WM_MOVE, WM_SIZE}));
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(seen.back().lParam)), 68);  // client width
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(popup));  // owned windows go with their owner
}

TEST_F(UserTest, MessageBeepIsCounted) {
    platform_test::ResetMessageBeepCount();
    MessageBeep(0xFFFFFFFF);
    MessageBeep(MB_OK);
    EXPECT_EQ(platform::GetMessageBeepCount(), 2u);
}

TEST_F(UserTest, VirtualKeyNames) {
    struct Row {
        const char* name;
        UINT vk;
    };
    const Row rows[] = {{"RETURN", 0x0D}, {"escape", 0x1B}, {"UP", 0x26}, {"DOWN", 0x28},
                        {"1", 0x31},      {"9", 0x39},      {"a", 0x41},  {"NUMPAD3", 0x63},
                        {"F12", 0x7B},    {"F13", 0},       {"BOGUS", 0}, {"", 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(platform::VirtualKeyFromName(row.name), row.vk) << row.name;
    }
}

TEST_F(UserTest, ModuleHandleByFileName) {
    HMODULE program = GetModuleHandleW(nullptr);
    ASSERT_NE(program, nullptr);
    HMODULE platform = GetModuleHandleW(u"LIBPLATFORM_USER.SO");
    ASSERT_NE(platform, nullptr);
    EXPECT_NE(platform, program);
    EXPECT_EQ(GetModuleHandleW(u"no-such-module.so"), nullptr);
}

// The frame a child's styles give it, as AdjustWindowRectEx counts it: SM_CXBORDER (1) for
// WS_BORDER, SM_CXEDGE (2) inside it for WS_EX_CLIENTEDGE. The client area shrinks by both, and
// the frame's rings are drawn from the outside in: the black border, then EDGE_SUNKEN's shadow
// over highlight and dark shadow over light, the bottom and right sides taking the far corners.
TEST_F(UserTest, BorderAndClientEdgeFrameAChild) {
    struct Case {
        const char* what;
        DWORD style;
        DWORD exStyle;
        int frame;  // pixels on each side
        // The colours of the frame's rings from the outside in: top-left side, bottom-right side.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> rings;
    };
    const Case cases[] = {
        {"no frame", 0, 0, 0, {}},
        {"WS_BORDER", WS_BORDER, 0, 1, {{0x000000, 0x000000}}},
        {"WS_EX_CLIENTEDGE", 0, WS_EX_CLIENTEDGE, 2, {{0xA0A0A0, 0xFFFFFF}, {0x696969, 0xE3E3E3}}},
        {"both",
         WS_BORDER,
         WS_EX_CLIENTEDGE,
         3,
         {{0x000000, 0x000000}, {0xA0A0A0, 0xFFFFFF}, {0x696969, 0xE3E3E3}}},
    };
    for (const Case& c : cases) {
        HWND top = Top(0, 0, 100, 100);
        HWND child =
            CreateWindowExW(c.exStyle, u"UserTestWindow", u"child", WS_CHILD | WS_VISIBLE | c.style,
                            10, 20, 50, 40, top, nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr) << c.what;
        RECT client;
        ASSERT_TRUE(GetClientRect(child, &client));
        EXPECT_EQ(client.right, 50 - 2 * c.frame) << c.what;
        EXPECT_EQ(client.bottom, 40 - 2 * c.frame) << c.what;
        POINT origin{0, 0};
        MapWindowPoints(child, top, &origin, 1);
        EXPECT_EQ(origin.x, 10 + c.frame) << c.what;
        EXPECT_EQ(origin.y, 20 + c.frame) << c.what;
        platform::DispatchPendingMessages();
        const platform::PixelSurface& s = *platform::GetWindowSurface(top);
        for (int i = 0; i < static_cast<int>(c.rings.size()); ++i) {
            const auto [topLeft, bottomRight] = c.rings[static_cast<std::size_t>(i)];
            const int left = 10 + i, topY = 20 + i, right = 59 - i, bottom = 59 - i;
            EXPECT_EQ(s.at(left, topY), topLeft) << c.what << " ring " << i << " top-left";
            EXPECT_EQ(s.at(30, topY), topLeft) << c.what << " ring " << i << " top";
            EXPECT_EQ(s.at(left, 40), topLeft) << c.what << " ring " << i << " left";
            EXPECT_EQ(s.at(right, topY), bottomRight) << c.what << " ring " << i << " top-right";
            EXPECT_EQ(s.at(right, 40), bottomRight) << c.what << " ring " << i << " right";
            EXPECT_EQ(s.at(left, bottom), bottomRight) << c.what << " ring " << i << " bottom-left";
            EXPECT_EQ(s.at(30, bottom), bottomRight) << c.what << " ring " << i << " bottom";
        }
        DestroyWindow(top);
    }
}

// Children draw into their top-level window's surface, each clipped to what shows of it.
TEST_F(UserTest, FramesComposeChildrenInZOrder) {
    auto colourClass = [](const char16_t* name, COLORREF colour) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hbrBackground = CreateSolidBrush(colour);
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    };
    static const bool registered = [&] {
        colourClass(u"UserTestGreen", RGB(0, 0xFF, 0));
        colourClass(u"UserTestRed", RGB(0xFF, 0, 0));
        colourClass(u"UserTestBlue", RGB(0, 0, 0xFF));
        return true;
    }();
    (void)registered;
    HWND top = Top(0, 0, 40, 30, WS_VISIBLE, u"UserTestGreen");
    HWND a = Child(top, 1, 5, 5, 10, 10, WS_VISIBLE, u"UserTestRed");
    HWND b = Child(top, 2, 10, 10, 10, 10, WS_VISIBLE | WS_BORDER, u"UserTestBlue");
    platform::DispatchPendingMessages();
    const platform::PixelSurface& frame = *platform::GetWindowSurface(top);
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    };
    auto check = [&](std::initializer_list<Probe> probes, const char* when) {
        for (const Probe& p : probes) {
            EXPECT_EQ(frame.at(p.x, p.y), p.rgb) << when << " at " << p.x << "," << p.y;
        }
    };
    check({{2, 2, 0x00FF00},     // the parent's background
           {7, 7, 0xFF0000},     // a
           {12, 12, 0xFF0000},   // a lies above b (created first)
           {19, 17, 0x000000},   // b's border
           {17, 17, 0x0000FF}},  // b's client area
          "shown");
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    platform::DispatchPendingMessages();
    check({{12, 12, 0x0000FF}, {10, 12, 0x000000}, {7, 7, 0xFF0000}}, "b raised");
    ShowWindow(b, SW_HIDE);
    platform::DispatchPendingMessages();
    check({{12, 12, 0xFF0000}, {17, 17, 0x00FF00}, {19, 17, 0x00FF00}}, "b hidden");
    MoveWindow(a, 20, 0, 10, 10, TRUE);
    platform::DispatchPendingMessages();
    check({{7, 7, 0x00FF00}, {25, 5, 0xFF0000}}, "a moved");
}

}  // namespace

namespace {

// The idle hook as a program that feeds a modal loop uses it: it runs only when the loop finds
// nothing to take, is not called again from a loop inside it, and hands back the hook it
// replaced so that a caller can put that one back.
TEST(IdleHook, RunsWhenTheLoopWaitsNotInsideItselfAndReturnsTheOneItReplaced) {
    int outerCalls = 0;
    const auto original = platform::SetIdleHook([&outerCalls] {
        ++outerCalls;
        PostMessageW(nullptr, WM_USER + 7, 0, 0);
        return true;
    });
    int calls = 0;
    int nestedLoops = 0;
    auto previous = platform::SetIdleHook([&] {
        ++calls;
        if (calls == 1) {
            // A loop inside the hook waits as usual, here for a 10 ms timer on the real clock:
            // the hook is not asked again meanwhile.
            const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
            MSG inner;
            if (GetMessageW(&inner, nullptr, 0, 0) && inner.message == WM_TIMER && calls == 1) {
                ++nestedLoops;
            }
            KillTimer(nullptr, timer);
            return true;  // gave nothing: the outer loop looks again, finds nothing, asks again
        }
        PostMessageW(nullptr, WM_USER + 2, 0, 0);
        return true;
    });
    ASSERT_TRUE(previous);
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(nestedLoops, 1);
    // Putting the replaced hook back: it serves the next wait.
    platform::SetIdleHook(std::move(previous));
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 7));
    EXPECT_EQ(outerCalls, 1);
    platform::SetIdleHook(original);
}

BOOL CollectWindows(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

TEST(EnumWindows, GivesTheThreadsTopLevelWindowsNewestFirst) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"EnumWindowsTest";
    RegisterClassW(&wc);
    HWND first = CreateWindowExW(0, u"EnumWindowsTest", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND second = CreateWindowExW(0, u"EnumWindowsTest", nullptr, WS_POPUP, 0, 0, 10, 10, first,
                                  nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"EnumWindowsTest", nullptr, WS_CHILD, 0, 0, 5, 5, first,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    std::vector<HWND> all;
    EXPECT_TRUE(EnumWindows(&CollectWindows, reinterpret_cast<LPARAM>(&all)));
    const auto at = [&](HWND h) { return std::find(all.begin(), all.end(), h) - all.begin(); };
    EXPECT_LT(at(second), at(first));
    EXPECT_EQ(std::find(all.begin(), all.end(), child), all.end());  // children are not listed
    EXPECT_FALSE(EnumWindows(nullptr, 0));
    DestroyWindow(first);
}

TEST(RegisterWindowMessage, OneNumberPerNameWhateverItsCaseInTheRegisteredRange) {
    const UINT first = RegisterWindowMessageW(u"UserTest.First");
    const UINT second = RegisterWindowMessageW(u"UserTest.Second");
    EXPECT_GE(first, 0xC000u);
    EXPECT_LE(first, 0xFFFFu);
    EXPECT_GE(second, 0xC000u);
    EXPECT_LE(second, 0xFFFFu);
    EXPECT_NE(first, second);
    EXPECT_EQ(RegisterWindowMessageW(u"UserTest.First"), first);
    EXPECT_EQ(RegisterWindowMessageW(u"USERTEST.FIRST"), first);
    std::atomic<UINT> elsewhere = 0;
    std::thread other([&] { elsewhere = RegisterWindowMessageW(u"usertest.second"); });
    other.join();
    EXPECT_EQ(elsewhere.load(), second) << "one table for the process";
    struct Row {
        const char16_t* name;
    };
    for (const Row& row : {Row{nullptr}, Row{u""}}) {
        SetLastError(0);
        EXPECT_EQ(RegisterWindowMessageW(row.name), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

TEST(MessageOnlyWindow, TakesMessagesButIsNeverShownPaintedOrListed) {
    static std::vector<UINT> got;
    got.clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        got.push_back(message);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    wc.lpszClassName = u"MessageOnlyTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"MessageOnlyTest", nullptr, WS_VISIBLE, 0, 0, 50, 50,
                                HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetParent(hwnd), nullptr);  // as Wine's tests show for Windows
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    std::vector<HWND> all;
    EnumWindows(&CollectWindows, reinterpret_cast<LPARAM>(&all));
    EXPECT_EQ(std::find(all.begin(), all.end(), hwnd), all.end());
    EXPECT_EQ(platform::GetWindowSurface(hwnd), nullptr);
    got.clear();
    InvalidateRect(hwnd, nullptr, TRUE);
    const UINT ping = RegisterWindowMessageW(u"UserTest.Ping");
    std::thread poster([&] { EXPECT_TRUE(PostMessageW(hwnd, ping, 7, 0)); });
    poster.join();
    EXPECT_EQ(platform::DispatchPendingMessages(), 1);
    EXPECT_EQ(got, std::vector<UINT>{ping}) << "no paint for a window that never shows";
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(PostMessageW(hwnd, ping, 0, 0));
}

TEST(DestroyWindow, TakesTheMessagesPostedToItAndLeavesTheOthers) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"DestroyPurgeTest";
    RegisterClassW(&wc);
    HWND going = CreateWindowExW(0, u"DestroyPurgeTest", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
    HWND staying = CreateWindowExW(0, u"DestroyPurgeTest", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(going, nullptr);
    ASSERT_NE(staying, nullptr);
    PostMessageW(going, WM_USER + 1, 0, 0);
    PostMessageW(staying, WM_USER + 2, 0, 0);
    PostMessageW(going, WM_USER + 3, 0, 0);
    DestroyWindow(going);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, staying);
    EXPECT_EQ(msg.message, WM_USER + 2);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(staying);
}

TEST(MsgWaitForMultipleObjects, WaitsForWorkOfTheMaskOrTheTime) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 40, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));

    PostMessageW(nullptr, WM_USER + 5, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_TIMER | QS_PAINT), WAIT_TIMEOUT)
        << "a posted message is not in that mask";
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_POSTMESSAGE), WAIT_OBJECT_0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    SetLastError(0);
    HANDLE handle = nullptr;
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &handle, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(MsgWaitForMultipleObjects, APostFromAnotherThreadEndsAnUnboundedWait) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"MsgWaitTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"MsgWaitTest", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    std::thread poster([hwnd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessageW(hwnd, WM_USER, 0, 0);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    poster.join();
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    DestroyWindow(hwnd);
}

TEST(MsgWaitForMultipleObjects, ADueTimerOrAWindowToPaintWakesItWhenAsked) {
    platform_test::SetTickCount(1000);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_TIMER), WAIT_TIMEOUT);
    platform_test::AdvanceTickCount(50);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_POSTMESSAGE), WAIT_TIMEOUT);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_TIMER), WAIT_OBJECT_0);
    KillTimer(nullptr, timer);

    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"MsgWaitPaintTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"MsgWaitPaintTest", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 20,
                                20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_PAINT), WAIT_OBJECT_0);
    platform::DispatchPendingMessages();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_PAINT), WAIT_TIMEOUT);
    DestroyWindow(hwnd);
    platform_test::ClearTickCount();
}

TEST(MessageLoops, RunForDispatchesWhatComesAndStopsAtQuitLeavingIt) {
    static int pings = 0;
    pings = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_USER + 9) {
            ++pings;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    wc.lpszClassName = u"RunForTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, u"RunForTest", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    std::thread poster([hwnd] {
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            PostMessageW(hwnd, WM_USER + 9, 0, 0);
        }
    });
    EXPECT_TRUE(platform::RunMessageLoopFor(400));
    poster.join();
    EXPECT_EQ(pings, 3);

    PostMessageW(hwnd, WM_USER + 9, 0, 0);
    PostQuitMessage(4);
    PostMessageW(hwnd, WM_USER + 9, 0, 0);
    EXPECT_FALSE(platform::RunMessageLoopFor(5000)) << "WM_QUIT ends it at once";
    EXPECT_EQ(pings, 5) << "posted messages come before WM_QUIT";
    EXPECT_EQ(platform::DispatchPendingMessages(), 0) << "it stops at WM_QUIT as well";
    MSG msg;
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0)) << "WM_QUIT is left for the loop outside";
    EXPECT_EQ(msg.wParam, 4u);
    DestroyWindow(hwnd);
}

}  // namespace
