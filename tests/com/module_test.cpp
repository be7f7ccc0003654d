// The test control as a module: registration and unregistration by regsvr in a temporary
// registry (with the failure codes), creation by ProgID through the registry and dlopen, calls
// by name, reference counts back to zero and the module unloaded at the end; creation errors
// for an unknown ProgID, a missing module and a missing export.
#include <dlfcn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/registry.h"
#include "tests/com/com_test_support.h"
#include "tests/com/test_control/test_control_types.h"

namespace {

using com_test::TempRegistry;

struct ProgramRun {
    int status;
    std::string output;
};

// Runs regsvr with `args`; the exit status and the combined output.
ProgramRun Regsvr(const std::string& args, const std::string& environment = "") {
    const std::string command = environment + " " + REGSVR_PROGRAM + " " + args + " 2>&1";
    ProgramRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ModuleLoaded() {
    void* handle = dlopen(TEST_CONTROL_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        dlclose(handle);
        return true;
    }
    return false;
}

std::string Key(const char* rest) {
    return std::string("HKEY_CLASSES_ROOT\\") + rest;
}

TEST(ModuleTest, RegisterCreateCallAndUnloadThroughTheRegistry) {
    TempRegistry registry;
    const ProgramRun registered = Regsvr(TEST_CONTROL_MODULE);
    ASSERT_EQ(registered.status, 0) << registered.output;
    EXPECT_NE(registered.output.find("DllRegisterServer in "), std::string::npos);
    EXPECT_NE(registered.output.find("  + HKEY_CLASSES_ROOT\\FORECOURT.TestCtrl.1\\CLSID"),
              std::string::npos);

    RegistryDocument doc;
    std::string error;
    ASSERT_TRUE(LoadRegistry(&doc, &error)) << error;
    const std::string clsid = Key("CLSID\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A04}");
    EXPECT_EQ(doc.GetValue(clsid, ""), "Test Control");
    EXPECT_EQ(doc.GetValue(clsid + "\\InprocServer32", ""), std::string(TEST_CONTROL_MODULE));
    EXPECT_EQ(doc.GetValue(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(doc.GetValue(clsid + "\\ProgID", ""), "FORECOURT.TestCtrl.1");
    EXPECT_EQ(doc.GetValue(clsid + "\\MiscStatus", ""), "0");
    EXPECT_EQ(doc.GetValue(clsid + "\\MiscStatus\\1", ""), "131473");
    EXPECT_EQ(doc.GetValue(clsid + "\\ToolboxBitmap32", ""),
              std::string(TEST_CONTROL_MODULE) + ", 1");
    EXPECT_EQ(doc.GetValue(clsid + "\\TypeLib", ""), "{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A01}");
    EXPECT_EQ(doc.GetValue(clsid + "\\Version", ""), "1.0");
    EXPECT_TRUE(doc.HasKey(clsid + "\\Control"));
    EXPECT_FALSE(doc.HasKey(clsid + "\\Insertable"));
    const std::string page = Key("CLSID\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A05}");
    EXPECT_EQ(doc.GetValue(page, ""), "Test Property Page");
    EXPECT_FALSE(doc.HasKey(page + "\\ProgID"));
    EXPECT_FALSE(doc.HasKey(Key("FORECOURT.TestPropPage.1")));
    const std::string lib = Key("TypeLib\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A01}\\1.0");
    EXPECT_EQ(doc.GetValue(lib, ""), "Test Control module");
    EXPECT_EQ(doc.GetValue(lib + "\\FLAGS", ""), "2");
    EXPECT_EQ(doc.GetValue(lib + "\\0\\win64", ""), std::string(TEST_CONTROL_MODULE));
    EXPECT_EQ(doc.GetValue(Key("Interface\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A03}"), ""),
              "_DTestCtlEvents");

    // Create by ProgID and call by name.
    const std::u16string progId = Utf8ToUtf16("forecourt.testctrl.1");
    CLSID found{};
    ASSERT_EQ(CLSIDFromProgID(progId.c_str(), &found), S_OK);
    EXPECT_EQ(found, test_control::kControlClsid);
    IDispatch* control = nullptr;
    ASSERT_EQ(CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control)),
              S_OK)
        << CoGetLastErrorText();
    EXPECT_TRUE(ModuleLoaded());
    std::u16string name = Utf8ToUtf16("ADD");
    LPOLESTR names[] = {name.data()};
    DISPID dispid = 0;
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid), S_OK);
    VARIANT args[3];
    args[2] = com_test::I4(1);
    args[1] = com_test::I4(2);
    args[0] = com_test::Text("0.5");
    DISPPARAMS params{args, nullptr, 3, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(
        control->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(result.dblVal, 3.5);
    VariantClear(&args[0]);

    // While an object lives the module stays; after the last release it goes.
    CoFreeUnusedLibraries();
    EXPECT_EQ(CoLoadedLibraryCount(), 1);
    EXPECT_EQ(control->Release(), 0u);
    CoFreeUnusedLibraries();
    EXPECT_EQ(CoLoadedLibraryCount(), 0);
    EXPECT_FALSE(ModuleLoaded());

    // Unregistering removes what registering wrote; a second time the type library is missing.
    const ProgramRun removed = Regsvr("/u " TEST_CONTROL_MODULE);
    ASSERT_EQ(removed.status, 0) << removed.output;
    ASSERT_TRUE(LoadRegistry(&doc, &error));
    EXPECT_FALSE(doc.HasKey(clsid));
    EXPECT_FALSE(doc.HasKey(page));
    EXPECT_FALSE(doc.HasKey(Key("FORECOURT.TestCtrl.1")));
    EXPECT_FALSE(doc.HasKey(Key("TypeLib\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A01}")));
    EXPECT_TRUE(doc.SubKeys(Key("Interface")).empty());
    const ProgramRun again = Regsvr("/u " TEST_CONTROL_MODULE);
    EXPECT_EQ(again.status, 5);
    EXPECT_NE(again.output.find("failed: Type library registration failed (0x80040200)"),
              std::string::npos)
        << again.output;
    EXPECT_EQ(CLSIDFromProgID(progId.c_str(), &found), CO_E_CLASSSTRING);
}

TEST(ModuleTest, RegistrationFailuresReportTheirCodeAndKeepTheRegistry) {
    TempRegistry registry;
    // A class whose type name is missing: the type library is written, the class step fails.
    const ProgramRun classFailed = Regsvr(TEST_CONTROL_MODULE, "TEST_CONTROL_HIDE_PAGE_NAME=1");
    EXPECT_EQ(classFailed.status, 5);
    EXPECT_NE(classFailed.output.find("(0x80040201)"), std::string::npos) << classFailed.output;

    // A registry that cannot be written fails the first step, the type library.
    const ProgramRun libFailed =
        Regsvr(TEST_CONTROL_MODULE, "FORECOURT_REGISTRY=/proc/no/registry");
    EXPECT_EQ(libFailed.status, 5);
    EXPECT_NE(libFailed.output.find("(0x80040200)"), std::string::npos) << libFailed.output;

    const std::string before = FileText(registry.path());
    const ProgramRun missing = Regsvr(registry.folder() + "/none.OCX");
    EXPECT_EQ(missing.status, 3);
    const ProgramRun notModule = Regsvr("/u " + registry.path());  // a text file
    EXPECT_EQ(notModule.status, 3);
    EXPECT_NE(notModule.output.find("cannot load"), std::string::npos);
    EXPECT_EQ(Regsvr("").status, 2);
    EXPECT_EQ(FileText(registry.path()), before);
}

TEST(ModuleTest, CreationErrorsSayWhatIsMissing) {
    TempRegistry registry;
    const CLSID clsid = test_control::kControlClsid;
    const std::string key = Key("CLSID\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A04}\\InprocServer32");
    auto registerPath = [&](const std::string& path) {
        std::string error;
        ASSERT_TRUE(EditRegistry(
            [&](RegistryDocument& doc, std::string*) { return doc.SetValue(key, "", path); },
            &error))
            << error;
    };
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    const std::u16string unknown = Utf8ToUtf16("No.Such.1");
    CLSID untouched = test_control::kLibId;
    EXPECT_EQ(CLSIDFromProgID(unknown.c_str(), &untouched), CO_E_CLASSSTRING);
    EXPECT_EQ(untouched, test_control::kLibId);
    EXPECT_NE(CoGetLastErrorText().find("No.Such.1"), std::string::npos);

    registerPath(registry.folder() + "/gone.OCX");
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              HRESULT_MOD_NOT_FOUND);
    EXPECT_NE(CoGetLastErrorText().find("gone.OCX"), std::string::npos);

    registerPath("libm.so.6");  // loads, but is no COM module
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              HRESULT_PROC_NOT_FOUND);
    EXPECT_NE(CoGetLastErrorText().find("DllGetClassObject"), std::string::npos);

    // The right module asked for a class it does not serve.
    registerPath(TEST_CONTROL_MODULE);
    const std::string other = Key("CLSID\\{5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A09}\\InprocServer32");
    std::string error;
    ASSERT_TRUE(
        EditRegistry([&](RegistryDocument& doc,
                         std::string*) { return doc.SetValue(other, "", TEST_CONTROL_MODULE); },
                     &error));
    const CLSID unserved = MakeGuid("5A1E0C3B-7D2F-4E8A-9B61-0C4D2E8F1A09");
    EXPECT_EQ(CoCreateInstance(unserved, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CLASS_E_CLASSNOTAVAILABLE);
    CoFreeUnusedLibraries();
    EXPECT_EQ(CoLoadedLibraryCount(), 0);
}

}  // namespace
