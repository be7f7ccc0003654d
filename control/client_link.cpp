// The client object's members as the control calls them: DISPID and argument types per member.
#include "control/client_link.h"

#include "client/kestro_automation.h"
#include "control/tolvan_ids.h"

namespace tolvan {

using namespace kestro_automation;

// The 17 outputs of a delivery read, in order.
#define VTS_DELIVERY_OUTPUTS                                                                    \
    VTS_PI4 VTS_PI2 VTS_PI2 VTS_PI4 VTS_PI2 VTS_PI4 VTS_PBSTR VTS_PBSTR VTS_PI2 VTS_PR8 VTS_PR8 \
        VTS_PR8 VTS_PI4 VTS_PI4 VTS_PI4 VTS_PDATE VTS_PI4
#define VTS_LIMIT VTS_I2 VTS_R8 VTS_I2 VTS_I2

CClientLink::~CClientLink() {
    Drop();
}

void CClientLink::Attach(IDispatch* client) {
    Drop();
    if (client != nullptr) {
        driver_.AttachDispatch(client, FALSE);
    }
}

void CClientLink::Drop() {
    driver_.DetachDispatch();
}

template <class... Args>
LONG CClientLink::Call(DISPID dispid, const char* types, Args... args) {
    if (!IsAttached()) {
        return kNoClientObject;
    }
    LONG result = 0;
    driver_.InvokeHelper(dispid, DISPATCH_METHOD, VT_I4, &result, types, args...);
    return result;
}

LONG CClientLink::ReadPumpProperties(LONG pumpId, LONG* number, BSTR* name, SHORT* physicalNumber,
                                     SHORT* side, SHORT* address, SHORT* priceLevel1,
                                     SHORT* priceLevel2, SHORT* priceDspFormat,
                                     SHORT* volumeDspFormat, SHORT* valueDspFormat, SHORT* type,
                                     LONG* portId, LONG* attendantId, SHORT* authMode,
                                     SHORT* stackMode, SHORT* prepayAllowed,
                                     SHORT* preauthAllowed) {
    return Call(kReadPumpProperties,
                VTS_I4 VTS_PI4 VTS_PBSTR VTS_PI2 VTS_PI2 VTS_PI2 VTS_PI2 VTS_PI2 VTS_PI2 VTS_PI2
                    VTS_PI2 VTS_PI2 VTS_PI4 VTS_PI4 VTS_PI2 VTS_PI2 VTS_PI2 VTS_PI2,
                pumpId, number, name, physicalNumber, side, address, priceLevel1, priceLevel2,
                priceDspFormat, volumeDspFormat, valueDspFormat, type, portId, attendantId,
                authMode, stackMode, prepayAllowed, preauthAllowed);
}

LONG CClientLink::ReadPumpStatus(LONG pumpId, SHORT* state, SHORT* reservedFor, LONG* reservedBy,
                                 LONG* hoseId, SHORT* hoseNumber, LONG* gradeId, BSTR* gradeName,
                                 BSTR* shortGradeName, SHORT* priceLevel, double* price,
                                 double* volume, double* value, SHORT* stackSize) {
    return Call(kReadPumpStatus,
                VTS_I4 VTS_PI2 VTS_PI2 VTS_PI4 VTS_PI4 VTS_PI2 VTS_PI4 VTS_PBSTR VTS_PBSTR VTS_PI2
                    VTS_PR8 VTS_PR8 VTS_PR8 VTS_PI2,
                pumpId, state, reservedFor, reservedBy, hoseId, hoseNumber, gradeId, gradeName,
                shortGradeName, priceLevel, price, volume, value, stackSize);
}

LONG CClientLink::ReadPumpHosesCount(LONG pumpId, LONG* count) {
    return Call(kReadPumpHosesCount, VTS_I4 VTS_PI4, pumpId, count);
}

LONG CClientLink::ReadPumpHoseByNumber(LONG pumpId, LONG hoseNumber, LONG* hoseId) {
    return Call(kReadPumpHoseByNumber, VTS_I4 VTS_I4 VTS_PI4, pumpId, hoseNumber, hoseId);
}

LONG CClientLink::ReadPumpDelivery(LONG pumpId, SHORT delIndex, LONG* id, SHORT* type, SHORT* state,
                                   LONG* hoseId, SHORT* hoseNum, LONG* gradeId, BSTR* gradeName,
                                   BSTR* shortGradeName, SHORT* priceLevel, double* price,
                                   double* volume, double* value, LONG* lockedBy, LONG* reservedBy,
                                   LONG* age, DATE* completedDT, LONG* attendantId) {
    return Call(kReadPumpDelivery, VTS_I4 VTS_I2 VTS_DELIVERY_OUTPUTS, pumpId, delIndex, id, type,
                state, hoseId, hoseNum, gradeId, gradeName, shortGradeName, priceLevel, price,
                volume, value, lockedBy, reservedBy, age, completedDT, attendantId);
}

LONG CClientLink::ReadPumpDeliveryEx(LONG pumpId, SHORT delIndex, LONG* id, SHORT* type,
                                     SHORT* state, LONG* hoseId, SHORT* hoseNum, LONG* gradeId,
                                     BSTR* gradeName, BSTR* shortGradeName, SHORT* priceLevel,
                                     double* price, double* volume, double* value, LONG* lockedBy,
                                     LONG* reservedBy, LONG* age, DATE* completedDT,
                                     LONG* attendantId, double* volumeETot, double* volume2ETot,
                                     double* valueETot) {
    return Call(kReadPumpDeliveryEx, VTS_I4 VTS_I2 VTS_DELIVERY_OUTPUTS VTS_PR8 VTS_PR8 VTS_PR8,
                pumpId, delIndex, id, type, state, hoseId, hoseNum, gradeId, gradeName,
                shortGradeName, priceLevel, price, volume, value, lockedBy, reservedBy, age,
                completedDT, attendantId, volumeETot, volume2ETot, valueETot);
}

LONG CClientLink::RegisterPumpControl(LONG pumpId, IDispatch** control) {
    return Call(kRegisterPumpControl, VTS_I4 VTS_PDISPATCH, pumpId, control);
}

LONG CClientLink::PumpPrepayReserve(LONG pumpId) {
    return Call(kPumpPrepayReserve, VTS_I4, pumpId);
}

LONG CClientLink::PumpPrepayCancel(LONG pumpId) {
    return Call(kPumpPrepayCancel, VTS_I4, pumpId);
}

LONG CClientLink::PumpPrepayAuthorise(LONG pumpId, SHORT limitType, double value, SHORT hose,
                                      SHORT priceLevel) {
    return Call(kPumpPrepayAuthorise, VTS_I4 VTS_LIMIT, pumpId, limitType, value, hose, priceLevel);
}

LONG CClientLink::PumpPreauthReserve(LONG pumpId) {
    return Call(kPumpPreauthReserve, VTS_I4, pumpId);
}

LONG CClientLink::PumpPreauthCancel(LONG pumpId) {
    return Call(kPumpPreauthCancel, VTS_I4, pumpId);
}

LONG CClientLink::PumpPreauthAuthorise(LONG pumpId, SHORT limitType, double value, SHORT hose,
                                       SHORT priceLevel) {
    return Call(kPumpPreauthAuthorise, VTS_I4 VTS_LIMIT, pumpId, limitType, value, hose,
                priceLevel);
}

LONG CClientLink::PumpLoadPreset(LONG pumpId, SHORT limitType, double value, SHORT hose,
                                 SHORT priceLevel) {
    return Call(kPumpLoadPreset, VTS_I4 VTS_LIMIT, pumpId, limitType, value, hose, priceLevel);
}

LONG CClientLink::PumpAttendantAuthorise(LONG pumpId, LONG attendantId) {
    return Call(kPumpAttendantAuthorise, VTS_I4 VTS_I4, pumpId, attendantId);
}

LONG CClientLink::PumpAuthorise(LONG pumpId) {
    return Call(kPumpAuthorise, VTS_I4, pumpId);
}

LONG CClientLink::PumpCancelAuthorise(LONG pumpId) {
    return Call(kPumpCancelAuthorise, VTS_I4, pumpId);
}

LONG CClientLink::PumpTempStop(LONG pumpId) {
    return Call(kPumpTempStop, VTS_I4, pumpId);
}

LONG CClientLink::PumpReAuthorise(LONG pumpId) {
    return Call(kPumpReAuthorise, VTS_I4, pumpId);
}

LONG CClientLink::PumpTerminateDelivery(LONG pumpId) {
    return Call(kPumpTerminateDelivery, VTS_I4, pumpId);
}

LONG CClientLink::PumpStackCurrentDelivery(LONG pumpId) {
    return Call(kPumpStackCurrentDelivery, VTS_I4, pumpId);
}

LONG CClientLink::PumpAttendantLogon(LONG attendantId, LONG pumpId) {
    return Call(kPumpAttendantLogon, VTS_I4 VTS_I4, attendantId, pumpId);
}

void CClientLink::PutCurrentPumpID(LONG pumpId) {
    if (IsAttached()) {
        driver_.SetProperty(kCurrentPumpID, VT_I4, pumpId);
    }
}

}  // namespace tolvan
