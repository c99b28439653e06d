#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <set>
#include <string>

using testhost::TestHost;

TEST(EntryPoint, BothNamesResolveToTheSameFunction) {
    testhost::EntryPoint vstMain = testhost::lookUp("VSTPluginMain");
    testhost::EntryPoint legacyMain = testhost::lookUp("main");
    ASSERT_NE(vstMain, nullptr);
    EXPECT_EQ(vstMain, legacyMain);
}

TEST(EntryPoint, OnlyTheEntryPointIsExported) {
    const std::string command =
        std::string("nm -D --defined-only '") + VORPANE_PLUGIN_PATH_FOR_NM + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
        std::string entry(line);
        while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r'))
            entry.pop_back();
        const size_t space = entry.rfind(' ');
        names.insert(space == std::string::npos ? entry : entry.substr(space + 1));
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST(EntryPoint, HostAnsweringZeroToTheVersionQueryGetsNoEffect) {
    TestHost host;
    host.answers[audioMasterVersion] = 0;
    EXPECT_EQ(host.load(), nullptr);
    ASSERT_EQ(host.calls.size(), 1u);
    const testhost::HostCall& call = host.calls[0];
    EXPECT_EQ(call.effect, nullptr);
    EXPECT_EQ(call.opcode, audioMasterVersion);
    EXPECT_EQ(call.index, 0);
    EXPECT_EQ(call.value, 0);
    EXPECT_EQ(call.ptr, nullptr);
    EXPECT_EQ(call.opt, 0.0f);
}

TEST(EntryPoint, NullCallbackGetsNoEffect) {
    EXPECT_EQ(testhost::lookUp("VSTPluginMain")(nullptr), nullptr);
}

TEST(EntryPoint, EitherNameCreatesAnEffect) {
    for (const char* name : {"VSTPluginMain", "main"}) {
        TestHost host;
        host.answers[audioMasterVersion] = 1;
        AEffect* effect = host.load(name);
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_EQ(effect->magic, kEffectMagic);
    }
}

TEST(EffectRecord, FieldsAfterConstruction) {
    TestHost host;
    AEffect* effect = host.load();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->numParams, 2);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->uniqueID, 0x4156706E); // 'AVpn'
    EXPECT_EQ(effect->initialDelay, 1791);   // the rendered signal's real delay
    EXPECT_EQ(effect->flags, effFlagsCanReplacing | effFlagsHasEditor);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->resvd1, 0);
    EXPECT_EQ(effect->resvd2, 0);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_NE(effect->dispatcher, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    for (char byte : effect->future)
        EXPECT_EQ(byte, 0);
}

TEST(EffectRecord, LayoutIsThe64BitOne) {
    EXPECT_EQ(offsetof(AEffect, dispatcher), 8u);
    EXPECT_EQ(offsetof(AEffect, numPrograms), 40u);
    EXPECT_EQ(offsetof(AEffect, flags), 56u);
    EXPECT_EQ(offsetof(AEffect, resvd1), 64u);
    EXPECT_EQ(offsetof(AEffect, initialDelay), 80u);
    EXPECT_EQ(offsetof(AEffect, object), 96u);
    EXPECT_EQ(offsetof(AEffect, uniqueID), 112u);
    EXPECT_EQ(offsetof(AEffect, processReplacing), 120u);
    EXPECT_EQ(offsetof(AEffect, future), 136u);
    EXPECT_EQ(sizeof(AEffect), 192u);
}

TEST(EffectRecord, CloseDestroysTheObjectAndAnswersOne) {
    // Under the sanitizer build a leaked object fails this program at exit.
    TestHost host;
    ASSERT_NE(host.load(), nullptr);
    EXPECT_EQ(host.dispatch(effOpen), 0);
    EXPECT_EQ(host.close(), 1);
}

TEST(EffectRecord, ProcessReplacingWritesTheRequestedLength) {
    TestHost host;
    ASSERT_NE(host.load(), nullptr);
    float inL[64], inR[64], outL[66], outR[66];
    for (int i = 0; i < 64; ++i)
        inL[i] = inR[i] = 1.0f;
    for (int i = 0; i < 66; ++i)
        outL[i] = outR[i] = 7.0f;
    float* inputs[2] = {inL, inR};
    float* outputs[2] = {outL, outR};
    host.process(inputs, outputs, 64);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(outL[i], 0.0f); // the first frames after construction are silence
        EXPECT_EQ(outR[i], 0.0f);
    }
    EXPECT_EQ(outL[64], 7.0f); // nothing written past the block
    EXPECT_EQ(outR[64], 7.0f);
    host.process(inputs, outputs, 0);
    host.process(inputs, outputs, -5);
    EXPECT_EQ(outL[0], 0.0f);
}

TEST(EffectRecord, ProcessReplacingWithMissingBuffersDoesNotCrash) {
    TestHost host;
    ASSERT_NE(host.load(), nullptr);
    float in[32] = {}, outL[32], outR[32];
    float* inputs[2] = {in, in};
    float* noInput[2] = {in, nullptr};
    float* outputs[2] = {outL, outR};
    float* halfOutputs[2] = {nullptr, outR};
    const auto fill = [&] {
        std::fill(std::begin(outL), std::end(outL), 7.0f);
        std::fill(std::begin(outR), std::end(outR), 7.0f);
    };

    fill();
    host.process(nullptr, outputs, 32);
    EXPECT_EQ(outL[0], 0.0f); // silence where the input is missing
    EXPECT_EQ(outR[31], 0.0f);
    fill();
    host.process(noInput, outputs, 32);
    EXPECT_EQ(outL[31], 0.0f);
    EXPECT_EQ(outR[0], 0.0f);
    fill();
    host.process(inputs, halfOutputs, 32);
    EXPECT_EQ(outR[0], 0.0f);
    host.process(inputs, nullptr, 32);

    // The stream still runs normally afterwards.
    fill();
    host.process(inputs, outputs, 32);
    EXPECT_EQ(outL[31], 0.0f);
    EXPECT_EQ(outR[31], 0.0f);
}
