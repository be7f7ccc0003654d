// libFuzzer target for the DIB reader: any bytes as a packed DIB and as a .bmp file. Build with
// -DFORECOURT_FUZZ=ON and clang; run for example
//   build-fuzz/tests/fuzz/fuzz_bmp tests/fuzz/bmp_seeds -max_total_time=600
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/gdi_readers_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = gdi_fuzz::CheckBitmapBytes(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "bitmap check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
