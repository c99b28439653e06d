// Helpers for the view tree tests: a headless platform installed per test, drawing contexts on
// image surfaces, synthetic bitmaps and views, listeners and editors that record what reaches them.
#pragma once

#include "editor/AEffGUIEditor.h"
#include "tests/support/HeadlessPlatform.h"
#include "tests/support/MemoryBitmap.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CControl.h"
#include "vstgui/CControlListener.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/DrawSurface.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <functional>
#include <string>
#include <vector>

namespace viewtest {

using namespace VSTGUI;

// Installs a fresh headless platform for each test.
class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::setPlatform(&system);
        CFrame::setGlobalKnobMode(kCircularModeForTests);
    }
    void TearDown() override { platform::setPlatform(nullptr); }
    static constexpr int32_t kCircularModeForTests = 0;
    platform::HeadlessPlatform system;
};

// A drawing context on an image surface of its own.
class ImageContext {
  public:
    ImageContext(int32_t width, int32_t height, CFrame* frame = nullptr)
        : image(platform::DrawSurface::createImage(width, height)),
          context(new CDrawContext(frame, image, nullptr)) {}
    ~ImageContext() {
        context->forget();
        cairo_surface_destroy(image);
    }
    ImageContext(const ImageContext&) = delete;
    ImageContext& operator=(const ImageContext&) = delete;

    CDrawContext* get() const { return context; }
    CColor pixel(int32_t x, int32_t y) const { return pixelOf(image, x, y); }

    static CColor pixelOf(cairo_surface_t* surface, int32_t x, int32_t y) {
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        uint32_t v = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
        return CColor{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                      static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 24)};
    }

    cairo_surface_t* image;
    CDrawContext* context;
};

using vorpane::test::MemoryBitmap;

// A view that fills its whole rectangle (edges included) with a colour and records its calls.
class RecordingView : public CView {
  public:
    RecordingView(const CRect& size, CColor colour, std::vector<std::string>* log = nullptr,
                  std::string name = {})
        : CView(size), colour(colour), log(log), name(std::move(name)) {}
    ~RecordingView() override {
        if (destroyed) *destroyed = true;
    }

    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(colour);
        context->drawRect(size, 1);
        setDirty(false);
    }
    void mouse(CDrawContext*, CPoint& where, int32_t buttons) override {
        lastMouse = where;
        lastButtons = buttons;
        record("mouse");
    }
    int32_t onKeyDown(VstKeyCode&) override {
        record("key");
        return keyResult;
    }
    using CView::onWheel;
    bool onWheel(CDrawContext*, const CPoint& where, float distance) override {
        lastMouse = where;
        lastWheel = distance;
        record("wheel");
        return true;
    }
    bool onDrop(CDrawContext*, CDragContainer*, const CPoint&) override {
        record("drop");
        return true;
    }
    void onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) override { record("enter"); }
    void onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) override { record("leave"); }
    void onDragMove(CDrawContext*, CDragContainer*, const CPoint&) override { record("move"); }
    void loseFocus(CDrawContext*) override { record("loseFocus"); }

    void record(const std::string& what) {
        if (log) log->push_back(name + ":" + what);
    }

    CColor colour;
    std::vector<std::string>* log;
    std::string name;
    int32_t draws = 0;
    int32_t keyResult = -1;
    CPoint lastMouse{-1000, -1000};
    int32_t lastButtons = 0;
    float lastWheel = 0.0f;
    bool* destroyed = nullptr;
};

// Records value changes as "change <tag> <value>".
class RecordingListener : public CControlListener {
  public:
    explicit RecordingListener(std::vector<std::string>& log) : log(log) {}
    void valueChanged(CDrawContext*, CControl* control) override {
        char text[64];
        std::snprintf(text, sizeof(text), "change %d %.4f", control->getTag(),
                      static_cast<double>(control->getValue()));
        log.push_back(text);
        values.push_back(control->getValue());
    }
    int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t buttons) override {
        log.push_back("modifier " + std::to_string(buttons));
        return modifierAnswer;
    }
    std::vector<std::string>& log;
    std::vector<float> values;
    int32_t modifierAnswer = 0;
};

// An editor without a plug-in that records the gestures and idle requests of its frame.
class RecordingEditor : public AEffGUIEditor {
  public:
    explicit RecordingEditor(std::vector<std::string>& log) : AEffGUIEditor(nullptr), log(log) {}
    void beginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }
    void doIdleStuff() override {
        ++idleRequests;
        if (onIdle) onIdle();
    }
    // Lets a test own the frame as the editor does.
    void adopt(CFrame* newFrame) { frame = newFrame; }
    void release() { frame = nullptr; }

    std::vector<std::string>& log;
    int32_t idleRequests = 0;
    std::function<void()> onIdle;
};

inline bool sameColour(CColor a, CColor b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

} // namespace viewtest
