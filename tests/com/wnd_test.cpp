// CWnd: message maps (window messages, ON_MESSAGE, commands by id and code, notifications),
// the base class's map reached from a derived one, Default, the handle map and the window's
// end (WM_DESTROY, PostNcDestroy).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/window_dc.h"
#include "platform/afx/wnd.h"
#include "platform/systime.h"

namespace {

std::vector<std::string> calls;

class CBaseWnd : public CWnd {
  public:
    void OnTimer(UINT_PTR id) override { calls.push_back("base timer " + std::to_string(id)); }
    void OnDestroy() override { calls.push_back("destroy"); }
    void OnOK() { calls.push_back("ok"); }
    void PostNcDestroy() override { calls.push_back("post nc destroy"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_WM_TIMER()
ON_WM_DESTROY()
ON_COMMAND(1, &CBaseWnd::OnOK)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
  public:
    void OnLButtonDown(UINT flags, CPoint point) override {
        calls.push_back("down " + std::to_string(flags) + " " + std::to_string(point.x) + "," +
                        std::to_string(point.y));
    }
    LRESULT OnCustom(WPARAM w, LPARAM l) {
        calls.push_back("custom " + std::to_string(w) + " " + std::to_string(l));
        return 77;
    }
    void OnPick() { calls.push_back("list changed"); }
    void OnRange(UINT id) { calls.push_back("range " + std::to_string(id)); }
    void OnNotified(NMHDR* header, LRESULT* result) {
        calls.push_back("notify " + std::to_string(header->code));
        *result = 5;
    }
    LRESULT OnAskDefault(WPARAM, LPARAM) { return Default(); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_USER + 1, &CDerivedWnd::OnCustom)
ON_MESSAGE(WM_GETTEXTLENGTH, &CDerivedWnd::OnAskDefault)
ON_LBN_SELCHANGE(20, &CDerivedWnd::OnPick)
ON_COMMAND_RANGE(100, 109, &CDerivedWnd::OnRange)
ON_NOTIFY(7, 30, &CDerivedWnd::OnNotified)
END_MESSAGE_MAP()

class WndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calls.clear();
        platform_test::SetTickCount(5000);
    }
    void TearDown() override { platform_test::ClearTickCount(); }
};

TEST_F(WndTest, MessageMapsRouteToHandlersAndChainToTheBase) {
    CDerivedWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, u"pump", WS_POPUP | WS_VISIBLE, RECT{0, 0, 80, 80}, nullptr, 0));
    ASSERT_NE(wnd.GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
    EXPECT_EQ(wnd.SendMessage(WM_USER + 1, 3, 4), 77);
    wnd.SendMessage(WM_TIMER, 9, 0);                            // the base's entry
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);  // ON_COMMAND takes a click
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(20, LBN_SELCHANGE), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(20, LBN_DBLCLK), 0);  // no entry for this code
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(105, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(110, 0), 0);  // outside the range
    NMHDR header{wnd.m_hWnd, 30, 7};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 30, reinterpret_cast<LPARAM>(&header)), 5);
    header.code = 8;
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 30, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"down 1 12,34", "custom 3 4", "base timer 9", "ok",
                                               "list changed", "range 105", "notify 7"}));
    // Default() gives the message being handled to the default procedure.
    EXPECT_EQ(wnd.SendMessage(WM_GETTEXTLENGTH), 4);
}

TEST_F(WndTest, TimersAndInvalidationReachTheWindow) {
    CDerivedWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, u"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10}, nullptr, 0));
    platform::DispatchPendingMessages();
    EXPECT_EQ(wnd.SetTimer(4, 250), 4u);
    platform::AdvanceScriptedClock(500);
    EXPECT_TRUE(wnd.KillTimer(4));
    platform::AdvanceScriptedClock(500);
    EXPECT_EQ(calls, (std::vector<std::string>{"base timer 4", "base timer 4"}));
    wnd.Invalidate(FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(wnd.m_hWnd, &update, FALSE));
    EXPECT_EQ(update.right, 10);
}

TEST_F(WndTest, DestroyCallsOnDestroyThenPostNcDestroyAndForgetsTheHandle) {
    CBaseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    HWND hwnd = wnd.m_hWnd;
    ASSERT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(calls, (std::vector<std::string>{"destroy", "post nc destroy"}));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WndTest, ChildWindowsAndTemporaryObjects) {
    CBaseWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, u"", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    CDerivedWnd child;
    ASSERT_TRUE(child.Create(nullptr, u"", WS_VISIBLE, RECT{10, 10, 30, 30}, &parent, 42));
    EXPECT_EQ(parent.GetDlgItem(42), &child);
    EXPECT_EQ(child.GetDlgCtrlID(), 42);
    EXPECT_EQ(child.GetParent(), &parent);
    // A window no CWnd owns gets a temporary object.
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"WndTestPlain";
    RegisterClassW(&wc);
    HWND plain = CreateWindowExW(0, u"WndTestPlain", u"x", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                 nullptr, nullptr);
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, plain);
    EXPECT_EQ(CWnd::FromHandle(plain), temporary);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    DestroyWindow(plain);
    child.DestroyWindow();
    parent.DestroyWindow();
}

}  // namespace

namespace {

class CModalWnd : public CWnd {
  public:
    void OnTimer(UINT_PTR id) override {
        calls.push_back("tick " + std::to_string(id));
        if (++ticks_ == 2) {
            KillTimer(id);
            PostMessage(WM_USER + 7);
        }
    }
    LRESULT OnDone(WPARAM, LPARAM) {
        calls.push_back("posted");
        EndModalLoop(IDOK_RESULT);
        calls.push_back("still in the handler");
        return 0;
    }
    static constexpr int IDOK_RESULT = 1;

    DECLARE_MESSAGE_MAP()

  private:
    int ticks_ = 0;
};

BEGIN_MESSAGE_MAP(CModalWnd, CWnd)
ON_WM_TIMER()
ON_MESSAGE(WM_USER + 7, &CModalWnd::OnDone)
END_MESSAGE_MAP()

TEST_F(WndTest, AModalLoopRunsTimersAndPostedMessagesUntilEnded) {
    CModalWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, u"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10}, nullptr, 0));
    wnd.SetTimer(3, 100);
    int idle = 0;
    platform::SetIdleHook([&] {
        platform_test::AdvanceTickCount(50);
        return ++idle < 20;  // bounded: a loop that never ends fails the test instead
    });
    EXPECT_EQ(wnd.RunModalLoop(), CModalWnd::IDOK_RESULT);
    platform::SetIdleHook(nullptr);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"tick 3", "tick 3", "posted", "still in the handler"}));
    // A destroyed window ends its loop.
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.RunModalLoop(), -1);
}

}  // namespace

namespace {

class CPaintedWnd : public CWnd {
  public:
    BOOL OnEraseBkgnd(CDC* pDC) override {
        CRect client;
        GetClientRect(&client);
        pDC->FillSolidRect(&client, RGB(0x10, 0x20, 0x30));
        calls.push_back("erase");
        return TRUE;
    }
    void OnPaint() override {
        CPaintDC dc(this);
        calls.push_back("paint " + std::to_string(dc.m_ps.rcPaint.left) + "," +
                        std::to_string(dc.m_ps.rcPaint.top) + " erase " +
                        std::to_string(dc.m_ps.fErase));
        dc.FillSolidRect(2, 2, 3, 3, RGB(0xFF, 0xFF, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST_F(WndTest, PaintDcPaintsTheUpdateRegionAfterTheErase) {
    CPaintedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 8, 8}, nullptr, 0));
    platform::DispatchPendingMessages();
    const platform::PixelSurface& frame = *platform::GetWindowSurface(wnd.m_hWnd);
    EXPECT_EQ(frame.at(0, 0), 0x102030u);
    EXPECT_EQ(frame.at(3, 3), 0xFFFF00u);
    // A later request for part of the window, without erase, paints only there.
    RECT part{3, 4, 8, 8};
    wnd.InvalidateRect(&part, FALSE);
    platform::DispatchPendingMessages();
    EXPECT_EQ(calls, (std::vector<std::string>{"erase", "paint 0,0 erase 0", "paint 3,4 erase 0"}));
    EXPECT_EQ(frame.at(3, 3), 0xFFFF00u);  // outside the clip: kept
    CClientDC client(&wnd);
    client.FillSolidRect(0, 0, 1, 1, RGB(1, 2, 3));
    EXPECT_EQ(frame.at(0, 0), 0x010203u);
}

}  // namespace
