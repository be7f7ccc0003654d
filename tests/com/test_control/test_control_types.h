// The type library of the test control: a small control with one property or method per
// automation type and direction the framework carries, a window timer and a beep, three
// events, and a property page.
// Shared by the test control module and the tests that drive it.
#pragma once

#include "platform/typeinfo.h"

namespace test_control {

inline constexpr GUID kLibId = MakeGuid("5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A01");
inline constexpr IID kDispatchIid = MakeGuid("5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A02");
inline constexpr IID kEventsIid = MakeGuid("5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A03");
inline constexpr CLSID kControlClsid = MakeGuid("5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A04");
inline constexpr CLSID kPageClsid = MakeGuid("5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A05");
inline constexpr const char* kProgId = "FORECOURT.TestCtrl.1";
inline constexpr const char* kPageProgId = "FORECOURT.TestPropPage.1";

// String resources.
inline constexpr UINT kIdsTypeName = 1;
inline constexpr UINT kIdsPageTypeName = 2;
inline constexpr UINT kIdsPageCaption = 100;
inline constexpr UINT kIdbToolbox = 1;
inline constexpr UINT kIddPage = 100;
inline constexpr UINT kIdbFace = 2;  // an 8 by 8 bitmap the control draws
inline constexpr DWORD kMiscStatus = 0x20191;

// DISPIDs.
enum : DISPID {
    kCount = 1,
    kLabel = 2,
    kLevel = 3,
    kRatio = 4,
    kStamp = 5,
    kEnabled = 6,
    kSerial = 7,
    kPartner = 8,
    kAdd = 10,
    kAppend = 11,
    kGetValues = 12,
    kRaise = 13,
    kFail = 14,
    kCallPartner = 15,
    kModuleStateIsCurrent = 16,
    kSetPartnerRef = 17,
    kStartTimer = 18,
    kStopTimer = 19,
    kBeep = 20,
    kEventRaised = 1,
    kEventChanged = 2,
    kEventClicked = 3,
};

inline constexpr ParamInfo kAddParams[] = {{"A", VT_I2}, {"B", VT_I4}, {"C", VT_R8}};
inline constexpr ParamInfo kAppendParams[] = {
    {"Text", VT_BYREF | VT_BSTR, PARAMFLAG_FIN | PARAMFLAG_FOUT}, {"Suffix", VT_BSTR}};
inline constexpr ParamInfo kGetValuesParams[] = {
    {"pCount", VT_BYREF | VT_I4, PARAMFLAG_FOUT}, {"pLabel", VT_BYREF | VT_BSTR, PARAMFLAG_FOUT},
    {"pRatio", VT_BYREF | VT_R8, PARAMFLAG_FOUT}, {"pStamp", VT_BYREF | VT_DATE, PARAMFLAG_FOUT},
    {"pLevel", VT_BYREF | VT_I2, PARAMFLAG_FOUT}, {"pEnabled", VT_BYREF | VT_BOOL, PARAMFLAG_FOUT}};
inline constexpr ParamInfo kRaiseParams[] = {{"Code", VT_I2}, {"Text", VT_BSTR}};
inline constexpr ParamInfo kFailParams[] = {{"Code", VT_I4}};
inline constexpr ParamInfo kCallPartnerParams[] = {{"DispId", VT_I4}};
inline constexpr ParamInfo kSetPartnerRefParams[] = {{"Partner", VT_BYREF | VT_DISPATCH}};
inline constexpr ParamInfo kStartTimerParams[] = {{"Period", VT_I4}};

inline constexpr MemberInfo kDispatchMembers[] = {
    {kCount, "Count", MemberKind::Property, VT_I4, {}, "property Count"},
    {kLabel, "Label", MemberKind::Property, VT_BSTR, {}, "property Label"},
    {kLevel, "Level", MemberKind::Property, VT_I2, {}, "property Level"},
    {kRatio, "Ratio", MemberKind::Property, VT_R8, {}, "property Ratio"},
    {kStamp, "Stamp", MemberKind::Property, VT_DATE, {}, "property Stamp"},
    {kEnabled, "Enabled", MemberKind::Property, VT_BOOL, {}, "property Enabled"},
    {kSerial, "Serial", MemberKind::Property, VT_I4, {}, "property Serial", true},
    {kPartner, "Partner", MemberKind::Property, VT_DISPATCH, {}, "property Partner"},
    {kAdd, "Add", MemberKind::Method, VT_R8, kAddParams, "method Add"},
    {kAppend, "Append", MemberKind::Method, VT_I4, kAppendParams, "method Append"},
    {kGetValues, "GetValues", MemberKind::Method, VT_I4, kGetValuesParams, "method GetValues"},
    {kRaise, "Raise", MemberKind::Method, VT_I4, kRaiseParams, "method Raise"},
    {kFail, "Fail", MemberKind::Method, VT_I4, kFailParams, "method Fail"},
    {kCallPartner, "CallPartner", MemberKind::Method, VT_I4, kCallPartnerParams,
     "method CallPartner"},
    {kModuleStateIsCurrent,
     "ModuleStateIsCurrent",
     MemberKind::Method,
     VT_I2,
     {},
     "method ModuleStateIsCurrent"},
    {kSetPartnerRef, "SetPartnerRef", MemberKind::Method, VT_I4, kSetPartnerRefParams,
     "method SetPartnerRef"},
    {kStartTimer, "StartTimer", MemberKind::Method, VT_I4, kStartTimerParams, "method StartTimer"},
    {kStopTimer, "StopTimer", MemberKind::Method, VT_I4, {}, "method StopTimer"},
    {kBeep, "Beep", MemberKind::Method, VT_VOID, {}, "method Beep"},
    {DISPID_ABOUTBOX, "AboutBox", MemberKind::Method, VT_VOID},
};

inline constexpr ParamInfo kRaisedParams[] = {{"Code", VT_I2},
                                              {"Text", VT_BYREF | VT_BSTR, PARAMFLAG_FIN}};
inline constexpr ParamInfo kChangedParams[] = {
    {"Count", VT_I4}, {"Stamp", VT_DATE}, {"Ratio", VT_R8}};

inline constexpr ParamInfo kClickedParams[] = {{"X", VT_I2}, {"Y", VT_I2}};

inline constexpr MemberInfo kEventMembers[] = {
    {kEventRaised, "Raised", MemberKind::Method, VT_VOID, kRaisedParams},
    {kEventChanged, "Changed", MemberKind::Method, VT_VOID, kChangedParams},
    {kEventClicked, "Clicked", MemberKind::Method, VT_VOID, kClickedParams},
};

inline constexpr DispInterfaceInfo kDispatchInfo{
    "_DTestCtl", kDispatchIid, "Dispatch interface for Test Control", kDispatchMembers};
inline constexpr DispInterfaceInfo kEventsInfo{"_DTestCtlEvents", kEventsIid,
                                               "Event interface for Test Control", kEventMembers};
inline constexpr CoClassInfo kCoClassInfo{"TestCtl",      kControlClsid,
                                          "Test Control", TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE,
                                          &kDispatchInfo, &kEventsInfo};
inline constexpr const DispInterfaceInfo* kInterfaces[] = {&kDispatchInfo, &kEventsInfo};
inline constexpr const CoClassInfo* kCoClasses[] = {&kCoClassInfo};
inline constexpr TypeLibInfo kTypeLib{
    "TestCtlLib",          kLibId,        1,           0,         LIBFLAG_FCONTROL,
    "Test Control module", "TestCtl.hlp", kInterfaces, kCoClasses};

}  // namespace test_control
