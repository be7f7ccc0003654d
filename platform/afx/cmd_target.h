// CCmdTarget: the base of the framework's COM objects. It counts references (starting at 1
// for the creator), counts itself as a live object of the current module while it exists
// (so that DllCanUnloadNow answers S_FALSE), and deletes itself on the last release.
#pragma once

#include <atomic>

#include "platform/afx/module_state.h"

class CCmdTarget {
  public:
    CCmdTarget();
    virtual ~CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Reference counting for the object's interfaces. The count starts at 1.
    ULONG ExternalAddRef();
    ULONG ExternalRelease();

    // The interface pointer for `riid` (without a reference added), or null. Derived classes
    // add theirs and end with the base's; the base answers nothing.
    virtual void* GetInterface(REFIID riid);

    // QueryInterface through GetInterface.
    HRESULT ExternalQueryInterface(REFIID riid, void** ppv);

    // Called on the last release; deletes the object.
    virtual void OnFinalRelease();

    // Called by the creation function (AfxCreateObject) once the object is fully constructed,
    // before any of its interfaces is handed out. The base does nothing.
    virtual void OnFinalConstruct() noexcept {}

    // The state of the module that created the object; its entry points switch to it.
    AFX_MODULE_STATE* m_pModuleState;

  protected:
    std::atomic<ULONG> m_dwRef{1};
};

// Implements IUnknown's three members of a class with several interfaces by forwarding to
// CCmdTarget. Use inside the class body.
#define AFX_DECLARE_IUNKNOWN()                                 \
    HRESULT QueryInterface(REFIID riid, void** ppv) override { \
        return ExternalQueryInterface(riid, ppv);              \
    }                                                          \
    ULONG AddRef() override {                                  \
        return ExternalAddRef();                               \
    }                                                          \
    ULONG Release() override {                                 \
        return ExternalRelease();                              \
    }
