// The control framework in process: the test control's dispatch through COleControl::Invoke
// (every argument type and direction, property get and put, errors), events through the
// connection point, persistence, repaint requests, the module-state switch and object counts.
#include <gtest/gtest.h>

#include "platform/afx/ole_object_factory.h"
#include "platform/com_property_bag.h"
#include "platform/dispatch_call.h"
#include "tests/com/com_test_support.h"
#include "tests/com/container_support.h"
#include "tests/com/test_control/test_control.h"

namespace {

using namespace test_control;
using com_test::I4;
using com_test::RecordingDispatch;
using com_test::Text;

class OleControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        liveStrings_ = SysLiveStringCount();
        control_ = com_test::CreateTestControl().Detach();
        ASSERT_NE(control_, nullptr);
        ctrl_ = static_cast<CTestCtrl*>(control_);
    }
    void TearDown() override {
        if (control_ != nullptr) {
            EXPECT_EQ(control_->Release(), 0u);
        }
        EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
        EXPECT_EQ(SysLiveStringCount(), liveStrings_);
    }

    HRESULT Call(DISPID dispid, WORD flags, std::vector<VARIANT> argsFirstToLast, VARIANT* result,
                 EXCEPINFO* info = nullptr, UINT* argErr = nullptr) {
        Variant value;
        const HRESULT hr = platform::Invoke(control_, dispid, flags, std::move(argsFirstToLast),
                                            result != nullptr ? &value : nullptr, info, argErr);
        if (result != nullptr) {
            *result = value.Detach();  // the caller's to clear
        }
        return hr;
    }
    HRESULT Put(DISPID dispid, VARIANT value, EXCEPINFO* info = nullptr) {
        return Call(dispid, DISPATCH_PROPERTYPUT, {value}, nullptr, info);
    }
    VARIANT Get(DISPID dispid) {
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(Call(dispid, DISPATCH_PROPERTYGET, {}, &result), S_OK);
        return result;
    }

    IDispatch* control_ = nullptr;
    CTestCtrl* ctrl_ = nullptr;
    long liveStrings_ = 0;
};

TEST_F(OleControlTest, DispatchMapAgreesWithTypeInformation) {
    EXPECT_TRUE(AfxCheckDispatchMap(ctrl_->GetDispatchMap()).empty());
}

TEST_F(OleControlTest, CheckFindsAMapThatDisagrees) {
    static constexpr AFX_DISPMAP_ENTRY entries[] = {
        DispFunction<&CTestCtrl::GetCount>(kCount),  // a property bound as method
        DispProperty<&CTestCtrl::GetLevel, &CTestCtrl::SetLevel>(kRatio),  // short for double
        DispFunction<&CTestCtrl::AboutBox>(99),                            // no such member
    };
    static constexpr AFX_DISPMAP broken{&kDispatchInfo, entries};
    const std::vector<std::string> problems = AfxCheckDispatchMap(broken);
    auto mentions = [&](const std::string& text) {
        for (const std::string& p : problems) {
            if (p.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(mentions("_DTestCtl.Count is a property but bound as a method"));
    EXPECT_TRUE(mentions("_DTestCtl.Ratio: the C++ type cannot carry double"));
    EXPECT_TRUE(mentions("_DTestCtl.Label has no dispatch map entry"));
    EXPECT_TRUE(mentions("no member with DISPID 99"));
}

TEST_F(OleControlTest, PropertiesOfEveryTypeRoundTripWithCoercion) {
    EXPECT_EQ(Put(kCount, Text("41")), S_OK);  // text coerced to long
    VARIANT v = Get(kCount);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 41);

    EXPECT_EQ(Put(kLabel, Text("Diesel")), S_OK);
    v = Get(kLabel);
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(BstrToUtf8(v.bstrVal), "Diesel");
    VariantClear(&v);

    EXPECT_EQ(Put(kLevel, I4(-7)), S_OK);
    v = Get(kLevel);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, -7);

    EXPECT_EQ(Put(kRatio, I4(3)), S_OK);
    v = Get(kRatio);
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 3.0);

    EXPECT_EQ(Put(kStamp, Text("2013-03-06 11:41:18")), S_OK);
    v = Get(kStamp);
    EXPECT_EQ(v.vt, VT_DATE);
    EXPECT_NEAR(v.date, 41339.487014, 1e-6);

    EXPECT_EQ(Put(kEnabled, I4(5)), S_OK);
    v = Get(kEnabled);
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);

    RecordingDispatch partner;
    VARIANT p;
    VariantInit(&p);
    p.vt = VT_DISPATCH;
    p.pdispVal = &partner;
    partner.AddRef();  // the VARIANT's reference, released when Call clears it
    EXPECT_EQ(Put(kPartner, p), S_OK);
    EXPECT_EQ(partner.refs, 2u);  // the test's own and the control's
    v = Get(kPartner);
    EXPECT_EQ(v.pdispVal, &partner);
    VariantClear(&v);
    EXPECT_EQ(Put(kPartner,
                  [] {
                      VARIANT none;
                      VariantInit(&none);
                      none.vt = VT_DISPATCH;
                      return none;
                  }()),
              S_OK);
    EXPECT_EQ(partner.refs, 1u);
}

TEST_F(OleControlTest, ReadOnlyPutRaisesTheErrorAndChangesNothing) {
    EXCEPINFO info{};
    EXPECT_EQ(Put(kSerial, I4(1), &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(info.wCode, 0);
    EXPECT_EQ(BstrToUtf8(info.bstrDescription), "Property is read-only");
    ClearExcepInfo(&info);
    VARIANT v = Get(kSerial);
    EXPECT_EQ(v.lVal, 4711);
    EXPECT_EQ(Put(kSerial, I4(1)), DISP_E_EXCEPTION);  // a null EXCEPINFO is fine
}

TEST_F(OleControlTest, InvokeRejectsMalformedCalls) {
    struct Case {
        const char* name;
        DISPID dispid;
        WORD flags;
        std::vector<VARIANT> args;
        UINT named;
        HRESULT hr;
    };
    const Case cases[] = {
        {"unknown DISPID", 99, DISPATCH_METHOD, {}, 0, DISP_E_MEMBERNOTFOUND},
        {"method called as property get", kAdd, DISPATCH_PROPERTYGET, {}, 0, DISP_E_MEMBERNOTFOUND},
        {"property called as method", kCount, DISPATCH_METHOD, {}, 0, DISP_E_MEMBERNOTFOUND},
        {"too few arguments", kAdd, DISPATCH_METHOD, {I4(1)}, 0, DISP_E_BADPARAMCOUNT},
        {"get with an argument", kCount, DISPATCH_PROPERTYGET, {I4(1)}, 0, DISP_E_BADPARAMCOUNT},
        {"put without DISPID_PROPERTYPUT",
         kCount,
         DISPATCH_PROPERTYPUT,
         {I4(1)},
         0,
         DISP_E_PARAMNOTFOUND},
        {"named arguments of a method", kFail, DISPATCH_METHOD, {I4(1)}, 1, DISP_E_NONAMEDARGS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<VARIANT> args = c.args;
        DISPID named = 0;
        DISPPARAMS params{args.data(), c.named > 0 ? &named : nullptr,
                          static_cast<UINT>(args.size()), c.named};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(
            control_->Invoke(c.dispid, IID_NULL, 0, c.flags, &params, &result, nullptr, nullptr),
            c.hr);
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const IID other = kDispatchIid;
    EXPECT_EQ(
        control_->Invoke(kCount, other, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr),
        DISP_E_UNKNOWNINTERFACE);
}

TEST_F(OleControlTest, ArgumentThatDoesNotConvertNamesItsReversedIndex) {
    VARIANT result;
    VariantInit(&result);
    UINT argErr = 77;
    // Add(A short, B long, C double): B is rgvarg[1].
    EXPECT_EQ(Call(kAdd, DISPATCH_METHOD, {I4(1), Text("x"), I4(2)}, &result, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);
    EXPECT_EQ(Call(kAdd, DISPATCH_METHOD, {I4(70000), I4(1), I4(2)}, &result, nullptr, &argErr),
              DISP_E_OVERFLOW);
    EXPECT_EQ(argErr, 2u);
    EXPECT_EQ(Call(kAdd, DISPATCH_METHOD, {Text("2"), I4(3), Text("0.25")}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_R8);
    EXPECT_EQ(result.dblVal, 5.25);
}

TEST_F(OleControlTest, ByReferenceStringIsReadAndReplaced) {
    BSTR text = BstrFromUtf8("Pump ");
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &text;
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kAppend, DISPATCH_METHOD, {ref, Text("3")}, &result), S_OK);
    EXPECT_EQ(result.lVal, 6);
    EXPECT_EQ(BstrToUtf8(text), "Pump 3");
    SysFreeString(text);

    // A by-value BSTR where a reference is needed is refused, naming the argument.
    UINT argErr = 0;
    EXPECT_EQ(Call(kAppend, DISPATCH_METHOD, {Text("a"), Text("b")}, &result, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);
}

TEST_F(OleControlTest, OutValuesOfEveryTypeAndByRefVariant) {
    EXPECT_EQ(Put(kCount, I4(12)), S_OK);
    EXPECT_EQ(Put(kLabel, Text("Super")), S_OK);
    EXPECT_EQ(Put(kRatio, Text("1.5")), S_OK);
    EXPECT_EQ(Put(kLevel, I4(3)), S_OK);
    EXPECT_EQ(Put(kEnabled, I4(-1)), S_OK);
    EXPECT_EQ(Put(kStamp, Text("2000-01-01")), S_OK);

    LONG count = 0;
    BSTR label = nullptr;
    double ratio = 0;
    double stamp = 0;
    SHORT level = 0;
    VARIANT enabledHolder;  // VB passes a VARIANT by reference
    VariantInit(&enabledHolder);
    enabledHolder.vt = VT_BOOL;
    auto ref = [](VARTYPE vt, void* p) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BYREF | vt;
        v.byref = p;
        return v;
    };
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kGetValues, DISPATCH_METHOD,
                   {ref(VT_I4, &count), ref(VT_BSTR, &label), ref(VT_R8, &ratio),
                    ref(VT_DATE, &stamp), ref(VT_I2, &level), ref(VT_VARIANT, &enabledHolder)},
                   &result),
              S_OK);
    EXPECT_EQ(result.lVal, 6);
    EXPECT_EQ(count, 12);
    EXPECT_EQ(BstrToUtf8(label), "Super");
    EXPECT_EQ(ratio, 1.5);
    EXPECT_EQ(stamp, 36526.0);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(enabledHolder.boolVal, VARIANT_TRUE);
    SysFreeString(label);

    // Null references pass through: the member sees null and writes nothing.
    ASSERT_EQ(Call(kGetValues, DISPATCH_METHOD,
                   {ref(VT_I4, nullptr), ref(VT_BSTR, nullptr), ref(VT_R8, nullptr),
                    ref(VT_DATE, nullptr), ref(VT_I2, nullptr), ref(VT_BOOL, nullptr)},
                   &result),
              S_OK);
    EXPECT_EQ(result.lVal, 0);
}

TEST_F(OleControlTest, GetIDsOfNamesIgnoresCaseAndNamesParameters) {
    std::u16string member = Utf8ToUtf16("gEtVaLuEs");
    std::u16string param = Utf8ToUtf16("PLABEL");
    std::u16string unknown = Utf8ToUtf16("Nope");
    LPOLESTR names[] = {member.data(), param.data(), unknown.data()};
    DISPID ids[3] = {0, 0, 0};
    EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], kGetValues);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, names, 3, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[2], DISPID_UNKNOWN);
    EXPECT_EQ(control_->GetIDsOfNames(IID_NULL, names + 2, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

TEST_F(OleControlTest, EventsReachEveryAdvisedSinkUntilUnadvised) {
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container)),
              S_OK);
    IConnectionPoint* point = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(kDispatchIid, &point), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(kEventsIid, &point), S_OK);
    container->Release();
    RecordingDispatch first;
    RecordingDispatch second;
    DWORD firstCookie = 0;
    DWORD secondCookie = 0;
    ASSERT_EQ(point->Advise(&first, &firstCookie), S_OK);
    ASSERT_EQ(point->Advise(&second, &secondCookie), S_OK);
    EXPECT_NE(firstCookie, secondCookie);

    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kRaise, DISPATCH_METHOD, {I4(7), Text("nozzle up")}, &result), S_OK);
    ASSERT_EQ(first.calls.size(), 1u);
    const com_test::RecordedCall& call = first.calls[0];
    EXPECT_EQ(call.dispid, kEventRaised);
    EXPECT_EQ(call.flags, DISPATCH_METHOD);
    ASSERT_EQ(call.types.size(), 2u);
    EXPECT_EQ(call.types[0], VT_I2);
    EXPECT_EQ(call.types[1], VT_BYREF | VT_BSTR);
    EXPECT_EQ(call.args[0].iVal, 7);
    EXPECT_EQ(BstrToUtf8(call.args[1].bstrVal), "nozzle up");
    EXPECT_EQ(second.calls.size(), 1u);

    EXPECT_EQ(point->Unadvise(firstCookie), S_OK);
    EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(Put(kCount, I4(2)), S_OK);  // fires Changed(Count, Stamp, Ratio)
    EXPECT_EQ(first.calls.size(), 1u);
    ASSERT_EQ(second.calls.size(), 2u);
    EXPECT_EQ(second.calls[1].dispid, kEventChanged);
    EXPECT_EQ(second.calls[1].types, (std::vector<VARTYPE>{VT_I4, VT_DATE, VT_R8}));
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(second.refs, 2u);  // held by the control until it goes
    point->Release();
    control_->Release();
    control_ = nullptr;
    EXPECT_EQ(second.refs, 1u);
}

TEST_F(OleControlTest, FiringAnEventWithWrongArgumentsFailsLoudly) {
    EXPECT_THROW(ctrl_->FireEvent(kEventRaised, SHORT{1}), COleException);  // one argument short
    EXPECT_THROW(ctrl_->FireEvent(kEventChanged, LONG{1}, "text", 1.0), COleException);
    EXPECT_THROW(ctrl_->FireEvent(42), COleException);
}

TEST_F(OleControlTest, MemberExceptionBecomesExcepInfo) {
    EXCEPINFO info{};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(kFail, DISPATCH_METHOD, {I4(E_ACCESSDENIED)}, &result, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_ACCESSDENIED);
    EXPECT_EQ(BstrToUtf8(info.bstrDescription), "Failure requested by the caller");
    EXPECT_FALSE(BstrToUtf8(info.bstrSource).empty());
    ClearExcepInfo(&info);
}

TEST_F(OleControlTest, DriverFailureInsideAMethodReachesTheContainer) {
    RecordingDispatch partner;
    partner.failure = DISP_E_EXCEPTION;
    partner.description = "pump offline";
    VARIANT p;
    VariantInit(&p);
    p.vt = VT_DISPATCH;
    p.pdispVal = &partner;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_DISPATCH;
    ref.ppdispVal = &p.pdispVal;
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kSetPartnerRef, DISPATCH_METHOD, {ref}, &result), S_OK);
    ASSERT_EQ(Put(kCount, I4(3)), S_OK);
    ASSERT_EQ(Put(kLabel, Text("A")), S_OK);
    EXCEPINFO info{};
    EXPECT_EQ(Call(kCallPartner, DISPATCH_METHOD, {I4(22)}, &result, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info.bstrDescription), "pump offline");
    EXPECT_EQ(BstrToUtf8(info.bstrSource), "Recorder");
    EXPECT_EQ(info.scode, E_FAIL);
    ClearExcepInfo(&info);
    // The call went out with the driver's types and order before it failed.
    ASSERT_EQ(partner.calls.size(), 1u);
    EXPECT_EQ(partner.calls[0].dispid, 22);
    EXPECT_EQ(partner.calls[0].types, (std::vector<VARTYPE>{VT_I4, VT_BSTR}));
    EXPECT_EQ(partner.calls[0].args[0].lVal, 3);
    EXPECT_EQ(BstrToUtf8(partner.calls[0].args[1].bstrVal), "A");

    partner.failure = S_OK;
    partner.result = 25;
    ASSERT_EQ(Call(kCallPartner, DISPATCH_METHOD, {I4(23)}, &result), S_OK);
    EXPECT_EQ(result.lVal, 25);
    control_->Release();
    control_ = nullptr;
    EXPECT_EQ(partner.refs, 1u);
}

TEST_F(OleControlTest, EveryEntryPointRunsInTheModuleStateAndRestoresTheCaller) {
    AFX_MODULE_STATE callerState;
    AFX_MANAGE_STATE(&callerState);
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(kModuleStateIsCurrent, DISPATCH_METHOD, {}, &result), S_OK);
    EXPECT_EQ(result.iVal, 1);
    EXPECT_EQ(AfxGetModuleState(), &callerState);
    EXPECT_EQ(Call(kFail, DISPATCH_METHOD, {I4(E_FAIL)}, &result), DISP_E_EXCEPTION);
    EXPECT_EQ(AfxGetModuleState(), &callerState);  // restored after the exception too
}

TEST_F(OleControlTest, ObjectsKeepTheModuleLoaded) {
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(
        AfxDllGetClassObject(kControlClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(factory->CreateInstance(control_, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(
        factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&unknown)),
        E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
    factory->LockServer(TRUE);
    control_->Release();
    control_ = nullptr;
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);  // the lock
    factory->LockServer(FALSE);
    factory->Release();
    void* none = nullptr;
    EXPECT_EQ(AfxDllGetClassObject(kLibId, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(OleControlTest, PersistenceKeepsVersionExtentAndModifiedFlag) {
    IPersistPropertyBag* persist = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)),
              S_OK);
    EXPECT_FALSE(ctrl_->IsModified());
    ASSERT_EQ(Put(kCount, I4(8)), S_OK);
    EXPECT_TRUE(ctrl_->IsModified());
    ASSERT_TRUE(ctrl_->SetControlSize(100, 40));

    auto* bag = new MemoryPropertyBag;
    ASSERT_EQ(persist->Save(bag, TRUE, TRUE), S_OK);
    EXPECT_FALSE(ctrl_->IsModified());
    EXPECT_EQ(bag->Format(), "Count=8 _ExtentX=2646 _ExtentY=1058 _Version=65536");

    ASSERT_EQ(Put(kCount, I4(1)), S_OK);
    ASSERT_TRUE(ctrl_->SetControlSize(10, 10));
    ASSERT_EQ(persist->Load(bag, nullptr), S_OK);
    int cx = 0;
    int cy = 0;
    ctrl_->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 100);
    EXPECT_EQ(cy, 40);
    EXPECT_EQ(ctrl_->GetCount(), 8);
    EXPECT_EQ(ctrl_->GetVersionLoaded(), 0x00010000u);

    ASSERT_EQ(persist->InitNew(), S_OK);  // defaults; the size stays
    EXPECT_EQ(ctrl_->GetCount(), 0);
    ctrl_->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 100);
    bag->Release();
    persist->Release();
}

// A control that sizes itself with SetControlSize while it is constructed.
class SizedInItsConstructor : public CTestCtrl {
  public:
    SizedInItsConstructor() { SetControlSize(120, 30); }
};

// Being made is no change a container must save: the size set by the constructor is the new
// control's size and the default a load falls back to, and only later sizes mark it modified.
TEST_F(OleControlTest, ASizeSetWhileConstructedIsTheInitialSizeAndNoModification) {
    auto* sized = static_cast<COleControl*>(AfxCreateObject<SizedInItsConstructor>());
    EXPECT_FALSE(sized->IsModified());
    int cx = 0;
    int cy = 0;
    sized->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 120);
    EXPECT_EQ(cy, 30);

    ASSERT_TRUE(sized->SetControlSize(100, 40));
    EXPECT_TRUE(sized->IsModified());
    IPersistPropertyBag* persist = nullptr;
    ASSERT_EQ(
        sized->ExternalQueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)),
        S_OK);
    auto* empty = new MemoryPropertyBag;
    ASSERT_EQ(persist->Load(empty, nullptr), S_OK);  // no extent stored: the initial size
    sized->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 120);
    EXPECT_EQ(cy, 30);
    empty->Release();
    persist->Release();
    EXPECT_EQ(sized->ExternalRelease(), 0u);
}

TEST_F(OleControlTest, RepaintRequestsAreRecordedForTheWindowLayer) {
    ctrl_->TakeInvalidations();
    const RECT part{8, 20, 54, 43};
    ctrl_->InvalidateControl(&part, FALSE);
    ctrl_->InvalidateControl();
    const std::vector<COleControl::Invalidation> taken = ctrl_->TakeInvalidations();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].rect, CRect(8, 20, 54, 43));
    EXPECT_FALSE(taken[0].erase);
    EXPECT_EQ(taken[1].rect, CRect(0, 0, 80, 80));
    EXPECT_TRUE(taken[1].erase);
    EXPECT_TRUE(ctrl_->GetInvalidations().empty());
    ctrl_->OnTimer(2);  // the window layer's timer message reaches the override
    EXPECT_EQ(ctrl_->GetCount(), 2);
}

TEST_F(OleControlTest, ExtentMiscStatusAndPropertyPages) {
    IOleObject* object = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    SIZEL extent{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 2117);  // 80 pixels at 96 dpi in HIMETRIC
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr),
              E_NOTIMPL);  // no site to show a frame
    object->Release();

    ISpecifyPropertyPages* specify = nullptr;
    ASSERT_EQ(
        control_->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)),
        S_OK);
    CAUUID pages{};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_EQ(pages.pElems[0], kPageClsid);
    CoTaskMemFree(pages.pElems);
    specify->Release();
}

TEST_F(OleControlTest, TypeInformationDescribesInterfaceAndCoclass) {
    ITypeInfo* info = nullptr;
    ASSERT_EQ(control_->GetTypeInfo(0, 0, &info), S_OK);
    EXPECT_EQ(info->GetDispInterfaceInfo(), &kDispatchInfo);
    ITypeInfo* none = info;
    EXPECT_EQ(control_->GetTypeInfo(1, 0, &none), DISP_E_BADINDEX);
    EXPECT_EQ(none, nullptr);
    info->Release();
    IProvideClassInfo* provider = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provider)),
              S_OK);
    ASSERT_EQ(provider->GetClassInfo(&info), S_OK);
    EXPECT_EQ(info->GetCoClassInfo()->defaultSource, &kEventsInfo);
    provider->Release();
    // The type information keeps the control alive while it is held.
    control_->Release();
    control_ = nullptr;
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
    info->Release();
}

}  // namespace
