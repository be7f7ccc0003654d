// The tables of the client object's type library.
#include "kestro/automation/client_type_library.h"

#include "client/kestro_automation.h"

namespace kestro::automation {
namespace {

using namespace kestro_automation;

constexpr VARTYPE ByRef(VARTYPE vt) {
    return static_cast<VARTYPE>(vt | VT_BYREF);
}
constexpr USHORT kOut = PARAMFLAG_FOUT;
constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;

constexpr ParamInfo kLogonParams[] = {{"ServerName", VT_BSTR}, {"CallTimeout", VT_I4}};
constexpr ParamInfo kPumpParams[] = {{"PumpID", VT_I4}};
constexpr ParamInfo kReadPumpPropertiesParams[] = {{"PumpID", VT_I4},
                                                   {"Number", ByRef(VT_I4), kOut},
                                                   {"Name", ByRef(VT_BSTR), kInOut},
                                                   {"PhysicalNumber", ByRef(VT_I2), kOut},
                                                   {"Side", ByRef(VT_I2), kOut},
                                                   {"Address", ByRef(VT_I2), kOut},
                                                   {"PriceLevel1", ByRef(VT_I2), kOut},
                                                   {"PriceLevel2", ByRef(VT_I2), kOut},
                                                   {"PriceDspFormat", ByRef(VT_I2), kOut},
                                                   {"VolumeDspFormat", ByRef(VT_I2), kOut},
                                                   {"ValueDspFormat", ByRef(VT_I2), kOut},
                                                   {"Type", ByRef(VT_I2), kOut},
                                                   {"PortID", ByRef(VT_I4), kOut},
                                                   {"AttendantID", ByRef(VT_I4), kOut},
                                                   {"AuthMode", ByRef(VT_I2), kOut},
                                                   {"StackMode", ByRef(VT_I2), kOut},
                                                   {"PrepayAllowed", ByRef(VT_I2), kOut},
                                                   {"PreauthAllowed", ByRef(VT_I2), kOut}};
constexpr ParamInfo kHosesCountParams[] = {{"PumpID", VT_I4}, {"Count", ByRef(VT_I4), kOut}};
constexpr ParamInfo kHoseByNumberParams[] = {
    {"PumpID", VT_I4}, {"HoseNumber", VT_I4}, {"HoseID", ByRef(VT_I4), kOut}};
constexpr ParamInfo kReadPumpStatusParams[] = {{"PumpID", VT_I4},
                                               {"State", ByRef(VT_I2), kOut},
                                               {"ReservedFor", ByRef(VT_I2), kOut},
                                               {"ReservedBy", ByRef(VT_I4), kOut},
                                               {"HoseID", ByRef(VT_I4), kOut},
                                               {"HoseNumber", ByRef(VT_I2), kOut},
                                               {"GradeID", ByRef(VT_I4), kOut},
                                               {"GradeName", ByRef(VT_BSTR), kInOut},
                                               {"ShortGradeName", ByRef(VT_BSTR), kInOut},
                                               {"PriceLevel", ByRef(VT_I2), kOut},
                                               {"Price", ByRef(VT_R8), kOut},
                                               {"Volume", ByRef(VT_R8), kOut},
                                               {"Value", ByRef(VT_R8), kOut},
                                               {"StackSize", ByRef(VT_I2), kOut}};

#define KESTRO_DELIVERY_OUTPUTS                                                              \
    {"ID", ByRef(VT_I4), kOut}, {"Type", ByRef(VT_I2), kOut}, {"State", ByRef(VT_I2), kOut}, \
        {"HoseID", ByRef(VT_I4), kOut}, {"HoseNum", ByRef(VT_I2), kOut},                     \
        {"GradeID", ByRef(VT_I4), kOut}, {"GradeName", ByRef(VT_BSTR), kInOut},              \
        {"ShortGradeName", ByRef(VT_BSTR), kInOut}, {"PriceLevel", ByRef(VT_I2), kOut},      \
        {"Price", ByRef(VT_R8), kOut}, {"Volume", ByRef(VT_R8), kOut},                       \
        {"Value", ByRef(VT_R8), kOut}, {"LockedBy", ByRef(VT_I4), kOut},                     \
        {"ReservedBy", ByRef(VT_I4), kOut}, {"Age", ByRef(VT_I4), kOut},                     \
        {"CompletedDT", ByRef(VT_DATE), kOut}, {                                             \
        "AttendantID", ByRef(VT_I4), kOut                                                    \
    }
constexpr ParamInfo kReadPumpDeliveryParams[] = {
    {"PumpID", VT_I4}, {"DelIndex", VT_I2}, KESTRO_DELIVERY_OUTPUTS};
constexpr ParamInfo kReadPumpDeliveryExParams[] = {{"PumpID", VT_I4},
                                                   {"DelIndex", VT_I2},
                                                   KESTRO_DELIVERY_OUTPUTS,
                                                   {"VolumeETot", ByRef(VT_R8), kOut},
                                                   {"Volume2ETot", ByRef(VT_R8), kOut},
                                                   {"ValueETot", ByRef(VT_R8), kOut}};
#undef KESTRO_DELIVERY_OUTPUTS
constexpr ParamInfo kLimitParams[] = {{"PumpID", VT_I4},
                                      {"LimitType", VT_I2},
                                      {"Value", VT_R8},
                                      {"Hose", VT_I2},
                                      {"PriceLevel", VT_I2}};
constexpr ParamInfo kAttendantAuthoriseParams[] = {{"PumpID", VT_I4}, {"AttendantID", VT_I4}};
constexpr ParamInfo kRegisterParams[] = {{"PumpID", VT_I4}, {"Control", ByRef(VT_DISPATCH)}};
constexpr ParamInfo kAttendantLogonParams[] = {{"AttendantID", VT_I4}, {"PumpID", VT_I4}};
constexpr ParamInfo kConnectionLostParams[] = {{"Result", VT_I4}};

constexpr MemberInfo Method(DISPID dispid, const char* name, std::span<const ParamInfo> params) {
    return {dispid, name, MemberKind::Method, VT_I4, params, nullptr};
}

constexpr MemberInfo kMembers[] = {
    Method(kLogon, "Logon", kLogonParams),
    Method(kLogoff, "Logoff", {}),
    {kCallPort, "CallPort", MemberKind::Property, VT_I4},
    {kEventsPort, "EventsPort", MemberKind::Property, VT_I4},
    {kClientID, "ClientID", MemberKind::Property, VT_I4},
    {kConnected, "Connected", MemberKind::Property, VT_I2, {}, nullptr, true},
    Method(kReadPumpProperties, "ReadPumpProperties", kReadPumpPropertiesParams),
    Method(kReadPumpHosesCount, "ReadPumpHosesCount", kHosesCountParams),
    Method(kReadPumpHoseByNumber, "ReadPumpHoseByNumber", kHoseByNumberParams),
    Method(kReadPumpStatus, "ReadPumpStatus", kReadPumpStatusParams),
    Method(kReadPumpDelivery, "ReadPumpDelivery", kReadPumpDeliveryParams),
    Method(kPumpPrepayReserve, "PumpPrepayReserve", kPumpParams),
    Method(kPumpPrepayCancel, "PumpPrepayCancel", kPumpParams),
    Method(kPumpPrepayAuthorise, "PumpPrepayAuthorise", kLimitParams),
    Method(kPumpPreauthReserve, "PumpPreauthReserve", kPumpParams),
    Method(kPumpPreauthCancel, "PumpPreauthCancel", kPumpParams),
    Method(kPumpPreauthAuthorise, "PumpPreauthAuthorise", kLimitParams),
    Method(kPumpLoadPreset, "PumpLoadPreset", kLimitParams),
    Method(kPumpAttendantAuthorise, "PumpAttendantAuthorise", kAttendantAuthoriseParams),
    Method(kPumpAuthorise, "PumpAuthorise", kPumpParams),
    Method(kPumpCancelAuthorise, "PumpCancelAuthorise", kPumpParams),
    Method(kPumpTempStop, "PumpTempStop", kPumpParams),
    Method(kPumpReAuthorise, "PumpReAuthorise", kPumpParams),
    Method(kPumpTerminateDelivery, "PumpTerminateDelivery", kPumpParams),
    Method(kPumpStackCurrentDelivery, "PumpStackCurrentDelivery", kPumpParams),
    Method(kRegisterPumpControl, "RegisterPumpControl", kRegisterParams),
    {kCurrentPumpID, "CurrentPumpID", MemberKind::Property, VT_I4},
    Method(kPumpAttendantLogon, "PumpAttendantLogon", kAttendantLogonParams),
    Method(kReadPumpDeliveryEx, "ReadPumpDeliveryEx", kReadPumpDeliveryExParams),
};

constexpr MemberInfo kEvents[] = {
    {kConnectionLostEvent, "ConnectionLost", MemberKind::Method, VT_VOID, kConnectionLostParams},
};

const DispInterfaceInfo kInterface{"_DKestroClient", kClientIid,
                                   "Dispatch interface of the Kestro client", kMembers};
const DispInterfaceInfo kEventsInterface{"_DKestroClientEvents", kClientEventsIid,
                                         "Events of the Kestro client", kEvents};
const CoClassInfo kCoClass{"KestroClient",      kClientClsid, "Kestro client automation object",
                           TYPEFLAG_FCANCREATE, &kInterface,  &kEventsInterface};
const DispInterfaceInfo* const kInterfaces[] = {&kInterface, &kEventsInterface};
const CoClassInfo* const kCoClasses[] = {&kCoClass};
const TypeLibInfo kLibrary{"KestroClientLib",          kClientLibId, 1,           0,         0,
                           "Kestro client automation", nullptr,      kInterfaces, kCoClasses};

}  // namespace

const TypeLibInfo& ClientTypeLibrary() {
    return kLibrary;
}
const DispInterfaceInfo& ClientInterface() {
    return kInterface;
}
const DispInterfaceInfo& ClientEventsInterface() {
    return kEventsInterface;
}
const CoClassInfo& ClientCoClass() {
    return kCoClass;
}

}  // namespace kestro::automation
