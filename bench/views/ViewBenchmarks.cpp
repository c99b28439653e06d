// Drawing the editor-sized frame through its back buffer: a full draw, an idle pass with one
// dirty knob, and an idle pass with nothing dirty (which must draw nothing).
#include "tests/support/HeadlessPlatform.h"
#include "tests/support/MemoryBitmap.h"
#include "vstgui/CAnimKnob.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/COffscreenContext.h"
#include "vstgui/CParamDisplay.h"
#include "vstgui/platform/DrawSurface.h"

#include <benchmark/benchmark.h>

#include <cairo.h>
#include <cstdlib>

using namespace VSTGUI;

namespace {

// An opaque bitmap filled in memory, standing in for the panel's images.
vorpane::test::MemoryBitmap* filledBitmap(int32_t w, int32_t h) {
    return new vorpane::test::MemoryBitmap(w, h, [](int32_t x, int32_t y) {
        return static_cast<uint32_t>((x * 7 + y * 3) & 0xFFFFFF);
    });
}

// A frame of 454 x 302 with a background, two film-strip knobs of 150 x 150 (50 frames) and
// two value displays, drawn once, with a window of its own in the headless platform.
struct Panel {
    Panel() {
        platform::setPlatform(&system);
        background = filledBitmap(454, 302);
        auto* strip = filledBitmap(150, 7500);
        frame = new CFrame(CRect(0, 0, 454, 302), reinterpret_cast<void*>(0x1), nullptr);
        frame->setBackground(background);
        knob = new CAnimKnob(CRect(20, 135, 170, 285), nullptr, 0, 50, 150, strip, CPoint());
        frame->addView(knob);
        frame->addView(
            new CAnimKnob(CRect(260, 135, 410, 285), nullptr, 1, 50, 150, strip, CPoint()));
        strip->forget();
        for (int32_t i = 0; i < 2; ++i) {
            auto* display = new CParamDisplay(
                CRect(120 + 250 * i, 115 + 3 * i, 160 + 250 * i, 133 + 3 * i), background, 1);
            display->setFont(2);
            display->setFontColor(kBlackCColor);
            frame->addView(display);
        }
        windowImage = system.windowImage(frame->getPlatformWindow());
        frame->handlePaint(windowImage, CRect(0, 0, 454, 302));
    }
    ~Panel() {
        frame->forget();
        background->forget();
        platform::setPlatform(nullptr);
    }
    platform::HeadlessPlatform system;
    CBitmap* background = nullptr;
    CFrame* frame = nullptr;
    CAnimKnob* knob = nullptr;
    cairo_surface_t* windowImage = nullptr;
};

void BM_FullFrameDraw(benchmark::State& state) {
    Panel panel;
    COffscreenContext* buffer = panel.frame->getBackBuffer();
    for (auto _ : state) {
        panel.frame->draw(static_cast<CDrawContext*>(buffer));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FullFrameDraw)->Unit(benchmark::kMicrosecond);

void BM_IdleOneDirtyKnob(benchmark::State& state) {
    Panel panel;
    float value = 0.0f;
    for (auto _ : state) {
        value = value >= 1.0f ? 0.0f : value + 0.02f; // a new strip frame every time
        panel.knob->setValue(value);
        panel.frame->idle();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_IdleOneDirtyKnob)->Unit(benchmark::kMicrosecond);

void BM_IdleNothingDirty(benchmark::State& state) {
    Panel panel;
    panel.frame->idle();
    if (panel.frame->isDirty()) {
        state.SkipWithError("the panel stays dirty after an idle pass");
        return;
    }
    for (auto _ : state) {
        panel.frame->idle();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_IdleNothingDirty)->Unit(benchmark::kNanosecond);

} // namespace
