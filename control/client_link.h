// The control's link to the Kestro client automation object: a borrowed IDispatch, called by
// DISPID through COleDispatchDriver with the argument types the client object expects
// (client/kestro_automation.h). Every call returns the member's 32-bit result unchanged, or
// kNoClientObject (-21) without calling anything when no client object is stored. A failing
// invocation (an error of the dispatch call itself) throws the driver's automation exception.
#pragma once

#include "platform/afx/ole_dispatch_driver.h"

namespace tolvan {

class CClientLink {
  public:
    CClientLink() = default;
    ~CClientLink();
    CClientLink(const CClientLink&) = delete;
    CClientLink& operator=(const CClientLink&) = delete;

    // Stores `client` without adding a reference (the container keeps it alive); a stored one
    // is dropped without being released. Null drops.
    void Attach(IDispatch* client);
    // Forgets the client object without releasing it and without calling it.
    void Drop();
    bool IsAttached() const { return driver_.m_lpDispatch != nullptr; }
    // The stored client object (no reference added), or null.
    IDispatch* GetDispatch() const { return driver_.m_lpDispatch; }

    // Pump configuration and status. Out-values are written by the client object.
    LONG ReadPumpProperties(LONG pumpId, LONG* number, BSTR* name, SHORT* physicalNumber,
                            SHORT* side, SHORT* address, SHORT* priceLevel1, SHORT* priceLevel2,
                            SHORT* priceDspFormat, SHORT* volumeDspFormat, SHORT* valueDspFormat,
                            SHORT* type, LONG* portId, LONG* attendantId, SHORT* authMode,
                            SHORT* stackMode, SHORT* prepayAllowed, SHORT* preauthAllowed);
    LONG ReadPumpStatus(LONG pumpId, SHORT* state, SHORT* reservedFor, LONG* reservedBy,
                        LONG* hoseId, SHORT* hoseNumber, LONG* gradeId, BSTR* gradeName,
                        BSTR* shortGradeName, SHORT* priceLevel, double* price, double* volume,
                        double* value, SHORT* stackSize);
    LONG ReadPumpHosesCount(LONG pumpId, LONG* count);
    LONG ReadPumpHoseByNumber(LONG pumpId, LONG hoseNumber, LONG* hoseId);
    LONG ReadPumpDelivery(LONG pumpId, SHORT delIndex, LONG* id, SHORT* type, SHORT* state,
                          LONG* hoseId, SHORT* hoseNum, LONG* gradeId, BSTR* gradeName,
                          BSTR* shortGradeName, SHORT* priceLevel, double* price, double* volume,
                          double* value, LONG* lockedBy, LONG* reservedBy, LONG* age,
                          DATE* completedDT, LONG* attendantId);
    LONG ReadPumpDeliveryEx(LONG pumpId, SHORT delIndex, LONG* id, SHORT* type, SHORT* state,
                            LONG* hoseId, SHORT* hoseNum, LONG* gradeId, BSTR* gradeName,
                            BSTR* shortGradeName, SHORT* priceLevel, double* price, double* volume,
                            double* value, LONG* lockedBy, LONG* reservedBy, LONG* age,
                            DATE* completedDT, LONG* attendantId, double* volumeETot,
                            double* volume2ETot, double* valueETot);

    // Registers `*control` as the pump's control, or withdraws the registration when it is
    // null. The client object reads the reference; no reference is added for the call.
    LONG RegisterPumpControl(LONG pumpId, IDispatch** control);

    // Pump commands.
    LONG PumpPrepayReserve(LONG pumpId);
    LONG PumpPrepayCancel(LONG pumpId);
    LONG PumpPrepayAuthorise(LONG pumpId, SHORT limitType, double value, SHORT hose,
                             SHORT priceLevel);
    LONG PumpPreauthReserve(LONG pumpId);
    LONG PumpPreauthCancel(LONG pumpId);
    LONG PumpPreauthAuthorise(LONG pumpId, SHORT limitType, double value, SHORT hose,
                              SHORT priceLevel);
    LONG PumpLoadPreset(LONG pumpId, SHORT limitType, double value, SHORT hose, SHORT priceLevel);
    LONG PumpAttendantAuthorise(LONG pumpId, LONG attendantId);
    LONG PumpAuthorise(LONG pumpId);
    LONG PumpCancelAuthorise(LONG pumpId);
    LONG PumpTempStop(LONG pumpId);
    LONG PumpReAuthorise(LONG pumpId);
    LONG PumpTerminateDelivery(LONG pumpId);
    LONG PumpStackCurrentDelivery(LONG pumpId);
    // The attendant's ID comes first, the pump's second.
    LONG PumpAttendantLogon(LONG attendantId, LONG pumpId);

    // Makes `pumpId` the client's current pump (the property put of CurrentPumpID). Nothing
    // without a client object.
    void PutCurrentPumpID(LONG pumpId);

  private:
    template <class... Args>
    LONG Call(DISPID dispid, const char* types, Args... args);

    COleDispatchDriver driver_;
};

}  // namespace tolvan
