// COlePropertyPage: a control's property page as a COM object (IPropertyPage). The page knows
// its dialog template and caption string; the window layer builds the dialog from the
// template. Data exchange between the page's controls and the objects' properties runs in
// DoDataExchange, which ends with DDP_PostProcessing.
#pragma once

#include <vector>

#include "platform/afx/cmd_target.h"

// One data exchange pass: `m_bSaveAndValidate` is true when the page's values go to the
// objects (Apply), false when the page is filled from them.
class CDataExchange {
  public:
    explicit CDataExchange(bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate) {}
    bool m_bSaveAndValidate;
    bool m_bPostProcessed = false;
};

// The closing step of every DoDataExchange.
void DDP_PostProcessing(CDataExchange* pDX);

class COlePropertyPage : public CCmdTarget, public IPropertyPage {
  public:
    // `idDlg`: the dialog template; `idCaption`: the caption's string resource.
    COlePropertyPage(UINT idDlg, UINT idCaption);
    ~COlePropertyPage() override;

    AFX_DECLARE_IUNKNOWN()
    void* GetInterface(REFIID riid) override;

    // IPropertyPage. SetObjects keeps the objects (with references; 0 objects releases them).
    // GetPageInfo: the caption (string idCaption, E_FAIL when missing) in task memory and the
    // template's size from GetDialogSize. Apply runs DoDataExchange(save) and clears the
    // dirty flag.
    HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    HRESULT GetPageInfo(PROPPAGEINFO* pPageInfo) override;
    HRESULT IsPageDirty() override;
    HRESULT Apply() override;

    // The page's own class identifier.
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;

    UINT GetDialogID() const { return m_idDlg; }
    UINT GetCaptionID() const { return m_idCaption; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bDirty = bModified; }
    const std::vector<IUnknown*>& GetObjects() const { return m_objects; }

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // The size of the dialog template in dialog units; none known by default.
    virtual SIZE GetDialogSize() const { return {0, 0}; }

  private:
    void ReleaseObjects();

    UINT m_idDlg;
    UINT m_idCaption;
    BOOL m_bDirty = FALSE;
    std::vector<IUnknown*> m_objects;
};
