// CTolvanCtrl's face: painting (through FacePainter), the click on the face, the blink and beep
// of state 6 on the control's window timer, and the DeliverySelectedEvent of a chosen delivery.
#include "client/pump_codes.h"
#include "control/face_click.h"
#include "control/face_painter.h"
#include "control/tolvan_ctrl.h"
#include "platform/afx/ole_exception.h"
#include "platform/bstr.h"
#include "platform/user.h"

namespace tolvan {

namespace {

constexpr int kFaceSize = 80;
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkPeriodMs = 1000;
constexpr UINT kSimpleBeep = 0xFFFFFFFF;
constexpr LONG kBlinkingState = pump_state::kCalling;

}  // namespace

void CTolvanCtrl::OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) {
    if (!IsWindowVisible()) {
        return;
    }
    int cx = 0;
    int cy = 0;
    GetControlSize(&cx, &cy);
    if (cx != kFaceSize || cy != kFaceSize) {
        SetControlSize(kFaceSize, kFaceSize);
        InvalidateControl(nullptr, TRUE);
        return;
    }
    FacePainter painter(*Face, FaceOldBitmap);
    painter.Paint(*pdc, rcBounds, rcInvalid, TranslateColor(AmbientBackColor()), Pump, BlinkOn,
                  Deliveries);
}

void CTolvanCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    COleControl::OnLButtonDown(nFlags, point);
    // A click has no caller to hand an automation exception to (a client call whose
    // invocation fails, directly or in DoPopup): it ends the click instead of escaping the
    // window procedure.
    try {
        ActOnClick();
    } catch (const COleDispatchException&) {
    } catch (const COleException&) {
    }
}

void CTolvanCtrl::ActOnClick() {
    if (Pump.IsCurrentPump == 0) {
        Client.PutCurrentPumpID(Pump.ID);
    }
    switch (ChooseClickAction(Settings.PopupMode, Popup != nullptr, Pump.PumpState, Deliveries)) {
        case ClickAction::None:
            return;
        case ClickAction::Authorise:
            Authorise();
            return;
        case ClickAction::ReAuthorise:
            ReAuthorise();
            return;
        case ClickAction::TempStop:
            TempStop();
            return;
        case ClickAction::CancelAuthorise:
            if (CancelAuthorise() == kDeliveryAlreadyStarted) {
                TempStop();
            } else {
                DoPopup();
            }
            return;
        case ClickAction::SelectDelivery:
            RaiseDeliverySelected(*Deliveries.First());
            return;
        case ClickAction::OpenPopup:
            DoPopup();
            return;
    }
}

void CTolvanCtrl::OnTimer(UINT_PTR nIDEvent) {
    OnBlinkTimer(nIDEvent);
}

void CTolvanCtrl::TrackBlinkState(SHORT newState) {
    if (newState != kBlinkingState) {
        KillTimer(BlinkTimerID);
        return;
    }
    if (Pump.PumpState == kBlinkingState) {
        return;
    }
    if (Settings.BeepEnabled) {
        MessageBeep(kSimpleBeep);
    }
    BlinkTimerID = SetTimer(kBlinkTimer, kBlinkPeriodMs, nullptr);
    BlinkOn = true;
}

void CTolvanCtrl::OnBlinkTimer(UINT_PTR timerID) {
    if (timerID != BlinkTimerID) {
        COleControl::OnTimer(timerID);
        return;
    }
    if (Pump.PumpState == kBlinkingState) {
        if (Settings.BeepEnabled) {
            MessageBeep(kSimpleBeep);
        }
        BlinkOn = !BlinkOn;
        InvalidateControl(nullptr, TRUE);
    } else {
        KillTimer(BlinkTimerID);
    }
}

void CTolvanCtrl::RaiseDeliverySelected(CDelivery& delivery) {
    // Passed by reference: what the strings hold after the event is what gets freed.
    BSTR grade = BstrFromUtf8(delivery.GradeName);
    BSTR shortGrade = BstrFromUtf8(delivery.ShortGradeName);
    FireDeliverySelectedEvent(
        delivery.DeliveryID, delivery.HoseID, delivery.HoseNumber, delivery.GradeID, &grade,
        &shortGrade, delivery.PriceLevel, delivery.Price, delivery.Volume, delivery.Value,
        delivery.DeliveryState, delivery.DeliveryType, delivery.LockedBy, delivery.ReservedBy,
        delivery.CurrentAge(), delivery.CompletedDT, delivery.AttendantID);
    SysFreeString(grade);
    SysFreeString(shortGrade);
}

}  // namespace tolvan
