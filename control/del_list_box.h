// CDelListBox: the popup's list of a pump's deliveries, one 34-pixel row each with an icon,
// the row number, the short grade name, the volume and the value. A row holds its delivery's
// DeliveryID, and the delivery is looked up in the control's list whenever the row is drawn
// or chosen: a delivery removed while the popup is open shows as an empty row.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "control/delivery.h"
#include "platform/afx/controls.h"
#include "platform/afx/gdi_object.h"

namespace tolvan {

class CTolvanCtrl;

// The row data for a delivery and back: tagged so that no DeliveryID gives 0 or the list's
// error value.
DWORD_PTR RowDataForDelivery(LONG deliveryID);
// False for data that names no delivery (0, LB_ERR, untagged).
bool DeliveryOfRowData(DWORD_PTR data, LONG* deliveryID);

// The delivery of `control` with `deliveryID`, or null; walks the list without moving its
// cursor.
CDelivery* FindDelivery(CTolvanCtrl& control, LONG deliveryID);

class CDelListBox : public CListBox {
  public:
    CDelListBox();
    ~CDelListBox() override;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    int VKeyToItem(UINT nKey, UINT nIndex) override;

    CTolvanCtrl* Control = nullptr;  // whose deliveries the rows name

    static constexpr int kRowHeight = 34;

  private:
    // BoldFont, or when `text` is wider than `width` with it, the largest smaller bold Arial
    // that fits (made once per size and kept with the list), so that an amount of any length
    // stays whole in its column instead of running into the next.
    CFont* FittingBoldFont(CDC& dc, const std::string& text, int width);

    CFont BoldFont;
    CFont GradeFont;
    CBitmap ExclamationIcon;
    CBitmap PumpIcon;
    CBitmap PadlockIcon;
    CBitmap BarIcon;
    std::map<LONG, std::unique_ptr<CFont>> SmallerBoldFonts;  // by cell height
};

}  // namespace tolvan
