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

#ifdef _WIN32
// On Windows the interfaces, verbs and DISPIDs are the SDK's (oleidl.h, ocidl.h, olectl.h);
// ours are the IidOf entries below.
#else

constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

inline constexpr IID IID_IOleWindow = MakeGuid("00000114-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceObject = MakeGuid("00000113-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceSite = MakeGuid("00000119-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObject = MakeGuid("0000010D-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObject2 = MakeGuid("00000127-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceActiveObject = MakeGuid("00000117-0000-0000-C000-000000000046");

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

// Named in members this system does not use; never defined here.
struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;
struct OLEINPLACEFRAMEINFO;
using LPOLEINPLACEFRAMEINFO = OLEINPLACEFRAMEINFO*;

// The window of either side of in-place activation. ContextSensitiveHelp answers E_NOTIMPL
// throughout this system.
struct IOleWindow : IUnknown {
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;

  protected:
    ~IOleWindow() = default;
};

// The container's side. GetWindow is the window the control's window goes into. The control
// of this system calls CanInPlaceActivate (S_OK when it may activate in place now, S_FALSE
// when not), OnInPlaceActivate, OnInPlaceDeactivate and OnPosRectChange (it asks for a new
// position after SetControlSize; the container answers with SetObjectRects or leaves it).
struct IOleInPlaceSite : IOleWindow {
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnUIActivate() = 0;
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                     LPRECT lprcPosRect, LPRECT lprcClipRect,
                                     LPOLEINPLACEFRAMEINFO lpFrameInfo) = 0;
    virtual HRESULT Scroll(SIZE scrollExtant) = 0;
    virtual HRESULT OnUIDeactivate(BOOL fUndoable) = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    virtual HRESULT DiscardUndoState() = 0;
    virtual HRESULT DeactivateAndUndo() = 0;
    virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;

  protected:
    ~IOleInPlaceSite() = default;
};

// The control's side. GetWindow is the control's window (E_FAIL while it is not active in
// place). SetObjectRects moves the window to `lprcPosRect` (container client coordinates);
// the clip rectangle is accepted and not used.
struct IOleInPlaceObject : IOleWindow {
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
    virtual HRESULT ReactivateAndUndo() = 0;

  protected:
    ~IOleInPlaceObject() = default;
};

// The system draws through Draw alone; the other members answer E_NOTIMPL.
struct IViewObject : IUnknown {
    // Draws DVASPECT_CONTENT into `hdcDraw` within `lprcBounds` (windowless rendering). The
    // target device, aspect data and continue callback are not used here (pass nulls).
    virtual HRESULT Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                         HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                         BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR), ULONG_PTR dwContinue) = 0;
    virtual HRESULT GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect,
                                DVTARGETDEVICE* ptd, HDC hicTargetDev, LOGPALETTE** ppColorSet) = 0;
    virtual HRESULT Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DWORD* pdwFreeze) = 0;
    virtual HRESULT Unfreeze(DWORD dwFreeze) = 0;
    virtual HRESULT SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) = 0;
    virtual HRESULT GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) = 0;

  protected:
    ~IViewObject() = default;
};

// The size the object draws DVASPECT_CONTENT at, in HIMETRIC (DV_E_DVASPECT for another
// aspect).
struct IViewObject2 : IViewObject {
    virtual HRESULT GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd,
                              LPSIZEL lpsizel) = 0;

  protected:
    ~IViewObject2() = default;
};

// The active control's side toward the container's frame: keyboard messages offered first to
// the control (S_FALSE: not translated), frame and document activation, border space.
struct IOleInPlaceActiveObject : IOleWindow {
    virtual HRESULT TranslateAccelerator(MSG* lpmsg) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                 BOOL fFrameWindow) = 0;
    virtual HRESULT EnableModeless(BOOL fEnable) = 0;

  protected:
    ~IOleInPlaceActiveObject() = default;
};

#endif  // _WIN32

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
template <>
struct IidOf<IViewObject2> {
    static constexpr const IID& value = IID_IViewObject2;
};
template <>
struct IidOf<IOleInPlaceActiveObject> {
    static constexpr const IID& value = IID_IOleInPlaceActiveObject;
};
