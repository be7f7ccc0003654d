// Helpers of Tolvan's tests: Tolvan.OCX registered once per test program in a temporary
// registry, a control created by ProgID as a container creates it, calls by DISPID, and a
// recording client object that answers only the calls a test expects.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/afx/ole_control.h"
#include "platform/com.h"
#include "tests/com/com_test_support.h"

namespace tolvan_test {

// Runs `command` through the shell; its exit status and its combined output.
struct ProgramRun {
    int status;
    std::string output;
};
ProgramRun RunProgram(const std::string& command);

// A hidden top-level window (DefWindowProc, `width` by `height` at 0, 0) for a property page's
// dialog to be made in, as a property frame's window; null when it cannot be made.
HWND MakePageFrame(int width, int height);

// Registers Tolvan.OCX with regsvr in a fresh registry for the whole test program.
class RegisteredModule : public ::testing::Environment {
  public:
    void SetUp() override;
    void TearDown() override;
    static const std::string& RegistryPath();
};

// One call the client object received: DISPID, flags and the arguments first to last, each
// with its type as passed (VT_BYREF kept) and a dereferenced copy of its value.
struct ClientCall {
    DISPID dispid;
    WORD flags;
    std::vector<VARTYPE> types;
    std::vector<VARIANT> values;
};

// The client automation object of a test. A DISPID answers only when the test has expected it
// (Expect); any other call fails the test and the invocation (DISP_E_MEMBERNOTFOUND). The
// object lives on the test's stack: it counts references so that tests can see that the
// control neither adds nor releases any.
class RecordingClient final : public IDispatch {
  public:
    // What the member does with the raw arguments (rgvarg, reversed) before answering.
    using Filler = std::function<void(DISPPARAMS* params)>;

    RecordingClient() = default;
    ~RecordingClient();
    RecordingClient(const RecordingClient&) = delete;
    RecordingClient& operator=(const RecordingClient&) = delete;

    // Member `dispid` answers `result`, after running `fill` when given.
    void Expect(DISPID dispid, LONG result, Filler fill = nullptr);
    // Member `dispid` fails its invocation with DISP_E_EXCEPTION and `description`.
    void ExpectFailure(DISPID dispid, const char* description);
    // Forgets the recorded calls.
    void ClearCalls();

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* info, UINT* argErr) override;

    std::vector<ClientCall> calls;
    ULONG refs = 1;

  private:
    struct Answer {
        LONG result;
        Filler fill;
        const char* failure;
    };
    std::map<DISPID, Answer> answers_;
};

// An event sink for the control's connection point: records each event's DISPID and its
// arguments first to last (dereferenced copies).
class EventRecorder final : public IDispatch {
  public:
    ~EventRecorder();
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* info, UINT* argErr) override;

    std::vector<ClientCall> events;
    ULONG refs = 1;
};

// A control of the registered Tolvan.OCX, created by ProgID for each test and released after
// it (with no reference and no BSTR left over).
class TolvanTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Invokes `dispid` with the arguments first to last; their VARIANTs are cleared afterwards
    // unless by reference. `result` receives the member's result.
    HRESULT Call(DISPID dispid, WORD flags, std::vector<VARIANT> args, VARIANT* result,
                 EXCEPINFO* info = nullptr);
    // A method returning a long; fails the test when the invocation fails.
    LONG CallLong(DISPID dispid, std::vector<VARIANT> args = {});
    HRESULT Put(DISPID dispid, VARIANT value, EXCEPINFO* info = nullptr);
    void PutOk(DISPID dispid, VARIANT value);
    // The property's value (the caller clears it).
    VARIANT Get(DISPID dispid);
    LONG GetLong(DISPID dispid);
    SHORT GetShort(DISPID dispid);
    double GetDouble(DISPID dispid);
    std::string GetText(DISPID dispid);

    // Hands `client` to the control with SetKestro.
    void SetKestro(IDispatch* client);

    // The control object behind the interface. The window layer reads its repaint requests
    // and modified flag here; tests do the same.
    COleControl& Object() { return *static_cast<COleControl*>(control_); }

    IDispatch* control_ = nullptr;

  private:
    long liveStrings_ = 0;
};

using test_variants::ByRef;
using test_variants::Date;
using test_variants::Dispatch;
using test_variants::I2;
using test_variants::I4;
using test_variants::R8;
using test_variants::Text;

}  // namespace tolvan_test
