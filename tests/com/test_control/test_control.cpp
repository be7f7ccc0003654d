// The test control, its property page, their factories and the module's string table.
#include "tests/com/test_control/test_control.h"

#include <cstdlib>

#include "platform/afx/ole_registration.h"

namespace test_control {

namespace {

// Declares the module's resources while the module loads.
[[maybe_unused]] const bool resourcesSet = [] {
    AfxSetModuleResources(&kTypeLib, &LoadTestString);
    return true;
}();

}  // namespace

const char* LoadTestString(UINT id) {
    switch (id) {
        case kIdsTypeName:
            return "Test Control";
        case kIdsPageTypeName:
            return std::getenv("TEST_CONTROL_HIDE_PAGE_NAME") != nullptr ? nullptr
                                                                         : "Test Property Page";
        case kIdsPageCaption:
            return "General";
        default:
            return nullptr;
    }
}

CTestCtrl::CTestCtrlFactory CTestCtrl::factory;
CTestPropPage::CTestPropPageFactory CTestPropPage::factory;

CTestCtrl::CTestCtrlFactory::CTestCtrlFactory()
    : COleObjectFactory(kControlClsid, &AfxCreateObject<CTestCtrl>, FALSE, kProgId) {}

BOOL CTestCtrl::CTestCtrlFactory::UpdateRegistry(BOOL bRegister) {
    if (bRegister) {
        return AfxOleRegisterControlClass(AfxGetInstanceHandle(), m_clsid, m_lpszProgID,
                                          kIdsTypeName, kIdbToolbox, afxRegApartmentThreading,
                                          kMiscStatus, kLibId, 1, 0);
    }
    return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
}

CTestPropPage::CTestPropPageFactory::CTestPropPageFactory()
    : COleObjectFactory(kPageClsid, &AfxCreateObject<CTestPropPage>, FALSE, kPageProgId) {}

BOOL CTestPropPage::CTestPropPageFactory::UpdateRegistry(BOOL bRegister) {
    if (bRegister) {
        return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, kIdsPageTypeName);
    }
    return AfxOleUnregisterClass(m_clsid, nullptr);
}

HRESULT CTestPropPage::GetClassID(CLSID* pClassID) {
    *pClassID = kPageClsid;
    return S_OK;
}

CTestCtrl::CTestCtrl() {
    InitializeIIDs(&kDispatchIid, &kEventsIid);
    SetInitialSize(80, 80);
}

CTestCtrl::~CTestCtrl() = default;

const AFX_DISPMAP& CTestCtrl::GetDispatchMap() const {
    static constexpr AFX_DISPMAP_ENTRY entries[] = {
        DispProperty<&CTestCtrl::GetCount, &CTestCtrl::SetCount>(kCount),
        DispProperty<&CTestCtrl::GetLabel, &CTestCtrl::SetLabel>(kLabel),
        DispProperty<&CTestCtrl::GetLevel, &CTestCtrl::SetLevel>(kLevel),
        DispProperty<&CTestCtrl::GetRatio, &CTestCtrl::SetRatio>(kRatio),
        DispProperty<&CTestCtrl::GetStamp, &CTestCtrl::SetStamp>(kStamp),
        DispProperty<&CTestCtrl::GetEnabled, &CTestCtrl::SetEnabled>(kEnabled),
        DispPropertyReadOnly<&CTestCtrl::GetSerial>(kSerial),
        DispProperty<&CTestCtrl::GetPartner, &CTestCtrl::SetPartner>(kPartner),
        DispFunction<&CTestCtrl::Add>(kAdd),
        DispFunction<&CTestCtrl::Append>(kAppend),
        DispFunction<&CTestCtrl::GetValues>(kGetValues),
        DispFunction<&CTestCtrl::Raise>(kRaise),
        DispFunction<&CTestCtrl::Fail>(kFail),
        DispFunction<&CTestCtrl::CallPartner>(kCallPartner),
        DispFunction<&CTestCtrl::ModuleStateIsCurrent>(kModuleStateIsCurrent),
        DispFunction<&CTestCtrl::SetPartnerRef>(kSetPartnerRef),
        DispFunction<&CTestCtrl::AboutBox>(DISPID_ABOUTBOX),
    };
    static constexpr AFX_DISPMAP map{&kDispatchInfo, entries};
    return map;
}

const AFX_EVENTMAP& CTestCtrl::GetEventMap() const {
    static constexpr AFX_EVENTMAP map{&kEventsInfo};
    return map;
}

HRESULT CTestCtrl::GetClassID(CLSID* pClassID) {
    if (pClassID == nullptr) {
        return E_POINTER;
    }
    *pClassID = kControlClsid;
    return S_OK;
}

std::span<const CLSID> CTestCtrl::GetPropPageIDs() {
    static constexpr CLSID pages[] = {kPageClsid};
    return pages;
}

void CTestCtrl::DoPropExchange(CPropExchange* pPX) {
    ExchangeVersion(pPX, 0x00010000);
    COleControl::DoPropExchange(pPX);
    PX_Long(pPX, "Count", count_, 0);
}

void CTestCtrl::OnTimer(UINT_PTR nIDEvent) {
    // Each tick counts up, so tests can see the window layer's calls arrive.
    SetCount(count_ + static_cast<LONG>(nIDEvent));
}

void CTestCtrl::SetCount(LONG value) {
    count_ = value;
    SetModifiedFlag();
    InvalidateControl();
    FireEvent(kEventChanged, count_, stamp_, ratio_);
}

BSTR CTestCtrl::GetLabel() const {
    return BstrFromUtf8(label_);
}

void CTestCtrl::SetLabel(BSTR value) {
    label_ = BstrToUtf8(value);
    SetModifiedFlag();
}

IDispatch* CTestCtrl::GetPartner() const {
    IDispatch* partner = partner_.m_lpDispatch;
    if (partner != nullptr) {
        partner->AddRef();
    }
    return partner;
}

void CTestCtrl::SetPartner(IDispatch* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    partner_.AttachDispatch(value, TRUE);
}

LONG CTestCtrl::Append(BSTR* text, BSTR suffix) {
    const std::string joined = BstrToUtf8(*text) + BstrToUtf8(suffix);
    SysFreeString(*text);
    *text = BstrFromUtf8(joined);
    return static_cast<LONG>(SysStringLen(*text));
}

LONG CTestCtrl::GetValues(LONG* pCount, BSTR* pLabel, double* pRatio, double* pStamp, SHORT* pLevel,
                          SHORT* pEnabled) {
    LONG written = 0;
    if (pCount != nullptr) {
        *pCount = count_;
        ++written;
    }
    if (pLabel != nullptr) {
        SysFreeString(*pLabel);
        *pLabel = BstrFromUtf8(label_);
        ++written;
    }
    if (pRatio != nullptr) {
        *pRatio = ratio_;
        ++written;
    }
    if (pStamp != nullptr) {
        *pStamp = stamp_;
        ++written;
    }
    if (pLevel != nullptr) {
        *pLevel = level_;
        ++written;
    }
    if (pEnabled != nullptr) {
        *pEnabled = enabled_;
        ++written;
    }
    return written;
}

LONG CTestCtrl::Raise(SHORT code, BSTR text) {
    BSTR copy = SysAllocStringLen(text, SysStringLen(text));
    FireEvent(kEventRaised, code, &copy);
    SysFreeString(copy);
    return code;
}

LONG CTestCtrl::Fail(LONG code) {
    ThrowError(static_cast<SCODE>(code), "Failure requested by the caller");
}

LONG CTestCtrl::CallPartner(LONG dispid) {
    LONG result = 0;
    partner_.InvokeHelper(dispid, DISPATCH_METHOD, VT_I4, &result, VTS_I4 VTS_BSTR, count_,
                          label_.c_str());
    return result;
}

SHORT CTestCtrl::ModuleStateIsCurrent() const {
    return AfxGetModuleState() == m_pModuleState ? 1 : 0;
}

LONG CTestCtrl::SetPartnerRef(IDispatch** partner) {
    SetPartner(partner != nullptr ? *partner : nullptr);
    return 0;
}

}  // namespace test_control
