// Prints TolvanLib from the module's tables (control/tolvan_type_library.cpp) in the text form of
// tests/typelib/typelib_text.h, laid out as a type library compiled from control/res/tolvan.odl
// reads once loaded: dispatch properties as variables, methods and accessors as functions.
// The Windows test compares it with the library widl builds; tests/data/windows/
// tolvan_typelib.txt keeps the expected text.
#include <cstdio>
#include <string>

#include "control/tolvan_type_library.h"
#include "tests/typelib/typelib_text.h"

namespace {

namespace text = typelib_text;

// Set by oleaut32 on every library it loads from a file.
constexpr unsigned kLibFlagHasDiskImage = 0x8;
constexpr unsigned kTypeFlagDispatchable = 0x1000;
constexpr unsigned kImplTypeFlagDefault = 0x1;
constexpr unsigned kImplTypeFlagSource = 0x2;
constexpr unsigned kTypeKindDispatch = 4;
constexpr unsigned kTypeKindCoClass = 5;
constexpr unsigned kFuncKindDispatch = 4;
constexpr unsigned kVarKindDispatch = 3;
constexpr unsigned kVarFlagReadOnly = 0x1;

std::string GuidText(const GUID& g) {
    return text::Guid(g.Data1, g.Data2, g.Data3, g.Data4);
}

std::string TypeText(VARTYPE vt) {
    return (vt & VT_BYREF) != 0 ? TypeText(static_cast<VARTYPE>(vt & ~VT_BYREF)) + "*"
                                : text::BaseTypeName(vt);
}

std::string Help(int indent, const char* help) {
    return text::HelpLine(indent, help != nullptr ? help : "");
}

unsigned InvokeKind(MemberKind kind) {
    switch (kind) {
        case MemberKind::PropertyGet:
            return INVOKE_PROPERTYGET;
        case MemberKind::PropertyPut:
            return INVOKE_PROPERTYPUT;
        default:
            return INVOKE_FUNC;
    }
}

// The source writes only [out]: a parameter without it carries no direction flag in the
// compiled library, although the tables mark it PARAMFLAG_FIN.
unsigned CompiledParamFlags(const ParamInfo& param) {
    return param.flags & PARAMFLAG_FOUT;
}

std::string Interface(unsigned index, const DispInterfaceInfo& iface) {
    unsigned funcs = 0;
    unsigned vars = 0;
    for (const MemberInfo& m : iface.members) {
        (m.kind == MemberKind::Property ? vars : funcs) += 1;
    }
    std::string out = text::TypeLine(index, kTypeKindDispatch, iface.name, GuidText(iface.iid),
                                     kTypeFlagDispatchable, funcs, vars, 1);
    out += Help(2, iface.helpString);
    out += text::ImplTypeLine(0, "IDispatch", 0);
    unsigned func = 0;
    for (const MemberInfo& m : iface.members) {
        if (m.kind == MemberKind::Property) {
            continue;
        }
        const VARTYPE result = m.kind == MemberKind::PropertyPut ? VARTYPE{VT_VOID} : m.vt;
        out += text::FuncLine(func++, m.dispid, m.name, kFuncKindDispatch, InvokeKind(m.kind),
                              TypeText(result), 0, static_cast<unsigned>(m.params.size()));
        out += Help(4, m.helpString);
        for (std::size_t p = 0; p < m.params.size(); ++p) {
            const ParamInfo& param = m.params[p];
            out += text::ParamLine(static_cast<unsigned>(p), param.name, TypeText(param.vt),
                                   CompiledParamFlags(param));
        }
    }
    unsigned var = 0;
    for (const MemberInfo& m : iface.members) {
        if (m.kind == MemberKind::Property) {
            out += text::VarLine(var++, m.dispid, m.name, kVarKindDispatch, TypeText(m.vt),
                                 m.readOnly ? kVarFlagReadOnly : 0);
            out += Help(4, m.helpString);
        }
    }
    return out;
}

std::string CoClass(unsigned index, const CoClassInfo& coclass) {
    const unsigned implTypes = coclass.defaultSource != nullptr ? 2 : 1;
    std::string out = text::TypeLine(index, kTypeKindCoClass, coclass.name, GuidText(coclass.clsid),
                                     coclass.typeFlags, 0, 0, implTypes);
    out += Help(2, coclass.helpString);
    out += text::ImplTypeLine(0, coclass.defaultInterface->name, kImplTypeFlagDefault);
    if (coclass.defaultSource != nullptr) {
        out += text::ImplTypeLine(1, coclass.defaultSource->name,
                                  kImplTypeFlagDefault | kImplTypeFlagSource);
    }
    return out;
}

std::string Library(const TypeLibInfo& lib) {
    std::string out = text::LibraryLine(lib.name, GuidText(lib.libid), lib.majorVersion,
                                        lib.minorVersion, 0, lib.libFlags | kLibFlagHasDiskImage);
    out += Help(2, lib.helpString);
    out += text::HelpFileLine(lib.helpFile != nullptr ? lib.helpFile : "");
    unsigned index = 0;
    for (const DispInterfaceInfo* iface : lib.interfaces) {
        out += Interface(index++, *iface);
    }
    for (const CoClassInfo* coclass : lib.coclasses) {
        out += CoClass(index++, *coclass);
    }
    return out;
}

}  // namespace

int main() {
    const std::string out = Library(tolvan::kTolvanLib);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
