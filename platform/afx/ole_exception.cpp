// Raising automation exceptions and converting them to and from EXCEPINFO.
#include "platform/afx/ole_exception.h"

#include <cstring>

#include "platform/afx/module_state.h"

void AfxThrowOleException(SCODE sc) {
    throw COleException(sc);
}

void AfxThrowOleDispatchException(WORD wCode, LPCSTR description, UINT helpId) {
    throw COleDispatchException(description != nullptr ? description : "", helpId, wCode);
}

void AfxFillExcepInfo(const COleDispatchException& e, EXCEPINFO* info) {
    if (info == nullptr) {
        return;
    }
    std::memset(info, 0, sizeof *info);
    info->wCode = e.m_wCode;
    info->scode = e.m_wCode != 0 ? 0 : e.m_scError;
    info->bstrDescription = BstrFromUtf8(e.m_strDescription);
    info->bstrSource = BstrFromUtf8(e.m_strSource.empty() ? AfxGetAppName() : e.m_strSource);
    if (!e.m_strHelpFile.empty()) {
        info->bstrHelpFile = BstrFromUtf8(e.m_strHelpFile);
    }
    info->dwHelpContext = e.m_dwHelpContext;
}

void AfxFillExcepInfo(const COleException& e, EXCEPINFO* info) {
    if (info == nullptr) {
        return;
    }
    std::memset(info, 0, sizeof *info);
    info->scode = e.m_sc;
    info->bstrDescription = BstrFromUtf8(HResultMessage(e.m_sc));
    info->bstrSource = BstrFromUtf8(AfxGetAppName());
}

void AfxThrowInvokeFailure(HRESULT hr, EXCEPINFO* info) {
    if (hr != DISP_E_EXCEPTION || info == nullptr) {
        throw COleException(hr);
    }
    if (info->pfnDeferredFillIn != nullptr) {
        info->pfnDeferredFillIn(info);
    }
    COleDispatchException e(BstrToUtf8(info->bstrDescription), info->dwHelpContext, info->wCode);
    e.m_scError = info->wCode != 0 ? 0 : info->scode;
    e.m_strSource = BstrToUtf8(info->bstrSource);
    e.m_strHelpFile = BstrToUtf8(info->bstrHelpFile);
    ClearExcepInfo(info);
    throw e;
}
