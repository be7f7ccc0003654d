// The tables of TolvanLib. Properties are dispatch properties (one DISPID for get and put);
// methods return a long except AboutBox; out-parameters and the sinks' names are by reference.
#include "control/tolvan_type_library.h"

#include "control/tolvan_ids.h"

namespace tolvan {

namespace {

constexpr VARTYPE ByRef(VARTYPE vt) {
    return static_cast<VARTYPE>(vt | VT_BYREF);
}
constexpr USHORT kOut = PARAMFLAG_FOUT;

constexpr ParamInfo kGetHosesCountParams[] = {{"pCount", ByRef(VT_I4), kOut}};
constexpr ParamInfo kGetHoseByNumberParams[] = {{"Number", VT_I4}, {"pID", ByRef(VT_I4), kOut}};

#define TOLVAN_DELIVERY_OUTPUTS                                                                 \
    {"pID", ByRef(VT_I4), kOut}, {"pType", ByRef(VT_I2), kOut}, {"pState", ByRef(VT_I2), kOut}, \
        {"pHoseID", ByRef(VT_I4), kOut}, {"pHoseNum", ByRef(VT_I2), kOut},                      \
        {"pGradeID", ByRef(VT_I4), kOut}, {"pGradeName", ByRef(VT_BSTR), kOut},                 \
        {"pShortGradeName", ByRef(VT_BSTR), kOut}, {"pPriceLevel", ByRef(VT_I2), kOut},         \
        {"pPrice", ByRef(VT_R8), kOut}, {"pVolume", ByRef(VT_R8), kOut},                        \
        {"pValue", ByRef(VT_R8), kOut}, {"pLockedBy", ByRef(VT_I4), kOut},                      \
        {"pReservedBy", ByRef(VT_I4), kOut}, {"pAge", ByRef(VT_I4), kOut},                      \
        {"pCompletedDT", ByRef(VT_DATE), kOut}, {                                               \
        "pAttendantID", ByRef(VT_I4), kOut                                                      \
    }

constexpr ParamInfo kGetDeliveryPropertiesParams[] = {{"DelIndex", VT_I2}, TOLVAN_DELIVERY_OUTPUTS};
constexpr ParamInfo kGetDeliveryPropertiesExParams[] = {{"DelIndex", VT_I2},
                                                        TOLVAN_DELIVERY_OUTPUTS,
                                                        {"VolumeETot", ByRef(VT_R8), kOut},
                                                        {"Volume2ETot", ByRef(VT_R8), kOut},
                                                        {"ValueETot", ByRef(VT_R8), kOut}};
#undef TOLVAN_DELIVERY_OUTPUTS

constexpr ParamInfo kLimitParams[] = {
    {"LimitType", VT_I2}, {"Value", VT_R8}, {"Hose", VT_I2}, {"PriceLevel", VT_I2}};
constexpr ParamInfo kAttendantAuthoriseParams[] = {{"AttendantID", VT_I4}};
constexpr ParamInfo kAttendantLogonParams[] = {{"ID", VT_I4}};
constexpr ParamInfo kSetKestroParams[] = {{"Handle", ByRef(VT_DISPATCH)}};
constexpr ParamInfo kGetOCXVersionParams[] = {{"pVersionStr", ByRef(VT_BSTR), kOut}};

// The status parameters of StatusEventSink and StatusEvent.
constexpr ParamInfo kStatusParams[] = {{"State", VT_I2},
                                       {"ReservedFor", VT_I2},
                                       {"ReservedBy", VT_I4},
                                       {"HoseID", VT_I4},
                                       {"HoseNumber", VT_I2},
                                       {"GradeID", VT_I4},
                                       {"GradeName", ByRef(VT_BSTR)},
                                       {"ShortGradeName", ByRef(VT_BSTR)},
                                       {"PriceLevel", VT_I2},
                                       {"Price", VT_R8},
                                       {"Volume", VT_R8},
                                       {"Value", VT_R8},
                                       {"StackSize", VT_I2}};

// The delivery parameters of the delivery sinks and events; only the completion date's name
// differs between the sinks (CompleteDT) and the events (CompletedDT).
#define TOLVAN_DELIVERY_PARAMS(completed)                                                         \
    {"DeliveryID", VT_I4}, {"HoseID", VT_I4}, {"HoseNumber", VT_I2}, {"GradeID", VT_I4},          \
        {"GradeName", ByRef(VT_BSTR)}, {"ShortGradeName", ByRef(VT_BSTR)}, {"PriceLevel", VT_I2}, \
        {"Price", VT_R8}, {"Volume", VT_R8}, {"Value", VT_R8}, {"DeliveryState", VT_I2},          \
        {"DeliveryType", VT_I2}, {"LockedBy", VT_I4}, {"ReservedBy", VT_I4}, {"Age", VT_I4},      \
        {completed, VT_DATE}, {                                                                   \
        "AttendantID", VT_I4                                                                      \
    }
#define TOLVAN_TOTALS_PARAMS                         \
    {"VolumeETot", VT_R8}, {"Volume2ETot", VT_R8}, { \
        "ValueETot", VT_R8                           \
    }

constexpr ParamInfo kDeliverySinkParams[] = {TOLVAN_DELIVERY_PARAMS("CompleteDT")};
constexpr ParamInfo kDeliverySinkExParams[] = {TOLVAN_DELIVERY_PARAMS("CompleteDT"),
                                               TOLVAN_TOTALS_PARAMS};
constexpr ParamInfo kDeliveryEventParams[] = {TOLVAN_DELIVERY_PARAMS("CompletedDT")};
constexpr ParamInfo kDeliveryEventExParams[] = {TOLVAN_DELIVERY_PARAMS("CompletedDT"),
                                                TOLVAN_TOTALS_PARAMS};
#undef TOLVAN_DELIVERY_PARAMS
#undef TOLVAN_TOTALS_PARAMS

constexpr MemberInfo Property(DISPID dispid, const char* name, VARTYPE vt, const char* help,
                              bool readOnly) {
    return {dispid, name, MemberKind::Property, vt, {}, help, readOnly};
}
constexpr MemberInfo Method(DISPID dispid, const char* name, std::span<const ParamInfo> params,
                            const char* help) {
    return {dispid, name, MemberKind::Method, VT_I4, params, help};
}
constexpr bool kReadOnly = true;
constexpr bool kReadWrite = false;

constexpr MemberInfo kDTolvanMembers[] = {
    Property(dispidID, "ID", VT_I4, "property ID", kReadWrite),
    Property(dispidNumber, "Number", VT_I4, "property Number", kReadOnly),
    Property(dispidName, "Name", VT_BSTR, "property Name", kReadOnly),
    Property(dispidPhysicalNumber, "PhysicalNumber", VT_I2, "property PhysicalNumber", kReadOnly),
    Property(dispidSide, "Side", VT_I2, "property Side", kReadOnly),
    Property(dispidAddress, "Address", VT_I2, "property Address", kReadOnly),
    Property(dispidPriceLevel1, "PriceLevel1", VT_I2, "property PriceLevel1", kReadOnly),
    Property(dispidPriceLevel2, "PriceLevel2", VT_I2, "property PriceLevel2", kReadOnly),
    Property(dispidPriceDspFormat, "PriceDspFormat", VT_I2, "property PriceDspFormat", kReadOnly),
    Property(dispidVolumeDspFormat, "VolumeDspFormat", VT_I2, "property VolumeDspFormat",
             kReadOnly),
    Property(dispidValueDspFormat, "ValueDspFormat", VT_I2, "property ValueDspFormat", kReadOnly),
    Property(dispidType, "Type", VT_I2, "property Type", kReadOnly),
    Property(dispidPortID, "PortID", VT_I4, "property PortID", kReadOnly),
    Property(dispidAttendantID, "AttendantID", VT_I4, "property AttendantID", kReadOnly),
    Property(dispidAuthMode, "AuthMode", VT_I2, "property AuthMode", kReadOnly),
    Property(dispidStackMode, "StackMode", VT_I2, "property StackMode", kReadOnly),
    Property(dispidPrepayAllowed, "PrepayAllowed", VT_I2, "property PrepayAllowed", kReadOnly),
    Property(dispidPreauthAllowed, "PreauthAllowed", VT_I2, "property PreauthAllowed", kReadOnly),
    Property(dispidPumpState, "PumpState", VT_I2, "property PumpState", kReadOnly),
    Property(dispidReservedFor, "ReservedFor", VT_I2, "property ReservedFor", kReadOnly),
    Property(dispidReservedBy, "ReservedBy", VT_I4, "property ReservedBy", kReadOnly),
    Property(dispidCurHoseID, "CurHoseID", VT_I4, "property CurHoseID", kReadOnly),
    Property(dispidCurGradeName, "CurGradeName", VT_BSTR, "property CurGradeName", kReadOnly),
    Property(dispidCurPriceLevel, "CurPriceLevel", VT_I2, "property CurPriceLevel", kReadOnly),
    Property(dispidCurPrice, "CurPrice", VT_R8, "property CurPrice", kReadOnly),
    Property(dispidCurVolume, "CurVolume", VT_R8, "property CurVolume", kReadOnly),
    Property(dispidCurValue, "CurValue", VT_R8, "property CurValue", kReadOnly),
    Property(dispidStackSize, "StackSize", VT_I2, "property StackSize", kReadOnly),
    Property(dispidCurGradeID, "CurGradeID", VT_I4, "property CurGradeID", kReadOnly),
    Property(dispidIsCurrentPump, "IsCurrentPump", VT_I2, "property IsCurrentPump", kReadWrite),
    Property(dispidCurShortGradeName, "CurShortGradeName", VT_BSTR, "property CurShortGradeName",
             kReadOnly),
    Property(dispidPopupMode, "PopupMode", VT_I2, "property PopupMode", kReadWrite),
    Property(dispidBeepEnabled, "BeepEnabled", VT_I2, "property BeepEnabled", kReadWrite),
    Property(dispidCurHoseNumber, "CurHoseNumber", VT_I2, "property CurHoseNumber", kReadOnly),
    Property(dispidPumpName, "PumpName", VT_BSTR, "property PumpName", kReadOnly),
    Property(dispidKestro, "Kestro", VT_DISPATCH, "property Kestro", kReadWrite),
    Method(dispidGetHosesCount, "GetHosesCount", kGetHosesCountParams, "method GetHosesCount"),
    Method(dispidGetHoseByNumber, "GetHoseByNumber", kGetHoseByNumberParams,
           "method GetHoseByNumber"),
    Method(dispidGetDeliveryProperties, "GetDeliveryProperties", kGetDeliveryPropertiesParams,
           "method GetDeliveryProperties"),
    Method(dispidPrepayReserve, "PrepayReserve", {}, "method PrepayReserve"),
    Method(dispidPrepayCancel, "PrepayCancel", {}, "method PrepayCancel"),
    Method(dispidPrepayAuthorise, "PrepayAuthorise", kLimitParams, "method PrepayAuthorise"),
    Method(dispidPreauthReserve, "PreauthReserve", {}, "method PreauthReserve"),
    Method(dispidPreauthCancel, "PreauthCancel", {}, "method PreauthCancel"),
    Method(dispidPreauthAuthorise, "PreauthAuthorise", kLimitParams, "method PreauthAuthorise"),
    Method(dispidLoadPreset, "LoadPreset", kLimitParams, "method LoadPreset"),
    Method(dispidAttendantAuthorise, "AttendantAuthorise", kAttendantAuthoriseParams,
           "method AttendantAuthorise"),
    Method(dispidAuthorise, "Authorise", {}, "method Authorise"),
    Method(dispidCancelAuthorise, "CancelAuthorise", {}, "method CancelAuthorise"),
    Method(dispidTempStop, "TempStop", {}, "method TempStop"),
    Method(dispidReAuthorise, "ReAuthorise", {}, "method ReAuthorise"),
    Method(dispidTerminateDelivery, "TerminateDelivery", {}, "method TerminateDelivery"),
    Method(dispidStackCurrentDelivery, "StackCurrentDelivery", {}, "method StackCurrentDelivery"),
    Method(dispidStatusEventSink, "StatusEventSink", kStatusParams, "method StatusEventSink"),
    Method(dispidDeliveryEventSink, "DeliveryEventSink", kDeliverySinkParams,
           "method DeliveryEventSink"),
    Method(dispidDoPopup, "DoPopup", {}, "method DoPopup"),
    Method(dispidSetKestro, "SetKestro", kSetKestroParams, "method SetKestro"),
    Method(dispidGetOCXVersion, "GetOCXVersion", kGetOCXVersionParams, "method GetOCXVersion"),
    Method(dispidAttendantLogon, "AttendantLogon", kAttendantLogonParams, "method AttendantLogon"),
    Method(dispidDeliveryEventExSink, "DeliveryEventExSink", kDeliverySinkExParams,
           "method DeliveryEventExSink"),
    Method(dispidGetDeliveryPropertiesEx, "GetDeliveryPropertiesEx", kGetDeliveryPropertiesExParams,
           "method GetDeliveryPropertiesEx"),
    {DISPID_ABOUTBOX, "AboutBox", MemberKind::Method, VT_VOID},
};

constexpr MemberInfo kDTolvanEventsMembers[] = {
    {eventidStatusEvent, "StatusEvent", MemberKind::Method, VT_VOID, kStatusParams},
    {eventidDeliveryEvent, "DeliveryEvent", MemberKind::Method, VT_VOID, kDeliveryEventParams},
    {eventidDeliverySelectedEvent, "DeliverySelectedEvent", MemberKind::Method, VT_VOID,
     kDeliveryEventParams},
    {eventidDeliveryEventEx, "DeliveryEventEx", MemberKind::Method, VT_VOID,
     kDeliveryEventExParams},
};

constexpr const DispInterfaceInfo* kInterfaces[] = {&kDTolvanInfo, &kDTolvanEventsInfo};
constexpr const CoClassInfo* kCoClasses[] = {&kTolvanCoClassInfo};

}  // namespace

constexpr DispInterfaceInfo kDTolvanInfo{"_DTolvan", IID_DTolvan,
                                         "Dispatch interface for Tolvan Control", kDTolvanMembers};
constexpr DispInterfaceInfo kDTolvanEventsInfo{"_DTolvanEvents", IID_DTolvanEvents,
                                               "Event interface for Tolvan Control",
                                               kDTolvanEventsMembers};
constexpr CoClassInfo kTolvanCoClassInfo{"Tolvan",         CLSID_Tolvan,
                                         "Tolvan Control", TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE,
                                         &kDTolvanInfo,    &kDTolvanEventsInfo};
constexpr TypeLibInfo kTolvanLib{
    "TolvanLib",      kLibId,           kLibVersionMajor,
    kLibVersionMinor, LIBFLAG_FCONTROL, "Tolvan ActiveX Control module",
    "Tolvan.hlp",     kInterfaces,      kCoClasses};

}  // namespace tolvan
