// The live forecourt of the station: every configured pump simulated from its records (hoses,
// grades and their prices, price levels, auth and stack modes, prepay and preauth allowed).
// Pump commands and customer actions change it, time moves it (a running delivery counts up at
// the flow rate), and every change of a pump's status or of one of its deliveries is handed to
// an event sink in the order it happened. Deterministic: the same calls with the same time
// steps give the same events.
//
// The codes of pump states, reservations, delivery states and types and limit types are named
// in client/pump_codes.h (0 not responding; 1, 2, 16, 17 errors; 3 idle; 5 authorised;
// 6 calling; 7 starting; 8 delivering; 9 temporarily stopped; 10 and 12 near the limit; 13 ended
// at its limit; 14 prepay stopped; 15 stopped by the controller).
// Modes: AuthMode 2 authorises a lifted nozzle by itself, any other value waits for a command.
// StackMode 0 allows no stacked delivery.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "client/pump_codes.h"
#include "kestro/model/configuration.h"
#include "platform/win_types.h"

namespace kestro {

// A pump's status as ReadPumpStatus and a status event carry it.
struct PumpStatus {
    std::int16_t state = pump_state::kNotResponding;
    std::int16_t reservedFor = reserved_for::kNone;
    std::int32_t reservedBy = -1;
    std::int32_t hoseId = -1;
    std::int16_t hoseNumber = 0;
    std::int32_t gradeId = -1;
    WideString gradeName;
    WideString shortGradeName;
    std::int16_t priceLevel = 1;
    double price = 0;
    double volume = 0;
    double value = 0;
    std::int16_t stackSize = 0;  // the pump's unpaid deliveries (current and stacked)

    bool operator==(const PumpStatus&) const = default;
};

// One delivery of a pump as ReadPumpDelivery and a delivery event carry it.
struct PumpDelivery {
    std::int32_t id = 0;
    std::int32_t hoseId = -1;
    std::int16_t hoseNumber = 0;
    std::int32_t gradeId = -1;
    WideString gradeName;
    WideString shortGradeName;
    std::int16_t priceLevel = 1;
    double price = 0;
    double volume = 0;
    double value = 0;
    std::int16_t state = delivery_state::kCurrent;
    std::int16_t type = delivery_type::kNormal;
    std::int32_t lockedBy = -1;
    std::int32_t reservedBy = -1;
    std::int32_t age = 0;      // seconds since completion; negative once overdue
    double completedDate = 0;  // automation date (days since 1899-12-30)
    std::int32_t attendantId = -1;
    double volumeTotal = 0;   // the hose's electronic volume total after the delivery
    double volume2Total = 0;  // the pump's electronic volume total over all its hoses
    double valueTotal = 0;    // the hose's electronic money total after the delivery

    bool operator==(const PumpDelivery&) const = default;
};

struct PumpEvent {
    enum class Kind { kStatus, kDelivery };
    Kind kind = Kind::kStatus;
    std::int32_t pumpId = 0;
    PumpStatus status;      // kStatus
    PumpDelivery delivery;  // kDelivery
};

class PumpSimulator {
  public:
    static constexpr std::int64_t kStepMs = 100;          // time moves in steps of this size
    static constexpr std::int64_t kStartingMs = 1000;     // state 7 lasts this long
    static constexpr std::int64_t kOverdueSeconds = 600;  // an unpaid delivery older is overdue
    static constexpr int kMaxStacked = 3;                 // stacked deliveries per pump
    static constexpr double kMaxLimit = 99999.99;

    using EventSink = std::function<void(const PumpEvent&)>;

    // Simulates the pumps of `configuration`, which must outlive the simulator; a pump added
    // to it later joins at its first command. `startDate` is the automation date at time 0.
    PumpSimulator(const Configuration& configuration, double startDate);

    // Receives every event from now on, on the calling thread of the change.
    void SetEventSink(EventSink sink) { sink_ = std::move(sink); }
    // Litres per second of every pump from now on; kInvalidArgument unless 0 < rate <= 100.
    std::int32_t SetFlowRate(double litresPerSecond);
    double FlowRate() const { return flowRate_; }

    // Moves the time forward by `ms` (>= 0) in steps of kStepMs (a rest below a step is
    // kept for the next call), running deliveries and the starting state.
    void Advance(std::int64_t ms);
    std::int64_t NowMs() const { return nowMs_; }

    // ---- Reading -------------------------------------------------------------------------
    // kRecordNotFound for a pump that is not configured; out-values written only on success.
    std::int32_t ReadStatus(std::int32_t pumpId, PumpStatus* status);
    // The pump's `index`-th unpaid delivery (1 = the oldest); kRecordNotFound outside.
    std::int32_t ReadDelivery(std::int32_t pumpId, std::int32_t index, PumpDelivery* delivery);
    std::int32_t DeliveryCount(std::int32_t pumpId, std::int32_t* count);

    // ---- Pump commands -------------------------------------------------------------------
    // Each answers kRecordNotFound for an unknown pump, a refusal code of result_codes.h when
    // the pump cannot take it (nothing changes then), else kSuccess. `clientId` names the
    // client that reserves (ReservedBy).
    std::int32_t Authorise(std::int32_t pumpId);
    std::int32_t AttendantAuthorise(std::int32_t pumpId, std::int32_t attendantId);
    // kDeliveryStarted once fuel has started to flow.
    std::int32_t CancelAuthorise(std::int32_t pumpId);
    std::int32_t TempStop(std::int32_t pumpId);
    std::int32_t ReAuthorise(std::int32_t pumpId);
    std::int32_t TerminateDelivery(std::int32_t pumpId);
    std::int32_t StackCurrentDelivery(std::int32_t pumpId);
    std::int32_t PrepayReserve(std::int32_t pumpId, std::int32_t clientId);
    std::int32_t PrepayCancel(std::int32_t pumpId, std::int32_t clientId);
    std::int32_t PrepayAuthorise(std::int32_t pumpId, std::int32_t clientId, std::int16_t limitType,
                                 double limit, std::int16_t hose, std::int16_t priceLevel);
    std::int32_t PreauthReserve(std::int32_t pumpId, std::int32_t clientId);
    std::int32_t PreauthCancel(std::int32_t pumpId, std::int32_t clientId);
    std::int32_t PreauthAuthorise(std::int32_t pumpId, std::int32_t clientId,
                                  std::int16_t limitType, double limit, std::int16_t hose,
                                  std::int16_t priceLevel);
    // A limit for the next delivery, without authorising it.
    std::int32_t LoadPreset(std::int32_t pumpId, std::int16_t limitType, double limit,
                            std::int16_t hose, std::int16_t priceLevel);
    // The attendant (-1: none) whose deliveries the pump makes from now on.
    std::int32_t AttendantLogon(std::int32_t attendantId, std::int32_t pumpId);

    // ---- Customer actions and faults -------------------------------------------------------
    // Lifts the hose numbered `hoseNumber` on the pump (kInvalidArgument for another number).
    std::int32_t Lift(std::int32_t pumpId, std::int32_t hoseNumber);
    // Hangs the nozzle up; a delivery with fuel becomes the pump's current delivery.
    std::int32_t Hang(std::int32_t pumpId);
    // Clears (pays) an unpaid delivery of the pump.
    std::int32_t Pay(std::int32_t pumpId, std::int32_t deliveryId);
    // Marks an unpaid delivery as a drive-off (type 3); it stays unpaid.
    std::int32_t DriveOff(std::int32_t pumpId, std::int32_t deliveryId);
    // Puts the pump into the fault state `state` (0 not responding, 1, 2, 16, 17 errors), or
    // back to idle with 3, as a fault or its end would; kInvalidArgument for any other state.
    // A running delivery stops and is kept as the current delivery when fuel had flowed.
    std::int32_t Fault(std::int32_t pumpId, std::int16_t state);

    // The configured pumps' identifiers, ascending.
    std::vector<std::int32_t> PumpIds() const;

  private:
    struct Limit {
        std::int16_t type = 0;
        double amount = 0;
        std::int16_t hose = 0;        // 0: any hose
        std::int16_t priceLevel = 0;  // 0: the pump's own
    };
    struct StoredDelivery {
        PumpDelivery delivery;
        std::int64_t completedMs = 0;
    };
    struct Pump {
        PumpStatus status;
        std::optional<Limit> limit;
        std::int16_t resumeState = pump_state::kDelivering;  // where ReAuthorise returns to
        std::int64_t startingLeftMs = 0;
        std::int64_t flowMs = 0;              // time fuel has flowed in the running delivery
        std::int32_t attendantId = -1;        // logged on at the pump
        std::int32_t deliveryAttendant = -1;  // of the running delivery
        std::int16_t deliveryType = 1;
        std::vector<StoredDelivery> deliveries;  // unpaid, oldest first
        PumpStatus emitted;                      // the status last handed to the sink
        bool everEmitted = false;
    };

    // The live pump `pumpId`, created from its record on first use; null when not configured.
    Pump* Find(std::int32_t pumpId);
    const PumpRecord* RecordOf(std::int32_t pumpId) const;
    std::int16_t IdleState(std::int32_t pumpId) const;
    static bool Flowing(std::int16_t state);
    // Idle, authorised or calling: no delivery under way, so a reservation or a limit may come.
    static bool Waiting(std::int16_t state);
    static bool Started(std::int16_t state);
    std::int32_t CheckLimit(std::int16_t limitType, double limit, std::int16_t hose,
                            std::int16_t priceLevel) const;
    std::int32_t Reserve(std::int32_t pumpId, std::int32_t clientId, std::int16_t reservedFor,
                         bool allowed);
    std::int32_t CancelReservation(std::int32_t pumpId, std::int32_t clientId,
                                   std::int16_t reserved, std::int16_t authorised);
    std::int32_t AuthoriseReserved(std::int32_t pumpId, std::int32_t clientId,
                                   std::int16_t reserved, std::int16_t authorised,
                                   std::int16_t limitType, double limit, std::int16_t hose,
                                   std::int16_t priceLevel);
    // Authorises the pump: a lifted nozzle starts, an idle pump waits authorised.
    std::int32_t Grant(std::int32_t pumpId, Pump& pump, std::int32_t attendantId);
    // Starts a delivery on the lifted hose, stacking the current one first if there is one.
    // Answers a refusal when the current delivery cannot be stacked.
    std::int32_t Start(std::int32_t pumpId, Pump& pump);
    // Prices the delivery on the lifted hose at the level in force.
    void PriceHose(std::int32_t pumpId, Pump& pump, std::int32_t hoseNumber);
    // Ends the running delivery; with fuel it becomes the current delivery.
    void Complete(std::int32_t pumpId, Pump& pump);
    void Step(std::int32_t pumpId, Pump& pump);
    StoredDelivery* FindDelivery(Pump& pump, std::int32_t deliveryId);
    PumpDelivery Aged(const StoredDelivery& stored) const;
    void EmitStatus(std::int32_t pumpId, Pump& pump);
    void EmitDelivery(std::int32_t pumpId, const PumpDelivery& delivery);
    void Refresh(Pump& pump);

    const Configuration& config_;
    double startDate_;
    double flowRate_ = 0.5;
    std::int64_t nowMs_ = 0;
    std::int64_t pendingMs_ = 0;
    std::int32_t nextDeliveryId_ = 1;
    std::map<std::int32_t, Pump> pumps_;
    std::map<std::int32_t, std::pair<double, double>> hoseTotals_;  // volume, value
    EventSink sink_;
};

}  // namespace kestro
