// The framework's dialog controls on Windows: the system's controls draw themselves and take
// the input; the list box's calls ask the window.
#include "platform/afx/controls.h"

int CListBox::GetCount() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0));
}
int CListBox::GetCurSel() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0));
}
int CListBox::GetTopIndex() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0));
}
DWORD_PTR CListBox::GetItemData(int nIndex) const {
    return static_cast<DWORD_PTR>(
        ::SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0));
}
