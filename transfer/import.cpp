// Brenkar's import, as a placeholder: the record transfer is not written yet, so this
// reads nothing, prints nothing and answers 0. It lets the entry point's logon flow run end
// to end until the import itself replaces it.
#include "transfer/import.h"

std::int32_t ImportConfiguration(const char*) {
    return 0;
}
