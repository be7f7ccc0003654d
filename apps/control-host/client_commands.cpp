// control-host's client and wait commands (see client_attachment.h).
#include "apps/control-host/control_host.h"
#include "common/number_word.h"
#include "platform/dispatch_call.h"
#include "platform/variant_values.h"

namespace {

constexpr long kCallTimeoutMs = 5000;
// The longest wait of a script, for client events and the window clock alike.
constexpr int kLongestWaitMs = 600000;

}  // namespace

bool ControlHost::Client(const Words& args) {
    if (args.empty() || args.size() > 3) {
        return Error("usage: client SERVER [CALLPORT [EVENTSPORT]]");
    }
    long callPort = 5123;
    long eventsPort = 5124;
    std::string error;
    if ((args.size() > 1 && !ReadNumberWord("client CALLPORT", args[1].text, 1, 65535, callPort,
                                            error, "a port number")) ||
        (args.size() > 2 && !ReadNumberWord("client EVENTSPORT", args[2].text, 1, 65535, eventsPort,
                                            error, "a port number"))) {
        return Error(error);
    }
    std::unique_ptr<ClientAttachment> fresh =
        ClientAttachment::Open(out_, args[0].text, callPort, eventsPort, kCallTimeoutMs, error);
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
    if (args.size() != 1) {
        return Error("usage: wait MS (0 to 600000)");
    }
    int ms = 0;
    std::string error;
    if (!ReadNumberWord("wait", args[0].text, 0, kLongestWaitMs, ms, error, "milliseconds")) {
        return Error(error);
    }
    // Client events arrive in real time; window timers run on the host's clock (the scripted clock
    // when headless). A script with both waits for both.
    if (client_) {
        ClientAttachment::Wait(ms);
        if (!window_.HasWindow()) {
            return true;
        }
    }
    return window_.Wait(ms);
}
