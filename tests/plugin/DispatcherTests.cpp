#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>

using testhost::TestHost;

namespace {

class Dispatcher : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(host.load(), nullptr); }
    TestHost host;
};

} // namespace

TEST_F(Dispatcher, BaseTableAnswers) {
    EXPECT_EQ(host.dispatch(effOpen), 0);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(host.dispatch(effSetBlockSize, 0, 512), 0);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 0), 0);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 7), 0);
    EXPECT_EQ(host.dispatch(effIdentify), 0x4E764566); // 'NvEf'
    void* chunk = reinterpret_cast<void*>(1);
    EXPECT_EQ(host.dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(host.dispatch(effGetChunk, 1, 0, &chunk), 0);
    char data[4] = {};
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 4, data), 0);
    // Resume makes no host call: the plug-in is no instrument and wants no events.
    EXPECT_EQ(host.countCalls(audioMasterWantMidi), 0u);
}

TEST_F(Dispatcher, EditorOpcodesBeforeThePanelIsOpen) {
    ERect* rect = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 454);
    EXPECT_EQ(rect->bottom - rect->top, 302);
    // No such window (and possibly no display at all): the editor stays closed.
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effEditClose), 0);
    EXPECT_EQ(host.dispatch(effEditIdle), 0);
    EXPECT_EQ(host.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_TRUE(host.calls.size() == 1u); // only the version query of the entry point
}

TEST_F(Dispatcher, ProgramSelectionOutsideTheRangeIsIgnored) {
    for (intptr_t program : {1, -1, 2, 1000}) {
        EXPECT_EQ(host.dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(host.dispatch(effGetProgram), 0) << program;
    }
    EXPECT_EQ(host.dispatch(effSetProgram, 0, 0), 0);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
}

TEST_F(Dispatcher, ExtendedTableAnswers) {
    char text[256] = {};
    EXPECT_EQ(host.dispatch(effProcessEvents, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, 0), 1);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, 1), 1);
    EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 0, 0, text), 1);
    EXPECT_EQ(host.dispatch(effGetInputProperties, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effGetOutputProperties, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(host.dispatch(effOfflineNotify, 1, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effOfflinePrepare, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effOfflineRun, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effProcessVarIo, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetBypass, 0, 1), 0);
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_EQ(host.dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_EQ(host.dispatch(effGetProductString, 0, 0, text), 1);
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(host.dispatch(effVendorSpecific, 1, 2, text, 3.0f), 0);
    EXPECT_EQ(host.dispatch(effGetTailSize), 0);
    EXPECT_EQ(host.dispatch(effGetParameterProperties, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetMidiProgramName, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effGetCurrentMidiProgram, 0, 0, text), -1);
    EXPECT_EQ(host.dispatch(effGetMidiProgramCategory, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effHasMidiProgramsChanged, 0), 0);
    EXPECT_EQ(host.dispatch(effGetMidiKeyName, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effBeginSetProgram), 0);
    EXPECT_EQ(host.dispatch(effEndSetProgram), 0);
    EXPECT_EQ(host.dispatch(effShellGetNextPlugin, 0, 0, text), 0);
    EXPECT_EQ(host.dispatch(effStartProcess), 0);
    EXPECT_EQ(host.dispatch(effStopProcess), 0);
    EXPECT_EQ(host.dispatch(effSetTotalSampleToProcess, 0, 512), 512);
    EXPECT_EQ(host.dispatch(effSetPanLaw, 0, 0, nullptr, 0.707f), 0);
    EXPECT_EQ(host.dispatch(effBeginLoadBank, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effBeginLoadProgram, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetProcessPrecision, 0, 1), 0);
    EXPECT_EQ(host.dispatch(effGetNumMidiInputChannels), 0);
    EXPECT_EQ(host.dispatch(effGetNumMidiOutputChannels), 0);
}

TEST_F(Dispatcher, SpeakerArrangementQueryClearsBothOutPointers) {
    void* input = reinterpret_cast<void*>(0x10);
    void* output = reinterpret_cast<void*>(0x20);
    EXPECT_EQ(
        host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST_F(Dispatcher, CanDoAnswersZeroForEveryText) {
    for (const char* word : {"receiveVstMidiEvent", "bypass", "sendVstEvents",
                             "plugAsChannelInsert", "", "anything else"}) {
        char text[64];
        std::strcpy(text, word);
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, text), 0) << word;
    }
}

TEST_F(Dispatcher, UnlistedAndUnknownOpcodesAnswerZeroAndChangeNothing) {
    const float azimuth = host.getParameter(0);
    char text[256];
    for (int32_t opcode : {9,  16, 17, 18, 20, 21, 28, 30, 31, 32,   36,
                           37, 43, 46, 53, 54, 55, 57, 80, 81, 1000, -1}) {
        std::memset(text, 0x5A, sizeof(text));
        EXPECT_EQ(host.dispatch(opcode, 1, 1, text, 1.0f), 0) << opcode;
        EXPECT_EQ(static_cast<unsigned char>(text[0]), 0x5A) << opcode;
    }
    EXPECT_EQ(host.getParameter(0), azimuth);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST_F(Dispatcher, TextRequestsWithoutABufferAnswerZero) {
    for (int32_t opcode : std::initializer_list<int32_t>{
             effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
             effGetParamName, effEditGetRect, effGetChunk, effGetProgramNameIndexed,
             effGetEffectName, effGetVendorString, effGetProductString, effCanDo})
        EXPECT_EQ(host.dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    EXPECT_EQ(host.text(effGetProgramName), "Standard Setting");
}
