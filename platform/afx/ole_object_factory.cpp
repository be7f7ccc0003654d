// Class factories of a module: creation, server locks, lookup and registration of all.
#include "platform/afx/ole_object_factory.h"

#include <algorithm>
#include <new>

#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_exception.h"
#include "platform/afx/ole_registration.h"

COleObjectFactory::COleObjectFactory(REFCLSID clsid, CCmdTarget* (*create)(), BOOL bMultiInstance,
                                     LPCSTR lpszProgID)
    : m_clsid(clsid),
      m_lpszProgID(lpszProgID),
      m_bMultiInstance(bMultiInstance),
      m_pfnCreate(create),
      m_pModuleState(AfxGetStaticModuleState()) {
    m_pModuleState->m_factoryList.push_back(this);
}

COleObjectFactory::~COleObjectFactory() {
    auto& list = m_pModuleState->m_factoryList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

HRESULT COleObjectFactory::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG COleObjectFactory::AddRef() {
    return ++m_dwRef;
}

ULONG COleObjectFactory::Release() {
    return m_dwRef > 0 ? --m_dwRef : 0;
}

HRESULT COleObjectFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    *ppvObject = nullptr;
    if (pUnkOuter != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    CCmdTarget* object = nullptr;
    try {
        object = m_pfnCreate();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const COleException& e) {
        return e.m_sc;
    }
    const HRESULT hr = object->ExternalQueryInterface(riid, ppvObject);
    object->ExternalRelease();  // the creator's reference; the interface keeps its own
    return hr;
}

HRESULT COleObjectFactory::LockServer(BOOL fLock) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (fLock) {
        ++m_pModuleState->m_nLockCount;
    } else if (m_pModuleState->m_nLockCount > 0) {
        --m_pModuleState->m_nLockCount;
    }
    return S_OK;
}

BOOL COleObjectFactory::UpdateRegistry(BOOL bRegister) {
    if (!bRegister) {
        return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
    }
    return AfxOleRegisterServerClass(m_clsid, m_lpszProgID);
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL bRegister) {
    // A copy: registration code may not add factories, but it must not invalidate the walk.
    if (!AfxInitModule()) {
        return FALSE;
    }
    const std::vector<COleObjectFactory*> factories = AfxGetModuleState()->m_factoryList;
    for (COleObjectFactory* factory : factories) {
        if (!factory->UpdateRegistry(bRegister)) {
            return FALSE;
        }
    }
    return TRUE;
}

HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!AfxInitModule()) {
        return E_UNEXPECTED;
    }
    for (COleObjectFactory* factory : AfxGetModuleState()->m_factoryList) {
        if (factory->GetClassID() == clsid) {
            return factory->QueryInterface(riid, ppv);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT AfxDllCanUnloadNow() {
    return AfxOleCanExitApp() ? S_OK : S_FALSE;
}
