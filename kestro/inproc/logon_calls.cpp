// The flat interface's logon family, bound to the current in-process station.
#include "client/kestro.h"
#include "kestro/inproc/bstr_values.h"
#include "kestro/inproc/current_station.h"

using kestro::CurrentStation;

extern "C" {

std::int32_t KESTRO_CALL ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                       BSTR serverName, std::int32_t callPort,
                                       std::int32_t eventsPort, std::int32_t callTimeout,
                                       std::int32_t options, std::int32_t eventMask,
                                       std::int32_t bufferSize) {
    return CurrentStation().ClientLogonEx(clientId, clientKind, kestro::TextOf(serverName),
                                          callPort, eventsPort, callTimeout, options, eventMask,
                                          bufferSize);
}

std::int32_t KESTRO_CALL SetClientType(std::int32_t clientType) {
    return CurrentStation().SetClientType(clientType);
}

std::int32_t KESTRO_CALL ClientLogoff() {
    return CurrentStation().ClientLogoff();
}

std::int32_t KESTRO_CALL ResultString(std::int32_t code, BSTR* text) {
    return kestro::HandOutText(
        text, [code](WideString* out) { return CurrentStation().ResultString(code, out); });
}

std::int32_t KESTRO_CALL DllVersion(BSTR* version) {
    return kestro::HandOutText(version,
                               [](WideString* out) { return CurrentStation().DllVersion(out); });
}

std::int32_t KESTRO_CALL ServerVersion(BSTR* version) {
    return kestro::HandOutText(version,
                               [](WideString* out) { return CurrentStation().ServerVersion(out); });
}

}  // extern "C"
