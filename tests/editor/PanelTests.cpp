// The panel's layout and readouts, on the headless platform.
#include "editor/VrpEditor.h"
#include "plugin/AVorpane.h"
#include "tests/support/HeadlessPlatform.h"
#include "vstgui/CAnimKnob.h"
#include "vstgui/CFrame.h"
#include "vstgui/CParamDisplay.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace VSTGUI;

std::string text(void (*convert)(float, char*), float value) {
    char buffer[16] = {};
    convert(value, buffer);
    return buffer;
}

TEST(Panel, ReadoutsInDegrees) {
    EXPECT_EQ(text(azimuthToText, 0.0f), "-90\xB0");
    EXPECT_EQ(text(azimuthToText, 0.5f), " 0\xB0");
    EXPECT_EQ(text(azimuthToText, 1.0f), "90\xB0");
    EXPECT_EQ(text(elevationToText, 0.0f), "-45\xB0");
    EXPECT_EQ(text(elevationToText, 0.5f), "90\xB0");
    EXPECT_EQ(text(elevationToText, 1.0f), "225\xB0");
}

TEST(Panel, LayoutFollowsTheImages) {
    platform::HeadlessPlatform system;
    platform::setPlatform(&system);
    AVorpane plugin(nullptr);
    auto* editor = static_cast<VrpEditor*>(plugin.getEditor());
    int window = 0;
    ASSERT_TRUE(editor->open(&window));
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    CRect r;
    EXPECT_EQ(frame->getViewSize(r), CRect(0, 0, 454, 302));
    ASSERT_EQ(frame->getNbViews(), 4);
    EXPECT_EQ(frame->getView(0)->getViewSize(r), CRect(20, 135, 170, 285));
    EXPECT_EQ(frame->getView(1)->getViewSize(r), CRect(260, 135, 410, 285));
    EXPECT_EQ(frame->getView(2)->getViewSize(r), CRect(120, 115, 160, 133));
    EXPECT_EQ(frame->getView(3)->getViewSize(r), CRect(370, 118, 410, 136));
    // Both knobs at 0 show their first strip frame; at 1 their last.
    plugin.setParameter(0, 1.0f);
    plugin.setParameter(1, 0.0f);
    editor->idle();
    EXPECT_EQ(static_cast<CAnimKnob*>(frame->getView(0))->frameOffset(), 49 * 150);
    EXPECT_EQ(static_cast<CAnimKnob*>(frame->getView(1))->frameOffset(), 0);
    EXPECT_EQ(static_cast<CControl*>(frame->getView(3))->getValue(), 0.0f);
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    platform::setPlatform(nullptr);
}

} // namespace
