// COleControlModule: the one application object of a control module, a static object. It makes
// itself the module's application (AFX_MODULE_STATE::m_pCurrentWinApp) when the module is
// loaded. InitInstance runs once, at the module's first entry (DllGetClassObject or
// registration, through AfxInitModule); ExitInstance runs when the module is unloaded or the
// program ends, before the object is destroyed.
#pragma once

#include <string>

#include "platform/afx/module_state.h"

class COleControlModule {
  public:
    // `appName` may be null: the module's file name (without extension) names it.
    explicit COleControlModule(LPCSTR appName = nullptr);
    virtual ~COleControlModule();
    COleControlModule(const COleControlModule&) = delete;
    COleControlModule& operator=(const COleControlModule&) = delete;

    // TRUE to go on; the bases do nothing else.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const std::string& GetAppName() const { return m_appName; }

  private:
    std::string m_appName;
};

// The module's application object, or null.
COleControlModule* AfxGetApp();

// Runs the application's InitInstance the first time it is called; FALSE when it failed.
BOOL AfxInitModule();
