// The table of the module's pictures (see picture_resources.h).
#include "control/picture_resources.h"

#include "control/tolvan_ids.h"

namespace tolvan {
namespace {

constexpr PictureResource kPictures[] = {
    {IDB_TOLVAN, false, "toolbox.bmp"},
    {IDI_TOLVAN, true, "tolvan.ico"},
    {IDB_FACE_PADLOCK, false, "face_padlock.bmp"},
    {IDB_FACE_NOZZLE_OUT, false, "face_nozzle_out.bmp"},
    {IDB_FACE_NOZZLE_RETURN, false, "face_nozzle_return.bmp"},
    {IDB_FACE_NOZZLE_LIFTED, false, "face_nozzle_lifted.bmp"},
    {IDB_FACE_CARD, false, "face_card.bmp"},
    {IDB_FACE_CARD_PADLOCK, false, "face_card_padlock.bmp"},
    {IDB_FACE_BANKNOTE, false, "face_banknote.bmp"},
    {IDB_FACE_BANKNOTE_PADLOCK, false, "face_banknote_padlock.bmp"},
    {IDB_FACE_PUMP, false, "face_pump.bmp"},
    {IDB_FACE_STACK_1, false, "face_stack_1.bmp"},
    {IDB_FACE_STACK_2, false, "face_stack_2.bmp"},
    {IDB_FACE_STACK_3, false, "face_stack_3.bmp"},
    {IDB_FACE_STACK_4, false, "face_stack_4.bmp"},
    {IDB_FACE_NO_ENTRY, false, "face_no_entry.bmp"},
    {IDB_FACE_QUESTION, false, "face_question.bmp"},
    {IDB_FACE_NOZZLE_RESTING, false, "face_nozzle_resting.bmp"},
    {IDB_FACE_STACK_0, false, "face_stack_0.bmp"},
    {IDB_FACE_CROSS, false, "face_cross.bmp"},
    {IDB_FACE_STACK_MORE, false, "face_stack_more.bmp"},
    {IDB_POPUP_FRAME, false, "popup_frame.bmp"},
    {IDB_POPUP_STOP, false, "popup_stop.bmp"},
    {IDB_POPUP_STOP_DISABLED, false, "popup_stop_disabled.bmp"},
    {IDB_POPUP_STOP_PRESSED, false, "popup_stop_pressed.bmp"},
    {IDB_POPUP_STACK_PRESSED, false, "popup_stack_pressed.bmp"},
    {IDB_POPUP_AUTHORISE_DISABLED, false, "popup_authorise_disabled.bmp"},
    {IDB_POPUP_AUTHORISE, false, "popup_authorise.bmp"},
    {IDB_POPUP_AUTHORISE_PRESSED, false, "popup_authorise_pressed.bmp"},
    {IDB_POPUP_CANCEL, false, "popup_cancel.bmp"},
    {IDB_POPUP_CANCEL_PRESSED, false, "popup_cancel_pressed.bmp"},
    {IDB_POPUP_STACK_DISABLED, false, "popup_stack_disabled.bmp"},
    {IDB_POPUP_STACK, false, "popup_stack.bmp"},
    {IDB_ROW_PADLOCK, false, "row_padlock.bmp"},
    {IDB_ROW_PUMP, false, "row_pump.bmp"},
    {IDB_ROW_DRIVE_OFF, false, "row_drive_off.bmp"},
    {IDB_ROW_OVERDUE, false, "row_overdue.bmp"},
    {IDB_FACE_BANKNOTE_NO_ENTRY, false, "face_banknote_no_entry.bmp"},
    {IDB_FACE_PUMP_OFFLINE, false, "face_pump_offline.bmp"},
};

}  // namespace

std::span<const PictureResource> PictureResources() {
    return kPictures;
}

}  // namespace tolvan
