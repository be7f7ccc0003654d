// The control module's application object and its once-only initialisation and exit.
#include "platform/afx/ole_control_module.h"

#include <cstdlib>

namespace {

COleControlModule* theApp = nullptr;
bool initialised = false;
BOOL initResult = TRUE;

// Registered while the application object is being constructed, so it runs (at unload or
// exit) before that object is destroyed.
void RunExitInstance() {
    if (theApp != nullptr && initialised) {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        theApp->ExitInstance();
    }
    initialised = false;
}

}  // namespace

COleControlModule::COleControlModule(LPCSTR appName)
    : m_appName(appName != nullptr ? appName : "") {
    AfxGetStaticModuleState()->m_pCurrentWinApp = this;
    theApp = this;
    std::atexit(RunExitInstance);
}

COleControlModule::~COleControlModule() {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this) {
        state->m_pCurrentWinApp = nullptr;
    }
    if (theApp == this) {
        theApp = nullptr;
    }
}

BOOL COleControlModule::InitInstance() {
    return TRUE;
}

int COleControlModule::ExitInstance() {
    return 0;
}

COleControlModule* AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}

BOOL AfxInitModule() {
    if (!initialised && theApp != nullptr) {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        initialised = true;
        initResult = theApp->InitInstance();
    }
    return initResult;
}
