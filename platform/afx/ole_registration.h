// Self-registration: the registry entries that a module's DllRegisterServer writes for its
// type library and classes, and their removal. Each call is one atomic change of the registry
// file; it returns FALSE (and leaves the registry as it was) when a string resource is missing,
// the module's path is unknown or the registry cannot be read or written.
#pragma once

#include "platform/com.h"

// Registration flags.
constexpr int afxRegDefault = 0x0000;
constexpr int afxRegInsertable = 0x0001;
constexpr int afxRegApartmentThreading = 0x0002;
constexpr int afxRegFreeThreading = 0x0004;

// Writes, under HKEY_CLASSES_ROOT: CLSID\{clsid} = type name (string idTypeName);
// \InprocServer32 = module path, ThreadingModel "Apartment" (or "Free"/"Both" by the flags);
// \ProgID = progId; \Control; \Insertable (afxRegInsertable only); \MiscStatus = "0" with \1 =
// the OLEMISC bits in decimal; \ToolboxBitmap32 = "<path>, <idBitmap>"; \TypeLib = {tlid};
// \Version = "<major>.<minor>"; and <progId> = type name with \CLSID = {clsid} (and
// \Insertable).
BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCSTR pszProgID,
                                UINT idTypeName, UINT idBitmap, int nRegFlags, DWORD dwMiscStatus,
                                REFGUID tlid, WORD wVerMajor, WORD wVerMinor);

// Writes CLSID\{clsid} = type name (string idTypeName) and \InprocServer32 = module path (with
// ThreadingModel by the flags).
BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName,
                                     int nRegFlags = afxRegDefault);

// Writes a plain in-process server: CLSID\{clsid}\InprocServer32 = the current module's path,
// \ProgID and <progId>\CLSID when a ProgID is given.
BOOL AfxOleRegisterServerClass(REFCLSID clsid, LPCSTR pszProgID);

// Removes CLSID\{clsid} with its subkeys and, when `pszProgID` is not null, the ProgID key.
// Keys already absent are not an error.
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCSTR pszProgID);

// Registers the module's type library (AfxSetModuleResources), which must have `tlid`:
// TypeLib\{tlid}\<maj>.<min> (version in hex) = help string, \0\win64 = the file (pszFileName,
// default the module's path), \FLAGS = library flags in decimal, \HELPDIR = pszHelpDir or the
// module's folder; and for every dispinterface Interface\{iid} = name, ProxyStubClsid and
// ProxyStubClsid32 = {00020420-0000-0000-C000-000000000046}, TypeLib = {tlid} with Version.
BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCSTR pszFileName = nullptr,
                           LPCSTR pszHelpDir = nullptr);

// Removes version <maj>.<min> of type library `tlid` (and its TypeLib key when no version is
// left) and the Interface keys that name it. FALSE when that version is not registered.
BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor = 0, WORD wVerMinor = 0, LCID lcid = 0);

// The reason the last registration call on this thread failed, "" after a success.
std::string AfxGetRegistrationError();
