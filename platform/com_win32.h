// The Windows form of platform/com.h: COM, its interfaces and its creation calls are the SDK's
// (ole32, oleaut32); what is ours is the GUID literal, the narrow GUID texts of registry keys
// and the module of an address.
#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <string>
#include <string_view>

#include "platform/com_errors.h"
#include "platform/guid_literal.h"
#include "platform/variant.h"
#include "platform/win_types.h"

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, as registry keys name a class.
std::string GuidToString(REFGUID guid);
// Reads the braced form (either case); false, with `guid` untouched, for any other text.
bool GuidFromString(std::string_view text, GUID* guid);

// The module that contains `address` (a function or object of it), or null.
HMODULE ModuleFromAddress(const void* address);
