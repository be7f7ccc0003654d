// Module resources as a container meets them: TestCtl.OCX loaded as a module, its compiled
// bitmap, dialog and string tables found by its instance handle, and the program's own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/afx/afx_resources.h"
#include "platform/afx/module_state.h"
#include "platform/dialog_template.h"
#include "platform/last_error.h"
#include "tests/platform/gdi/gdi_test_support.h"

using gdi_test::Obj;
using gdi_test::SurfaceDC;

namespace {

class ModuleResources : public ::testing::Test {
  protected:
    void SetUp() override {
        handle_ = dlopen(TEST_CONTROL_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        module_ = ModuleFromAddress(dlsym(handle_, "DllGetClassObject"));
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        setenv("LANG", "C", 1);
        if (handle_ != nullptr)
            dlclose(handle_);
    }
    std::u16string String(UINT id) {
        WCHAR buffer[64];
        const int n = LoadStringW(module_, id, buffer, 64);
        return std::u16string(buffer, static_cast<std::size_t>(n));
    }
    void* handle_ = nullptr;
    HMODULE module_ = nullptr;
};

TEST_F(ModuleResources, StringsFollowTheUsersLanguage) {
    setenv("LC_ALL", "", 1);
    setenv("LANG", "en_NZ.UTF-8", 1);
    EXPECT_EQ(String(102), u"Pump");
    EXPECT_EQ(String(103), u"Deliveries of \"%s\"");
    setenv("LANG", "pt_BR.UTF-8", 1);
    EXPECT_EQ(String(102), u"Bomba");
    setenv("LANG", "de_DE", 1);
    EXPECT_EQ(String(102), u"Pump");
}

TEST_F(ModuleResources, LoadStringTruncatesReportsMissingAndLendsAPointer) {
    WCHAR buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(LoadStringW(module_, 103, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Del");
    EXPECT_EQ(LoadStringW(module_, 104, buffer, 4), 0);  // same block, no such string
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(module_, 5000, buffer, 4), 0);  // no such block
    const WCHAR* lent = nullptr;
    EXPECT_EQ(LoadStringW(module_, 102, reinterpret_cast<LPWSTR>(&lent), 0), 4);
    ASSERT_NE(lent, nullptr);
    EXPECT_EQ(std::u16string(lent, 4), u"Pump");
}

TEST_F(ModuleResources, FindLoadLockAndSize) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(100), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    // The 8 by 6 4-bit bitmap: 40 header bytes, 16 colours, 6 rows of 4 bytes.
    EXPECT_EQ(SizeofResource(module_, found), 40u + 64u + 24u);
    const auto* bytes =
        static_cast<const unsigned char*>(LockResource(LoadResource(module_, found)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0], 40);
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(100), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), 1814u);  // ERROR_RESOURCE_NAME_NOT_FOUND
    EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(100), RT_ICON), nullptr);
    EXPECT_EQ(GetLastError(), 1813u);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    // A handle of another module is not this module's resource.
    EXPECT_EQ(SizeofResource(nullptr, found), 0u);
    EXPECT_EQ(LoadResource(nullptr, found), nullptr);
    EXPECT_NE(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(7), 0x0416), nullptr);
    EXPECT_EQ(FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(7), 0x0409), nullptr);
}

TEST_F(ModuleResources, LoadBitmapGivesThePalettesExactColoursAndDrawsWithoutTheKey) {
    HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCEW(100));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectW(Obj(bitmap), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 6);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, Obj(bitmap));
    SurfaceDC target(8, 6, 0xFFFFFF);
    StartDrawingLog(target.dc());
    ASSERT_TRUE(TransparentBlt(target.dc(), 0, 0, 8, 6, memory, 0, 0, 8, 6, RGB(128, 0, 128)));
    EXPECT_EQ(target.Picture({{0xFFFFFF, '.'}, {0x008000, 'g'}, {0xC00000, 'r'}}),
              (std::vector<std::string>{"........",  //
                                        ".gggggg.",  //
                                        ".ggrggg.",  //
                                        ".gggggg.",  //
                                        ".g....g.",  //
                                        "........"}));
    const std::vector<DrawingRecord> log = TakeDrawingLog(target.dc());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].bitmapId, 100u);
    SelectObject(memory, old);
    DeleteDC(memory);
    EXPECT_TRUE(DeleteObject(Obj(bitmap)));
    EXPECT_EQ(LoadBitmapW(module_, MAKEINTRESOURCEW(999)), nullptr);
}

TEST_F(ModuleResources, TheDialogTemplateReadsBackAsTheScriptWroteIt) {
    HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(101), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    platform::DialogTemplate dialog;
    std::string error;
    ASSERT_TRUE(platform::ReadDialogTemplate(
        static_cast<const unsigned char*>(LockResource(LoadResource(module_, found))),
        SizeofResource(module_, found), &dialog, &error))
        << error;
    EXPECT_EQ(dialog.style, 0x80C00040u);  // WS_POPUP | WS_CAPTION | DS_SETFONT
    EXPECT_EQ(dialog.cx, 120);
    EXPECT_EQ(dialog.cy, 60);
    EXPECT_EQ(dialog.title, u"Test dialog");
    EXPECT_TRUE(dialog.hasFont);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 400);
    EXPECT_EQ(dialog.face, u"MS Shell Dlg");
    ASSERT_EQ(dialog.items.size(), 4u);
    const platform::DialogItemTemplate& label = dialog.items[0];
    EXPECT_EQ(label.windowClass.ordinal, 0x82);
    EXPECT_EQ(label.title.text, u"Pump &number:");
    EXPECT_EQ(label.id, 0xFFFFFFFFu);
    EXPECT_EQ(label.style, 0x50020000u);  // WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
    const platform::DialogItemTemplate& list = dialog.items[1];
    EXPECT_EQ(list.windowClass.ordinal, 0x83);
    EXPECT_EQ(list.id, 1001u);
    // LBS_NOTIFY by default, the owner-draw and keyboard styles added, the border removed.
    EXPECT_EQ(list.style, 0x50000000u | 0x1u | 0x10u | 0x400u);
    EXPECT_EQ(dialog.items[2].id, 1u);              // IDOK
    EXPECT_EQ(dialog.items[2].style, 0x50010001u);  // BS_DEFPUSHBUTTON | WS_TABSTOP
    const platform::DialogItemTemplate& custom = dialog.items[3];
    EXPECT_EQ(custom.windowClass.ordinal, 0x80);
    EXPECT_EQ(custom.style, 0x5001000Bu);  // BS_OWNERDRAW | WS_TABSTOP
    EXPECT_EQ(custom.exStyle, 0x200u);
    EXPECT_EQ(custom.x, 63);
    EXPECT_EQ(custom.cy, 14);
}

TEST_F(ModuleResources, AfxFindResourceHandleLooksInTheCurrentModuleFirst) {
    AFX_MODULE_STATE state;
    state.m_hCurrentInstanceHandle = module_;
    AFX_MAINTAIN_STATE2 current(&state);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(100), RT_BITMAP), module_);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(55), RT_BITMAP), module_);  // nowhere
}

TEST(ProgramResources, AProgramWithoutResourcesHasNone) {
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(100), RT_BITMAP), nullptr);
    WCHAR buffer[8];
    EXPECT_EQ(LoadStringW(nullptr, 1, buffer, 8), 0);
}

}  // namespace
