// amount-format-bench: the cost of the amounts a face shows, per call: GetNumberFormatW and
// GetCurrencyFormatW with the locale's own format, FormatAmount (which reads its locale items
// one by one, as the control does), and the three readouts one face paint needs.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "control/amount_format.h"
#include "control/readout_text.h"
#include "platform/nls.h"

namespace {

const FixedAmount kValue = FixedAmount::FromCount(1234567891);  // 123456.7891

void UseLocale(const benchmark::State& state) {
    setenv("LC_ALL", state.range(0) == 0 ? "en_US.UTF-8" : "pt_BR.UTF-8", 1);
}

void BM_GetNumberFormatW(benchmark::State& state) {
    UseLocale(state);
    WCHAR out[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            GetNumberFormatW(LOCALE_USER_DEFAULT, 0, u"-123456.7891", nullptr, out, 32));
    }
}

void BM_GetCurrencyFormatW(benchmark::State& state) {
    UseLocale(state);
    WCHAR out[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            GetCurrencyFormatW(LOCALE_USER_DEFAULT, 0, u"-123456.7891", nullptr, out, 32));
    }
}

void BM_FormatAmountNumber(benchmark::State& state) {
    UseLocale(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvan::FormatAmount(kValue, false, 3, false));
    }
}

void BM_FormatAmountCurrency(benchmark::State& state) {
    UseLocale(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvan::FormatAmount(kValue, true, 2, false));
    }
}

// What one paint of a face formats: volume, value and price with the default codes.
void BM_FaceReadouts(benchmark::State& state) {
    UseLocale(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvan::VolumeReadout(kValue, 9));
        benchmark::DoNotOptimize(tolvan::ValueReadout(kValue, 10));
        benchmark::DoNotOptimize(tolvan::PriceReadout(FixedAmount::FromCount(57990), 1));
    }
}

// Argument 0: en-US, 1: pt-BR.
BENCHMARK(BM_GetNumberFormatW)->Arg(0)->Arg(1);
BENCHMARK(BM_GetCurrencyFormatW)->Arg(0)->Arg(1);
BENCHMARK(BM_FormatAmountNumber)->Arg(0)->Arg(1);
BENCHMARK(BM_FormatAmountCurrency)->Arg(0)->Arg(1);
BENCHMARK(BM_FaceReadouts)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
