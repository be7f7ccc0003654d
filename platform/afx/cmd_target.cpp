// Reference counting and module object counting of framework COM objects.
#include "platform/afx/cmd_target.h"

CCmdTarget::CCmdTarget() : m_pModuleState(AfxGetModuleState()) {
    AfxOleLockApp();
}

CCmdTarget::~CCmdTarget() {
    AFX_MANAGE_STATE(m_pModuleState);
    AfxOleUnlockApp();
}

ULONG CCmdTarget::ExternalAddRef() {
    return ++m_dwRef;
}

ULONG CCmdTarget::ExternalRelease() {
    const ULONG left = --m_dwRef;
    if (left == 0) {
        AFX_MANAGE_STATE(m_pModuleState);
        OnFinalRelease();
    }
    return left;
}

void* CCmdTarget::GetInterface(REFIID) {
    return nullptr;
}

HRESULT CCmdTarget::ExternalQueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = GetInterface(riid);
    if (*ppv == nullptr) {
        return E_NOINTERFACE;
    }
    ExternalAddRef();
    return S_OK;
}

void CCmdTarget::OnFinalRelease() {
    delete this;
}
