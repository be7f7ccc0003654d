// Tolvan.OCX as a Windows container meets it: loaded with LoadLibraryW, the control made by its
// class factory, its properties reached through IDispatch, and its type information read back
// from the type library the module carries.
#include <windows.h>

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "control/picture_resources.h"
#include "control/string_table.h"
#include "control/tolvan_ids.h"
#include "control/version_info.h"
#include "platform/text_conversion.h"
#include "tests/windows/tolvan/com_held.h"
#include "tests/windows/tolvan/ocx_module.h"

namespace {

using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

std::wstring TypeName(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
    BSTR name = nullptr;
    if (FAILED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr))) {
        return L"(no documentation)";
    }
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

struct TypeSummary {
    TYPEKIND kind;
    GUID guid;
    WORD funcs;
    WORD vars;
    WORD implTypes;
};

TypeSummary Summarise(ITypeInfo* info) {
    TYPEATTR* attr = nullptr;
    EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
    if (attr == nullptr) {
        return {TKIND_MAX, GUID{}, 0, 0, 0};
    }
    TypeSummary summary{attr->typekind, attr->guid, attr->cFuncs, attr->cVars, attr->cImplTypes};
    info->ReleaseTypeAttr(attr);
    return summary;
}

// String `id` of the string block of one language exactly, as the resource compiler wrote it
// (sixteen strings to a block, each its length and its units); "(missing)" when absent.
std::wstring BlockString(HMODULE module, UINT id, LANGID language) {
    HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (found == nullptr) {
        return L"(missing)";
    }
    const auto* units = static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
    const WCHAR* end = units + SizeofResource(module, found) / sizeof(WCHAR);
    for (UINT i = 0; i < id % 16 && units < end; ++i) {
        units += 1 + *units;
    }
    if (units >= end || units + 1 + *units > end) {
        return L"(missing)";
    }
    return std::wstring(units + 1, *units);
}

// The fixed part and one string of the module's version resource.
struct VersionSeen {
    DWORD fileMS = 0, fileLS = 0, productMS = 0, productLS = 0;
};

bool ReadVersion(HMODULE module, VersionSeen* seen, std::vector<BYTE>* copy) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (found == nullptr) {
        return false;
    }
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    copy->assign(bytes, bytes + SizeofResource(module, found));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(copy->data(), L"\\", reinterpret_cast<void**>(&fixed), &size) ||
        fixed == nullptr || fixed->dwSignature != VS_FFI_SIGNATURE) {
        return false;
    }
    *seen = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
             fixed->dwProductVersionLS};
    return true;
}

class TolvanOcxTest : public OcxModuleTest {
  protected:
    void SetUp() override {
        OcxModuleTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        canUnloadNow_ = Export<CanUnloadNowFn>("DllCanUnloadNow");
        ASSERT_NE(canUnloadNow_, nullptr);
    }

    // A new control through the class factory, as its IDispatch.
    void CreateControl(IDispatch** control) {
        Held<IClassFactory> factory;
        ASSERT_EQ(getClassObject_(tolvan::CLSID_Tolvan, IID_IClassFactory, factory.OutVoid()),
                  S_OK);
        ASSERT_EQ(
            factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(control)),
            S_OK);
        ASSERT_NE(*control, nullptr);
    }

    static DISPID IdOf(IDispatch* control, const wchar_t* name, HRESULT* result) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        *result = control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        return id;
    }

    static HRESULT GetProperty(IDispatch* control, DISPID id, VARIANT* value) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        return control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               value, nullptr, nullptr);
    }

    static HRESULT PutLong(IDispatch* control, DISPID id, LONG value) {
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_I4;
        arg.lVal = value;
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&arg, &named, 1, 1};
        EXCEPINFO exception{};
        const HRESULT hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                           &params, nullptr, &exception, nullptr);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return hr;
    }

    CanUnloadNowFn canUnloadNow_ = nullptr;
};

TEST_F(TolvanOcxTest, FactoryAnswersItsTwoClassesAndNoOther) {
    struct Case {
        const char* what;
        CLSID clsid;
        HRESULT expected;
    };
    const Case cases[] = {
        {"the control", tolvan::CLSID_Tolvan, S_OK},
        {"the property page", tolvan::CLSID_TolvanPropPage, S_OK},
        {"the type library's id", tolvan::kLibId, CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const Case& c : cases) {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(getClassObject_(c.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  c.expected)
            << c.what;
        EXPECT_EQ(factory != nullptr, c.expected == S_OK) << c.what;
        if (factory != nullptr) {
            factory->Release();
        }
    }
}

TEST_F(TolvanOcxTest, PropertiesAnswerThroughIDispatch) {
    Held<IDispatch> control;
    ASSERT_NO_FATAL_FAILURE(CreateControl(control.Out()));

    HRESULT hr = E_FAIL;
    const DISPID id = IdOf(control.p, L"id", &hr);  // names match without regard to case
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(id, tolvan::dispidID);

    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(GetProperty(control.p, id, &value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, -1);  // no pump yet

    const DISPID number = IdOf(control.p, L"Number", &hr);
    ASSERT_EQ(hr, S_OK);
    EXPECT_NE(PutLong(control.p, number, 5), S_OK) << "Number is read-only";

    const DISPID name = IdOf(control.p, L"Name", &hr);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(GetProperty(control.p, name, &value), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    VariantClear(&value);

    IdOf(control.p, L"NoSuchMember", &hr);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(GetProperty(control.p, 0x7FFF, &value), DISP_E_MEMBERNOTFOUND);
}

TEST_F(TolvanOcxTest, TypeInfoIsTheEmbeddedLibrarysAndAgreesWithTheTables) {
    Held<IDispatch> control;
    ASSERT_NO_FATAL_FAILURE(CreateControl(control.Out()));

    UINT count = 0;
    ASSERT_EQ(control->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    Held<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out()), S_OK);
    EXPECT_EQ(TypeName(info.p), L"_DTolvan");
    const TypeSummary summary = Summarise(info.p);
    EXPECT_EQ(summary.kind, TKIND_DISPATCH);
    EXPECT_TRUE(IsEqualGUID(summary.guid, tolvan::IID_DTolvan));

    // Every member the library declares has the DISPID under which Invoke finds it.
    std::vector<MEMBERID> members;
    for (UINT i = 0; i < summary.vars; ++i) {
        VARDESC* var = nullptr;
        ASSERT_EQ(info->GetVarDesc(i, &var), S_OK);
        members.push_back(var->memid);
        info->ReleaseVarDesc(var);
    }
    for (UINT i = 0; i < summary.funcs; ++i) {
        FUNCDESC* func = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &func), S_OK);
        members.push_back(func->memid);
        info->ReleaseFuncDesc(func);
    }
    ASSERT_GT(members.size(), 20u);
    for (MEMBERID member : members) {
        const std::wstring name = TypeName(info.p, member);
        HRESULT hr = E_FAIL;
        EXPECT_EQ(IdOf(control.p, name.c_str(), &hr), member)
            << std::string(name.begin(), name.end());
        EXPECT_EQ(hr, S_OK);
    }

    ITypeInfo* none = nullptr;
    EXPECT_EQ(control->GetTypeInfo(1, LOCALE_USER_DEFAULT, &none), DISP_E_BADINDEX);
    EXPECT_EQ(none, nullptr);
}

TEST_F(TolvanOcxTest, ClassInfoIsTheCoclassWithItsEventsAsDefaultSource) {
    Held<IDispatch> control;
    ASSERT_NO_FATAL_FAILURE(CreateControl(control.Out()));
    Held<IProvideClassInfo> provider;
    ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo, provider.OutVoid()), S_OK);
    Held<ITypeInfo> coclass;
    ASSERT_EQ(provider->GetClassInfo(coclass.Out()), S_OK);
    EXPECT_EQ(TypeName(coclass.p), L"Tolvan");
    const TypeSummary summary = Summarise(coclass.p);
    EXPECT_EQ(summary.kind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(summary.guid, tolvan::CLSID_Tolvan));
    ASSERT_EQ(summary.implTypes, 2);

    struct Expected {
        INT flags;
        const wchar_t* name;
        IID iid;
    };
    const Expected expected[] = {
        {IMPLTYPEFLAG_FDEFAULT, L"_DTolvan", tolvan::IID_DTolvan},
        {IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, L"_DTolvanEvents",
         tolvan::IID_DTolvanEvents},
    };
    for (UINT i = 0; i < summary.implTypes; ++i) {
        INT flags = 0;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
        HREFTYPE ref = 0;
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
        Held<ITypeInfo> iface;
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, iface.Out()), S_OK);
        EXPECT_EQ(flags, expected[i].flags) << i;
        EXPECT_EQ(TypeName(iface.p), expected[i].name) << i;
        EXPECT_TRUE(IsEqualGUID(Summarise(iface.p).guid, expected[i].iid)) << i;
    }
}

// The module carries, as its real resources, what the tables that the Linux module serves say.
TEST_F(TolvanOcxTest, ResourcesAreTheModulesOwnAndEqualTheTables) {
    struct Language {
        LCID lcid;
        LANGID langid;
    };
    const Language languages[] = {
        {tolvan::kLcidEnglishNewZealand, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_NZ)},
        {tolvan::kLcidPortugueseBrazil, MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)},
    };
    for (const Language& language : languages) {
        for (const tolvan::StringResource& entry : tolvan::StringTableFor(language.lcid)) {
            EXPECT_EQ(BlockString(module_, entry.id, language.langid), Utf8ToUtf16(entry.text))
                << "string " << entry.id << " of language " << language.lcid;
        }
    }

    for (const tolvan::PictureResource& picture : tolvan::PictureResources()) {
        if (picture.icon) {
            EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(picture.id), RT_GROUP_ICON), nullptr)
                << picture.file;
            continue;
        }
        HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCEW(picture.id));
        ASSERT_NE(bitmap, nullptr) << picture.file;
        BITMAP info{};
        EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_GT(info.bmWidth, 0) << picture.file;
        EXPECT_GT(info.bmHeight, 0) << picture.file;
        DeleteObject(bitmap);
    }

    for (UINT dialog : {200u, 220u}) {
        EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(dialog), RT_DIALOG), nullptr) << dialog;
    }
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);

    VersionSeen seen;
    std::vector<BYTE> copy;
    ASSERT_TRUE(ReadVersion(module_, &seen, &copy));
    const WORD* file = tolvan::kVersionInfo.fileVersion;
    const WORD* product = tolvan::kVersionInfo.productVersion;
    EXPECT_EQ(seen.fileMS, MAKELONG(file[1], file[0]));
    EXPECT_EQ(seen.fileLS, MAKELONG(file[3], file[2]));
    EXPECT_EQ(seen.productMS, MAKELONG(product[1], product[0]));
    EXPECT_EQ(seen.productLS, MAKELONG(product[3], product[2]));
    for (const tolvan::VersionString& entry : tolvan::kVersionInfo.strings) {
        const std::wstring path = L"\\StringFileInfo\\" + Utf8ToUtf16(tolvan::kVersionInfo.block) +
                                  L"\\" + Utf8ToUtf16(entry.key);
        WCHAR* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            << entry.key;
        EXPECT_EQ(std::wstring(value), Utf8ToUtf16(entry.value)) << entry.key;
    }
}

// The page's dialog is a DIALOG statement, which windres writes in the classic form.
// The control reads each string from the table of the user's language, found by that language:
// English (New Zealand) for every user who is not Portuguese.
TEST_F(TolvanOcxTest, StringsComeFromTheTableOfTheUsersLanguage) {
    const LANGID table = tolvan::StringTableLanguage(GetUserDefaultLCID());
    for (const UINT id : {tolvan::IDS_VOLUME, tolvan::IDS_VALUE, tolvan::IDS_CANCEL,
                          tolvan::IDS_TOLVAN_PPG_CAPTION}) {
        SCOPED_TRACE(id);
        WideString text;
        ASSERT_TRUE(tolvan::ModuleString(module_, id, &text));
        EXPECT_EQ(std::wstring(text.begin(), text.end()), BlockString(module_, id, table));
    }
    WideString untouched = WSTR("sentinel");
    EXPECT_FALSE(tolvan::ModuleString(module_, 9999, &untouched));
    EXPECT_FALSE(tolvan::ModuleString(nullptr, tolvan::IDS_CANCEL, &untouched));
    EXPECT_EQ(untouched, WideString(WSTR("sentinel")));
}

// Why the control does not use LoadStringW: for an English user outside New Zealand the
// resource loader finds neither the user's language, English of no country nor US English,
// and takes the first table by language identifier, the Portuguese one (1046 before 5129).
TEST_F(TolvanOcxTest, LoadStringGivesAnEnglishUserOutsideNewZealandThePortugueseTable) {
    const LCID user = GetUserDefaultLCID();
    if (PRIMARYLANGID(LANGIDFROMLCID(user)) != LANG_ENGLISH ||
        user == tolvan::kLcidEnglishNewZealand) {
        GTEST_SKIP() << "the user's locale " << user << " is not English outside New Zealand";
    }
    const WCHAR* text = nullptr;
    const int length = LoadStringW(module_, tolvan::IDS_CANCEL, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::wstring(text, static_cast<std::size_t>(length)), L"Cancelar");
    WideString chosen;
    ASSERT_TRUE(tolvan::ModuleString(module_, tolvan::IDS_CANCEL, &chosen));
    EXPECT_EQ(std::wstring(chosen.begin(), chosen.end()), L"Cancel");
}

TEST_F(TolvanOcxTest, PropertyPageShowsItsDialogInAFrame) {
    Held<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(tolvan::CLSID_TolvanPropPage, IID_IClassFactory, factory.OutVoid()),
              S_OK);
    Held<IPropertyPage> page;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, page.OutVoid()), S_OK);

    PROPPAGEINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    ASSERT_NE(info.pszTitle, nullptr);
    EXPECT_FALSE(std::wstring(info.pszTitle).empty());
    CoTaskMemFree(info.pszTitle);
    EXPECT_GT(info.size.cx, 0);
    EXPECT_GT(info.size.cy, 0);

    // The frame a property frame would give the page (the prefix's display is Wine's null one).
    HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    const RECT place{10, 20, 10 + info.size.cx, 20 + info.size.cy};
    EXPECT_EQ(page->Activate(frame, &place, FALSE), S_OK);
    HWND dialog = GetWindow(frame, GW_CHILD);
    ASSERT_NE(dialog, nullptr);
    RECT shown{};
    GetWindowRect(dialog, &shown);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.left, place.left);
    EXPECT_EQ(shown.top, place.top);
    // The page's size is given in pixels, as a frame sizes its place by it.
    EXPECT_EQ(shown.right - shown.left, info.size.cx);
    EXPECT_EQ(shown.bottom - shown.top, info.size.cy);
    // The template's one static text is the dialog's item.
    HWND item = GetWindow(dialog, GW_CHILD);
    ASSERT_NE(item, nullptr);
    WCHAR text[64] = {};
    GetWindowTextW(item, text, 64);
    EXPECT_EQ(std::wstring(text), L"No property pages available.");
    // The frame hides, shows and moves the active page (the frame itself is hidden: the page's
    // own style tells).
    const auto shownStyle = [dialog] {
        return (GetWindowLongPtrW(dialog, GWL_STYLE) & WS_VISIBLE) != 0;
    };
    EXPECT_TRUE(shownStyle());
    EXPECT_EQ(page->Show(SW_HIDE), S_OK);
    EXPECT_FALSE(shownStyle());
    EXPECT_EQ(page->Show(SW_SHOW), S_OK);
    EXPECT_TRUE(shownStyle());
    const RECT moved{30, 40, 30 + info.size.cx, 40 + info.size.cy};
    EXPECT_EQ(page->Move(&moved), S_OK);
    GetWindowRect(dialog, &shown);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.left, moved.left);
    EXPECT_EQ(shown.top, moved.top);
    EXPECT_EQ(page->Move(nullptr), E_POINTER);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED) << "no page is active";
    EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);
    DestroyWindow(frame);
}

// Active in place in a frame, the control draws its face through gdi32 into a device context of
// the container's: within the bounds given, in more than a background colour, and nowhere else.
TEST_F(TolvanOcxTest, DrawsItsFaceThroughIViewObjectWithinTheBounds) {
    Held<IDispatch> control;
    ASSERT_NO_FATAL_FAILURE(CreateControl(control.Out()));
    Held<IOleObject> object;
    ASSERT_EQ(control->QueryInterface(IID_IOleObject, object.OutVoid()), S_OK);
    HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 300, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    RECT position{0, 0, 80, 80};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, frame, &position),
              S_OK);
    Held<IOleInPlaceObject> inPlace;
    ASSERT_EQ(control->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid()), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), frame);
    EXPECT_TRUE(IsWindowVisible(window));

    constexpr int kSide = 120;
    constexpr COLORREF kUntouched = RGB(1, 2, 3);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(surface, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, surface);
    HBRUSH sentinel = CreateSolidBrush(kUntouched);
    const RECT all{0, 0, kSide, kSide};
    FillRect(dc, &all, sentinel);
    DeleteObject(sentinel);

    Held<IViewObject> view;
    ASSERT_EQ(control->QueryInterface(IID_IViewObject, view.OutVoid()), S_OK);
    const RECTL bounds{20, 20, 100, 100};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    const DWORD untouched = 0x00010203;  // the sentinel in the DIB's BGRX order
    int drawnInside = 0;
    int drawnOutside = 0;
    std::set<DWORD> colours;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const DWORD pixel = pixels[y * kSide + x] & 0x00FFFFFF;
            const bool inside =
                x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
            if (pixel != untouched) {
                ++(inside ? drawnInside : drawnOutside);
            }
            if (inside) {
                colours.insert(pixel);
            }
        }
    }
    EXPECT_EQ(drawnOutside, 0);
    EXPECT_EQ(drawnInside, 80 * 80) << "the face covers its bounds";
    EXPECT_GE(colours.size(), 3u) << "a background and pictures";

    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(surface);
    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(window));
    object->Close(OLECLOSE_NOSAVE);
    DestroyWindow(frame);
}

TEST_F(TolvanOcxTest, ModuleMayUnloadOnceItsObjectsAreGone) {
    {
        Held<IDispatch> control;
        ASSERT_NO_FATAL_FAILURE(CreateControl(control.Out()));
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
    }
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

}  // namespace
