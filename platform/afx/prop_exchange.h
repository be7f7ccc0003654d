// Property exchange: one DoPropExchange routine of a control serves loading, saving and
// resetting its persistent properties. PX_* functions read a property from the container's
// property bag (or take its default), write it, or set it to its default.
#pragma once

#include <string>

#include "platform/com.h"

class CPropExchange {
  public:
    enum class Mode { Load, Save, Reset };

    // `bag` may be null only for Reset.
    CPropExchange(Mode mode, IPropertyBag* bag) : mode_(mode), bag_(bag) {}

    // True for Load and Reset: the properties are being set.
    BOOL IsLoading() const { return mode_ != Mode::Save; }
    Mode GetMode() const { return mode_; }

    // The version stamp: loading reads "_Version" (the default when absent) into
    // `versionLoaded`; saving writes `versionDefault`. With `convert` false a loaded version
    // other than the default fails (FALSE).
    BOOL ExchangeVersion(DWORD& versionLoaded, DWORD versionDefault, BOOL convert);

    // Exchanges one property of automation type `vt` (VT_I2, VT_I4, VT_BOOL, VT_R8, VT_BSTR)
    // held in the VARIANT `value`; `defaultValue` is taken on Reset and when a load finds
    // nothing. FALSE when the bag refuses a write or holds a value that does not convert.
    BOOL ExchangeProp(LPCSTR name, VARTYPE vt, VARIANT* value, const VARIANT& defaultValue);

  private:
    Mode mode_;
    IPropertyBag* bag_;
};

BOOL PX_Long(CPropExchange* pPX, LPCSTR name, LONG& value, LONG defaultValue);
BOOL PX_Short(CPropExchange* pPX, LPCSTR name, SHORT& value, SHORT defaultValue);
BOOL PX_Bool(CPropExchange* pPX, LPCSTR name, BOOL& value, BOOL defaultValue);
BOOL PX_Double(CPropExchange* pPX, LPCSTR name, double& value, double defaultValue);
BOOL PX_String(CPropExchange* pPX, LPCSTR name, std::string& value,
               const std::string& defaultValue);
