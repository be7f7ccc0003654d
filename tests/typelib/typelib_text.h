// The text form of a type library, one line per library, type, member and parameter. The
// Windows probe (tests/windows/typelib_dump.cpp) prints it from a .tlb file as oleaut32 reads
// it, the Linux printer (tests/typelib/tolvan_typelib_text.cpp) from the module's tables; the
// two outputs are compared byte for byte. Standard C++ only, so that both sides share it:
// every value comes in as a plain number or ASCII text, with Windows' numbering.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

namespace typelib_text {

inline std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// "0x3 (default source)": the number, then the names of its known bits in bit order; a bit
// without a name shows only in the number.
inline std::string Flags(unsigned flags,
                         std::initializer_list<std::pair<unsigned, const char*>> names) {
    std::string named;
    for (const auto& [bit, name] : names) {
        if ((flags & bit) != 0) {
            named += named.empty() ? "" : " ";
            named += name;
        }
    }
    return Hex(flags) + (named.empty() ? "" : " (" + named + ")");
}

inline std::string LibFlags(unsigned flags) {
    return Flags(flags,
                 {{0x1, "restricted"}, {0x2, "control"}, {0x4, "hidden"}, {0x8, "hasdiskimage"}});
}

inline std::string TypeFlags(unsigned flags) {
    return Flags(flags, {{0x1, "appobject"},
                         {0x2, "cancreate"},
                         {0x4, "licensed"},
                         {0x8, "predeclid"},
                         {0x10, "hidden"},
                         {0x20, "control"},
                         {0x40, "dual"},
                         {0x80, "nonextensible"},
                         {0x100, "oleautomation"},
                         {0x200, "restricted"},
                         {0x400, "aggregatable"},
                         {0x800, "replaceable"},
                         {0x1000, "dispatchable"},
                         {0x2000, "reversebind"},
                         {0x4000, "proxy"}});
}

inline std::string ImplTypeFlags(unsigned flags) {
    return Flags(flags,
                 {{0x1, "default"}, {0x2, "source"}, {0x4, "restricted"}, {0x8, "defaultvtable"}});
}

inline std::string FuncFlags(unsigned flags) {
    return Flags(flags, {{0x1, "restricted"},
                         {0x2, "source"},
                         {0x4, "bindable"},
                         {0x8, "requestedit"},
                         {0x10, "displaybind"},
                         {0x20, "defaultbind"},
                         {0x40, "hidden"},
                         {0x80, "usesgetlasterror"},
                         {0x100, "defaultcollelem"},
                         {0x200, "uidefault"},
                         {0x400, "nonbrowsable"},
                         {0x800, "replaceable"},
                         {0x1000, "immediatebind"}});
}

inline std::string VarFlags(unsigned flags) {
    return Flags(flags, {{0x1, "readonly"},
                         {0x2, "source"},
                         {0x4, "bindable"},
                         {0x8, "requestedit"},
                         {0x10, "displaybind"},
                         {0x20, "defaultbind"},
                         {0x40, "hidden"},
                         {0x80, "restricted"},
                         {0x100, "defaultcollelem"},
                         {0x200, "uidefault"},
                         {0x400, "nonbrowsable"},
                         {0x800, "replaceable"},
                         {0x1000, "immediatebind"}});
}

inline std::string ParamFlags(unsigned flags) {
    return Flags(flags, {{0x1, "in"},
                         {0x2, "out"},
                         {0x4, "lcid"},
                         {0x8, "retval"},
                         {0x10, "opt"},
                         {0x20, "hasdefault"},
                         {0x40, "hascustdata"}});
}

// The name of an automation type number that is not a pointer (VT_PTR) or a reference to
// another type (VT_USERDEFINED), as the type library source writes it.
inline std::string BaseTypeName(unsigned vt) {
    switch (vt) {
        case 2:
            return "short";
        case 3:
            return "long";
        case 4:
            return "float";
        case 5:
            return "double";
        case 6:
            return "CURRENCY";
        case 7:
            return "DATE";
        case 8:
            return "BSTR";
        case 9:
            return "IDispatch*";
        case 10:
            return "SCODE";
        case 11:
            return "VARIANT_BOOL";
        case 12:
            return "VARIANT";
        case 13:
            return "IUnknown*";
        case 16:
            return "char";
        case 17:
            return "unsigned char";
        case 18:
            return "unsigned short";
        case 19:
            return "unsigned long";
        case 22:
            return "int";
        case 23:
            return "unsigned int";
        case 24:
            return "void";
        case 25:
            return "HRESULT";
        default:
            return "vt" + std::to_string(vt);
    }
}

inline std::string TypeKind(unsigned kind) {
    constexpr const char* kNames[] = {"enum",     "record",  "module", "interface",
                                      "dispatch", "coclass", "alias",  "union"};
    return kind < std::size(kNames) ? kNames[kind] : "typekind" + std::to_string(kind);
}

inline std::string FuncKind(unsigned kind) {
    constexpr const char* kNames[] = {"virtual", "purevirtual", "nonvirtual", "static", "dispatch"};
    return kind < std::size(kNames) ? kNames[kind] : "funckind" + std::to_string(kind);
}

inline std::string InvokeKind(unsigned kind) {
    switch (kind) {
        case 1:
            return "func";
        case 2:
            return "propget";
        case 4:
            return "propput";
        case 8:
            return "propputref";
        default:
            return "invkind" + std::to_string(kind);
    }
}

inline std::string VarKind(unsigned kind) {
    constexpr const char* kNames[] = {"perinstance", "static", "const", "dispatch"};
    return kind < std::size(kNames) ? kNames[kind] : "varkind" + std::to_string(kind);
}

// ASCII text in double quotes, with '"' and '\' escaped; other bytes as \xNN.
inline std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

inline std::string Guid(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                        const unsigned char (&data4)[8]) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(data1), data2, data3, data4[0], data4[1], data4[2],
                  data4[3], data4[4], data4[5], data4[6], data4[7]);
    return text;
}

// The lines, each ending in a line feed. Members are indented by two blanks, their help
// strings and parameters by four. A help line is printed only for a non-empty help string.

inline std::string LibraryLine(const std::string& name, const std::string& guid, unsigned major,
                               unsigned minor, unsigned lcid, unsigned flags) {
    return "library " + name + " " + guid + " version " + std::to_string(major) + "." +
           std::to_string(minor) + " lcid " + std::to_string(lcid) + " flags " + LibFlags(flags) +
           "\n";
}

inline std::string HelpLine(int indent, const std::string& help) {
    return help.empty() ? "" : std::string(indent, ' ') + "help " + Quote(help) + "\n";
}

inline std::string HelpFileLine(const std::string& file) {
    return file.empty() ? "" : "  helpfile " + Quote(file) + "\n";
}

inline std::string TypeLine(unsigned index, unsigned kind, const std::string& name,
                            const std::string& guid, unsigned flags, unsigned funcs, unsigned vars,
                            unsigned implTypes) {
    return "type " + std::to_string(index) + " " + TypeKind(kind) + " " + name + " " + guid +
           " flags " + TypeFlags(flags) + " funcs " + std::to_string(funcs) + " vars " +
           std::to_string(vars) + " impltypes " + std::to_string(implTypes) + "\n";
}

inline std::string ImplTypeLine(unsigned index, const std::string& name, unsigned flags) {
    return "  implements " + std::to_string(index) + " " + name + " flags " + ImplTypeFlags(flags) +
           "\n";
}

inline std::string FuncLine(unsigned index, int memid, const std::string& name, unsigned funcKind,
                            unsigned invokeKind, const std::string& result, unsigned flags,
                            unsigned params) {
    return "  func " + std::to_string(index) + " id " + std::to_string(memid) + " " + name + " " +
           FuncKind(funcKind) + " " + InvokeKind(invokeKind) + " returns " + result + " flags " +
           FuncFlags(flags) + " params " + std::to_string(params) + "\n";
}

inline std::string ParamLine(unsigned index, const std::string& name, const std::string& type,
                             unsigned flags) {
    return "    param " + std::to_string(index) + " " + name + " " + type + " flags " +
           ParamFlags(flags) + "\n";
}

inline std::string VarLine(unsigned index, int memid, const std::string& name, unsigned varKind,
                           const std::string& type, unsigned flags) {
    return "  var " + std::to_string(index) + " id " + std::to_string(memid) + " " + name + " " +
           VarKind(varKind) + " " + type + " flags " + VarFlags(flags) + "\n";
}

}  // namespace typelib_text
