// The delivery popup through the real dialog with injected input: the rows and their order,
// choosing by digit, Enter, click and double click, the arrows, Escape, the button rules, the
// actions taken after the dialog has closed, the rows' icons and colours, deliveries removed
// and added while it is open, and DoPopup guarding re-entry.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>

#include "control/amount_format.h"
#include "control/popup.h"
#include "control/tolvan_ctrl.h"
#include "control/tolvan_ids.h"
#include "platform/gdi.h"
#include "platform/user.h"
#include "tests/control/tolvan_test_support.h"
#include "tests/support/locale_variables.h"

namespace tolvan_test {
namespace {

using tolvan::CPopup;
using tolvan::CTolvanCtrl;
using namespace tolvan;  // the resource and item ids

struct Delivery {
    LONG id;
    SHORT state = 2;
    double volume = 20;
    LONG age = 0;
    LONG lockedBy = -1;
    SHORT type = 0;
    double value = 30;
};

constexpr DISPID kPumpAuthorise = 22;
constexpr DISPID kPumpCancelAuthorise = 23;
constexpr DISPID kPumpTempStop = 24;
constexpr DISPID kPumpReAuthorise = 25;
constexpr DISPID kPumpTerminateDelivery = 26;
constexpr DISPID kPumpStackCurrentDelivery = 27;

class TolvanPopupTest : public TolvanTest {
  protected:
    void SetUp() override {
        TolvanTest::SetUp();
        client_.Expect(72, 0);
        client_.Expect(7, 0, [this](DISPPARAMS* p) {
            *p->rgvarg[16].plVal = 1;
            *p->rgvarg[2].piVal = stackMode_;
            *p->rgvarg[15].pbstrVal = BstrFromUtf8(pumpName_);
        });
        client_.Expect(12, 0);
        SetKestro(&client_);
        PutOk(1, I4(1));
        client_.ClearCalls();
        // The control sits in a container window, as a point-of-sale screen places it.
        ASSERT_TRUE(host_.CreateEx(0, nullptr, u"POS", WS_POPUP | WS_VISIBLE,
                                   RECT{100, 50, 500, 450}, nullptr, 0));
        ASSERT_TRUE(Ctrl().CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE,
                                    RECT{20, 20, 100, 100}, &host_, 1));
        platform::SetIdleHook([this] { return NextStep(); });
    }
    void TearDown() override {
        platform::SetIdleHook(nullptr);
        StopListening();
        for (ClientCall& e : sink_.events) {
            for (VARIANT& v : e.values)
                VariantClear(&v);
        }
        sink_.events.clear();
        if (Ctrl().m_hWnd != nullptr)
            Ctrl().DestroyWindow();
        host_.DestroyWindow();
        client_.ClearCalls();
        TolvanTest::TearDown();
    }

    // Loads the pump again with `stackMode`.
    void LoadStackMode(SHORT stackMode) {
        stackMode_ = stackMode;
        PutOk(1, I4(++pumpId_));
        client_.ClearCalls();
    }
    // Loads the pump again under the name `name`.
    void LoadName(const std::string& name) {
        pumpName_ = name;
        PutOk(1, I4(++pumpId_));
        client_.ClearCalls();
    }
    // A click on the face (the middle of it) and its release.
    void ClickFace() {
        Ctrl().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
        Ctrl().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
    }

    CTolvanCtrl& Ctrl() { return static_cast<CTolvanCtrl&>(Object()); }
    CPopup& Popup() { return *Ctrl().Popup; }

    // Runs one step of the script each time the modal loop waits. When the script is done and
    // the popup is still open, the test has failed: the popup is closed so that it ends.
    bool NextStep() {
        if (!steps_.empty()) {
            auto step = std::move(steps_.front());
            steps_.pop_front();
            step();
            return true;
        }
        if (Ctrl().Popup != nullptr && Ctrl().Popup->m_hWnd != nullptr && !gaveUp_) {
            ADD_FAILURE() << "the popup is still open after the script";
            gaveUp_ = true;
            Ctrl().Popup->EndDialog(IDCANCEL);
            ::PostMessageW(nullptr, WM_NULL, 0, 0);
            return true;
        }
        return false;
    }
    void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void Key(UINT vk) {
        Then([vk] {
            platform::QueueKeyInput(vk, true);
            platform::QueueKeyInput(vk, false);
        });
    }
    // A click in the middle of row `row` of the list (rows are 34 pixels high).
    void ClickRow(int row, bool twice = false) {
        Then([this, row, twice] {
            const POINT pt{100, row * 34 + 17};
            const HWND list = Popup().DeliveryList.m_hWnd;
            for (int i = 0; i < (twice ? 2 : 1); ++i) {
                platform::QueueMouseInput(list, WM_LBUTTONDOWN, pt);
                platform::QueueMouseInput(list, WM_LBUTTONUP, pt);
            }
        });
    }
    void ClickButton(int id) {
        Then([this, id] {
            const HWND button = ::GetDlgItem(Popup().m_hWnd, id);
            platform::QueueMouseInput(button, WM_LBUTTONDOWN, POINT{30, 24});
            platform::QueueMouseInput(button, WM_LBUTTONUP, POINT{30, 24});
        });
    }

    void SendStatus(SHORT state, LONG hoseId = 11) {
        BSTR grade = BstrFromUtf8("Unleaded");
        BSTR shortGrade = BstrFromUtf8("ULP");
        EXPECT_EQ(CallLong(49, {I2(state), I2(0), I4(-1), I4(hoseId), I2(1), I4(5),
                                ByRef(VT_BSTR, &grade), ByRef(VT_BSTR, &shortGrade), I2(1), R8(1.5),
                                R8(10), R8(15), I2(0)}),
                  0);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }
    void SendDelivery(const Delivery& d) {
        BSTR grade = BstrFromUtf8("Diesel");
        BSTR shortGrade = BstrFromUtf8("DSL");
        EXPECT_EQ(CallLong(50, {I4(d.id), I4(11), I2(1), I4(5), ByRef(VT_BSTR, &grade),
                                ByRef(VT_BSTR, &shortGrade), I2(1), R8(1.5), R8(d.volume),
                                R8(d.value), I2(d.state), I2(d.type), I4(d.lockedBy), I4(-1),
                                I4(d.age), Date(41339.5), I4(7)}),
                  0);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }

    // Listens to the control's events.
    void Listen() {
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(control_->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&container)),
                  S_OK);
        ASSERT_EQ(container->FindConnectionPoint(MakeGuid("1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A"),
                                                 &point_),
                  S_OK);
        container->Release();
        ASSERT_EQ(point_->Advise(&sink_, &cookie_), S_OK);
    }
    void StopListening() {
        if (point_ != nullptr) {
            point_->Unadvise(cookie_);
            point_->Release();
            point_ = nullptr;
        }
    }
    // The DeliveryIDs of the DeliverySelectedEvents raised.
    std::vector<LONG> Selected() const {
        std::vector<LONG> ids;
        for (const ClientCall& e : sink_.events) {
            if (e.dispid == 3)
                ids.push_back(e.values[0].lVal);
        }
        return ids;
    }

    // Draws every row of the open popup's list into a logging context, 246 by 34 pixels at
    // (0, 0); the drawing calls of each row, top row first.
    std::vector<std::vector<DrawingRecord>> DrawRows() {
        std::vector<std::vector<DrawingRecord>> rows;
        tolvan::CDelListBox& list = Popup().DeliveryList;
        HDC dc = ::GetDC(list.m_hWnd);
        EXPECT_TRUE(StartDrawingLog(dc));
        for (int i = 0; i < list.GetCount(); ++i) {
            DRAWITEMSTRUCT dis{ODT_LISTBOX, 201, static_cast<UINT>(i), ODA_DRAWENTIRE,     0,
                               list.m_hWnd, dc,  RECT{0, 0, 246, 34},  list.GetItemData(i)};
            list.DrawItem(&dis);
            rows.push_back(TakeDrawingLog(dc));
            StartDrawingLog(dc);
        }
        ::ReleaseDC(list.m_hWnd, dc);
        return rows;
    }

    // Opens the popup, runs the script inside it and returns DoPopup's result.
    LONG RunPopup() { return CallLong(55); }

    CWnd host_;
    RecordingClient client_;
    EventRecorder sink_;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
    std::deque<std::function<void()>> steps_;
    bool gaveUp_ = false;
    SHORT stackMode_ = 1;
    std::string pumpName_ = "  Pump 1 ";
    LONG pumpId_ = 1;
};

// Three deliveries, 01 the newest: a digit chooses its row, a missing one nothing.
TEST_F(TolvanPopupTest, DigitsChooseTheRowNumberedWithThemNewestFirst) {
    SendDelivery({501});
    SendDelivery({502});
    SendDelivery({503});
    Listen();
    std::vector<LONG> rows;
    Then([&] {
        for (int i = 0; i < Popup().DeliveryList.GetCount(); ++i) {
            LONG id = 0;
            ASSERT_TRUE(tolvan::DeliveryOfRowData(Popup().DeliveryList.GetItemData(i), &id));
            rows.push_back(id);
        }
    });
    Key('4');
    Then([&] { EXPECT_NE(Ctrl().Popup->m_hWnd, nullptr) << "4 of three rows chose something"; });
    Key('2');
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_EQ(rows, (std::vector<LONG>{503, 502, 501}));
    EXPECT_EQ(Selected(), std::vector<LONG>{502});
    EXPECT_EQ(Ctrl().Popup, nullptr);
    StopListening();
}

TEST_F(TolvanPopupTest, TheFirstRowIsSelectedOnOpenAndEnterChoosesIt) {
    SendDelivery({601});
    SendDelivery({602});
    Listen();
    Then([&] {
        EXPECT_EQ(Popup().DeliveryList.GetCurSel(), 0);
        EXPECT_EQ(::GetFocus(), Popup().DeliveryList.m_hWnd);
    });
    Key(VK_RETURN);
    RunPopup();
    EXPECT_EQ(Selected(), std::vector<LONG>{602});
    StopListening();
}

TEST_F(TolvanPopupTest, AClickOnTheSelectedRowChoosesNothingWhileAClickOnAnotherChoosesIt) {
    SendDelivery({701});
    SendDelivery({702});
    Listen();
    ClickRow(0);
    Then([&] { EXPECT_NE(Ctrl().Popup->m_hWnd, nullptr) << "a click on the selected row chose"; });
    Then([&] {});  // lets the double-click time pass between the two clicks
    Then([] { platform::AdvanceScriptedClock(1000); });
    ClickRow(1);
    RunPopup();
    EXPECT_EQ(Selected(), std::vector<LONG>{701});
    StopListening();
}

TEST_F(TolvanPopupTest, ADoubleClickOnTheSelectedRowChoosesIt) {
    SendDelivery({801});
    Listen();
    ClickRow(0, true);
    RunPopup();
    EXPECT_EQ(Selected(), std::vector<LONG>{801});
    StopListening();
}

TEST_F(TolvanPopupTest, ArrowsStopAtBothEndsAndEscapeCancels) {
    SendDelivery({901});
    SendDelivery({902});
    Listen();
    Key(VK_UP);
    Then([&] { EXPECT_EQ(Popup().DeliveryList.GetCurSel(), 0); });
    Key(VK_DOWN);
    Then([&] { EXPECT_EQ(Popup().DeliveryList.GetCurSel(), 1); });
    Key(VK_DOWN);
    Then([&] { EXPECT_EQ(Popup().DeliveryList.GetCurSel(), 1); });
    Key(VK_UP);
    Then([&] { EXPECT_EQ(Popup().DeliveryList.GetCurSel(), 0); });
    Key(VK_ESCAPE);
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_TRUE(Selected().empty());  // the arrows only move the highlight
    EXPECT_TRUE(client_.calls.empty());
    StopListening();
}

TEST_F(TolvanPopupTest, EnterOnAnEmptyListCancels) {
    Key(VK_RETURN);
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_TRUE(client_.calls.empty());
}

TEST(PopupButtonRules, FollowThePumpStateTheHoseAndTheStackMode) {
    struct Case {
        LONG state, hose, stackMode;
        bool current;
        bool stop, authorise, stack;
    };
    const Case kCases[] = {
        {6, 11, 1, false, true, true, false},  {6, 11, 1, true, true, false, false},
        {6, 11, 2, true, true, false, true},   {6, 11, 3, true, true, false, true},
        {6, 11, 2, false, true, true, false},  {3, 11, 0, false, true, true, false},
        {9, 11, 0, false, true, true, false},  {9, -1, 0, true, false, true, false},
        {5, 11, 0, false, true, false, false}, {10, 11, 0, false, true, false, false},
        {1, 11, 3, true, false, false, true},  {4, 11, 0, false, false, false, false},
    };
    for (const Case& c : kCases) {
        const tolvan::PopupButtons b =
            tolvan::PopupButtonRules(c.state, c.hose, c.stackMode, c.current);
        EXPECT_EQ(b.stop, c.stop) << c.state << " " << c.hose << " " << c.stackMode;
        EXPECT_EQ(b.authorise, c.authorise) << c.state << " " << c.hose << " " << c.stackMode;
        EXPECT_EQ(b.stack, c.stack) << c.state << " " << c.hose << " " << c.stackMode;
    }
}

TEST_F(TolvanPopupTest, TheButtonsOpenByTheStateWhenThePopupStarts) {
    LoadStackMode(2);
    SendStatus(6);
    SendDelivery({1001, 1});
    Then([&] {
        EXPECT_TRUE(Popup().StopButton.IsWindowEnabled());
        EXPECT_FALSE(Popup().AuthoriseButton.IsWindowEnabled());
        EXPECT_TRUE(Popup().StackButton.IsWindowEnabled());
        EXPECT_TRUE(Popup().CancelButton.IsWindowEnabled());
        EXPECT_TRUE(Popup().StopButton.IsWindowVisible());
    });
    // A disabled button takes no click.
    ClickButton(IDC_AUTHORISE);
    Then([&] { EXPECT_NE(Ctrl().Popup->m_hWnd, nullptr); });
    ClickButton(IDC_CANCEL);
    RunPopup();
    EXPECT_TRUE(client_.calls.empty());
}

// What a button does is read from the pump's state after the dialog has closed.
TEST_F(TolvanPopupTest, TheButtonsActOnTheStateAfterTheDialogHasClosed) {
    struct Case {
        const char* what;
        SHORT stateOnOpen;
        SHORT stateOnClose;
        int button;
        std::vector<std::pair<DISPID, LONG>> answers;
        std::vector<DISPID> sent;
    };
    const Case kCases[] = {
        {"stop in 6", 6, 6, IDC_STOP, {{kPumpCancelAuthorise, 0}}, {kPumpCancelAuthorise}},
        {"stop once a delivery started",
         6,
         6,
         IDC_STOP,
         {{kPumpCancelAuthorise, 25}, {kPumpTempStop, 0}},
         {kPumpCancelAuthorise, kPumpTempStop}},
        {"stop in 9", 9, 9, IDC_STOP, {{kPumpTerminateDelivery, 0}}, {kPumpTerminateDelivery}},
        {"authorise in 6", 6, 6, IDC_AUTHORISE, {{kPumpAuthorise, 0}}, {kPumpAuthorise}},
        {"authorise in 9", 9, 9, IDC_AUTHORISE, {{kPumpReAuthorise, 0}}, {kPumpReAuthorise}},
        {"authorise once the state became 8", 6, 8, IDC_AUTHORISE, {}, {}},
        {"stop once the state became 9",
         6,
         9,
         IDC_STOP,
         {{kPumpTerminateDelivery, 0}},
         {kPumpTerminateDelivery}},
    };
    for (const Case& c : kCases) {
        SendStatus(c.stateOnOpen);
        client_.ClearCalls();
        for (const auto& [dispid, result] : c.answers)
            client_.Expect(dispid, result);
        const SHORT closing = c.stateOnClose;
        if (closing != c.stateOnOpen)
            Then([this, closing] { SendStatus(closing); });
        Then([this] { client_.ClearCalls(); });
        ClickButton(c.button);
        EXPECT_EQ(RunPopup(), 0) << c.what;
        std::vector<DISPID> sent;
        for (const ClientCall& call : client_.calls)
            sent.push_back(call.dispid);
        EXPECT_EQ(sent, c.sent) << c.what;
    }
}

TEST_F(TolvanPopupTest, StackSendsTheCurrentDeliveryToTheStack) {
    LoadStackMode(3);
    SendStatus(6);
    SendDelivery({1101, 1});
    client_.ClearCalls();
    client_.Expect(kPumpStackCurrentDelivery, 0);
    ClickButton(IDC_STACK);
    RunPopup();
    ASSERT_EQ(client_.calls.size(), 1u);
    EXPECT_EQ(client_.calls[0].dispid, kPumpStackCurrentDelivery);
}

// The rows' icons and colours, drawn into a logging context.
TEST_F(TolvanPopupTest, RowsShowIconsColoursAndSignedWholeAmounts) {
    SendDelivery({1201, 1, 20, 0, 4});                         // locked and current: padlock, grey
    SendDelivery({1202, 2, 20, -3, 5});                        // locked and overdue: padlock, grey
    SendDelivery({1203, 2, 20, -3});                           // overdue: exclamation, red
    SendDelivery({1204, 1});                                   // current: pump, black
    SendDelivery({1205, 2, 20, 0, -1, 3});                     // drive-off: bar, red
    SendDelivery({1206, 2, -12345.678, 0, -1, 0, -98765.43});  // plain, black
    struct Row {
        UINT icon;
        COLORREF text;
    };
    std::vector<Row> rows;
    std::vector<std::string> texts;
    std::vector<LONG> longHeights;
    std::vector<LONG> shortHeights;
    Then([&] {
        const std::vector<std::vector<DrawingRecord>> drawn = DrawRows();
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            Row row{0, 0};
            for (const DrawingRecord& r : drawn[i]) {
                if (r.operation == "TransparentBlt") {
                    row.icon = r.bitmapId;
                    EXPECT_EQ(r.keyColour, 0x800080u);
                }
                if (r.operation == "DrawText") {
                    row.text = r.textColour;
                    if (i == 0)
                        texts.push_back(r.text);
                    if (i == 0)
                        longHeights.push_back(r.fontHeight);
                    if (i == 2)
                        shortHeights.push_back(r.fontHeight);
                }
            }
            rows.push_back(row);
        }
    });
    Key(VK_ESCAPE);
    RunPopup();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].icon, 0u);
    EXPECT_EQ(rows[0].text, 0x000000u);
    EXPECT_EQ(rows[1].icon, IDB_ROW_DRIVE_OFF);
    EXPECT_EQ(rows[1].text, 0x0000C0u);
    EXPECT_EQ(rows[2].icon, IDB_ROW_PUMP);
    EXPECT_EQ(rows[2].text, 0x000000u);
    EXPECT_EQ(rows[3].icon, IDB_ROW_OVERDUE);
    EXPECT_EQ(rows[3].text, 0x0000C0u);
    EXPECT_EQ(rows[4].icon, IDB_ROW_PADLOCK);
    EXPECT_EQ(rows[4].text, 0xC0C0C0u);
    EXPECT_EQ(rows[5].icon, IDB_ROW_PADLOCK);
    EXPECT_EQ(rows[5].text, 0xC0C0C0u);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "DSL");
    EXPECT_EQ(texts[1], "01");
    EXPECT_EQ(texts[2], "-12345.678");
    // The value in the en-US money format: a negative amount in brackets, every digit kept.
    EXPECT_EQ(texts[3], "($98765.43)");
    // Grade and number in their fonts; amounts that fit in bold 19, long ones in a smaller
    // bold that keeps them inside their columns.
    EXPECT_EQ(shortHeights, (std::vector<LONG>{19, 19, 19, 19}));
    ASSERT_EQ(longHeights.size(), 4u);
    EXPECT_EQ(longHeights[1], 19);
    EXPECT_LT(longHeights[2], 19);
    EXPECT_LT(longHeights[3], 19);
    EXPECT_GE(longHeights[3], 9);
}

// Every row's number counts the records from its own to the newest: 01 at the top, then 02,
// 03, in the centred column between the icon and the grade name.
TEST_F(TolvanPopupTest, EveryRowIsNumberedFromTheTop) {
    SendDelivery({1701});
    SendDelivery({1702, 1});
    SendDelivery({1703});
    std::vector<std::string> numbers;
    Then([&] {
        for (const std::vector<DrawingRecord>& row : DrawRows()) {
            for (const DrawingRecord& r : row) {
                if (r.operation != "DrawText" || r.destination.left != 20)
                    continue;
                EXPECT_EQ(r.destination.right, 46);
                EXPECT_EQ(r.flags,
                          DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX);
                numbers.push_back(r.text);
            }
        }
    });
    Key(VK_ESCAPE);
    RunPopup();
    EXPECT_EQ(numbers, (std::vector<std::string>{"01", "02", "03"}));
}

// A delivery removed by the client while the popup is open: its row stays, empty, and
// choosing it ends the popup with nothing raised; one added meanwhile is not listed.
TEST_F(TolvanPopupTest, ADeliveryRemovedWhileOpenIsNeverTouchedAndCannotBeChosen) {
    SendDelivery({1301});
    SendDelivery({1302});
    Listen();
    Then([&] {
        SendDelivery({1302, 3});  // cleared: the top row's delivery is freed
        SendDelivery({1303});
        ::UpdateWindow(Popup().DeliveryList.m_hWnd);
        Popup().DeliveryList.Invalidate();
        EXPECT_EQ(Popup().DeliveryList.GetCount(), 2);
    });
    Key(VK_RETURN);
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_TRUE(Selected().empty());
    StopListening();
}

TEST_F(TolvanPopupTest, DoPopupWhileOneIsOpenReturnsAtOnce) {
    SendDelivery({1401});
    Then([&] {
        CPopup* open = Ctrl().Popup;
        EXPECT_EQ(CallLong(55), 0);
        EXPECT_EQ(Ctrl().Popup, open);
    });
    Key(VK_ESCAPE);
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_EQ(Ctrl().Popup, nullptr);
}

// A pump command whose invocation fails once the dialog has closed reaches the container as
// DoPopup's exception, and the control knows that its popup is gone: the next DoPopup opens
// one.
TEST_F(TolvanPopupTest, APumpCommandThatFailsLeavesNoPopupBehind) {
    SendStatus(6);
    client_.ClearCalls();
    client_.ExpectFailure(kPumpCancelAuthorise, "controller offline");
    ClickButton(IDC_STOP);
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    EXPECT_EQ(Call(55, DISPATCH_METHOD, {}, &result, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info.bstrDescription), "controller offline");
    ClearExcepInfo(&info);
    EXPECT_EQ(Ctrl().Popup, nullptr);

    bool opened = false;
    Then([&] { opened = Ctrl().Popup != nullptr && Ctrl().Popup->m_hWnd != nullptr; });
    Key(VK_ESCAPE);
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_TRUE(opened) << "the second DoPopup opened nothing";
    EXPECT_EQ(Ctrl().Popup, nullptr);
}

// The same from a click on the face, which has no caller to hand the exception to: the next
// click opens the popup again.
TEST_F(TolvanPopupTest, AClickWhosePumpCommandFailsLeavesTheNextClickOpeningThePopup) {
    PutOk(52, I2(1));  // the current pump: a click moves no current pump
    PutOk(54, I2(3));  // PopupMode 3: a click opens the popup
    SendStatus(6);
    client_.ClearCalls();
    client_.ExpectFailure(kPumpAuthorise, "controller offline");
    int opened = 0;
    Then([&] { ++opened; });
    ClickButton(IDC_AUTHORISE);
    ClickFace();
    EXPECT_EQ(Ctrl().Popup, nullptr);
    ASSERT_EQ(client_.calls.size(), 1u);
    EXPECT_EQ(client_.calls[0].dispid, kPumpAuthorise);

    Then([&] { ++opened; });
    Key(VK_ESCAPE);
    ClickFace();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(Ctrl().Popup, nullptr);
}

// A click that reaches the face while its popup is open moves the client's current pump and
// does nothing more: no second popup, no pump command.
TEST_F(TolvanPopupTest, AClickOnTheFaceWhileOpenOnlyMovesTheCurrentPump) {
    PutOk(52, I2(0));  // IsCurrentPump 0
    PutOk(54, I2(3));  // PopupMode 3: a click would open the popup
    SendStatus(6);
    SendDelivery({1601});
    client_.ClearCalls();
    client_.Expect(74, 0);
    Then([&] {
        CPopup* open = Ctrl().Popup;
        Ctrl().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
        Ctrl().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
        EXPECT_EQ(Ctrl().Popup, open);
        ASSERT_EQ(client_.calls.size(), 1u);
        EXPECT_EQ(client_.calls[0].dispid, 74);
    });
    Key(VK_ESCAPE);
    EXPECT_EQ(RunPopup(), 0);
    EXPECT_EQ(client_.calls.size(), 1u);  // Escape sends nothing
}

TEST_F(TolvanPopupTest, TheTitleIsThePumpNameWithoutTheWhiteSpaceAroundIt) {
    struct Case {
        const char* name;
        const char16_t* title;
    };
    const Case kCases[] = {
        {"  Pump 1 ", u"Pump 1"},  {"\tIlha 2\r\n", u"Ilha 2"},
        {"Bomba  3", u"Bomba  3"}, {" \v\f Bomba 4\t", u"Bomba 4"},
        {" \t \n", u""},           {"5", u"5"},
    };
    for (const Case& c : kCases) {
        LoadName(c.name);
        std::u16string title = u"(not read)";
        Then([&] { title = Popup().TitleText.GetWindowText(); });
        Key(VK_ESCAPE);
        RunPopup();
        EXPECT_EQ(title, c.title) << "name \"" << c.name << "\"";
    }
}

// The headers and the Cancel button take the user's language from the module's strings; the
// template's own texts never show.
TEST_F(TolvanPopupTest, HeadersAndCancelSpeakTheUsersLanguage) {
    test_support::LocaleVariables variables;
    struct Case {
        const char* lang;
        const char16_t* volume;
        const char16_t* value;
        const char16_t* cancel;
    };
    const Case kCases[] = {
        {"en_US.UTF-8", u"Volume", u"Value", u"Cancel"},
        {"pt_BR.UTF-8", u"Volume", u"Valor", u"Cancelar"},
    };
    for (const Case& c : kCases) {
        setenv("LANG", c.lang, 1);
        std::u16string volume, value, cancel;
        Then([&] {
            volume = Popup().VolumeHeader.GetWindowText();
            value = Popup().ValueHeader.GetWindowText();
            cancel = Popup().CancelButton.GetWindowText();
        });
        Key(VK_ESCAPE);
        RunPopup();
        EXPECT_EQ(volume, c.volume) << c.lang;
        EXPECT_EQ(value, c.value) << c.lang;
        EXPECT_EQ(cancel, c.cancel) << c.lang;
    }
}

// The buttons and the list move from their template places to the wells and the list area of
// the frame picture, in pixels of the popup, and show.
TEST_F(TolvanPopupTest, TheButtonsAndTheListTakeTheirPlacesOnTheFrame) {
    struct Place {
        int id;
        RECT rect;  // left, top, right, bottom in the popup
    };
    const Place kPlaces[] = {
        {IDC_STOP, {8, 208, 69, 257}},          {IDC_AUTHORISE, {76, 208, 137, 257}},
        {IDC_STACK, {144, 208, 205, 257}},      {IDC_CANCEL, {212, 208, 273, 257}},
        {IDC_DELIVERY_LIST, {9, 29, 272, 199}},
    };
    std::vector<RECT> found;
    std::vector<bool> visible;
    Then([&] {
        RECT popup;
        Popup().GetWindowRect(&popup);
        for (const Place& p : kPlaces) {
            const HWND item = ::GetDlgItem(Popup().m_hWnd, p.id);
            RECT r{};
            ::GetWindowRect(item, &r);
            found.push_back(RECT{r.left - popup.left, r.top - popup.top, r.right - popup.left,
                                 r.bottom - popup.top});
            visible.push_back(::IsWindowVisible(item) != FALSE);
        }
    });
    Key(VK_ESCAPE);
    RunPopup();
    ASSERT_EQ(found.size(), std::size(kPlaces));
    for (std::size_t i = 0; i < found.size(); ++i) {
        const RECT& want = kPlaces[i].rect;
        EXPECT_EQ(found[i].left, want.left) << "item " << kPlaces[i].id;
        EXPECT_EQ(found[i].top, want.top) << "item " << kPlaces[i].id;
        EXPECT_EQ(found[i].right, want.right) << "item " << kPlaces[i].id;
        EXPECT_EQ(found[i].bottom, want.bottom) << "item " << kPlaces[i].id;
        EXPECT_TRUE(visible[i]) << "item " << kPlaces[i].id;
    }
}

// The template's dialog units become pixels with the base units Windows gives "MS Shell Dlg"
// at 8 points on a 96-DPI screen, 6 by 13: the 187 by 163 template is 281 by 265 pixels, the
// size the popup's frame picture has.
TEST_F(TolvanPopupTest, TheTemplateFontGivesWindowsDialogBaseUnits) {
    Then([&] {
        EXPECT_EQ(Popup().GetBaseUnits().cx, 6);
        EXPECT_EQ(Popup().GetBaseUnits().cy, 13);
        RECT dialog{0, 0, 187, 163};
        Popup().MapDialogRect(&dialog);
        EXPECT_EQ(dialog.right, 281);
        EXPECT_EQ(dialog.bottom, 265);
        // The frame picture (191 by 163 units) covers the whole popup; the headers keep their
        // template places: 209 at (4, 3), 80 by 11 units.
        RECT picture;
        ::GetWindowRect(::GetDlgItem(Popup().m_hWnd, 207), &picture);
        EXPECT_GE(picture.bottom - picture.top, 265);
        EXPECT_GE(picture.right - picture.left, 281);
        RECT title;
        Popup().TitleText.GetWindowRect(&title);
        RECT popup;
        Popup().GetWindowRect(&popup);
        EXPECT_EQ(title.left - popup.left, 6);
        EXPECT_EQ(title.top - popup.top, 5);
        EXPECT_EQ(title.right - title.left, 120);
        EXPECT_EQ(title.bottom - title.top, 18);
    });
    Key(VK_ESCAPE);
    RunPopup();
}

TEST_F(TolvanPopupTest, ThePopupOpensAtTheOwnersOriginWithItsPixelLayout) {
    Then([&] {
        RECT r;
        Popup().GetWindowRect(&r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.top, 50);
        EXPECT_EQ(r.right - r.left, 281);
        EXPECT_EQ(r.bottom - r.top, 265);
        EXPECT_FALSE(host_.IsWindowEnabled());  // the owner is disabled while it is open
        RECT list;
        Popup().DeliveryList.GetWindowRect(&list);
        EXPECT_EQ(list.left - r.left, 9);
        EXPECT_EQ(list.right - list.left, 263);
        EXPECT_EQ(Popup().VolumeHeader.GetWindowText(), u"Volume");
    });
    Key(VK_ESCAPE);
    RunPopup();
    EXPECT_TRUE(host_.IsWindowEnabled());
}

}  // namespace
}  // namespace tolvan_test

namespace tolvan_test {
namespace {

// The popup as the screen shows it: the frame behind, the selected top row grey, the list's
// white below the rows. With FORECOURT_POPUP_PNG set the frame is written there to be looked at.
TEST_F(TolvanPopupTest, ThePopupShowsItsRowsOverTheFrame) {
    SendStatus(6);
    SendDelivery({1501, 2, 12.5, 0, 3, 0, 18.75});
    SendDelivery({1502, 2, 8, 0, -1, 3, 12});
    SendDelivery({1503, 2, 5, -40, -1, 0, 7.5});
    SendDelivery({1504, 1, 21.346, 0, -1, 0, 32.02});
    Then([&] {
        platform::DispatchPendingMessages();
        const platform::PixelSurface* frame = platform::GetWindowSurface(Popup().m_hWnd);
        ASSERT_NE(frame, nullptr);
        if (const char* path = std::getenv("FORECOURT_POPUP_PNG")) {
            EXPECT_TRUE(WritePng(*frame, path));
        }
        // The selected row (list at 9, 29) is grey beside its texts; below the four rows the
        // list is white.
        EXPECT_EQ(frame->at(9 + 30, 29 + 2) & 0xFFFFFFu, 0x808080u);
        EXPECT_EQ(frame->at(9 + 100, 29 + 4 * 34 + 10) & 0xFFFFFFu, 0xFFFFFFu);
        // The second row's text is red (0x0000C0 as COLORREF) somewhere along its middle.
        bool red = false;
        for (int x = 9 + 20; x < 9 + 240; ++x) {
            red = red || (frame->at(x, 29 + 34 + 17) & 0xFFFFFFu) == 0xC00000u;
        }
        EXPECT_TRUE(red);
    });
    Key(VK_ESCAPE);
    RunPopup();
}

// The headers' WS_BORDER becomes a client edge when the dialog makes them, as user32's dialog
// manager does: USER frames each header with EDGE_SUNKEN's two rings (shadow over highlight,
// dark shadow over light, the bottom and right sides taking the far corners), and the client
// area, where the text is drawn, lies two pixels inside on every side.
TEST_F(TolvanPopupTest, TheHeadersAreFramedWithASunkenClientEdge) {
    SendStatus(3);
    Then([&] {
        platform::DispatchPendingMessages();
        const platform::PixelSurface* frame = platform::GetWindowSurface(Popup().m_hWnd);
        ASSERT_NE(frame, nullptr);
        auto pixel = [](COLORREF c) {
            return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
                   (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
        };
        const std::uint32_t shadow = pixel(::GetSysColor(COLOR_BTNSHADOW));
        const std::uint32_t highlight = pixel(::GetSysColor(COLOR_BTNHIGHLIGHT));
        const std::uint32_t dark = pixel(::GetSysColor(COLOR_3DDKSHADOW));
        const std::uint32_t light = pixel(::GetSysColor(COLOR_3DLIGHT));
        const std::uint32_t face = pixel(::GetSysColor(COLOR_BTNFACE));
        RECT popup;
        Popup().GetWindowRect(&popup);
        struct Header {
            const char* what;
            CStatic* header;
            bool rightAligned;
        };
        const Header headers[] = {{"title", &Popup().TitleText, false},
                                  {"volume", &Popup().VolumeHeader, true},
                                  {"value", &Popup().ValueHeader, true}};
        for (const Header& h : headers) {
            const HWND hwnd = h.header->m_hWnd;
            EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_BORDER, 0) << h.what;
            EXPECT_NE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0) << h.what;
            RECT window;
            ::GetWindowRect(hwnd, &window);
            const int w = window.right - window.left;
            const int hgt = window.bottom - window.top;
            RECT client;
            ::GetClientRect(hwnd, &client);
            EXPECT_EQ(client.right, w - 4) << h.what;
            EXPECT_EQ(client.bottom, hgt - 4) << h.what;
            POINT origin{0, 0};
            ::MapWindowPoints(hwnd, Popup().m_hWnd, &origin, 1);
            EXPECT_EQ(origin.x, window.left - popup.left + 2) << h.what;
            EXPECT_EQ(origin.y, window.top - popup.top + 2) << h.what;

            const int x0 = window.left - popup.left;
            const int y0 = window.top - popup.top;
            auto at = [&](int x, int y) { return frame->at(x0 + x, y0 + y) & 0xFFFFFFu; };
            struct Probe {
                int x, y;
                std::uint32_t rgb;
                const char* where;
            };
            const Probe probes[] = {
                {0, 0, shadow, "outer top-left"},
                {w / 2, 0, shadow, "outer top"},
                {0, hgt / 2, shadow, "outer left"},
                {w - 1, 0, highlight, "outer top-right"},
                {w - 1, hgt / 2, highlight, "outer right"},
                {0, hgt - 1, highlight, "outer bottom-left"},
                {w / 2, hgt - 1, highlight, "outer bottom"},
                {1, 1, dark, "inner top-left"},
                {w / 2, 1, dark, "inner top"},
                {1, hgt / 2, dark, "inner left"},
                {w - 2, 1, light, "inner top-right"},
                {w - 2, hgt / 2, light, "inner right"},
                {1, hgt - 2, light, "inner bottom-left"},
                {w / 2, hgt - 2, light, "inner bottom"},
                {2, 2, face, "client top-left"},
                {w - 3, hgt - 3, face, "client bottom-right"},
            };
            for (const Probe& p : probes) {
                EXPECT_EQ(at(p.x, p.y), p.rgb) << h.what << " " << p.where;
            }
            // The text's ink lies in the client area; a right-aligned header's ends at its
            // right side, as DrawText's DT_RIGHT puts it.
            int inkLeft = w, inkRight = -1, inkTop = hgt, inkBottom = -1;
            for (int y = 2; y < hgt - 2; ++y) {
                for (int x = 2; x < w - 2; ++x) {
                    if (at(x, y) != face) {
                        inkLeft = std::min(inkLeft, x);
                        inkRight = std::max(inkRight, x);
                        inkTop = std::min(inkTop, y);
                        inkBottom = std::max(inkBottom, y);
                    }
                }
            }
            if (h.header == &Popup().TitleText && h.header->GetWindowText().empty()) {
                continue;
            }
            ASSERT_GE(inkRight, 0) << h.what << ": no text drawn";
            if (h.rightAligned) {
                EXPECT_GE(inkRight, w - 5) << h.what;
            } else {
                // Centred: as much room on either side, give or take a pixel of the glyphs.
                EXPECT_LE(std::abs((inkLeft - 2) - (w - 3 - inkRight)), 3) << h.what;
            }
            EXPECT_GT(inkTop, 2) << h.what;
            EXPECT_LT(inkBottom, hgt - 3) << h.what;
        }
    });
    Key(VK_ESCAPE);
    RunPopup();
}

}  // namespace
}  // namespace tolvan_test
