// The exports of the test control module TestCtl.OCX: class objects, unloading, and
// self-registration in the order a control module uses (type library, then the classes).
#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_object_factory.h"
#include "platform/afx/ole_registration.h"
#include "tests/com/test_control/test_control_types.h"

namespace {

class CTestApp : public COleControlModule {};

CTestApp theApp;

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxDllGetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxDllCanUnloadNow();
}

STDAPI DllRegisterServer() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), test_control::kLibId)) {
        return SELFREG_E_TYPELIB;
    }
    if (!COleObjectFactory::UpdateRegistryAll(TRUE)) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!AfxOleUnregisterTypeLib(test_control::kLibId, 1, 0, 0)) {
        return SELFREG_E_TYPELIB;
    }
    if (!COleObjectFactory::UpdateRegistryAll(FALSE)) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}
