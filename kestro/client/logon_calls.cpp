// The flat interface's logon family over the wire protocol. ResultString and DllVersion are
// answered here without the server: they work before a logon and after a lost connection.
#include "client/kestro.h"
#include "kestro/client/client_link.h"
#include "kestro/model/result_codes.h"

namespace {

using kestro::client::ClientLink;
using kestro::wire::CallCode;

constexpr OLECHAR kLibraryVersion[] = OLESTR("Kestro client library 4.2.1 (libkestro, protocol 1)");

// The protocol's own codes must read the same in the library's texts.
static_assert(kestro::kMalformedRequest == kestro::wire::kResultMalformedRequest);
static_assert(kestro::kCallNotServed == kestro::wire::kResultCallNotServed);
static_assert(kestro::kAnswerTooLarge == kestro::wire::kResultAnswerTooLarge);

BSTR NewBstr(const WideString& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace

extern "C" {

std::int32_t KESTRO_CALL ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                       BSTR serverName, std::int32_t callPort,
                                       std::int32_t eventsPort, std::int32_t callTimeout,
                                       std::int32_t options, std::int32_t eventMask,
                                       std::int32_t bufferSize) {
    return ClientLink::Instance().LogOn(clientId, clientKind, serverName, callPort, eventsPort,
                                        callTimeout, options, eventMask, bufferSize);
}

std::int32_t KESTRO_CALL SetClientType(std::int32_t clientType) {
    return ClientLink::Instance().Forward<CallCode::SetClientType>(clientType);
}

std::int32_t KESTRO_CALL ClientLogoff() {
    return ClientLink::Instance().LogOff();
}

std::int32_t KESTRO_CALL ResultString(std::int32_t code, BSTR* text) {
    if (text == nullptr) {
        return kestro::kInvalidArgument;
    }
    *text = NewBstr(kestro::ResultText(code));
    return kestro::kSuccess;
}

std::int32_t KESTRO_CALL DllVersion(BSTR* version) {
    if (version == nullptr) {
        return kestro::kInvalidArgument;
    }
    *version = NewBstr(kLibraryVersion);
    return kestro::kSuccess;
}

std::int32_t KESTRO_CALL ServerVersion(BSTR* version) {
    return ClientLink::Instance().Forward<CallCode::ServerVersion>(version);
}

}  // extern "C"
