// COleControl's window: in-place activation in the container's window, painting through
// OnDraw, the message map that brings mouse, timer and destroy messages to the control's
// handlers, windowless drawing (IViewObject), the size of the window, and the ambient
// properties read from the client site.
#include <cmath>

#include "platform/afx/ole_control.h"
#include "platform/afx/window_dc.h"
#include "platform/gdi.h"
#include "platform/std_font.h"

BEGIN_MESSAGE_MAP(COleControl, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

HRESULT COleControl::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND hwndParent,
                            LPCRECT lprcPosRect) {
    AFX_MANAGE_STATE(m_pModuleState);
    switch (iVerb) {
        case OLEIVERB_PROPERTIES:
            return OnProperties();
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(pActiveSite, hwndParent, lprcPosRect);
        case OLEIVERB_HIDE:
            if (m_hWnd != nullptr) {
                ShowWindow(SW_HIDE);
            }
            return S_OK;
        default:
            return E_NOTIMPL;
    }
}

HRESULT COleControl::InPlaceActivate(IOleClientSite* pActiveSite, HWND hwndParent,
                                     LPCRECT lprcPosRect) {
    if (m_hWnd != nullptr) {
        if (lprcPosRect != nullptr) {
            SetObjectRects(lprcPosRect, nullptr);
        }
        ShowWindow(SW_SHOWNA);
        return S_OK;
    }
    const ComPtr<IOleClientSite> site =
        pActiveSite != nullptr ? ComPtr<IOleClientSite>(pActiveSite) : m_pClientSite;
    ComPtr<IOleInPlaceSite> inPlaceSite = site ? site.As<IOleInPlaceSite>() : nullptr;
    if (inPlaceSite && (inPlaceSite->CanInPlaceActivate() != S_OK ||
                        (hwndParent == nullptr && FAILED(inPlaceSite->GetWindow(&hwndParent))))) {
        return E_FAIL;
    }
    if (hwndParent == nullptr) {
        return E_INVALIDARG;  // nowhere to show the control
    }
    const RECT position =
        lprcPosRect != nullptr ? *lprcPosRect : RECT{0, 0, m_cxExtent, m_cyExtent};
    if (!CreateEx(0, AfxFrameworkWindowClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE, position,
                  CWnd::FromHandle(hwndParent), 0)) {
        return E_FAIL;
    }
    m_cxExtent = position.right - position.left;
    m_cyExtent = position.bottom - position.top;
    m_pInPlaceSite = std::move(inPlaceSite);
    if (m_pInPlaceSite) {
        m_pInPlaceSite->OnInPlaceActivate();
    }
    return S_OK;
}

HRESULT COleControl::GetWindow(HWND* phwnd) {
    if (phwnd == nullptr) {
        return E_POINTER;
    }
    *phwnd = m_hWnd;
    return m_hWnd != nullptr ? S_OK : E_FAIL;
}

HRESULT COleControl::InPlaceDeactivate() {
    AFX_MANAGE_STATE(m_pModuleState);
    if (m_hWnd != nullptr) {
        DestroyWindow();
    }
    if (m_pInPlaceSite) {
        const ComPtr<IOleInPlaceSite> site = std::move(m_pInPlaceSite);
        m_pInPlaceSite = nullptr;
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

HRESULT COleControl::SetObjectRects(LPCRECT lprcPosRect, LPCRECT) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (lprcPosRect == nullptr) {
        return E_POINTER;
    }
    if (m_hWnd == nullptr) {
        return OLE_E_NOT_INPLACEACTIVE;
    }
    const RECT& r = *lprcPosRect;
    m_cxExtent = std::max<LONG>(0, r.right - r.left);
    m_cyExtent = std::max<LONG>(0, r.bottom - r.top);
    MoveWindow(r.left, r.top, m_cxExtent, m_cyExtent, TRUE);
    return S_OK;
}

HRESULT COleControl::Draw(DWORD dwDrawAspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw,
                          LPCRECTL lprcBounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                          ULONG_PTR) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (dwDrawAspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (hdcDraw == nullptr || lprcBounds == nullptr) {
        return E_INVALIDARG;
    }
    const CRect bounds(lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom);
    CDC dc;
    dc.Attach(hdcDraw);
    OnDraw(&dc, bounds, bounds);
    dc.Detach();
    return S_OK;
}

void COleControl::OnPaint() {
    CPaintDC dc(this);
    CRect bounds;
    GetClientRect(&bounds);
    OnDraw(&dc, bounds, CRect(dc.m_ps.rcPaint));
}

void COleControl::OnFinalRelease() {
    // The window goes while the whole object is alive, so its WM_DESTROY reaches OnDestroy.
    if (m_hWnd != nullptr) {
        InPlaceDeactivate();
    }
    CCmdTarget::OnFinalRelease();
}

BOOL COleControl::GetAmbientProperty(DISPID dispid, VARTYPE vtProp, void* pvProp) {
    const ComPtr<IDispatch> ambient = m_pClientSite ? m_pClientSite.As<IDispatch>() : nullptr;
    if (!ambient) {
        return FALSE;
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr =
        ambient->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    if (FAILED(hr)) {
        return FALSE;
    }
    VARIANT converted;
    VariantInit(&converted);
    hr = VariantChangeType(&converted, &value, 0, vtProp);
    VariantClear(&value);
    if (FAILED(hr)) {
        return FALSE;
    }
    switch (vtProp) {
        case VT_I4:
            *static_cast<LONG*>(pvProp) = converted.lVal;
            break;
        case VT_I2:
            *static_cast<SHORT*>(pvProp) = converted.iVal;
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(pvProp) = converted.boolVal != VARIANT_FALSE;
            break;
        case VT_BSTR:
            *static_cast<BSTR*>(pvProp) = converted.bstrVal;  // the caller frees it
            return TRUE;
        case VT_DISPATCH:
            *static_cast<IDispatch**>(pvProp) = converted.pdispVal;  // the caller releases it
            return TRUE;
        default:
            VariantClear(&converted);
            return FALSE;
    }
    VariantClear(&converted);
    return TRUE;
}

OLE_COLOR COleControl::AmbientBackColor() {
    LONG color = 0;
    return GetAmbientProperty(DISPID_AMBIENT_BACKCOLOR, VT_I4, &color)
               ? static_cast<OLE_COLOR>(color)
               : GetSysColor(COLOR_WINDOW);
}

OLE_COLOR COleControl::AmbientForeColor() {
    LONG color = 0;
    return GetAmbientProperty(DISPID_AMBIENT_FORECOLOR, VT_I4, &color)
               ? static_cast<OLE_COLOR>(color)
               : GetSysColor(COLOR_WINDOWTEXT);
}

LPFONTDISP COleControl::AmbientFont() {
    IDispatch* font = nullptr;
    // A font object's dispatch interface is its IFontDisp (which adds no members).
    if (GetAmbientProperty(DISPID_AMBIENT_FONT, VT_DISPATCH, &font) && font != nullptr) {
        return static_cast<LPFONTDISP>(font);
    }
    // The common containers' default ambient font.
    OLECHAR face[] = WSTR("MS Sans Serif");
    FONTDESC desc{
        sizeof(FONTDESC), face, CY{82500}, static_cast<SHORT>(FW_NORMAL), 0, FALSE, FALSE, FALSE};
    OleCreateFontIndirect(&desc, IID_IDispatch, reinterpret_cast<void**>(&font));
    return static_cast<LPFONTDISP>(font);
}

COLORREF COleControl::TranslateColor(OLE_COLOR clrColor, HPALETTE hpal) {
    COLORREF color = 0;
    OleTranslateColor(clrColor, hpal, &color);
    return color;
}

// ---- Members a container of this system does not call -----------------------------------

HRESULT COleControl::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

// The control has no UI-active state beyond being active in place: nothing to leave.
HRESULT COleControl::UIDeactivate() {
    return S_OK;
}

HRESULT COleControl::ReactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT COleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                 LOGPALETTE** ppColorSet) {
    if (ppColorSet != nullptr) {
        *ppColorSet = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT COleControl::Freeze(DWORD, LONG, void*, DWORD* pdwFreeze) {
    if (pdwFreeze != nullptr) {
        *pdwFreeze = 0;
    }
    return E_NOTIMPL;
}

HRESULT COleControl::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT COleControl::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) {
    if ((aspects & DVASPECT_CONTENT) == 0 && pAdvSink != nullptr) {
        return DV_E_DVASPECT;
    }
    m_pViewAdviseSink = ComPtr<IAdviseSink>(pAdvSink);
    m_viewAdviseAspects = pAdvSink != nullptr ? aspects : 0;
    m_viewAdviseFlags = pAdvSink != nullptr ? advf : 0;
    return S_OK;
}

HRESULT COleControl::GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) {
    if (pAspects != nullptr) {
        *pAspects = m_viewAdviseAspects;
    }
    if (pAdvf != nullptr) {
        *pAdvf = m_viewAdviseFlags;
    }
    if (ppAdvSink != nullptr) {
        *ppAdvSink = m_pViewAdviseSink.Get();
        if (*ppAdvSink != nullptr) {
            (*ppAdvSink)->AddRef();
        }
    }
    return S_OK;
}

HRESULT COleControl::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE*, LPSIZEL lpsizel) {
    if (lpsizel == nullptr) {
        return E_POINTER;
    }
    if (dwDrawAspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    return GetExtent(dwDrawAspect, lpsizel);
}

HRESULT COleControl::TranslateAccelerator(MSG*) {
    return S_FALSE;
}

HRESULT COleControl::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT COleControl::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT COleControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT COleControl::EnableModeless(BOOL) {
    return S_OK;
}
