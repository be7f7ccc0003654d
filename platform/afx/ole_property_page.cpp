// Property pages as COM objects: objects, page information, apply.
#include "platform/afx/ole_property_page.h"

#include <cstring>

#include "platform/afx/dialog.h"

// The page's dialog: its data exchange is the page's.
class COlePropertyPage::PageDialog : public CDialog {
  public:
    PageDialog(COlePropertyPage& page, UINT idDlg) : CDialog(idDlg), page_(page) {}
    void DoDataExchange(CDataExchange* pDX) override { page_.DoDataExchange(pDX); }

  private:
    COlePropertyPage& page_;
};

void DDP_PostProcessing(CDataExchange* pDX) {
    pDX->m_bPostProcessed = true;
}

COlePropertyPage::COlePropertyPage(UINT idDlg, UINT idCaption)
    : m_idDlg(idDlg), m_idCaption(idCaption) {}

COlePropertyPage::~COlePropertyPage() {
    if (m_dialog) {
        AFX_MANAGE_STATE(m_pModuleState);
        m_dialog.reset();
    }
    ReleaseObjects();
}

void* COlePropertyPage::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage) {
        return static_cast<IPropertyPage*>(this);
    }
    if (riid == IID_IPropertyPageWindow) {
        return static_cast<IPropertyPageWindow*>(this);
    }
    return CCmdTarget::GetInterface(riid);
}

void COlePropertyPage::ReleaseObjects() {
    for (IUnknown* object : m_objects) {
        object->Release();
    }
    m_objects.clear();
}

HRESULT COlePropertyPage::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (cObjects > 0 && ppUnk == nullptr) {
        return E_POINTER;
    }
    ReleaseObjects();
    for (ULONG i = 0; i < cObjects; ++i) {
        if (ppUnk[i] != nullptr) {
            ppUnk[i]->AddRef();
            m_objects.push_back(ppUnk[i]);
        }
    }
    return S_OK;
}

HRESULT COlePropertyPage::GetPageInfo(PROPPAGEINFO* pPageInfo) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (pPageInfo == nullptr) {
        return E_POINTER;
    }
    std::string caption;
    if (!AfxLoadString(m_idCaption, &caption)) {
        return E_FAIL;
    }
    BSTR wide = BstrFromUtf8(caption);
    const UINT length = SysStringLen(wide);
    auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(OLECHAR)));
    if (title == nullptr) {
        SysFreeString(wide);
        return E_OUTOFMEMORY;
    }
    std::memcpy(title, wide, (length + 1) * sizeof(OLECHAR));
    SysFreeString(wide);
    SIZE size = GetDialogSize();
#ifdef _WIN32
    // Windows' frames take the size in pixels (oleaut32's turns it into its own dialog units).
    CDialog::TemplateUnitsToPixels(m_idDlg, &size);
#endif
    *pPageInfo = PROPPAGEINFO{sizeof(PROPPAGEINFO), title, size, nullptr, nullptr, 0};
    return S_OK;
}

HRESULT COlePropertyPage::IsPageDirty() {
    return m_bDirty ? S_OK : S_FALSE;
}

HRESULT COlePropertyPage::Apply() {
    AFX_MANAGE_STATE(m_pModuleState);
    CDataExchange dx(m_dialog.get(), TRUE);
    DoDataExchange(&dx);
    m_bDirty = FALSE;
    return S_OK;
}

HRESULT COlePropertyPage::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (pRect == nullptr) {
        return E_POINTER;
    }
    if (m_dialog) {
        return E_UNEXPECTED;
    }
    m_dialog = std::make_unique<PageDialog>(*this, m_idDlg);
    if (!m_dialog->CreateAsChild(hWndParent, POINT{pRect->left, pRect->top})) {
        m_dialog.reset();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT COlePropertyPage::Show(UINT nCmdShow) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (!m_dialog) {
        return E_UNEXPECTED;
    }
    m_dialog->ShowWindow(static_cast<int>(nCmdShow));
    return S_OK;
}

HRESULT COlePropertyPage::Move(LPCRECT pRect) {
    AFX_MANAGE_STATE(m_pModuleState);
    if (pRect == nullptr) {
        return E_POINTER;
    }
    if (!m_dialog) {
        return E_UNEXPECTED;
    }
    m_dialog->MoveWindow(pRect->left, pRect->top, pRect->right - pRect->left,
                         pRect->bottom - pRect->top);
    return S_OK;
}

HRESULT COlePropertyPage::Deactivate() {
    AFX_MANAGE_STATE(m_pModuleState);
    m_dialog.reset();
    return S_OK;
}

void COlePropertyPage::DoDataExchange(CDataExchange* pDX) {
    DDP_PostProcessing(pDX);
}
