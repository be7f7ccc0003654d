// The Component Object Model as the system uses it: GUIDs, IUnknown reference counting,
// IDispatch, class factories, connection points for events, the persistence and property-page
// interfaces a control container calls, and creation of in-process objects by CLSID or ProgID
// through the registry (platform/registry.h) and dlopen.
//
// Interfaces keep their Windows names, IIDs, base interfaces and all their members in Windows'
// order, so that a table built here has each member in the slot a Windows caller uses. Types
// only the members this system does not use need are declared as far as those signatures need
// them. The comments say which members the system calls; implementers answer E_NOTIMPL for
// the others (platform/ole_defaults.h holds those answers once).
#pragma once

#ifdef _WIN32
#include "platform/com_win32.h"
#else

#include <string>
#include <string_view>

#include "platform/com_errors.h"
#include "platform/variant.h"
#include "platform/win_types.h"

// ---- GUIDs -------------------------------------------------------------------------------

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}
constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
    return a == b;
}

#include "platform/guid_literal.h"

inline constexpr IID IID_NULL{};
inline constexpr IID IID_IUnknown = MakeGuid("00000000-0000-0000-C000-000000000046");
inline constexpr IID IID_IClassFactory = MakeGuid("00000001-0000-0000-C000-000000000046");
inline constexpr IID IID_IPersist = MakeGuid("0000010C-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleObject = MakeGuid("00000112-0000-0000-C000-000000000046");
inline constexpr IID IID_IDispatch = MakeGuid("00020400-0000-0000-C000-000000000046");
inline constexpr IID IID_ITypeInfo = MakeGuid("00020401-0000-0000-C000-000000000046");
inline constexpr IID IID_IProvideClassInfo = MakeGuid("B196B283-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IConnectionPointContainer =
    MakeGuid("B196B284-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IConnectionPoint = MakeGuid("B196B286-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IOleControlSite = MakeGuid("B196B289-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_ISpecifyPropertyPages = MakeGuid("B196B28B-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IPropertyPage = MakeGuid("B196B28D-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IPersistPropertyBag = MakeGuid("37D84F60-42CB-11CE-8135-00AA004BB851");
inline constexpr IID IID_IPropertyBag = MakeGuid("55272A00-42CB-11CE-8135-00AA004BB851");
inline constexpr IID IID_IOleClientSite = MakeGuid("00000118-0000-0000-C000-000000000046");
inline constexpr IID IID_IPersistStreamInit = MakeGuid("7FD52380-4E07-101B-AE2D-08002B2EC713");
inline constexpr IID IID_IProvideClassInfo2 = MakeGuid("A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851");
inline constexpr IID IID_IOleControl = MakeGuid("B196B288-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IEnumConnections = MakeGuid("B196B287-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IEnumConnectionPoints = MakeGuid("B196B285-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IAdviseSink = MakeGuid("0000010F-0000-0000-C000-000000000046");
inline constexpr IID IID_IEnumSTATDATA = MakeGuid("00000105-0000-0000-C000-000000000046");

// Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper case, 38 units and a 0) to `text`.
// Returns the units written including the 0, or 0 when `cchMax` is below 39.
int StringFromGUID2(REFGUID guid, LPOLESTR text, int cchMax);

// Reads a CLSID in the braced form (either case). CO_E_CLASSSTRING, with `clsid` untouched,
// for any other text; E_INVALIDARG for null pointers. (Windows also looks ProgIDs up here;
// use CLSIDFromProgID for those.)
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

// Narrow forms of the two above for registry keys and tools: "{...}" in upper case, and a
// parser that accepts the braced form only.
std::string GuidToString(REFGUID guid);
bool GuidFromString(std::string_view text, GUID* guid);

// ---- Task memory -------------------------------------------------------------------------

// The COM task allocator: memory handed across interfaces (ProgIDFromCLSID's text, a property
// page's title) is freed by the receiver with CoTaskMemFree. Null is a no-op.
void* CoTaskMemAlloc(std::size_t bytes);
void CoTaskMemFree(void* block);

// ---- Core interfaces ---------------------------------------------------------------------

struct ITypeInfo;  // platform/typeinfo.h
struct IConnectionPointContainer;

struct IStream;  // platform/stream.h

// Named in members this system does not use; never defined here.
struct IErrorLog;
struct IPropertyPageSite;
struct IMoniker;
struct IDataObject;
struct IEnumOLEVERB;
struct IOleContainer;
struct STGMEDIUM;
struct LOGPALETTE;
struct DVTARGETDEVICE;

// Every object counts references; the last Release destroys it. QueryInterface gives
// E_NOINTERFACE (and a null `*ppv`) for an interface the object lacks, E_POINTER for null ppv.
struct MSG;  // platform/user.h

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

// Late-bound calls by DISPID (platform-facts: Invoke essentials). `riid` must be IID_NULL.
struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;

  protected:
    ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

  protected:
    ~IClassFactory() = default;
};

struct IConnectionPoint;

// The enumerators of connections and connection points share Windows' contract: Next copies
// up to `celt` items, each with a reference the caller releases, and answers S_OK when it
// copied all of them, S_FALSE when fewer were left; `pceltFetched` may be null only when
// `celt` is 1. Skip is S_FALSE when fewer than `cConnections` were left. Clone copies the
// position.
struct CONNECTDATA {
    IUnknown* pUnk;
    DWORD dwCookie;
};
using LPCONNECTDATA = CONNECTDATA*;

struct IEnumConnections : IUnknown {
    virtual HRESULT Next(ULONG cConnections, LPCONNECTDATA rgcd, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cConnections) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumConnections** ppEnum) = 0;

  protected:
    ~IEnumConnections() = default;
};

struct IEnumConnectionPoints : IUnknown {
    virtual HRESULT Next(ULONG cConnections, IConnectionPoint** ppCP, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cConnections) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumConnectionPoints** ppEnum) = 0;

  protected:
    ~IEnumConnectionPoints() = default;
};

// One outgoing interface of an object. The sink given to Advise is queried for the outgoing
// interface's IID (or IID_IDispatch for a dispinterface) and kept with a reference until
// Unadvise. EnumConnections lists the sinks advised, oldest first.
struct IConnectionPoint : IUnknown {
    virtual HRESULT GetConnectionInterface(IID* pIID) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
    virtual HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
    virtual HRESULT EnumConnections(IEnumConnections** ppEnum) = 0;

  protected:
    ~IConnectionPoint() = default;
};

// EnumConnectionPoints lists every connection point of the object.
struct IConnectionPointContainer : IUnknown {
    virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) = 0;
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;

  protected:
    ~IConnectionPointContainer() = default;
};

// The type information of the object's coclass, from which a container learns its default
// and event interfaces.
struct IProvideClassInfo : IUnknown {
    virtual HRESULT GetClassInfo(ITypeInfo** ppTI) = 0;

  protected:
    ~IProvideClassInfo() = default;
};

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

// GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID): the IID of the object's default event
// interface; E_INVALIDARG for another kind.
struct IProvideClassInfo2 : IProvideClassInfo {
    virtual HRESULT GetGUID(DWORD dwGuidKind, GUID* pGUID) = 0;

  protected:
    ~IProvideClassInfo2() = default;
};

// ---- Persistence and property pages ------------------------------------------------------

// Named values a container keeps for an object. Read fills `pVar` (its vt asks for a type,
// VT_EMPTY for any) and gives E_INVALIDARG for an unknown name; the error log of Windows is
// not used here (pass null).
struct IPropertyBag : IUnknown {
    virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) = 0;

  protected:
    ~IPropertyBag() = default;
};

// The class of a persistent object.
struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;

  protected:
    ~IPersist() = default;
};

struct IPersistPropertyBag : IPersist {
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;

  protected:
    ~IPersistPropertyBag() = default;
};

// Persistence in a stream (platform/stream.h). IsDirty is S_OK when the object changed
// since it was last saved with fClearDirty, S_FALSE when not. InitNew initialises a new
// object and is refused (E_UNEXPECTED) after Load. GetSizeMax is an upper bound of the bytes
// Save writes.
struct IPersistStreamInit : IPersist {
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* pStm) = 0;
    virtual HRESULT Save(IStream* pStm, BOOL fClearDirty) = 0;
    virtual HRESULT GetSizeMax(ULARGE_INTEGER* pCbSize) = 0;
    virtual HRESULT InitNew() = 0;

  protected:
    ~IPersistStreamInit() = default;
};

struct SIZEL {
    LONG cx;
    LONG cy;
};
using LPSIZEL = SIZEL*;

using CLIPFORMAT = WORD;

struct FORMATETC {
    CLIPFORMAT cfFormat;
    DVTARGETDEVICE* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
};

// What an object tells the containers advised to it. The members return nothing, as on
// Windows: a sink's trouble is its own.
struct IAdviseSink : IUnknown {
    virtual void OnDataChange(FORMATETC* pFormatetc, STGMEDIUM* pStgmed) = 0;
    virtual void OnViewChange(DWORD dwAspect, LONG lindex) = 0;
    virtual void OnRename(IMoniker* pmk) = 0;
    virtual void OnSave() = 0;
    virtual void OnClose() = 0;

  protected:
    ~IAdviseSink() = default;
};

// One advise connection: its sink (with a reference the receiver releases) and cookie.
struct STATDATA {
    FORMATETC formatetc;
    DWORD advf;
    IAdviseSink* pAdvSink;
    DWORD dwConnection;
};

// The enumerator contract of IEnumConnections, over advise connections.
struct IEnumSTATDATA : IUnknown {
    virtual HRESULT Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumSTATDATA** ppenum) = 0;

  protected:
    ~IEnumSTATDATA() = default;
};

// The container's side of an embedded object. The controls of this system call none of its
// members; they hold the site for its other interfaces (IOleInPlaceSite, IOleControlSite,
// IDispatch for ambient properties). Containers answer
// E_NOTIMPL for what they do not serve (OleClientSiteDefaults, platform/ole_defaults.h).
struct IOleClientSite : IUnknown {
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
    virtual HRESULT GetContainer(IOleContainer** ppContainer) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL fShow) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;

  protected:
    ~IOleClientSite() = default;
};

constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0;
constexpr DWORD OLECLOSE_NOSAVE = 1;
constexpr DWORD OLECLOSE_PROMPTSAVE = 2;

constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_PROPERTIES = -7;
constexpr DWORD DVASPECT_CONTENT = 1;

// A container of this system calls SetClientSite (the object may query the site for
// IOleControlSite), DoVerb (the properties verb opens the property pages), GetMiscStatus (the
// OLEMISC bits) and SetExtent, GetExtent (HIMETRIC units).
struct IOleObject : IUnknown {
    virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;
    virtual HRESULT SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) = 0;
    virtual HRESULT Close(DWORD dwSaveOption) = 0;
    virtual HRESULT SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) = 0;
    virtual HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
    virtual HRESULT InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) = 0;
    virtual HRESULT GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) = 0;
    // iVerb: OLEIVERB_*; lpmsg and lindex are not used (pass null and 0). pActiveSite (or the
    // site given before) and hwndParent, lprcPosRect place the control in place
    // (platform/ole_inplace.h).
    virtual HRESULT DoVerb(LONG iVerb, MSG* lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                           HWND hwndParent, LPCRECT lprcPosRect) = 0;
    virtual HRESULT EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) = 0;
    virtual HRESULT Update() = 0;
    virtual HRESULT IsUpToDate() = 0;
    virtual HRESULT GetUserClassID(CLSID* pClsid) = 0;
    virtual HRESULT GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) = 0;
    virtual HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
    virtual HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
    virtual HRESULT Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) = 0;
    virtual HRESULT Unadvise(DWORD dwConnection) = 0;
    virtual HRESULT EnumAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
    virtual HRESULT GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) = 0;
    virtual HRESULT SetColorScheme(LOGPALETTE* pLogpal) = 0;

  protected:
    ~IOleObject() = default;
};

struct POINTL {
    LONG x;
    LONG y;
};
struct POINTF {
    float x;
    float y;
};

// The member of IOleControlSite that this system uses is ShowPropertyFrame: the container
// shows the property frame for the control (it learns the pages through
// ISpecifyPropertyPages).
struct IOleControlSite : IUnknown {
    virtual HRESULT OnControlInfoChanged() = 0;
    virtual HRESULT LockInPlaceActive(BOOL fLock) = 0;
    virtual HRESULT GetExtendedControl(IDispatch** ppDisp) = 0;
    virtual HRESULT TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) = 0;
    virtual HRESULT TranslateAccelerator(MSG* pMsg, DWORD grfModifiers) = 0;
    virtual HRESULT OnFocus(BOOL fGotFocus) = 0;
    virtual HRESULT ShowPropertyFrame() = 0;

  protected:
    ~IOleControlSite() = default;
};

// A counted array of GUIDs in task memory (pElems is freed by the receiver).
struct CAUUID {
    ULONG cElems;
    GUID* pElems;
};

struct HACCEL__;
using HACCEL = HACCEL__*;

// The keyboard mnemonics of a control (none here: hAccel null, cAccel 0) and how it treats
// Return and Escape.
struct CONTROLINFO {
    ULONG cb;
    HACCEL hAccel;
    USHORT cAccel;
    DWORD dwFlags;
};
using LPCONTROLINFO = CONTROLINFO*;
constexpr DWORD CTRLINFO_EATS_RETURN = 1;
constexpr DWORD CTRLINFO_EATS_ESCAPE = 2;

// What a container tells a control: its mnemonics, changed ambient properties
// (DISPID_UNKNOWN: any of them), and that events are to be held back (FreezeEvents counts
// nested calls).
struct IOleControl : IUnknown {
    virtual HRESULT GetControlInfo(CONTROLINFO* pCI) = 0;
    virtual HRESULT OnMnemonic(MSG* pMsg) = 0;
    virtual HRESULT OnAmbientPropertyChange(DISPID dispID) = 0;
    virtual HRESULT FreezeEvents(BOOL bFreeze) = 0;

  protected:
    ~IOleControl() = default;
};

struct ISpecifyPropertyPages : IUnknown {
    virtual HRESULT GetPages(CAUUID* pPages) = 0;

  protected:
    ~ISpecifyPropertyPages() = default;
};

struct PROPPAGEINFO {
    ULONG cb;
    LPOLESTR pszTitle;  // task memory, freed by the caller
    SIZE size;          // dialog units of the page's template
    LPOLESTR pszDocString;
    LPOLESTR pszHelpFile;
    DWORD dwHelpContext;
};

// A property frame of this system calls GetPageInfo, SetObjects, IsPageDirty and Apply.
struct IPropertyPage : IUnknown {
    virtual HRESULT SetPageSite(IPropertyPageSite* pPageSite) = 0;
    virtual HRESULT Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) = 0;
    virtual HRESULT Deactivate() = 0;
    virtual HRESULT GetPageInfo(PROPPAGEINFO* pPageInfo) = 0;
    virtual HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) = 0;
    virtual HRESULT Show(UINT nCmdShow) = 0;
    virtual HRESULT Move(LPCRECT pRect) = 0;
    virtual HRESULT IsPageDirty() = 0;
    virtual HRESULT Apply() = 0;
    virtual HRESULT Help(LPCOLESTR pszHelpDir) = 0;
    virtual HRESULT TranslateAccelerator(MSG* pMsg) = 0;

  protected:
    ~IPropertyPage() = default;
};

// ---- Modules and creation ----------------------------------------------------------------

// A loaded module, identified as on Windows by its load address.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

// Copies the file path of module `module` (null: the program) to `path`, truncated to
// `size` - 1 bytes and terminated. Returns the length copied, 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size);

// The module that contains `address` (a function or object of it), or null.
HMODULE ModuleFromAddress(const void* address);

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// The CLSID registered for `progId` (HKEY_CLASSES_ROOT\<ProgID>\CLSID). CO_E_CLASSSTRING for
// an unknown ProgID, REGDB_E_READREGDB when the registry file cannot be read.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);

// The ProgID registered for `clsid` (CLSID\{clsid}\ProgID) in task memory, freed by the caller
// with CoTaskMemFree. REGDB_E_CLASSNOTREG when there is none.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId);

// Finds CLSID\{clsid}\InprocServer32 in the registry, loads that module (once per process;
// later calls reuse it), and asks its DllGetClassObject for `riid`. Failures:
// REGDB_E_CLASSNOTREG (no such class or no InprocServer32), HRESULT_MOD_NOT_FOUND (the file
// cannot be loaded), HRESULT_PROC_NOT_FOUND (no DllGetClassObject or DllCanUnloadNow export),
// REGDB_E_READREGDB (registry unreadable), or the module's own answer
// (CLASS_E_CLASSNOTAVAILABLE). Only CLSCTX_INPROC_SERVER is served.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsContext, void* reserved, REFIID riid, void** ppv);

// CoGetClassObject for IClassFactory, then CreateInstance(pUnkOuter, riid). `*ppv` is null on
// failure.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* pUnkOuter, DWORD clsContext, REFIID riid,
                         void** ppv);

// Asks every module loaded by CoGetClassObject whether it can be unloaded (DllCanUnloadNow)
// and unloads those that answer S_OK. Containers call it after releasing objects.
void CoFreeUnusedLibraries();

// Number of modules CoGetClassObject has loaded and not yet unloaded.
int CoLoadedLibraryCount();

// A sentence explaining the last failure of CLSIDFromProgID, ProgIDFromCLSID,
// CoGetClassObject or CoCreateInstance on this thread ("no module ... : <dlerror text>"),
// or "" after a success. Tools print it; Windows keeps such text in its error object.
std::string CoGetLastErrorText();

#endif  // _WIN32
