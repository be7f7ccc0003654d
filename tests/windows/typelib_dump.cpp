// Prints a type library file as text (tests/typelib/typelib_text.h): the library, then every
// type in index order with its functions, variables and implemented interfaces, all as
// oleaut32 reads them from the file. Built for Windows and run under Wine on the Tolvan.tlb
// that widl compiles from control/res/tolvan.odl.
// usage: typelib_dump FILE.tlb   (exit status 1, with a message, when a call fails)
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/typelib/typelib_text.h"

namespace {

namespace text = typelib_text;

// A failed call ends the dump: a partial library would only read as a wrong one.
void Check(HRESULT hr, const char* call) {
    if (FAILED(hr)) {
        std::fprintf(stderr, "typelib_dump: %s failed: 0x%08lx\n", call,
                     static_cast<unsigned long>(hr));
        std::exit(1);
    }
}

std::string Narrow(const OLECHAR* wide) {
    std::string out;
    for (; wide != nullptr && *wide != 0; ++wide) {
        out += *wide < 0x80 ? static_cast<char>(*wide) : '?';
    }
    return out;
}

// Takes the BSTR and frees it.
std::string Take(BSTR value) {
    std::string out = Narrow(value);
    SysFreeString(value);
    return out;
}

std::string GuidText(const GUID& g) {
    return text::Guid(g.Data1, g.Data2, g.Data3, g.Data4);
}

std::string RefTypeName(ITypeInfo* info, HREFTYPE ref) {
    ITypeInfo* target = nullptr;
    Check(info->GetRefTypeInfo(ref, &target), "GetRefTypeInfo");
    BSTR name = nullptr;
    Check(target->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr),
          "GetDocumentation of a referenced type");
    target->Release();
    return Take(name);
}

// A pointer adds "*"; a reference to another type is written "user:NAME", so that it never
// reads as the base type of the same name (VT_DISPATCH, "IDispatch*").
std::string TypeText(ITypeInfo* info, const TYPEDESC& desc) {
    switch (desc.vt) {
        case VT_PTR:
            return TypeText(info, *desc.lptdesc) + "*";
        case VT_USERDEFINED:
            return "user:" + RefTypeName(info, desc.hreftype);
        case VT_SAFEARRAY:
            return "SAFEARRAY(" + TypeText(info, *desc.lptdesc) + ")";
        default:
            return text::BaseTypeName(desc.vt);
    }
}

// The member's name and help string, by its id.
std::pair<std::string, std::string> Documentation(ITypeInfo* info, MEMBERID memid) {
    BSTR name = nullptr;
    BSTR help = nullptr;
    Check(info->GetDocumentation(memid, &name, &help, nullptr, nullptr), "GetDocumentation");
    return {Take(name), Take(help)};
}

std::string DumpFunction(ITypeInfo* info, UINT index) {
    FUNCDESC* func = nullptr;
    Check(info->GetFuncDesc(index, &func), "GetFuncDesc");
    const auto [name, help] = Documentation(info, func->memid);
    std::string out =
        text::FuncLine(index, func->memid, name, func->funckind, func->invkind,
                       TypeText(info, func->elemdescFunc.tdesc), func->wFuncFlags, func->cParams);
    out += text::HelpLine(4, help);
    std::vector<BSTR> names(func->cParams + 1);
    UINT count = 0;
    Check(info->GetNames(func->memid, names.data(), static_cast<UINT>(names.size()), &count),
          "GetNames");
    for (SHORT p = 0; p < func->cParams; ++p) {
        const ELEMDESC& param = func->lprgelemdescParam[p];
        const std::string paramName =
            static_cast<UINT>(p + 1) < count ? Narrow(names[p + 1]) : "(unnamed)";
        out +=
            text::ParamLine(p, paramName, TypeText(info, param.tdesc), param.paramdesc.wParamFlags);
    }
    for (UINT n = 0; n < count; ++n) {
        SysFreeString(names[n]);
    }
    info->ReleaseFuncDesc(func);
    return out;
}

std::string DumpVariable(ITypeInfo* info, UINT index) {
    VARDESC* var = nullptr;
    Check(info->GetVarDesc(index, &var), "GetVarDesc");
    const auto [name, help] = Documentation(info, var->memid);
    std::string out = text::VarLine(index, var->memid, name, var->varkind,
                                    TypeText(info, var->elemdescVar.tdesc), var->wVarFlags);
    out += text::HelpLine(4, help);
    info->ReleaseVarDesc(var);
    return out;
}

std::string DumpType(ITypeLib* lib, UINT index) {
    ITypeInfo* info = nullptr;
    Check(lib->GetTypeInfo(index, &info), "GetTypeInfo");
    TYPEATTR* attr = nullptr;
    Check(info->GetTypeAttr(&attr), "GetTypeAttr");
    BSTR name = nullptr;
    BSTR help = nullptr;
    Check(lib->GetDocumentation(static_cast<INT>(index), &name, &help, nullptr, nullptr),
          "ITypeLib::GetDocumentation");
    std::string out = text::TypeLine(index, attr->typekind, Take(name), GuidText(attr->guid),
                                     attr->wTypeFlags, attr->cFuncs, attr->cVars, attr->cImplTypes);
    out += text::HelpLine(2, Take(help));
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        HREFTYPE ref = 0;
        INT flags = 0;
        Check(info->GetRefTypeOfImplType(i, &ref), "GetRefTypeOfImplType");
        Check(info->GetImplTypeFlags(i, &flags), "GetImplTypeFlags");
        out += text::ImplTypeLine(i, RefTypeName(info, ref), static_cast<unsigned>(flags));
    }
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        out += DumpFunction(info, i);
    }
    for (UINT i = 0; i < attr->cVars; ++i) {
        out += DumpVariable(info, i);
    }
    info->ReleaseTypeAttr(attr);
    info->Release();
    return out;
}

std::string DumpLibrary(ITypeLib* lib) {
    TLIBATTR* attr = nullptr;
    Check(lib->GetLibAttr(&attr), "GetLibAttr");
    BSTR name = nullptr;
    BSTR help = nullptr;
    BSTR helpFile = nullptr;
    Check(lib->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, &helpFile),
          "GetDocumentation of the library");
    std::string out = text::LibraryLine(Take(name), GuidText(attr->guid), attr->wMajorVerNum,
                                        attr->wMinorVerNum, attr->lcid, attr->wLibFlags);
    out += text::HelpLine(2, Take(help));
    out += text::HelpFileLine(Take(helpFile));
    lib->ReleaseTLibAttr(attr);
    const UINT count = lib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        out += DumpType(lib, i);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: typelib_dump FILE.tlb\n");
        return 2;
    }
    // Line feeds only, as the Linux printer writes them.
    _setmode(_fileno(stdout), _O_BINARY);
    WCHAR relative[MAX_PATH];
    WCHAR path[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, argv[1], -1, relative, MAX_PATH) == 0 ||
        GetFullPathNameW(relative, MAX_PATH, path, nullptr) == 0) {
        std::fprintf(stderr, "typelib_dump: unusable file name %s\n", argv[1]);
        return 1;
    }
    ITypeLib* lib = nullptr;
    Check(LoadTypeLibEx(path, REGKIND_NONE, &lib), "LoadTypeLibEx");
    const std::string out = DumpLibrary(lib);
    lib->Release();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
