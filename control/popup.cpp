// The delivery popup and the control's DoPopup.
#include "control/popup.h"

#include <memory>

#include "client/pump_codes.h"
#include "control/string_table.h"
#include "control/tolvan_ctrl.h"
#include "control/tolvan_ids.h"
#include "platform/resources.h"
#include "platform/text_conversion.h"

namespace tolvan {

namespace {

constexpr int kButtonWidth = 61;
constexpr int kButtonHeight = 49;
constexpr int kButtonTop = 208;

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

PopupButtons PopupButtonRules(LONG pumpState, LONG curHoseID, LONG stackMode,
                              bool hasCurrentDelivery) {
    PopupButtons b;
    using namespace pump_state;
    b.authorise = ((pumpState == kIdle || pumpState == kCalling) && !hasCurrentDelivery) ||
                  pumpState == kTempStopped;
    switch (pumpState) {
        case kIdle:
        case kAuthorised:
        case kCalling:
        case kStarting:
        case kDelivering:
        case kNearLimit:
            b.stop = true;
            break;
        case kTempStopped:
            b.stop = curHoseID != -1;
            break;
        default:
            break;
    }
    b.stack = hasCurrentDelivery && (stackMode == 2 || stackMode == 3);
    return b;
}

BEGIN_MESSAGE_MAP(CPopup, CDialog)
ON_LBN_DBLCLK(IDC_DELIVERY_LIST, &CPopup::SelectDelivery)
ON_BN_CLICKED(IDC_STOP, &CPopup::OnStop)
ON_BN_CLICKED(IDC_AUTHORISE, &CPopup::OnAuthorise)
ON_BN_CLICKED(IDC_STACK, &CPopup::OnStack)
ON_BN_CLICKED(IDC_CANCEL, &CPopup::OnCancel)
ON_LBN_SELCHANGE(IDC_DELIVERY_LIST, &CPopup::SelectDelivery)
END_MESSAGE_MAP()

CPopup::CPopup(CTolvanCtrl* control) : CDialog(IDD_POPUP, control), Control(control) {
    DeliveryList.Control = control;
}

void CPopup::OnStop() {
    Action = kPopupStop;
    OnOK();
}
void CPopup::OnAuthorise() {
    Action = kPopupAuthorise;
    OnOK();
}
void CPopup::OnStack() {
    Action = kPopupStack;
    OnOK();
}

BOOL CPopup::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (wParam == 1) {  // IDOK by Enter, or posted by the list for a digit
        SelectDelivery();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CPopup::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CANCEL, CancelButton);
    DDX_Control(pDX, IDC_DELIVERY_LIST, DeliveryList);
    DDX_Control(pDX, IDC_AUTHORISE, AuthoriseButton);
    DDX_Control(pDX, IDC_STACK, StackButton);
    DDX_Control(pDX, IDC_STOP, StopButton);
    DDX_Control(pDX, IDC_TITLE, TitleText);
    DDX_Control(pDX, IDC_VALUE_HEADER, ValueHeader);
    DDX_Control(pDX, IDC_VOLUME_HEADER, VolumeHeader);
}

BOOL CPopup::OnInitDialog() {
    CDialog::OnInitDialog();
    StopButton.LoadBitmaps(IDB_POPUP_STOP, IDB_POPUP_STOP_PRESSED, IDB_POPUP_STOP,
                           IDB_POPUP_STOP_DISABLED);
    AuthoriseButton.LoadBitmaps(IDB_POPUP_AUTHORISE, IDB_POPUP_AUTHORISE_PRESSED,
                                IDB_POPUP_AUTHORISE, IDB_POPUP_AUTHORISE_DISABLED);
    StackButton.LoadBitmaps(IDB_POPUP_STACK, IDB_POPUP_STACK_PRESSED, IDB_POPUP_STACK,
                            IDB_POPUP_STACK_DISABLED);
    CancelButton.LoadBitmaps(IDB_POPUP_CANCEL, IDB_POPUP_CANCEL_PRESSED, IDB_POPUP_CANCEL,
                             IDB_POPUP_CANCEL);

    SetWindowPos(nullptr, 0, 0, 281, 265, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    const UINT show = SWP_NOZORDER | SWP_SHOWWINDOW;
    StopButton.SetWindowPos(nullptr, 8, kButtonTop, kButtonWidth, kButtonHeight, show);
    AuthoriseButton.SetWindowPos(nullptr, 76, kButtonTop, kButtonWidth, kButtonHeight, show);
    StackButton.SetWindowPos(nullptr, 144, kButtonTop, kButtonWidth, kButtonHeight, show);
    CancelButton.SetWindowPos(nullptr, 212, kButtonTop, kButtonWidth, kButtonHeight, show);
    DeliveryList.SetWindowPos(nullptr, 9, 29, 263, 170, show);

    CElementList<CDelivery>& deliveries = Control->GetDeliveries();
    bool hasCurrent = false;
    for (const CDelivery* d = deliveries.Head(); d != nullptr; d = d->GetNext()) {
        if (d->DeliveryState == delivery_state::kCurrent)
            hasCurrent = true;
    }
    const HMODULE module = ::GetModuleHandleW(WSTR("Tolvan.OCX"));

    const PopupButtons rules = PopupButtonRules(Control->GetPumpState(), Control->GetCurHoseID(),
                                                Control->GetStackMode(), hasCurrent);
    AuthoriseButton.EnableWindow(rules.authorise);
    StopButton.EnableWindow(rules.stop);
    StackButton.EnableWindow(rules.stack);

    // Without the module the template's texts stay.
    WideString text;
    if (ModuleString(module, IDS_CANCEL, &text))
        CancelButton.SetWindowText(text.c_str());
    if (ModuleString(module, IDS_VALUE, &text))
        ValueHeader.SetWindowText(text.c_str());
    if (ModuleString(module, IDS_VOLUME, &text))
        VolumeHeader.SetWindowText(text.c_str());

    for (CDelivery* d = deliveries.Last(); d != nullptr; d = deliveries.Previous()) {
        const int row = DeliveryList.AddString(nullptr);
        DeliveryList.SetItemData(row, RowDataForDelivery(d->DeliveryID));
    }
    DeliveryList.SetCurSel(0);
    DeliveryList.SetFocus();

    TitleText.SetWindowText(Utf8ToUtf16(Trimmed(Control->GetPumpNameText())).c_str());
    return TRUE;
}

void CPopup::SelectDelivery() {
    const int row = DeliveryList.GetCurSel();
    LONG id = 0;
    if (row >= 0 && DeliveryOfRowData(DeliveryList.GetItemData(row), &id) &&
        FindDelivery(*Control, id) != nullptr) {
        Action = kPopupDelivery;
        SelectedID = id;
        OnOK();
    } else {
        OnCancel();  // no row, or its delivery is gone
    }
}

// ---- The control's method ------------------------------------------------------------------

LONG CTolvanCtrl::DoPopup() {
    if (Popup != nullptr) {
        return 0;
    }
    auto popup = std::make_unique<CPopup>(this);
    Popup = popup.get();
    // A pump command whose invocation fails raises an automation exception out of here; the
    // control must not be left believing its popup is still open.
    struct PopupReset {
        CPopup*& popup;
        ~PopupReset() { popup = nullptr; }
    } reset{Popup};
    const INT_PTR result = popup->DoModal();
    if (result == IDOK) {
        switch (popup->Action) {
            case kPopupStop:
                if (GetPumpState() == pump_state::kTempStopped) {
                    TerminateDelivery();
                } else if (CancelAuthorise() == 25) {
                    TempStop();
                }
                break;
            case kPopupAuthorise:
                if (GetPumpState() == pump_state::kIdle || GetPumpState() == pump_state::kCalling) {
                    Authorise();
                } else if (GetPumpState() == pump_state::kTempStopped) {
                    ReAuthorise();
                }
                break;
            case kPopupStack:
                StackCurrentDelivery();
                break;
            case kPopupDelivery:
                for (CDelivery* d = Deliveries.First(); d != nullptr; d = Deliveries.Next()) {
                    if (d->DeliveryID == popup->SelectedID) {
                        RaiseDeliverySelected(*d);
                        break;
                    }
                }
                break;
            default:
                break;
        }
    }
    return 0;
}

}  // namespace tolvan
