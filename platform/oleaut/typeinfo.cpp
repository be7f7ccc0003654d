// ITypeInfo over the C++ type tables, and the name lookups and descriptions built on them.
#include "platform/typeinfo.h"

#include <new>

#include "platform/ascii_case.h"
#include "platform/unknown_base.h"

template <>
struct IidOf<ITableTypeInfo> {
    static constexpr const IID& value = IID_ITypeInfo;
};

namespace {

bool SameNameIgnoringCase(std::string_view a, const OLECHAR* b) {
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == 0) {
            return false;
        }
        if (FoldAscii(char16_t{static_cast<unsigned char>(a[i])}) != FoldAscii(b[i])) {
            return false;
        }
    }
    return b[i] == 0;
}

bool KindFits(MemberKind kind, WORD flags) {
    if (flags == 0) {
        return true;
    }
    switch (kind) {
        case MemberKind::Method:
            return (flags & DISPATCH_METHOD) != 0;
        case MemberKind::Property:
            return (flags &
                    (DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        case MemberKind::PropertyGet:
            return (flags & DISPATCH_PROPERTYGET) != 0;
        case MemberKind::PropertyPut:
            return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    }
    return false;
}

// Keeps a reference on its owner (the object it describes), released as it goes.
class TableTypeInfo final : public CountedObject<ITableTypeInfo> {
  public:
    TableTypeInfo(const TypeLibInfo& library, const DispInterfaceInfo* iface,
                  const CoClassInfo* coclass, IUnknown* owner)
        : library_(library), iface_(iface), coclass_(coclass), owner_(owner) {}

    const TypeLibInfo* GetTypeLibInfo() override { return &library_; }
    const DispInterfaceInfo* GetDispInterfaceInfo() override { return iface_; }
    const CoClassInfo* GetCoClassInfo() override { return coclass_; }
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
        if (iface_ == nullptr) {
            return E_NOTIMPL;
        }
        return GetIDsOfNamesFromInfo(*iface_, names, count, ids);
    }

    // The descriptions Windows gives in its own structures are not built from the tables.
    HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) override { return NotServed(ppTypeAttr); }
    HRESULT GetTypeComp(ITypeComp** ppTComp) override { return NotServed(ppTComp); }
    HRESULT GetFuncDesc(UINT, FUNCDESC** ppFuncDesc) override { return NotServed(ppFuncDesc); }
    HRESULT GetVarDesc(UINT, VARDESC** ppVarDesc) override { return NotServed(ppVarDesc); }
    HRESULT GetNames(MEMBERID, BSTR*, UINT, UINT* pcNames) override {
        if (pcNames != nullptr) {
            *pcNames = 0;
        }
        return E_NOTIMPL;
    }
    HRESULT GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
    HRESULT GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
    HRESULT Invoke(void*, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override { return E_NOTIMPL; }
    HRESULT GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
    HRESULT GetRefTypeInfo(HREFTYPE, ITypeInfo** ppTInfo) override { return NotServed(ppTInfo); }
    HRESULT AddressOfMember(MEMBERID, INVOKEKIND, void** ppv) override { return NotServed(ppv); }
    HRESULT CreateInstance(IUnknown*, REFIID, void** ppvObj) override { return NotServed(ppvObj); }
    HRESULT GetMops(MEMBERID, BSTR* pBstrMops) override { return NotServed(pBstrMops); }
    HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT*) override { return NotServed(ppTLib); }
    void ReleaseTypeAttr(TYPEATTR*) override {}
    void ReleaseFuncDesc(FUNCDESC*) override {}
    void ReleaseVarDesc(VARDESC*) override {}

  private:
    ~TableTypeInfo() override = default;

    // E_NOTIMPL with the out pointer null, as callers that release it on failure expect.
    template <class T>
    static HRESULT NotServed(T** out) {
        if (out != nullptr) {
            *out = nullptr;
        }
        return E_NOTIMPL;
    }

    const TypeLibInfo& library_;
    const DispInterfaceInfo* iface_;
    const CoClassInfo* coclass_;
    ComPtr<IUnknown> owner_;
};

}  // namespace

HRESULT CreateTypeInfo(const TypeLibInfo& library, const DispInterfaceInfo* iface,
                       const CoClassInfo* coclass, IUnknown* owner, ITypeInfo** ppTInfo) {
    if (ppTInfo == nullptr) {
        return E_POINTER;
    }
    *ppTInfo = nullptr;
    if ((iface == nullptr) == (coclass == nullptr)) {
        return E_INVALIDARG;
    }
    auto* info = new (std::nothrow) TableTypeInfo(library, iface, coclass, owner);
    if (info == nullptr) {
        return E_OUTOFMEMORY;
    }
    *ppTInfo = info;
    return S_OK;
}

HRESULT GetIDsOfNamesFromInfo(const DispInterfaceInfo& iface, LPOLESTR* names, UINT count,
                              DISPID* ids) {
    if (count == 0) {
        return S_OK;
    }
    if (names == nullptr || ids == nullptr) {
        return E_POINTER;
    }
    const MemberInfo* found = nullptr;
    for (const MemberInfo& member : iface.members) {
        if (names[0] != nullptr && SameNameIgnoringCase(member.name, names[0])) {
            found = &member;
            break;
        }
    }
    HRESULT hr = S_OK;
    ids[0] = found != nullptr ? found->dispid : DISPID_UNKNOWN;
    if (found == nullptr) {
        hr = DISP_E_UNKNOWNNAME;
    }
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (found != nullptr && names[i] != nullptr) {
            for (std::size_t p = 0; p < found->params.size(); ++p) {
                if (SameNameIgnoringCase(found->params[p].name, names[i])) {
                    ids[i] = static_cast<DISPID>(p);
                    break;
                }
            }
        }
        if (ids[i] == DISPID_UNKNOWN) {
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

const MemberInfo* FindMemberById(const DispInterfaceInfo& iface, DISPID dispid, WORD wFlags) {
    for (const MemberInfo& member : iface.members) {
        if (member.dispid == dispid && KindFits(member.kind, wFlags)) {
            return &member;
        }
    }
    return nullptr;
}

const MemberInfo* FindMemberByName(const DispInterfaceInfo& iface, std::string_view name) {
    for (const MemberInfo& member : iface.members) {
        if (EqualsAsciiNoCase(member.name, name)) {
            return &member;
        }
    }
    return nullptr;
}

std::string VarTypeName(VARTYPE vt) {
    std::string name;
    switch (vt & VT_TYPEMASK) {
        case VT_EMPTY:
            name = "EMPTY";
            break;
        case VT_NULL:
            name = "NULL";
            break;
        case VT_I2:
            name = "short";
            break;
        case VT_I4:
            name = "long";
            break;
        case VT_R4:
            name = "float";
            break;
        case VT_R8:
            name = "double";
            break;
        case VT_CY:
            name = "CURRENCY";
            break;
        case VT_DATE:
            name = "DATE";
            break;
        case VT_BSTR:
            name = "BSTR";
            break;
        case VT_DISPATCH:
            name = "IDispatch*";
            break;
        case VT_ERROR:
            name = "SCODE";
            break;
        case VT_BOOL:
            name = "VARIANT_BOOL";
            break;
        case VT_VARIANT:
            name = "VARIANT";
            break;
        case VT_UNKNOWN:
            name = "IUnknown*";
            break;
        case VT_UI1:
            name = "unsigned char";
            break;
        case VT_VOID:
            name = "void";
            break;
        case VT_HRESULT:
            name = "HRESULT";
            break;
        default:
            name = "VARTYPE(" + std::to_string(vt & VT_TYPEMASK) + ")";
            break;
    }
    if ((vt & VT_BYREF) != 0) {
        name += '*';
    }
    return name;
}

std::string DescribeMember(const MemberInfo& member, std::string_view kind) {
    std::string line = std::to_string(member.dispid) + ' ' + member.name + ' ';
    if (!kind.empty()) {
        line += kind;
    } else {
        switch (member.kind) {
            case MemberKind::Method:
                line += "method";
                break;
            case MemberKind::Property:
                line += "property";
                break;
            case MemberKind::PropertyGet:
                line += "propget";
                break;
            case MemberKind::PropertyPut:
                line += "propput";
                break;
        }
    }
    line += ' ' + VarTypeName(member.vt);
    if (member.kind == MemberKind::Property) {
        if (member.readOnly) {
            line += " readonly";
        }
        return line;
    }
    line += '(';
    for (std::size_t i = 0; i < member.params.size(); ++i) {
        const ParamInfo& param = member.params[i];
        if (i > 0) {
            line += ", ";
        }
        if ((param.vt & VT_BYREF) != 0) {
            const bool in = (param.flags & PARAMFLAG_FIN) != 0;
            const bool out = (param.flags & PARAMFLAG_FOUT) != 0;
            line += in && out ? "[in, out] " : out ? "[out] " : "[in] ";
        }
        line += VarTypeName(param.vt) + ' ' + param.name;
    }
    line += ')';
    return line;
}
