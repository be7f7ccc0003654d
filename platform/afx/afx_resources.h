// The framework's view of module resources: which module's resources the current code uses.
#pragma once

#include "platform/resources.h"

// The module that holds resource `name` of `type`: the current module (its state's instance
// handle) when it has that resource, else null (the program, to the resource calls) when the
// program has it, else the current module (where loading it then fails).
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
