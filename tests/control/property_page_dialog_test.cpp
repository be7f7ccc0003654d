// A property page's one data exchange: the same CDataExchange carries DDX_Control's binding of
// the page's dialog items and the page's closing DDP_PostProcessing, when the page's dialog is
// made (filling it), on Apply with the dialog open (saving from it) and on Apply without one.
// The pages here are built on Tolvan's dialog templates, which this program's resources hold.
#include <gtest/gtest.h>

#include "control/tolvan_ids.h"
#include "platform/afx/controls.h"
#include "platform/afx/dialog.h"
#include "platform/afx/ole_property_page.h"
#include "platform/user.h"
#include "tests/control/tolvan_test_support.h"

namespace {

struct Pass {
    bool hadDialog;
    BOOL save;
    bool postProcessed;
};

// A page that binds the popup template's delivery list and records every pass.
class RecordingPage : public COlePropertyPage {
  public:
    RecordingPage() : COlePropertyPage(tolvan::IDD_POPUP, tolvan::IDS_TOLVAN_PPG_CAPTION) {}
    HRESULT GetClassID(CLSID* pClassID) override {
        *pClassID = CLSID{};
        return S_OK;
    }
    std::vector<Pass> passes;
    CListBox list;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, tolvan::IDC_DELIVERY_LIST, list);
        COlePropertyPage::DoDataExchange(pDX);
        passes.push_back(
            {pDX->m_pDlgWnd != nullptr, pDX->m_bSaveAndValidate, pDX->m_bPostProcessed});
    }
};

TEST(PropertyPageDialogTest, OneDataExchangeBindsItemsAndEndsWithPostProcessing) {
    auto* page = new RecordingPage;
    HWND frame = tolvan_test::MakePageFrame(400, 300);
    ASSERT_NE(frame, nullptr);
    const RECT place{4, 4, 4, 4};
    IPropertyPageWindow* window = page;
    ASSERT_EQ(window->Activate(frame, &place, TRUE), S_OK);
    // Made and filled: the list item is bound to the page's field.
    ASSERT_EQ(page->passes.size(), 1u);
    EXPECT_TRUE(page->passes[0].hadDialog);
    EXPECT_FALSE(page->passes[0].save);
    EXPECT_TRUE(page->passes[0].postProcessed);
    ASSERT_NE(page->list.m_hWnd, nullptr);
    EXPECT_EQ(GetDlgCtrlID(page->list.m_hWnd), tolvan::IDC_DELIVERY_LIST);
    EXPECT_EQ(GetParent(page->list.m_hWnd), GetWindow(frame, GW_CHILD));

    EXPECT_EQ(page->Apply(), S_OK);
    ASSERT_EQ(page->passes.size(), 2u);
    EXPECT_TRUE(page->passes[1].hadDialog);
    EXPECT_TRUE(page->passes[1].save);
    EXPECT_TRUE(page->passes[1].postProcessed);

    EXPECT_EQ(window->Deactivate(), S_OK);
    EXPECT_EQ(page->list.m_hWnd, nullptr);  // the bound item went with its dialog
    EXPECT_EQ(page->Apply(), S_OK);
    ASSERT_EQ(page->passes.size(), 3u);
    EXPECT_FALSE(page->passes[2].hadDialog);
    EXPECT_TRUE(page->passes[2].save);
    EXPECT_TRUE(page->passes[2].postProcessed);
    EXPECT_EQ(page->Release(), 0u);
    DestroyWindow(frame);
}

// A page whose template the module lacks cannot be shown, and stays closed.
TEST(PropertyPageDialogTest, AMissingTemplateFailsActivate) {
    class MissingPage : public COlePropertyPage {
      public:
        MissingPage() : COlePropertyPage(999, tolvan::IDS_TOLVAN_PPG_CAPTION) {}
        HRESULT GetClassID(CLSID*) override { return S_OK; }
    };
    auto* page = new MissingPage;
    HWND frame = tolvan_test::MakePageFrame(400, 300);
    ASSERT_NE(frame, nullptr);
    const RECT place{0, 0, 0, 0};
    EXPECT_EQ(static_cast<IPropertyPageWindow*>(page)->Activate(frame, &place, TRUE), E_FAIL);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->Release(), 0u);
    DestroyWindow(frame);
}

}  // namespace
