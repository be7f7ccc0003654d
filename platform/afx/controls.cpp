// The framework's dialog controls: what both systems share, the bitmap button's pictures and
// the list box's calls that send its messages.
#include "platform/afx/controls.h"

#include "platform/afx/dc.h"

// ---- CButton -------------------------------------------------------------------------------

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

// ---- CBitmapButton -------------------------------------------------------------------------

BOOL CBitmapButton::LoadBitmaps(UINT normal, UINT selected, UINT focus, UINT disabled) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!m_bitmap.LoadBitmap(normal)) {
        return FALSE;
    }
    BOOL all = TRUE;
    if (selected != 0 && !m_bitmapSel.LoadBitmap(selected))
        all = FALSE;
    if (focus != 0 && !m_bitmapFocus.LoadBitmap(focus))
        all = FALSE;
    if (disabled != 0 && !m_bitmapDisabled.LoadBitmap(disabled))
        all = FALSE;
    return all;
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT dis) {
    CBitmap* picture = &m_bitmap;
    if ((dis->itemState & ODS_SELECTED) != 0 && m_bitmapSel.m_hObject != nullptr) {
        picture = &m_bitmapSel;
    } else if ((dis->itemState & ODS_FOCUS) != 0 && m_bitmapFocus.m_hObject != nullptr) {
        picture = &m_bitmapFocus;
    } else if ((dis->itemState & ODS_DISABLED) != 0 && m_bitmapDisabled.m_hObject != nullptr) {
        picture = &m_bitmapDisabled;
    }
    if (picture->m_hObject == nullptr) {
        return;
    }
    CDC dc;
    dc.Attach(dis->hDC);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(picture);
    const RECT& r = dis->rcItem;
    dc.BitBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    dc.Detach();
}
// ---- CListBox ------------------------------------------------------------------------------

int CListBox::AddString(LPCWSTR text) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CListBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect), 0));
}

int CListBox::SetItemData(int nIndex, DWORD_PTR data) {
    return static_cast<int>(
        SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(data)));
}

int CListBox::SetTopIndex(int index) {
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index), 0));
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::VKeyToItem(UINT, UINT) {
    return -1;
}
int CListBox::CharToItem(UINT, UINT) {
    return -1;
}
