// The registry file: its text form, key and value rules, the path from the environment, and
// atomic locked edits that leave the file untouched when they fail.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/registry.h"
#include "tests/com/com_test_support.h"

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RegistryTest, FormatAndParseRoundTripWithEscapes) {
    RegistryDocument doc;
    ASSERT_TRUE(
        doc.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32", "", "/opt/a \"b\"\\c"));
    ASSERT_TRUE(doc.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32", "ThreadingModel",
                             "Apartment"));
    ASSERT_TRUE(doc.SetValue("HKEY_CLASSES_ROOT\\Note", "text", "two\nlines"));
    const std::string text = doc.Format();
    EXPECT_EQ(text,
              "; Forecourt registry\n"
              "\n[HKEY_CLASSES_ROOT]\n"
              "\n[HKEY_CLASSES_ROOT\\CLSID]\n"
              "\n[HKEY_CLASSES_ROOT\\CLSID\\{A}]\n"
              "\n[HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32]\n"
              "@=\"/opt/a \\\"b\\\"\\\\c\"\n"
              "\"ThreadingModel\"=\"Apartment\"\n"
              "\n[HKEY_CLASSES_ROOT\\Note]\n"
              "\"text\"=\"two\\nlines\"\n");
    RegistryDocument back;
    std::string error;
    ASSERT_TRUE(back.Parse(text, &error)) << error;
    EXPECT_EQ(back.Format(), text);
    EXPECT_EQ(back.GetValue("hkey_classes_root\\clsid\\{a}\\INPROCSERVER32", "threadingmodel"),
              "Apartment");
    EXPECT_EQ(back.GetValue("HKEY_CLASSES_ROOT\\Note", "text"), "two\nlines");
}

TEST(RegistryTest, MalformedTextIsRefusedWithItsLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"@=\"x\"\n", "line 1: a value before any key"},
        {"[A\n", "line 1: a key line must end with ]"},
        {"; c\n[A\\\\B]\n", "line 2: invalid key path"},
        {"[A]\nname=\"x\"\n", "line 2: a value name must be @ or a quoted string"},
        {"[A]\n\"n\" \"x\"\n", "line 2: expected = after the value name"},
        {"[A]\n@=\"x\" y\n", "line 2: a value's data must be one quoted string"},
        {"[A]\n@=\"\\q\"\n", "line 2: a value's data must be one quoted string"},
    };
    for (const Case& c : cases) {
        RegistryDocument doc;
        ASSERT_TRUE(doc.SetValue("Kept", "", "yes"));
        std::string error;
        EXPECT_FALSE(doc.Parse(c.text, &error)) << c.text;
        EXPECT_EQ(error, std::string("registry ") + c.error);
        EXPECT_EQ(doc.GetValue("Kept", ""), "yes");  // unchanged on failure
    }
}

TEST(RegistryTest, DeleteTreeTakesSubkeysButNotSiblingsWithTheSamePrefix) {
    RegistryDocument doc;
    doc.SetValue("R\\Lib", "", "1");
    doc.SetValue("R\\Lib\\1.0\\0\\win64", "", "path");
    doc.SetValue("R\\Lib2", "", "2");
    doc.SetValue("R\\Lib-x", "", "3");
    EXPECT_TRUE(doc.DeleteTree("r\\lib"));
    EXPECT_FALSE(doc.DeleteTree("R\\Lib"));
    EXPECT_EQ(doc.KeyPaths(), (std::vector<std::string>{"R", "R\\Lib-x", "R\\Lib2"}));
    EXPECT_EQ(doc.SubKeys("R"), (std::vector<std::string>{"Lib-x", "Lib2"}));
    EXPECT_FALSE(doc.SetValue("R\\\\Empty", "", "x"));
    EXPECT_FALSE(doc.SetValue("R\\Bad", "na\tme", "x"));
    EXPECT_FALSE(doc.CreateKey(""));
}

TEST(RegistryTest, PathComesFromTheEnvironment) {
    const char* saved[] = {getenv("FORECOURT_REGISTRY"), getenv("XDG_DATA_HOME"), getenv("HOME")};
    const std::string keep[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "",
                                saved[2] ? saved[2] : ""};
    setenv("FORECOURT_REGISTRY", "/tmp/x/reg", 1);
    EXPECT_EQ(RegistryFilePath(), "/tmp/x/reg");
    unsetenv("FORECOURT_REGISTRY");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(RegistryFilePath(), "/data/forecourt/registry");
    setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored, as the XDG rules say
    setenv("HOME", "/home/cashier", 1);
    EXPECT_EQ(RegistryFilePath(), "/home/cashier/.local/share/forecourt/registry");
    const char* names[] = {"FORECOURT_REGISTRY", "XDG_DATA_HOME", "HOME"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i] != nullptr) {
            setenv(names[i], keep[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

TEST(RegistryTest, EditsAreAtomicAndAFailedEditWritesNothing) {
    com_test::TempRegistry registry;
    std::string error;
    ASSERT_TRUE(EditRegistry(
        [](RegistryDocument& doc, std::string*) { return doc.SetValue("R\\A", "", "1"); }, &error))
        << error;
    const std::string first = FileText(registry.path());
    EXPECT_NE(first.find("[R\\A]\n@=\"1\""), std::string::npos);

    EXPECT_FALSE(EditRegistry(
        [](RegistryDocument& doc, std::string* why) {
            doc.SetValue("R\\B", "", "2");
            *why = "refused";
            return false;
        },
        &error));
    EXPECT_EQ(error, "refused");
    EXPECT_EQ(FileText(registry.path()), first);

    // A malformed file is reported, not overwritten.
    std::ofstream(registry.path()) << "[broken\n";
    EXPECT_FALSE(EditRegistry(
        [](RegistryDocument& doc, std::string*) { return doc.SetValue("R\\C", "", "3"); }, &error));
    EXPECT_NE(error.find("registry line 1"), std::string::npos);
    EXPECT_EQ(FileText(registry.path()), "[broken\n");

    // No temporary files are left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(registry.folder())) {
        files += entry.path().filename().string().starts_with("registry.") &&
                         entry.path().filename() != "registry.lock"
                     ? 1
                     : 0;
    }
    EXPECT_EQ(files, 0);
}

TEST(RegistryTest, GuidTextForms) {
    const GUID guid = MakeGuid("F9B424D4-51A1-40E0-8EB1-1B9097AF9811");
    EXPECT_EQ(GuidToString(guid), "{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}");
    OLECHAR wide[39];
    EXPECT_EQ(StringFromGUID2(guid, wide, 39), 39);
    EXPECT_EQ(StringFromGUID2(guid, wide, 38), 0);
    CLSID back{};
    EXPECT_EQ(CLSIDFromString(wide, &back), S_OK);
    EXPECT_EQ(back, guid);
    GUID parsed{};
    EXPECT_TRUE(GuidFromString("{f9b424d4-51a1-40e0-8eb1-1b9097af9811}", &parsed));
    EXPECT_EQ(parsed, guid);
    for (const char* bad :
         {"F9B424D4-51A1-40E0-8EB1-1B9097AF9811", "{F9B424D4-51A1-40E0-8EB1-1B9097AF981}",
          "{F9B424D451A1-40E0-8EB1-1B9097AF98111}", "{G9B424D4-51A1-40E0-8EB1-1B9097AF9811}"}) {
        EXPECT_FALSE(GuidFromString(bad, &parsed)) << bad;
    }
    const std::u16string progId = Utf8ToUtf16("TOLVAN.TolvanCtrl.1");
    EXPECT_EQ(CLSIDFromString(progId.c_str(), &back), CO_E_CLASSSTRING);
}

}  // namespace
