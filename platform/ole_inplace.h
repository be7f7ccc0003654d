// The in-place activation and drawing interfaces between a container and a control: the
// members this system uses of IOleInPlaceSite (the container's window for the control),
// IOleInPlaceObject (the control's window, its position, deactivation) and IViewObject
// (drawing into a given device context), and the ambient property DISPIDs a container's
// site answers through IDispatch.
//
// In-place activation here: the container gives the control its site (IOleObject::
// SetClientSite), then IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE or OLEIVERB_SHOW, ...,
// hwndParent, position) makes the control create its child window in hwndParent at the
// position (the site's IOleInPlaceSite::GetWindow when hwndParent is null), and tells the
// site OnInPlaceActivate. SetObjectRects moves it, OLEIVERB_HIDE hides it and
// InPlaceDeactivate destroys the window (OnInPlaceDeactivate).
#pragma once

#include "platform/com.h"
#include "platform/com_ptr.h"

constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

inline constexpr IID IID_IOleWindow = MakeGuid("00000114-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceObject = MakeGuid("00000113-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceSite = MakeGuid("00000119-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObject = MakeGuid("0000010D-0000-0000-C000-000000000046");

// Ambient properties, read from the client site's IDispatch as property gets.
constexpr DISPID DISPID_AMBIENT_BACKCOLOR = -701;
constexpr DISPID DISPID_AMBIENT_DISPLAYNAME = -702;
constexpr DISPID DISPID_AMBIENT_FONT = -703;
constexpr DISPID DISPID_AMBIENT_FORECOLOR = -704;
constexpr DISPID DISPID_AMBIENT_LOCALEID = -705;
constexpr DISPID DISPID_AMBIENT_USERMODE = -709;

// The members of a standard font object (IFontDisp) that a control reads.
constexpr DISPID DISPID_FONT_NAME = 0;
constexpr DISPID DISPID_FONT_SIZE = 2;  // VT_CY, points
constexpr DISPID DISPID_FONT_BOLD = 3;
constexpr DISPID DISPID_FONT_ITALIC = 4;
constexpr DISPID DISPID_FONT_WEIGHT = 7;

using ULONG_PTR = std::uintptr_t;
using OLE_COLOR = DWORD;  // a COLORREF, or 0x80000000 | a system colour index
using LPFONTDISP = IDispatch*;

struct RECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPCRECTL = const RECTL*;

// The container's side.
struct IOleInPlaceSite : IUnknown {
    // The window the control's window goes into.
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    // S_OK when the control may activate in place now, S_FALSE when not.
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    // The control asks for a new position (after SetControlSize); the container answers with
    // SetObjectRects or leaves it.
    virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;

  protected:
    ~IOleInPlaceSite() = default;
};

// The control's side.
struct IOleInPlaceObject : IUnknown {
    // The control's window; E_FAIL while it is not active in place.
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT InPlaceDeactivate() = 0;
    // Moves the window to `lprcPosRect` (container client coordinates); the clip rectangle is
    // accepted and not used.
    virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;

  protected:
    ~IOleInPlaceObject() = default;
};

struct IViewObject : IUnknown {
    // Draws DVASPECT_CONTENT into `hdcDraw` within `lprcBounds` (windowless rendering). The
    // target device, aspect data and continue callback are not used here (pass nulls).
    virtual HRESULT Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, void* ptd,
                         HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                         BOOL (*pfnContinue)(ULONG_PTR), ULONG_PTR dwContinue) = 0;

  protected:
    ~IViewObject() = default;
};

template <>
struct IidOf<IOleInPlaceSite> {
    static constexpr const IID& value = IID_IOleInPlaceSite;
};
template <>
struct IidOf<IOleInPlaceObject> {
    static constexpr const IID& value = IID_IOleInPlaceObject;
};
template <>
struct IidOf<IViewObject> {
    static constexpr const IID& value = IID_IViewObject;
};
