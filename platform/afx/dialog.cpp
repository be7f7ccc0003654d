// CDialog: what both systems share, the owner of a modal dialog, the data exchange and the
// ends of a dialog (OK, Cancel, EndDialog).
#include "platform/afx/dialog.h"

#include "platform/afx/controls.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (pDX == nullptr || pDX->m_pDlgWnd == nullptr || rControl.m_hWnd != nullptr) {
        return;
    }
    const HWND item = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (item == nullptr) {
        return;
    }
    pDX->m_pDlgWnd->BindItem(item, rControl);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
}

HWND CDialog::ModalOwner(HWND parent) {
    HWND h = parent;
    while (h != nullptr && (::GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) != 0)
        h = ::GetParent(h);
    return h;
}

void CDialog::EndDialog(int nResult) {
    EndModalLoop(nResult);
}

BOOL CDialog::OnInitDialog() {
    return UpdateData(FALSE);
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    return CWnd::OnCommand(wParam, lParam);
}

void CDialog::RunDialogLoop(HWND owner, bool enableOwner) {
    const HWND self = m_hWnd;
    if (m_bContinueModal && ::IsWindow(self)) {
        ::ShowWindow(self, SW_SHOW);
        MSG msg;
        while (m_bContinueModal && ::IsWindow(self)) {
            if (!::GetMessageW(&msg, nullptr, 0, 0)) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!::IsWindow(self) || !IsDialogMessageW(self, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    m_bContinueModal = FALSE;
    // The owner is enabled again before the dialog goes, so that it can take the focus back.
    if (enableOwner && ::IsWindow(owner))
        ::EnableWindow(owner, TRUE);
    if (::IsWindow(self))
        ::DestroyWindow(self);
}

bool CDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (ReflectToItem(message, wParam, lParam, result)) {
        return true;
    }
    switch (message) {
        case WM_INITDIALOG:
            *result = OnInitDialog();
            return true;
        case WM_CLOSE:
            OnCancel();
            *result = 0;
            return true;
        default:
            return false;
    }
}

// Owner-drawn items draw, measure and answer keys themselves, as the framework reflects these
// messages back to the control's object.
bool CDialog::ReflectToItem(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            CWnd* item = dis != nullptr ? CWnd::FromHandlePermanent(dis->hwndItem) : nullptr;
            if (auto* list = dynamic_cast<CListBox*>(item)) {
                list->DrawItem(dis);
            } else if (auto* button = dynamic_cast<CButton*>(item)) {
                button->DrawItem(dis);
            } else {
                return false;
            }
            *result = TRUE;
            return true;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            CWnd* item =
                mis != nullptr
                    ? CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID)))
                    : nullptr;
            auto* list = dynamic_cast<CListBox*>(item);
            if (list == nullptr) {
                return false;
            }
            list->MeasureItem(mis);
            *result = TRUE;
            return true;
        }
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM: {
            CWnd* item = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
            auto* list = dynamic_cast<CListBox*>(item);
            // -1: the list box's own handling, as the default window procedure answers; the
            // dialog manager's default would be 0, the first item.
            if (list == nullptr) {
                *result = -1;
            } else if (message == WM_VKEYTOITEM) {
                *result = list->VKeyToItem(LOWORD(wParam), HIWORD(wParam));
            } else {
                *result = list->CharToItem(LOWORD(wParam), HIWORD(wParam));
            }
            return true;
        }
        default:
            return false;
    }
}
