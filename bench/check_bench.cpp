// check-bench: brenkar CHECK of a file whose one pump section holds 10,000, 100,000 and
// 1,000,000 keys no kind reads (each a finding), and VERIFY's reading of that file (the
// records a VERIFY compares). Both must grow linearly with the keys: a search of the keys
// before each one, as CHECK and the one-pass reader once made, grows with their square.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "transfer/check.h"
#include "transfer/file_records.h"
#include "transfer/imported_records.h"

namespace {

// The file of `keys` unknown keys, made once per size in a scratch folder.
std::string FileOf(int keys) {
    static const std::filesystem::path folder = [] {
        char pattern[] = "/tmp/check-bench-XXXXXX";
        return std::filesystem::path(mkdtemp(pattern));
    }();
    const std::string path = (folder / ("keys" + std::to_string(keys) + ".ini")).string();
    if (!std::filesystem::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        out << "[Pump01]\r\nNumber=1\r\nName=P1\r\nHose1ID=0\r\n";
        for (int i = 0; i < keys; ++i) {
            out << "Extra" << i << "=" << i << "\r\n";
        }
    }
    return path;
}

// CHECK's console goes to a scratch file, written as a terminal would be.
class QuietStdout {
  public:
    QuietStdout() : saved_(dup(1)) {
        std::fflush(stdout);
        const int out = open("/tmp/check-bench-output.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        close(out);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
        unlink("/tmp/check-bench-output.txt");
    }

  private:
    int saved_;
};

// 10,000 to 1,000,000 keys, each size once a repetition (a run of a million takes seconds).
void KeyCounts(benchmark::internal::Benchmark* run) {
    run->Arg(10000)->Arg(100000)->Arg(1000000);
    run->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
    run->Iterations(1)->Repetitions(3);
}

void BM_CheckOneSectionOfManyKeys(benchmark::State& state) {
    const std::string path = FileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QuietStdout quiet;
        ResetImportedRecords();
        if (CheckConfiguration(path.c_str()) != 1) {
            state.SkipWithError("CHECK did not report the keys");
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CheckOneSectionOfManyKeys)->Apply(KeyCounts);

void BM_VerifyReadsOneSectionOfManyKeys(benchmark::State& state) {
    const std::string path = FileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const FileRecords records(path.c_str());
        benchmark::DoNotOptimize(records.ValueCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_VerifyReadsOneSectionOfManyKeys)->Apply(KeyCounts);

}  // namespace

BENCHMARK_MAIN();
