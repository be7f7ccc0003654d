// tolvan-face's container: registration, the in-place site, and one face rendered per control.
#include "apps/tolvan-face/face_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "apps/program_files/program_files.h"
#include "control/tolvan_ids.h"
#include "platform/bstr.h"
#include "platform/com.h"
#include "platform/dispatch_call.h"
#include "platform/gdi.h"
#include "platform/ole_defaults.h"
#include "platform/ole_inplace.h"
#include "platform/oleauto.h"
#include "platform/systime.h"
#include "platform/unknown_base.h"
#include "platform/variant.h"
#include "platform/variant_values.h"

namespace tolvan_face {

namespace {

constexpr const char16_t* kProgId = u"TOLVAN.TolvanCtrl.1";
constexpr const char16_t* kWindowClass = u"TolvanFaceHost";
constexpr int kFace = 80;
// The site a control is placed through: its window and the ambient properties (BackColor
// only when one is given). It lives on the renderer's stack.
class FaceSite final
    : public ScopedObject<OleClientSiteDefaults, OleInPlaceSiteDefaults, IDispatch> {
  public:
    FaceSite(HWND window, std::optional<std::uint32_t> backColor)
        : window_(window), backColor_(backColor) {}

    HRESULT GetWindow(HWND* phwnd) override {
        if (phwnd == nullptr)
            return E_POINTER;
        *phwnd = window_;
        return S_OK;
    }
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceDeactivate() override { return S_OK; }
    HRESULT OnPosRectChange(LPCRECT) override { return S_OK; }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (result == nullptr)
            return E_POINTER;
        VariantInit(result);
        switch (dispid) {
            case DISPID_AMBIENT_BACKCOLOR:
                if (!backColor_)
                    return DISP_E_MEMBERNOTFOUND;
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(*backColor_);
                return S_OK;
            case DISPID_AMBIENT_USERMODE:
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_TRUE;
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

  private:
    bool AlsoAnswers(REFIID riid) const override { return riid == IID_IOleWindow; }

    HWND window_;
    std::optional<std::uint32_t> backColor_;
};

using platform::Invoke;
using platform::variants::BstrRef;
using platform::variants::ByRef;
using platform::variants::I2;
using platform::variants::I4;
using platform::variants::R8;

// One delivery change through the control's DeliveryEventSink.
HRESULT SendDelivery(IDispatch* control, LONG id, SHORT state, double price, double volume,
                     double value, LONG lockedBy, LONG age, const std::u16string& grade,
                     SHORT type = 1) {
    Bstr gradeName = Bstr::FromUtf16(grade);
    Bstr shortName = Bstr::FromUtf16(grade);
    return Invoke(control, tolvan::dispidDeliveryEventSink, DISPATCH_METHOD,
                  {I4(id), I4(1), I2(1), I4(1), BstrRef(gradeName.InOut()),
                   BstrRef(shortName.InOut()), I2(1), R8(price), R8(volume), R8(value), I2(state),
                   I2(type), I4(lockedBy), I4(-1), I4(age), R8(46000.5, VT_DATE), I4(-1)});
}

HRESULT FeedDeliveries(IDispatch* control, const FaceCase& face) {
    const ScriptedPump& pump = face.pump;
    for (int i = 0; i < face.stacked; ++i) {
        const HRESULT hr =
            SendDelivery(control, 100 + i, 2, 2.0, 5.0 + i, 10.0 + 2 * i, -1, 30, u"U91");
        if (FAILED(hr))
            return hr;
    }
    if (face.current == CurrentDelivery::None)
        return S_OK;
    const double value =
        face.current == CurrentDelivery::Negative ? -std::abs(pump.value) : pump.value;
    const LONG lockedBy = face.current == CurrentDelivery::Locked ? 7 : -1;
    const LONG age = face.current == CurrentDelivery::Overdue ? -45 : 20;
    return SendDelivery(control, 99, 1, pump.price, pump.volume, value, lockedBy, age,
                        pump.shortGradeName);
}

std::string Describe(const char* what, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return std::string(what) + " failed (" + code + ")";
}

// The popup's rows, oldest first (the popup lists them newest first): a drive-off, a locked
// and an overdue stacked delivery, then the current one with the pump's amounts.
HRESULT FeedPopupDeliveries(IDispatch* control, const FaceCase& face) {
    const ScriptedPump& pump = face.pump;
    const double price = pump.price != 0 ? pump.price : 1.999;
    HRESULT hr = SendDelivery(control, 601, 2, price, 8.0, 15.99, -1, 30, u"U91", 3);
    if (SUCCEEDED(hr))
        hr = SendDelivery(control, 602, 2, price, 20.0, 39.98, 7, 40, u"U91");
    if (SUCCEEDED(hr))
        hr = SendDelivery(control, 603, 2, price, 5.5, 10.99, -1, -45, u"U91");
    if (SUCCEEDED(hr)) {
        hr = SendDelivery(control, 604, 1, price, pump.volume != 0 ? pump.volume : 12.345,
                          pump.value != 0 ? pump.value : 24.68, -1, 20, pump.shortGradeName);
    }
    return hr;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL FindOwned(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    if (GetWindow(hwnd, GW_OWNER) == search->owner && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Runs DoPopup; when its modal loop first waits, the popup is painted and its pixels taken,
// then Escape closes it. A loop that does not end after that is ended by WM_QUIT.
bool CapturePopup(IDispatch* control, HWND owner, FacePixels* pixels, std::string* error) {
    int turns = 0;
    bool captured = false;
    const auto previous = platform::SetIdleHook([&] {
        ++turns;
        if (turns == 1) {
            platform::DispatchPendingMessages();
            OwnedSearch search{owner, nullptr};
            EnumWindows(&FindOwned, reinterpret_cast<LPARAM>(&search));
            const platform::PixelSurface* surface =
                search.found != nullptr ? platform::GetWindowSurface(search.found) : nullptr;
            if (surface != nullptr) {
                pixels->width = surface->width;
                pixels->height = surface->height;
                pixels->pixels = surface->pixels;
                captured = true;
            }
            platform::QueueKeyInput(VK_ESCAPE, true);
            platform::QueueKeyInput(VK_ESCAPE, false);
        } else {
            PostQuitMessage(0);
        }
        return true;
    });
    const HRESULT hr = Invoke(control, tolvan::dispidDoPopup, DISPATCH_METHOD, {});
    platform::SetIdleHook(previous);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    if (FAILED(hr) || !captured) {
        *error = FAILED(hr) ? Describe("DoPopup", hr) : "the popup did not open";
        return false;
    }
    return true;
}

bool RegisterClassOnce() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = reinterpret_cast<LPCWSTR>(kWindowClass);
        return RegisterClassW(&wc) != 0;
    }();
    return registered;
}

}  // namespace

std::string BuiltModulePath() {
    // build/apps/tolvan-face/tolvan-face in the build tree; bin/tolvan-face when installed.
    return forecourt::FindModule("../../control/Tolvan.OCX", "Tolvan.OCX");
}

FaceHost::~FaceHost() {
    if (!temporaryDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(temporaryDir_, ignored);
    }
}

bool FaceHost::EnsureRegistered(const std::string& module, std::string* error) {
    CLSID clsid{};
    if (SUCCEEDED(CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(kProgId), &clsid))) {
        return true;
    }
    if (module.empty()) {
        *error =
            "TOLVAN.TolvanCtrl.1 is not registered and no built Tolvan.OCX was found "
            "(give it with --module PATH)";
        return false;
    }
    char pattern[] = "/tmp/tolvan-face.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        *error = "cannot make a temporary registry folder";
        return false;
    }
    temporaryDir_ = pattern;
    setenv("FORECOURT_REGISTRY", (temporaryDir_ + "/registry").c_str(), 1);
    const std::string absolute = std::filesystem::absolute(module).string();
    void* handle = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        *error = "cannot load " + module + ": " + dlerror();
        return false;
    }
    auto registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(handle, "DllRegisterServer"));
    const HRESULT hr = registerServer != nullptr ? registerServer() : E_FAIL;
    if (FAILED(hr)) {
        *error = Describe(("DllRegisterServer of " + module).c_str(), hr);
        return false;
    }
    return true;
}

bool FaceHost::Render(const FaceCase& face, FacePixels* pixels, std::string* error) {
    platform::StartScriptedClock();
    if (!RegisterClassOnce()) {
        *error = "cannot register the host window class";
        return false;
    }
    HWND window =
        CreateWindowExW(0, reinterpret_cast<LPCWSTR>(kWindowClass), nullptr, WS_POPUP | WS_VISIBLE,
                        0, 0, kFace, kFace, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        *error = "cannot create the host window";
        return false;
    }
    CLSID clsid{};
    IDispatch* control = nullptr;
    HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(kProgId), &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&control));
    }
    if (FAILED(hr)) {
        *error = Describe("creating TOLVAN.TolvanCtrl.1", hr);
        DestroyWindow(window);
        return false;
    }

    FaceSite site(window, face.ambientBackColor);
    ScriptedClient client(face.pump);
    IOleObject* object = nullptr;
    bool ok = SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)));
    const RECT position{0, 0, kFace, kFace};
    if (ok) {
        ok = SUCCEEDED(object->SetClientSite(static_cast<IOleClientSite*>(&site))) &&
             SUCCEEDED(hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                           static_cast<IOleClientSite*>(&site), 0, window,
                                           &position));
        if (!ok)
            *error = Describe("in-place activation", hr);
    }
    if (ok) {
        IDispatch* clientDispatch = &client;
        // IsCurrentPump last: loading a pump resets it.
        ok = SUCCEEDED(hr = Invoke(control, tolvan::dispidID, DISPATCH_PROPERTYPUT, {I4(1)})) &&
             SUCCEEDED(hr = Invoke(control, tolvan::dispidSetKestro, DISPATCH_METHOD,
                                   {ByRef(VT_DISPATCH, &clientDispatch)})) &&
             SUCCEEDED(hr = face.popup ? FeedPopupDeliveries(control, face)
                                       : FeedDeliveries(control, face)) &&
             SUCCEEDED(hr = Invoke(control, tolvan::dispidIsCurrentPump, DISPATCH_PROPERTYPUT,
                                   {I2(face.isCurrentPump ? 1 : 0)}));
        if (!ok)
            *error = Describe("feeding the pump to the control", hr);
    }
    if (ok && face.popup) {
        platform::DispatchPendingMessages();
        ok = CapturePopup(control, window, pixels, error);
    } else if (ok) {
        platform::DispatchPendingMessages();
        if (!face.blinkOn) {
            platform::AdvanceScriptedClock(1000);
        }
        platform::DispatchPendingMessages();
        const platform::PixelSurface* surface = platform::GetWindowSurface(window);
        ok = surface != nullptr && surface->width >= kFace && surface->height >= kFace;
        if (ok) {
            pixels->width = kFace;
            pixels->height = kFace;
            pixels->pixels.resize(kFace * kFace);
            for (int y = 0; y < kFace; ++y) {
                for (int x = 0; x < kFace; ++x) {
                    pixels->pixels[y * kFace + x] = surface->at(x, y);
                }
            }
        } else {
            *error = "the host window has no frame";
        }
    }
    if (object != nullptr) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject,
                                             reinterpret_cast<void**>(&inPlace)))) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        object->SetClientSite(nullptr);
        object->Release();
    }
    control->Release();
    DestroyWindow(window);
    return ok;
}

HMODULE FaceHost::Module() const {
    return GetModuleHandleW(reinterpret_cast<LPCWSTR>(u"Tolvan.OCX"));
}

}  // namespace tolvan_face
