// live-events-bench: the container side of a busy forecourt. Logs a client automation object
// on to a running kestrod (real clock), registers 32 pump controls with it, starts a delivery
// on each of the 32 pumps (a status event per pump every 100 ms) and dispatches the events
// on this thread for the given time. Prints the events delivered per second, the process's
// CPU share (reader thread and sink calls together), and the latency from the simulation's
// change in kestrod to the sink call (median and 99th percentile).
// Usage: live-events-bench ADDRESS [SECONDS]   (bench/live_events_bench.sh starts kestrod)
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "client/kestro_automation.h"
#include "kestro/automation/client_type_library.h"
#include "kestro/automation/kestro_client.h"
#include "kestro/wire/pump_calls.h"
#include "platform/dispatch_call.h"
#include "platform/unknown_base.h"
#include "platform/user.h"
#include "platform/variant_values.h"

namespace {

using platform::variants::ByRef;
using platform::variants::I4;
using platform::variants::Text;

constexpr int kPumps = 32;

std::int64_t MonotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A pump control that only counts its sink calls; the benchmark's vector owns it.
class CountingControl final : public ScopedObject<IDispatch> {
  public:
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        ++calls;
        if (result != nullptr) {
            result->vt = VT_I4;
            result->lVal = 0;
        }
        return S_OK;
    }
    long calls = 0;
};

// Calls the method `dispid` of the client object; its long result in `*rc`.
HRESULT Call(IDispatch* client, DISPID dispid, std::vector<VARIANT> args, LONG* rc) {
    Variant result;
    const HRESULT hr = platform::Invoke(client, dispid, DISPATCH_METHOD, std::move(args), &result);
    *rc = result.Get().lVal;
    return hr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: live-events-bench ADDRESS [SECONDS]\n");
        return 2;
    }
    const std::string address = argv[1];
    const int seconds = argc > 2 ? std::stoi(argv[2]) : 10;
    auto* client = new kestro::automation::CKestroClient;
    std::vector<std::int64_t> latencies;
    latencies.reserve(static_cast<std::size_t>(seconds) * kPumps * 12);
    client->SetSinkObserver(
        [&](std::int64_t emittedUs) { latencies.push_back(MonotonicMicroseconds() - emittedUs); });
    LONG rc = -1;
    if (FAILED(Call(client, kestro::automation::kLogon, {Text(address), I4(5000)}, &rc)) ||
        rc != 0) {
        std::fprintf(stderr, "live-events-bench: logon to %s failed (%d)\n", address.c_str(), rc);
        return 1;
    }
    std::vector<CountingControl> controls(kPumps);
    for (int pump = 1; pump <= kPumps; ++pump) {
        IDispatch* control = &controls[static_cast<std::size_t>(pump - 1)];
        Call(client, kestro_automation::kRegisterPumpControl,
             {I4(pump), ByRef(VT_DISPATCH, &control)}, &rc);
    }
    // The customers: a second link lifts and the client object authorises each pump.
    kestro::client::ClientLink customers;
    BSTR name = BstrFromUtf8(address);
    if (customers.LogOn(99, 0, name, 5123, 5124, 5000, 0, 0, 0) != 0) {
        std::fprintf(stderr, "live-events-bench: the customers' logon failed\n");
        return 1;
    }
    SysFreeString(name);
    for (int pump = 1; pump <= kPumps; ++pump) {
        customers.Forward<kestro::wire::pump_calls::CustomerLift>(pump, 1);
        Call(client, kestro_automation::kPumpAuthorise, {I4(pump)}, &rc);
        if (rc != 0) {
            std::fprintf(stderr, "live-events-bench: pump %d refused authorisation (%d)\n", pump,
                         rc);
            return 1;
        }
    }
    platform::RunMessageLoopFor(1500);  // the pumps start
    latencies.clear();
    long before = 0;
    for (const CountingControl& control : controls) {
        before += control.calls;
    }
    const double cpuStart = CpuSeconds();
    const std::int64_t wallStart = MonotonicMicroseconds();
    platform::RunMessageLoopFor(static_cast<DWORD>(seconds) * 1000);
    const double wall = static_cast<double>(MonotonicMicroseconds() - wallStart) / 1e6;
    const double cpu = CpuSeconds() - cpuStart;
    long calls = -before;
    for (const CountingControl& control : controls) {
        calls += control.calls;
    }
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double share) {
        return latencies.empty() ? 0.0
                                 : static_cast<double>(latencies[static_cast<std::size_t>(
                                       share * static_cast<double>(latencies.size() - 1))]) /
                                       1000.0;
    };
    std::printf("%d pumps delivering, %d registered controls, %.1f s\n", kPumps, kPumps, wall);
    std::printf("sink calls: %ld (%.0f per second)\n", calls, static_cast<double>(calls) / wall);
    std::printf("container CPU: %.2f s of %.1f s (%.1f%% of one core)\n", cpu, wall,
                100.0 * cpu / wall);
    std::printf(
        "latency, change in kestrod to sink call: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
        at(0.5), at(0.99), at(1.0));
    customers.LogOff();
    client->Release();
    return 0;
}
