#include "engine/BlockConvolver.h"

#include "engine/SampleRates.h"
#include "engine/TableResampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#if defined(FFTREAL_AVX2_SWEEPS)
#include <immintrin.h>
#endif

namespace vorpane {

namespace {

constexpr int32_t kHalf = kTransformLength / 2;
// Reserving more than this for an announced block size is left to growth on demand.
constexpr int32_t kLargestReservedBlock = 1 << 20;

constexpr double kScale = 1.0 / kTransformLength;
static_assert(kBlockLength + kMostTaps - 1 == kTransformLength);

// y = h x / 2048 for each bin, in the half-complex layout: DC and Nyquist are real, bins
// 1..1023 keep their real parts below 1024 and their (negated) imaginary parts above. Scaling by
// a power of two is exact, so the product carries the inverse transform's normalisation at no
// cost in accuracy: the result is the same to the bit as normalising the inverse transform.
void multiplyBins(double* __restrict y, const double* __restrict x, const double* __restrict h,
                  int32_t first, int32_t last) {
    for (int32_t k = first; k < last; ++k) {
        y[k] = (h[k] * x[k] - h[kHalf + k] * x[kHalf + k]) * kScale;
        y[kHalf + k] = (h[k] * x[kHalf + k] + h[kHalf + k] * x[k]) * kScale;
    }
}

void multiplySpectra(double* __restrict y, const double* __restrict x, const double* __restrict h) {
    y[0] = h[0] * x[0] * kScale;
    y[kHalf] = h[kHalf] * x[kHalf] * kScale;
    multiplyBins(y, x, h, 1, kHalf);
}

// y = (hOld xOld + hNew xNew) / 2048 for each bin, the two products formed as above.
void multiplyAndSumBins(double* __restrict y, const double* __restrict xOld,
                        const double* __restrict hOld, const double* __restrict xNew,
                        const double* __restrict hNew, int32_t first, int32_t last) {
    for (int32_t k = first; k < last; ++k) {
        const double oldRe = hOld[k] * xOld[k] - hOld[kHalf + k] * xOld[kHalf + k];
        const double oldIm = hOld[k] * xOld[kHalf + k] + hOld[kHalf + k] * xOld[k];
        const double newRe = hNew[k] * xNew[k] - hNew[kHalf + k] * xNew[kHalf + k];
        const double newIm = hNew[k] * xNew[kHalf + k] + hNew[kHalf + k] * xNew[k];
        y[k] = (oldRe + newRe) * kScale;
        y[kHalf + k] = (oldIm + newIm) * kScale;
    }
}

void multiplyAndSumSpectra(double* __restrict y, const double* __restrict xOld,
                           const double* __restrict hOld, const double* __restrict xNew,
                           const double* __restrict hNew) {
    for (int32_t k : {0, kHalf})
        y[k] = (hOld[k] * xOld[k] + hNew[k] * xNew[k]) * kScale;
    multiplyAndSumBins(y, xOld, hOld, xNew, hNew, 1, kHalf);
}

// The weights of a fading block: raised-cosine halves, sampled at the middle of each frame, so
// that the fading-in weight rises from near 0 to near 1 with a flat start and end and the two
// weights of a frame sum to one.
struct FadeWeights {
    std::array<double, kBlockLength> in, out;
};

FadeWeights makeFadeWeights() {
    FadeWeights weights;
    for (int32_t i = 0; i < kBlockLength; ++i) {
        const double phase = std::numbers::pi * (i + 0.5) / (2.0 * kBlockLength);
        weights.in[static_cast<size_t>(i)] = std::sin(phase) * std::sin(phase);
        weights.out[static_cast<size_t>(i)] = std::cos(phase) * std::cos(phase);
    }
    return weights;
}

const FadeWeights kFadeWeights = makeFadeWeights();

// The block's result into the output queue, 1024 + taps - 1 samples: the first taps - 1 (255 at
// 44.1 kHz) overlap the previous block's tail; the rest lands on space that nothing has written
// yet. Adding +0.0 keeps the stored samples the same as adding them to zeros would (a negative
// zero becomes a positive one). The last sample of the new space is the next block's to write
// and stays zero until then.
void placeResult(double* __restrict target, const double* __restrict result, int32_t taps) {
    const int32_t overlap = taps - 1, length = kBlockLength + taps - 1;
    for (int32_t i = 0; i < overlap; ++i)
        target[i] += result[i];
    for (int32_t i = overlap; i < length; ++i)
        target[i] = result[i] + 0.0;
    target[length] = 0.0;
}

#if defined(FFTREAL_AVX2_SWEEPS)

// The same arithmetic four bins at a time, without fused multiply-adds: the same bits.
__attribute__((target("avx2"))) void
multiplySpectraAvx2(double* __restrict y, const double* __restrict x, const double* __restrict h) {
    y[0] = h[0] * x[0] * kScale;
    y[kHalf] = h[kHalf] * x[kHalf] * kScale;
    multiplyBins(y, x, h, 1, 4);
    const __m256d scale = _mm256_set1_pd(kScale);
    for (int32_t k = 4; k < kHalf; k += 4) {
        const __m256d hr = _mm256_loadu_pd(h + k), hi = _mm256_loadu_pd(h + kHalf + k);
        const __m256d xr = _mm256_loadu_pd(x + k), xi = _mm256_loadu_pd(x + kHalf + k);
        const __m256d re = _mm256_sub_pd(_mm256_mul_pd(hr, xr), _mm256_mul_pd(hi, xi));
        const __m256d im = _mm256_add_pd(_mm256_mul_pd(hr, xi), _mm256_mul_pd(hi, xr));
        _mm256_storeu_pd(y + k, _mm256_mul_pd(re, scale));
        _mm256_storeu_pd(y + kHalf + k, _mm256_mul_pd(im, scale));
    }
}

__attribute__((target("avx2"))) void multiplyAndSumSpectraAvx2(double* __restrict y,
                                                               const double* __restrict xOld,
                                                               const double* __restrict hOld,
                                                               const double* __restrict xNew,
                                                               const double* __restrict hNew) {
    for (int32_t k : {0, kHalf})
        y[k] = (hOld[k] * xOld[k] + hNew[k] * xNew[k]) * kScale;
    multiplyAndSumBins(y, xOld, hOld, xNew, hNew, 1, 4);
    const __m256d scale = _mm256_set1_pd(kScale);
    for (int32_t k = 4; k < kHalf; k += 4) {
        __m256d hr = _mm256_loadu_pd(hOld + k), hi = _mm256_loadu_pd(hOld + kHalf + k);
        __m256d xr = _mm256_loadu_pd(xOld + k), xi = _mm256_loadu_pd(xOld + kHalf + k);
        const __m256d oldRe = _mm256_sub_pd(_mm256_mul_pd(hr, xr), _mm256_mul_pd(hi, xi));
        const __m256d oldIm = _mm256_add_pd(_mm256_mul_pd(hr, xi), _mm256_mul_pd(hi, xr));
        hr = _mm256_loadu_pd(hNew + k);
        hi = _mm256_loadu_pd(hNew + kHalf + k);
        xr = _mm256_loadu_pd(xNew + k);
        xi = _mm256_loadu_pd(xNew + kHalf + k);
        const __m256d newRe = _mm256_sub_pd(_mm256_mul_pd(hr, xr), _mm256_mul_pd(hi, xi));
        const __m256d newIm = _mm256_add_pd(_mm256_mul_pd(hr, xi), _mm256_mul_pd(hi, xr));
        _mm256_storeu_pd(y + k, _mm256_mul_pd(_mm256_add_pd(oldRe, newRe), scale));
        _mm256_storeu_pd(y + kHalf + k, _mm256_mul_pd(_mm256_add_pd(oldIm, newIm), scale));
    }
}

__attribute__((target("avx2"))) void
placeResultAvx2(double* __restrict target, const double* __restrict result, int32_t taps) {
    const int32_t overlap = taps - 1, length = kBlockLength + taps - 1;
    int32_t i = 0;
    for (; i + 4 <= overlap; i += 4)
        _mm256_storeu_pd(target + i,
                         _mm256_add_pd(_mm256_loadu_pd(target + i), _mm256_loadu_pd(result + i)));
    for (; i < overlap; ++i)
        target[i] += result[i];
    const __m256d zero = _mm256_setzero_pd();
    for (; i + 4 <= length; i += 4)
        _mm256_storeu_pd(target + i, _mm256_add_pd(_mm256_loadu_pd(result + i), zero));
    for (; i < length; ++i)
        target[i] = result[i] + 0.0;
    target[length] = 0.0;
}

#endif

// The products and the placement of the block's result for the vector instructions the
// transform uses; chosen once, when the convolver is made.
BlockConvolver::Kernels kernelsFor(fftreal::VectorTier tier) {
#if defined(FFTREAL_AVX2_SWEEPS)
    if (tier == fftreal::VectorTier::avx2_fma)
        return {multiplySpectraAvx2, multiplyAndSumSpectraAvx2, placeResultAvx2};
#endif
    (void)tier;
    return {multiplySpectra, multiplyAndSumSpectra, placeResult};
}

} // namespace

BlockConvolver::BlockConvolver(HrirTable table, const std::atomic<float>& azimuth,
                               const std::atomic<float>& elevation, std::atomic<bool>& filtersDirty,
                               fftreal::VectorTier widest)
    : BlockConvolver(std::make_shared<const EarTable>(resampleTable(table, kTableRate)), azimuth,
                     elevation, filtersDirty, widest) {}

BlockConvolver::BlockConvolver(std::shared_ptr<const EarTable> table,
                               const std::atomic<float>& azimuth,
                               const std::atomic<float>& elevation, std::atomic<bool>& filtersDirty,
                               fftreal::VectorTier widest)
    : tables(std::move(table)), filterTaps(tables.current().taps()), azimuth(azimuth),
      elevation(elevation), filtersDirty(filtersDirty), fft(kTransformLength, widest),
      kernels(kernelsFor(fft.get_vector_tier())) {
    for (int channel = 0; channel < kChannels; ++channel) {
        std::fill(std::begin(blockBuffer[channel]), std::end(blockBuffer[channel]), 0.0);
        std::fill(std::begin(hrirBuffer[channel]), std::end(hrirBuffer[channel]), 0.0);
        std::fill(std::begin(fadingInput[channel]), std::end(fadingInput[channel]), 0.0);
    }
    reserve(kPreparedBlockSize);
    resume(); // nothing waits yet: the output starts with the full 1791 + taps zeros
    // The filter spectra hold nothing yet: the first block must build them.
    filtersDirty.store(true);
}

void BlockConvolver::reserve(int32_t hostBlockSize) {
    const size_t frames = static_cast<size_t>(std::clamp(hostBlockSize, 1, kLargestReservedBlock));
    // Twice the largest fill of each queue at the longest responses, so that the queues rarely
    // have to move their contents down to the start of their storage, and a table of longer
    // responses needs no more room.
    for (int channel = 0; channel < kChannels; ++channel)
        outputQueue[channel].reserve(2 * (kSignalDelay + kMostTaps + kBlockLength + frames));
}

bool BlockConvolver::takeUpOfferedTable() {
    if (!tables.takeUp()) return false;
    filterRecord = -1; // the same record of another table is another filter
    filtersDirty.store(true);
    return true;
}

void BlockConvolver::resume() {
    // Input still waiting is rendered first, ahead of new input. The output starts with that
    // many fewer zeros, so new input still leaves exactly kSignalDelay frames later, the latency
    // the host compensates, and the waiting input is delivered just before it.
    if (tables.takeUp()) {
        filterTaps = tables.current().taps();
        filtersDirty.store(true); // the filters come from the new table
    }
    const size_t pending = static_cast<size_t>(blockFill);
    for (int channel = 0; channel < kChannels; ++channel) {
        outputQueue[channel].clear();
        outputQueue[channel].appendZeros(static_cast<size_t>(kSignalDelay + filterTaps) - pending);
    }
    outputRunning = false;
}

template <class Sample>
void BlockConvolver::processFrames(Sample** inputs, Sample** outputs, int32_t count) {
    if (count <= 0) return;
    if (count < kBlockLength - blockFill && outputQueue[0].size() >= static_cast<size_t>(count)) {
        // The common short call that completes no block: samples in, samples out, both channels
        // in one loop each, all input read before any output is written (hosts may hand over
        // the same buffers for both).
        double* __restrict waitingLeft = blockBuffer[0] + blockFill;
        double* __restrict waitingRight = blockBuffer[1] + blockFill;
        const Sample* inputLeft = inputs[0];
        const Sample* inputRight = inputs[1];
        const double* __restrict queuedLeft = outputQueue[0].data();
        const double* __restrict queuedRight = outputQueue[1].data();
        Sample* outputLeft = outputs[0];
        Sample* outputRight = outputs[1];
        for (int32_t i = 0; i < count; ++i) {
            waitingLeft[i] = static_cast<double>(inputLeft[i]);
            waitingRight[i] = static_cast<double>(inputRight[i]);
        }
        for (int32_t i = 0; i < count; ++i) {
            outputLeft[i] = static_cast<Sample>(queuedLeft[i]);
            outputRight[i] = static_cast<Sample>(queuedRight[i]);
        }
        blockFill += count;
        outputQueue[0].removeFront(static_cast<size_t>(count));
        outputQueue[1].removeFront(static_cast<size_t>(count));
        return;
    }
    processBlocks(inputs, outputs, count);
}

template <class Sample>
void BlockConvolver::processBlocks(Sample** inputs, Sample** outputs, int32_t count) {
    // Fill the waiting block and render it each time it is complete.
    int32_t taken = 0;
    while (taken < count) {
        const int32_t frames = std::min(kBlockLength - blockFill, count - taken);
        appendInput(inputs, taken, frames);
        taken += frames;
        if (blockFill == kBlockLength) {
            renderBlock();
            blockFill = 0;
        }
    }
    if (outputQueue[0].size() >= static_cast<size_t>(count)) {
        deliverOutput(outputs, count);
    } else {
        // Not reached while the queues keep their lengths; silence rather than stale buffers.
        for (int channel = 0; channel < kChannels; ++channel)
            std::fill(outputs[channel], outputs[channel] + count, Sample(0));
    }
}

template <class Sample>
void BlockConvolver::appendInput(Sample** inputs, int32_t offset, int32_t count) {
    for (int channel = 0; channel < kChannels; ++channel) {
        double* __restrict waiting = blockBuffer[channel] + blockFill;
        const Sample* __restrict input = inputs[channel] + offset;
        for (int32_t i = 0; i < count; ++i)
            waiting[i] = static_cast<double>(input[i]);
    }
    blockFill += count;
}

void BlockConvolver::renderBlock() {
    // Room for both channels first, so that a failed allocation leaves both queues as they were.
    for (int channel = 0; channel < kChannels; ++channel)
        outputQueue[channel].prepareAppend(kBlockLength);
    writePosition = static_cast<uint32_t>(outputQueue[0].size() - static_cast<size_t>(filterTaps));

    // Cleared before the direction is read: a change arriving during the rebuild raises the
    // flag again and is picked up at the next block.
    const bool fading = filtersDirty.exchange(false) && rebuildFilters();
    outputRunning = true;
    if (splitRoute) {
        renderBlockInParts(fading);
        return;
    }

    if (fading) {
        splitForFade();
        for (int channel = 0; channel < kChannels; ++channel)
            fft.forward_transform(fadingSpectrum[channel], fadingInput[channel]);
    }
    for (int channel = 0; channel < kChannels; ++channel)
        fft.forward_transform(inputSpectrum[channel], blockBuffer[channel]);

    for (int channel = 0; channel < kChannels; ++channel) {
        if (fading)
            kernels.multiplyAndSum(outputSpectrum[channel], fadingSpectrum[channel],
                                   previousFilterSpectrum[channel], inputSpectrum[channel],
                                   earFilterSpectrum[channel]);
        else
            kernels.multiply(outputSpectrum[channel], inputSpectrum[channel],
                             earFilterSpectrum[channel]);
    }

    // The input spectrum has served; it takes the block's result.
    for (int channel = 0; channel < kChannels; ++channel)
        fft.inverse_transform(outputSpectrum[channel], inputSpectrum[channel]);

    for (int channel = 0; channel < kChannels; ++channel) {
        outputQueue[channel].appendUnset(kBlockLength);
        kernels.place(outputQueue[channel].data() + writePosition, inputSpectrum[channel],
                      filterTaps);
    }
}

void BlockConvolver::renderBlockInParts(bool fading) {
    double* const work = routeArea + splitroute::kWork;
    double* const partial = routeArea + splitroute::kPartial;
    double* const fadingPartial = routeArea + splitroute::kFadingPartial;
    double* const middle = routeArea + splitroute::kMiddle;
    if (fading) splitForFade();
    for (int channel = 0; channel < kChannels; ++channel) {
        const double* const filter = routeArea + splitroute::filter(channel, false);
        if (fading) {
            fft.forward_half_block(fadingPartial, fadingInput[channel], work);
            fft.forward_half_block(partial, blockBuffer[channel], work);
            fft.multiply_sum_in_middle(middle, fadingPartial,
                                       routeArea + splitroute::filter(channel, true), partial,
                                       filter, kScale);
        } else {
            fft.forward_half_block(partial, blockBuffer[channel], work);
            fft.multiply_in_middle(middle, partial, filter, kScale);
        }
        outputQueue[channel].appendUnset(kBlockLength);
        // As placeResult does: added over the previous block's tail, stored beyond it, and the
        // last sample of the new space left zero for the next block.
        double* const target = outputQueue[channel].data() + writePosition;
        const int32_t length = kBlockLength + filterTaps - 1;
        fft.add_inverse_tail(target, middle, work, length, filterTaps - 1);
        target[length] = 0.0;
    }
}

template <class Sample> void BlockConvolver::deliverOutput(Sample** outputs, int32_t count) {
    for (int channel = 0; channel < kChannels; ++channel) {
        const double* __restrict queued = outputQueue[channel].data();
        Sample* __restrict output = outputs[channel];
        for (int32_t i = 0; i < count; ++i)
            output[i] = static_cast<Sample>(queued[i]);
        outputQueue[channel].removeFront(static_cast<size_t>(count));
    }
}

bool BlockConvolver::rebuildFilters() {
    const int32_t record =
        recordIndex(azimuthStep(azimuth.load()), elevationStep(elevation.load()));
    // The same record again rebuilds the same filters: nothing to fade.
    const bool fade = outputRunning && record != filterRecord;
    if (fade)
        for (int channel = 0; channel < kChannels; ++channel) {
            if (splitRoute) {
                const double* current = routeArea + splitroute::filter(channel, false);
                std::copy(current, current + splitroute::kFilter,
                          routeArea + splitroute::filter(channel, true));
            } else {
                std::copy(std::begin(earFilterSpectrum[channel]),
                          std::end(earFilterSpectrum[channel]), previousFilterSpectrum[channel]);
            }
        }
    loadEarFilters(record);
    return fade;
}

void BlockConvolver::splitForFade() {
    const double* __restrict in = kFadeWeights.in.data();
    const double* __restrict out = kFadeWeights.out.data();
    for (int channel = 0; channel < kChannels; ++channel) {
        double* __restrict block = blockBuffer[channel];
        double* __restrict fadingOut = fadingInput[channel];
        for (int32_t i = 0; i < kBlockLength; ++i) {
            fadingOut[i] = block[i] * out[i];
            block[i] *= in[i];
        }
    }
}

void BlockConvolver::computeEarFilters() {
    loadEarFilters(recordIndex(azimuthStep(azimuth.load()), elevationStep(elevation.load())));
}

void BlockConvolver::loadEarFilters(int32_t record) {
    filterRecord = record;
    const EarTable& table = tables.current();
    for (int channel = 0; channel < kChannels; ++channel) {
        const float* response = table.record(static_cast<Ear>(channel), record);
        double* taps = hrirBuffer[channel];
        for (int32_t t = 0; t < filterTaps; ++t)
            taps[t] = response[t];
        // A table of shorter responses than the last leaves nothing of it behind.
        std::fill(taps + filterTaps, taps + kMostTaps, 0.0);
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        fft.forward_transform(earFilterSpectrum[channel], hrirBuffer[channel]);
        if (splitRoute)
            fft.order_for_middle(routeArea + splitroute::filter(channel, false),
                                 earFilterSpectrum[channel]);
    }
}

// The calls of processReplacing and processDoubleReplacing that are not handled inline.
template void BlockConvolver::processFrames(float** inputs, float** outputs, int32_t count);
template void BlockConvolver::processFrames(double** inputs, double** outputs, int32_t count);

} // namespace vorpane
