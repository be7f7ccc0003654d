// Per-module framework state and the per-thread current-state switch.
#include "platform/afx/module_state.h"

#include "platform/afx/ole_control_module.h"

#ifdef _WIN32
#include "platform/text_conversion.h"
#endif

namespace {

thread_local AFX_MODULE_STATE* currentState = nullptr;

}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    static AFX_MODULE_STATE state = [] {
        AFX_MODULE_STATE s;
        s.m_hCurrentInstanceHandle =
            ModuleFromAddress(reinterpret_cast<const void*>(&AfxGetStaticModuleState));
        return s;
    }();
    return &state;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    return currentState != nullptr ? currentState : AfxGetStaticModuleState();
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : previous_(currentState) {
    currentState = state;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    currentState = previous_;
}

HINSTANCE AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

void AfxOleLockApp() {
    ++AfxGetModuleState()->m_nObjectCount;
}

void AfxOleUnlockApp() {
    --AfxGetModuleState()->m_nObjectCount;
}

BOOL AfxOleCanExitApp() {
    const AFX_MODULE_STATE* state = AfxGetModuleState();
    return state->m_nObjectCount == 0 && state->m_nLockCount == 0;
}

void AfxSetModuleResources(const TypeLibInfo* typeLib, const char* (*loadString)(UINT id)) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_pTypeLib = typeLib;
    state->m_pfnLoadString = loadString;
}

bool AfxLoadString(UINT id, std::string* text) {
    const AFX_MODULE_STATE* state = AfxGetModuleState();
    const char* found = state->m_pfnLoadString != nullptr ? state->m_pfnLoadString(id) : nullptr;
    if (found == nullptr) {
        return false;
    }
    *text = found;
    return true;
}

std::string AfxGetModuleFileName(HINSTANCE instance) {
#ifdef _WIN32
    // The wide name in UTF-8 (the A form would give the ANSI code page's); a path cut short
    // would name another file, so it counts as unknown.
    WCHAR path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) {
        return std::string();
    }
    return Utf16ToUtf8(WideStringView(path, length));
#else
    char path[4096];
    return GetModuleFileNameA(instance, path, sizeof path) > 0 ? std::string(path) : std::string();
#endif
}

std::string AfxGetAppName() {
    const COleControlModule* app = AfxGetModuleState()->m_pCurrentWinApp;
    if (app != nullptr && !app->GetAppName().empty()) {
        return app->GetAppName();
    }
    std::string name = AfxGetModuleFileName(AfxGetInstanceHandle());
#ifdef _WIN32
    const std::size_t slash = name.find_last_of("\\/");
#else
    const std::size_t slash = name.rfind('/');
#endif
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}
