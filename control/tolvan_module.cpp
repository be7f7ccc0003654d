// Tolvan.OCX: the module object, the two class factories and the four exports. Loading the
// module constructs, in this order, its resources' declaration, the module object, the
// control's factory and the property page's factory; unloading destroys them in reverse.
#include "control/string_table.h"
#include "control/tolvan_ctrl.h"
#include "control/tolvan_ids.h"
#include "control/tolvan_prop_page.h"
#include "control/tolvan_type_library.h"
#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_registration.h"

namespace tolvan {

namespace {

// The type library and the string tables, as a Windows module carries them in its resources.
[[maybe_unused]] const bool resourcesDeclared = [] {
    AfxSetModuleResources(&kTolvanLib, &LoadTolvanString);
    return true;
}();

// The module object. It passes no name, so the base keeps none: where a name is needed (an
// error's source), AfxGetAppName takes the module file's, "Tolvan". Its InitInstance and
// ExitInstance are the base's.
class CTolvanApp : public COleControlModule {};

CTolvanApp theApp;

}  // namespace

CTolvanCtrl::CTolvanCtrlFactory CTolvanCtrl::factory;
CTolvanPropPage::CTolvanPropPageFactory CTolvanPropPage::factory;

}  // namespace tolvan

using namespace tolvan;

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxDllGetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxDllCanUnloadNow();
}

// The type library first, then every class; a failure of either step is reported with its
// self-registration code and stops there.
STDAPI DllRegisterServer() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), kLibId, nullptr, nullptr)) {
        return SELFREG_E_TYPELIB;
    }
    if (!COleObjectFactory::UpdateRegistryAll(TRUE)) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!AfxOleUnregisterTypeLib(kLibId, kLibVersionMajor, kLibVersionMinor, 0)) {
        return SELFREG_E_TYPELIB;
    }
    if (!COleObjectFactory::UpdateRegistryAll(FALSE)) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}
