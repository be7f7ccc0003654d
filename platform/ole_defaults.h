// The answers of the interface members this system does not use, written once for the
// interfaces that several containers and test doubles implement. A site derives from the
// Defaults class in place of the interface and implements only the members it serves; each
// Defaults class answers the interface's IID (IidOf) so that UnknownBase finds it.
#pragma once

#include "platform/com.h"
#include "platform/com_ptr.h"
#include "platform/ole_inplace.h"

// IOleInPlaceSite less GetWindow, CanInPlaceActivate, OnInPlaceActivate, OnInPlaceDeactivate
// and OnPosRectChange: this system's controls activate in place without UI activation, undo
// or a frame, so the rest answer E_NOTIMPL.
struct OleInPlaceSiteDefaults : IOleInPlaceSite {
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT OnUIActivate() override { return E_NOTIMPL; }
    HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT,
                             LPRECT, LPOLEINPLACEFRAMEINFO) override {
        // Callers read the out pointers even on failure: leave them null.
        if (ppFrame != nullptr) {
            *ppFrame = nullptr;
        }
        if (ppDoc != nullptr) {
            *ppDoc = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT OnUIDeactivate(BOOL) override { return E_NOTIMPL; }
    HRESULT DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT DeactivateAndUndo() override { return E_NOTIMPL; }

  protected:
    ~OleInPlaceSiteDefaults() = default;
};

// IOleControlSite less ShowPropertyFrame.
struct OleControlSiteDefaults : IOleControlSite {
    HRESULT OnControlInfoChanged() override { return E_NOTIMPL; }
    HRESULT LockInPlaceActive(BOOL) override { return E_NOTIMPL; }
    HRESULT GetExtendedControl(IDispatch** ppDisp) override {
        if (ppDisp != nullptr) {
            *ppDisp = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    HRESULT TranslateAccelerator(MSG*, DWORD) override { return E_NOTIMPL; }
    HRESULT OnFocus(BOOL) override { return E_NOTIMPL; }

  protected:
    ~OleControlSiteDefaults() = default;
};

// IOleClientSite whole: the controls of this system ask a client site only for its other
// interfaces, so every member answers as a container without a document does.
struct OleClientSiteDefaults : IOleClientSite {
    HRESULT SaveObject() override { return E_NOTIMPL; }
    HRESULT GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
        if (ppmk != nullptr) {
            *ppmk = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT GetContainer(IOleContainer** ppContainer) override {
        if (ppContainer != nullptr) {
            *ppContainer = nullptr;
        }
        return E_NOINTERFACE;  // not in a document container
    }
    HRESULT ShowObject() override { return S_OK; }
    HRESULT OnShowWindow(BOOL) override { return S_OK; }
    HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }

  protected:
    ~OleClientSiteDefaults() = default;
};

template <>
struct IidOf<OleClientSiteDefaults> {
    static constexpr const IID& value = IID_IOleClientSite;
};
template <>
struct IidOf<OleInPlaceSiteDefaults> {
    static constexpr const IID& value = IID_IOleInPlaceSite;
};
template <>
struct IidOf<OleControlSiteDefaults> {
    static constexpr const IID& value = IID_IOleControlSite;
};
