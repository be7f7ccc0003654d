// CDataExchange: one pass of data exchange between a dialog's items and the values behind
// them, as DoDataExchange receives it: DDX_Control binds the dialog's items to fields, and a
// property page's pass ends with DDP_PostProcessing.
#pragma once

#include "platform/win_types.h"

class CDialog;

class CDataExchange {
  public:
    // `dialog`: the dialog whose items are exchanged (null for a property page that has no
    // window open); `saveAndValidate`: TRUE when the values go from the items to the objects
    // (OK, Apply), FALSE when the items are filled from them.
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    bool m_bPostProcessed = false;  // DDP_PostProcessing has closed the pass
};
