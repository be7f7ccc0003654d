// Helpers of the live forecourt's end-to-end tests: kestrod on a manual clock, kestroctl runs,
// the client object and Tolvan registered in a temporary registry and created through COM,
// a control that records its sink calls with the thread they came on, and dispatching the
// test thread's queue until a condition holds.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/com.h"
#include "platform/dispatch_call.h"
#include "platform/user.h"
#include "tests/com/com_test_support.h"
#include "tests/kestro_e2e/e2e_support.h"

namespace live {

inline const std::string kKestroctl = KESTROCTL_PROGRAM;
inline const std::string kRegsvr = REGSVR_PROGRAM;
inline const std::string kClientModule = KESTRO_CLIENT_MODULE;
inline const std::string kTolvanModule = TOLVAN_MODULE;

// Runs kestroctl against `server` with `arguments`.
inline e2e::Run RunCtl(const test_support::TempFolder& folder, const e2e::Kestrod& server,
                       const std::vector<std::string>& arguments) {
    static int runs = 0;
    const std::string base = folder.File("kestroctl" + std::to_string(++runs));
    std::vector<std::string> command{kKestroctl, "--server", server.address()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    e2e::ChildProcess ctl(command, folder.path(), base + ".out", base + ".err");
    EXPECT_TRUE(ctl.Wait(e2e::kRunLimit).has_value()) << "kestroctl did not end";
    return {ctl.exitCode(), ctl.Output() + e2e::ReadFile(base + ".err")};
}

// Registers `module` with regsvr in the registry FORECOURT_REGISTRY names.
inline void Register(const test_support::TempFolder& folder, const std::string& module) {
    e2e::ChildProcess regsvr({kRegsvr, module}, folder.path(), folder.File("regsvr.out"),
                             folder.File("regsvr.err"));
    ASSERT_TRUE(regsvr.Wait(e2e::kRunLimit).has_value());
    ASSERT_EQ(regsvr.exitCode(), 0) << regsvr.Output();
}

// Runs this thread's message loop until `done` holds, for at most 10 seconds.
inline bool DispatchUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        platform::RunMessageLoopFor(20);
    }
    return true;
}

// One call on a recording dispatch: DISPID, arguments first to last, and the thread.
struct SinkCall {
    DISPID dispid;
    std::vector<VARIANT> args;
    std::thread::id thread;
};

// A pump control or container sink that records every Invoke and answers 0.
class RecordingSink final : public IDispatch {
  public:
    ~RecordingSink() {
        for (SinkCall& call : calls) {
            for (VARIANT& value : call.args) {
                VariantClear(&value);
            }
        }
    }
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }  // lives on the test's stack
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        SinkCall call{dispid, {}, std::this_thread::get_id()};
        for (UINT i = params->cArgs; i-- > 0;) {
            VARIANT copy;
            VariantInit(&copy);
            VariantCopyInd(&copy, &params->rgvarg[i]);
            call.args.push_back(copy);
        }
        calls.push_back(std::move(call));
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = 0;
        }
        return S_OK;
    }

    std::vector<SinkCall> calls;
    ULONG refs = 1;
};

// Invokes `dispid` of `object` with `args` (first to last) as `flags`; the result as a long.
inline HRESULT Invoke(IDispatch* object, DISPID dispid, std::vector<VARIANT> args, LONG* result,
                      WORD flags = DISPATCH_METHOD) {
    Variant value;
    const HRESULT hr = platform::Invoke(object, dispid, flags, std::move(args), &value);
    if (result != nullptr) {
        const VARIANT& v = value.Get();
        *result = v.vt == VT_I4 ? v.lVal : v.vt == VT_I2 ? v.iVal : -12345;
    }
    return hr;
}

}  // namespace live
