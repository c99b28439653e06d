// The plug-in at the host's rate, as a host drives it (effSetSampleRate, then effMainsChanged),
// measured against its own rendering at 44.1 kHz in physical units: the time difference between
// the ears, the spectral shape in 1/6-octave bands, the broadband level, the low end and the
// arrival of the sound, for a few directions at a few rates.
#include "engine/EarTableCache.h"
#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"
#include "engine/SampleRates.h"
#include "plugin/AVorpane.h"
#include "tests/support/StereoSignal.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct Direction {
    int32_t azimuthStep, elevationStep;
    float azimuth() const { return static_cast<float>((azimuthStep + 0.5) / 24.99); }
    float elevation() const { return static_cast<float>((elevationStep + 0.5) / 49.99); }
};

// Far left, in front, over the head, behind above on the right, low on the right.
const Direction kDirections[] = {{0, 8}, {12, 8}, {12, 24}, {18, 36}, {22, 2}};

using testsignal::Stereo;

// A plug-in driven as a host drives it: the rate set (unless rate is 0), switched on, the
// direction set, then the input rendered in host blocks of 512 frames.
class Host {
  public:
    explicit Host(float rate = 0.0f) {
        if (rate != 0.0f) setRate(rate);
        resume();
    }
    void setRate(float rate) { effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate); }
    void resume() { effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f); }
    void setDirection(const Direction& d) {
        effect->setParameter(effect, 0, d.azimuth());
        effect->setParameter(effect, 1, d.elevation());
    }
    Stereo render(const Stereo& input) {
        Stereo output = testsignal::silence(input.left.size());
        for (size_t at = 0; at < input.left.size(); at += 512) {
            const auto frames = static_cast<int32_t>(std::min<size_t>(512, input.left.size() - at));
            float* in[] = {const_cast<float*>(input.left.data()) + at,
                           const_cast<float*>(input.right.data()) + at};
            float* out[] = {output.left.data() + at, output.right.data() + at};
            effect->processReplacing(effect, in, out, frames);
        }
        return output;
    }
    int32_t latency() const { return effect->initialDelay; }

  private:
    std::unique_ptr<AVorpane> plugin = std::make_unique<AVorpane>(&loader::silentHostCallback);
    AEffect* effect = plugin->getAeffect();
};

Stereo impulse(size_t frames) {
    Stereo input = testsignal::silence(frames);
    input.left[0] = input.right[0] = 1.0f;
    return input;
}

Stereo noise(size_t frames, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.5f, 0.5f);
    Stereo input = testsignal::silence(frames);
    for (size_t i = 0; i < frames; ++i) {
        input.left[i] = value(random);
        input.right[i] = value(random);
    }
    return input;
}

// One ear's impulse response as the listener gets it: the output from the reported delay on.
struct Response {
    std::vector<double> taps;
    double rate;

    std::complex<double> at(double hz) const {
        const double c = std::cos(2.0 * kPi * hz / rate), d = -std::sin(2.0 * kPi * hz / rate);
        double re = 0.0, im = 0.0, pr = 1.0, pi = 0.0;
        for (double tap : taps) {
            re += tap * pr;
            im += tap * pi;
            const double next = pr * c - pi * d;
            pi = pr * d + pi * c;
            pr = next;
        }
        return {re, im};
    }
    // Mean power over frequencies from low to high Hz (count of them, spaced evenly on a log
    // or a linear scale), in dB.
    double levelDb(double low, double high, int count, bool logarithmic) const {
        double power = 0.0;
        for (int i = 0; i < count; ++i) {
            const double u = (i + 0.5) / count;
            power +=
                std::norm(at(logarithmic ? low * std::pow(high / low, u) : low + (high - low) * u));
        }
        return 10.0 * std::log10(power / count);
    }
};

struct EarResponses {
    Response left, right;
};

// The direction's response at the rate, from a rendered impulse; checks that nothing comes
// before the reported delay.
EarResponses measure(float rate, const Direction& direction) {
    Host host(rate);
    host.setDirection(direction);
    EXPECT_EQ(host.latency(), vorpane::kSignalDelay);
    const double used = rate == 0.0f ? vorpane::kTableRate : rate;
    const Stereo out = host.render(impulse(vorpane::kSignalDelay + 3 * vorpane::kBlockLength));
    EarResponses responses{{{}, used}, {{}, used}};
    const auto end = static_cast<size_t>(vorpane::kSignalDelay + vorpane::tapsAtRate(used));
    for (size_t i = 0; i < out.left.size(); ++i) {
        if (i >= end) break;
        if (static_cast<int32_t>(i) < vorpane::kSignalDelay) {
            EXPECT_EQ(out.left[i], 0.0f) << rate << " Hz, frame " << i;
            EXPECT_EQ(out.right[i], 0.0f) << rate << " Hz, frame " << i;
            continue;
        }
        responses.left.taps.push_back(out.left[i]);
        responses.right.taps.push_back(out.right[i]);
    }
    return responses;
}

// The time by which a leads b, in microseconds: the peak of their cross-correlation over the
// band from low to high Hz, computed from their spectra (every 10 Hz) at any lag.
double leadMicroseconds(const Response& a, const Response& b, double low, double high) {
    std::vector<double> hz;
    std::vector<std::complex<double>> cross;
    for (double f = low; f <= high; f += 10.0) {
        hz.push_back(f);
        cross.push_back(a.at(f) * std::conj(b.at(f)));
    }
    auto correlation = [&](double microseconds) {
        double sum = 0.0;
        for (size_t k = 0; k < hz.size(); ++k)
            sum += std::real(cross[k] * std::polar(1.0, 2.0 * kPi * hz[k] * microseconds * 1e-6));
        return sum;
    };
    double best = 0.0, bestValue = -std::numeric_limits<double>::infinity();
    for (double lag = -1200.0; lag <= 1200.0; lag += 2.0)
        if (const double value = correlation(lag); value > bestValue) {
            bestValue = value;
            best = lag;
        }
    for (double step = 1.0; step > 0.01; step /= 2.0)
        for (double lag : {best - step, best + step})
            if (const double value = correlation(lag); value > bestValue) {
                bestValue = value;
                best = lag;
            }
    return -best;
}

// The time difference between the ears (the left ear's lead), from their cross-correlation
// below 1.5 kHz.
double itdMicroseconds(const EarResponses& ears) {
    return leadMicroseconds(ears.left, ears.right, 10.0, 1500.0);
}

// 1/6-octave band levels from 200 Hz up to top, in dB.
std::vector<double> bandLevels(const Response& response, double top) {
    std::vector<double> levels;
    for (double centre = 200.0; centre <= top; centre *= std::pow(2.0, 1.0 / 6.0))
        levels.push_back(response.levelDb(centre * std::pow(2.0, -1.0 / 12.0),
                                          centre * std::pow(2.0, 1.0 / 12.0), 8, true));
    return levels;
}

double percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(0.95 * (values.size() - 1))];
}

} // namespace

TEST(SampleRate, EveryRateRendersTheDirectionsAsAt44100) {
    std::vector<EarResponses> reference;
    for (const Direction& d : kDirections)
        reference.push_back(measure(0.0f, d));
    for (float rate : {22050.0f, 32000.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f}) {
        const Host keeper(rate); // holds the rate's table while the directions are measured
        // Up to 16 kHz, or nine tenths of the band below 44.1 kHz (9.9 kHz at 22.05 kHz).
        const double top = std::min(16000.0, 0.45 * rate);
        std::vector<double> shapeErrors;
        for (size_t i = 0; i < std::size(kDirections); ++i) {
            const EarResponses ears = measure(rate, kDirections[i]);
            const EarResponses& ref = reference[i];
            EXPECT_NEAR(itdMicroseconds(ears), itdMicroseconds(ref), 10.0) << rate << " Hz, " << i;
            for (auto side : {&EarResponses::left, &EarResponses::right}) {
                const Response& r = ears.*side;
                const Response& o = ref.*side;
                const double level = r.levelDb(200.0, top, 200, false);
                EXPECT_NEAR(level, o.levelDb(200.0, top, 200, false), 0.3) << rate << " Hz, " << i;
                const std::vector<double> bands = bandLevels(r, top), refBands = bandLevels(o, top);
                for (size_t b = 0; b < bands.size(); ++b)
                    shapeErrors.push_back(std::abs(bands[b] - refBands[b] - level +
                                                   o.levelDb(200.0, top, 200, false)));
                // The low end against the 200-400 Hz level, as flat as at 44.1 kHz.
                const double link = r.levelDb(200.0, 400.0, 8, true);
                const double refLink = o.levelDb(200.0, 400.0, 8, true);
                for (double hz : {20.0, 40.0, 80.0, 160.0})
                    EXPECT_NEAR(20 * std::log10(std::abs(r.at(hz))) - link,
                                20 * std::log10(std::abs(o.at(hz))) - refLink, 0.3)
                        << rate << " Hz, " << i << ", at " << hz << " Hz";
                // The sound arrives when it arrives at 44.1 kHz, within half a frame there: the
                // lag of the two renderings' cross-correlation over the band.
                EXPECT_LE(std::abs(leadMicroseconds(r, o, 200.0, top)), 0.5e6 / 44100.0)
                    << rate << " Hz, " << i;
            }
        }
        EXPECT_LE(percentile95(shapeErrors), 0.3) << rate << " Hz";
    }
}

TEST(SampleRate, At44100NothingChangesAndComingBackFrom96kHzGivesTheSameBits) {
    const Stereo input = noise(20 * vorpane::kBlockLength, 5);
    auto renderMoving = [&](Host& host) {
        Stereo output;
        for (size_t part = 0; part < 4; ++part) {
            host.setDirection(kDirections[part]);
            const size_t from = part * input.left.size() / 4,
                         to = (part + 1) * input.left.size() / 4;
            const Stereo piece{{input.left.begin() + from, input.left.begin() + to},
                               {input.right.begin() + from, input.right.begin() + to}};
            const Stereo out = host.render(piece);
            output.left.insert(output.left.end(), out.left.begin(), out.left.end());
            output.right.insert(output.right.end(), out.right.begin(), out.right.end());
        }
        return output;
    };
    Host never;
    const Stereo expected = renderMoving(never);

    Host set(44100.0f);
    const Stereo atSetRate = renderMoving(set);
    EXPECT_TRUE(atSetRate.left == expected.left && atSetRate.right == expected.right);

    Host travelling(96000.0f);
    const Stereo at96 = renderMoving(travelling);
    EXPECT_FALSE(at96.left == expected.left);
    travelling.setRate(44100.0f);
    travelling.resume();
    const Stereo back = renderMoving(travelling);
    EXPECT_TRUE(back.left == expected.left && back.right == expected.right);
}

TEST(SampleRate, ARateChangeWaitsForTheNextResume) {
    // Whole blocks, long enough for the response to end inside them.
    const Stereo input = impulse(4 * vorpane::kBlockLength);
    Host host;
    const Stereo before = host.render(input);
    host.setRate(96000.0f); // while the host keeps rendering
    const Stereo still = host.render(input);
    EXPECT_TRUE(still.left == before.left && still.right == before.right);
    host.resume();
    const Stereo after = host.render(input);
    const Stereo at96 = Host(96000.0f).render(input);
    EXPECT_TRUE(after.left == at96.left && after.right == at96.right);
    EXPECT_FALSE(after.left == before.left);
}

TEST(SampleRate, RatesOutsideTheRangeTakeItsNearestEndAndNoRateAtAllStaysAt44100) {
    const Stereo input = impulse(vorpane::kSignalDelay + 3 * vorpane::kBlockLength);
    const Stereo at44 = Host().render(input);
    const Stereo at8 = Host(8000.0f).render(input);
    const Stereo at384 = Host(384000.0f).render(input);
    const float infinity = std::numeric_limits<float>::infinity();
    for (float rate : {0.0f, -48000.0f, -infinity, std::numeric_limits<float>::quiet_NaN()}) {
        Host host;
        host.setRate(rate);
        host.resume();
        EXPECT_TRUE(host.render(input).left == at44.left) << rate;
    }
    for (float rate : {1.0f, 7999.0f})
        EXPECT_TRUE(Host(rate).render(input).left == at8.left) << rate;
    for (float rate : {384001.0f, 1e12f, infinity, std::numeric_limits<float>::max()})
        EXPECT_TRUE(Host(rate).render(input).left == at384.left) << rate;
    for (const Stereo* out : {&at8, &at384})
        for (size_t i = 0; i < out->left.size(); ++i)
            ASSERT_TRUE(std::isfinite(out->left[i]) && std::isfinite(out->right[i])) << i;
}

TEST(SampleRate, InstancesAtOneRateShareOneTable) {
    const vorpane::EarTableCache& cache = vorpane::EarTableCache::process();
    const size_t bytes44 = 2 * vorpane::kDirections * 256 * sizeof(float);
    std::vector<std::unique_ptr<Host>> hosts;
    for (int i = 0; i < 3; ++i)
        hosts.push_back(std::make_unique<Host>(96000.0f));
    // The 44.1 kHz table each instance started with, and one table at 96 kHz for all three.
    EXPECT_EQ(cache.tablesHeld(), 2u);
    EXPECT_EQ(cache.bytesHeld(), bytes44 + 2 * vorpane::kDirections * 557 * sizeof(float));
    hosts.push_back(std::make_unique<Host>(192000.0f));
    EXPECT_EQ(cache.bytesHeld(), bytes44 + 2 * vorpane::kDirections * (557 + 1025) * sizeof(float));
    hosts.clear();
    EXPECT_EQ(cache.tablesHeld(), 0u);
}
