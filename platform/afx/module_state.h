// Module state: what the framework keeps per module (its load address, its class factories,
// its live objects and server locks, its type library and string resources), and the
// per-thread switch that makes a module's state current for the duration of an entry point.
//
// Every module that links the framework has its own copy of it and so its own state. Entry
// points (exports, IDispatch and the other COM members of framework objects) switch to it
// with AFX_MANAGE_STATE and switch back on every exit, exceptions included.
#pragma once

#include <vector>

#include "platform/com.h"

struct TypeLibInfo;
class COleObjectFactory;
class COleControlModule;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;  // the module's load address
    COleControlModule* m_pCurrentWinApp = nullptr;
    std::vector<COleObjectFactory*> m_factoryList;  // in construction order
    long m_nObjectCount = 0;                        // live framework COM objects (AfxOleLockApp)
    long m_nLockCount = 0;  // IClassFactory::LockServer(TRUE) not yet undone
    // Resources of the module (AfxSetModuleResources); null until set.
    const TypeLibInfo* m_pTypeLib = nullptr;
    const char* (*m_pfnLoadString)(UINT id) = nullptr;
};

// The state current on this thread: the state of the module whose entry point is running,
// else this module's own state.
AFX_MODULE_STATE* AfxGetModuleState();

// This module's own state (created on first use, with the module's load address).
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Makes `state` current until destruction, then restores the previous one.
class AFX_MAINTAIN_STATE2 {
  public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

  private:
    AFX_MODULE_STATE* previous_;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 afxManageState_(p)

// The current module's load address.
HINSTANCE AfxGetInstanceHandle();

// Counts a live object in the current module state / uncounts it.
void AfxOleLockApp();
void AfxOleUnlockApp();

// True when the current module has no live objects and no server locks.
BOOL AfxOleCanExitApp();

// Declares the module's type library and string table (the resources a Windows module
// carries). `loadString` returns the text of a string id, or null when there is none.
void AfxSetModuleResources(const TypeLibInfo* typeLib, const char* (*loadString)(UINT id));

// The text of string resource `id` of the current module; false when it has none.
bool AfxLoadString(UINT id, std::string* text);

// The full path of module `instance`; "" when unknown.
std::string AfxGetModuleFileName(HINSTANCE instance);

// The module's name for messages: its file name without folder and extension.
std::string AfxGetAppName();

// The export declaration of a module's entry points: C linkage, visible from outside the
// module (everything else in a module is hidden). Windows has its own, and the module's .def
// file names the exports there.
#ifndef _WIN32
#define STDAPI extern "C" __attribute__((visibility("default"))) HRESULT
#endif
