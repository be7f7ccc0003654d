// COleControl's window as a container meets it: in-place activation in the site's window,
// painting through OnDraw into the container's frame, clicks and window timers reaching the
// control, InvalidateControl and the size on the window, ambient properties with their
// defaults, IViewObject::Draw and deactivation.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/afx/ole_object_factory.h"
#include "platform/ole_defaults.h"
#include "platform/ole_inplace.h"
#include "platform/std_font.h"
#include "platform/systime.h"
#include "tests/com/container_support.h"
#include "tests/com/test_control/test_control.h"

namespace {

using namespace test_control;

constexpr COLORREF kBar = RGB(0x20, 0x60, 0xA0);

class OleControlWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_test::SetTickCount(1000);
        static const HBRUSH background = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
        host_ = com_test::CreateHostWindow(u"OleControlWindowTestHost", background);
        ASSERT_NE(host_, nullptr);
        site_.window = host_;
        control_ = com_test::CreateTestControl().Detach();
        ASSERT_NE(control_, nullptr);
        ctrl_ = static_cast<CTestCtrl*>(control_);
        ctrl_->SetClientSite(static_cast<IOleClientSite*>(&site_));
    }
    void TearDown() override {
        if (control_ != nullptr) {
            ctrl_->SetClientSite(nullptr);
            EXPECT_EQ(control_->Release(), 0u);
        }
        DestroyWindow(host_);
        platform::DispatchPendingMessages();
        platform_test::ClearTickCount();
    }

    HRESULT Activate(const RECT* position, HWND parent = nullptr) {
        return ctrl_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent, position);
    }
    std::uint32_t HostPixel(int x, int y) { return platform::GetWindowSurface(host_)->at(x, y); }

    HWND host_ = nullptr;
    com_test::ContainerSite site_;
    IDispatch* control_ = nullptr;
    CTestCtrl* ctrl_ = nullptr;
};

// COLORREF 0x00BBGGRR as the surface's 0x00RRGGBB.
std::uint32_t Rgb(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST_F(OleControlWindowTest, ActivatesInTheSitesWindowAndPaintsThere) {
    const RECT position{20, 30, 100, 110};
    ASSERT_EQ(Activate(&position), S_OK);
    EXPECT_EQ(site_.calls, (std::vector<std::string>{"activate"}));
    HWND window = nullptr;
    ASSERT_EQ(ctrl_->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), host_);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 80);
    platform::DispatchPendingMessages();
    EXPECT_EQ(HostPixel(21, 31), Rgb(site_.backColor));  // OnDraw with the ambient colour
    EXPECT_EQ(HostPixel(30, 40), Rgb(kBar));             // the bar at (4, 4) of the control
    EXPECT_EQ(HostPixel(10, 10), 0xF0F0F0u);             // the host around it
    // Activating again only moves it.
    const RECT moved{0, 0, 80, 80};
    ASSERT_EQ(Activate(&moved), S_OK);
    HWND same = nullptr;
    ctrl_->GetWindow(&same);
    EXPECT_EQ(same, window);
    EXPECT_EQ(site_.calls.size(), 1u);
}

TEST_F(OleControlWindowTest, RefusedOrWithoutAWindowItStaysInactive) {
    site_.allow = false;
    const RECT position{0, 0, 80, 80};
    EXPECT_EQ(Activate(&position), E_FAIL);
    site_.allow = true;
    site_.window = nullptr;
    EXPECT_EQ(Activate(&position), E_INVALIDARG);  // the site has no window to give
    ctrl_->SetClientSite(nullptr);
    EXPECT_EQ(Activate(&position), E_INVALIDARG);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(ctrl_->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    EXPECT_NE(ctrl_->SetObjectRects(&position, nullptr), S_OK);
}

TEST_F(OleControlWindowTest, ClicksAndTimersReachTheControl) {
    const RECT position{10, 10, 90, 90};
    ASSERT_EQ(Activate(&position), S_OK);
    platform::DispatchPendingMessages();
    EXPECT_EQ(ctrl_->StartTimer(100), 1);
    platform::AdvanceScriptedClock(250);
    EXPECT_EQ(ctrl_->GetCount(), 2);  // each tick adds the timer id
    ctrl_->StopTimer();
    platform::AdvanceScriptedClock(500);
    EXPECT_EQ(ctrl_->GetCount(), 2);
    // The count is drawn: a repaint was asked and done.
    RECT update;
    HWND window = nullptr;
    ctrl_->GetWindow(&window);
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    ctrl_->InvalidateControl(nullptr, FALSE);
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.right, 80);
    platform::DispatchPendingMessages();
    // A click becomes OnLButtonDown in the control's coordinates (the test control raises
    // Clicked; here it is enough that the message arrives without a sink).
    platform::QueueMouseInput(host_, WM_LBUTTONDOWN, POINT{15, 17});
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 7);
}

TEST_F(OleControlWindowTest, SizeAndPositionFollowTheWindow) {
    const RECT position{10, 10, 90, 90};
    ASSERT_EQ(Activate(&position), S_OK);
    HWND window = nullptr;
    ctrl_->GetWindow(&window);
    ASSERT_TRUE(ctrl_->SetControlSize(60, 40));
    RECT rect;
    GetClientRect(window, &rect);
    EXPECT_EQ(rect.right, 60);
    EXPECT_EQ(rect.bottom, 40);
    EXPECT_EQ(site_.calls.back(), "position 10,10 60x40");
    const RECT elsewhere{50, 60, 130, 140};
    ASSERT_EQ(ctrl_->SetObjectRects(&elsewhere, nullptr), S_OK);
    int cx = 0;
    int cy = 0;
    ctrl_->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 80);
    EXPECT_EQ(cy, 80);
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 60);
    ctrl_->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, nullptr, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    ASSERT_EQ(ctrl_->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(site_.calls.back(), "deactivate");
}

TEST_F(OleControlWindowTest, AmbientPropertiesAndTheirDefaults) {
    EXPECT_EQ(ctrl_->AmbientBackColor(), site_.backColor);
    site_.hasAmbients = false;
    EXPECT_EQ(ctrl_->AmbientBackColor(), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ctrl_->AmbientForeColor(), GetSysColor(COLOR_WINDOWTEXT));
    IDispatch* font = ctrl_->AmbientFont();
    ASSERT_NE(font, nullptr);
    FONTDESC desc{};
    ASSERT_TRUE(ReadFontDesc(font, &desc));
    EXPECT_EQ(std::u16string(desc.lpstrName), u"MS Sans Serif");
    EXPECT_EQ(desc.cySize.int64, 82500);
    SysFreeString(desc.lpstrName);
    font->Release();
    EXPECT_EQ(ctrl_->TranslateColor(0x80000005), GetSysColor(COLOR_WINDOW));
}

TEST_F(OleControlWindowTest, ViewObjectDrawsIntoAGivenContext) {
    IViewObject* view = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)), S_OK);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 100, 100);
    HGDIOBJ old = SelectObject(memory, reinterpret_cast<HGDIOBJ>(bitmap));
    const RECTL bounds{10, 10, 90, 90};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    EXPECT_EQ(GetPixel(memory, 20, 20), kBar);
    EXPECT_EQ(GetPixel(memory, 11, 11), site_.backColor);
    EXPECT_NE(view->Draw(2, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0),
              S_OK);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                         nullptr, 0),
              E_INVALIDARG);
    SelectObject(memory, old);
    DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
    DeleteDC(memory);
    view->Release();
}

TEST_F(OleControlWindowTest, ReleasingAnActiveControlTakesItsWindowAway) {
    const RECT position{0, 0, 80, 80};
    ASSERT_EQ(Activate(&position), S_OK);
    HWND window = nullptr;
    ctrl_->GetWindow(&window);
    ctrl_->SetClientSite(nullptr);  // the container leaves: the control deactivates
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(site_.calls.back(), "deactivate");
    ASSERT_EQ(Activate(&position, host_), S_OK);  // a parent window given directly
    ctrl_->GetWindow(&window);
    EXPECT_EQ(control_->Release(), 0u);
    control_ = nullptr;
    EXPECT_FALSE(IsWindow(window));
}

// Calls slot `slot` of `iface`'s table as a caller built against the Windows SDK does: by
// index, with the interface pointer as the first argument.
template <class... Args>
HRESULT CallSlot(void* iface, int slot, Args... args) {
    using Entry = HRESULT (*)(void*, Args...);
    void* const* table = *static_cast<void* const* const*>(iface);
    Entry entry;
    std::memcpy(&entry, &table[slot], sizeof entry);
    return entry(iface, args...);
}

TEST_F(OleControlWindowTest, CallsByWindowsSlotReachTheirMembers) {
    IOleObject* object = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    ASSERT_EQ(control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)),
              S_OK);
    const RECT position{10, 20, 90, 100};
    HWND window = nullptr;
    SIZEL extent{};
    DWORD status = 0;
    struct Step {
        const char* call;
        std::function<HRESULT()> bySlot;
        HRESULT expected;
        std::function<void()> check;
    };
    const Step steps[] = {
        {"IOleObject::DoVerb (11) activates in place",
         [&] {
             return CallSlot(object, 11, LONG{OLEIVERB_INPLACEACTIVATE}, static_cast<MSG*>(nullptr),
                             static_cast<IUnknown*>(nullptr), LONG{0}, static_cast<HWND>(nullptr),
                             &position);
         },
         S_OK, [&] { EXPECT_EQ(site_.calls, (std::vector<std::string>{"activate"})); }},
        {"IOleInPlaceObject::GetWindow (3) gives the control's window",
         [&] { return CallSlot(inPlace, 3, &window); }, S_OK,
         [&] { EXPECT_EQ(GetParent(window), host_); }},
        {"IOleObject::GetExtent (18) in HIMETRIC",
         [&] { return CallSlot(object, 18, DWORD{DVASPECT_CONTENT}, &extent); }, S_OK,
         [&] { EXPECT_EQ(extent.cx, 2117); }},  // 80 pixels at 96 dpi
        {"IOleObject::GetMiscStatus (22)",
         [&] { return CallSlot(object, 22, DWORD{DVASPECT_CONTENT}, &status); }, S_OK,
         [&] { EXPECT_EQ(status, 131473u); }},
        {"IOleObject::EnumVerbs (12) is not served",
         [&] { return CallSlot(object, 12, static_cast<IEnumOLEVERB**>(nullptr)); }, E_NOTIMPL,
         [] {}},
        {"IOleInPlaceObject::ContextSensitiveHelp (4) is not served",
         [&] { return CallSlot(inPlace, 4, BOOL{TRUE}); }, E_NOTIMPL, [] {}},
        {"IOleInPlaceObject::InPlaceDeactivate (5) destroys the window",
         [&] { return CallSlot(inPlace, 5); }, S_OK,
         [&] {
             EXPECT_EQ(site_.calls.back(), "deactivate");
             EXPECT_FALSE(IsWindow(window));
             EXPECT_EQ(inPlace->GetWindow(&window), E_FAIL);
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.call);
        EXPECT_EQ(step.bySlot(), step.expected);
        step.check();
    }
    inPlace->Release();
    object->Release();
}

}  // namespace
