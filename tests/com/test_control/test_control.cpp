// The test control, its property page, their factories and the module's string table.
#include "tests/com/test_control/test_control.h"

#include <array>
#include <cstdlib>
#include <string>

#include "platform/afx/dc.h"
#include "platform/afx/ole_registration.h"
#include "platform/resources.h"

namespace test_control {

namespace {

// The face bitmap as a packed 4-bit DIB: a yellow diamond on dark red, 8 by 8, bottom-up.
constexpr int kFaceSide = 8;
const std::array<unsigned char, 40 + 16 * 4 + kFaceSide* 4> kFaceDib = [] {
    std::array<unsigned char, 40 + 16 * 4 + kFaceSide * 4> dib{};
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            dib[at + i] = static_cast<unsigned char>(v >> (8 * i));
        }
    };
    put32(0, 40);         // biSize
    put32(4, kFaceSide);  // biWidth
    put32(8, kFaceSide);  // biHeight: bottom-up
    dib[12] = 1;          // biPlanes
    dib[14] = 4;          // biBitCount
    // biClrUsed 0: the full table of 16 colours. RGBQUADs are blue, green, red, 0.
    put32(40, 0x00800000);  // colour 0: dark red
    put32(44, 0x00FFFF00);  // colour 1: yellow
    for (int row = 0; row < kFaceSide; ++row) {
        for (int x = 0; x < kFaceSide; ++x) {
            const int dx = x < 4 ? 3 - x : x - 4;
            const int dy = row < 4 ? 3 - row : row - 4;
            if (dx + dy < 4) {
                dib[104 + row * 4 + x / 2] |= static_cast<unsigned char>(x % 2 == 0 ? 0x10 : 0x01);
            }
        }
    }
    return dib;
}();

const CompiledResource kResources[] = {
    {2, nullptr, static_cast<WORD>(kIdbFace), nullptr, 0x0409, kFaceDib.data(),
     static_cast<DWORD>(kFaceDib.size())},
};

// Declares the module's resources while the module loads.
[[maybe_unused]] const bool resourcesSet = [] {
    AfxSetModuleResources(&kTypeLib, &LoadTestString);
    platform::RegisterModuleResources(AfxGetStaticModuleState()->m_hCurrentInstanceHandle,
                                      kResources, std::size(kResources));
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
    face_.LoadBitmap(kIdbFace);
    font_.CreatePointFont(90, "Arial");
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
        DispFunction<&CTestCtrl::StartTimer>(kStartTimer),
        DispFunction<&CTestCtrl::StopTimer>(kStopTimer),
        DispFunction<&CTestCtrl::Beep>(kBeep),
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

void CTestCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    COleControl::OnLButtonDown(nFlags, point);
    FireEvent(kEventClicked, static_cast<SHORT>(point.x), static_cast<SHORT>(point.y));
}

void CTestCtrl::OnDraw(CDC* pdc, const CRect& rcBounds, const CRect&) {
    // The container's background, a filled bar, the face bitmap and the count as text.
    pdc->FillSolidRect(&rcBounds, TranslateColor(AmbientBackColor()));
    pdc->FillSolidRect(rcBounds.left + 4, rcBounds.top + 4, rcBounds.Width() - 8, 12,
                       RGB(0x20, 0x60, 0xA0));
    CDC memory;
    memory.CreateCompatibleDC(pdc);
    CBitmap* old = memory.SelectObject(&face_);
    pdc->BitBlt(rcBounds.left + 4, rcBounds.top + 22, kFaceSide, kFaceSide, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    CFont* oldFont = pdc->SelectObject(&font_);
    const int oldMode = pdc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = pdc->SetTextColor(RGB(0, 0, 0));
    CRect text(rcBounds.left + 4, rcBounds.top + 34, rcBounds.right - 4, rcBounds.bottom - 4);
    pdc->DrawText("Count " + std::to_string(count_), &text, DT_LEFT | DT_TOP | DT_NOPREFIX);
    pdc->SetTextColor(oldColour);
    pdc->SetBkMode(oldMode);
    pdc->SelectObject(oldFont);
}

LONG CTestCtrl::StartTimer(LONG period) {
    return m_hWnd != nullptr ? static_cast<LONG>(SetTimer(1, static_cast<UINT>(period))) : 0;
}

LONG CTestCtrl::StopTimer() {
    return m_hWnd != nullptr ? KillTimer(1) : FALSE;
}

void CTestCtrl::Beep() {
    MessageBeep(0xFFFFFFFF);
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
