// Tolvan.OCX as a module: the registry entries its registration writes, unregistration and
// the failure code of a registry that cannot be written, the property page created through
// COM in both languages, unloading, and the four exported entry points.
#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "platform/property_page_window.h"
#include "platform/registry.h"
#include "platform/user.h"
#include "tests/control/tolvan_test_support.h"

namespace tolvan_test {
namespace {

std::string Key(const std::string& rest) {
    return "HKEY_CLASSES_ROOT\\" + rest;
}

TEST(TolvanModuleTest, RegistrationWritesTheControlThePageAndTheTypeLibrary) {
    RegistryDocument doc;
    std::string error;
    ASSERT_TRUE(LoadRegistry(&doc, &error)) << error;
    const std::string module = TOLVAN_MODULE;
    const std::string control = Key("CLSID\\{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}");
    const std::string page = Key("CLSID\\{24919A8D-2502-49CA-B37B-C348EE6E708C}");
    const std::string lib = Key("TypeLib\\{4CA564D7-4F81-4C2C-9429-6609A57D26A5}\\1.0");
    struct Entry {
        std::string key;
        const char* name;
        std::string value;
    };
    const Entry kEntries[] = {
        {control, "", "Tolvan Control"},
        {control + "\\InprocServer32", "", module},
        {control + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {control + "\\ProgID", "", "TOLVAN.TolvanCtrl.1"},
        {control + "\\Control", "", ""},
        {control + "\\MiscStatus", "", "0"},
        {control + "\\MiscStatus\\1", "", "131473"},
        {control + "\\ToolboxBitmap32", "", module + ", 1"},
        {control + "\\TypeLib", "", "{4CA564D7-4F81-4C2C-9429-6609A57D26A5}"},
        {control + "\\Version", "", "1.0"},
        {Key("TOLVAN.TolvanCtrl.1"), "", "Tolvan Control"},
        {Key("TOLVAN.TolvanCtrl.1\\CLSID"), "", "{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}"},
        {page, "", "Tolvan Property Page"},
        {page + "\\InprocServer32", "", module},
        {lib, "", "Tolvan ActiveX Control module"},
        {lib + "\\0\\win64", "", module},
        {lib + "\\FLAGS", "", "2"},
        {Key("Interface\\{9B739684-14D2-447F-865E-28E21576139A}"), "", "_DTolvan"},
        {Key("Interface\\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}"), "", "_DTolvanEvents"},
    };
    for (const Entry& e : kEntries) {
        EXPECT_EQ(doc.GetValue(e.key, e.name), e.value) << e.key << " " << e.name;
    }
    // The page's ProgID is given to its factory but never registered.
    EXPECT_FALSE(doc.HasKey(Key("TOLVAN.TolvanPropPage.1")));
    EXPECT_FALSE(doc.HasKey(control + "\\Insertable"));
}

// The registry of this test program again, after a test that used one of its own.
class TolvanModuleRegistryTest : public ::testing::Test {
  protected:
    void TearDown() override {
        setenv("FORECOURT_REGISTRY", RegisteredModule::RegistryPath().c_str(), 1);
    }
};

TEST_F(TolvanModuleRegistryTest,
       UnregistrationRemovesWhatRegistrationWroteAndFailuresHaveTheirCodes) {
    com_test::TempRegistry own;
    const std::string regsvr = REGSVR_PROGRAM;
    ASSERT_EQ(RunProgram(regsvr + " " + TOLVAN_MODULE).status, 0);
    const ProgramRun removed = RunProgram(regsvr + " /u " + TOLVAN_MODULE);
    ASSERT_EQ(removed.status, 0) << removed.output;
    RegistryDocument doc;
    std::string error;
    ASSERT_TRUE(LoadRegistry(&doc, &error)) << error;
    EXPECT_FALSE(doc.HasKey(Key("CLSID\\{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}")));
    EXPECT_FALSE(doc.HasKey(Key("CLSID\\{24919A8D-2502-49CA-B37B-C348EE6E708C}")));
    EXPECT_FALSE(doc.HasKey(Key("TOLVAN.TolvanCtrl.1")));
    EXPECT_FALSE(doc.HasKey(Key("TypeLib\\{4CA564D7-4F81-4C2C-9429-6609A57D26A5}")));
    EXPECT_FALSE(doc.HasKey(Key("Interface\\{9B739684-14D2-447F-865E-28E21576139A}")));

    // Nothing left to remove: the type library step fails first.
    const ProgramRun again = RunProgram(regsvr + " /u " + TOLVAN_MODULE);
    EXPECT_EQ(again.status, 5);
    EXPECT_NE(again.output.find("0x80040200"), std::string::npos) << again.output;
    // A registry that cannot be written fails the type library step too.
    const ProgramRun unwritable =
        RunProgram("FORECOURT_REGISTRY=/proc/no/registry " + regsvr + " " + TOLVAN_MODULE);
    EXPECT_EQ(unwritable.status, 5);
    EXPECT_NE(unwritable.output.find("0x80040200"), std::string::npos) << unwritable.output;
}

// Tolvan's property page created through COM, or null.
IPropertyPage* CreatePage() {
    IPropertyPage* page = nullptr;
    constexpr CLSID kPage = MakeGuid("24919A8D-2502-49CA-B37B-C348EE6E708C");
    CoCreateInstance(kPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                     reinterpret_cast<void**>(&page));
    return page;
}

TEST(TolvanModuleTest, ThePropertyPageIsCaptionedInTheUsersLanguageAndChangesNothing) {
    struct Case {
        const char* lang;
        const char* caption;
    };
    constexpr Case kCases[] = {{"C", "General"}, {"pt_BR.UTF-8", "Geral"}};
    for (const Case& c : kCases) {
        setenv("LANG", c.lang, 1);
        IPropertyPage* page = CreatePage();
        ASSERT_NE(page, nullptr) << CoGetLastErrorText();
        PROPPAGEINFO info{};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        EXPECT_EQ(std::u16string(info.pszTitle),
                  std::u16string(c.caption, c.caption + std::char_traits<char>::length(c.caption)))
            << c.lang;
        EXPECT_EQ(info.size.cx, 250);
        EXPECT_EQ(info.size.cy, 62);
        CoTaskMemFree(info.pszTitle);

        IDispatch* control = nullptr;
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(u"TOLVAN.TolvanCtrl.1", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&control)),
                  S_OK);
        IUnknown* objects[] = {control};
        ASSERT_EQ(page->SetObjects(1, objects), S_OK);
        EXPECT_EQ(page->Apply(), S_OK);
        COleControl& object = *static_cast<COleControl*>(control);
        EXPECT_FALSE(object.IsModified());
        ASSERT_EQ(page->SetObjects(0, nullptr), S_OK);
        EXPECT_EQ(page->Release(), 0u);
        EXPECT_EQ(control->Release(), 0u);
    }
    setenv("LANG", "C", 1);
}

// The page as a frame shows it: its dialog (template 200) made as a child of the frame's
// window, 250 by 62 dialog units at 6 by 13 pixels a base unit, with the static text drawn,
// under the caption of the user's language.
TEST(TolvanModuleTest, ThePropertyPageShowsItsDialogInAFrameWindow) {
    struct Case {
        const char* lang;
        std::u16string caption;
    };
    const Case kCases[] = {{"C", u"General"}, {"pt_BR.UTF-8", u"Geral"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.lang);
        setenv("LANG", c.lang, 1);
        IPropertyPage* page = CreatePage();
        ASSERT_NE(page, nullptr) << CoGetLastErrorText();
        PROPPAGEINFO info{};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        EXPECT_EQ(std::u16string(info.pszTitle), c.caption);
        CoTaskMemFree(info.pszTitle);

        IPropertyPageWindow* window = nullptr;
        ASSERT_EQ(page->QueryInterface(IID_IPropertyPageWindow, reinterpret_cast<void**>(&window)),
                  S_OK);
        HWND frame = MakePageFrame(400, 130);
        ASSERT_NE(frame, nullptr);
        const RECT place{6, 24, 6, 24};
        EXPECT_EQ(window->Activate(frame, nullptr, TRUE), E_POINTER);
        ASSERT_EQ(window->Activate(frame, &place, TRUE), S_OK);
        EXPECT_EQ(window->Activate(frame, &place, TRUE), E_UNEXPECTED);  // open already

        HWND dialog = GetWindow(frame, GW_CHILD);
        ASSERT_NE(dialog, nullptr);
        EXPECT_NE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CHILD, 0);
        EXPECT_NE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_VISIBLE, 0);  // shown with its frame
        RECT rect{};
        GetWindowRect(dialog, &rect);
        RECT frameRect{};
        GetWindowRect(frame, &frameRect);
        EXPECT_EQ(rect.left - frameRect.left, 6);
        EXPECT_EQ(rect.top - frameRect.top, 24);
        EXPECT_EQ(rect.right - rect.left, 375);  // 250 units of 6 / 4 pixels
        EXPECT_EQ(rect.bottom - rect.top, 101);  // 62 units of 13 / 8 pixels
        // The frame may hide, show and move the active page.
        EXPECT_EQ(page->Show(SW_HIDE), S_OK);
        EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_VISIBLE, 0);
        EXPECT_EQ(page->Show(SW_SHOW), S_OK);
        const RECT moved{8, 26, 8 + 375, 26 + 101};
        EXPECT_EQ(page->Move(&moved), S_OK);
        EXPECT_EQ(page->Move(nullptr), E_POINTER);
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.left - frameRect.left, 8);
        const RECT back{6, 24, 6 + 375, 24 + 101};
        ASSERT_EQ(page->Move(&back), S_OK);
        GetWindowRect(dialog, &rect);

        HWND text = GetWindow(dialog, GW_CHILD);
        ASSERT_NE(text, nullptr);
        char16_t title[64] = {};
        GetWindowTextW(text, title, 64);
        EXPECT_EQ(std::u16string(title), u"No property pages available.");
        RECT textRect{};
        GetWindowRect(text, &textRect);
        EXPECT_EQ(textRect.left - rect.left, 111);  // (74, 24), 97 by 16 units
        EXPECT_EQ(textRect.top - rect.top, 39);
        EXPECT_EQ(textRect.right - textRect.left, 146);
        EXPECT_EQ(textRect.bottom - textRect.top, 26);

        // The text is drawn: dark pixels in its rectangle, on the dialog face elsewhere.
        ShowWindow(frame, SW_SHOW);
        platform::DispatchPendingMessages();
        const platform::PixelSurface* surface = platform::GetWindowSurface(frame);
        ASSERT_NE(surface, nullptr);
        int dark = 0;
        for (int y = textRect.top - frameRect.top; y < textRect.bottom - frameRect.top; ++y) {
            for (int x = textRect.left - frameRect.left; x < textRect.right - frameRect.left; ++x) {
                dark += (surface->at(x, y) & 0xFFu) < 0x60 ? 1 : 0;
            }
        }
        EXPECT_GT(dark, 100);
        EXPECT_EQ(surface->at(6 + 10, 24 + 10) & 0xFFFFFFu, GetSysColor(COLOR_BTNFACE) & 0xFFFFFFu);

        EXPECT_EQ(window->Deactivate(), S_OK);
        EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);
        // Open again and left open: releasing the page takes its dialog with it.
        ASSERT_EQ(window->Activate(frame, &place, TRUE), S_OK);
        window->Release();
        EXPECT_EQ(page->Release(), 0u);
        EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);
        DestroyWindow(frame);
    }
    setenv("LANG", "C", 1);
}

TEST(TolvanModuleTest, TheModuleUnloadsWhenItsLastObjectIsGone) {
    IDispatch* control = nullptr;
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"TOLVAN.TolvanCtrl.1", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    CoFreeUnusedLibraries();
    EXPECT_EQ(CoLoadedLibraryCount(), 1);  // a live control keeps it
    EXPECT_EQ(control->Release(), 0u);
    CoFreeUnusedLibraries();
    EXPECT_EQ(CoLoadedLibraryCount(), 0);
}

TEST(TolvanModuleTest, ExportsOnlyTheFourEntryPoints) {
    const ProgramRun nm = RunProgram(std::string("nm -D --defined-only ") + TOLVAN_MODULE);
    if (nm.status == 127) {
        GTEST_SKIP() << "nm is not installed";
    }
    ASSERT_EQ(nm.status, 0) << nm.output;
    std::vector<std::string> names;
    std::istringstream lines(nm.output);
    std::string address;
    std::string kind;
    std::string name;
    while (lines >> address >> kind >> name) {
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                               "DllRegisterServer", "DllUnregisterServer"}));
}

}  // namespace
}  // namespace tolvan_test
