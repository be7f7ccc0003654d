// CTolvanCtrl: the control object. One instance stands for one pump: it keeps the pump's
// configuration and live state (PumpProperties), publishes it through the dispatch interface
// _DTolvan, forwards the pump commands to the client automation object (CClientLink), keeps
// the pump's deliveries, and raises the events of _DTolvanEvents.
//
// Pieces: pump_properties.h (state and defaults), tolvan_type_library.h (the interfaces),
// tolvan_dispatch_map.cpp (DISPID to member), client_link.h (calls to the client object),
// tolvan_ctrl.cpp (the members' behaviour). Every automation entry runs on the container's
// user-interface thread, one at a time; nothing is locked.
#pragma once

#include <memory>
#include <span>

#include "control/client_link.h"
#include "control/delivery.h"
#include "control/delivery_list.h"
#include "control/element_list.h"
#include "control/face_resources.h"
#include "control/pump_properties.h"
#include "platform/afx/ole_control.h"
#include "platform/afx/ole_object_factory.h"

namespace tolvan {

class CPopup;

class CTolvanCtrl : public COleControl {
  public:
    // The pump fields at their defaults, the interfaces named, the face's bitmaps and fonts
    // loaded, 80 by 80 pixels.
    CTolvanCtrl();
    // Deletes the deliveries and gives up the client object without releasing it.
    ~CTolvanCtrl() override;

    // ---- COleControl ---------------------------------------------------------------------
    const AFX_DISPMAP& GetDispatchMap() const override;
    const AFX_EVENTMAP& GetEventMap() const override;
    const TypeLibInfo& GetTypeLib() const override;
    HRESULT GetClassID(CLSID* pClassID) override;
    UINT GetUserTypeNameID() override;
    DWORD GetMiscStatus() override;
    std::span<const CLSID> GetPropPageIDs() override;
    // The version stamp 1.0 and the base's data (the extent); no property of _DTolvan.
    void DoPropExchange(CPropExchange* pPX) override;
    // Paints the face (face_painter.h) when the control's window is visible. A size other than
    // 80 by 80 is set back to it with a repaint of the whole control and nothing drawn.
    void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) override;
    // A click on the face: after the base, moves the client's current pump here (CurrentPumpID)
    // when IsCurrentPump is 0, then acts by PopupMode (face_click.h): a pump command, the
    // DeliverySelectedEvent of the one current delivery, DoPopup, or nothing.
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    // WM_TIMER: OnBlinkTimer.
    void OnTimer(UINT_PTR nIDEvent) override;
    // After the base: drops the client object without releasing or calling it (the
    // registration is not withdrawn) and sets ID to -1 without refresh, repaint or event.
    void OnDestroy() override;

    // ---- Properties of _DTolvan ----------------------------------------------------------
    // Gets return the stored field (16-bit codes held in 32 bits: their low 16 bits; amounts:
    // count / 10,000; text: a new BSTR the caller frees). Read-only properties have no put:
    // the framework raises the read-only error and nothing changes.
    LONG GetID() const { return Pump.ID; }
    // Marks the control modified; a new value withdraws the registration first when it is -1
    // and a client object is stored (which is then dropped), is stored and refreshes.
    void SetID(LONG value);
    LONG GetNumber() const { return Pump.Number; }
    BSTR GetName() const;
    SHORT GetPhysicalNumber() const { return Pump.PhysicalNumber; }
    SHORT GetSide() const { return Pump.Side; }
    SHORT GetAddress() const { return Pump.Address; }
    SHORT GetPriceLevel1() const { return Pump.PriceLevel1; }
    SHORT GetPriceLevel2() const { return Pump.PriceLevel2; }
    SHORT GetPriceDspFormat() const { return static_cast<SHORT>(Pump.PriceDspFormat); }
    SHORT GetVolumeDspFormat() const { return static_cast<SHORT>(Pump.VolumeDspFormat); }
    SHORT GetValueDspFormat() const { return static_cast<SHORT>(Pump.ValueDspFormat); }
    SHORT GetType() const { return Pump.Type; }
    LONG GetPortID() const { return Pump.PortID; }
    LONG GetAttendantID() const { return Pump.AttendantID; }
    SHORT GetAuthMode() const { return Pump.AuthMode; }
    SHORT GetStackMode() const { return Pump.StackMode; }
    SHORT GetPrepayAllowed() const { return Pump.PrepayAllowed; }
    SHORT GetPreauthAllowed() const { return Pump.PreauthAllowed; }
    SHORT GetPumpState() const { return static_cast<SHORT>(Pump.PumpState); }
    SHORT GetReservedFor() const { return static_cast<SHORT>(Pump.ReservedFor); }
    LONG GetReservedBy() const { return Pump.ReservedBy; }
    LONG GetCurHoseID() const { return Pump.CurHoseID; }
    BSTR GetCurGradeName() const;
    SHORT GetCurPriceLevel() const { return Pump.CurPriceLevel; }
    double GetCurPrice() const { return Pump.CurPrice.ToDouble(); }
    double GetCurVolume() const { return Pump.CurVolume.ToDouble(); }
    double GetCurValue() const { return Pump.CurValue.ToDouble(); }
    SHORT GetStackSize() const { return Pump.StackSize; }
    LONG GetCurGradeID() const { return Pump.CurGradeID; }
    SHORT GetIsCurrentPump() const { return Pump.IsCurrentPump; }
    // A different value is stored and repaints the whole control with erase; an equal one
    // does nothing.
    void SetIsCurrentPump(SHORT value);
    BSTR GetCurShortGradeName() const;
    SHORT GetPopupMode() const { return static_cast<SHORT>(Settings.PopupMode); }
    // 1, 2 or 3 is stored, anything else ignored; the control is marked modified either way.
    void SetPopupMode(SHORT value);
    // 1 or 0; a put stores 1 for any nonzero value.
    SHORT GetBeepEnabled() const { return Settings.BeepEnabled ? 1 : 0; }
    void SetBeepEnabled(SHORT value) { Settings.BeepEnabled = value != 0; }
    SHORT GetCurHoseNumber() const { return Pump.CurHoseNumber; }
    // The same text as Name.
    BSTR GetPumpName() const { return GetName(); }
    // The stored client object with a reference added for the caller, or null.
    IDispatch* GetKestro() const;
    // As SetKestro.
    void SetKestroProperty(IDispatch* client) { StoreClient(client); }

    // ---- Methods of _DTolvan -------------------------------------------------------------
    // Forwarding methods: with a client object stored, call its member with the pump's ID
    // first and the arguments after, returning its result unchanged; without one call nothing
    // and return -21. Out-parameters are filled by the client object.
    LONG GetHosesCount(LONG* pCount);
    LONG GetHoseByNumber(LONG Number, LONG* pID);
    LONG GetDeliveryProperties(SHORT DelIndex, LONG* pID, SHORT* pType, SHORT* pState,
                               LONG* pHoseID, SHORT* pHoseNum, LONG* pGradeID, BSTR* pGradeName,
                               BSTR* pShortGradeName, SHORT* pPriceLevel, double* pPrice,
                               double* pVolume, double* pValue, LONG* pLockedBy, LONG* pReservedBy,
                               LONG* pAge, DATE* pCompletedDT, LONG* pAttendantID);
    LONG GetDeliveryPropertiesEx(SHORT DelIndex, LONG* pID, SHORT* pType, SHORT* pState,
                                 LONG* pHoseID, SHORT* pHoseNum, LONG* pGradeID, BSTR* pGradeName,
                                 BSTR* pShortGradeName, SHORT* pPriceLevel, double* pPrice,
                                 double* pVolume, double* pValue, LONG* pLockedBy,
                                 LONG* pReservedBy, LONG* pAge, DATE* pCompletedDT,
                                 LONG* pAttendantID, double* VolumeETot, double* Volume2ETot,
                                 double* ValueETot);
    LONG PrepayReserve();
    LONG PrepayCancel();
    LONG PrepayAuthorise(SHORT LimitType, double Value, SHORT Hose, SHORT PriceLevel);
    LONG PreauthReserve();
    LONG PreauthCancel();
    LONG PreauthAuthorise(SHORT LimitType, double Value, SHORT Hose, SHORT PriceLevel);
    LONG LoadPreset(SHORT LimitType, double Value, SHORT Hose, SHORT PriceLevel);
    LONG AttendantAuthorise(LONG AttendantID);
    LONG Authorise();
    LONG CancelAuthorise();
    LONG TempStop();
    LONG ReAuthorise();
    LONG TerminateDelivery();
    LONG StackCurrentDelivery();
    // Forwards with the attendant's ID first and the pump's second.
    LONG AttendantLogon(LONG ID);

    // A pump status from the client object: loads the pump first while Number is 0, repaints
    // what changed, stores it, empties the delivery list in state 0 and raises StatusEvent
    // with the arguments as received. Returns 0.
    LONG StatusEventSink(SHORT State, SHORT ReservedFor, LONG ReservedBy, LONG HoseID,
                         SHORT HoseNumber, LONG GradeID, BSTR* GradeName, BSTR* ShortGradeName,
                         SHORT PriceLevel, double Price, double Volume, double Value,
                         SHORT StackSize);
    // A delivery change: updates the delivery list (HandleDeliveryChange) and raises
    // DeliveryEvent / DeliveryEventEx with the arguments as received. Return 0.
    LONG DeliveryEventSink(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                           BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel, double Price,
                           double Volume, double Value, SHORT DeliveryState, SHORT DeliveryType,
                           LONG LockedBy, LONG ReservedBy, LONG Age, DATE CompleteDT,
                           LONG AttendantID);
    LONG DeliveryEventExSink(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                             BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel, double Price,
                             double Volume, double Value, SHORT DeliveryState, SHORT DeliveryType,
                             LONG LockedBy, LONG ReservedBy, LONG Age, DATE CompleteDT,
                             LONG AttendantID, double VolumeETot, double Volume2ETot,
                             double ValueETot);
    // Opens the delivery popup (popup.h) unless one is open, waits for it to close and acts
    // on the cashier's choice: a pump command by the state after the dialog closed, or the
    // DeliverySelectedEvent of the chosen delivery. Returns 0; a failing invocation of the
    // client object raises its automation exception, and Popup is cleared on every way out.
    LONG DoPopup();
    // Stores the client object `*Handle` (null pointer or null interface: drops it, without
    // releasing) and refreshes. Returns 0.
    LONG SetKestro(IDispatch** Handle);
    // Sets *pVersionStr, when the pointer is not null, to a new BSTR with the module's version
    // text (OcxVersionText). Returns 0.
    LONG GetOCXVersion(BSTR* pVersionStr);
    void AboutBox() {}

    // ---- Firing operations: the arguments go to the event unchanged ----------------------
    void FireStatusEvent(SHORT State, SHORT ReservedFor, LONG ReservedBy, LONG HoseID,
                         SHORT HoseNumber, LONG GradeID, BSTR* GradeName, BSTR* ShortGradeName,
                         SHORT PriceLevel, double Price, double Volume, double Value,
                         SHORT StackSize);
    void FireDeliveryEvent(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                           BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel, double Price,
                           double Volume, double Value, SHORT DeliveryState, SHORT DeliveryType,
                           LONG LockedBy, LONG ReservedBy, LONG Age, DATE CompletedDT,
                           LONG AttendantID);
    void FireDeliverySelectedEvent(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                                   BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel,
                                   double Price, double Volume, double Value, SHORT DeliveryState,
                                   SHORT DeliveryType, LONG LockedBy, LONG ReservedBy, LONG Age,
                                   DATE CompletedDT, LONG AttendantID);
    void FireDeliveryEventEx(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                             BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel, double Price,
                             double Volume, double Value, SHORT DeliveryState, SHORT DeliveryType,
                             LONG LockedBy, LONG ReservedBy, LONG Age, DATE CompletedDT,
                             LONG AttendantID, double VolumeETot, double Volume2ETot,
                             double ValueETot);

    // With a client object and an ID: registers the control for its pump and loads the pump's
    // configuration and status, then repaints. Otherwise, or when a read does not answer 0,
    // resets the pump fields to their defaults and repaints. Raises no event; the delivery
    // list stays as it is.
    void RefreshFromClient();

    // Blink and beep of state 6, called with a new state before PumpState takes it: leaving
    // (or not being in) state 6 kills the blink timer; entering it beeps once when BeepEnabled,
    // starts the one-second timer 1 on the control's window and sets BlinkOn.
    void TrackBlinkState(SHORT newState);
    // The blink timer's tick: in state 6, beeps when BeepEnabled, inverts BlinkOn and repaints
    // the whole face with erase; after state 6 kills the timer. Other timers get the default.
    void OnBlinkTimer(UINT_PTR timerID);
    // Raises DeliverySelectedEvent for `delivery` with its CurrentAge (not its stored Age).
    void RaiseDeliverySelected(CDelivery& delivery);
    // Whether the state-6 picture shows now (it alternates every second).
    bool GetBlinkOn() const { return BlinkOn; }

    // The pump's deliveries in arrival order (the face and the popup walk it).
    CElementList<CDelivery>& GetDeliveries() { return Deliveries; }
    // The pump's Name as the control keeps it (UTF-8).
    const std::string& GetPumpNameText() const { return Pump.Name; }

    // The delivery popup while one is open (DoPopup), else null: a control opens one at most.
    CPopup* Popup = nullptr;

    class CTolvanCtrlFactory : public COleObjectFactory {
      public:
        CTolvanCtrlFactory();
        // Registers the control class (ProgID, type name string 1, toolbox bitmap 1,
        // apartment threading, OLEMISC 0x20191, TolvanLib 1.0) or removes it with its ProgID.
        BOOL UpdateRegistry(BOOL bRegister) override;
    };
    static CTolvanCtrlFactory factory;

  private:
    void StoreClient(IDispatch* client);
    bool LoadFromClient();
    // Applies `change` to Deliveries, then beeps for a new current delivery (when BeepEnabled),
    // repaints what the list's update names and raises DeliveryEventEx (withTotals) or
    // DeliveryEvent with the values as received.
    void HandleDeliveryChange(bool withTotals, const DeliveryChange& change);
    void ActOnClick();

    PumpProperties Pump;
    CClientLink Client;
    ControlSettings Settings;
    DeliveryList Deliveries;
    std::unique_ptr<FaceResources> Face;  // loaded in the constructor, released with the control
    CBitmap* FaceOldBitmap = nullptr;     // the memory DC's own bitmap during a paint
    UINT_PTR BlinkTimerID = 0;            // the identifier SetTimer answered, 0 before any
    bool BlinkOn = false;                 // the state-6 picture shows
};

}  // namespace tolvan
