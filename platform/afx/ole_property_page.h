// COlePropertyPage: a control's property page as a COM object (IPropertyPage, and
// IPropertyPageWindow for the frame that shows it). The page knows its dialog template and
// caption string; Activate builds the dialog from the template as a child of the frame's
// window. Data exchange between the page's controls and the objects' properties runs in
// DoDataExchange, which ends with DDP_PostProcessing.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/cmd_target.h"
#include "platform/afx/data_exchange.h"
#include "platform/property_page_window.h"

// The closing step of every DoDataExchange.
void DDP_PostProcessing(CDataExchange* pDX);

class COlePropertyPage : public CCmdTarget, public IPropertyPage, public IPropertyPageWindow {
  public:
    // `idDlg`: the dialog template; `idCaption`: the caption's string resource.
    COlePropertyPage(UINT idDlg, UINT idCaption);
    ~COlePropertyPage() override;

    AFX_DECLARE_IUNKNOWN()
    void* GetInterface(REFIID riid) override;

    // IPropertyPage. SetObjects keeps the objects (with references; 0 objects releases them).
    // GetPageInfo: the caption (string idCaption, E_FAIL when missing) in task memory and the
    // template's size from GetDialogSize (in dialog units on Linux, where this system's frames
    // read it so; in pixels of the template's font on Windows, as its frames expect). Apply runs
    // DoDataExchange(save) and clears the dirty flag.
    HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    HRESULT GetPageInfo(PROPPAGEINFO* pPageInfo) override;
    HRESULT IsPageDirty() override;
    HRESULT Apply() override;
    // A frame gives its site first and stops on a failure: accepted and not kept, since the
    // page reports no changes through a site here.
    HRESULT SetPageSite(IPropertyPageSite*) override { return S_OK; }
    // A frame shows and hides an active page (oleaut32's calls Show(SW_SHOW) after Activate
    // and Show(SW_HIDE) before Deactivate) and may move it. E_UNEXPECTED when the page is not
    // active, E_POINTER for a null rectangle.
    HRESULT Show(UINT nCmdShow) override;
    HRESULT Move(LPCRECT pRect) override;
    HRESULT Help(LPCOLESTR) override { return E_NOTIMPL; }
    // S_FALSE: the page handles no keystrokes of the frame.
    HRESULT TranslateAccelerator(MSG*) override { return S_FALSE; }

    // IPropertyPage and IPropertyPageWindow. Activate creates the page's dialog (template idDlg,
    // from the module's resources) as a child of `hWndParent` at the top left of `pRect`, filled
    // from the objects and shown; E_POINTER for a null rectangle, E_UNEXPECTED when it is open
    // already, E_FAIL when it cannot be made. Deactivate destroys it.
    HRESULT Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    HRESULT Deactivate() override;

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
    class PageDialog;
    void ReleaseObjects();

    std::unique_ptr<PageDialog> m_dialog;  // while the page is active

    UINT m_idDlg;
    UINT m_idCaption;
    BOOL m_bDirty = FALSE;
    std::vector<IUnknown*> m_objects;
};
