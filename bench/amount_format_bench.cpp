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

// Argument 0: 0 en-US, 1 pt-BR; argument 1: 0 number, 1 money.
void UseLocale(const benchmark::State& state) {
    setenv("LC_ALL", state.range(0) == 0 ? "en_US.UTF-8" : "pt_BR.UTF-8", 1);
}

void BM_LocaleFormat(benchmark::State& state) {
    UseLocale(state);
    const bool money = state.range(1) != 0;
    WCHAR out[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            money ? GetCurrencyFormatW(LOCALE_USER_DEFAULT, 0, u"-123456.7891", nullptr, out, 32)
                  : GetNumberFormatW(LOCALE_USER_DEFAULT, 0, u"-123456.7891", nullptr, out, 32));
    }
}

void BM_FormatAmount(benchmark::State& state) {
    UseLocale(state);
    const bool money = state.range(1) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tolvan::FormatAmount(kValue, money, money ? 2 : 3, false));
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

BENCHMARK(BM_LocaleFormat)->ArgsProduct({{0, 1}, {0, 1}});
BENCHMARK(BM_FormatAmount)->ArgsProduct({{0, 1}, {0, 1}});
BENCHMARK(BM_FaceReadouts)->ArgsProduct({{0, 1}, {0}});

}  // namespace

BENCHMARK_MAIN();
