// libFuzzer target for brenkar CHECK: any bytes as a configuration file. Build with
// -DFORECOURT_FUZZ=ON and clang; run for example
//   build-fuzz/tests/fuzz/fuzz_check tests/fuzz/check_seeds -max_total_time=600
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/check_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = check_fuzz::CheckConfigurationFile({data, size});
    if (!failure.empty()) {
        std::fprintf(stderr, "CHECK fuzz check failed: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
