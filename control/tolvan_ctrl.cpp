// CTolvanCtrl's behaviour: property puts, the refresh from the client object, the sinks and
// the delivery list, the forwarding methods, persistence, window destruction and the events.
#include "control/tolvan_ctrl.h"

#include "client/pump_codes.h"
#include "control/face_layout.h"
#include "control/tolvan_ids.h"
#include "control/tolvan_type_library.h"
#include "control/version_info.h"
#include "platform/afx/ole_registration.h"
#include "platform/bstr.h"
#include "platform/user.h"

namespace tolvan {

namespace {

// Areas of the face that a change repaints without erasing: the amounts (down to the unit
// price, or only volume and value; face_layout.h) and the stacked-delivery indicator.
constexpr CRect kAmountsWithPrice = kFaceAmountsRepaint;
constexpr CRect kVolumeAndValue = kFaceVolumeAndValueRepaint;
constexpr CRect kStackIndicator{28, 0, 79, 12};

// MessageBeep's simple beep.
constexpr UINT kSimpleBeep = 0xFFFFFFFF;

}  // namespace

CTolvanCtrl::CTolvanCtrl() {
    InitializeIIDs(&IID_DTolvan, &IID_DTolvanEvents);
    Face = std::make_unique<FaceResources>();
    SetControlSize(80, 80);
}

// Members go in reverse order: the face's fonts and bitmaps, the deliveries, then the client link
// (which lets the client object go without releasing it), then the pump's state.
CTolvanCtrl::~CTolvanCtrl() = default;

// ---- COleControl ---------------------------------------------------------------------------

const AFX_EVENTMAP& CTolvanCtrl::GetEventMap() const {
    static constexpr AFX_EVENTMAP map{&kDTolvanEventsInfo};
    return map;
}

const TypeLibInfo& CTolvanCtrl::GetTypeLib() const {
    return kTolvanLib;
}

HRESULT CTolvanCtrl::GetClassID(CLSID* pClassID) {
    if (pClassID == nullptr) {
        return E_POINTER;
    }
    *pClassID = CLSID_Tolvan;
    return S_OK;
}

UINT CTolvanCtrl::GetUserTypeNameID() {
    return IDS_TOLVAN;
}

DWORD CTolvanCtrl::GetMiscStatus() {
    return kMiscStatus;
}

std::span<const CLSID> CTolvanCtrl::GetPropPageIDs() {
    static constexpr CLSID pages[] = {CLSID_TolvanPropPage};
    return pages;
}

void CTolvanCtrl::DoPropExchange(CPropExchange* pPX) {
    constexpr DWORD kVersion = (1u << 16) | 0u;  // major 1, minor 0
    ExchangeVersion(pPX, kVersion, TRUE);
    COleControl::DoPropExchange(pPX);
}

void CTolvanCtrl::OnDestroy() {
    COleControl::OnDestroy();
    Client.Drop();
    Pump.ID = -1;
}

// ---- Properties ----------------------------------------------------------------------------

void CTolvanCtrl::SetID(LONG value) {
    SetModifiedFlag();
    if (value == Pump.ID) {
        return;
    }
    if (value == -1 && Client.IsAttached()) {
        IDispatch* none = nullptr;
        Client.RegisterPumpControl(Pump.ID, &none);
        Client.Drop();
    }
    Pump.ID = value;
    RefreshFromClient();
}

BSTR CTolvanCtrl::GetName() const {
    return BstrFromUtf8(Pump.Name);
}

BSTR CTolvanCtrl::GetCurGradeName() const {
    return BstrFromUtf8(Pump.CurGradeName);
}

BSTR CTolvanCtrl::GetCurShortGradeName() const {
    return BstrFromUtf8(Pump.CurShortGradeName);
}

void CTolvanCtrl::SetIsCurrentPump(SHORT value) {
    if (value != Pump.IsCurrentPump) {
        Pump.IsCurrentPump = value;
        InvalidateControl(nullptr, TRUE);
    }
}

void CTolvanCtrl::SetPopupMode(SHORT value) {
    if (IsValidPopupMode(value)) {
        Settings.PopupMode = value;
    }
    SetModifiedFlag();
}

IDispatch* CTolvanCtrl::GetKestro() const {
    IDispatch* client = Client.GetDispatch();
    if (client != nullptr) {
        client->AddRef();
    }
    return client;
}

// ---- The client object ---------------------------------------------------------------------

void CTolvanCtrl::StoreClient(IDispatch* client) {
    Client.Attach(client);
    RefreshFromClient();
}

LONG CTolvanCtrl::SetKestro(IDispatch** Handle) {
    StoreClient(Handle != nullptr ? *Handle : nullptr);
    return 0;
}

void CTolvanCtrl::RefreshFromClient() {
    if (!LoadFromClient()) {
        Pump.ResetPumpFields();
    }
    InvalidateControl(nullptr, TRUE);
}

// Registers the control and reads the pump into the fields; false when there is nothing to
// read from or a read did not answer 0 (the fields may then be half-written).
bool CTolvanCtrl::LoadFromClient() {
    if (!Client.IsAttached() || Pump.ID == -1) {
        return false;
    }
    IDispatch* self = static_cast<IDispatch*>(this);
    Client.RegisterPumpControl(Pump.ID, &self);

    Bstr name;
    SHORT priceFormat = 0;
    SHORT volumeFormat = 0;
    SHORT valueFormat = 0;
    if (Client.ReadPumpProperties(Pump.ID, &Pump.Number, name.Out(), &Pump.PhysicalNumber,
                                  &Pump.Side, &Pump.Address, &Pump.PriceLevel1, &Pump.PriceLevel2,
                                  &priceFormat, &volumeFormat, &valueFormat, &Pump.Type,
                                  &Pump.PortID, &Pump.AttendantID, &Pump.AuthMode, &Pump.StackMode,
                                  &Pump.PrepayAllowed, &Pump.PreauthAllowed) != 0) {
        return false;
    }
    Pump.PriceDspFormat = priceFormat;
    Pump.VolumeDspFormat = volumeFormat;
    Pump.ValueDspFormat = valueFormat;
    Pump.Name = name.Utf8();

    SHORT state = 0;
    SHORT reservedFor = 0;
    Bstr gradeName;
    Bstr shortGradeName;
    double price = 0.0;
    double volume = 0.0;
    double value = 0.0;
    if (Client.ReadPumpStatus(Pump.ID, &state, &reservedFor, &Pump.ReservedBy, &Pump.CurHoseID,
                              &Pump.CurHoseNumber, &Pump.CurGradeID, gradeName.Out(),
                              shortGradeName.Out(), &Pump.CurPriceLevel, &price, &volume, &value,
                              &Pump.StackSize) != 0) {
        return false;
    }
    TrackBlinkState(state);
    Pump.PumpState = state;
    Pump.ReservedFor = reservedFor;
    Pump.CurGradeName = TrimTrailingBlanks(gradeName.Utf8());
    Pump.CurShortGradeName = TrimTrailingBlanks(shortGradeName.Utf8());
    Pump.CurPrice = FixedAmount::FromDouble(price);
    Pump.CurVolume = FixedAmount::FromDouble(volume);
    Pump.CurValue = FixedAmount::FromDouble(value);
    return true;
}

// ---- Sinks ---------------------------------------------------------------------------------

LONG CTolvanCtrl::StatusEventSink(SHORT State, SHORT ReservedFor, LONG ReservedBy, LONG HoseID,
                                  SHORT HoseNumber, LONG GradeID, BSTR* GradeName,
                                  BSTR* ShortGradeName, SHORT PriceLevel, double Price,
                                  double Volume, double Value, SHORT StackSize) {
    if (Pump.Number == 0) {
        RefreshFromClient();
    }
    const FixedAmount price = FixedAmount::FromDouble(Price);
    const FixedAmount volume = FixedAmount::FromDouble(Volume);
    const FixedAmount value = FixedAmount::FromDouble(Value);
    const bool sameState = State == Pump.PumpState && ReservedFor == Pump.ReservedFor &&
                           GradeID == Pump.CurGradeID && StackSize == Pump.StackSize;
    if (!sameState) {
        InvalidateControl(nullptr, FALSE);
    } else if (price != Pump.CurPrice) {
        InvalidateControl(&kAmountsWithPrice, FALSE);
    } else if (volume != Pump.CurVolume || value != Pump.CurValue) {
        InvalidateControl(&kVolumeAndValue, FALSE);
    }
    TrackBlinkState(State);

    Pump.ReservedFor = ReservedFor;
    Pump.CurHoseID = HoseID;
    Pump.CurHoseNumber = HoseNumber;
    Pump.CurGradeID = GradeID;
    Pump.PumpState = State;
    Pump.ReservedBy = ReservedBy;
    Pump.CurGradeName = TrimBlanks(Utf8Of(GradeName));
    Pump.CurShortGradeName = TrimBlanks(Utf8Of(ShortGradeName));
    Pump.CurPriceLevel = PriceLevel;
    Pump.CurPrice = price;
    Pump.CurVolume = volume;
    Pump.CurValue = value;
    Pump.StackSize = StackSize;
    if (Pump.PumpState == pump_state::kNotResponding) {
        Deliveries.Clear();
    }
    FireStatusEvent(State, ReservedFor, ReservedBy, HoseID, HoseNumber, GradeID, GradeName,
                    ShortGradeName, PriceLevel, Price, Volume, Value, StackSize);
    return 0;
}

LONG CTolvanCtrl::DeliveryEventSink(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                                    BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel,
                                    double Price, double Volume, double Value, SHORT DeliveryState,
                                    SHORT DeliveryType, LONG LockedBy, LONG ReservedBy, LONG Age,
                                    DATE CompleteDT, LONG AttendantID) {
    HandleDeliveryChange(false, {DeliveryID,     HoseID,       HoseNumber, GradeID,    GradeName,
                                 ShortGradeName, PriceLevel,   Price,      Volume,     Value,
                                 DeliveryState,  DeliveryType, LockedBy,   ReservedBy, Age,
                                 CompleteDT,     AttendantID,  0.0,        0.0,        0.0});
    return 0;
}

LONG CTolvanCtrl::DeliveryEventExSink(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                                      BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel,
                                      double Price, double Volume, double Value,
                                      SHORT DeliveryState, SHORT DeliveryType, LONG LockedBy,
                                      LONG ReservedBy, LONG Age, DATE CompleteDT, LONG AttendantID,
                                      double VolumeETot, double Volume2ETot, double ValueETot) {
    HandleDeliveryChange(true, {DeliveryID,     HoseID,       HoseNumber, GradeID,     GradeName,
                                ShortGradeName, PriceLevel,   Price,      Volume,      Value,
                                DeliveryState,  DeliveryType, LockedBy,   ReservedBy,  Age,
                                CompleteDT,     AttendantID,  VolumeETot, Volume2ETot, ValueETot});
    return 0;
}

void CTolvanCtrl::HandleDeliveryChange(bool withTotals, const DeliveryChange& c) {
    const DeliveryListUpdate update = Deliveries.Apply(c);
    if (update.currentArrived && Settings.BeepEnabled) {
        MessageBeep(kSimpleBeep);
    }
    if (update.repaintWholeFace) {
        InvalidateControl(nullptr, TRUE);
    } else {
        InvalidateControl(&kStackIndicator, FALSE);
    }
    if (withTotals) {
        FireDeliveryEventEx(c.DeliveryID, c.HoseID, c.HoseNumber, c.GradeID, c.GradeName,
                            c.ShortGradeName, c.PriceLevel, c.Price, c.Volume, c.Value,
                            c.DeliveryState, c.DeliveryType, c.LockedBy, c.ReservedBy, c.Age,
                            c.CompletedDT, c.AttendantID, c.VolumeETot, c.Volume2ETot, c.ValueETot);
    } else {
        FireDeliveryEvent(c.DeliveryID, c.HoseID, c.HoseNumber, c.GradeID, c.GradeName,
                          c.ShortGradeName, c.PriceLevel, c.Price, c.Volume, c.Value,
                          c.DeliveryState, c.DeliveryType, c.LockedBy, c.ReservedBy, c.Age,
                          c.CompletedDT, c.AttendantID);
    }
}

// ---- Forwarding methods --------------------------------------------------------------------

LONG CTolvanCtrl::GetHosesCount(LONG* pCount) {
    return Client.ReadPumpHosesCount(Pump.ID, pCount);
}

LONG CTolvanCtrl::GetHoseByNumber(LONG Number, LONG* pID) {
    return Client.ReadPumpHoseByNumber(Pump.ID, Number, pID);
}

LONG CTolvanCtrl::GetDeliveryProperties(SHORT DelIndex, LONG* pID, SHORT* pType, SHORT* pState,
                                        LONG* pHoseID, SHORT* pHoseNum, LONG* pGradeID,
                                        BSTR* pGradeName, BSTR* pShortGradeName, SHORT* pPriceLevel,
                                        double* pPrice, double* pVolume, double* pValue,
                                        LONG* pLockedBy, LONG* pReservedBy, LONG* pAge,
                                        DATE* pCompletedDT, LONG* pAttendantID) {
    return Client.ReadPumpDelivery(Pump.ID, DelIndex, pID, pType, pState, pHoseID, pHoseNum,
                                   pGradeID, pGradeName, pShortGradeName, pPriceLevel, pPrice,
                                   pVolume, pValue, pLockedBy, pReservedBy, pAge, pCompletedDT,
                                   pAttendantID);
}

LONG CTolvanCtrl::GetDeliveryPropertiesEx(SHORT DelIndex, LONG* pID, SHORT* pType, SHORT* pState,
                                          LONG* pHoseID, SHORT* pHoseNum, LONG* pGradeID,
                                          BSTR* pGradeName, BSTR* pShortGradeName,
                                          SHORT* pPriceLevel, double* pPrice, double* pVolume,
                                          double* pValue, LONG* pLockedBy, LONG* pReservedBy,
                                          LONG* pAge, DATE* pCompletedDT, LONG* pAttendantID,
                                          double* VolumeETot, double* Volume2ETot,
                                          double* ValueETot) {
    return Client.ReadPumpDeliveryEx(Pump.ID, DelIndex, pID, pType, pState, pHoseID, pHoseNum,
                                     pGradeID, pGradeName, pShortGradeName, pPriceLevel, pPrice,
                                     pVolume, pValue, pLockedBy, pReservedBy, pAge, pCompletedDT,
                                     pAttendantID, VolumeETot, Volume2ETot, ValueETot);
}

LONG CTolvanCtrl::PrepayReserve() {
    return Client.PumpPrepayReserve(Pump.ID);
}

LONG CTolvanCtrl::PrepayCancel() {
    return Client.PumpPrepayCancel(Pump.ID);
}

LONG CTolvanCtrl::PrepayAuthorise(SHORT LimitType, double Value, SHORT Hose, SHORT PriceLevel) {
    return Client.PumpPrepayAuthorise(Pump.ID, LimitType, Value, Hose, PriceLevel);
}

LONG CTolvanCtrl::PreauthReserve() {
    return Client.PumpPreauthReserve(Pump.ID);
}

LONG CTolvanCtrl::PreauthCancel() {
    return Client.PumpPreauthCancel(Pump.ID);
}

LONG CTolvanCtrl::PreauthAuthorise(SHORT LimitType, double Value, SHORT Hose, SHORT PriceLevel) {
    return Client.PumpPreauthAuthorise(Pump.ID, LimitType, Value, Hose, PriceLevel);
}

LONG CTolvanCtrl::LoadPreset(SHORT LimitType, double Value, SHORT Hose, SHORT PriceLevel) {
    return Client.PumpLoadPreset(Pump.ID, LimitType, Value, Hose, PriceLevel);
}

LONG CTolvanCtrl::AttendantAuthorise(LONG AttendantID) {
    return Client.PumpAttendantAuthorise(Pump.ID, AttendantID);
}

LONG CTolvanCtrl::Authorise() {
    return Client.PumpAuthorise(Pump.ID);
}

LONG CTolvanCtrl::CancelAuthorise() {
    return Client.PumpCancelAuthorise(Pump.ID);
}

LONG CTolvanCtrl::TempStop() {
    return Client.PumpTempStop(Pump.ID);
}

LONG CTolvanCtrl::ReAuthorise() {
    return Client.PumpReAuthorise(Pump.ID);
}

LONG CTolvanCtrl::TerminateDelivery() {
    return Client.PumpTerminateDelivery(Pump.ID);
}

LONG CTolvanCtrl::StackCurrentDelivery() {
    return Client.PumpStackCurrentDelivery(Pump.ID);
}

LONG CTolvanCtrl::AttendantLogon(LONG ID) {
    return Client.PumpAttendantLogon(ID, Pump.ID);
}

// ---- Other methods -------------------------------------------------------------------------

LONG CTolvanCtrl::GetOCXVersion(BSTR* pVersionStr) {
    if (pVersionStr != nullptr) {
        *pVersionStr = BstrFromUtf8(OcxVersionText());
    }
    return 0;
}

// ---- Events --------------------------------------------------------------------------------

void CTolvanCtrl::FireStatusEvent(SHORT State, SHORT ReservedFor, LONG ReservedBy, LONG HoseID,
                                  SHORT HoseNumber, LONG GradeID, BSTR* GradeName,
                                  BSTR* ShortGradeName, SHORT PriceLevel, double Price,
                                  double Volume, double Value, SHORT StackSize) {
    FireEvent(eventidStatusEvent, State, ReservedFor, ReservedBy, HoseID, HoseNumber, GradeID,
              GradeName, ShortGradeName, PriceLevel, Price, Volume, Value, StackSize);
}

void CTolvanCtrl::FireDeliveryEvent(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                                    BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel,
                                    double Price, double Volume, double Value, SHORT DeliveryState,
                                    SHORT DeliveryType, LONG LockedBy, LONG ReservedBy, LONG Age,
                                    DATE CompletedDT, LONG AttendantID) {
    FireEvent(eventidDeliveryEvent, DeliveryID, HoseID, HoseNumber, GradeID, GradeName,
              ShortGradeName, PriceLevel, Price, Volume, Value, DeliveryState, DeliveryType,
              LockedBy, ReservedBy, Age, CompletedDT, AttendantID);
}

void CTolvanCtrl::FireDeliverySelectedEvent(LONG DeliveryID, LONG HoseID, SHORT HoseNumber,
                                            LONG GradeID, BSTR* GradeName, BSTR* ShortGradeName,
                                            SHORT PriceLevel, double Price, double Volume,
                                            double Value, SHORT DeliveryState, SHORT DeliveryType,
                                            LONG LockedBy, LONG ReservedBy, LONG Age,
                                            DATE CompletedDT, LONG AttendantID) {
    FireEvent(eventidDeliverySelectedEvent, DeliveryID, HoseID, HoseNumber, GradeID, GradeName,
              ShortGradeName, PriceLevel, Price, Volume, Value, DeliveryState, DeliveryType,
              LockedBy, ReservedBy, Age, CompletedDT, AttendantID);
}

void CTolvanCtrl::FireDeliveryEventEx(LONG DeliveryID, LONG HoseID, SHORT HoseNumber, LONG GradeID,
                                      BSTR* GradeName, BSTR* ShortGradeName, SHORT PriceLevel,
                                      double Price, double Volume, double Value,
                                      SHORT DeliveryState, SHORT DeliveryType, LONG LockedBy,
                                      LONG ReservedBy, LONG Age, DATE CompletedDT, LONG AttendantID,
                                      double VolumeETot, double Volume2ETot, double ValueETot) {
    FireEvent(eventidDeliveryEventEx, DeliveryID, HoseID, HoseNumber, GradeID, GradeName,
              ShortGradeName, PriceLevel, Price, Volume, Value, DeliveryState, DeliveryType,
              LockedBy, ReservedBy, Age, CompletedDT, AttendantID, VolumeETot, Volume2ETot,
              ValueETot);
}

// ---- Class factory -------------------------------------------------------------------------

CTolvanCtrl::CTolvanCtrlFactory::CTolvanCtrlFactory()
    : COleObjectFactory(CLSID_Tolvan, &AfxCreateObject<CTolvanCtrl>, FALSE, kControlProgId) {}

BOOL CTolvanCtrl::CTolvanCtrlFactory::UpdateRegistry(BOOL bRegister) {
    if (bRegister) {
        return AfxOleRegisterControlClass(AfxGetInstanceHandle(), m_clsid, m_lpszProgID, IDS_TOLVAN,
                                          IDB_TOLVAN, afxRegApartmentThreading, kMiscStatus, kLibId,
                                          kLibVersionMajor, kLibVersionMinor);
    }
    return AfxOleUnregisterClass(m_clsid, m_lpszProgID);
}

}  // namespace tolvan
