// Texts of the HRESULT codes this layer returns, for messages of tools and tests.
#include "platform/com_errors.h"

#include <cstdio>

std::string HResultHex(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
    return buffer;
}

namespace {

const char* MessageOf(HRESULT hr) {
    struct Entry {
        HRESULT code;
        const char* text;
    };
    static constexpr Entry kTexts[] = {
        {S_OK, "Success"},
        {S_FALSE, "Success (false)"},
        {E_NOTIMPL, "Not implemented"},
        {E_NOINTERFACE, "No such interface supported"},
        {E_POINTER, "Invalid pointer"},
        {E_FAIL, "Unspecified error"},
        {E_UNEXPECTED, "Catastrophic failure"},
        {E_OUTOFMEMORY, "Out of memory"},
        {E_INVALIDARG, "Invalid argument"},
        {E_ACCESSDENIED, "Access denied"},
        {DISP_E_UNKNOWNINTERFACE, "Unknown interface"},
        {DISP_E_MEMBERNOTFOUND, "Member not found"},
        {DISP_E_PARAMNOTFOUND, "Parameter not found"},
        {DISP_E_TYPEMISMATCH, "Type mismatch"},
        {DISP_E_UNKNOWNNAME, "Unknown name"},
        {DISP_E_NONAMEDARGS, "No named arguments"},
        {DISP_E_BADVARTYPE, "Bad variable type"},
        {DISP_E_EXCEPTION, "Exception occurred"},
        {DISP_E_OVERFLOW, "Out of present range"},
        {DISP_E_BADINDEX, "Invalid index"},
        {DISP_E_UNKNOWNLCID, "Unknown language"},
        {DISP_E_BADPARAMCOUNT, "Invalid number of parameters"},
        {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional"},
        {TYPE_E_ELEMENTNOTFOUND, "Element not found"},
        {TYPE_E_REGISTRYACCESS, "Error accessing the registry"},
        {TYPE_E_LIBNOTREGISTERED, "Library not registered"},
        {CLASS_E_NOAGGREGATION, "Class does not support aggregation"},
        {CLASS_E_CLASSNOTAVAILABLE, "Class not available from this module"},
        {REGDB_E_CLASSNOTREG, "Class not registered"},
        {REGDB_E_WRITEREGDB, "Could not write the registry"},
        {REGDB_E_READREGDB, "Could not read the registry"},
        {CO_E_CLASSSTRING, "Invalid class string"},
        {CO_E_ERRORINDLL, "Error in the module"},
        {CO_E_DLLNOTFOUND, "Module not found"},
        {SELFREG_E_TYPELIB, "Type library registration failed"},
        {SELFREG_E_CLASS, "Class registration failed"},
        {CONNECT_E_CANNOTCONNECT, "Cannot connect"},
        {HRESULT_MOD_NOT_FOUND, "The specified module could not be found"},
        {HRESULT_PROC_NOT_FOUND, "The specified procedure could not be found"},
        {CTL_E_SETNOTSUPPORTED, "Property is read-only"},
        {CTL_E_GETNOTSUPPORTED, "Property is write-only"},
    };
    for (const Entry& entry : kTexts) {
        if (entry.code == hr) {
            return entry.text;
        }
    }
    return "Error";
}

}  // namespace

std::string HResultMessage(HRESULT hr) {
    return MessageOf(hr);
}

std::string HResultText(HRESULT hr) {
    return HResultMessage(hr) + " (" + HResultHex(hr) + ")";
}
