// COleObjectFactory: a module's class factory for one class. Factories are static objects of
// the module; each adds itself to the module state when constructed, so that DllGetClassObject
// (AfxDllGetClassObject) finds it and UpdateRegistryAll reaches it.
#pragma once

#include "platform/afx/cmd_target.h"

class COleObjectFactory : public IClassFactory {
  public:
    // `create` makes a new object with one reference (AfxCreateObject<T>). `bMultiInstance`
    // is kept for the registration shape; in-process servers ignore it. `lpszProgID` may be
    // null.
    COleObjectFactory(REFCLSID clsid, CCmdTarget* (*create)(), BOOL bMultiInstance,
                      LPCSTR lpszProgID);
    virtual ~COleObjectFactory();
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    // IClassFactory. The factory is static: AddRef and Release only count. CreateInstance
    // gives CLASS_E_NOAGGREGATION for an outer object and E_NOINTERFACE (with the new object
    // destroyed) when it lacks `riid`. LockServer counts in the module state.
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT LockServer(BOOL fLock) override;

    // Writes (TRUE) or removes (FALSE) the class's registry entries; TRUE on success. The base
    // registers a plain in-process server (CLSID with InprocServer32 and the ProgID) and
    // removes it with AfxOleUnregisterClass.
    virtual BOOL UpdateRegistry(BOOL bRegister);

    // UpdateRegistry of every factory of the current module, in construction order; stops at
    // and reports the first failure (FALSE).
    static BOOL UpdateRegistryAll(BOOL bRegister);

    REFCLSID GetClassID() const { return m_clsid; }
    LPCSTR GetProgID() const { return m_lpszProgID; }

  protected:
    CLSID m_clsid;
    LPCSTR m_lpszProgID;
    BOOL m_bMultiInstance;

  private:
    CCmdTarget* (*m_pfnCreate)();
    AFX_MODULE_STATE* m_pModuleState;
    ULONG m_dwRef = 0;
};

// The creation function a factory takes: a new T, as the CCmdTarget it derives from, told
// that its construction is over.
template <class T>
CCmdTarget* AfxCreateObject() {
    T* object = new T;
    object->OnFinalConstruct();
    return object;
}

// The factory of the current module for `clsid`, asked for `riid`. CLASS_E_CLASSNOTAVAILABLE
// for a class the module does not serve.
HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// S_OK when the current module has no live objects and no server locks, else S_FALSE.
HRESULT AfxDllCanUnloadNow();
