// Tolvan.OCX loaded as a container loads it, for the tests that reach the control through the
// module's exports: the apartment entered once a suite, the module loaded beside the test
// program for each test and its class-object export found, the module freed after the test.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

class OcxModuleTest : public ::testing::Test {
  protected:
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

    static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    static void TearDownTestSuite() { CoUninitialize(); }

    // A fixture that does more calls this first and stops on HasFatalFailure().
    void SetUp() override {
        module_ = LoadLibraryW(L"Tolvan.OCX");
        ASSERT_NE(module_, nullptr) << "Tolvan.OCX not loaded, error " << GetLastError();
        getClassObject_ = Export<GetClassObjectFn>("DllGetClassObject");
        ASSERT_NE(getClassObject_, nullptr);
    }
    // Last in a fixture's own TearDown: every object of the module is gone before it is freed.
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
            module_ = nullptr;
        }
    }

    // An export of the module as the function type it has (through void*: FARPROC says none).
    template <class Fn>
    Fn Export(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    HMODULE module_ = nullptr;
    GetClassObjectFn getClassObject_ = nullptr;
};
