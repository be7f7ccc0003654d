// The property page, its dialog template and its factory's registration.
#include "control/tolvan_prop_page.h"

#include "control/tolvan_ids.h"
#include "platform/afx/ole_registration.h"

namespace tolvan {

namespace {

constexpr int IDC_STATIC = -1;

constexpr DialogItem kPropPageItems[] = {
    {"LTEXT", "No property pages available.", IDC_STATIC, 74, 24, 97, 16},
};

}  // namespace

constexpr DialogResource kPropPageDialog{
    IDD_PROPPAGE_TOLVAN, 250, 62, "WS_CHILD", "MS Sans Serif", 8, kPropPageItems};

CTolvanPropPage::CTolvanPropPage()
    : COlePropertyPage(IDD_PROPPAGE_TOLVAN, IDS_TOLVAN_PPG_CAPTION) {}

HRESULT CTolvanPropPage::GetClassID(CLSID* pClassID) {
    if (pClassID == nullptr) {
        return E_POINTER;
    }
    *pClassID = CLSID_TolvanPropPage;
    return S_OK;
}

void CTolvanPropPage::DoDataExchange(CDataExchange* pDX) {
    DDP_PostProcessing(pDX);
}

SIZE CTolvanPropPage::GetDialogSize() const {
    return {kPropPageDialog.cx, kPropPageDialog.cy};
}

CTolvanPropPage::CTolvanPropPageFactory::CTolvanPropPageFactory()
    : COleObjectFactory(CLSID_TolvanPropPage, &AfxCreateObject<CTolvanPropPage>, FALSE,
                        kPropPageProgId) {}

BOOL CTolvanPropPage::CTolvanPropPageFactory::UpdateRegistry(BOOL bRegister) {
    if (bRegister) {
        return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, IDS_TOLVAN_PPG);
    }
    return AfxOleUnregisterClass(m_clsid, nullptr);
}

}  // namespace tolvan
