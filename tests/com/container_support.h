// What the container tests share: a container's site that records the calls the control
// makes of it, a host window to place the control in, and the test control made through its
// class factory as a container makes it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/ole_object_factory.h"
#include "platform/com_ptr.h"
#include "platform/ole_defaults.h"
#include "platform/ole_inplace.h"
#include "tests/com/test_control/test_control.h"

namespace com_test {

// A container's site: IOleClientSite with the in-place side (IOleWindow included) and, while
// `hasAmbients` is set, ambient properties through IDispatch (BackColor only; every other
// ambient is left to the control's default). It records "save", "activate", "deactivate"
// and "position X,Y WxH" as the control asks for them.
class ContainerSite final : public OleClientSiteDefaults,
                            public OleInPlaceSiteDefaults,
                            public IDispatch {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *ppv = static_cast<IOleClientSite*>(this);
        } else if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
            *ppv = static_cast<IOleInPlaceSite*>(this);
        } else if (riid == IID_IDispatch && hasAmbients) {
            *ppv = static_cast<IDispatch*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }  // lives on the test's stack
    HRESULT SaveObject() override {
        calls.push_back("save");
        return S_OK;
    }
    HRESULT GetWindow(HWND* phwnd) override {
        *phwnd = window;
        return S_OK;
    }
    HRESULT CanInPlaceActivate() override { return allow ? S_OK : S_FALSE; }
    HRESULT OnInPlaceActivate() override {
        calls.push_back("activate");
        return S_OK;
    }
    HRESULT OnInPlaceDeactivate() override {
        calls.push_back("deactivate");
        return S_OK;
    }
    HRESULT OnPosRectChange(LPCRECT r) override {
        calls.push_back("position " + std::to_string(r->left) + "," + std::to_string(r->top) + " " +
                        std::to_string(r->right - r->left) + "x" +
                        std::to_string(r->bottom - r->top));
        return S_OK;
    }
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (dispid != DISPID_AMBIENT_BACKCOLOR) {
            return DISP_E_MEMBERNOTFOUND;
        }
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(backColor);
        return S_OK;
    }

    ULONG refs = 1;
    HWND window = nullptr;
    bool allow = true;
    bool hasAmbients = true;
    OLE_COLOR backColor = RGB(0xC0, 0xFF, 0xC0);
    std::vector<std::string> calls;
};

// A visible 200 by 150 top-level window of class `className` (registered once per class, with
// `background` as its brush, none when null) for a container test to place the control in.
inline HWND CreateHostWindow(LPCWSTR className, HBRUSH background = nullptr) {
    WNDCLASSW wc{};
    if (GetClassInfoW(nullptr, className, &wc) == FALSE) {
        wc = WNDCLASSW{};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hbrBackground = background;
        wc.lpszClassName = className;
        if (RegisterClassW(&wc) == 0) {
            ADD_FAILURE() << "the host window's class could not be registered";
            return nullptr;
        }
    }
    return CreateWindowExW(0, className, u"", WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr, nullptr,
                           nullptr);
}

// The test control as a container creates it: its class factory's CreateInstance, asking
// for IDispatch. Null, with a test failure, when either step fails.
inline ComPtr<IDispatch> CreateTestControl() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(AfxDllGetClassObject(test_control::kControlClsid, IID_IClassFactory,
                                   reinterpret_cast<void**>(factory.Out())),
              S_OK);
    ComPtr<IDispatch> control;
    if (factory) {
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch,
                                          reinterpret_cast<void**>(control.Out())),
                  S_OK);
    }
    return control;
}

}  // namespace com_test
