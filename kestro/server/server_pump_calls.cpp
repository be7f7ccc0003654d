// The pump calls as the server answers them.
#include "kestro/server/server_pump_calls.h"

#include "kestro/inproc/bstr_values.h"
#include "kestro/model/result_codes.h"
#include "kestro/server/live_forecourt.h"
#include "kestro/server/session.h"

namespace kestro::server {
namespace {

using I16 = std::int16_t;
using I32 = std::int32_t;
using I64 = std::int64_t;

LiveForecourt* Forecourt() {
    return Session::Current().served().forecourt;
}

// Runs `command` on the forecourt's pumps, or answers kCallNotSupported without one.
template <typename Command>
I32 OnPumps(Command command) {
    LiveForecourt* forecourt = Forecourt();
    return forecourt != nullptr ? command(forecourt->pumps()) : kCallNotSupported;
}

BSTR Bstr(const WideString& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

I32 ServeOpenEvents(I32* ticket) {
    EventHub* hub = Session::Current().served().events;
    if (hub == nullptr) {
        return kCallNotSupported;
    }
    *ticket = hub->IssueTicket();
    return kSuccess;
}

I32 ServeReadPumpStatus(I32 pumpId, I16* state, I16* reservedFor, I32* reservedBy, I32* hoseId,
                        I16* hoseNumber, I32* gradeId, BSTR* gradeName, BSTR* shortGradeName,
                        I16* priceLevel, double* price, double* volume, double* value,
                        I16* stackSize) {
    return OnPumps([&](PumpSimulator& pumps) {
        PumpStatus status;
        I32 rc = pumps.ReadStatus(pumpId, &status);
        if (rc == kSuccess) {
            *state = status.state;
            *reservedFor = status.reservedFor;
            *reservedBy = status.reservedBy;
            *hoseId = status.hoseId;
            *hoseNumber = status.hoseNumber;
            *gradeId = status.gradeId;
            *gradeName = Bstr(status.gradeName);
            *shortGradeName = Bstr(status.shortGradeName);
            *priceLevel = status.priceLevel;
            *price = status.price;
            *volume = status.volume;
            *value = status.value;
            *stackSize = status.stackSize;
        }
        return rc;
    });
}

I32 ServeReadPumpDelivery(I32 pumpId, I16 index, I32* id, I16* type, I16* state, I32* hoseId,
                          I16* hoseNumber, I32* gradeId, BSTR* gradeName, BSTR* shortGradeName,
                          I16* priceLevel, double* price, double* volume, double* value,
                          I32* lockedBy, I32* reservedBy, I32* age, double* completedDate,
                          I32* attendantId, double* volumeTotal, double* volume2Total,
                          double* valueTotal) {
    return OnPumps([&](PumpSimulator& pumps) {
        PumpDelivery delivery;
        I32 rc = pumps.ReadDelivery(pumpId, index, &delivery);
        if (rc == kSuccess) {
            *id = delivery.id;
            *type = delivery.type;
            *state = delivery.state;
            *hoseId = delivery.hoseId;
            *hoseNumber = delivery.hoseNumber;
            *gradeId = delivery.gradeId;
            *gradeName = Bstr(delivery.gradeName);
            *shortGradeName = Bstr(delivery.shortGradeName);
            *priceLevel = delivery.priceLevel;
            *price = delivery.price;
            *volume = delivery.volume;
            *value = delivery.value;
            *lockedBy = delivery.lockedBy;
            *reservedBy = delivery.reservedBy;
            *age = delivery.age;
            *completedDate = delivery.completedDate;
            *attendantId = delivery.attendantId;
            *volumeTotal = delivery.volumeTotal;
            *volume2Total = delivery.volume2Total;
            *valueTotal = delivery.valueTotal;
        }
        return rc;
    });
}

I32 ServeReadPumpDeliveryCount(I32 pumpId, I32* count) {
    return OnPumps([&](PumpSimulator& pumps) { return pumps.DeliveryCount(pumpId, count); });
}

I32 ServeCurrentPump(I32 pumpId) {
    return OnPumps([&](PumpSimulator& pumps) {
        PumpStatus status;
        return pumps.ReadStatus(pumpId, &status);
    });
}

// A command of the simulator taking the pump only.
template <I32 (PumpSimulator::*command)(I32)>
I32 ServeCommand(I32 pumpId) {
    return OnPumps([&](PumpSimulator& pumps) { return (pumps.*command)(pumpId); });
}

// A command of the simulator taking the pump and the calling client's identifier.
template <I32 (PumpSimulator::*command)(I32, I32)>
I32 ServeClientCommand(I32 pumpId) {
    const I32 clientId = Session::Current().ClientId();
    return OnPumps([&](PumpSimulator& pumps) { return (pumps.*command)(pumpId, clientId); });
}

template <I32 (PumpSimulator::*command)(I32, I32, I16, double, I16, I16)>
I32 ServeReservedLimit(I32 pumpId, I16 limitType, double limit, I16 hose, I16 priceLevel) {
    const I32 clientId = Session::Current().ClientId();
    return OnPumps([&](PumpSimulator& pumps) {
        return (pumps.*command)(pumpId, clientId, limitType, limit, hose, priceLevel);
    });
}

I32 ServeLoadPreset(I32 pumpId, I16 limitType, double limit, I16 hose, I16 priceLevel) {
    return OnPumps([&](PumpSimulator& pumps) {
        return pumps.LoadPreset(pumpId, limitType, limit, hose, priceLevel);
    });
}

template <I32 (PumpSimulator::*command)(I32, I32)>
I32 ServeWithId(I32 first, I32 second) {
    return OnPumps([&](PumpSimulator& pumps) { return (pumps.*command)(first, second); });
}

I32 ServePumpFault(I32 pumpId, I16 state) {
    return OnPumps([&](PumpSimulator& pumps) { return pumps.Fault(pumpId, state); });
}

I32 ServeClockTick(I32 ms, I64* nowMs) {
    LiveForecourt* forecourt = Forecourt();
    if (forecourt == nullptr) {
        return kCallNotSupported;
    }
    if (ms < 0 || ms > wire::kMaxClockTickMs) {
        return kInvalidArgument;
    }
    forecourt->Advance(ms);
    *nowMs = forecourt->pumps().NowMs();
    return kSuccess;
}

I32 ServeSetFlowRate(double litresPerSecond) {
    return OnPumps([&](PumpSimulator& pumps) { return pumps.SetFlowRate(litresPerSecond); });
}

}  // namespace

wire::PumpCallTable ServerPumpCallTable() {
    wire::PumpCallTable table;
    table.OpenEvents = &ServeOpenEvents;
    table.ReadPumpStatus = &ServeReadPumpStatus;
    table.ReadPumpDelivery = &ServeReadPumpDelivery;
    table.ReadPumpDeliveryCount = &ServeReadPumpDeliveryCount;
    table.CurrentPump = &ServeCurrentPump;
    table.PumpAuthorise = &ServeCommand<&PumpSimulator::Authorise>;
    table.PumpCancelAuthorise = &ServeCommand<&PumpSimulator::CancelAuthorise>;
    table.PumpTempStop = &ServeCommand<&PumpSimulator::TempStop>;
    table.PumpReAuthorise = &ServeCommand<&PumpSimulator::ReAuthorise>;
    table.PumpTerminateDelivery = &ServeCommand<&PumpSimulator::TerminateDelivery>;
    table.PumpStackCurrentDelivery = &ServeCommand<&PumpSimulator::StackCurrentDelivery>;
    table.PumpAttendantAuthorise = &ServeWithId<&PumpSimulator::AttendantAuthorise>;
    table.PumpAttendantLogon = &ServeWithId<&PumpSimulator::AttendantLogon>;
    table.PumpPrepayReserve = &ServeClientCommand<&PumpSimulator::PrepayReserve>;
    table.PumpPrepayCancel = &ServeClientCommand<&PumpSimulator::PrepayCancel>;
    table.PumpPrepayAuthorise = &ServeReservedLimit<&PumpSimulator::PrepayAuthorise>;
    table.PumpPreauthReserve = &ServeClientCommand<&PumpSimulator::PreauthReserve>;
    table.PumpPreauthCancel = &ServeClientCommand<&PumpSimulator::PreauthCancel>;
    table.PumpPreauthAuthorise = &ServeReservedLimit<&PumpSimulator::PreauthAuthorise>;
    table.PumpLoadPreset = &ServeLoadPreset;
    table.CustomerLift = &ServeWithId<&PumpSimulator::Lift>;
    table.CustomerHang = &ServeCommand<&PumpSimulator::Hang>;
    table.CustomerPay = &ServeWithId<&PumpSimulator::Pay>;
    table.CustomerDriveOff = &ServeWithId<&PumpSimulator::DriveOff>;
    table.PumpFault = &ServePumpFault;
    table.ClockTick = &ServeClockTick;
    table.SetFlowRate = &ServeSetFlowRate;
    return table;
}

}  // namespace kestro::server
