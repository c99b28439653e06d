// Tests of the glue classes that no host request reaches directly.
#include "editor/AEffEditor.h"
#include "plugin/AVorpane.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

std::string format(AudioEffect& effect, int32_t value, int32_t maxLen = 8) {
    char text[32];
    std::memset(text, 0x5A, sizeof(text));
    effect.int2string(value, text, maxLen);
    EXPECT_EQ(text[maxLen], 0);
    return text;
}

int destroyedEditors = 0;

class CountingEditor : public AEffEditor {
  public:
    using AEffEditor::AEffEditor;
    ~CountingEditor() override { ++destroyedEditors; }
};

// Keeps the last key record it was handed.
class KeyRecordingEditor : public AEffEditor {
  public:
    using AEffEditor::AEffEditor;
    bool onKeyDown(VstKeyCode& keyCode) override {
        last = keyCode;
        return true;
    }
    bool onKeyUp(VstKeyCode& keyCode) override {
        last = keyCode;
        return false;
    }
    VstKeyCode last{};
};

} // namespace

TEST(Int2String, Cases) {
    AVorpane plugin(nullptr);
    EXPECT_EQ(format(plugin, 0), "0");
    EXPECT_EQ(format(plugin, 7), "7");
    EXPECT_EQ(format(plugin, -7), "-7");
    EXPECT_EQ(format(plugin, 10), "10");
    EXPECT_EQ(format(plugin, 99999999), "99999999");
    EXPECT_EQ(format(plugin, 100000000), "Huge!");
    EXPECT_EQ(format(plugin, std::numeric_limits<int32_t>::max()), "Huge!");
    EXPECT_EQ(format(plugin, -99999999, 9), "-99999999");
    EXPECT_EQ(format(plugin, std::numeric_limits<int32_t>::min(), 12), "-2147483648");
    EXPECT_EQ(format(plugin, 123456, 3), "123"); // limited to maxLen characters
    EXPECT_EQ(format(plugin, 100000000, 2), "Hu");
}

TEST(Glue, HostWrappersWithoutHostAnswerNeutrally) {
    AVorpane plugin(nullptr);
    EXPECT_EQ(plugin.getMasterVersion(), 1);
    EXPECT_FALSE(plugin.beginEdit(0));
    EXPECT_FALSE(plugin.endEdit(0));
    char sizeWindow[] = "sizeWindow";
    EXPECT_EQ(plugin.canHostDo(sizeWindow), 0);
    EXPECT_FALSE(plugin.sizeWindow(454, 302));
    plugin.masterIdle();
    plugin.setParameterAutomated(0, 0.75f); // still sets the value without a host
    EXPECT_EQ(plugin.getParameter(0), 0.75f);
}

TEST(Glue, EditorFlagFollowsTheAttachedEditorWhichTheEffectOwns) {
    destroyedEditors = 0;
    {
        AVorpane withPanel(nullptr);
        EXPECT_EQ(withPanel.getAeffect()->flags, effFlagsCanReplacing | effFlagsHasEditor);
        AVorpane plugin(nullptr, nullptr);
        EXPECT_EQ(plugin.getAeffect()->flags, effFlagsCanReplacing);
        auto* editor = new CountingEditor(&plugin);
        plugin.setEditor(editor);
        EXPECT_EQ(plugin.getAeffect()->flags, effFlagsCanReplacing | effFlagsHasEditor);
        EXPECT_EQ(plugin.getEditor(), editor);
        plugin.setEditor(nullptr);
        EXPECT_EQ(plugin.getAeffect()->flags, effFlagsCanReplacing);
        plugin.setEditor(editor);
    }
    EXPECT_EQ(destroyedEditors, 1);
}

TEST(Glue, FlagSettersTouchOnlyTheirBit) {
    AVorpane plugin(nullptr);
    const int32_t before = plugin.getAeffect()->flags;
    plugin.programsAreChunks(true);
    EXPECT_EQ(plugin.getAeffect()->flags, before | effFlagsProgramChunks);
    plugin.programsAreChunks(false);
    plugin.noTail(true);
    EXPECT_EQ(plugin.getAeffect()->flags, before | effFlagsNoSoundInStop);
    plugin.noTail(false);
    plugin.canDoubleReplacing(true);
    EXPECT_EQ(plugin.getAeffect()->flags, before | effFlagsCanDoubleReplacing);
    plugin.canDoubleReplacing(false);
    EXPECT_EQ(plugin.getAeffect()->flags, before);
}

TEST(Glue, ParameterChangesRaiseTheRebuildFlag) {
    AVorpane plugin(nullptr);
    EXPECT_TRUE(plugin.filtersPending());
}

TEST(Glue, KeyRequestsReachTheEditorAsAKeyRecord) {
    AVorpane plugin(nullptr, nullptr);
    auto* editor = new KeyRecordingEditor(&plugin);
    plugin.setEditor(editor);
    EXPECT_EQ(plugin.dispatcher(effEditKeyDown, 'q', 0x1234, nullptr, 261.9f), 1);
    EXPECT_EQ(editor->last.character, 'q');
    EXPECT_EQ(editor->last.virt, 0x34);     // low byte of the value
    EXPECT_EQ(editor->last.modifier, 0x05); // low byte of 261
    EXPECT_EQ(plugin.dispatcher(effEditKeyUp, 'r', 3, nullptr, -1.0f), 0);
    EXPECT_EQ(editor->last.character, 'r');
    EXPECT_EQ(editor->last.modifier, 0xFF);
    // Values no integer holds give no modifiers rather than an undefined conversion.
    for (float opt : {1e20f, -1e20f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        plugin.dispatcher(effEditKeyDown, 'x', 0, nullptr, opt);
        EXPECT_EQ(editor->last.modifier, 0) << opt;
    }
}
