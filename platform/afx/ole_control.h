// COleControl: the base of an ActiveX control. It publishes the control's dispinterface
// (IDispatch over the control's dispatch map and type information), raises its events through
// one connection point (IConnectionPointContainer, IProvideClassInfo2), persists its properties
// in a property bag or a stream (IPersistPropertyBag, IPersistStreamInit), answers a
// container's verbs, status, extent and advise sinks (IOleObject), names its property pages
// (ISpecifyPropertyPages), hears of ambient changes and frozen events (IOleControl), and keeps
// the modified flag and the control's size.
//
// It is a CWnd: a container activates it in place (IOleObject::DoVerb with the parent window
// and a position, see platform/ole_inplace.h) and it creates its child window there. WM_PAINT
// calls OnDraw with the window's device context; mouse, timer and destroy messages reach the
// handlers of its message map (OnLButtonDown, OnLButtonUp, OnTimer, OnDestroy), which
// controls override. IViewObject::Draw paints into a given device context without a window.
// Ambient properties come from the client site's IDispatch, with Windows' defaults when the
// container has none. Every COM entry point switches to the control's module state for its
// duration.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/afx/afx_types.h"
#include "platform/afx/cmd_target.h"
#include "platform/afx/dispatch_map.h"
#include "platform/afx/prop_exchange.h"
#include "platform/afx/wnd.h"
#include "platform/com_ptr.h"
#include "platform/gdi.h"
#include "platform/ole_inplace.h"

class CDC;

// The events of a control: its source dispinterface (names, DISPIDs, parameter types).
struct AFX_EVENTMAP {
    const DispInterfaceInfo* iface;
};

class COleControl : public CWnd,
                    public IDispatch,
                    public IConnectionPointContainer,
                    public IProvideClassInfo2,
                    public IPersistPropertyBag,
                    public IOleObject,
                    public ISpecifyPropertyPages,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2 {
  public:
    COleControl();
    ~COleControl() override;

    AFX_DECLARE_IUNKNOWN()
    void* GetInterface(REFIID riid) override;

    // IDispatch. GetIDsOfNames reads the type information (case-insensitive). Invoke:
    // DISP_E_MEMBERNOTFOUND for a DISPID without a member of the kind asked for,
    // DISP_E_BADPARAMCOUNT, DISP_E_NONAMEDARGS for named arguments of a method,
    // DISP_E_PARAMNOTFOUND for a put without DISPID_PROPERTYPUT, DISP_E_TYPEMISMATCH or
    // DISP_E_OVERFLOW for an argument that does not convert (with *puArgErr its rgvarg index;
    // a by-reference parameter needs exactly its type, or VT_BYREF|VT_VARIANT holding it),
    // DISP_E_EXCEPTION with EXCEPINFO filled when the member raises an automation exception.
    // pVarResult, when given, is overwritten (pass an empty VARIANT); the caller owns it.
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

    // IConnectionPointContainer: the one connection point for the events' IID (none for a
    // control without events).
    HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // IProvideClassInfo: the coclass of GetClassID in the type library.
    HRESULT GetClassInfo(ITypeInfo** ppTI) override;
    // IProvideClassInfo2: the events' IID for GUIDKIND_DEFAULT_SOURCE_DISP_IID.
    HRESULT GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

    // IPersistPropertyBag: InitNew runs OnResetState; Load and Save run DoPropExchange.
    HRESULT GetClassID(CLSID* pClassID) override = 0;
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;

    // IOleObject. SetClientSite keeps the site with a reference (null: the control leaves
    // in-place activation and the site). GetClientSite gives the site with a reference (null
    // and S_OK without one); SetHostNames is accepted; GetUserClassID is GetClassID. Close
    // asks the site to save a modified control first with OLECLOSE_SAVEIFDIRTY
    // (IOleClientSite::SaveObject), leaves in-place activation, tells the advise sinks
    // (OnClose) and drops the view's advise sink; the client site stays until
    // SetClientSite(null). Advise keeps an IAdviseSink with a reference until Unadvise
    // (cookies from 1; OLE_E_NOCONNECTION for one not advised); EnumAdvise lists them.
    // The members not listed here answer E_NOTIMPL.
    HRESULT SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT GetClientSite(IOleClientSite** ppClientSite) override;
    HRESULT SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    HRESULT Close(DWORD dwSaveOption) override;
    HRESULT SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    HRESULT InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) override;
    HRESULT GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    HRESULT EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    HRESULT Update() override;
    HRESULT IsUpToDate() override;
    HRESULT GetUserClassID(CLSID* pClsid) override;
    HRESULT GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    HRESULT Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    HRESULT Unadvise(DWORD dwConnection) override;
    HRESULT EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    HRESULT SetColorScheme(LOGPALETTE* pLogpal) override;
    // OLEIVERB_PRIMARY, SHOW, INPLACEACTIVATE and UIACTIVATE activate the control in place:
    // its window is created in hwndParent (else the in-place site's window) at lprcPosRect
    // (else at 0, 0 with the control's size), which becomes the control's size. E_FAIL when
    // the site refuses (CanInPlaceActivate) or the window cannot be made, E_INVALIDARG with
    // no window to go into. An active control only moves (when given a rectangle) and shows.
    // OLEIVERB_HIDE hides the window; OLEIVERB_PROPERTIES runs OnProperties.
    HRESULT DoVerb(LONG iVerb, MSG* lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                   HWND hwndParent, LPCRECT lprcPosRect) override;
    HRESULT GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;

    // ISpecifyPropertyPages: GetPropPageIDs in task memory.
    HRESULT GetPages(CAUUID* pPages) override;

    // IOleInPlaceObject. SetObjectRects moves and sizes the window (the control's size
    // follows; OLE_E_NOT_INPLACEACTIVE without a window); InPlaceDeactivate destroys it.
    // UIDeactivate: S_OK, the control has no UI-active state of its own.
    HRESULT GetWindow(HWND* phwnd) override;
    HRESULT ContextSensitiveHelp(BOOL fEnterMode) override;
    HRESULT InPlaceDeactivate() override;
    HRESULT UIDeactivate() override;
    HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    HRESULT ReactivateAndUndo() override;

    // IOleInPlaceActiveObject: the control translates no accelerators (S_FALSE); activation
    // of the frame or document, border changes and modelessness need nothing (S_OK).
    HRESULT TranslateAccelerator(MSG* lpmsg) override;
    HRESULT OnFrameWindowActivate(BOOL fActivate) override;
    HRESULT OnDocWindowActivate(BOOL fActivate) override;
    HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                         BOOL fFrameWindow) override;
    HRESULT EnableModeless(BOOL fEnable) override;

    // IOleControl. GetControlInfo: no mnemonics, Return and Escape not eaten (E_INVALIDARG
    // when cb is not the structure's size). OnMnemonic: S_OK, nothing to do.
    // OnAmbientPropertyChange runs OnAmbientPropertyChanged(dispid) and repaints: the control
    // reads ambient properties from the site each time it needs one. FreezeEvents counts
    // nested freezes; events fired while frozen are dropped, not held back (as MFC's controls
    // do), and OnFreezeEvents hears each change.
    HRESULT GetControlInfo(CONTROLINFO* pCI) override;
    HRESULT OnMnemonic(MSG* pMsg) override;
    HRESULT OnAmbientPropertyChange(DISPID dispID) override;
    HRESULT FreezeEvents(BOOL bFreeze) override;

    // IViewObject2: OnDraw into hdcDraw with rcBounds = rcInvalid = *lprcBounds.
    // DV_E_DVASPECT for an aspect other than DVASPECT_CONTENT, E_INVALIDARG for null hdcDraw or
    // bounds. SetAdvise keeps one sink (null: none) that hears OnViewChange whenever the
    // control asks for a repaint; GetAdvise gives it back with a reference. GetExtent is
    // IOleObject::GetExtent's. The other members answer E_NOTIMPL.
    HRESULT Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                 HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                 BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR), ULONG_PTR dwContinue) override;
    HRESULT GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                        HDC hicTargetDev, LOGPALETTE** ppColorSet) override;
    HRESULT Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DWORD* pdwFreeze) override;
    HRESULT Unfreeze(DWORD dwFreeze) override;
    HRESULT SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) override;
    HRESULT GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) override;
    HRESULT GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd,
                      LPSIZEL lpsizel) override;

    // ---- What a control class provides --------------------------------------------------

    virtual const AFX_DISPMAP& GetDispatchMap() const = 0;
    virtual const AFX_EVENTMAP& GetEventMap() const = 0;
    // The type library holding the control's coclass and interfaces.
    virtual const TypeLibInfo& GetTypeLib() const = 0;
    // String resource of the control's type name.
    virtual UINT GetUserTypeNameID() = 0;
    // OLEMISC bits.
    virtual DWORD GetMiscStatus() = 0;
    // The CLSIDs of the control's property pages; none by default.
    virtual std::span<const CLSID> GetPropPageIDs();

    // Persistent properties. The base exchanges the extent ("_ExtentX", "_ExtentY", in
    // HIMETRIC); a control calls ExchangeVersion first, then the base, then its own.
    virtual void DoPropExchange(CPropExchange* pPX);
    // Sets the persistent properties to their defaults (DoPropExchange in Reset mode).
    virtual void OnResetState();

    // Paints the control. The base paints nothing.
    virtual void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid);

    // Window messages from the message map. The bases give the default handling; OnDestroy
    // is called when the control's window goes away. OnPaint calls OnDraw with the window's
    // device context, the client rectangle and the rectangle to paint.
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnDestroy() override;
    void OnPaint() override;
    // The window goes (with WM_DESTROY reaching the control) before the object is deleted.
    void OnFinalRelease() override;
    // Ends the construction: from here on SetControlSize marks the control modified. A control
    // made without AfxCreateObject calls it itself before a container sees it.
    void OnFinalConstruct() noexcept override { m_bConstructing = false; }

    // Ambient properties of the container (its client site's IDispatch). GetAmbientProperty
    // converts the value to vtProp (VT_I4 into a LONG, VT_I2 a SHORT, VT_BOOL a BOOL, VT_BSTR a
    // BSTR the caller frees, VT_DISPATCH an interface the caller releases); FALSE when the
    // container has no such property or it does not convert.
    BOOL GetAmbientProperty(DISPID dispid, VARTYPE vtProp, void* pvProp);
    // The container's background and text colours, else the window colours of the system.
    OLE_COLOR AmbientBackColor();
    OLE_COLOR AmbientForeColor();
    // The container's font object, else a new one for "MS Sans Serif" at 8.25 points (the
    // common containers' default); the caller releases it.
    LPFONTDISP AmbientFont();
    // An OLE_COLOR as a COLORREF (system colours resolved); the palette is not used.
    COLORREF TranslateColor(OLE_COLOR clrColor, HPALETTE hpal = nullptr);

    // The properties verb: asks the container's IOleControlSite to show the property frame.
    // E_NOTIMPL when the container has no such site. On Windows, when there is none or it
    // refuses, the control shows its pages in the system's property frame itself.
    virtual HRESULT OnProperties();

    // An ambient property of the container changed (DISPID_UNKNOWN: any); the base does
    // nothing, the repaint follows.
    virtual void OnAmbientPropertyChanged(DISPID dispid);
    // Events were frozen or thawed.
    virtual void OnFreezeEvents(BOOL bFreeze);
    BOOL AreEventsFrozen() const { return m_nFreezeEvents > 0; }

    // ---- Services for the control -------------------------------------------------------

    // Names the dispinterface and the event interface (the connection point's IID).
    void InitializeIIDs(const IID* piidPrimary, const IID* piidEvents);

    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
    BOOL IsModified() const { return m_bModified; }

    // Asks for a repaint of `lpRect` (null: the whole control) with or without erasing the
    // background first: the control's window is invalidated, and the request is recorded.
    void InvalidateControl(LPCRECT lpRect = nullptr, BOOL bErase = TRUE);

    struct Invalidation {
        CRect rect;
        BOOL erase;
    };
    // The repaint requests recorded so far, oldest first; Take empties the record.
    const std::vector<Invalidation>& GetInvalidations() const { return m_invalidations; }
    std::vector<Invalidation> TakeInvalidations();

    // Size in pixels. SetInitialSize sets the size a new control has; SetControlSize changes
    // it (FALSE for a negative size), marks the control modified and resizes the window of an
    // active control, telling the in-place site (OnPosRectChange). Called while the control
    // is constructed (before OnFinalConstruct), SetControlSize sets the size a new control has,
    // as SetInitialSize does: a control is not modified by being made.
    void SetInitialSize(int cx, int cy);
    void GetControlSize(int* pcx, int* pcy) const;
    BOOL SetControlSize(int cx, int cy);

    // The read-only error for a put (CTL_E_SETNOTSUPPORTED) and the write-only error for a get.
    [[noreturn]] void SetNotSupported();
    [[noreturn]] void GetNotSupported();
    // Raises an automation exception with `sc` and a description (the code's text when null).
    [[noreturn]] void ThrowError(SCODE sc, LPCSTR pszDescription = nullptr, UINT nHelpID = 0);

    // Exchanges the version stamp (MAKELONG(minor, major)); see CPropExchange.
    BOOL ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert = TRUE);
    DWORD GetVersionLoaded() const { return m_dwVersionLoaded; }
    // Exchanges the extent.
    BOOL ExchangeExtent(CPropExchange* pPX);

    // Raises event `dispid` on every connected sink, with `args` typed by the event's
    // parameters in the type information (a BSTR* for a BSTR passed by reference, a narrow
    // string or BSTR for a BSTR by value). A sink's failure is ignored. An event unknown to
    // the event map or arguments that do not fit its parameters raise COleException
    // (E_INVALIDARG): a programming error.
    template <class... Args>
    void FireEvent(DISPID dispid, Args... args) {
        const MemberInfo& event = FindEvent(dispid, sizeof...(Args));
        std::vector<VARIANT> reversed(sizeof...(Args));
        afx_detail::ArgBuilder builder;
        std::size_t index = 0;
        // Arguments go in reverse order: the first lands last.
        ((builder.Set(reversed[sizeof...(Args) - 1 - index], event.params[index].vt, args),
          ++index),
         ...);
        FireEventArgs(dispid, reversed.data(), static_cast<UINT>(reversed.size()));
    }

    // The container's site (as given to SetClientSite), or null.
    IOleClientSite* GetClientSite() const { return m_pClientSite.Get(); }

    // Number of sinks connected to the event connection point.
    std::size_t GetConnectionCount() const;

    DECLARE_MESSAGE_MAP()

  protected:
    BOOL m_bModified = FALSE;

  private:
    class EventPoint;
    class StreamPersistence;
    struct AdviseConnection {
        DWORD cookie;
        ComPtr<IAdviseSink> sink;
    };

    const MemberInfo& FindEvent(DISPID dispid, std::size_t argCount) const;
    void FireEventArgs(DISPID dispid, VARIANT* reversedArgs, UINT count);
    // Invoke of one member, by kind: a property put, a property get, a method call. Each
    // checks the arguments against the type information, converts them into VARIANTs that it
    // clears on every way out, and calls the dispatch map's function.
    HRESULT InvokeMember(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member, WORD wFlags,
                         DISPPARAMS* params, VARIANT* result, UINT* puArgErr);
    HRESULT InvokePut(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member, DISPPARAMS* params,
                      UINT* puArgErr);
    HRESULT InvokeGet(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member, DISPPARAMS* params,
                      VARIANT* result);
    HRESULT InvokeMethod(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member,
                         DISPPARAMS* params, VARIANT* result, UINT* puArgErr);
    HRESULT Persist(CPropExchange::Mode mode, IPropertyBag* bag);

    IID m_piidPrimary{};
    std::unique_ptr<EventPoint> m_pEventPoint;  // its interface is the events' IID
    std::unique_ptr<StreamPersistence> m_pStreamPersistence;
    HRESULT InPlaceActivate(IOleClientSite* pActiveSite, HWND hwndParent, LPCRECT lprcPosRect);

    ComPtr<IOleClientSite> m_pClientSite;
    std::vector<AdviseConnection> m_adviseConnections;
    DWORD m_nextAdviseCookie = 1;
    ComPtr<IAdviseSink> m_pViewAdviseSink;
    DWORD m_viewAdviseAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    int m_nFreezeEvents = 0;
    ComPtr<IOleInPlaceSite> m_pInPlaceSite;  // while active in place
#ifdef _WIN32
    // OleCreatePropertyFrame over the control alone with the pages of GetPages, captioned with
    // the control's type name, owned by the control's window (else the site's); it returns
    // once the frame is closed. E_NOTIMPL when the control has no pages.
    HRESULT ShowOwnPropertyFrame();
#endif
    std::vector<Invalidation> m_invalidations;
    int m_cxExtent = 0;  // pixels
    int m_cyExtent = 0;
    int m_cxInitial = 0;
    int m_cyInitial = 0;
    DWORD m_dwVersionLoaded = 0;
    bool m_bConstructing = true;  // until OnFinalConstruct
};

// Pixels and HIMETRIC (0.01 mm) at the 96 dots per inch of the screen.
LONG AfxPixelsToHimetric(int pixels);
int AfxHimetricToPixels(LONG himetric);
