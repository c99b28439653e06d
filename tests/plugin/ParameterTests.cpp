#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

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
    EXPECT_EQ(host.text(effGetParamLabel, 0), std::string("Hor \xB0"));
    EXPECT_EQ(host.text(effGetParamLabel, 1), std::string("Vert \xB0"));

    char label[16];
    std::memset(label, 0x7F, sizeof(label));
    host.dispatch(effGetParamLabel, 1, 0, label);
    const unsigned char expected[] = {0x56, 0x65, 0x72, 0x74, 0x20, 0xB0, 0x00, 0x7F};
    EXPECT_EQ(std::memcmp(label, expected, sizeof(expected)), 0);
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
