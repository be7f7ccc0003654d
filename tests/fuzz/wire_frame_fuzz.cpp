// libFuzzer target for the wire protocol: any bytes as a frame, a request to serve and a
// response to apply. Build with -DFORECOURT_FUZZ=ON and clang; run for example
//   build-fuzz/tests/fuzz/fuzz_wire_frame tests/fuzz/wire_frame_seeds -max_total_time=600
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/wire_frame_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string failure = wire_fuzz::CheckWireFrame({data, size});
    if (!failure.empty()) {
        std::fprintf(stderr, "wire frame check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
