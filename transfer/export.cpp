// Brenkar's export, as a placeholder: the record transfer is not written yet, so this
// writes no file, prints nothing and answers 0. It lets the entry point's logon flow run end
// to end until the export itself replaces it.
#include "transfer/export.h"

std::int32_t ExportConfiguration(const char*, bool, bool, bool, bool) {
    return 0;
}
