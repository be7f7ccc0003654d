// The control's properties as a container meets them through COM: the defaults of a new
// control, read-only puts, PopupMode, BeepEnabled, IsCurrentPump and ID puts, PumpName,
// GetOCXVersion, persistence, events through the connection point and window destruction.
#include "platform/com_property_bag.h"
#include "platform/user.h"
#include "tests/control/tolvan_test_support.h"

namespace tolvan_test {
namespace {

struct DefaultCase {
    DISPID dispid;
    const char* name;
    VARTYPE vt;
    double value;  // numbers; text properties are empty
};

// Every property of a new control with its type and default.
constexpr DefaultCase kDefaults[] = {
    {1, "ID", VT_I4, -1},
    {2, "Number", VT_I4, 0},
    {3, "Name", VT_BSTR, 0},
    {4, "PhysicalNumber", VT_I2, 0},
    {5, "Side", VT_I2, 0},
    {6, "Address", VT_I2, 0},
    {7, "PriceLevel1", VT_I2, 0},
    {8, "PriceLevel2", VT_I2, 0},
    {9, "PriceDspFormat", VT_I2, 1},
    {10, "VolumeDspFormat", VT_I2, 9},
    {11, "ValueDspFormat", VT_I2, 10},
    {12, "Type", VT_I2, 0},
    {16, "PortID", VT_I4, -1},
    {17, "AttendantID", VT_I4, -1},
    {18, "AuthMode", VT_I2, 0},
    {19, "StackMode", VT_I2, 0},
    {20, "PrepayAllowed", VT_I2, 0},
    {21, "PreauthAllowed", VT_I2, 0},
    {22, "PumpState", VT_I2, 0},
    {23, "ReservedFor", VT_I2, 0},
    {24, "ReservedBy", VT_I4, -1},
    {25, "CurHoseID", VT_I4, -1},
    {26, "CurGradeName", VT_BSTR, 0},
    {27, "CurPriceLevel", VT_I2, 1},
    {28, "CurPrice", VT_R8, 0},
    {29, "CurVolume", VT_R8, 0},
    {30, "CurValue", VT_R8, 0},
    {31, "StackSize", VT_I2, 0},
    {51, "CurGradeID", VT_I4, -1},
    {52, "IsCurrentPump", VT_I2, 0},
    {53, "CurShortGradeName", VT_BSTR, 0},
    {54, "PopupMode", VT_I2, 1},
    {58, "BeepEnabled", VT_I2, 0},
    {59, "CurHoseNumber", VT_I2, 0},
    {61, "PumpName", VT_BSTR, 0},
    {62, "Kestro", VT_DISPATCH, 0},
};

// Whether `text` has the shape of `shape`: 'A' an upper-case letter, 'a' a lower-case one, '9'
// a digit, '_' a digit or a blank, any other character itself.
bool HasShape(const std::string& text, const std::string& shape) {
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        const bool fits = shape[i] == 'A'   ? (c >= 'A' && c <= 'Z')
                          : shape[i] == 'a' ? (c >= 'a' && c <= 'z')
                          : shape[i] == '9' ? digit
                          : shape[i] == '_' ? (digit || c == ' ')
                                            : c == shape[i];
        if (!fits) {
            return false;
        }
    }
    return true;
}

double Number(const VARIANT& v) {
    switch (v.vt) {
        case VT_I2:
            return v.iVal;
        case VT_I4:
            return v.lVal;
        case VT_R8:
            return v.dblVal;
        default:
            return -12345;
    }
}

class TolvanPropertiesTest : public TolvanTest {};

TEST_F(TolvanPropertiesTest, NewControlHasTheDefaultsAndIsEightyPixelsSquare) {
    for (const DefaultCase& c : kDefaults) {
        VARIANT v = Get(c.dispid);
        ASSERT_EQ(v.vt, c.vt) << c.name;
        if (c.vt == VT_BSTR) {
            EXPECT_EQ(SysStringLen(v.bstrVal), 0u) << c.name;
        } else if (c.vt == VT_DISPATCH) {
            EXPECT_EQ(v.pdispVal, nullptr) << c.name;
        } else {
            EXPECT_EQ(Number(v), c.value) << c.name;
        }
        VariantClear(&v);
    }
    int cx = 0;
    int cy = 0;
    Object().GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 80);
    EXPECT_EQ(cy, 80);
    EXPECT_FALSE(Object().IsModified());
}

TEST_F(TolvanPropertiesTest, PutOfAReadOnlyPropertyRaisesTheReadOnlyErrorAndChangesNothing) {
    for (const DefaultCase& c : kDefaults) {
        if (c.dispid == 1 || c.dispid == 52 || c.dispid == 54 || c.dispid == 58 || c.dispid == 62) {
            continue;  // read/write
        }
        EXCEPINFO info{};
        const VARIANT value = c.vt == VT_BSTR ? Text("Pump 9") : I2(7);
        EXPECT_EQ(Put(c.dispid, value, &info), DISP_E_EXCEPTION) << c.name;
        EXPECT_EQ(info.scode, CTL_E_SETNOTSUPPORTED) << c.name;
        ClearExcepInfo(&info);
        VARIANT after = Get(c.dispid);
        if (c.vt == VT_BSTR) {
            EXPECT_EQ(SysStringLen(after.bstrVal), 0u) << c.name;
        } else {
            EXPECT_EQ(Number(after), c.value) << c.name;
        }
        VariantClear(&after);
    }
    EXPECT_FALSE(Object().IsModified());
    EXPECT_TRUE(Object().GetInvalidations().empty());
}

TEST_F(TolvanPropertiesTest, PopupModeKeepsOneToThreeAndIgnoresOtherValuesButMarksModified) {
    struct Case {
        SHORT put;
        SHORT reads;
    };
    constexpr Case kCases[] = {{0, 1}, {4, 1}, {2, 2}, {-1, 2}, {3, 3}, {1, 1}, {32767, 1}};
    for (const Case& c : kCases) {
        Object().SetModifiedFlag(FALSE);
        PutOk(54, I2(c.put));
        EXPECT_EQ(GetShort(54), c.reads) << "put " << c.put;
        EXPECT_TRUE(Object().IsModified()) << "put " << c.put;
    }
}

TEST_F(TolvanPropertiesTest, BeepEnabledReadsOneForAnyNonzeroValue) {
    struct Case {
        SHORT put;
        SHORT reads;
    };
    constexpr Case kCases[] = {{-1, 1}, {0, 0}, {7, 1}, {1, 1}, {0, 0}};
    for (const Case& c : kCases) {
        PutOk(58, I2(c.put));
        EXPECT_EQ(GetShort(58), c.reads) << "put " << c.put;
    }
}

TEST_F(TolvanPropertiesTest, IsCurrentPumpRepaintsTheWholeControlOnlyWhenItChanges) {
    PutOk(52, I2(0));
    EXPECT_TRUE(Object().TakeInvalidations().empty());

    PutOk(52, I2(1));
    const std::vector<COleControl::Invalidation> changed = Object().TakeInvalidations();
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].rect, CRect(0, 0, 80, 80));
    EXPECT_TRUE(changed[0].erase);
    EXPECT_EQ(GetShort(52), 1);

    PutOk(52, I2(1));
    EXPECT_TRUE(Object().TakeInvalidations().empty());
    PutOk(52, I2(-5));
    EXPECT_EQ(Object().TakeInvalidations().size(), 1u);
    EXPECT_EQ(GetShort(52), -5);
}

TEST_F(TolvanPropertiesTest, PutOfIdToItsCurrentValueOnlyMarksTheControlModified) {
    RecordingClient client;
    SetKestro(&client);  // with ID -1: no call
    Object().TakeInvalidations();
    Object().SetModifiedFlag(FALSE);

    PutOk(1, I4(-1));
    EXPECT_TRUE(Object().IsModified());
    EXPECT_TRUE(Object().GetInvalidations().empty());
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(GetLong(1), -1);
}

TEST_F(TolvanPropertiesTest, PutOfIdWithoutClientObjectResetsTheFieldsAndRepaints) {
    PutOk(52, I2(1));
    Object().TakeInvalidations();
    PutOk(1, I4(4));
    EXPECT_EQ(GetLong(1), 4);
    EXPECT_EQ(GetShort(52), 0);  // the reset forgets the current-pump mark too
    EXPECT_EQ(GetLong(2), 0);
    const std::vector<COleControl::Invalidation> repaint = Object().TakeInvalidations();
    ASSERT_EQ(repaint.size(), 1u);
    EXPECT_TRUE(repaint[0].erase);
}

TEST_F(TolvanPropertiesTest, GetOcxVersionWritesTheVersionTextOnlyThroughAPointer) {
    BSTR text = nullptr;
    EXPECT_EQ(CallLong(57, {ByRef(VT_BSTR, &text)}), 0);
    const std::string version = BstrToUtf8(text);
    SysFreeString(text);
    // The compiler's date and time of the build: "Mar  6 2013 at 11:41:18".
    EXPECT_TRUE(
        HasShape(version, "Marovia pump OCX Version(1,2,1,0) Built(Aaa _9 9999 at 99:99:99)"))
        << version;

    const long strings = SysLiveStringCount();
    EXPECT_EQ(CallLong(57, {ByRef<BSTR>(VT_BSTR, nullptr)}), 0);
    EXPECT_EQ(SysLiveStringCount(), strings);
}

TEST_F(TolvanPropertiesTest, AboutBoxReturnsNothingAndDoPopupReturnsZeroWhenClosed) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(-552, DISPATCH_METHOD, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_EMPTY);

    // Without a window of its own the popup still opens (as a window of no owner); Escape
    // closes it and nothing is sent.
    bool pressed = false;
    platform::SetIdleHook([&pressed] {
        if (pressed)
            return false;
        pressed = true;
        platform::QueueKeyInput(VK_ESCAPE, true);
        platform::QueueKeyInput(VK_ESCAPE, false);
        return true;
    });
    EXPECT_EQ(CallLong(55), 0);
    platform::SetIdleHook(nullptr);
    EXPECT_TRUE(pressed);
}

TEST_F(TolvanPropertiesTest, SavingAndReloadingRestoresTheSizeOnly) {
    IPersistPropertyBag* persist = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)),
              S_OK);
    ASSERT_TRUE(Object().SetControlSize(120, 40));
    PutOk(54, I2(3));
    PutOk(58, I2(1));
    PutOk(52, I2(1));
    PutOk(1, I4(6));
    auto* bag = new MemoryPropertyBag;
    ASSERT_EQ(persist->Save(bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Format(), "_ExtentX=3175 _ExtentY=1058 _Version=65536");
    persist->Release();

    IDispatch* reloaded = nullptr;
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"TOLVAN.TolvanCtrl.1", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&reloaded)),
              S_OK);
    std::swap(control_, reloaded);
    ASSERT_EQ(control_->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)),
              S_OK);
    EXPECT_EQ(persist->Load(bag, nullptr), S_OK);
    persist->Release();
    bag->Release();
    int cx = 0;
    int cy = 0;
    Object().GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 120);
    EXPECT_EQ(cy, 40);
    EXPECT_EQ(GetShort(54), 1);
    EXPECT_EQ(GetShort(58), 0);
    EXPECT_EQ(GetShort(52), 0);
    EXPECT_EQ(GetLong(1), -1);
    EXPECT_EQ(reloaded->Release(), 0u);
}

TEST_F(TolvanPropertiesTest, AStatusIsRaisedToTheContainerThroughTheConnectionPoint) {
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(control_->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container)),
              S_OK);
    IConnectionPoint* point = nullptr;
    constexpr IID kEvents = MakeGuid("1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A");
    ASSERT_EQ(container->FindConnectionPoint(kEvents, &point), S_OK);
    container->Release();
    EventRecorder sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    BSTR grade = BstrFromUtf8(" Diesel  ");
    BSTR shortGrade = BstrFromUtf8("DSL");
    EXPECT_EQ(
        CallLong(49, {I2(8), I2(2), I4(12), I4(101), I2(2), I4(7), ByRef(VT_BSTR, &grade),
                      ByRef(VT_BSTR, &shortGrade), I2(1), R8(1.459), R8(12.5), R8(18.24), I2(1)}),
        0);
    ASSERT_EQ(sink.events.size(), 1u);
    const ClientCall& event = sink.events[0];
    EXPECT_EQ(event.dispid, 1);
    const std::vector<VARTYPE> types = {
        VT_I2, VT_I2, VT_I4, VT_I4, VT_I2, VT_I4, VT_BYREF | VT_BSTR, VT_BYREF | VT_BSTR,
        VT_I2, VT_R8, VT_R8, VT_R8, VT_I2};
    EXPECT_EQ(event.types, types);
    ASSERT_EQ(event.values.size(), 13u);
    EXPECT_EQ(event.values[0].iVal, 8);
    EXPECT_EQ(event.values[2].lVal, 12);
    EXPECT_EQ(event.values[3].lVal, 101);
    EXPECT_EQ(BstrToUtf8(event.values[6].bstrVal), " Diesel  ");  // as received
    EXPECT_EQ(BstrToUtf8(event.values[7].bstrVal), "DSL");
    EXPECT_EQ(event.values[11].dblVal, 18.24);
    EXPECT_EQ(event.values[12].iVal, 1);
    // The control keeps the status, names trimmed.
    EXPECT_EQ(GetShort(22), 8);
    EXPECT_EQ(GetText(26), "Diesel");
    EXPECT_EQ(GetDouble(28), 1.459);
    SysFreeString(grade);
    SysFreeString(shortGrade);

    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    point->Release();
    EXPECT_EQ(sink.refs, 1u);
}

TEST_F(TolvanPropertiesTest, DestroyingTheWindowDropsTheClientObjectWithoutCallingIt) {
    RecordingClient client;
    client.Expect(72, 0);
    client.Expect(7, 0);
    client.Expect(12, 0);
    SetKestro(&client);
    PutOk(1, I4(3));
    client.ClearCalls();

    Object().OnDestroy();
    EXPECT_TRUE(client.calls.empty());  // the registration is not withdrawn
    EXPECT_EQ(GetLong(1), -1);
    EXPECT_EQ(CallLong(43), -21);
    EXPECT_EQ(client.refs, 1u);
}

}  // namespace
}  // namespace tolvan_test
