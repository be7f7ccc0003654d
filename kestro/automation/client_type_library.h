// The type library of the Kestro client automation object: the dispinterface `_DKestroClient`
// with the members a pump control calls (client/kestro_automation.h) and the object's own
// (logon, logoff, ports, client identifier, connection state), the event interface
// `_DKestroClientEvents`, and the coclass `KestroClient` (ProgID "Kestro.Client.1").
#pragma once

#include "platform/typeinfo.h"

namespace kestro::automation {

inline constexpr CLSID kClientClsid = MakeGuid("6E0B5C3A-2F41-4D8B-9A7E-3C15D2B8F401");
inline constexpr GUID kClientLibId = MakeGuid("6E0B5C3A-2F41-4D8B-9A7E-3C15D2B8F400");
inline constexpr IID kClientIid = MakeGuid("6E0B5C3A-2F41-4D8B-9A7E-3C15D2B8F402");
inline constexpr IID kClientEventsIid = MakeGuid("6E0B5C3A-2F41-4D8B-9A7E-3C15D2B8F403");
inline constexpr char kClientProgId[] = "Kestro.Client.1";

// The object's own members; the pump members keep the DISPIDs of client/kestro_automation.h.
enum : DISPID {
    kLogon = 1,       // Logon(ServerName BSTR, CallTimeout long) long
    kLogoff = 2,      // Logoff() long
    kCallPort = 3,    // property long, default 5123
    kEventsPort = 4,  // property long, default 5124
    kClientID = 5,    // property long, default 1: the ReservedBy of this client's reservations
    kConnected = 6,   // property short, read-only: 1 while logged on with a live connection
};

// The one event: the connection to the server was lost (Result: the code later calls answer).
inline constexpr DISPID kConnectionLostEvent = 1;

const TypeLibInfo& ClientTypeLibrary();
const DispInterfaceInfo& ClientInterface();
const DispInterfaceInfo& ClientEventsInterface();
const CoClassInfo& ClientCoClass();

}  // namespace kestro::automation
