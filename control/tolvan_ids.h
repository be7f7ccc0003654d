// Tolvan's identifiers: the GUIDs of its type library, interfaces and classes, its ProgIDs,
// the resource ids of its module and the DISPIDs of _DTolvan and _DTolvanEvents. Registration,
// the type library, the control and the tests all name them from here.
#pragma once

#include "platform/com.h"

namespace tolvan {

inline constexpr GUID kLibId = MakeGuid("4CA564D7-4F81-4C2C-9429-6609A57D26A5");
inline constexpr WORD kLibVersionMajor = 1;
inline constexpr WORD kLibVersionMinor = 0;
inline constexpr IID IID_DTolvan = MakeGuid("9B739684-14D2-447F-865E-28E21576139A");
inline constexpr IID IID_DTolvanEvents = MakeGuid("1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A");
inline constexpr CLSID CLSID_Tolvan = MakeGuid("F9B424D4-51A1-40E0-8EB1-1B9097AF9811");
inline constexpr CLSID CLSID_TolvanPropPage = MakeGuid("24919A8D-2502-49CA-B37B-C348EE6E708C");

inline constexpr const char* kControlProgId = "TOLVAN.TolvanCtrl.1";
inline constexpr const char* kPropPageProgId = "TOLVAN.TolvanPropPage.1";

// OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
// OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST
inline constexpr DWORD kMiscStatus = 0x20191;

// Resources of the module.
inline constexpr UINT IDS_TOLVAN = 1;                // the control's type name
inline constexpr UINT IDS_TOLVAN_PPG = 2;            // the property page's type name
inline constexpr UINT IDS_TOLVAN_PPG_CAPTION = 200;  // the property page's caption
inline constexpr UINT IDS_VOLUME = 3;                // the popup's volume header
inline constexpr UINT IDS_VALUE = 4;                 // the popup's value header
inline constexpr UINT IDS_STOP = 5;  // button names the popup's pictures show instead
inline constexpr UINT IDS_AUTHORIZE = 6;
inline constexpr UINT IDS_STACKS = 7;
inline constexpr UINT IDS_CANCEL = 8;             // the popup's Cancel button
inline constexpr UINT IDD_PROPPAGE_TOLVAN = 200;  // the property page's dialog
inline constexpr UINT IDD_POPUP = 220;            // the delivery popup's dialog
// Items of the popup's dialog.
inline constexpr int IDC_DELIVERY_LIST = 201;
inline constexpr int IDC_STOP = 202;
inline constexpr int IDC_AUTHORISE = 203;
inline constexpr int IDC_STACK = 204;
inline constexpr int IDC_FRAME = 207;
inline constexpr int IDC_CANCEL = 208;
inline constexpr int IDC_TITLE = 209;
inline constexpr int IDC_VOLUME_HEADER = 210;
inline constexpr int IDC_VALUE_HEADER = 211;
inline constexpr UINT IDB_TOLVAN = 1;  // the toolbox bitmap
inline constexpr UINT IDI_TOLVAN = 1;  // the module's icon (32 and 16 pixels)

// Bitmaps of the face (80 by 80 pixels) and of the popup: 4 bits per pixel, transparent
// where they hold red 128, green 0, blue 128. Their files are named in control/res/tolvan.rc.
inline constexpr UINT IDB_FACE_PADLOCK = 201;           // status: state 3
inline constexpr UINT IDB_FACE_NOZZLE_OUT = 202;        // nozzle: empty holder (state 8)
inline constexpr UINT IDB_FACE_NOZZLE_RETURN = 203;     // nozzle: lifted, arrow (state 13)
inline constexpr UINT IDB_FACE_NOZZLE_LIFTED = 204;     // nozzle: hose in use
inline constexpr UINT IDB_FACE_CARD = 205;              // status: preauthorised
inline constexpr UINT IDB_FACE_CARD_PADLOCK = 206;      // status: preauth reserved
inline constexpr UINT IDB_FACE_BANKNOTE = 207;          // status: prepaid
inline constexpr UINT IDB_FACE_BANKNOTE_PADLOCK = 208;  // status: prepay reserved
inline constexpr UINT IDB_FACE_PUMP = 209;              // body, plain display window
inline constexpr UINT IDB_FACE_STACK_1 = 210;           // stack indicator, 1 to 4
inline constexpr UINT IDB_FACE_STACK_2 = 211;
inline constexpr UINT IDB_FACE_STACK_3 = 212;
inline constexpr UINT IDB_FACE_STACK_4 = 213;
inline constexpr UINT IDB_FACE_NO_ENTRY = 214;        // status: states 9 and 15
inline constexpr UINT IDB_FACE_QUESTION = 215;        // status: state 6, blinking
inline constexpr UINT IDB_FACE_NOZZLE_RESTING = 216;  // nozzle: no hose in use
inline constexpr UINT IDB_FACE_STACK_0 = 217;         // stack indicator, empty
inline constexpr UINT IDB_FACE_CROSS = 218;           // status: states 1, 2, 16, 17
inline constexpr UINT IDB_FACE_STACK_MORE = 219;      // stack indicator, 5 or more
inline constexpr UINT IDB_POPUP_FRAME = 221;          // popup background
inline constexpr UINT IDB_POPUP_STOP = 222;
inline constexpr UINT IDB_POPUP_STOP_DISABLED = 223;
inline constexpr UINT IDB_POPUP_STOP_PRESSED = 224;
inline constexpr UINT IDB_POPUP_STACK_PRESSED = 225;
inline constexpr UINT IDB_POPUP_AUTHORISE_DISABLED = 226;
inline constexpr UINT IDB_POPUP_AUTHORISE = 227;
inline constexpr UINT IDB_POPUP_AUTHORISE_PRESSED = 228;
inline constexpr UINT IDB_POPUP_CANCEL = 229;  // also focused and disabled
inline constexpr UINT IDB_POPUP_CANCEL_PRESSED = 230;
inline constexpr UINT IDB_POPUP_STACK_DISABLED = 231;
inline constexpr UINT IDB_POPUP_STACK = 232;
inline constexpr UINT IDB_ROW_PADLOCK = 233;             // row icon: locked delivery
inline constexpr UINT IDB_ROW_PUMP = 234;                // row icon: current delivery
inline constexpr UINT IDB_ROW_DRIVE_OFF = 235;           // row icon: delivery of type 3
inline constexpr UINT IDB_ROW_OVERDUE = 236;             // row icon: negative age
inline constexpr UINT IDB_FACE_BANKNOTE_NO_ENTRY = 237;  // status: state 14
inline constexpr UINT IDB_FACE_PUMP_OFFLINE = 238;       // body, hatched: state 0

// The result of every forwarding method while no client object is stored.
inline constexpr LONG kNoClientObject = -21;

// DISPIDs of _DTolvan (13 to 15 are not assigned).
enum : DISPID {
    dispidID = 1,
    dispidNumber = 2,
    dispidName = 3,
    dispidPhysicalNumber = 4,
    dispidSide = 5,
    dispidAddress = 6,
    dispidPriceLevel1 = 7,
    dispidPriceLevel2 = 8,
    dispidPriceDspFormat = 9,
    dispidVolumeDspFormat = 10,
    dispidValueDspFormat = 11,
    dispidType = 12,
    dispidPortID = 16,
    dispidAttendantID = 17,
    dispidAuthMode = 18,
    dispidStackMode = 19,
    dispidPrepayAllowed = 20,
    dispidPreauthAllowed = 21,
    dispidPumpState = 22,
    dispidReservedFor = 23,
    dispidReservedBy = 24,
    dispidCurHoseID = 25,
    dispidCurGradeName = 26,
    dispidCurPriceLevel = 27,
    dispidCurPrice = 28,
    dispidCurVolume = 29,
    dispidCurValue = 30,
    dispidStackSize = 31,
    dispidGetHosesCount = 32,
    dispidGetHoseByNumber = 33,
    dispidGetDeliveryProperties = 34,
    dispidPrepayReserve = 35,
    dispidPrepayCancel = 36,
    dispidPrepayAuthorise = 37,
    dispidPreauthReserve = 38,
    dispidPreauthCancel = 39,
    dispidPreauthAuthorise = 40,
    dispidLoadPreset = 41,
    dispidAttendantAuthorise = 42,
    dispidAuthorise = 43,
    dispidCancelAuthorise = 44,
    dispidTempStop = 45,
    dispidReAuthorise = 46,
    dispidTerminateDelivery = 47,
    dispidStackCurrentDelivery = 48,
    dispidStatusEventSink = 49,
    dispidDeliveryEventSink = 50,
    dispidCurGradeID = 51,
    dispidIsCurrentPump = 52,
    dispidCurShortGradeName = 53,
    dispidPopupMode = 54,
    dispidDoPopup = 55,
    dispidSetKestro = 56,
    dispidGetOCXVersion = 57,
    dispidBeepEnabled = 58,
    dispidCurHoseNumber = 59,
    dispidAttendantLogon = 60,
    dispidPumpName = 61,
    dispidKestro = 62,
    dispidDeliveryEventExSink = 63,
    dispidGetDeliveryPropertiesEx = 64,
};

// DISPIDs of _DTolvanEvents.
enum : DISPID {
    eventidStatusEvent = 1,
    eventidDeliveryEvent = 2,
    eventidDeliverySelectedEvent = 3,
    eventidDeliveryEventEx = 4,
};

}  // namespace tolvan
