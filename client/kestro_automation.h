// The members of the Kestro client automation object that Tolvan calls, by DISPID. Only the
// DISPID, the kind, the order and the automation types of the arguments bind the object; the
// names are the control's own. Every member returns a signed 32-bit result, 0 for success.
#pragma once

#include "platform/variant.h"

namespace kestro_automation {

// Methods unless noted. "ref" marks an argument passed by reference, which the client object
// fills (RegisterPumpControl reads it).
enum : DISPID {
    // pump ID (long); ref: Number (long), Name (BSTR), PhysicalNumber, Side, Address,
    // PriceLevel1, PriceLevel2, PriceDspFormat, VolumeDspFormat, ValueDspFormat, Type (short),
    // PortID, AttendantID (long), AuthMode, StackMode, PrepayAllowed, PreauthAllowed (short)
    kReadPumpProperties = 7,
    // pump ID (long); ref: count (long)
    kReadPumpHosesCount = 10,
    // pump ID (long), hose number (long); ref: hose ID (long)
    kReadPumpHoseByNumber = 11,
    // pump ID (long); ref: State, ReservedFor (short), ReservedBy, HoseID (long), HoseNumber
    // (short), GradeID (long), GradeName, ShortGradeName (BSTR), PriceLevel (short), Price,
    // Volume, Value (double), StackSize (short)
    kReadPumpStatus = 12,
    // pump ID (long), DelIndex (short); ref: ID (long), Type, State (short), HoseID (long),
    // HoseNum (short), GradeID (long), GradeName, ShortGradeName (BSTR), PriceLevel (short),
    // Price, Volume, Value (double), LockedBy, ReservedBy, Age (long), CompletedDT (DATE),
    // AttendantID (long)
    kReadPumpDelivery = 13,
    kPumpPrepayReserve = 14,  // pump ID (long)
    kPumpPrepayCancel = 15,   // pump ID (long)
    // pump ID (long), LimitType (short), Value (double), Hose (short), PriceLevel (short)
    kPumpPrepayAuthorise = 16,
    kPumpPreauthReserve = 17,  // pump ID (long)
    kPumpPreauthCancel = 18,   // pump ID (long)
    // pump ID (long), LimitType (short), Value (double), Hose (short), PriceLevel (short)
    kPumpPreauthAuthorise = 19,
    // pump ID (long), LimitType (short), Value (double), Hose (short), PriceLevel (short)
    kPumpLoadPreset = 20,
    kPumpAttendantAuthorise = 21,    // pump ID (long), attendant ID (long)
    kPumpAuthorise = 22,             // pump ID (long)
    kPumpCancelAuthorise = 23,       // pump ID (long); 25: a delivery has already started
    kPumpTempStop = 24,              // pump ID (long)
    kPumpReAuthorise = 25,           // pump ID (long)
    kPumpTerminateDelivery = 26,     // pump ID (long)
    kPumpStackCurrentDelivery = 27,  // pump ID (long)
    // pump ID (long); ref: the control's dispatch interface (IDispatch), null to withdraw
    kRegisterPumpControl = 72,
    kCurrentPumpID = 74,  // property put of a long: the current pump's ID
    // attendant ID (long), pump ID (long)
    kPumpAttendantLogon = 87,
    // as kReadPumpDelivery, then ref: VolumeETot, Volume2ETot, ValueETot (double)
    kReadPumpDeliveryEx = 93,
};

// The control's sinks that the client object calls with its pump's events: the arguments of
// the control's StatusEventSink and DeliveryEventExSink.
enum : DISPID {
    kStatusEventSink = 49,
    kDeliveryEventExSink = 63,
};

}  // namespace kestro_automation
