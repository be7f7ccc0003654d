// Type information: a type library described by C++ tables (library, dispinterfaces,
// coclasses, members with DISPIDs, kinds, parameter names and types, help strings), the
// ITypeInfo objects that publish it, and the lookups that IDispatch::GetIDsOfNames and tools
// such as control-host make on it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/com.h"

#ifdef _WIN32
#include <oaidl.h>
#else

// Parameter flags (the Windows values).
constexpr USHORT PARAMFLAG_NONE = 0x0;
constexpr USHORT PARAMFLAG_FIN = 0x1;
constexpr USHORT PARAMFLAG_FOUT = 0x2;

// Type flags of a coclass and library flags (the Windows values).
constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
constexpr WORD TYPEFLAG_FCONTROL = 0x20;
constexpr WORD LIBFLAG_FRESTRICTED = 0x1;
constexpr WORD LIBFLAG_FCONTROL = 0x2;
constexpr WORD LIBFLAG_FHIDDEN = 0x4;

#endif  // _WIN32

// One parameter: its name, its automation type (VT_BYREF marks a pointer) and its direction.
// A by-reference parameter without PARAMFLAG_FOUT only carries a value in.
struct ParamInfo {
    const char* name;
    VARTYPE vt;
    USHORT flags = PARAMFLAG_FIN;
};

// Property: a dispatch property (get and put by one DISPID, `readOnly` when the put is
// refused). Method: a call with parameters and a result (`vt` VT_VOID when none).
// PropertyGet/PropertyPut: accessor methods sharing their property's DISPID.
enum class MemberKind { Method, Property, PropertyGet, PropertyPut };

struct MemberInfo {
    DISPID dispid;
    const char* name;
    MemberKind kind;
    VARTYPE vt;  // the result of a method, the type of a property
    std::span<const ParamInfo> params = {};
    const char* helpString = nullptr;
    bool readOnly = false;
};

struct DispInterfaceInfo {
    const char* name;
    IID iid;
    const char* helpString;
    std::span<const MemberInfo> members;
};

struct CoClassInfo {
    const char* name;
    CLSID clsid;
    const char* helpString;
    WORD typeFlags;
    const DispInterfaceInfo* defaultInterface;
    const DispInterfaceInfo* defaultSource;  // the events, or null
};

struct TypeLibInfo {
    const char* name;
    GUID libid;
    WORD majorVersion;
    WORD minorVersion;
    WORD libFlags;
    const char* helpString;
    const char* helpFile;
    std::span<const DispInterfaceInfo* const> interfaces;
    std::span<const CoClassInfo* const> coclasses;
};

#ifdef _WIN32
// Windows' ITypeInfo is the SDK's. The objects CreateTypeInfo makes implement it and, after its
// members, what this system reads of the described type: a caller that made one reaches those
// through this interface (no other ITypeInfo has them).
struct ITableTypeInfo : ITypeInfo {
    virtual const TypeLibInfo* GetTypeLibInfo() = 0;
    // Exactly one of the next two is non-null.
    virtual const DispInterfaceInfo* GetDispInterfaceInfo() = 0;
    virtual const CoClassInfo* GetCoClassInfo() = 0;

  protected:
    ~ITableTypeInfo() = default;
};
#else

// Named in members this system does not use; never defined here.
struct ITypeComp;
struct ITypeLib;
struct TYPEATTR;
struct FUNCDESC;
struct VARDESC;
using HREFTYPE = DWORD;
enum INVOKEKIND {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8
};

// The type information of one dispinterface or coclass of a library. Its first members are
// Windows' ITypeInfo in Windows' order; of those this system calls GetIDsOfNames (as
// IDispatch::GetIDsOfNames without riid and locale, a dispinterface only) and the rest answer
// E_NOTIMPL. What this system reads of the described type follows them, past the members a
// Windows caller knows.
struct ITypeInfo : IUnknown {
    virtual HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) = 0;
    virtual HRESULT GetTypeComp(ITypeComp** ppTComp) = 0;
    virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) = 0;
    virtual HRESULT GetVarDesc(UINT index, VARDESC** ppVarDesc) = 0;
    virtual HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) = 0;
    virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) = 0;
    virtual HRESULT GetImplTypeFlags(UINT index, INT* pImplTypeFlags) = 0;
    virtual HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) = 0;
    virtual HRESULT Invoke(void* pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                     DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
    virtual HRESULT GetDllEntry(MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName,
                                BSTR* pBstrName, WORD* pwOrdinal) = 0;
    virtual HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT AddressOfMember(MEMBERID memid, INVOKEKIND invKind, void** ppv) = 0;
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObj) = 0;
    virtual HRESULT GetMops(MEMBERID memid, BSTR* pBstrMops) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* pTypeAttr) = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* pFuncDesc) = 0;
    virtual void ReleaseVarDesc(VARDESC* pVarDesc) = 0;

    virtual const TypeLibInfo* GetTypeLibInfo() = 0;
    // Exactly one of the next two is non-null.
    virtual const DispInterfaceInfo* GetDispInterfaceInfo() = 0;
    virtual const CoClassInfo* GetCoClassInfo() = 0;

  protected:
    ~ITypeInfo() = default;
};

// The interface of the objects CreateTypeInfo makes: here ITypeInfo itself carries the table
// accessors.
using ITableTypeInfo = ITypeInfo;

#endif  // _WIN32

// Makes an ITypeInfo for `iface` or `coclass` (pass the other null) of `library`. The object
// holds a reference on `owner` (may be null when the tables outlive every user), so that the
// module holding the tables stays loaded while the type information is in use.
HRESULT CreateTypeInfo(const TypeLibInfo& library, const DispInterfaceInfo* iface,
                       const CoClassInfo* coclass, IUnknown* owner, ITypeInfo** ppTInfo);

// GetIDsOfNames over a table: rgszNames[0] is a member (matched without regard to ASCII case),
// the rest its parameter names, which receive their 0-based positions. Every unknown name
// gets DISPID_UNKNOWN and the call returns DISP_E_UNKNOWNNAME.
HRESULT GetIDsOfNamesFromInfo(const DispInterfaceInfo& iface, LPOLESTR* rgszNames, UINT cNames,
                              DISPID* rgDispId);

// The first member with `dispid` whose kind fits `wFlags` (DISPATCH_METHOD finds methods,
// DISPATCH_PROPERTYGET properties and getters, DISPATCH_PROPERTYPUT properties and putters;
// 0 finds any kind), or null.
const MemberInfo* FindMemberById(const DispInterfaceInfo& iface, DISPID dispid, WORD wFlags = 0);

// The first member named `name` (ASCII case ignored), or null.
const MemberInfo* FindMemberByName(const DispInterfaceInfo& iface, std::string_view name);

// "short", "long", "double", "DATE", "BSTR", "VARIANT_BOOL", "IDispatch*", "VARIANT", "void",
// ...; a VT_BYREF type adds "*" ("BSTR*").
std::string VarTypeName(VARTYPE vt);

// One line describing `member` as control-host's members command prints it:
//   "1 ID property long", "2 Number property long readonly",
//   "33 GetHoseByNumber method long(long Number, [out] long* pID)",
//   "-552 AboutBox method void()".
// A by-reference parameter shows its direction: [in], [out] or [in, out]. `kind` overrides
// the printed kind (control-host prints events as "event").
std::string DescribeMember(const MemberInfo& member, std::string_view kind = {});
