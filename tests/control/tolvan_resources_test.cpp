// Tolvan's resources: the type library source and the resource script in control/res/ agree
// with the tables the module is built from (both are rendered from the tables and compared
// byte for byte), the dispatch map agrees with _DTolvan, the string table follows the user's
// language, and the property page's dialog and version information hold their texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "control/picture_resources.h"
#include "control/string_table.h"
#include "control/tolvan_ctrl.h"
#include "control/tolvan_ids.h"
#include "control/tolvan_prop_page.h"
#include "control/tolvan_type_library.h"
#include "control/version_info.h"

namespace {

using namespace tolvan;

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The type as the type library source writes it.
std::string OdlType(VARTYPE vt) {
    std::string base;
    switch (vt & ~VT_BYREF) {
        case VT_I2:
            base = "short";
            break;
        case VT_I4:
            base = "long";
            break;
        case VT_R8:
            base = "double";
            break;
        case VT_DATE:
            base = "DATE";
            break;
        case VT_BSTR:
            base = "BSTR";
            break;
        case VT_DISPATCH:
            base = "IDispatch*";
            break;
        case VT_VOID:
            base = "void";
            break;
        default:
            base = "?";
    }
    return (vt & VT_BYREF) != 0 ? base + "*" : base;
}

std::string OdlId(DISPID id) {
    return id == DISPID_ABOUTBOX ? "DISPID_ABOUTBOX" : std::to_string(id);
}

std::string OdlMethod(const MemberInfo& m) {
    std::string line = "\t\t\t[id(" + OdlId(m.dispid) + ")";
    if (m.helpString != nullptr) {
        line += ", helpstring(\"" + std::string(m.helpString) + "\")";
    }
    line += "] " + OdlType(m.vt) + " " + m.name + "(";
    for (std::size_t i = 0; i < m.params.size(); ++i) {
        const ParamInfo& p = m.params[i];
        line += i > 0 ? ", " : "";
        line += (p.flags & PARAMFLAG_FOUT) != 0 ? "[out] " : "";
        line += OdlType(p.vt) + " " + p.name;
    }
    return line + ");\n";
}

std::string OdlInterface(const DispInterfaceInfo& iface, const char* comment) {
    std::string text = "\t// " + std::string(comment) + "\n\t[ uuid(" +
                       GuidToString(iface.iid).substr(1, 36) + "),\n\t  helpstring(\"" +
                       iface.helpString + "\") ]\n\tdispinterface " + iface.name +
                       "\n\t{\n\t\tproperties:\n";
    for (const MemberInfo& m : iface.members) {
        if (m.kind == MemberKind::Property) {
            text += "\t\t\t[id(" + OdlId(m.dispid) + ")" + (m.readOnly ? ", readonly" : "") +
                    " PROPERTY_HELP(\"" + m.helpString + "\")] " + OdlType(m.vt) + " " + m.name +
                    ";\n";
        }
    }
    text += "\n\t\tmethods:\n";
    for (const MemberInfo& m : iface.members) {
        if (m.kind == MemberKind::Method) {
            text += OdlMethod(m);
        }
    }
    return text + "\t};\n\n";
}

// What the source declares for widl alone, and the help string of a property, which widl refuses.
constexpr char kOdlCompilerTypes[] =
    "// widl, which compiles this library for the Windows build, has no automation types of its "
    "own\n// and refuses a help string on a dispatch property (its libraries keep none); MIDL "
    "has both.\n#ifdef __WIDL__\ntypedef unsigned short* BSTR;\ntypedef double DATE;\n"
    "interface IDispatch;\n#define PROPERTY_HELP(text)\n#else\n"
    "#define PROPERTY_HELP(text) , helpstring(text)\n#endif\n\n";

// The type library source as the tables describe it.
std::string RenderOdl(const TypeLibInfo& lib) {
    const CoClassInfo& coclass = *lib.coclasses[0];
    std::ostringstream text;
    text << "// Type library source of Tolvan.OCX: TolvanLib with the dispatch interface "
            "_DTolvan,\n// the event interface _DTolvanEvents and the coclass Tolvan. The "
            "module carries the\n// same library as tables (control/tolvan_type_library.cpp); "
            "a test keeps the two equal.\n\n#include <olectl.h>\n#include <idispids.h>\n\n"
         << kOdlCompilerTypes << "[ uuid(" << GuidToString(lib.libid).substr(1, 36) << "), version("
         << lib.majorVersion << "." << lib.minorVersion << "),\n  helpfile(\"" << lib.helpFile
         << "\"),\n  helpstring(\"" << lib.helpString << "\"),\n  control ]\nlibrary " << lib.name
         << "\n{\n\timportlib(STDOLE_TLB);\n\n"
         << OdlInterface(*lib.interfaces[0], "Primary dispatch interface for CTolvanCtrl")
         << OdlInterface(*lib.interfaces[1], "Event dispatch interface for CTolvanCtrl")
         << "\t// Class information for CTolvanCtrl\n\t[ uuid("
         << GuidToString(coclass.clsid).substr(1, 36) << "),\n\t  helpstring(\""
         << coclass.helpString << "\"), control ]\n\tcoclass " << coclass.name
         << "\n\t{\n\t\t[default] dispinterface " << coclass.defaultInterface->name
         << ";\n\t\t[default, source] dispinterface " << coclass.defaultSource->name
         << ";\n\t};\n};\n";
    return text.str();
}

std::string RcString(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c != 0; ++c) {
        out += *c == '"' ? "\"\"" : std::string(1, *c);
    }
    return out + "\"";
}

std::string RenderStringTable(LCID lcid, const char* language) {
    std::string text = "LANGUAGE " + std::string(language) + "\n\nSTRINGTABLE\nBEGIN\n";
    for (const StringResource& entry : StringTableFor(lcid)) {
        text += "    " + std::to_string(entry.id) + " " + RcString(entry.text) + "\n";
    }
    return text + "END\n";
}

std::string Version(const WORD (&v)[4], const char* separator) {
    return std::to_string(v[0]) + separator + std::to_string(v[1]) + separator +
           std::to_string(v[2]) + separator + std::to_string(v[3]);
}

std::string RenderPictures() {
    std::string text =
        "// Pictures, built from their pixel maps in control/res/art/ by tolvan-art.\n";
    for (const PictureResource& p : PictureResources()) {
        text += std::to_string(p.id) + (p.icon ? " ICON " : " BITMAP ") + RcString(p.file) + "\n";
    }
    return text + "\n";
}

// The resource script as the tables describe it.
// The popup's dialog has no table in the module: the script alone holds it, as written here.
const char kPopupDialogScript[] =
    "// The delivery popup: a frame picture, four picture buttons, the delivery list and three\n"
    "// headers. The buttons and the list are placed in pixels when the popup starts.\n"
    "220 DIALOGEX 0, 0, 187, 163\n"
    "STYLE DS_SETFONT | DS_SHELLFONT | DS_CONTROL | WS_POPUP\n"
    "FONT 8, \"MS Shell Dlg\", 400, 0, 1\n"
    "BEGIN\n"
    "    CONTROL 221, 207, \"Static\", SS_BITMAP | WS_VISIBLE, 0, 0, 191, 163\n"
    "    CONTROL \"*Stop\", 202, \"Button\", BS_OWNERDRAW | NOT WS_VISIBLE, 6, 128, 40, 30\n"
    "    CONTROL \"*Authorise\", 203, \"Button\", BS_OWNERDRAW | NOT WS_VISIBLE, 51, 128, 40, 30\n"
    "    CONTROL \"*Stack\", 204, \"Button\", BS_OWNERDRAW | NOT WS_VISIBLE, 96, 128, 40, 30\n"
    "    CONTROL \"*Cancel\", 208, \"Button\", BS_OWNERDRAW | NOT WS_VISIBLE, 142, 128, 40, 30\n"
    "    CONTROL \"\", 201, \"ListBox\", NOT WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | "
    "LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | LBS_DISABLENOSCROLL, "
    "6, 18, 175, 106\n"
    "    CONTROL \"\", 209, \"Static\", SS_CENTER | SS_CENTERIMAGE | WS_VISIBLE | WS_GROUP | "
    "WS_BORDER, 4, 3, 80, 11, WS_EX_CLIENTEDGE\n"
    "    CONTROL \"*Volume\", 210, \"Static\", SS_RIGHT | SS_CENTERIMAGE | WS_VISIBLE | WS_GROUP | "
    "WS_BORDER, 84, 3, 41, 11, WS_EX_CLIENTEDGE\n"
    "    CONTROL \"*Value\", 211, \"Static\", SS_RIGHT | SS_CENTERIMAGE | WS_VISIBLE | WS_GROUP | "
    "WS_BORDER, 125, 3, 44, 11, WS_EX_CLIENTEDGE\n"
    "END\n"
    "\n";

std::string RenderRc() {
    std::ostringstream text;
    text << "// Resource script of Tolvan.OCX: the type library, the property page's dialog, "
            "the version\n// information and the string tables in English (New Zealand) and "
            "Portuguese (Brazil). The\n// module carries the same resources as tables "
            "(control/string_table.cpp,\n// control/tolvan_prop_page.cpp, "
            "control/version_info.cpp); a test keeps them equal.\n\n"
         << "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_NZ\n\n1 TYPELIB \"tolvan.tlb\"\n\n"
         << RenderPictures();
    const DialogResource& dialog = kPropPageDialog;
    text << dialog.id << " DIALOG 0, 0, " << dialog.cx << ", " << dialog.cy << "\nSTYLE "
         << dialog.style << "\nFONT " << dialog.fontPoints << ", " << RcString(dialog.fontName)
         << "\nBEGIN\n";
    for (const DialogItem& item : dialog.items) {
        text << "    " << item.kind << " " << RcString(item.text) << ", " << item.id << ", "
             << item.x << ", " << item.y << ", " << item.cx << ", " << item.cy << "\n";
    }
    const VersionInfo& v = kVersionInfo;
    text << "END\n\n"
         << kPopupDialogScript << "VS_VERSION_INFO VERSIONINFO\n FILEVERSION "
         << Version(v.fileVersion, ",") << "\n PRODUCTVERSION " << Version(v.productVersion, ",")
         << "\n FILEFLAGSMASK 0x3fL\n FILEFLAGS 0x0L\n FILEOS VOS__WINDOWS32\n FILETYPE "
            "VFT_DLL\n FILESUBTYPE VFT2_UNKNOWN\nBEGIN\n    BLOCK \"StringFileInfo\"\n    "
            "BEGIN\n        BLOCK \""
         << v.block << "\"\n        BEGIN\n";
    for (const VersionString& entry : v.strings) {
        text << "            VALUE " << RcString(entry.key) << ", " << RcString(entry.value)
             << "\n";
    }
    char translation[32];
    std::snprintf(translation, sizeof translation, "0x%x, %u", v.translationLanguage,
                  v.translationCodePage);
    text << "        END\n    END\n    BLOCK \"VarFileInfo\"\n    BEGIN\n        VALUE "
            "\"Translation\", "
         << translation << "\n    END\nEND\n\n"
         << RenderStringTable(kLcidEnglishNewZealand, "LANG_ENGLISH, SUBLANG_ENGLISH_NZ") << "\n"
         << RenderStringTable(kLcidPortugueseBrazil,
                              "LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN");
    return text.str();
}

// Compares a source file with its rendering; on a difference the rendering is left beside
// the build for whoever updates the source.
void ExpectSourceMatches(const std::string& file, const std::string& rendered) {
    const std::string path = std::string(TOLVAN_SOURCE_DIR) + "/res/" + file;
    const std::string kept = FileText(path);
    if (kept != rendered) {
        std::ofstream("rendered-" + file) << rendered;
    }
    EXPECT_EQ(kept, rendered) << path << " differs from the tables; their rendering is in "
                              << "rendered-" << file << " of the test's working directory";
}

TEST(TolvanResourcesTest, TypeLibrarySourceAgreesWithTheTables) {
    ExpectSourceMatches("tolvan.odl", RenderOdl(kTolvanLib));
}

TEST(TolvanResourcesTest, ResourceScriptAgreesWithTheTables) {
    ExpectSourceMatches("tolvan.rc", RenderRc());
}

TEST(TolvanResourcesTest, DispatchMapAgreesWithTheDispatchInterface) {
    auto* control = new CTolvanCtrl;
    EXPECT_EQ(AfxCheckDispatchMap(control->GetDispatchMap()), std::vector<std::string>{});
    EXPECT_EQ(control->ExternalRelease(), 0u);
}

TEST(TolvanResourcesTest, TheUsersLanguageChoosesTheStringTable) {
    struct Case {
        const char* lcAll;
        const char* lang;
        const char* caption;
    };
    constexpr Case kCases[] = {
        {"", "pt_BR.UTF-8", "Geral"},  {"", "pt_BR", "Geral"},   {"pt_BR", "en_NZ", "Geral"},
        {"en_NZ", "pt_BR", "General"}, {"", "en_NZ", "General"}, {"", "C", "General"},
        {"", "de_DE", "General"},
    };
    for (const Case& c : kCases) {
        setenv("LC_ALL", c.lcAll, 1);
        setenv("LANG", c.lang, 1);
        const std::string where = std::string("LC_ALL=") + c.lcAll + " LANG=" + c.lang;
        const char* caption = LoadTolvanString(IDS_TOLVAN_PPG_CAPTION);
        ASSERT_NE(caption, nullptr) << where;
        EXPECT_STREQ(caption, c.caption) << where;
        EXPECT_STREQ(LoadTolvanString(IDS_TOLVAN), "Tolvan Control") << where;
        EXPECT_STREQ(LoadTolvanString(IDS_TOLVAN_PPG), "Tolvan Property Page") << where;
        EXPECT_STREQ(LoadTolvanString(IDS_VALUE),
                     std::string_view(c.caption) == "Geral" ? "Valor" : "Value")
            << where;
        EXPECT_EQ(LoadTolvanString(9), nullptr) << where;
    }
    setenv("LC_ALL", "", 1);
    setenv("LANG", "C", 1);
    // Portuguese of any country reads the Brazilian table (2070: Portugal).
    EXPECT_STREQ(StringTableFor(2070).back().text, "Geral");
    EXPECT_STREQ(StringTableFor(1046).back().text, "Geral");
    EXPECT_STREQ(StringTableFor(5129).back().text, "General");
    EXPECT_STREQ(StringTableFor(1033).back().text, "General");
}

TEST(TolvanResourcesTest, PropertyPageDialogAndVersionInformationHoldTheirTexts) {
    EXPECT_EQ(kPropPageDialog.id, 200u);
    EXPECT_EQ(kPropPageDialog.cx, 250);
    EXPECT_EQ(kPropPageDialog.cy, 62);
    ASSERT_EQ(kPropPageDialog.items.size(), 1u);
    EXPECT_STREQ(kPropPageDialog.items[0].text, "No property pages available.");
    EXPECT_EQ(kPropPageDialog.items[0].x, 74);
    EXPECT_EQ(kPropPageDialog.items[0].y, 24);
    EXPECT_EQ(kPropPageDialog.items[0].cx, 97);
    EXPECT_EQ(kPropPageDialog.items[0].cy, 16);

    EXPECT_STREQ(FindVersionString("FileDescription"), "Marovia pump OCX");
    EXPECT_STREQ(FindVersionString("FileVersion"), "1,2,1,0");
    EXPECT_STREQ(FindVersionString("InternalName"), "Tolvan.OCX");
    EXPECT_STREQ(FindVersionString("OriginalFilename"), "Tolvan.OCX");
    EXPECT_STREQ(FindVersionString("ProductName"), "Marovia");
    EXPECT_STREQ(FindVersionString("ProductVersion"), "2,1,0,9");
    EXPECT_EQ(FindVersionString("Comments"), nullptr);
    EXPECT_EQ(Version(kVersionInfo.fileVersion, "."), "1.2.1.0");
    EXPECT_EQ(Version(kVersionInfo.productVersion, "."), "2.1.0.9");
}

}  // namespace
