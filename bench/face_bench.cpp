// face-bench: Tolvan's own face paint (FacePainter, as OnDraw runs it) into an 80 by 80 surface
// DC: a full paint of a delivering pump with stacked deliveries, and the readouts-only repaint
// that a status changing only the amounts asks for (the rectangle 1, 18, 56, 46). Each reports
// the time of one paint and the share of one core that 32 pumps repainted so at 10 Hz take
// (core_percent_32x10Hz, thread CPU time, in per cent of one core). The locale is en-US.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>

#include "control/face_painter.h"

namespace {

using tolvan::CDelivery;
using tolvan::FacePainter;
using tolvan::FaceResources;
using tolvan::kFaceVolumeAndValueRepaint;
using tolvan::PumpProperties;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

PumpProperties DeliveringPump() {
    PumpProperties pump;
    pump.Number = 12;
    pump.PumpState = 8;
    pump.CurHoseNumber = 1;
    pump.CurShortGradeName = "U91";
    pump.CurPrice = FixedAmount::FromDouble(1.999);
    return pump;
}

void PaintFaces(benchmark::State& state, CRect invalid) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    FaceResources resources;
    CBitmap* faceOldBitmap = nullptr;
    CElementList<CDelivery> deliveries;
    for (int i = 0; i < 3; ++i) {
        auto* stacked = new CDelivery;
        stacked->DeliveryID = i + 1;
        stacked->DeliveryState = 2;
        deliveries.Add(stacked);
    }
    platform::PixelSurface surface;
    surface.Reset(80, 80, 0xF0F0F0);
    CDC dc;
    dc.Attach(CreateSurfaceDC(surface, POINT{0, 0}, {RECT{0, 0, 80, 80}}));
    PumpProperties pump = DeliveringPump();
    FacePainter painter(resources, faceOldBitmap);
    long tick = 0;
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        // The amounts change every paint, as they do while a delivery runs.
        ++tick;
        pump.CurVolume = FixedAmount::FromCount(tick * 523);
        pump.CurValue = FixedAmount::FromCount(tick * 1045);
        painter.Paint(dc, CRect(0, 0, 80, 80), invalid, 0xF0F0F0, pump, true, deliveries);
        benchmark::DoNotOptimize(surface.pixels.data());
    }
    const double perPaint =
        (ThreadCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.counters["core_percent_32x10Hz"] = 320.0 * perPaint * 100.0;
}

void BM_FullFacePaint(benchmark::State& state) {
    PaintFaces(state, CRect(0, 0, 80, 80));
}

void BM_ReadoutsRepaint(benchmark::State& state) {
    PaintFaces(state, kFaceVolumeAndValueRepaint);
}

BENCHMARK(BM_FullFacePaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadoutsRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
