#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using testhost::TestHost;

namespace {

class Parameters : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(host.load(), nullptr); }

    std::string display(int32_t index) { return host.text(effGetParamDisplay, index); }
    std::string programName() { return host.text(effGetProgramName); }
    std::string indexedName() { return host.text(effGetProgramNameIndexed, 0, 0); }
    void setProgramName(const char* name) {
        char buffer[128];
        std::strcpy(buffer, name);
        host.dispatch(effSetProgramName, 0, 0, buffer);
    }

    TestHost host;
};

} // namespace

TEST_F(Parameters, IdentityTexts) {
    EXPECT_EQ(host.text(effGetEffectName), "Vorpane");
    EXPECT_EQ(host.text(effGetProductString), "Vorpane");
    EXPECT_EQ(host.text(effGetVendorString), "Farrowdale Audio");
}

TEST_F(Parameters, NamesAndLabelsAreExactBytes) {
    EXPECT_EQ(host.text(effGetParamName, 0), "Azimuth");
    EXPECT_EQ(host.text(effGetParamName, 1), "Elevation");
    // The degree sign in UTF-8, C2 B0, as Linux hosts read the labels.
    EXPECT_EQ(host.text(effGetParamLabel, 0), std::string("Hor \xC2\xB0"));
    EXPECT_EQ(host.text(effGetParamLabel, 1), std::string("Vert \xC2\xB0"));

    // The longer label with its terminator fills the 8-byte label limit and no byte more.
    char label[16];
    std::memset(label, 0x7F, sizeof(label));
    host.dispatch(effGetParamLabel, 1, 0, label);
    const unsigned char expected[] = {0x56, 0x65, 0x72, 0x74, 0x20, 0xC2, 0xB0, 0x00, 0x7F};
    EXPECT_EQ(std::memcmp(label, expected, sizeof(expected)), 0);
    std::memset(label, 0x7F, sizeof(label));
    host.dispatch(effGetParamLabel, 0, 0, label);
    const unsigned char expectedHor[] = {0x48, 0x6F, 0x72, 0x20, 0xC2, 0xB0, 0x00, 0x7F};
    EXPECT_EQ(std::memcmp(label, expectedHor, sizeof(expectedHor)), 0);
}

namespace {

// Strict UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool isValidUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

TEST_F(Parameters, EveryHostTextIsValidUtf8) {
    ASSERT_TRUE(isValidUtf8("Hor \xC2\xB0"));
    ASSERT_FALSE(isValidUtf8("Hor \xB0"));
    ASSERT_FALSE(isValidUtf8("\xC0\xAF"));
    std::vector<std::string> texts = {host.text(effGetEffectName), host.text(effGetProductString),
                                      host.text(effGetVendorString), programName(), indexedName()};
    for (int32_t index : {0, 1})
        for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
            texts.push_back(host.text(opcode, index));
    for (const std::string& text : texts) {
        EXPECT_FALSE(text.empty());
        EXPECT_TRUE(isValidUtf8(text)) << text;
    }
}

TEST_F(Parameters, OtherIndicesLeaveTheTextUntouched) {
    for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        char text[16];
        std::strcpy(text, "keep");
        host.dispatch(opcode, 2, 0, text);
        EXPECT_STREQ(text, "keep");
        host.dispatch(opcode, -1, 0, text);
        EXPECT_STREQ(text, "keep");
    }
}

TEST_F(Parameters, StateAfterConstruction) {
    EXPECT_EQ(host.getParameter(0), 0.5f);
    EXPECT_EQ(host.getParameter(1), 0.5f);
    EXPECT_EQ(host.getParameter(2), 0.0f);
    EXPECT_EQ(display(0), "12");
    EXPECT_EQ(display(1), "24");
    EXPECT_EQ(programName(), "Standard Setting");
}

TEST_F(Parameters, DisplayStepsAtTheBandEdges) {
    struct Case {
        int32_t index;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0, 0.0f, "0"},     {0, 1.0f, "24"},    {0, 0.5f, "12"},
        {0, 0.9603f, "23"}, {0, 0.9604f, "24"}, // 0.9603 x 24.99 = 23.998, 0.9604 x 24.99 = 24.000
        {0, 0.04f, "0"},    {0, 0.0401f, "1"},  // 0.04 x 24.99 = 0.9996
        {1, 0.0f, "0"},     {1, 1.0f, "49"},    {1, 0.5f, "24"},
        {1, 0.9801f, "48"}, {1, 0.9802f, "49"}, // 0.9801 x 49.99 = 48.995, 0.9802 x 49.99 = 49.000
        {1, 0.02f, "0"},    {1, 0.0201f, "1"},
    };
    for (const Case& c : cases) {
        host.setParameter(c.index, c.value);
        EXPECT_EQ(display(c.index), c.text) << c.index << " at " << c.value;
    }
}

TEST_F(Parameters, ValuesOutsideTheRangeAreStoredButDisplayTheStepThatIsHeard) {
    host.setParameter(0, 1.7f);
    EXPECT_EQ(host.getParameter(0), 1.7f);
    EXPECT_EQ(display(0), "24");
    host.setParameter(1, 3.0f);
    EXPECT_EQ(display(1), "49");
    host.setParameter(0, -0.5f);
    EXPECT_EQ(host.getParameter(0), -0.5f);
    EXPECT_EQ(display(0), "0");
    host.setParameter(1, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(std::isnan(host.getParameter(1)));
    EXPECT_EQ(display(1), "0");
    host.setParameter(1, std::numeric_limits<float>::infinity());
    EXPECT_EQ(display(1), "49");
}

TEST_F(Parameters, SetParameterStoresByIndex) {
    host.setParameter(1, 0.3f);
    EXPECT_EQ(host.getParameter(1), 0.3f);
    EXPECT_EQ(host.getParameter(0), 0.5f);
    host.setParameter(0, 0.25f);
    EXPECT_EQ(host.getParameter(0), 0.25f);
    EXPECT_EQ(host.getParameter(1), 0.3f);
    // Selecting the only program again keeps the current values: the program holds them.
    host.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(host.getParameter(1), 0.3f);
    EXPECT_EQ(host.getParameter(0), 0.25f);
    host.setParameter(5, 0.7f);
    EXPECT_EQ(host.getParameter(0), 0.25f);
    EXPECT_EQ(host.getParameter(1), 0.3f);
    EXPECT_EQ(host.getParameter(5), 0.0f);
    EXPECT_EQ(host.countCalls(audioMasterAutomate), 0u); // setParameter is no automation
}

TEST_F(Parameters, ProgramNames) {
    EXPECT_EQ(indexedName(), "Standard Setting");
    setProgramName("Init");
    EXPECT_EQ(programName(), "Init 1");
    EXPECT_EQ(indexedName(), "Init");
    setProgramName("Initial");
    EXPECT_EQ(programName(), "Initial");
    setProgramName("");
    EXPECT_EQ(programName(), "");

    char text[32];
    std::strcpy(text, "keep");
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 1, 0, text), 0);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 0, 7, text), 1); // category ignored
}

TEST_F(Parameters, LongProgramNamesKeepTheirFirst23Characters) {
    setProgramName("An exceptionally long program name that overflows");
    EXPECT_EQ(programName(), "An exceptionally long p");
    EXPECT_EQ(programName().size(), 23u);
    // The parameter values next to the name are untouched.
    EXPECT_EQ(host.getParameter(0), 0.5f);
    EXPECT_EQ(host.getParameter(1), 0.5f);
}
