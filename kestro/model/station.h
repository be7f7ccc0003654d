// The in-process controller station: what a controller server keeps for its client (logon
// state, version texts, result texts, the station's configuration records), the record of
// every call the client made, and fault injection. It serves the logon family and the
// configuration getters and setters; the pumps' live state joins it as the model grows.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kestro/model/call_record.h"
#include "kestro/model/configuration.h"
#include "kestro/model/fault_plan.h"
#include "kestro/model/logon_state.h"
#include "kestro/model/product_filter.h"
#include "platform/win_types.h"

namespace kestro {

class Station {
  public:
    // A station without records.
    Station() = default;
    explicit Station(Configuration configuration) : config_(std::move(configuration)) {}
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // ---- The logon family --------------------------------------------------------------
    // The flat interface's calls of the same names (client/kestro.h) with C++ types. Every
    // call is recorded first (name and values passed in). It then answers, in this order:
    // an injected fault for it; kNotLoggedOn when it needs a logon and there is none (all
    // calls except ClientLogonEx, ResultString and DllVersion, which a client library
    // answers by itself); kInvalidArgument for a null out-pointer or a bad value; else its
    // own result. Out-values are written only on success.

    // Logs on; see LogonState::ClientLogonEx for its own results.
    std::int32_t ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                               WideStringView serverName, std::int32_t callPort,
                               std::int32_t eventsPort, std::int32_t callTimeout,
                               std::int32_t options, std::int32_t eventMask,
                               std::int32_t bufferSize);
    // Keeps the client's type code for the rest of the logon.
    std::int32_t SetClientType(std::int32_t clientType);
    // Ends the logon; the client type is forgotten.
    std::int32_t ClientLogoff();
    // The text of any code: the station's own text when one was set, else the common table's.
    std::int32_t ResultString(std::int32_t code, WideString* text);
    std::int32_t DllVersion(WideString* version);
    std::int32_t ServerVersion(WideString* version);

    // ---- Configuration getters ----------------------------------------------------------
    // The flat interface's getters of the same names with C++ types. Each call is recorded
    // with its in-values (identifiers, ordinals, the price level, the product filter's six
    // arguments) and then answers, in this order: an injected fault; kNotLoggedOn when
    // logged off; kInvalidArgument for a null out-pointer; kRecordNotFound for an unknown
    // identifier or an ordinal outside 1..count; else kSuccess with the out-value written.
    // Nothing is written on failure. Ordinal i is the i-th record of its kind by identifier.
    // A properties getter hands out the whole record; the flat binding passes on the values
    // its call carries.

    std::int32_t GetPortsCount(std::int32_t* count);
    std::int32_t GetPortByOrdinal(std::int32_t ordinal, std::int32_t* portId);
    std::int32_t GetPortProperties(std::int32_t portId, PortRecord* port);
    std::int32_t GetZB2GConfig(std::int32_t portId, ZB2GConfig* config);
    // `deviceId` -1 asks for the port's own device; any other value for the ZigBee device of
    // that identifier, which must talk through the port (else kRecordNotFound).
    // kNoDeviceDetails when the device has reported no details.
    std::int32_t GetDeviceDetails(std::int32_t portId, std::int32_t deviceId,
                                  DeviceDetails* details);

    std::int32_t GetGradesCount(std::int32_t* count);
    std::int32_t GetGradeByOrdinal(std::int32_t ordinal, std::int32_t* gradeId);
    std::int32_t GetGradePropertiesEx(std::int32_t gradeId, GradeRecord* grade);
    // The price at `level` 1..8 (0 when the level has none); kInvalidArgument for another
    // level of an existing grade.
    std::int32_t GetGradePrice(std::int32_t gradeId, std::int16_t level, double* price);

    std::int32_t GetTanksCount(std::int32_t* count);
    std::int32_t GetTankByOrdinal(std::int32_t ordinal, std::int32_t* tankId);
    std::int32_t GetTankPropertiesEx2(std::int32_t tankId, TankRecord* tank);

    std::int32_t GetZigBeeCount(std::int32_t* count);
    std::int32_t GetZigBeeByOrdinal(std::int32_t ordinal, std::int32_t* deviceId);
    std::int32_t GetZigBeeProperties(std::int32_t deviceId, ZigBeeRecord* device);

    std::int32_t GetPumpsCount(std::int32_t* count);
    std::int32_t GetPumpByOrdinal(std::int32_t ordinal, std::int32_t* pumpId);
    std::int32_t GetPumpPropertiesEx(std::int32_t pumpId, PumpRecord* pump);
    // The number of hoses of an existing pump (0 for a pump without hoses).
    std::int32_t GetPumpHosesCount(std::int32_t pumpId, std::int32_t* count);
    // The hose at `position` 1..count of the pump, its hoses taken in the order of their
    // numbers (which may have gaps); kRecordNotFound for another position.
    std::int32_t GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position,
                                     std::int32_t* hoseId);
    std::int32_t GetHosePropertiesEx2(std::int32_t hoseId, HoseRecord* hose);

    std::int32_t GetSensorsCount(std::int32_t* count);
    std::int32_t GetSensorByOrdinal(std::int32_t ordinal, std::int32_t* sensorId);
    std::int32_t GetSensorPropertiesEx(std::int32_t sensorId, SensorRecord* sensor);

    std::int32_t GetAttendantsCount(std::int32_t* count);
    std::int32_t GetAttendantByOrdinal(std::int32_t ordinal, std::int32_t* attendantId);
    std::int32_t GetAttendantPropertiesEx2(std::int32_t attendantId, AttendantRecord* attendant);

    std::int32_t GetCardClientsCount(std::int32_t* count);
    std::int32_t GetCardClientByOrdinal(std::int32_t ordinal, std::int32_t* clientId);
    std::int32_t GetCardClientPropertiesEx4(std::int32_t clientId, CardClientRecord* client);

    // Count and ordinals over the products that `filter` selects (see ProductFilter).
    std::int32_t GetProductsCount(const ProductFilter& filter, std::int32_t* count);
    std::int32_t GetProductByOrdinal(std::int32_t ordinal, const ProductFilter& filter,
                                     std::int32_t* productId);
    std::int32_t GetProductProperties(std::int32_t productId, ProductRecord* product);

    // ---- Configuration setters ----------------------------------------------------------
    // The flat interface's setters of the same names with C++ types: each takes the values
    // its call carries as a record (the identifier first) and creates that record, or
    // replaces the one with the same identifier. Each call is recorded with every value
    // passed in, in the call's order (a null text as the empty text), and then answers, in
    // this order: an injected fault; kNotLoggedOn when logged off; kInvalidArgument for an
    // identifier below 1; the call's own checks below; else kSuccess with the record stored.
    // Nothing is stored on failure. Values that a call does not carry are kept from the
    // record it replaces, and start empty in a record it creates: a port's radio settings
    // (zeros) and device details (none), a grade's prices (none), a ZigBee device's details
    // (none); the record's other members passed in are ignored.

    std::int32_t SetPortProperties(const PortRecord& port);
    std::int32_t SetGradePropertiesEx(const GradeRecord& grade);
    // kRecordNotFound for an unknown grade; kInvalidArgument for a level outside 1..8. A price
    // of 0 removes the level's price.
    std::int32_t SetGradePrice(std::int32_t gradeId, std::int16_t level, double price);
    std::int32_t SetTankPropertiesEx2(const TankRecord& tank);
    std::int32_t SetZigBeeProperties(const ZigBeeRecord& device);
    std::int32_t SetPumpPropertiesEx(const PumpRecord& pump);
    // kRecordNotFound when the hose's pump does not exist.
    std::int32_t SetHosePropertiesEx2(const HoseRecord& hose);
    std::int32_t SetSensorPropertiesEx(const SensorRecord& sensor);
    std::int32_t SetAttendantPropertiesEx2(const AttendantRecord& attendant);
    std::int32_t SetCardClientPropertiesEx4(const CardClientRecord& client);
    std::int32_t SetProductProperties(const ProductRecord& product);

    // A call of the flat interface that the model does not serve yet: recorded like any
    // other, then answered with kCallNotSupported unless a fault or kNotLoggedOn comes first.
    std::int32_t NotSupported(RecordedCall call);

    // ---- Set-up --------------------------------------------------------------------------

    // Replaces every configuration record (a generated station, a test's fixture).
    void LoadConfiguration(Configuration configuration);
    const Configuration& CurrentConfiguration() const { return config_; }

    void SetDllVersionText(WideString text) { dllVersion_ = std::move(text); }
    void SetServerVersionText(WideString text) { serverVersion_ = std::move(text); }
    // Replaces the text of `code` for this station (a localised library, for instance).
    void SetResultText(std::int32_t code, WideString text);
    // See FaultPlan::Add (throws std::invalid_argument for a fault that could never apply).
    void InjectFault(Fault fault) { faults_.Add(std::move(fault)); }
    // Shorthand: every call named `call` answers `code` from now on.
    void FailCall(std::string call, std::int32_t code);
    void ClearFaults() { faults_.Clear(); }
    const FaultPlan& Faults() const { return faults_; }

    // ---- Inspection ----------------------------------------------------------------------

    // Every call received, in order, faulted and rejected ones included.
    const std::vector<RecordedCall>& Calls() const { return calls_; }
    // The names of the calls received, in order.
    std::vector<std::string> CallNames() const;
    void ClearCalls() { calls_.clear(); }

    bool LoggedOn() const { return logon_.LoggedOn(); }
    // The current logon's settings; null while logged off.
    const LogonSettings* Logon() const { return logon_.Settings(); }
    // The client type declared in the current logon, if any.
    std::optional<std::int32_t> ClientType() const { return logon_.ClientType(); }

  private:
    // Records `call` and returns the code of the fault injected for it, or 0.
    std::int32_t Intake(RecordedCall call);
    // Records `call` and returns the code it must answer without running (see
    // LogonState::Admit), or 0 to let it run.
    std::int32_t Admit(RecordedCall call, bool needsLogon);
    // Admit for a getter, which needs a logon, and then kInvalidArgument for a null `out`.
    std::int32_t AdmitGetter(RecordedCall call, const void* out);
    // Admit for a setter, which needs a logon, and then kInvalidArgument for an `id` below 1.
    std::int32_t AdmitSetter(RecordedCall call, std::int32_t id);
    // AdmitSetter for `call` and the record's identifier, then `record` stored in `table`,
    // replacing the record with its identifier: the setters that keep nothing of the old one.
    template <typename Record>
    std::int32_t StoreRecord(RecordedCall call, RecordTable<Record>& table, const Record& record);
    // The checks of a grade's price at `level`: kRecordNotFound for a null `grade` (unknown),
    // kInvalidArgument for a level outside 1..8, else kSuccess.
    static std::int32_t CheckPriceLevel(const GradeRecord* grade, std::int16_t level);

    // The identifiers of the pump's hoses in the order of their numbers.
    const std::vector<std::int32_t>& HosesOf(std::int32_t pumpId);
    // The identifiers of the products `filter` selects.
    const std::vector<std::int32_t>& ProductsSelectedBy(const ProductFilter& filter);

    std::vector<RecordedCall> calls_;
    FaultPlan faults_;
    LogonState logon_{[this](RecordedCall call) { return Intake(std::move(call)); }};
    WideString dllVersion_ = WSTR("Kestro client 4.2.1 (in-process station model)");
    WideString serverVersion_ = WSTR("Kestro station model 4.2.1");
    std::map<std::int32_t, WideString> resultTexts_;
    Configuration config_;

    // Derived from config_ on first use and dropped whenever it changes, so that a client
    // walking every hose or product by position costs linear time.
    std::optional<std::map<std::int32_t, std::vector<std::int32_t>>> hosesByPump_;
    std::optional<std::pair<ProductFilter, std::vector<std::int32_t>>> productSelection_;
};

}  // namespace kestro
