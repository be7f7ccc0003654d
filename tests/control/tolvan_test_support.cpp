// The shared helpers of Tolvan's tests: registration once per program, the control of each
// test, the recording client object and the event recorder.
#include "tests/control/tolvan_test_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <memory>

#include "platform/dispatch_call.h"
#include "platform/user.h"

namespace tolvan_test {

namespace {

std::unique_ptr<com_test::TempRegistry> registry;

void RecordArgs(DISPPARAMS* params, ClientCall* call) {
    for (UINT i = params->cArgs; i-- > 0;) {
        const VARIANT& given = params->rgvarg[i];
        VARIANT copy;
        VariantInit(&copy);
        if ((given.vt & VT_BYREF) == 0 || given.byref != nullptr) {
            VariantCopyInd(&copy, &given);
        }
        call->types.push_back(given.vt);
        call->values.push_back(copy);
    }
}

void ClearValues(std::vector<ClientCall>& calls) {
    for (ClientCall& call : calls) {
        for (VARIANT& v : call.values) {
            VariantClear(&v);
        }
    }
    calls.clear();
}

HRESULT AnswerDispatch(IDispatch* self, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = self;
        self->AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

const bool environmentAdded = [] {
    ::testing::AddGlobalTestEnvironment(new RegisteredModule);
    return true;
}();

}  // namespace

HWND MakePageFrame(int width, int height) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.lpszClassName = u"TolvanTestPageFrame";
        return RegisterClassW(&wc) != 0;
    }();
    return registered ? CreateWindowExW(0, u"TolvanTestPageFrame", u"frame", WS_POPUP, 0, 0, width,
                                        height, nullptr, nullptr, nullptr, nullptr)
                      : nullptr;
}

ProgramRun RunProgram(const std::string& command) {
    ProgramRun run{-1, ""};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void RegisteredModule::SetUp() {
    registry = std::make_unique<com_test::TempRegistry>();
    const ProgramRun run = RunProgram(std::string(REGSVR_PROGRAM) + " " + TOLVAN_MODULE);
    ASSERT_EQ(run.status, 0) << run.output;
}

void RegisteredModule::TearDown() {
    CoFreeUnusedLibraries();
    registry.reset();
}

const std::string& RegisteredModule::RegistryPath() {
    return registry->path();
}

// ---- RecordingClient -----------------------------------------------------------------------

RecordingClient::~RecordingClient() {
    ClearValues(calls);
}

void RecordingClient::Expect(DISPID dispid, LONG result, Filler fill) {
    answers_[dispid] = {result, std::move(fill), nullptr};
}

void RecordingClient::ExpectFailure(DISPID dispid, const char* description) {
    answers_[dispid] = {0, nullptr, description};
}

void RecordingClient::ClearCalls() {
    ClearValues(calls);
}

HRESULT RecordingClient::QueryInterface(REFIID riid, void** ppv) {
    return AnswerDispatch(this, riid, ppv);
}

HRESULT RecordingClient::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT RecordingClient::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* info, UINT*) {
    ClientCall call{dispid, flags, {}, {}};
    RecordArgs(params, &call);
    calls.push_back(call);
    const auto answer = answers_.find(dispid);
    if (answer == answers_.end()) {
        ADD_FAILURE() << "the client object got an unexpected call of DISPID " << dispid;
        return DISP_E_MEMBERNOTFOUND;
    }
    if (answer->second.failure != nullptr) {
        if (info != nullptr) {
            *info = EXCEPINFO{};
            info->scode = E_FAIL;
            info->bstrDescription = BstrFromUtf8(answer->second.failure);
        }
        return DISP_E_EXCEPTION;
    }
    if (answer->second.fill) {
        answer->second.fill(params);
    }
    if (result != nullptr) {
        VariantInit(result);
        result->vt = VT_I4;
        result->lVal = answer->second.result;
    }
    return S_OK;
}

// ---- EventRecorder -------------------------------------------------------------------------

EventRecorder::~EventRecorder() {
    ClearValues(events);
}

HRESULT EventRecorder::QueryInterface(REFIID riid, void** ppv) {
    return AnswerDispatch(this, riid, ppv);
}

HRESULT EventRecorder::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT EventRecorder::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
    ClientCall event{dispid, flags, {}, {}};
    RecordArgs(params, &event);
    events.push_back(event);
    return S_OK;
}

// ---- TolvanTest ----------------------------------------------------------------------------

void TolvanTest::SetUp() {
    liveStrings_ = SysLiveStringCount();
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"TOLVAN.TolvanCtrl.1", &clsid), S_OK) << CoGetLastErrorText();
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control_)),
              S_OK)
        << CoGetLastErrorText();
}

void TolvanTest::TearDown() {
    if (control_ != nullptr) {
        EXPECT_EQ(control_->Release(), 0u);
    }
    EXPECT_EQ(SysLiveStringCount(), liveStrings_);
}

HRESULT TolvanTest::Call(DISPID dispid, WORD flags, std::vector<VARIANT> args, VARIANT* result,
                         EXCEPINFO* info) {
    Variant value;
    const HRESULT hr = platform::Invoke(control_, dispid, flags, std::move(args),
                                        result != nullptr ? &value : nullptr, info);
    if (result != nullptr) {
        *result = value.Detach();  // the caller's to clear, as before
    }
    return hr;
}

LONG TolvanTest::CallLong(DISPID dispid, std::vector<VARIANT> args) {
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    const HRESULT hr = Call(dispid, DISPATCH_METHOD, std::move(args), &result, &info);
    EXPECT_EQ(hr, S_OK) << "DISPID " << dispid << ": " << BstrToUtf8(info.bstrDescription);
    ClearExcepInfo(&info);
    EXPECT_EQ(result.vt, VT_I4);
    return result.lVal;
}

HRESULT TolvanTest::Put(DISPID dispid, VARIANT value, EXCEPINFO* info) {
    return Call(dispid, DISPATCH_PROPERTYPUT, {value}, nullptr, info);
}

void TolvanTest::PutOk(DISPID dispid, VARIANT value) {
    EXPECT_EQ(Put(dispid, value), S_OK) << "put of DISPID " << dispid;
}

VARIANT TolvanTest::Get(DISPID dispid) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(dispid, DISPATCH_PROPERTYGET, {}, &result), S_OK) << "get of DISPID " << dispid;
    return result;
}

LONG TolvanTest::GetLong(DISPID dispid) {
    const VARIANT v = Get(dispid);
    EXPECT_EQ(v.vt, VT_I4) << "DISPID " << dispid;
    return v.lVal;
}

SHORT TolvanTest::GetShort(DISPID dispid) {
    const VARIANT v = Get(dispid);
    EXPECT_EQ(v.vt, VT_I2) << "DISPID " << dispid;
    return v.iVal;
}

double TolvanTest::GetDouble(DISPID dispid) {
    const VARIANT v = Get(dispid);
    EXPECT_EQ(v.vt, VT_R8) << "DISPID " << dispid;
    return v.dblVal;
}

std::string TolvanTest::GetText(DISPID dispid) {
    VARIANT v = Get(dispid);
    EXPECT_EQ(v.vt, VT_BSTR) << "DISPID " << dispid;
    const std::string text = BstrToUtf8(v.bstrVal);
    VariantClear(&v);
    return text;
}

void TolvanTest::SetKestro(IDispatch* client) {
    IDispatch* handle = client;
    EXPECT_EQ(CallLong(56, {ByRef(VT_DISPATCH, &handle)}), 0);
}

}  // namespace tolvan_test
