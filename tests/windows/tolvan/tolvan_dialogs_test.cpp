// Tolvan.OCX's dialogs as user32 makes them, driven while their modal loops run: the delivery
// popup (DoPopup) with its owner-drawn list box under the arrows, digits and Escape, and the
// property page inside the system's property frame (the properties verb). The steps run one
// per tick of a thread timer, which a modal loop dispatches like any other message.
#include <windows.h>

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "control/del_list_box.h"
#include "control/tolvan_ids.h"
#include "tests/windows/hosts/host_support.h"
#include "tests/windows/hosts/window_capture.h"
#include "tests/windows/tolvan/com_held.h"
#include "tests/windows/tolvan/ocx_module.h"

namespace {

std::wstring ClassOf(HWND hwnd) {
    WCHAR name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    WCHAR text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

// The visible top-level window of this thread owned by `owner`, or null.
HWND OwnedWindow(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (GetWindow(hwnd, GW_OWNER) == s->owner && IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The window of this thread, at any depth, whose text is `text`, or null.
struct TextSearch {
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK MatchText(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TextSearch*>(lParam);
    if (TextOf(hwnd) == *search->text) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WindowWithText(const std::wstring& text) {
    TextSearch search{&text, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            EnumChildWindows(hwnd, &MatchText, lParam);
            return reinterpret_cast<TextSearch*>(lParam)->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What `hwnd` paints (WM_PRINTCLIENT, which the system's controls answer as WM_PAINT).
std::vector<std::uint32_t> Printed(HWND hwnd, int width, int height) {
    return host::PixelsDrawn(width, height, [hwnd](HDC dc) {
        if (hwnd != nullptr) {
            SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                         PRF_CLIENT | PRF_ERASEBKGND);
        }
    });
}

// Bitmap `id` of `module` drawn at its own size at the top left.
std::vector<std::uint32_t> BitmapPixels(HMODULE module, UINT id, int width, int height) {
    return host::PixelsDrawn(width, height, [=](HDC dc) {
        HBITMAP picture = LoadBitmapW(module, MAKEINTRESOURCEW(id));
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ oldSource = SelectObject(source, picture);
        BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, oldSource);
        DeleteDC(source);
        DeleteObject(picture);
    });
}

// A key pressed and released on `hwnd`, as the keyboard puts it in the queue.
void PostKey(HWND hwnd, UINT vk) {
    PostMessageW(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageW(hwnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

// The steps of a test, one per timer tick while a modal loop runs.
class Script {
  public:
    void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }

    // Runs `modal`, which returns when its dialog has closed, with the steps ticking inside its
    // loop. A dialog still open once the steps are done fails the test and is closed by
    // `closeLeftOver`, so that `modal` returns.
    void RunDuring(const std::function<void()>& modal, std::function<void()> closeLeftOver) {
        closeLeftOver_ = std::move(closeLeftOver);
        current_ = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Script::Tick);
        modal();
        KillTimer(nullptr, timer);
        current_ = nullptr;
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps never ran";
    }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* script = current_;
        if (script == nullptr) {
            return;
        }
        if (!script->steps_.empty()) {
            auto step = std::move(script->steps_.front());
            script->steps_.pop_front();
            step();
        } else if (!script->gaveUp_) {
            script->gaveUp_ = true;
            ADD_FAILURE() << "the dialog is still open after the script";
            script->closeLeftOver_();
        }
    }

    static inline Script* current_ = nullptr;
    std::deque<std::function<void()>> steps_;
    std::function<void()> closeLeftOver_;
    bool gaveUp_ = false;
};

VARIANT StringRef(BSTR* text) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_BYREF | VT_BSTR;
    x.pbstrVal = text;
    return x;
}

class TolvanDialogsTest : public OcxModuleTest {
  protected:
    // The control active in place in a frame window of the test, as a container places it.
    void SetUp() override {
        OcxModuleTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        Held<IClassFactory> factory;
        ASSERT_EQ(getClassObject_(tolvan::CLSID_Tolvan, IID_IClassFactory, factory.OutVoid()),
                  S_OK);
        ASSERT_EQ(
            factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control_)),
            S_OK);
        ASSERT_EQ(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_)),
                  S_OK);
        frame_ = CreateWindowExW(0, L"STATIC", L"POS", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50,
                                 400, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
        RECT position{20, 20, 100, 100};
        ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, frame_, &position),
                  S_OK);
    }
    void TearDown() override {
        StopListening();
        if (control_ != nullptr) {
            IOleInPlaceObject* inPlace = nullptr;
            if (SUCCEEDED(control_->QueryInterface(IID_IOleInPlaceObject,
                                                   reinterpret_cast<void**>(&inPlace)))) {
                inPlace->InPlaceDeactivate();
                inPlace->Release();
            }
        }
        if (object_ != nullptr) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->Release();
        }
        if (control_ != nullptr) {
            control_->Release();
        }
        if (frame_ != nullptr) {
            DestroyWindow(frame_);
        }
        OcxModuleTest::TearDown();
    }

    // A stacked delivery of the pump, as the client object hands it to DeliveryEventSink.
    void SendDelivery(LONG id) {
        BSTR grade = SysAllocString(L"Diesel");
        BSTR shortGrade = SysAllocString(L"DSL");
        std::vector<VARIANT> args = {
            host::I4(id),      host::I4(11),           host::I2(1), host::I4(5),
            StringRef(&grade), StringRef(&shortGrade), host::I2(1), host::R8(1.5),
            host::R8(20),      host::R8(30),           host::I2(2), host::I2(0),
            host::I4(-1),      host::I4(-1),           host::I4(0), host::R8(41339.5, VT_DATE),
            host::I4(7)};
        std::reverse(args.begin(), args.end());
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(control_->Invoke(tolvan::dispidDeliveryEventSink, IID_NULL, LOCALE_USER_DEFAULT,
                                   DISPATCH_METHOD, &params, &result, nullptr, nullptr),
                  S_OK);
        VariantClear(&result);
        SysFreeString(grade);
        SysFreeString(shortGrade);
    }

    // DoPopup through IDispatch, with `script` acting on the popup while it is open.
    void RunPopup(Script& script) {
        script.RunDuring(
            [this] {
                DISPPARAMS none{nullptr, nullptr, 0, 0};
                VARIANT result;
                VariantInit(&result);
                EXPECT_EQ(control_->Invoke(tolvan::dispidDoPopup, IID_NULL, LOCALE_USER_DEFAULT,
                                           DISPATCH_METHOD, &none, &result, nullptr, nullptr),
                          S_OK);
                EXPECT_EQ(result.vt, VT_I4);
                EXPECT_EQ(result.lVal, 0);
            },
            [this] {
                if (HWND popup = OwnedWindow(frame_))
                    DestroyWindow(popup);
            });
    }

    void Listen() {
        ASSERT_EQ(host::Advise(control_, tolvan::IID_DTolvanEvents, &sink_, &point_, &cookie_),
                  S_OK);
    }
    // Keeps the DeliveryID of each DeliverySelectedEvent in selected_.
    void Record(DISPID id, const DISPPARAMS& params) {
        if (id == tolvan::eventidDeliverySelectedEvent && params.cArgs > 0) {
            VARIANT value;
            VariantInit(&value);
            // The arguments come last first: the DeliveryID is the first.
            if (SUCCEEDED(VariantChangeType(&value, &params.rgvarg[params.cArgs - 1], 0, VT_I4)))
                selected_.push_back(value.lVal);
        }
    }
    void StopListening() {
        if (point_ != nullptr) {
            point_->Unadvise(cookie_);
            point_->Release();
            point_ = nullptr;
        }
    }

    IDispatch* control_ = nullptr;
    IOleObject* object_ = nullptr;
    HWND frame_ = nullptr;
    std::vector<LONG> selected_;
    host::EventSink sink_{tolvan::IID_DTolvanEvents,
                          [this](DISPID id, const DISPPARAMS& params) { Record(id, params); }};
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
};

TEST_F(TolvanDialogsTest, PopupIsADialogOfUser32WithARealOwnerDrawnListBox) {
    SendDelivery(501);
    SendDelivery(502);
    SendDelivery(503);
    ASSERT_NO_FATAL_FAILURE(Listen());
    HWND popup = nullptr;
    HWND list = nullptr;
    Script script;
    script.Then([&] {
        popup = OwnedWindow(frame_);
        ASSERT_NE(popup, nullptr) << "no popup owned by the container's window";
        EXPECT_EQ(ClassOf(popup), L"#32770");
        EXPECT_FALSE(IsWindowEnabled(frame_)) << "the owner is disabled while the popup runs";
        RECT rect{};
        GetWindowRect(popup, &rect);
        EXPECT_EQ(rect.right - rect.left, 281);
        EXPECT_EQ(rect.bottom - rect.top, 265);
        // At the template's (0, 0) in the owner's client area, not centred.
        POINT origin{0, 0};
        ClientToScreen(frame_, &origin);
        EXPECT_EQ(rect.left, origin.x);
        EXPECT_EQ(rect.top, origin.y);

        list = GetDlgItem(popup, tolvan::IDC_DELIVERY_LIST);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ClassOf(list), L"ListBox");
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE));
        const DWORD templateStyle = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                    LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT |
                                    LBS_WANTKEYBOARDINPUT | LBS_DISABLENOSCROLL;
        EXPECT_EQ(style & templateStyle, templateStyle) << std::hex << style;
        EXPECT_EQ(style & LBS_HASSTRINGS, 0u);
        EXPECT_EQ(GetFocus(), list);

        // Newest first, each row as high as the list measures it (34 pixels).
        ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
        std::vector<LONG> rows;
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, row, 0), 34) << "row " << row;
            LONG id = 0;
            EXPECT_TRUE(tolvan::DeliveryOfRowData(
                static_cast<DWORD_PTR>(SendMessageW(list, LB_GETITEMDATA, row, 0)), &id));
            rows.push_back(id);
        }
        EXPECT_EQ(rows, (std::vector<LONG>{503, 502, 501}));
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);

        for (int id :
             {tolvan::IDC_STOP, tolvan::IDC_AUTHORISE, tolvan::IDC_STACK, tolvan::IDC_CANCEL}) {
            HWND button = GetDlgItem(popup, id);
            EXPECT_EQ(ClassOf(button), L"Button") << id;
            EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
        }
        // The owner-drawn items draw through their objects: the Cancel button its normal
        // picture (229), the list its selected top row grey and the next one on the window's
        // colour.
        HWND cancel = GetDlgItem(popup, tolvan::IDC_CANCEL);
        EXPECT_TRUE(IsWindowEnabled(cancel));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(popup, tolvan::IDC_STACK)))
            << "no current delivery to stack";
        // The table of the user's language, whatever the system's loader would choose.
        const bool portuguese =
            PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_PORTUGUESE;
        EXPECT_EQ(TextOf(cancel), portuguese ? L"Cancelar" : L"Cancel");
        EXPECT_EQ(TextOf(GetDlgItem(popup, tolvan::IDC_VALUE_HEADER)),
                  portuguese ? L"Valor" : L"Value");
        EXPECT_TRUE(Printed(cancel, 61, 49) == BitmapPixels(module_, 229, 61, 49))
            << "the Cancel button does not show its picture";
        const std::vector<std::uint32_t> rowsDrawn = Printed(list, 200, 68);
        EXPECT_EQ(rowsDrawn[2 * 200 + 2], 0x808080u) << "the selected row's background";
        EXPECT_EQ(rowsDrawn[36 * 200 + 2], GetSysColor(COLOR_WINDOW) & 0xFFFFFF)
            << "the next row's background";

        // The frame picture (bitmap 221) loaded by the dialog manager from the module.
        HWND picture = GetDlgItem(popup, tolvan::IDC_FRAME);
        EXPECT_EQ(ClassOf(picture), L"Static");
        EXPECT_NE(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

        HWND volume = GetDlgItem(popup, tolvan::IDC_VOLUME_HEADER);
        EXPECT_EQ(ClassOf(volume), L"Static");
        EXPECT_EQ(TextOf(volume), L"Volume");
        PostKey(list, VK_DOWN);
    });
    // The arrows move the highlight, and stop at the ends.
    struct Move {
        UINT key;
        LRESULT selected;
    };
    const Move moves[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 2}, {VK_UP, 1}};
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        script.Then([&, i] {
            EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), moves[i].selected) << "move " << i;
            PostKey(list, i + 1 < std::size(moves) ? moves[i + 1].key : UINT{'4'});
        });
    }
    // A digit beyond the rows chooses nothing; Escape ends the popup without a choice.
    script.Then([&] {
        EXPECT_TRUE(IsWindow(popup)) << "4 of three rows chose something";
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
        PostKey(list, VK_ESCAPE);
    });
    RunPopup(script);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_TRUE(IsWindowEnabled(frame_));
    EXPECT_TRUE(selected_.empty());
}

TEST_F(TolvanDialogsTest, ADigitChoosesTheRowNumberedWithItNewestFirst) {
    SendDelivery(601);
    SendDelivery(602);
    SendDelivery(603);
    ASSERT_NO_FATAL_FAILURE(Listen());
    HWND popup = nullptr;
    Script script;
    script.Then([&] {
        popup = OwnedWindow(frame_);
        ASSERT_NE(popup, nullptr);
        PostKey(GetDlgItem(popup, tolvan::IDC_DELIVERY_LIST), '2');
    });
    RunPopup(script);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(selected_, std::vector<LONG>{602});
}

TEST_F(TolvanDialogsTest, EnterChoosesTheHighlightedRow) {
    SendDelivery(701);
    SendDelivery(702);
    ASSERT_NO_FATAL_FAILURE(Listen());
    Script script;
    script.Then([&] {
        HWND popup = OwnedWindow(frame_);
        ASSERT_NE(popup, nullptr);
        PostKey(GetDlgItem(popup, tolvan::IDC_DELIVERY_LIST), VK_DOWN);
    });
    script.Then([&] {
        HWND popup = OwnedWindow(frame_);
        ASSERT_NE(popup, nullptr);
        PostKey(GetDlgItem(popup, tolvan::IDC_DELIVERY_LIST), VK_RETURN);
    });
    RunPopup(script);
    EXPECT_EQ(selected_, std::vector<LONG>{701});
}

// The mouse on the real controls: a click on another row chooses it at once (LBN_SELCHANGE),
// the Cancel button (BN_CLICKED) ends the popup without a choice.
TEST_F(TolvanDialogsTest, AClickOnAnotherRowChoosesItAndCancelChoosesNothing) {
    struct Case {
        const char* what;
        bool onCancel;  // else the second row (34 pixels high, newest first)
        std::vector<LONG> selected;
    };
    const Case cases[] = {
        {"a click on the second row", false, {801}},
        {"the Cancel button", true, {}},
    };
    for (const Case& c : cases) {
        selected_.clear();
        SendDelivery(801);
        SendDelivery(802);
        if (point_ == nullptr) {
            ASSERT_NO_FATAL_FAILURE(Listen());
        }
        HWND popup = nullptr;
        Script script;
        script.Then([&] {
            popup = OwnedWindow(frame_);
            ASSERT_NE(popup, nullptr) << c.what;
            if (c.onCancel) {
                PostMessageW(GetDlgItem(popup, tolvan::IDC_CANCEL), BM_CLICK, 0, 0);
            } else {
                HWND list = GetDlgItem(popup, tolvan::IDC_DELIVERY_LIST);
                PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 34 + 17));
                PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(100, 34 + 17));
            }
        });
        RunPopup(script);
        EXPECT_FALSE(IsWindow(popup)) << c.what;
        EXPECT_EQ(selected_, c.selected) << c.what;
    }
}

// With no site to show the frame, the control shows its page in oleaut32's property frame.
TEST_F(TolvanDialogsTest, PropertiesVerbShowsThePageAsAChildDialogInTheSystemsFrame) {
    // The page's class is not registered in the prefix: the frame finds it as a running
    // class object.
    Held<IClassFactory> pages;
    ASSERT_EQ(getClassObject_(tolvan::CLSID_TolvanPropPage, IID_IClassFactory, pages.OutVoid()),
              S_OK);
    DWORD registration = 0;
    ASSERT_EQ(CoRegisterClassObject(tolvan::CLSID_TolvanPropPage, pages.p, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &registration),
              S_OK);
    HWND text = nullptr;
    Script script;
    script.Then([&] {
        text = WindowWithText(L"No property pages available.");
        ASSERT_NE(text, nullptr) << "the page's text is nowhere";
        EXPECT_EQ(ClassOf(text), L"Static");
        HWND page = GetParent(text);
        EXPECT_EQ(ClassOf(page), L"#32770");
        const LONG_PTR style = GetWindowLongPtrW(page, GWL_STYLE);
        EXPECT_NE(style & WS_CHILD, 0);
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION), 0);
        EXPECT_TRUE(IsWindowVisible(page));
        // The frame made its place as large as the page asked, so the page fits in it.
        RECT pageRect{}, place{};
        GetWindowRect(page, &pageRect);
        GetClientRect(GetParent(page), &place);
        EXPECT_LE(pageRect.right - pageRect.left, place.right) << "the page is cut off";
        EXPECT_LE(pageRect.bottom - pageRect.top, place.bottom) << "the page is cut off";
        HWND sheet = GetAncestor(page, GA_ROOT);
        ASSERT_NE(sheet, page);
        EXPECT_NE(TextOf(sheet).find(L"Tolvan Control"), std::wstring::npos)
            << "caption: the control's type name";
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    script.RunDuring(
        [this] {
            EXPECT_EQ(object_->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, frame_, nullptr),
                      S_OK);
        },
        [] {
            if (HWND left = WindowWithText(L"No property pages available."))
                PostMessageW(GetAncestor(left, GA_ROOT), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
    EXPECT_FALSE(IsWindow(text)) << "the page's dialog went with the frame";
    CoRevokeClassObject(registration);
}

}  // namespace
