// CDialog on Windows: user32's dialog manager makes the dialog and its items from the module's
// template. The object is attached at the dialog's first message and sees the dialog's messages
// through AfxWndProc, with the dialog manager's procedure as its default handling.
#include "platform/afx/dialog.h"

#include <vector>

#include "platform/afx/afx_resources.h"
#include "platform/dialog_template.h"

namespace {

// The dialog being made on this thread: attached at its first message.
thread_local CDialog* creatingDialog = nullptr;

// Where the template keeps its style: a DLGTEMPLATEEX (dlgVer 1, signature 0xFFFF) at byte 12,
// a classic DLGTEMPLATE at byte 0.
std::size_t StyleOffset(const std::vector<unsigned char>& tpl) {
    const bool extended =
        tpl.size() >= 4 && tpl[0] == 1 && tpl[1] == 0 && tpl[2] == 0xFF && tpl[3] == 0xFF;
    return extended ? 12 : 0;
}

// A page's dialog sits in its frame as a control: a child without a frame of its own, shown
// once it is placed. Otherwise a hidden popup without an owner, to be measured.
void SetTemplateStyle(std::vector<unsigned char>* tpl, bool asChild) {
    const std::size_t at = StyleOffset(*tpl);
    DWORD style = 0;
    for (int i = 3; i >= 0; --i)
        style = (style << 8) | (*tpl)[at + static_cast<std::size_t>(i)];
    if (asChild) {
        style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
        style |= WS_CHILD | DS_CONTROL;
    } else {
        style &= ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
        style |= WS_POPUP;
    }
    for (int i = 0; i < 4; ++i)
        (*tpl)[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(style >> (8 * i));
}

// Template `id` of the module (found with AfxFindResourceHandle) copied into `tpl`, with the
// instance holding it; false when it is missing or malformed. The dialog manager trusts a
// template: it is read here first. Windows' resource compilers write a DIALOG statement in the
// classic form.
bool LoadTemplate(UINT id, HINSTANCE* instance, std::vector<unsigned char>* tpl) {
    LPCWSTR name = MAKEINTRESOURCEW(id);
    *instance = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC found = ::FindResourceW(*instance, name, RT_DIALOG);
    if (found == nullptr)
        return false;
    const auto* data =
        static_cast<const unsigned char*>(::LockResource(::LoadResource(*instance, found)));
    const DWORD size = ::SizeofResource(*instance, found);
    if (data == nullptr)
        return false;
    platform::DialogTemplate parsed;
    std::string error;
    if (!platform::ReadDialogTemplate(data, size, &parsed, &error) &&
        !platform::ReadClassicDialogTemplate(data, size, &parsed, &error)) {
        return false;
    }
    tpl->assign(data, data + size);
    return true;
}

}  // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = creatingDialog;
    if (dialog == nullptr || CWnd::FromHandlePermanent(hwnd) != nullptr) {
        return FALSE;  // the object has seen the message already, through AfxWndProc
    }
    creatingDialog = nullptr;
    dialog->Attach(hwnd);
    dialog->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (message == WM_INITDIALOG) {
        // A template without a font: WM_INITDIALOG is the first message, and a dialog procedure
        // answers it directly (TRUE: the dialog manager sets the focus).
        return AfxWndProc(hwnd, message, wParam, lParam);
    }
    return FALSE;
}

bool CDialog::CreateFromTemplate(HWND owner, bool asChild, POINT origin) {
    HINSTANCE instance = nullptr;
    std::vector<unsigned char> tpl;
    if (!LoadTemplate(m_nIDHelp, &instance, &tpl))
        return false;
    if (asChild)
        SetTemplateStyle(&tpl, true);

    CDialog* const outer = creatingDialog;
    creatingDialog = this;
    const HWND hwnd = ::CreateDialogIndirectParamW(
        instance, reinterpret_cast<LPCDLGTEMPLATEW>(tpl.data()), owner, &AfxDlgProc, 0);
    creatingDialog = outer;
    if (hwnd == nullptr)
        return false;
    if (m_hWnd != hwnd) {
        ::DestroyWindow(hwnd);  // never reached the dialog procedure: not ours
        return false;
    }
    if (asChild) {
        ::SetWindowPos(hwnd, nullptr, origin.x, origin.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

bool CDialog::TemplateUnitsToPixels(UINT nIDTemplate, SIZE* size) {
    HINSTANCE instance = nullptr;
    std::vector<unsigned char> tpl;
    if (size == nullptr || !LoadTemplate(nIDTemplate, &instance, &tpl))
        return false;
    SetTemplateStyle(&tpl, false);
    // Made by the dialog manager with no object and no procedure of its own, never shown.
    const HWND measured = ::CreateDialogIndirectParamW(
        instance, reinterpret_cast<LPCDLGTEMPLATEW>(tpl.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    if (measured == nullptr)
        return false;
    RECT rect{0, 0, size->cx, size->cy};
    const bool mapped = ::MapDialogRect(measured, &rect) != FALSE;
    ::DestroyWindow(measured);
    if (mapped)
        *size = SIZE{rect.right, rect.bottom};
    return mapped;
}

void CDialog::BindItem(HWND item, CWnd& control) {
    if (control.Attach(item))
        m_boundItems.emplace_back(item, &control);
}

void CDialog::MapDialogRect(LPRECT rect) const {
    if (rect != nullptr)
        ::MapDialogRect(m_hWnd, rect);
}

SIZE CDialog::GetBaseUnits() const {
    RECT units{0, 0, 4, 8};
    if (!::MapDialogRect(m_hWnd, &units))
        return SIZE{0, 0};
    return SIZE{units.right, units.bottom};
}

INT_PTR CDialog::DoModal() {
    const HWND owner = ModalOwner(m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr);
    // The owner is disabled before the dialog is made, so that the dialog starts as the only
    // window of the owner's that takes input.
    const bool disabledOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);
    m_bContinueModal = TRUE;
    m_nModalResult = -1;
    if (!CreateFromTemplate(owner)) {
        m_bContinueModal = FALSE;
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
        if (disabledOwner && ::IsWindow(owner))
            ::EnableWindow(owner, TRUE);
        return -1;
    }
    RunDialogLoop(owner, disabledOwner);
    return m_nModalResult;
}

BOOL CDialog::CreateAsChild(HWND parent, POINT origin) {
    if (parent == nullptr || m_hWnd != nullptr)
        return FALSE;
    if (!CreateFromTemplate(parent, true, origin)) {
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
        return FALSE;
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    if (HandleDialogMessage(message, wParam, lParam, &answer)) {
        return answer;
    }
    switch (message) {
        case WM_NCDESTROY:
            // The items went before the dialog; their objects, which their own messages never
            // reach, let go of the handles (unless an object went first, and with it its entry).
            for (const auto& [item, object] : m_boundItems) {
                if (CWnd::FromHandlePermanent(item) == object)
                    object->Detach();
            }
            m_boundItems.clear();
            break;
        default:
            break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
