// COleControl: dispatch through the dispatch map, the event connection point, persistence,
// verbs and extent, and the recorded repaint requests.
#include "platform/afx/ole_control.h"

#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/afx/property_stream.h"
#include "platform/com_enum.h"
#include "platform/connection_point.h"
#include "platform/stream.h"

#ifdef _WIN32
#include "platform/afx/module_state.h"
#include "platform/text_conversion.h"

namespace {

// The type information of `guid` in the type library the current module carries as its
// TYPELIB resource: what Windows callers read (oleaut32's own objects, with every member of
// ITypeInfo), where Invoke keeps using the module's tables.
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** ppTInfo) {
    const std::string path = AfxGetModuleFileName(AfxGetInstanceHandle());
    if (path.empty()) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(Utf8ToUtf16(path).c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) {
        return hr;
    }
    hr = library->GetTypeInfoOfGuid(guid, ppTInfo);
    library->Release();
    return hr;
}

}  // namespace
#endif

// The connection point of the control's events: a sink is advised and released in the
// control's module state.
class COleControl::EventPoint final : public ConnectionPoint {
  public:
    explicit EventPoint(COleControl& control)
        : ConnectionPoint(static_cast<IConnectionPointContainer&>(control), IID_NULL),
          control_(control) {}

    HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override {
        AFX_MANAGE_STATE(control_.m_pModuleState);
        return ConnectionPoint::Advise(pUnkSink, pdwCookie);
    }
    HRESULT Unadvise(DWORD dwCookie) override {
        AFX_MANAGE_STATE(control_.m_pModuleState);
        return ConnectionPoint::Unadvise(dwCookie);
    }

  private:
    COleControl& control_;
};

// IPersistStreamInit of the control: one identity with it (its IUnknown is the control's), and
// a state of its own, since a stream load makes InitNew wrong where a property bag's does not.
class COleControl::StreamPersistence final : public IPersistStreamInit {
  public:
    explicit StreamPersistence(COleControl& control) : control_(control) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return control_.ExternalQueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return control_.ExternalAddRef(); }
    ULONG Release() override { return control_.ExternalRelease(); }

    HRESULT GetClassID(CLSID* pClassID) override {
        if (pClassID == nullptr) {
            return E_POINTER;
        }
        return control_.GetClassID(pClassID);
    }
    HRESULT IsDirty() override { return control_.IsModified() ? S_OK : S_FALSE; }
    HRESULT InitNew() override {
        if (loaded_) {
            return E_UNEXPECTED;  // one initialisation per object
        }
        return control_.Persist(CPropExchange::Mode::Reset, nullptr);
    }
    HRESULT Load(IStream* pStm) override {
        if (pStm == nullptr) {
            return E_POINTER;
        }
        const ComPtr<PropertyStreamBag> bag =
            ComPtr<PropertyStreamBag>::Adopt(new PropertyStreamBag);
        const HRESULT hr = bag->ReadFrom(pStm);
        if (FAILED(hr)) {
            return hr;  // the properties stay as they were
        }
        const HRESULT loaded = control_.COleControl::Load(bag.Get(), nullptr);
        loaded_ = loaded_ || SUCCEEDED(loaded);
        return loaded;
    }
    HRESULT Save(IStream* pStm, BOOL fClearDirty) override {
        if (pStm == nullptr) {
            return E_POINTER;
        }
        ComPtr<PropertyStreamBag> bag;
        HRESULT hr = Collect(&bag);
        if (SUCCEEDED(hr)) {
            hr = bag->WriteTo(pStm);
        }
        if (SUCCEEDED(hr) && fClearDirty) {
            control_.SetModifiedFlag(FALSE);
        }
        return hr;
    }
    HRESULT GetSizeMax(ULARGE_INTEGER* pCbSize) override {
        if (pCbSize == nullptr) {
            return E_POINTER;
        }
        ComPtr<PropertyStreamBag> bag;
        const HRESULT hr = Collect(&bag);
        if (SUCCEEDED(hr)) {
            pCbSize->QuadPart = bag->StreamSize();
        }
        return hr;
    }

  private:
    HRESULT Collect(ComPtr<PropertyStreamBag>* bag) {
        *bag = ComPtr<PropertyStreamBag>::Adopt(new PropertyStreamBag);
        return control_.Persist(CPropExchange::Mode::Save, bag->Get());
    }

    COleControl& control_;
    bool loaded_ = false;
};

LONG AfxPixelsToHimetric(int pixels) {
    return static_cast<LONG>(std::lround(pixels * 2540.0 / 96.0));
}

int AfxHimetricToPixels(LONG himetric) {
    return static_cast<int>(std::lround(himetric * 96.0 / 2540.0));
}

COleControl::COleControl()
    : m_pEventPoint(std::make_unique<EventPoint>(*this)),
      m_pStreamPersistence(std::make_unique<StreamPersistence>(*this)) {}

COleControl::~COleControl() = default;

std::size_t COleControl::GetConnectionCount() const {
    return m_pEventPoint->Count();
}

void* COleControl::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_piidPrimary) {
        return static_cast<IDispatch*>(this);
    }
    if (riid == IID_IConnectionPointContainer) {
        return static_cast<IConnectionPointContainer*>(this);
    }
    if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) {
        return static_cast<IProvideClassInfo2*>(this);
    }
    if (riid == IID_IPersistStreamInit) {
        return static_cast<IPersistStreamInit*>(m_pStreamPersistence.get());
    }
    if (riid == IID_IPersistPropertyBag || riid == IID_IPersist) {
        return static_cast<IPersistPropertyBag*>(this);
    }
    if (riid == IID_IOleObject) {
        return static_cast<IOleObject*>(this);
    }
    if (riid == IID_ISpecifyPropertyPages) {
        return static_cast<ISpecifyPropertyPages*>(this);
    }
    if (riid == IID_IOleInPlaceObject || riid == IID_IOleWindow) {
        return static_cast<IOleInPlaceObject*>(this);
    }
    if (riid == IID_IOleInPlaceActiveObject) {
        return static_cast<IOleInPlaceActiveObject*>(this);
    }
    if (riid == IID_IOleControl) {
        return static_cast<IOleControl*>(this);
    }
    if (riid == IID_IViewObject || riid == IID_IViewObject2) {
        return static_cast<IViewObject2*>(this);
    }
    return CCmdTarget::GetInterface(riid);
}

void COleControl::InitializeIIDs(const IID* piidPrimary, const IID* piidEvents) {
    m_piidPrimary = *piidPrimary;
    m_pEventPoint->SetInterface(*piidEvents);
}

// ---- IDispatch ----------------------------------------------------------------------------

HRESULT COleControl::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) {
        return E_POINTER;
    }
    *pctinfo = 1;
    return S_OK;
}

HRESULT COleControl::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (ppTInfo == nullptr) {
        return E_POINTER;
    }
    *ppTInfo = nullptr;
    if (iTInfo != 0) {
        return DISP_E_BADINDEX;
    }
#ifdef _WIN32
    return ModuleTypeInfo(GetDispatchMap().iface->iid, ppTInfo);
#else
    return CreateTypeInfo(GetTypeLib(), GetDispatchMap().iface, nullptr,
                          static_cast<IDispatch*>(this), ppTInfo);
#endif
}

HRESULT COleControl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                   DISPID* rgDispId) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return GetIDsOfNamesFromInfo(*GetDispatchMap().iface, rgszNames, cNames, rgDispId);
}

HRESULT COleControl::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                            DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                            UINT* puArgErr) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (pDispParams == nullptr) {
        return E_INVALIDARG;
    }
    const AFX_DISPMAP& map = GetDispatchMap();
    const AFX_DISPMAP_ENTRY* entry = AfxFindDispatchEntry(map, dispIdMember);
    const MemberInfo* member = FindMemberById(*map.iface, dispIdMember, wFlags);
    if (entry == nullptr || member == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    // Keep the control alive even if the member releases the caller's last reference.
    ExternalAddRef();
    HRESULT hr = S_OK;
    try {
        hr = InvokeMember(*entry, *member, wFlags, pDispParams, pVarResult, puArgErr);
    } catch (const COleDispatchException& e) {
        AfxFillExcepInfo(e, pExcepInfo);
        hr = DISP_E_EXCEPTION;
    } catch (const COleException& e) {
        AfxFillExcepInfo(e, pExcepInfo);
        hr = DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        COleDispatchException failure(e.what(), 0, 0);
        failure.m_scError = E_FAIL;
        AfxFillExcepInfo(failure, pExcepInfo);
        hr = DISP_E_EXCEPTION;
    }
    ExternalRelease();
    return hr;
}

namespace {

// The control's dispatch map and its type information disagree: a fault of the control.
[[noreturn]] void ThrowMapMismatch(const MemberInfo& member) {
    throw std::logic_error(std::string("the dispatch map of ") + member.name +
                           " does not match its type information");
}

// Makes `given` the argument of a by-reference parameter of type `vt` (VT_BYREF set): the
// same by-reference type, or a VT_BYREF|VT_VARIANT holding that type, whose value it then
// points into.
HRESULT ByRefArgument(const VARIANT& given, VARTYPE vt, VARIANT* arg) {
    if (given.vt == vt) {
        *arg = given;
        return S_OK;
    }
    if (given.vt == (VT_BYREF | VT_VARIANT) && given.pvarVal != nullptr &&
        given.pvarVal->vt == (vt & ~VT_BYREF)) {
        arg->vt = vt;
        arg->byref = &given.pvarVal->llVal;
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

// Converts `given` for a parameter of type `vt`, as Invoke reports a failure.
HRESULT ArgumentFor(const VARIANT& given, VARTYPE vt, VARIANT* arg) {
    if ((vt & VT_BYREF) != 0) {
        return ByRefArgument(given, vt, arg);
    }
    if (vt == VT_VARIANT) {
        return VariantCopyInd(arg, const_cast<VARIANT*>(&given));
    }
    const HRESULT hr = VariantChangeType(arg, const_cast<VARIANT*>(&given), 0, vt);
    return FAILED(hr) && hr != DISP_E_OVERFLOW ? DISP_E_TYPEMISMATCH : hr;
}

}  // namespace

HRESULT COleControl::InvokeMember(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member,
                                  WORD wFlags, DISPPARAMS* params, VARIANT* result,
                                  UINT* puArgErr) {
    if (!entry.isProperty) {
        return InvokeMethod(entry, member, params, result, puArgErr);
    }
    if ((wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
        return InvokePut(entry, member, params, puArgErr);
    }
    return InvokeGet(entry, member, params, result);
}

HRESULT COleControl::InvokePut(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member,
                               DISPPARAMS* params, UINT* puArgErr) {
    if (params->cNamedArgs != 1 || params->rgdispidNamedArgs == nullptr ||
        params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return DISP_E_PARAMNOTFOUND;
    }
    if (params->cArgs != 1) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (entry.pfnSet == nullptr) {
        SetNotSupported();
    }
    if (!afx_detail::Fits(entry.result, member.vt)) {
        ThrowMapMismatch(member);
    }
    ScopedVariants value;
    ScopedVariants unused;  // a setter's result
    const HRESULT hr = VariantChangeType(&value[0], &params->rgvarg[0], 0, member.vt);
    if (FAILED(hr)) {
        if (puArgErr != nullptr) {
            *puArgErr = 0;
        }
        return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
    }
    entry.pfnSet(this, &value[0], &unused[0], VT_VOID);
    return S_OK;
}

HRESULT COleControl::InvokeGet(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member,
                               DISPPARAMS* params, VARIANT* result) {
    if (params->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (params->cArgs != 0) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (!afx_detail::Fits(entry.result, member.vt)) {
        ThrowMapMismatch(member);
    }
    ScopedVariants scratch;  // the value when the caller wants none
    entry.pfnGet(this, nullptr, result != nullptr ? result : &scratch[0], member.vt);
    return S_OK;
}

HRESULT COleControl::InvokeMethod(const AFX_DISPMAP_ENTRY& entry, const MemberInfo& member,
                                  DISPPARAMS* params, VARIANT* result, UINT* puArgErr) {
    if (params->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    const std::size_t count = member.params.size();
    if (params->cArgs != count) {
        return DISP_E_BADPARAMCOUNT;
    }
    if (entry.params.size() != count || !afx_detail::Fits(entry.result, member.vt)) {
        ThrowMapMismatch(member);
    }
    ScopedVariants args(count);  // in declaration order
    for (std::size_t i = 0; i < count; ++i) {
        const VARTYPE vt = member.params[i].vt;
        if (!afx_detail::Fits(entry.params[i], vt)) {
            ThrowMapMismatch(member);
        }
        const auto reverse = static_cast<UINT>(count - 1 - i);
        const HRESULT hr = ArgumentFor(params->rgvarg[reverse], vt, &args[i]);
        if (FAILED(hr)) {
            if (puArgErr != nullptr) {
                *puArgErr = reverse;
            }
            return hr;
        }
    }
    ScopedVariants scratch;  // the result when the caller wants none
    entry.pfnMethod(this, args.data(), result != nullptr ? result : &scratch[0], member.vt);
    return S_OK;
}

// ---- Events -------------------------------------------------------------------------------

HRESULT COleControl::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (ppCP == nullptr) {
        return E_POINTER;
    }
    *ppCP = nullptr;
    if (riid != m_pEventPoint->Interface() || GetEventMap().iface == nullptr) {
        return CONNECT_E_NOCONNECTION;
    }
    *ppCP = m_pEventPoint.get();
    m_pEventPoint->AddRef();
    return S_OK;
}

const MemberInfo& COleControl::FindEvent(DISPID dispid, std::size_t argCount) const {
    const DispInterfaceInfo* events = GetEventMap().iface;
    const MemberInfo* event = events != nullptr ? FindMemberById(*events, dispid) : nullptr;
    if (event == nullptr || event->params.size() != argCount) {
        throw COleException(E_INVALIDARG);
    }
    return *event;
}

void COleControl::FireEventArgs(DISPID dispid, VARIANT* reversedArgs, UINT count) {
    if (AreEventsFrozen()) {
        return;  // dropped: a frozen container is not told later either
    }
    m_pEventPoint->Fire(dispid, reversedArgs, count);
}

HRESULT COleControl::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    std::vector<IConnectionPoint*> points;
    if (GetEventMap().iface != nullptr) {
        points.push_back(m_pEventPoint.get());
    }
    *ppEnum = new SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*>(
        std::move(points), static_cast<IConnectionPointContainer*>(this));
    return S_OK;
}

HRESULT COleControl::FreezeEvents(BOOL bFreeze) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (bFreeze) {
        ++m_nFreezeEvents;
    } else if (m_nFreezeEvents > 0) {
        --m_nFreezeEvents;
    }
    OnFreezeEvents(bFreeze);
    return S_OK;
}

void COleControl::OnFreezeEvents(BOOL) {}

// ---- Class information and persistence ----------------------------------------------------

HRESULT COleControl::GetClassInfo(ITypeInfo** ppTI) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (ppTI == nullptr) {
        return E_POINTER;
    }
    *ppTI = nullptr;
    CLSID clsid{};
    GetClassID(&clsid);
#ifdef _WIN32
    return ModuleTypeInfo(clsid, ppTI);
#else
    for (const CoClassInfo* coclass : GetTypeLib().coclasses) {
        if (coclass->clsid == clsid) {
            return CreateTypeInfo(GetTypeLib(), nullptr, coclass, static_cast<IDispatch*>(this),
                                  ppTI);
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
#endif
}

HRESULT COleControl::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
    if (pGUID == nullptr) {
        return E_POINTER;
    }
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *pGUID = IID_NULL;
        return E_INVALIDARG;
    }
    *pGUID = m_pEventPoint->Interface();
    return S_OK;
}

HRESULT COleControl::Persist(CPropExchange::Mode mode, IPropertyBag* bag) {
    AFX_MANAGE_STATE(m_pModuleState);
    try {
        if (mode == CPropExchange::Mode::Reset) {
            OnResetState();
        } else {
            CPropExchange px(mode, bag);
            DoPropExchange(&px);
        }
    } catch (const COleException& e) {
        return e.m_sc;
    } catch (const COleDispatchException& e) {
        return e.m_scError != 0 ? e.m_scError : E_FAIL;
    }
    return S_OK;
}

HRESULT COleControl::InitNew() {
    return Persist(CPropExchange::Mode::Reset, nullptr);
}

HRESULT COleControl::Load(IPropertyBag* pPropBag, IErrorLog*) {
    if (pPropBag == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = Persist(CPropExchange::Mode::Load, pPropBag);
    if (SUCCEEDED(hr)) {
        SetModifiedFlag(FALSE);
        InvalidateControl();
    }
    return hr;
}

HRESULT COleControl::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
    if (pPropBag == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = Persist(CPropExchange::Mode::Save, pPropBag);
    if (SUCCEEDED(hr) && fClearDirty) {
        SetModifiedFlag(FALSE);
    }
    return hr;
}

void COleControl::DoPropExchange(CPropExchange* pPX) {
    ExchangeExtent(pPX);
}

void COleControl::OnResetState() {
    CPropExchange px(CPropExchange::Mode::Reset, nullptr);
    DoPropExchange(&px);
}

BOOL COleControl::ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert) {
    return pPX->ExchangeVersion(m_dwVersionLoaded, dwVersionDefault, bConvert);
}

BOOL COleControl::ExchangeExtent(CPropExchange* pPX) {
    if (pPX->GetMode() == CPropExchange::Mode::Reset) {
        return TRUE;  // a reset keeps the size
    }
    LONG cx = AfxPixelsToHimetric(m_cxExtent);
    LONG cy = AfxPixelsToHimetric(m_cyExtent);
    const LONG cxDefault = AfxPixelsToHimetric(m_cxInitial);
    const LONG cyDefault = AfxPixelsToHimetric(m_cyInitial);
    if (!PX_Long(pPX, "_ExtentX", cx, cxDefault) || !PX_Long(pPX, "_ExtentY", cy, cyDefault)) {
        return FALSE;
    }
    if (pPX->IsLoading()) {
        SetControlSize(AfxHimetricToPixels(cx), AfxHimetricToPixels(cy));
    }
    return TRUE;
}

// ---- IOleObject and property pages --------------------------------------------------------

HRESULT COleControl::SetClientSite(IOleClientSite* pClientSite) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (pClientSite == nullptr && m_hWnd != nullptr) {
        InPlaceDeactivate();  // the site, and the window the control lives in, go away
    }
    m_pClientSite = ComPtr<IOleClientSite>(pClientSite);
    return S_OK;
}

HRESULT COleControl::OnProperties() {
    const ComPtr<IOleControlSite> site = m_pClientSite.As<IOleControlSite>();
    const HRESULT hr = site ? site->ShowPropertyFrame() : E_NOTIMPL;
#ifdef _WIN32
    if (FAILED(hr)) {
        return ShowOwnPropertyFrame();
    }
#endif
    return hr;
}

HRESULT COleControl::GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (pdwStatus == nullptr) {
        return E_POINTER;
    }
    *pdwStatus = dwAspect == DVASPECT_CONTENT ? GetMiscStatus() : 0;
    return S_OK;
}

HRESULT COleControl::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (psizel == nullptr) {
        return E_POINTER;
    }
    if (dwDrawAspect != DVASPECT_CONTENT) {
        return E_INVALIDARG;
    }
    return SetControlSize(AfxHimetricToPixels(psizel->cx), AfxHimetricToPixels(psizel->cy))
               ? S_OK
               : E_INVALIDARG;
}

HRESULT COleControl::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    if (psizel == nullptr) {
        return E_POINTER;
    }
    if (dwDrawAspect != DVASPECT_CONTENT) {
        return E_INVALIDARG;
    }
    psizel->cx = AfxPixelsToHimetric(m_cxExtent);
    psizel->cy = AfxPixelsToHimetric(m_cyExtent);
    return S_OK;
}

HRESULT COleControl::GetPages(CAUUID* pPages) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (pPages == nullptr) {
        return E_POINTER;
    }
    const std::span<const CLSID> pages = GetPropPageIDs();
    pPages->cElems = 0;
    pPages->pElems = nullptr;
    if (pages.empty()) {
        return S_OK;
    }
    auto* elems = static_cast<GUID*>(CoTaskMemAlloc(pages.size() * sizeof(GUID)));
    if (elems == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(elems, pages.data(), pages.size() * sizeof(GUID));
    pPages->cElems = static_cast<ULONG>(pages.size());
    pPages->pElems = elems;
    return S_OK;
}

std::span<const CLSID> COleControl::GetPropPageIDs() {
    return {};
}

// ---- Window seam, size and errors ---------------------------------------------------------

void COleControl::OnDraw(CDC*, const CRect&, const CRect&) {}
void COleControl::OnLButtonDown(UINT nFlags, CPoint point) {
    CWnd::OnLButtonDown(nFlags, point);
}
void COleControl::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
}
void COleControl::OnTimer(UINT_PTR nIDEvent) {
    CWnd::OnTimer(nIDEvent);
}
void COleControl::OnDestroy() {
    CWnd::OnDestroy();
}

void COleControl::InvalidateControl(LPCRECT lpRect, BOOL bErase) {
    const CRect rect = lpRect != nullptr ? CRect(*lpRect) : CRect(0, 0, m_cxExtent, m_cyExtent);
    m_invalidations.push_back({rect, bErase});
    if (m_hWnd != nullptr) {
        ::InvalidateRect(m_hWnd, lpRect, bErase);
    }
    if (m_pViewAdviseSink && (m_viewAdviseAspects & DVASPECT_CONTENT) != 0) {
        const ComPtr<IAdviseSink> sink = m_pViewAdviseSink;  // it may drop itself meanwhile
        sink->OnViewChange(DVASPECT_CONTENT, -1);
    }
}

std::vector<COleControl::Invalidation> COleControl::TakeInvalidations() {
    std::vector<Invalidation> taken;
    taken.swap(m_invalidations);
    return taken;
}

void COleControl::SetInitialSize(int cx, int cy) {
    m_cxInitial = cx;
    m_cyInitial = cy;
    m_cxExtent = cx;
    m_cyExtent = cy;
}

void COleControl::GetControlSize(int* pcx, int* pcy) const {
    *pcx = m_cxExtent;
    *pcy = m_cyExtent;
}

BOOL COleControl::SetControlSize(int cx, int cy) {
    if (cx < 0 || cy < 0) {
        return FALSE;
    }
    if (m_bConstructing) {
        SetInitialSize(cx, cy);  // no container has seen the control yet
        return TRUE;
    }
    if (cx != m_cxExtent || cy != m_cyExtent) {
        m_cxExtent = cx;
        m_cyExtent = cy;
        SetModifiedFlag();
        if (m_hWnd != nullptr) {
            SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (m_pInPlaceSite) {
                RECT position;
                ::GetWindowRect(m_hWnd, &position);
                ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&position),
                                  2);
                m_pInPlaceSite->OnPosRectChange(&position);
            }
        }
    }
    return TRUE;
}

void COleControl::SetNotSupported() {
    ThrowError(CTL_E_SETNOTSUPPORTED);
}

void COleControl::GetNotSupported() {
    ThrowError(CTL_E_GETNOTSUPPORTED);
}

void COleControl::ThrowError(SCODE sc, LPCSTR pszDescription, UINT nHelpID) {
    std::string description;
    if (pszDescription != nullptr) {
        description = pszDescription;
    } else if (sc == CTL_E_SETNOTSUPPORTED) {
        description = "Property is read-only";
    } else if (sc == CTL_E_GETNOTSUPPORTED) {
        description = "Property is write-only";
    } else {
        description = HResultText(sc);
    }
    COleDispatchException e(description, nHelpID, 0);
    e.m_scError = sc;
    throw e;
}

// ---- IOleControl ----------------------------------------------------------------------

HRESULT COleControl::GetControlInfo(CONTROLINFO* pCI) {
    if (pCI == nullptr) {
        return E_POINTER;
    }
    if (pCI->cb != sizeof(CONTROLINFO)) {
        return E_INVALIDARG;
    }
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

HRESULT COleControl::OnMnemonic(MSG*) {
    return S_OK;
}

HRESULT COleControl::OnAmbientPropertyChange(DISPID dispID) {
    AFX_MANAGE_STATE(m_pModuleState);
    OnAmbientPropertyChanged(dispID);
    InvalidateControl();
    return S_OK;
}

void COleControl::OnAmbientPropertyChanged(DISPID) {}

// ---- Members a container of this system does not call -----------------------------------

// The site with a reference, as Windows containers expect when they ask for it back.
HRESULT COleControl::GetClientSite(IOleClientSite** ppClientSite) {
    if (ppClientSite == nullptr) {
        return E_POINTER;
    }
    *ppClientSite = m_pClientSite.Get();
    if (*ppClientSite != nullptr) {
        (*ppClientSite)->AddRef();
    }
    return S_OK;
}

// The names only title windows of an open (not in-place) object, which a control has not.
HRESULT COleControl::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT COleControl::Close(DWORD dwSaveOption) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (dwSaveOption == OLECLOSE_SAVEIFDIRTY && IsModified() && m_pClientSite) {
        m_pClientSite->SaveObject();  // a container that keeps no document declines
    }
    const HRESULT hr = InPlaceDeactivate();
    // The sinks may unadvise while they are told.
    const std::vector<AdviseConnection> told = m_adviseConnections;
    for (const AdviseConnection& connection : told) {
        connection.sink->OnClose();
    }
    m_pViewAdviseSink = nullptr;
    return hr;
}

HRESULT COleControl::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT COleControl::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk != nullptr) {
        *ppmk = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT COleControl::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT COleControl::GetClipboardData(DWORD, IDataObject** ppDataObject) {
    if (ppDataObject != nullptr) {
        *ppDataObject = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT COleControl::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
    if (ppEnumOleVerb != nullptr) {
        *ppEnumOleVerb = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT COleControl::Update() {
    return E_NOTIMPL;
}

HRESULT COleControl::IsUpToDate() {
    return E_NOTIMPL;
}

// The user class is the control's own class.
HRESULT COleControl::GetUserClassID(CLSID* pClsid) {
    if (pClsid == nullptr) {
        return E_POINTER;
    }
    return GetClassID(pClsid);
}

HRESULT COleControl::GetUserType(DWORD, LPOLESTR* pszUserType) {
    if (pszUserType != nullptr) {
        *pszUserType = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT COleControl::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) {
    if (pdwConnection == nullptr) {
        return E_INVALIDARG;
    }
    *pdwConnection = 0;
    if (pAdvSink == nullptr) {
        return E_INVALIDARG;
    }
    const DWORD cookie = m_nextAdviseCookie++;
    m_adviseConnections.push_back({cookie, ComPtr<IAdviseSink>(pAdvSink)});
    *pdwConnection = cookie;
    return S_OK;
}

HRESULT COleControl::Unadvise(DWORD dwConnection) {
    for (auto it = m_adviseConnections.begin(); it != m_adviseConnections.end(); ++it) {
        if (it->cookie == dwConnection) {
            const ComPtr<IAdviseSink> released = std::move(it->sink);
            m_adviseConnections.erase(it);
            return S_OK;
        }
    }
    return OLE_E_NOCONNECTION;
}

HRESULT COleControl::EnumAdvise(IEnumSTATDATA** ppenumAdvise) {
    if (ppenumAdvise == nullptr) {
        return E_POINTER;
    }
    std::vector<STATDATA> connections;
    for (const AdviseConnection& connection : m_adviseConnections) {
        STATDATA data{};
        data.formatetc.dwAspect = DVASPECT_CONTENT;
        data.formatetc.lindex = -1;
        data.pAdvSink = connection.sink.Get();
        data.dwConnection = connection.cookie;
        connections.push_back(data);
    }
    *ppenumAdvise = new SnapshotEnum<IEnumSTATDATA, STATDATA>(std::move(connections), nullptr);
    return S_OK;
}

HRESULT COleControl::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}
