// paint-bench: one pump face's paint into an 80 by 80 memory DC, as the control paints it: the
// background filled, four bitmaps drawn with a transparent key (body, stack strip, nozzle,
// status icon) and three text lines (the pump number and two readouts), with fonts and bitmaps
// made once. Reports the time a paint takes and the share of one core that 32 pumps repainted
// at 10 Hz would take (core_percent_32x10Hz, in per cent of one core).
#include <benchmark/benchmark.h>

#include <time.h>

#include "platform/afx/dc.h"

namespace {

constexpr COLORREF kKey = RGB(128, 0, 128);

// A bitmap of w by h with a key-coloured border and a two-colour pattern inside, as the face
// bitmaps have transparent margins around their pictures.
void MakePicture(CBitmap& bitmap, CDC& screen, int w, int h) {
    bitmap.CreateCompatibleBitmap(&screen, w, h);
    platform::PixelSurface* pixels = BitmapSurface(bitmap);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool margin = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
            pixels->at(x, y) = margin ? 0x800080 : ((x / 3 + y / 3) % 2 ? 0x404040 : 0xC0C0C0);
        }
    }
}

void MakeFont(CFont& font, LONG height, LONG weight, const char16_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    for (int i = 0; face[i] != 0; ++i)
        lf.lfFaceName[i] = face[i];
    font.CreateFontIndirect(&lf);
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_PaintPumpFace(benchmark::State& state) {
    CDC target;
    target.CreateCompatibleDC(nullptr);
    CBitmap frame, body, strip, nozzle, icon;
    MakePicture(frame, target, 80, 80);
    target.SelectObject(&frame);
    MakePicture(body, target, 62, 80);
    MakePicture(strip, target, 52, 13);
    MakePicture(nozzle, target, 18, 69);
    MakePicture(icon, target, 45, 35);
    CFont numberFont, readoutFont;
    MakeFont(numberFont, 19, FW_BOLD, u"Arial");
    MakeFont(readoutFont, 16, FW_BOLD, u"Arial");
    CBrush background(RGB(212, 208, 200));
    const CRect bounds(0, 0, 80, 80);

    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        CDC memory;
        memory.CreateCompatibleDC(&target);
        CFont* oldFont = target.SelectObject(&numberFont);
        target.SetBkMode(TRANSPARENT);
        target.FillRect(&bounds, &background);
        CBitmap* oldBitmap = memory.SelectObject(&body);
        target.TransparentBlt(0, 0, 62, 80, &memory, 0, 0, 62, 80, kKey);
        target.SetTextColor(RGB(255, 255, 255));
        CRect number(6, 1, 23, 16);
        target.DrawText("08", &number, DT_LEFT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
        target.SelectObject(&readoutFont);
        target.SetTextColor(RGB(0, 128, 0));
        CRect volume(9, 18, 55, 31), value(9, 30, 55, 43);
        target.DrawText("12.345", &volume, DT_RIGHT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
        target.DrawText("R$67,89", &value, DT_RIGHT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
        memory.SelectObject(&nozzle);
        target.TransparentBlt(62, 11, 18, 69, &memory, 0, 0, 18, 69, kKey);
        memory.SelectObject(&strip);
        target.TransparentBlt(29, 0, 52, 13, &memory, 0, 0, 52, 13, kKey);
        memory.SelectObject(&icon);
        target.TransparentBlt(9, 45, 45, 35, &memory, 0, 0, 45, 35, kKey);
        memory.SelectObject(oldBitmap);
        target.SelectObject(oldFont);
        benchmark::DoNotOptimize(BitmapSurface(frame)->pixels.data());
    }
    // 32 pumps at 10 paints a second: 320 paints a second, each taking a paint's CPU time.
    const double perPaint =
        (ThreadCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.counters["core_percent_32x10Hz"] = 320.0 * perPaint * 100.0;
}
BENCHMARK(BM_PaintPumpFace)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
