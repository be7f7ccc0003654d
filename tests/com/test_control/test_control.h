// The test control and its property page: a COleControl exercising every framework path
// (properties of each type, a read-only one, by-reference and out parameters, events, an
// automation exception, calls to a partner object through COleDispatchDriver) and the window
// layer (a face drawn from a filled rectangle, a bitmap resource and a line of text; a click
// event; a window timer; a beep). Built into the
// module TestCtl.OCX and also linked directly into the framework's unit tests.
#pragma once

#include <string>

#include "platform/afx/gdi_object.h"
#include "platform/afx/ole_control.h"
#include "platform/afx/ole_dispatch_driver.h"
#include "platform/afx/ole_object_factory.h"
#include "platform/afx/ole_property_page.h"
#include "tests/com/test_control/test_control_types.h"

namespace test_control {

class CTestCtrl : public COleControl {
  public:
    CTestCtrl();
    ~CTestCtrl() override;

    const AFX_DISPMAP& GetDispatchMap() const override;
    const AFX_EVENTMAP& GetEventMap() const override;
    const TypeLibInfo& GetTypeLib() const override { return kTypeLib; }
    HRESULT GetClassID(CLSID* pClassID) override;
    UINT GetUserTypeNameID() override { return kIdsTypeName; }
    DWORD GetMiscStatus() override { return kMiscStatus; }
    std::span<const CLSID> GetPropPageIDs() override;
    void DoPropExchange(CPropExchange* pPX) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) override;

    LONG GetCount() const { return count_; }
    void SetCount(LONG value);
    BSTR GetLabel() const;
    void SetLabel(BSTR value);
    SHORT GetLevel() const { return level_; }
    void SetLevel(SHORT value) { level_ = value; }
    double GetRatio() const { return ratio_; }
    void SetRatio(double value) { ratio_ = value; }
    double GetStamp() const { return stamp_; }
    void SetStamp(double value) { stamp_ = value; }
    SHORT GetEnabled() const { return enabled_; }
    void SetEnabled(SHORT value) { enabled_ = value != 0 ? VARIANT_TRUE : VARIANT_FALSE; }
    LONG GetSerial() const { return 4711; }
    IDispatch* GetPartner() const;
    void SetPartner(IDispatch* value);

    double Add(SHORT a, LONG b, double c) { return a + b + c; }
    LONG Append(BSTR* text, BSTR suffix);
    LONG GetValues(LONG* pCount, BSTR* pLabel, double* pRatio, double* pStamp, SHORT* pLevel,
                   SHORT* pEnabled);
    LONG Raise(SHORT code, BSTR text);
    LONG Fail(LONG code);
    LONG CallPartner(LONG dispid);
    SHORT ModuleStateIsCurrent() const;
    LONG SetPartnerRef(IDispatch** partner);
    void AboutBox() {}
    // Window timer 1 with `period` (the id, or 0 without a window); StopTimer kills it.
    LONG StartTimer(LONG period);
    LONG StopTimer();
    void Beep();

    class CTestCtrlFactory : public COleObjectFactory {
      public:
        CTestCtrlFactory();
        BOOL UpdateRegistry(BOOL bRegister) override;
    };
    static CTestCtrlFactory factory;

  private:
    CBitmap face_;  // loaded once, as controls keep their drawing resources
    CFont font_;
    LONG count_ = 0;
    std::string label_;
    SHORT level_ = 0;
    double ratio_ = 0;
    double stamp_ = 0;
    SHORT enabled_ = VARIANT_FALSE;
    COleDispatchDriver partner_;
};

class CTestPropPage : public COlePropertyPage {
  public:
    CTestPropPage() : COlePropertyPage(kIddPage, kIdsPageCaption) {}
    HRESULT GetClassID(CLSID* pClassID) override;

    class CTestPropPageFactory : public COleObjectFactory {
      public:
        CTestPropPageFactory();
        BOOL UpdateRegistry(BOOL bRegister) override;
    };
    static CTestPropPageFactory factory;

  protected:
    SIZE GetDialogSize() const override { return {250, 62}; }
};

// The string table of the module ("Test Control", "Test Property Page", "General"); null for
// other ids. With TEST_CONTROL_HIDE_PAGE_NAME set in the environment the page's type name is
// missing, which makes its registration fail (a fault for tests of DllRegisterServer).
const char* LoadTestString(UINT id);

}  // namespace test_control
