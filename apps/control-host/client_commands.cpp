// control-host's client and wait commands (see client_attachment.h).
#include <charconv>
#include <optional>

#include "apps/control-host/control_host.h"
#include "platform/dispatch_call.h"
#include "platform/variant_values.h"

namespace {

std::optional<long> Number(const std::string& text) {
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

constexpr long kCallTimeoutMs = 5000;

}  // namespace

bool ControlHost::Client(const Words& args) {
    if (args.empty() || args.size() > 3) {
        return Error("usage: client SERVER [CALLPORT [EVENTSPORT]]");
    }
    const std::optional<long> callPort = args.size() > 1 ? Number(args[1].text) : 5123L;
    const std::optional<long> eventsPort = args.size() > 2 ? Number(args[2].text) : 5124L;
    if (!callPort || !eventsPort) {
        return Error("the ports must be numbers");
    }
    std::string error;
    std::unique_ptr<ClientAttachment> fresh =
        ClientAttachment::Open(out_, args[0].text, *callPort, *eventsPort, kCallTimeoutMs, error);
    if (!fresh) {
        return Error(error);  // the control keeps the client object it has
    }
    if (control_ != nullptr) {
        const MemberInfo* setKestro = FindMember("SetKestro");
        if (setKestro == nullptr) {
            return false;
        }
        IDispatch* client = fresh->client();
        Variant result;
        EXCEPINFO info{};
        UINT argErr = 0;
        const HRESULT hr = platform::Invoke(control_.Get(), setKestro->dispid, DISPATCH_METHOD,
                                            {platform::variants::ByRef(VT_DISPATCH, &client)},
                                            &result, &info, &argErr);
        if (FAILED(hr)) {
            // Whether the control took the new object before failing is unknown: both stay
            // alive until the host ends.
            if (client_) {
                retiredClients_.push_back(std::move(client_));
            }
            client_ = std::move(fresh);
            return InvokeFailed(hr, info, argErr, setKestro);
        }
    }
    // The control holds the new object now; only then may the one before go.
    client_ = std::move(fresh);
    out_ << "client " << args[0].text << '\n';
    return true;
}

bool ControlHost::Wait(const Words& args) {
    const std::optional<long> ms = args.size() == 1 ? Number(args[0].text) : std::nullopt;
    if (!ms || *ms < 0 || *ms > 600000) {
        return Error("usage: wait MS (0 to 600000)");
    }
    // Client events arrive in real time; window timers run on the host's clock (the test clock
    // when headless). A script with both waits for both.
    if (client_) {
        ClientAttachment::Wait(static_cast<int>(*ms));
        if (!window_.HasWindow()) {
            return true;
        }
    }
    return window_.Wait(args);
}
