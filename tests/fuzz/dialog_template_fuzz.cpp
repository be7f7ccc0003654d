// libFuzzer target for the DIALOGEX reader: any bytes as a dialog template. Build with
// -DFORECOURT_FUZZ=ON and clang; run for example
//   build-fuzz/tests/fuzz/fuzz_dialog_template tests/fuzz/dialog_template_seeds -max_total_time=600
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/gdi_readers_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = gdi_fuzz::CheckDialogBytes(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "dialog template check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
