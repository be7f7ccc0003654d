// The dispatch table of CTolvanCtrl: which member serves each DISPID of _DTolvan. Names and
// automation types come from the type library (tolvan_type_library.cpp); AfxCheckDispatchMap
// proves that the two agree.
#include "client/kestro_automation.h"
#include "control/tolvan_ctrl.h"
#include "control/tolvan_ids.h"
#include "control/tolvan_type_library.h"

namespace tolvan {

// The client object calls the sinks by the DISPIDs it knows them by.
static_assert(DISPID{dispidStatusEventSink} == kestro_automation::kStatusEventSink);
static_assert(DISPID{dispidDeliveryEventExSink} == kestro_automation::kDeliveryEventExSink);

const AFX_DISPMAP& CTolvanCtrl::GetDispatchMap() const {
    using C = CTolvanCtrl;
    static constexpr AFX_DISPMAP_ENTRY entries[] = {
        DispProperty<&C::GetID, &C::SetID>(dispidID),
        DispPropertyReadOnly<&C::GetNumber>(dispidNumber),
        DispPropertyReadOnly<&C::GetName>(dispidName),
        DispPropertyReadOnly<&C::GetPhysicalNumber>(dispidPhysicalNumber),
        DispPropertyReadOnly<&C::GetSide>(dispidSide),
        DispPropertyReadOnly<&C::GetAddress>(dispidAddress),
        DispPropertyReadOnly<&C::GetPriceLevel1>(dispidPriceLevel1),
        DispPropertyReadOnly<&C::GetPriceLevel2>(dispidPriceLevel2),
        DispPropertyReadOnly<&C::GetPriceDspFormat>(dispidPriceDspFormat),
        DispPropertyReadOnly<&C::GetVolumeDspFormat>(dispidVolumeDspFormat),
        DispPropertyReadOnly<&C::GetValueDspFormat>(dispidValueDspFormat),
        DispPropertyReadOnly<&C::GetType>(dispidType),
        DispPropertyReadOnly<&C::GetPortID>(dispidPortID),
        DispPropertyReadOnly<&C::GetAttendantID>(dispidAttendantID),
        DispPropertyReadOnly<&C::GetAuthMode>(dispidAuthMode),
        DispPropertyReadOnly<&C::GetStackMode>(dispidStackMode),
        DispPropertyReadOnly<&C::GetPrepayAllowed>(dispidPrepayAllowed),
        DispPropertyReadOnly<&C::GetPreauthAllowed>(dispidPreauthAllowed),
        DispPropertyReadOnly<&C::GetPumpState>(dispidPumpState),
        DispPropertyReadOnly<&C::GetReservedFor>(dispidReservedFor),
        DispPropertyReadOnly<&C::GetReservedBy>(dispidReservedBy),
        DispPropertyReadOnly<&C::GetCurHoseID>(dispidCurHoseID),
        DispPropertyReadOnly<&C::GetCurGradeName>(dispidCurGradeName),
        DispPropertyReadOnly<&C::GetCurPriceLevel>(dispidCurPriceLevel),
        DispPropertyReadOnly<&C::GetCurPrice>(dispidCurPrice),
        DispPropertyReadOnly<&C::GetCurVolume>(dispidCurVolume),
        DispPropertyReadOnly<&C::GetCurValue>(dispidCurValue),
        DispPropertyReadOnly<&C::GetStackSize>(dispidStackSize),
        DispFunction<&C::GetHosesCount>(dispidGetHosesCount),
        DispFunction<&C::GetHoseByNumber>(dispidGetHoseByNumber),
        DispFunction<&C::GetDeliveryProperties>(dispidGetDeliveryProperties),
        DispFunction<&C::PrepayReserve>(dispidPrepayReserve),
        DispFunction<&C::PrepayCancel>(dispidPrepayCancel),
        DispFunction<&C::PrepayAuthorise>(dispidPrepayAuthorise),
        DispFunction<&C::PreauthReserve>(dispidPreauthReserve),
        DispFunction<&C::PreauthCancel>(dispidPreauthCancel),
        DispFunction<&C::PreauthAuthorise>(dispidPreauthAuthorise),
        DispFunction<&C::LoadPreset>(dispidLoadPreset),
        DispFunction<&C::AttendantAuthorise>(dispidAttendantAuthorise),
        DispFunction<&C::Authorise>(dispidAuthorise),
        DispFunction<&C::CancelAuthorise>(dispidCancelAuthorise),
        DispFunction<&C::TempStop>(dispidTempStop),
        DispFunction<&C::ReAuthorise>(dispidReAuthorise),
        DispFunction<&C::TerminateDelivery>(dispidTerminateDelivery),
        DispFunction<&C::StackCurrentDelivery>(dispidStackCurrentDelivery),
        DispFunction<&C::StatusEventSink>(dispidStatusEventSink),
        DispFunction<&C::DeliveryEventSink>(dispidDeliveryEventSink),
        DispPropertyReadOnly<&C::GetCurGradeID>(dispidCurGradeID),
        DispProperty<&C::GetIsCurrentPump, &C::SetIsCurrentPump>(dispidIsCurrentPump),
        DispPropertyReadOnly<&C::GetCurShortGradeName>(dispidCurShortGradeName),
        DispProperty<&C::GetPopupMode, &C::SetPopupMode>(dispidPopupMode),
        DispFunction<&C::DoPopup>(dispidDoPopup),
        DispFunction<&C::SetKestro>(dispidSetKestro),
        DispFunction<&C::GetOCXVersion>(dispidGetOCXVersion),
        DispProperty<&C::GetBeepEnabled, &C::SetBeepEnabled>(dispidBeepEnabled),
        DispPropertyReadOnly<&C::GetCurHoseNumber>(dispidCurHoseNumber),
        DispFunction<&C::AttendantLogon>(dispidAttendantLogon),
        DispPropertyReadOnly<&C::GetPumpName>(dispidPumpName),
        DispProperty<&C::GetKestro, &C::SetKestroProperty>(dispidKestro),
        DispFunction<&C::DeliveryEventExSink>(dispidDeliveryEventExSink),
        DispFunction<&C::GetDeliveryPropertiesEx>(dispidGetDeliveryPropertiesEx),
        DispFunction<&C::AboutBox>(DISPID_ABOUTBOX),
    };
    static constexpr AFX_DISPMAP map{&kDTolvanInfo, entries};
    return map;
}

}  // namespace tolvan
