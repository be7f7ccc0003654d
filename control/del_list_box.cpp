// The popup's delivery rows: their icons, colours and texts, and the list's keys.
#include "control/del_list_box.h"

#include <cstdio>

#include "client/pump_codes.h"
#include "control/amount_format.h"
#include "control/tolvan_ctrl.h"
#include "control/tolvan_ids.h"
#include "platform/afx/dc.h"

namespace tolvan {

namespace {

constexpr DWORD_PTR kRowTag = DWORD_PTR{1} << 32;
constexpr COLORREF kSelectedBack = 0x808080;
constexpr COLORREF kLockedText = 0xC0C0C0;
constexpr COLORREF kAlertText = 0x0000C0;
constexpr COLORREF kBlackText = 0x000000;
constexpr COLORREF kIconTransparent = 0x800080;

void CreateFont(CFont& font, LONG height, LONG weight, const WCHAR* face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = face[i];
    font.CreateFontIndirect(&lf);
}

}  // namespace

DWORD_PTR RowDataForDelivery(LONG deliveryID) {
    return kRowTag | static_cast<DWORD_PTR>(static_cast<std::uint32_t>(deliveryID));
}

bool DeliveryOfRowData(DWORD_PTR data, LONG* deliveryID) {
    if ((data >> 32) != 1) {
        return false;  // 0, LB_ERR or no row of ours
    }
    *deliveryID = static_cast<LONG>(static_cast<std::uint32_t>(data & 0xFFFFFFFFu));
    return true;
}

CDelivery* FindDelivery(CTolvanCtrl& control, LONG deliveryID) {
    for (CDelivery* d = control.GetDeliveries().Head(); d != nullptr; d = d->GetNext()) {
        if (d->DeliveryID == deliveryID)
            return d;
    }
    return nullptr;
}

CDelListBox::CDelListBox() {
    CreateFont(BoldFont, 19, 700, WSTR("Arial"));
    CreateFont(GradeFont, 19, 400, WSTR("MS Sans Serif"));
    PumpIcon.LoadBitmap(IDB_ROW_PUMP);
    PadlockIcon.LoadBitmap(IDB_ROW_PADLOCK);
    ExclamationIcon.LoadBitmap(IDB_ROW_OVERDUE);
    BarIcon.LoadBitmap(IDB_ROW_DRIVE_OFF);
}

CDelListBox::~CDelListBox() = default;

CFont* CDelListBox::FittingBoldFont(CDC& dc, const std::string& text, int width) {
    dc.SelectObject(&BoldFont);
    if (dc.GetTextExtent(text).cx <= width)
        return &BoldFont;
    constexpr LONG kBoldHeight = 19;
    constexpr LONG kSmallestHeight = 9;
    CFont* font = &BoldFont;
    for (LONG height = kBoldHeight - 1; height >= kSmallestHeight; --height) {
        std::unique_ptr<CFont>& smaller = SmallerBoldFonts[height];
        if (!smaller) {
            smaller = std::make_unique<CFont>();
            CreateFont(*smaller, height, 700, WSTR("Arial"));
        }
        font = smaller.get();
        dc.SelectObject(font);
        if (dc.GetTextExtent(text).cx <= width)
            break;
    }
    return font;
}

void CDelListBox::MeasureItem(LPMEASUREITEMSTRUCT mis) {
    mis->itemHeight = kRowHeight;
}

int CDelListBox::VKeyToItem(UINT nKey, UINT nIndex) {
    const int caret = static_cast<int>(nIndex);
    const int count = GetCount();
    if (nKey == VK_UP) {
        if (caret > 0)
            SetCurSel(caret - 1);
    } else if (nKey == VK_DOWN) {
        if (caret < count - 1)
            SetCurSel(caret + 1);
    } else if (nKey >= 0x31 && nKey <= 0x39) {
        const int row = static_cast<int>(nKey - 0x31);
        if (row < count) {
            SetCurSel(row);
            // The parent chooses the row as for Enter, once this key is done with.
            ::PostMessageW(::GetParent(m_hWnd), WM_COMMAND, 1, 0);
        }
    }
    return -2;
}

void CDelListBox::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC dc;
    dc.Attach(dis->hDC);
    const COLORREF oldText = dc.GetTextColor();
    const COLORREF oldBack = dc.GetBkColor();
    if ((dis->itemState & ODS_SELECTED) != 0) {
        dc.SetBkColor(kSelectedBack);
    }
    dc.FillSolidRect(&dis->rcItem, dc.GetBkColor());

    LONG id = 0;
    const CDelivery* d = nullptr;
    if (Control != nullptr && DeliveryOfRowData(dis->itemData, &id)) {
        d = FindDelivery(*Control, id);
    }
    if (d != nullptr) {
        CBitmap* icon = nullptr;
        COLORREF text = kBlackText;
        if (d->LockedBy != -1) {
            icon = &PadlockIcon;
            text = kLockedText;
        } else if (d->Age < 0) {
            icon = &ExclamationIcon;
            text = kAlertText;
        } else if (d->DeliveryState == delivery_state::kCurrent) {
            icon = &PumpIcon;
        } else if (d->DeliveryType == delivery_type::kDriveOff) {
            icon = &BarIcon;
            text = kAlertText;
        }
        dc.SetTextColor(text);
        const LONG L = dis->rcItem.left, T = dis->rcItem.top, R = dis->rcItem.right,
                   B = dis->rcItem.bottom;
        if (icon != nullptr && icon->m_hObject != nullptr) {
            BITMAP info{};
            icon->GetBitmap(&info);
            CDC memory;
            memory.CreateCompatibleDC(&dc);
            CBitmap* old = memory.SelectObject(icon);
            dc.TransparentBlt(L, T, info.bmWidth, info.bmHeight, &memory, 0, 0, info.bmWidth,
                              info.bmHeight, kIconTransparent);
            memory.SelectObject(old);
        }
        // The row number counts from the newest delivery, which is the top row.
        int number = 0;
        for (const CDelivery* e = d; e != nullptr; e = e->GetNext())
            ++number;
        char numberText[16];
        std::snprintf(numberText, sizeof numberText, "%02d", number);

        constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX;
        CFont* oldFont = dc.SelectObject(&GradeFont);
        RECT grade{L + 47, T, L + 116, B};
        dc.DrawText(d->ShortGradeName, &grade, kFormat | DT_LEFT);
        dc.SelectObject(&BoldFont);
        RECT numberRect{L + 20, T, L + 46, B};
        dc.DrawText(numberText, -1, &numberRect, kFormat | DT_CENTER);
        // Signed and whole: the list shows what the face shortens, smaller when it is long.
        RECT volume{L + 117, T, L + 178, B};
        const std::string volumeText =
            FormatAmount(FixedAmount::FromDouble(d->Volume), false, 3, false);
        dc.SelectObject(FittingBoldFont(dc, volumeText, volume.right - volume.left));
        dc.DrawText(volumeText, &volume, kFormat | DT_RIGHT);
        RECT value{L + 180, T, R - 1, B};
        const std::string valueText =
            FormatAmount(FixedAmount::FromDouble(d->Value), true, -1, false);
        // The value keeps a few pixels from the volume, whose column ends 2 pixels before it.
        constexpr int kValueClearance = 4;
        dc.SelectObject(FittingBoldFont(dc, valueText, value.right - value.left - kValueClearance));
        dc.DrawText(valueText, &value, kFormat | DT_RIGHT);
        if (oldFont != nullptr)
            dc.SelectObject(oldFont);
    } else if (dis->itemData != 0) {
        // The delivery is gone: an empty grey row that cannot be chosen.
        RECT inner = dis->rcItem;
        ::InflateRect(&inner, 0, -1);
        dc.FillSolidRect(&inner,
                         (dis->itemState & ODS_SELECTED) != 0 ? kSelectedBack : kLockedText);
    }
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
    dc.Detach();
}

}  // namespace tolvan
