// Helpers of the COM tests: a temporary registry file per test, a recording IDispatch that
// stands for a partner object or an event sink, and the shared VARIANT builders.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/text_conversion.h"
#include "tests/support/automation_values.h"

namespace com_test {

// Points FORECOURT_REGISTRY at a fresh file in a temporary folder for the test's duration.
class TempRegistry {
  public:
    TempRegistry() {
        char pattern[] = "/tmp/com-test-XXXXXX";
        folder_ = mkdtemp(pattern);
        path_ = folder_ + "/registry";
        setenv("FORECOURT_REGISTRY", path_.c_str(), 1);
    }
    ~TempRegistry() {
        unsetenv("FORECOURT_REGISTRY");
        std::filesystem::remove_all(folder_);
    }
    const std::string& path() const { return path_; }
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    std::string path_;
};

// One recorded Invoke: the DISPID, flags, named DISPIDs and the arguments first to last
// (dereferenced copies).
struct RecordedCall {
    DISPID dispid;
    WORD flags;
    std::vector<DISPID> named;
    std::vector<VARIANT> args;
    std::vector<VARTYPE> types;  // as passed, VT_BYREF kept
    bool wantedResult;           // the caller passed a result VARIANT
};

// An IDispatch that records every call. It answers with `result` (a VT_I4), or fails with
// `failure` (and, for DISP_E_EXCEPTION, `description`). When `fillLong` is set it writes
// that value through every VT_BYREF|VT_I4 argument.
class RecordingDispatch final : public IDispatch {
  public:
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
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* info, UINT*) override {
        RecordedCall call{dispid, flags, {}, {}, {}, result != nullptr};
        for (UINT i = 0; i < params->cNamedArgs; ++i) {
            call.named.push_back(params->rgdispidNamedArgs[i]);
        }
        for (UINT i = params->cArgs; i-- > 0;) {
            VARIANT& given = params->rgvarg[i];
            VARIANT copy;
            VariantInit(&copy);
            VariantCopyInd(&copy, &given);
            call.args.push_back(copy);
            call.types.push_back(given.vt);
            if (fillLong != 0 && given.vt == (VT_BYREF | VT_I4)) {
                *given.plVal = fillLong;
            }
        }
        calls.push_back(call);
        if (failure != S_OK) {
            if (failure == DISP_E_EXCEPTION && info != nullptr) {
                *info = EXCEPINFO{};
                info->scode = E_FAIL;
                info->bstrDescription = BstrFromUtf8(description);
                info->bstrSource = BstrFromUtf8("Recorder");
            }
            return failure;
        }
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = this->result;
        }
        return S_OK;
    }
    ~RecordingDispatch() {
        for (RecordedCall& call : calls) {
            for (VARIANT& v : call.args) {
                VariantClear(&v);
            }
        }
    }

    std::vector<RecordedCall> calls;
    ULONG refs = 1;
    LONG result = 0;
    LONG fillLong = 0;
    HRESULT failure = S_OK;
    std::string description;
};

using test_variants::I4;
using test_variants::Text;

}  // namespace com_test
