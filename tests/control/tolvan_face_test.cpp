// The face of a real control through COM, placed in a window as a container places it: painting
// through IViewObject into a recording DC (visible or not, the size put back to 80 by 80), clicks
// injected as mouse input for every PopupMode rule, the state-6 blink and the beeps on the test
// clock, and the client-link cases that the face relies on.
#include "control/tolvan_ctrl.h"
#include "platform/ole_defaults.h"
#include "platform/ole_inplace.h"
#include "platform/systime.h"
#include "platform/user.h"
#include "tests/control/tolvan_test_support.h"

namespace tolvan_test {
namespace {

constexpr DISPID kID = 1;
constexpr DISPID kStatusEventSink = 49;
constexpr DISPID kDeliveryEventSink = 50;
constexpr DISPID kIsCurrentPump = 52;
constexpr DISPID kPopupMode = 54;
constexpr DISPID kBeepEnabled = 58;

// The container's site: the parent window and nothing else to say.
class WindowSite final : public OleClientSiteDefaults, public OleInPlaceSiteDefaults {
  public:
    explicit WindowSite(HWND window) : window_(window) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *ppv = static_cast<IOleClientSite*>(this);
            AddRef();
            return S_OK;
        }
        if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
            *ppv = static_cast<IOleInPlaceSite*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetWindow(HWND* phwnd) override {
        *phwnd = window_;
        return S_OK;
    }
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceDeactivate() override { return S_OK; }
    HRESULT OnPosRectChange(LPCRECT) override { return S_OK; }
    ULONG refs = 1;

  private:
    HWND window_;
};

class TolvanFaceTest : public TolvanTest {
  protected:
    void SetUp() override {
        TolvanTest::SetUp();
        platform_test::SetTickCount(5000);
        platform_test::ResetMessageBeepCount();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"TolvanFaceTestHost";
        RegisterClassW(&wc);  // once per program; later calls find it taken
        host_ = CreateWindowExW(0, u"TolvanFaceTestHost", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                120, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host_, nullptr);
        site_ = std::make_unique<WindowSite>(host_);
        ASSERT_EQ(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_)),
                  S_OK);
        ASSERT_EQ(object_->SetClientSite(site_.get()), S_OK);
        const RECT position{10, 20, 90, 100};
        ASSERT_EQ(
            object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, host_, &position),
            S_OK);
        IOleInPlaceObject* inPlace = nullptr;
        ASSERT_EQ(
            control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)),
            S_OK);
        inPlace->GetWindow(&window_);
        inPlace->Release();
        ASSERT_NE(window_, nullptr);
        platform::DispatchPendingMessages();
    }
    void TearDown() override {
        IOleInPlaceObject* inPlace = nullptr;
        if (control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)) ==
            S_OK) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        object_->SetClientSite(nullptr);
        object_->Release();
        DestroyWindow(host_);
        client_.ClearCalls();
        TolvanTest::TearDown();
        platform_test::ClearTickCount();
    }

    // Loads pump 3 (Number 3) in `state` from the recording client object.
    void LoadPump(SHORT state) {
        client_.Expect(72, 0);
        client_.Expect(7, 0, [](DISPPARAMS* p) { *p->rgvarg[16].plVal = 3; });
        client_.Expect(12, 0, [state](DISPPARAMS* p) { *p->rgvarg[12].piVal = state; });
        PutOk(kID, I4(3));
        SetKestro(&client_);
        client_.ClearCalls();
    }

    void SendStatus(SHORT state, double volume = 10) {
        BSTR grade = BstrFromUtf8("Unleaded");
        BSTR shortGrade = BstrFromUtf8("ULP");
        EXPECT_EQ(CallLong(kStatusEventSink, {I2(state), I2(0), I4(-1), I4(11), I2(1), I4(5),
                                              ByRef(VT_BSTR, &grade), ByRef(VT_BSTR, &shortGrade),
                                              I2(1), R8(1.5), R8(volume), R8(volume * 1.5), I2(0)}),
                  0);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }

    void SendDelivery(LONG id, SHORT state, LONG age = 4) {
        BSTR grade = BstrFromUtf8("Diesel");
        BSTR shortGrade = BstrFromUtf8("D");
        EXPECT_EQ(CallLong(kDeliveryEventSink,
                           {I4(id), I4(11), I2(1), I4(5), ByRef(VT_BSTR, &grade),
                            ByRef(VT_BSTR, &shortGrade), I2(1), R8(1.5), R8(20), R8(30), I2(state),
                            I2(0), I4(-1), I4(-1), I4(age), Date(41339.5), I4(7)}),
                  0);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }

    // A click on the face. A popup it opens is closed by Escape when its modal loop first
    // waits (and by WM_QUIT should Escape not close it), so that the click always returns.
    // `popups` counts the popups it opened.
    void Click(int* popups = nullptr) {
        int turns = 0;
        const auto previous = platform::SetIdleHook([&turns] {
            if (++turns == 1) {
                platform::QueueKeyInput(VK_ESCAPE, true);
                platform::QueueKeyInput(VK_ESCAPE, false);
            } else {
                ADD_FAILURE() << "Escape did not close the popup";
                PostQuitMessage(0);
            }
            return true;
        });
        platform::QueueMouseInput(window_, WM_LBUTTONDOWN, POINT{40, 40});
        platform::QueueMouseInput(window_, WM_LBUTTONUP, POINT{40, 40});
        platform::DispatchPendingMessages();
        platform::SetIdleHook(previous);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        if (popups != nullptr)
            *popups = turns > 0 ? 1 : 0;
    }

    std::vector<DISPID> ClientCalls() const {
        std::vector<DISPID> dispids;
        for (const ClientCall& call : client_.calls)
            dispids.push_back(call.dispid);
        return dispids;
    }

    // What IViewObject::Draw paints into a recording DC over an 80 by 80 surface.
    std::vector<DrawingRecord> DrawThroughViewObject() {
        IViewObject* view = nullptr;
        EXPECT_EQ(control_->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)), S_OK);
        platform::PixelSurface surface;
        surface.Reset(80, 80, 0);
        HDC dc = CreateSurfaceDC(surface, POINT{0, 0}, {RECT{0, 0, 80, 80}});
        StartDrawingLog(dc);
        const RECTL bounds{0, 0, 80, 80};
        EXPECT_EQ(view->Draw(1, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
                  S_OK);
        std::vector<DrawingRecord> log = TakeDrawingLog(dc);
        DeleteDC(dc);
        view->Release();
        return log;
    }

    // The connection point of the control's events (the caller releases it), or null.
    IConnectionPoint* EventPoint() {
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* point = nullptr;
        if (control_->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(&container)) == S_OK) {
            container->FindConnectionPoint(MakeGuid("1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A"),
                                           &point);
            container->Release();
        }
        return point;
    }

    tolvan::CTolvanCtrl& Control() { return static_cast<tolvan::CTolvanCtrl&>(Object()); }

    RecordingClient client_;
    HWND host_ = nullptr;
    HWND window_ = nullptr;
    std::unique_ptr<WindowSite> site_;
    IOleObject* object_ = nullptr;
};

TEST_F(TolvanFaceTest, PaintsOnlyWhileItsWindowShows) {
    LoadPump(3);
    std::vector<DrawingRecord> log = DrawThroughViewObject();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].operation, "FillRect");
    EXPECT_EQ(log[1].bitmapId, 209u);
    EXPECT_EQ(log[2].text, "03");
    EXPECT_EQ(log.back().bitmapId, 201u) << "the padlock of state 3";

    ShowWindow(window_, SW_HIDE);
    EXPECT_TRUE(DrawThroughViewObject().empty());
}

TEST_F(TolvanFaceTest, AWrongSizeIsPutBackWithoutDrawing) {
    IOleInPlaceObject* inPlace = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)),
              S_OK);
    const RECT wide{10, 20, 130, 70};
    inPlace->SetObjectRects(&wide, &wide);
    inPlace->Release();
    Object().TakeInvalidations();
    EXPECT_TRUE(DrawThroughViewObject().empty()) << "the paint that finds the wrong size";
    int cx = 0;
    int cy = 0;
    Object().GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 80);
    EXPECT_EQ(cy, 80);
    const auto invalidations = Object().TakeInvalidations();
    ASSERT_FALSE(invalidations.empty());
    EXPECT_TRUE(invalidations.back().erase);
    EXPECT_EQ(invalidations.back().rect, CRect(0, 0, 80, 80));
    EXPECT_FALSE(DrawThroughViewObject().empty()) << "the next paint draws";
}

TEST_F(TolvanFaceTest, StateSixBlinksAndBeepsEverySecondUntilItIsLeft) {
    LoadPump(3);
    PutOk(kBeepEnabled, I2(1));
    SendStatus(6);
    EXPECT_EQ(platform::GetMessageBeepCount(), 1u) << "entering state 6 beeps at once";
    EXPECT_TRUE(Control().GetBlinkOn());
    SendStatus(6, 11);
    EXPECT_EQ(platform::GetMessageBeepCount(), 1u) << "staying in state 6 does not";

    platform::AdvanceScriptedClock(999);
    EXPECT_EQ(platform::GetMessageBeepCount(), 1u);
    EXPECT_TRUE(Control().GetBlinkOn());
    platform::AdvanceScriptedClock(1);
    EXPECT_EQ(platform::GetMessageBeepCount(), 2u);
    EXPECT_FALSE(Control().GetBlinkOn()) << "the question mark is hidden for a second";
    EXPECT_EQ(DrawThroughViewObject().back().text, "ULP") << "no status icon after the grade";
    platform::AdvanceScriptedClock(1000);
    EXPECT_TRUE(Control().GetBlinkOn());
    EXPECT_EQ(DrawThroughViewObject().back().bitmapId, 215u);
    platform::AdvanceScriptedClock(3000);
    EXPECT_EQ(platform::GetMessageBeepCount(), 6u) << "one on entry, one each of 5 seconds";

    SendStatus(8);
    platform::AdvanceScriptedClock(5000);
    EXPECT_EQ(platform::GetMessageBeepCount(), 6u) << "leaving state 6 kills the timer";
    EXPECT_FALSE(KillTimer(window_, 1)) << "no timer is left running";
}

TEST_F(TolvanFaceTest, StateSixWithoutBeepsStillBlinks) {
    LoadPump(6);
    EXPECT_EQ(platform::GetMessageBeepCount(), 0u);
    EXPECT_TRUE(Control().GetBlinkOn());
    platform::AdvanceScriptedClock(1000);
    EXPECT_FALSE(Control().GetBlinkOn());
    EXPECT_EQ(platform::GetMessageBeepCount(), 0u);
}

TEST_F(TolvanFaceTest, ANewCurrentDeliveryBeepsOnceWhenBeepsAreOn) {
    LoadPump(8);
    SendDelivery(40, 1);
    EXPECT_EQ(platform::GetMessageBeepCount(), 0u) << "BeepEnabled is off by default";
    PutOk(kBeepEnabled, I2(1));
    SendDelivery(41, 1);
    EXPECT_EQ(platform::GetMessageBeepCount(), 1u);
    SendDelivery(41, 1);  // an update of a known delivery
    SendDelivery(42, 2);  // a stacked one
    EXPECT_EQ(platform::GetMessageBeepCount(), 1u);
}

struct ClickCase {
    const char* name;
    SHORT popupMode;
    SHORT state;
    SHORT isCurrentPump;
    std::vector<SHORT> deliveries;
    LONG cancelResult;
    std::vector<DISPID> calls;  // what reaches the client object, in order
    bool selected;              // DeliverySelectedEvent raised
    bool popup = false;         // the popup opens
};

TEST_F(TolvanFaceTest, ClicksFollowThePopupMode) {
    const ClickCase cases[] = {
        {"mode 1 moves the current pump", 1, 6, 0, {}, 0, {74}, false},
        {"mode 1 on the current pump does nothing", 1, 6, 1, {}, 0, {}, false},
        {"mode 2, state 6: Authorise", 2, 6, 0, {}, 0, {74, 22}, false},
        {"mode 2, state 9: ReAuthorise", 2, 9, 1, {}, 0, {25}, false},
        {"mode 2, state 8: TempStop", 2, 8, 1, {}, 0, {24}, false},
        {"mode 2, state 12: TempStop", 2, 12, 1, {}, 0, {24}, false},
        {"mode 2, state 5, 25: TempStop follows", 2, 5, 1, {}, 25, {23, 24}, false},
        {"mode 2, state 5, 0: the popup", 2, 5, 1, {}, 0, {23}, false, true},
        {"mode 2, state 3, one current delivery", 2, 3, 0, {1}, 0, {74}, true},
        {"mode 2, state 17, one current delivery", 2, 17, 1, {1}, 0, {}, true},
        {"mode 2, state 3, one stacked delivery", 2, 3, 1, {2}, 0, {}, false, true},
        {"mode 2, state 8, one current delivery", 2, 8, 1, {1}, 0, {}, false, true},
        {"mode 2, two deliveries", 2, 3, 1, {1, 2}, 0, {}, false, true},
        {"mode 3", 3, 6, 1, {}, 0, {}, false, true},
    };
    IConnectionPoint* point = EventPoint();
    ASSERT_NE(point, nullptr);
    for (const ClickCase& c : cases) {
        EventRecorder sink;
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
        LoadPump(c.state);
        SendDelivery(-1, 0);
        LONG id = 60;
        for (SHORT state : c.deliveries)
            SendDelivery(id++, state, -9);
        PutOk(kPopupMode, I2(c.popupMode));
        PutOk(kIsCurrentPump, I2(c.isCurrentPump));
        const std::size_t before = sink.events.size();
        client_.Expect(74, 0);
        client_.Expect(22, 0);
        client_.Expect(23, c.cancelResult);
        client_.Expect(24, 0);
        client_.Expect(25, 0);
        client_.ClearCalls();
        platform_test::AdvanceTickCount(2000);
        int popups = 0;
        Click(&popups);
        EXPECT_EQ(popups, c.popup ? 1 : 0) << c.name;
        EXPECT_EQ(ClientCalls(), c.calls) << c.name;
        if (!c.calls.empty() && c.calls[0] == 74) {
            ASSERT_EQ(client_.calls[0].values.size(), 1u);
            EXPECT_EQ(client_.calls[0].flags, DISPATCH_PROPERTYPUT) << c.name;
            EXPECT_EQ(client_.calls[0].values[0].lVal, 3) << c.name;
        }
        ASSERT_EQ(sink.events.size() - before, c.selected ? 1u : 0u) << c.name;
        if (c.selected) {
            const ClientCall& selected = sink.events.back();
            EXPECT_EQ(selected.dispid, 3);
            EXPECT_EQ(selected.values[0].lVal, 60);
            EXPECT_EQ(BstrToUtf8(selected.values[4].bstrVal), "Diesel");
            EXPECT_EQ(selected.values[14].lVal, 11) << "CurrentAge: |-9| and 2 seconds";
        }
        point->Unadvise(cookie);
        client_.ClearCalls();
    }
    point->Release();
}

// Without a client object a click reaches nothing (no current pump is put, no command is
// sent) and still follows the popup mode: the commands answer -21 without a call, so state 5
// opens the popup as for any refusal of CancelAuthorise.
TEST_F(TolvanFaceTest, AClickWithoutAClientObjectCallsNothingAndStillFollowsThePopupMode) {
    struct Case {
        const char* name;
        SHORT popupMode;
        SHORT state;
        bool popup;
    };
    const Case kCases[] = {
        {"mode 1", 1, 6, false},
        {"mode 2, state 6: Authorise", 2, 6, false},
        {"mode 2, state 8: TempStop", 2, 8, false},
        {"mode 2, state 5: CancelAuthorise, then the popup", 2, 5, true},
        {"mode 3", 3, 6, true},
    };
    for (const Case& c : kCases) {
        SendStatus(c.state);
        PutOk(kPopupMode, I2(c.popupMode));
        PutOk(kIsCurrentPump, I2(0));
        platform_test::AdvanceTickCount(2000);  // no double click with the click before
        int popups = 0;
        Click(&popups);
        EXPECT_EQ(popups, c.popup ? 1 : 0) << c.name;
        EXPECT_EQ(Control().Popup, nullptr) << c.name;
        EXPECT_EQ(Control().GetPumpState(), c.state) << c.name;
    }
    EXPECT_TRUE(client_.calls.empty());
}

// The client-link cases the face depends on.
TEST_F(TolvanFaceTest, ARepeatedStatusRaisesItsEventWithoutARepaint) {
    LoadPump(8);
    IConnectionPoint* point = EventPoint();
    ASSERT_NE(point, nullptr);
    EventRecorder sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    SendStatus(8);
    Object().TakeInvalidations();
    SendStatus(8);
    EXPECT_TRUE(Object().TakeInvalidations().empty());
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[1].dispid, 1);
    EXPECT_EQ(sink.events[1].values[0].iVal, 8);
    point->Unadvise(cookie);
    point->Release();
}

TEST_F(TolvanFaceTest, IdMinusOneResetsWhatARefreshFilledAndSetKestroNullKeepsTheDeliveries) {
    LoadPump(3);
    EXPECT_EQ(GetLong(2), 3) << "Number from the refresh";
    EXPECT_EQ(GetShort(22), 3);
    SendDelivery(70, 2);
    SetKestro(nullptr);
    EXPECT_EQ(GetLong(2), 0);
    EXPECT_EQ(Control().GetDeliveries().Count(), 1) << "the list stays";

    LoadPump(9);
    client_.Expect(72, 0);
    PutOk(kID, I4(-1));
    ASSERT_EQ(client_.calls.size(), 1u);
    EXPECT_EQ(client_.calls[0].dispid, 72);
    EXPECT_EQ(GetLong(2), 0);
    EXPECT_EQ(GetShort(22), 0);
    EXPECT_EQ(GetLong(17), -1);  // AttendantID back to its default
    EXPECT_EQ(CallLong(43), -21) << "no client object";
}

TEST_F(TolvanFaceTest, AnUnknownDeliveryInStateThreeStillRaisesItsEvent) {
    LoadPump(3);
    IConnectionPoint* point = EventPoint();
    ASSERT_NE(point, nullptr);
    EventRecorder sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    Object().TakeInvalidations();
    SendDelivery(404, 3);
    EXPECT_EQ(Control().GetDeliveries().Count(), 0);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].dispid, 2);
    EXPECT_EQ(sink.events[0].values[0].lVal, 404);
    const auto invalidations = Object().TakeInvalidations();
    ASSERT_EQ(invalidations.size(), 1u);
    EXPECT_TRUE(invalidations[0].erase);
    point->Unadvise(cookie);
    point->Release();
}

}  // namespace
}  // namespace tolvan_test
