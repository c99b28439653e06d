// The host's automation thread sets parameters while the UI thread idles the open panel: the
// controls are only touched on the UI thread, and the last value set is the one shown.
#include "editor/AEffGUIEditor.h"
#include "plugin/AVorpane.h"
#include "tests/support/HeadlessPlatform.h"
#include "tools/plugin-loader/PluginLibrary.h"
#include "vstgui/CControl.h"
#include "vstgui/CFrame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

float shownValue(AEffEditor* editor, int32_t tag) {
    auto* gui = static_cast<AEffGUIEditor*>(editor);
    VSTGUI::CFrame* frame = gui->getFrame();
    for (int32_t i = 0; frame && i < frame->getNbViews(); ++i)
        if (auto* control = dynamic_cast<VSTGUI::CControl*>(frame->getView(i));
            control && control->isTypeOf("CKnob") && control->getTag() == tag)
            return control->getValue();
    return -1.0f;
}

TEST(EditorThreads, IdleOnTheUiThreadWhileAnotherThreadSetsParameters) {
    VSTGUI::platform::HeadlessPlatform system;
    VSTGUI::platform::setPlatform(&system);
    auto* plugin = new AVorpane(&loader::silentHostCallback);
    AEffect* effect = plugin->getAeffect();
    int parentWindow = 0;
    ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, &parentWindow, 0.0f), 1);

    // The automation starts once the UI thread idles, so that the two overlap even when the
    // machine is too busy to start the idle loop before 20000 changes are made.
    std::atomic<bool> idling{false};
    std::atomic<bool> done{false};
    std::thread automation([&] {
        while (!idling.load())
            std::this_thread::yield();
        for (int i = 0; i <= 20000; ++i) {
            effect->setParameter(effect, 0, static_cast<float>(i % 101) / 100.0f);
            effect->setParameter(effect, 1, static_cast<float>(i % 37) / 36.0f);
        }
        done = true;
    });
    int idles = 0;
    while (!done.load()) {
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        ++idles;
        idling = true;
    }
    automation.join();
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);

    EXPECT_GT(idles, 0);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.02f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 1), 20.0f / 36.0f);
    EXPECT_EQ(shownValue(plugin->getEditor(), 0), effect->getParameter(effect, 0));
    EXPECT_EQ(shownValue(plugin->getEditor(), 1), effect->getParameter(effect, 1));
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    VSTGUI::platform::setPlatform(nullptr);
}

} // namespace
