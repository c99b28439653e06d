// Speed of the drawing layer: decoding the three built-in images (done once per editor) and the
// drawing that every knob redraw and paint does.

#include "vstgui/CBitmap.h"
#include "vstgui/COffscreenContext.h"

#include <benchmark/benchmark.h>

using namespace VSTGUI;

// All three images, as the editor loads them: should stay well under 100 ms together.
static void BM_DecodeEmbeddedImages(benchmark::State& state) {
    for (auto _ : state) {
        auto* background = new CBitmap(1);
        auto* azimuth = new CBitmap(10);
        auto* elevation = new CBitmap(100);
        benchmark::DoNotOptimize(background->getWidth() + azimuth->getWidth() +
                                 elevation->getWidth());
        background->forget();
        azimuth->forget();
        elevation->forget();
    }
}
BENCHMARK(BM_DecodeEmbeddedImages)->Unit(benchmark::kMillisecond);

// One frame of a film strip composited into the frame's back buffer.
static void BM_DrawStripFrame(benchmark::State& state) {
    auto* buffer = new COffscreenContext(nullptr, 454, 302);
    auto* strip = new CBitmap(10);
    int frame = 0;
    for (auto _ : state) {
        strip->draw(buffer, CRect(20, 135, 170, 285), CPoint(0, frame * 150));
        frame = (frame + 1) % 50;
    }
    strip->forget();
    buffer->forget();
}
BENCHMARK(BM_DrawStripFrame)->Unit(benchmark::kMicrosecond);

// The whole panel background drawn and the back buffer copied to another surface, as a paint does.
static void BM_PaintPanel(benchmark::State& state) {
    auto* buffer = new COffscreenContext(nullptr, 454, 302);
    auto* window = new COffscreenContext(nullptr, 454, 302);
    auto* background = new CBitmap(1);
    for (auto _ : state) {
        background->draw(buffer, CRect(0, 0, 454, 302));
        buffer->copyFrom(window, CRect(0, 0, 454, 302), CPoint(0, 0));
    }
    background->forget();
    window->forget();
    buffer->forget();
}
BENCHMARK(BM_PaintPanel)->Unit(benchmark::kMicrosecond);

// A readout's redraw: a drawing context made, text drawn, the context released.
static void BM_ContextAndText(benchmark::State& state) {
    auto* buffer = new COffscreenContext(nullptr, 454, 302);
    for (auto _ : state) {
        auto* context = new CDrawContext(nullptr, buffer->getPixmap(), nullptr);
        context->setFont(kNormalFontBig);
        context->setFontColor(kBlackCColor);
        context->drawString("-24\xB0", CRect(120, 115, 160, 133), 0, kCenterText);
        context->forget();
    }
    buffer->forget();
}
BENCHMARK(BM_ContextAndText)->Unit(benchmark::kMicrosecond);
