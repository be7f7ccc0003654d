// HRESULT codes of COM, OLE Automation and self-registration that the platform layer and
// the control framework return, with SUCCEEDED/FAILED and a readable text for each code.
#pragma once

#include <string>

#include "platform/win_types.h"

#ifdef _WIN32
// The codes, SCODE, SUCCEEDED and FAILED are the SDK's (winerror.h, olectl.h); the codes that
// name a missing module or export are ours.
#include <olectl.h>

constexpr HRESULT HRESULT_MOD_NOT_FOUND = __HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
constexpr HRESULT HRESULT_PROC_NOT_FOUND = __HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
#else

using SCODE = HRESULT;

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

constexpr HRESULT MakeHResult(std::uint32_t value) {
    return static_cast<HRESULT>(value);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001);
constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002);
constexpr HRESULT E_POINTER = MakeHResult(0x80004003);
constexpr HRESULT E_FAIL = MakeHResult(0x80004005);
constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000E);
constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057);
constexpr HRESULT E_ACCESSDENIED = MakeHResult(0x80070005);

constexpr HRESULT DISP_E_UNKNOWNINTERFACE = MakeHResult(0x80020001);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003);
constexpr HRESULT DISP_E_PARAMNOTFOUND = MakeHResult(0x80020004);
constexpr HRESULT DISP_E_TYPEMISMATCH = MakeHResult(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = MakeHResult(0x80020006);
constexpr HRESULT DISP_E_NONAMEDARGS = MakeHResult(0x80020007);
constexpr HRESULT DISP_E_BADVARTYPE = MakeHResult(0x80020008);
constexpr HRESULT DISP_E_EXCEPTION = MakeHResult(0x80020009);
constexpr HRESULT DISP_E_OVERFLOW = MakeHResult(0x8002000A);
constexpr HRESULT DISP_E_BADINDEX = MakeHResult(0x8002000B);
constexpr HRESULT DISP_E_UNKNOWNLCID = MakeHResult(0x8002000C);
constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeHResult(0x8002000E);
constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = MakeHResult(0x8002000F);

constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = MakeHResult(0x8002802B);
constexpr HRESULT TYPE_E_REGISTRYACCESS = MakeHResult(0x8002801C);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = MakeHResult(0x8002801D);

constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHResult(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);
constexpr HRESULT REGDB_E_WRITEREGDB = MakeHResult(0x80040151);
constexpr HRESULT REGDB_E_READREGDB = MakeHResult(0x80040150);
constexpr HRESULT CO_E_CLASSSTRING = MakeHResult(0x800401F3);
constexpr HRESULT CO_E_ERRORINDLL = MakeHResult(0x800401F9);
constexpr HRESULT CO_E_DLLNOTFOUND = MakeHResult(0x800401F8);
constexpr HRESULT CO_E_ALREADYINITIALIZED = MakeHResult(0x800401F1);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = MakeHResult(0x80040003);
constexpr HRESULT OLE_E_NOCONNECTION = MakeHResult(0x80040004);
constexpr HRESULT OLE_E_NOT_INPLACEACTIVE = MakeHResult(0x80040010);
constexpr HRESULT DV_E_DVASPECT = MakeHResult(0x8004006B);
// Stream errors: a function the stream lacks, a read past the end of what was written, data
// that is not in the reader's format, or in a later version of it, or damaged.
constexpr HRESULT STG_E_INVALIDFUNCTION = MakeHResult(0x80030001);
constexpr HRESULT STG_E_INVALIDPOINTER = MakeHResult(0x80030009);
constexpr HRESULT STG_E_MEDIUMFULL = MakeHResult(0x80030070);
constexpr HRESULT STG_E_READFAULT = MakeHResult(0x8003001E);
constexpr HRESULT STG_E_INVALIDHEADER = MakeHResult(0x800300FB);
constexpr HRESULT STG_E_OLDDLL = MakeHResult(0x80030105);
constexpr HRESULT STG_E_DOCFILECORRUPT = MakeHResult(0x80030109);
constexpr HRESULT CONNECT_E_NOCONNECTION = MakeHResult(0x80040200);
constexpr HRESULT CONNECT_E_CANNOTCONNECT = MakeHResult(0x80040202);
constexpr HRESULT SELFREG_E_TYPELIB = MakeHResult(0x80040200);
constexpr HRESULT SELFREG_E_CLASS = MakeHResult(0x80040201);
// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) and (ERROR_PROC_NOT_FOUND): a module file that
// cannot be loaded, and a module without the export asked for.
constexpr HRESULT HRESULT_MOD_NOT_FOUND = MakeHResult(0x8007007E);
constexpr HRESULT HRESULT_PROC_NOT_FOUND = MakeHResult(0x8007007F);

// Errors of the control framework (FACILITY_CONTROL): a put of a read-only property and a get
// of a write-only one.
constexpr HRESULT CTL_E_SETNOTSUPPORTED = MakeHResult(0x800A017F);
constexpr HRESULT CTL_E_GETNOTSUPPORTED = MakeHResult(0x800A018A);

#endif  // _WIN32

// "Type mismatch (0x80020005)": the code's text and the code in hex, for messages. Codes
// without a text of their own print as "Error (0x........)". CONNECT_E_NOCONNECTION and
// SELFREG_E_TYPELIB share a value; it reads as the registration error.
std::string HResultText(HRESULT hr);

// "Type mismatch": the code's text alone ("Error" for codes without one).
std::string HResultMessage(HRESULT hr);

// "0x80020005": the code as eight upper-case hex digits.
std::string HResultHex(HRESULT hr);
