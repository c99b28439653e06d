// Each precondition stops the process with its expression text, its file and its line.
#include "fft/DynArray.h"
#include "tests/fft/FFTRealProbe.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The report's pattern for an expression: every character taken literally.
[[maybe_unused]] std::string report(const std::string& expression, const std::string& file) {
    std::string pattern = "Assertion failed: ";
    for (char c : expression) {
        if (std::string("()[]{}.*+?^$|\\").find(c) != std::string::npos) pattern += '\\';
        pattern += c;
    }
    return pattern + ", file .*fft/" + file + ", line [0-9]+";
}

[[maybe_unused]] std::string inFFTReal(const std::string& expression) {
    return report(expression, "FFTReal\\.h");
}
[[maybe_unused]] std::string inDynArray(const std::string& expression) {
    return report(expression, "DynArray\\.h");
}

class FFTRealAssertions : public testsupport::EachVectorTier {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    FFTRealProbe fft{64, tier()};
    std::vector<double> a = std::vector<double>(64, 0.0);
    std::vector<double> b = std::vector<double>(64, 0.0);
};

} // namespace

#ifdef NDEBUG
TEST(FFTRealAssertionsOff, ChecksAreCompiledOutWithNDEBUG) {
    GTEST_SKIP() << "checks are compiled out in this build";
}
#else

INSTANTIATE_ON_EACH_VECTOR_TIER(FFTRealAssertions);

TEST_P(FFTRealAssertions, Construction) {
    EXPECT_DEATH(FFTReal<double>(0), inFFTReal("x > 0"));
    // A negative length fails on the work buffer, which is made before the checks.
    EXPECT_DEATH(FFTReal<double>(-8), inDynArray("size >= 0"));
    EXPECT_DEATH(FFTReal<double>(INT32_MIN), inDynArray("size >= 0"));
    EXPECT_DEATH(FFTReal<double>(12), inFFTReal("FFTReal_is_pow2 (length)"));
    EXPECT_DEATH(FFTReal<double>(2047), inFFTReal("FFTReal_is_pow2 (length)"));
}

TEST_P(FFTRealAssertions, TransformEntries) {
    double* work = fft.use_buffer();
    for (bool inverse : {false, true}) {
        auto run = [&](double* f, double* x) {
            if (inverse)
                fft.inverse_transform(f, x);
            else
                fft.forward_transform(f, x);
        };
        EXPECT_DEATH(run(nullptr, a.data()), inFFTReal("f != 0"));
        EXPECT_DEATH(run(work, a.data()), inFFTReal("f != use_buffer ()"));
        EXPECT_DEATH(run(a.data(), nullptr), inFFTReal("x != 0"));
        EXPECT_DEATH(run(a.data(), work), inFFTReal("x != use_buffer ()"));
        EXPECT_DEATH(run(a.data(), a.data()), inFFTReal("x != f"));
    }
}

TEST_P(FFTRealAssertions, ForwardPasses) {
    EXPECT_DEATH(fft.compute_direct_pass_1_2(nullptr, a.data()), inFFTReal("df != 0"));
    EXPECT_DEATH(fft.compute_direct_pass_1_2(a.data(), nullptr), inFFTReal("x != 0"));
    EXPECT_DEATH(fft.compute_direct_pass_1_2(a.data(), a.data()), inFFTReal("df != x"));
    EXPECT_DEATH(fft.compute_direct_pass_3(nullptr, a.data()), inFFTReal("df != 0"));
    EXPECT_DEATH(fft.compute_direct_pass_3(a.data(), nullptr), inFFTReal("sf != 0"));
    EXPECT_DEATH(fft.compute_direct_pass_3(a.data(), a.data()), inFFTReal("df != sf"));
    EXPECT_DEATH(fft.compute_direct_pass_n_lut(nullptr, a.data(), 3), inFFTReal("df != 0"));
    EXPECT_DEATH(fft.compute_direct_pass_n_lut(a.data(), nullptr, 3), inFFTReal("sf != 0"));
    EXPECT_DEATH(fft.compute_direct_pass_n_lut(a.data(), a.data(), 3), inFFTReal("df != sf"));
    EXPECT_DEATH(fft.compute_direct_pass_n_lut(a.data(), b.data(), 2), inFFTReal("pass >= 3"));
    EXPECT_DEATH(fft.compute_direct_pass_n_lut(a.data(), b.data(), 6),
                 inFFTReal("pass < _nbr_bits"));
    EXPECT_DEATH(fft.compute_direct_pass_n_osc(a.data(), b.data(), 2), inFFTReal("pass >= 3"));
    EXPECT_DEATH(fft.compute_direct_pass_n_osc(a.data(), b.data(), 5),
                 inFFTReal("pass > TRIGO_BD_LIMIT"));
    EXPECT_DEATH(fft.compute_direct_pass_n_osc(a.data(), b.data(), 13),
                 inFFTReal("pass < _nbr_bits"));
}

TEST_P(FFTRealAssertions, InversePasses) {
    EXPECT_DEATH(fft.compute_inverse_pass_n_lut(nullptr, a.data(), 3), inFFTReal("df != 0"));
    EXPECT_DEATH(fft.compute_inverse_pass_n_lut(a.data(), nullptr, 3), inFFTReal("sf != 0"));
    EXPECT_DEATH(fft.compute_inverse_pass_n_lut(a.data(), a.data(), 3), inFFTReal("df != sf"));
    EXPECT_DEATH(fft.compute_inverse_pass_n_lut(a.data(), b.data(), 2), inFFTReal("pass >= 3"));
    EXPECT_DEATH(fft.compute_inverse_pass_n_lut(a.data(), b.data(), 6),
                 inFFTReal("pass < _nbr_bits"));
    EXPECT_DEATH(fft.compute_inverse_pass_n_osc(a.data(), b.data(), 2), inFFTReal("pass >= 3"));
    EXPECT_DEATH(fft.compute_inverse_pass_n_osc(a.data(), b.data(), 12),
                 inFFTReal("pass > TRIGO_BD_LIMIT"));
    EXPECT_DEATH(fft.compute_inverse_pass_3(nullptr, a.data()), inFFTReal("df != 0"));
    EXPECT_DEATH(fft.compute_inverse_pass_3(a.data(), nullptr), inFFTReal("sf != 0"));
    EXPECT_DEATH(fft.compute_inverse_pass_3(a.data(), a.data()), inFFTReal("df != sf"));
    EXPECT_DEATH(fft.compute_inverse_pass_1_2(nullptr, a.data()), inFFTReal("x != 0"));
    EXPECT_DEATH(fft.compute_inverse_pass_1_2(a.data(), nullptr), inFFTReal("sf != 0"));
    EXPECT_DEATH(fft.compute_inverse_pass_1_2(a.data(), a.data()), inFFTReal("x != sf"));
}

TEST_P(FFTRealAssertions, TableLevelAndNormalisation) {
    EXPECT_DEATH(fft.get_trigo_level_ptr(2), inFFTReal("level >= 3"));
    // Only a corrupted length can fail the normalisation's check.
    EXPECT_DEATH(
        {
            fft._length = 6;
            fft.normalize(a.data());
        },
        inFFTReal("(_length & 3) == 0"));
}

TEST(DynArrayAssertions, SizeAndPosition) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(DynArray<double>(-1), inDynArray("size >= 0"));
    DynArray<double> array(3);
    EXPECT_DEATH(array.resize(-2), inDynArray("size >= 0"));
    EXPECT_DEATH(array[-1] = 0, inDynArray("pos >= 0"));
    EXPECT_DEATH(array[3] = 0, inDynArray("pos < _len"));
    const DynArray<double>& constant = array;
    EXPECT_DEATH((void)constant[3], inDynArray("pos < _len"));
}

#endif

TEST(DynArray, SizesAndResizing) {
    DynArray<int32_t> empty(0);
    EXPECT_EQ(empty.size(), 0);
    DynArray<int32_t> array(4);
    EXPECT_EQ(array.size(), 4);
    array[3] = 7;
    array.resize(0); // keeps the array
    EXPECT_EQ(array.size(), 4);
    EXPECT_EQ(array[3], 7);
    array.resize(9);
    EXPECT_EQ(array.size(), 9);
    array[8] = 1;
    EXPECT_EQ(array[8], 1);
}
