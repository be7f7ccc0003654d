// CPopup: the modal dialog through which the cashier acts on one pump: the pump's deliveries
// newest first, and the Stop, Authorise, Stack and Cancel picture buttons. Its content is built
// once when it opens; what was chosen is left in Action and SelectedID for DoPopup to act on
// after the dialog has closed.
#pragma once

#include "control/del_list_box.h"
#include "platform/afx/controls.h"
#include "platform/afx/dialog.h"

namespace tolvan {

class CTolvanCtrl;

// What the cashier chose.
enum PopupAction : LONG {
    kPopupNothing = 0,
    kPopupStop = 1,
    kPopupAuthorise = 2,
    kPopupStack = 3,
    kPopupDelivery = 4,
};

// Which buttons a pump's state allows.
struct PopupButtons {
    bool stop = false;
    bool authorise = false;
    bool stack = false;
};
PopupButtons PopupButtonRules(LONG pumpState, LONG curHoseID, LONG stackMode,
                              bool hasCurrentDelivery);

class CPopup : public CDialog {
  public:
    explicit CPopup(CTolvanCtrl* control);

    CTolvanCtrl* Control;
    LONG Action = kPopupNothing;
    LONG SelectedID = -1;
    CBitmapButton CancelButton;
    CDelListBox DeliveryList;
    CBitmapButton AuthoriseButton;
    CBitmapButton StackButton;
    CBitmapButton StopButton;
    CStatic TitleText;
    CStatic ValueHeader;
    CStatic VolumeHeader;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // Accepts the list's current row: its delivery ends the dialog with IDOK, no row or a
    // delivery that is gone with IDCANCEL.
    void SelectDelivery();

    DECLARE_MESSAGE_MAP()

  private:
    void OnStop();
    void OnAuthorise();
    void OnStack();
};

}  // namespace tolvan
