// The one libFuzzer entry point of every target in tests/fuzz/: CMake compiles it once per
// target with the target's check (FORECOURT_FUZZ_CHECK from FORECOURT_FUZZ_CHECK_HEADER). A
// check returns "" when every property held for the input, else what broke; the sanitizers
// catch the rest.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include FORECOURT_FUZZ_CHECK_HEADER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = FORECOURT_FUZZ_CHECK({data, size});
    if (!failure.empty()) {
        std::fprintf(stderr, "%s: %s\n", FORECOURT_FUZZ_NAME, failure.c_str());
        std::abort();
    }
    return 0;
}
