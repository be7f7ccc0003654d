// The server's call table: the logon family per connection, the getters as the in-process
// binding answers them, and the setters with their records saved before the answer.
#include "kestro/server/server_calls.h"

#include <optional>
#include <type_traits>

#include "client/kestro.h"
#include "kestro/inproc/bstr_values.h"
#include "kestro/model/result_codes.h"
#include "kestro/server/server_log.h"
#include "kestro/server/session.h"

namespace kestro::server {
namespace {

std::int32_t ServeClientLogonEx(std::int32_t clientId, std::int32_t clientKind, BSTR serverName,
                                std::int32_t callPort, std::int32_t eventsPort,
                                std::int32_t callTimeout, std::int32_t options,
                                std::int32_t eventMask, std::int32_t bufferSize) {
    return Session::Current().ClientLogonEx(clientId, clientKind, TextOf(serverName), callPort,
                                            eventsPort, callTimeout, options, eventMask,
                                            bufferSize);
}

std::int32_t ServeSetClientType(std::int32_t clientType) {
    return Session::Current().SetClientType(clientType);
}

std::int32_t ServeClientLogoff() {
    return Session::Current().ClientLogoff();
}

std::int32_t ServeServerVersion(BSTR* version) {
    return HandOutText(version,
                       [](WideString* out) { return Session::Current().ServerVersion(out); });
}

// Puts back the record `id` of `table` as it was before a setter changed it (`before`; none:
// the setter created it). Costs a copy of the configuration, paid only when saving failed.
template <auto table, typename Record>
void Restore(Station& station, std::int32_t id, const std::optional<Record>& before) {
    Configuration configuration = station.CurrentConfiguration();
    if (before) {
        (configuration.*table).Put(*before);
    } else {
        (configuration.*table).Remove(id);
    }
    station.LoadConfiguration(std::move(configuration));
}

// The setter `setter` of the flat binding followed by saving the record of `table` whose
// identifier the setter took first.
template <wire::CallCode code, auto setter, auto table,
          typename Function = std::remove_pointer_t<decltype(setter)>>
struct Persisting;

template <wire::CallCode code, auto setter, auto table, typename... Rest>
struct Persisting<code, setter, table, std::int32_t(std::int32_t, Rest...)> {
    static std::int32_t Call(std::int32_t id, Rest... rest) {
        Session& session = Session::Current();
        Station& station = session.served().station;
        const auto* found = (station.CurrentConfiguration().*table).Find(id);
        using Record = std::remove_cvref_t<decltype(*found)>;
        std::optional<Record> before;
        if (found != nullptr) {
            before = *found;
        }
        const std::int32_t rc = setter(id, rest...);
        if (rc != kSuccess) {
            return rc;
        }
        const Record* after = (station.CurrentConfiguration().*table).Find(id);
        StationStore& store = session.served().store;
        if (after == nullptr || store.Save(*after)) {
            return rc;
        }
        LogLine(session.name() + ": " + wire::FindCall(static_cast<std::uint16_t>(code))->name +
                " " + std::to_string(id) + " not saved: " + store.error());
        Restore<table>(station, id, before);
        return kNotSaved;
    }
};

}  // namespace

// The setter `call` saving its record of Configuration::`member`.
#define KESTRO_SAVED(call, member) \
    table.call = &Persisting<wire::CallCode::call, &::call, &Configuration::member>::Call;

wire::CallTable ServerCallTable() {
    wire::CallTable table;
    table.ClientLogonEx = &ServeClientLogonEx;
    table.SetClientType = &ServeSetClientType;
    table.ClientLogoff = &ServeClientLogoff;
    table.ResultString = &::ResultString;
    table.ServerVersion = &ServeServerVersion;

    table.GetPortsCount = &::GetPortsCount;
    table.GetPortByOrdinal = &::GetPortByOrdinal;
    table.GetPortProperties = &::GetPortProperties;
    KESTRO_SAVED(SetPortProperties, ports)
    table.GetZB2GConfig = &::GetZB2GConfig;
    table.GetDeviceDetails = &::GetDeviceDetails;

    table.GetGradesCount = &::GetGradesCount;
    table.GetGradeByOrdinal = &::GetGradeByOrdinal;
    table.GetGradePropertiesEx = &::GetGradePropertiesEx;
    KESTRO_SAVED(SetGradePropertiesEx, grades)
    table.GetGradePrice = &::GetGradePrice;
    KESTRO_SAVED(SetGradePrice, grades)

    table.GetTanksCount = &::GetTanksCount;
    table.GetTankByOrdinal = &::GetTankByOrdinal;
    table.GetTankPropertiesEx2 = &::GetTankPropertiesEx2;
    KESTRO_SAVED(SetTankPropertiesEx2, tanks)

    table.GetZigBeeCount = &::GetZigBeeCount;
    table.GetZigBeeByOrdinal = &::GetZigBeeByOrdinal;
    table.GetZigBeeProperties = &::GetZigBeeProperties;
    KESTRO_SAVED(SetZigBeeProperties, zigBees)

    table.GetPumpsCount = &::GetPumpsCount;
    table.GetPumpByOrdinal = &::GetPumpByOrdinal;
    table.GetPumpPropertiesEx = &::GetPumpPropertiesEx;
    KESTRO_SAVED(SetPumpPropertiesEx, pumps)
    table.GetPumpHosesCount = &::GetPumpHosesCount;
    table.GetPumpHoseByNumber = &::GetPumpHoseByNumber;
    table.GetHosePropertiesEx2 = &::GetHosePropertiesEx2;
    KESTRO_SAVED(SetHosePropertiesEx2, hoses)

    table.GetSensorsCount = &::GetSensorsCount;
    table.GetSensorByOrdinal = &::GetSensorByOrdinal;
    table.GetSensorPropertiesEx = &::GetSensorPropertiesEx;
    KESTRO_SAVED(SetSensorPropertiesEx, sensors)

    table.GetAttendantsCount = &::GetAttendantsCount;
    table.GetAttendantByOrdinal = &::GetAttendantByOrdinal;
    table.GetAttendantPropertiesEx2 = &::GetAttendantPropertiesEx2;
    KESTRO_SAVED(SetAttendantPropertiesEx2, attendants)

    table.GetCardClientsCount = &::GetCardClientsCount;
    table.GetCardClientByOrdinal = &::GetCardClientByOrdinal;
    table.GetCardClientPropertiesEx4 = &::GetCardClientPropertiesEx4;
    KESTRO_SAVED(SetCardClientPropertiesEx4, cardClients)

    table.GetProductsCount = &::GetProductsCount;
    table.GetProductByOrdinal = &::GetProductByOrdinal;
    table.GetProductProperties = &::GetProductProperties;
    KESTRO_SAVED(SetProductProperties, products)
    return table;
}

#undef KESTRO_SAVED

}  // namespace kestro::server
