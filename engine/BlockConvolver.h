// The streaming block convolver: turns a stereo stream delivered in host blocks of any length
// into the binaurally rendered stream. Each channel is convolved with the response of its own
// ear by overlap-add over blocks of 1024 frames, zero-padded to 2048 and transformed with a real
// FFT. The rendered signal is delayed by 1791 frames.
//
// Input waiting for its block goes straight into the first half of the block buffer, whose second
// half stays zero; the inverse transform writes the input spectrum, which is no longer needed by
// then, so the block buffer never has to be cleared again.
//
// The responses come from an ear table at the rate the engine renders at (EarTable), up to 1025
// taps long: with 1024-frame blocks the linear convolution then fills the 2048-point transform
// exactly. A block's result reaches as far behind the block as the responses are long, so the
// output queue is primed with 1791 zeros plus the taps of a response, and the signal leaves
// 1791 frames after it came in at every rate. A new table (the host set another rate) waits
// until the output restarts (resume).
//
// Where the transform has the split route (processors with AVX2 and FMA), each channel's block
// goes through it in three parts: the forward passes but the last, which skip the block's zero
// half; one sweep of the last forward pass, the product with the ear filter and the first
// inverse pass; and the other inverse passes, which add only the samples used (1024 + taps - 1,
// 1279 at 44.1 kHz) straight into the output queue. The output has the same bits as the whole
// transforms with the product between them. The arrays of that route lie in one work area at
// offsets chosen for the cache (SplitRouteLayout.h).
//
// The direction comes from three values owned by the plug-in: azimuth and elevation, which the
// convolver reads when it rebuilds the ear filters, and the flag that asks for the rebuild. They
// may change on another thread at any time.
//
// A new direction takes effect with the next block rendered, which fades from the filters the
// previous block ended with to the new ones over its 1024 frames, so that a move does not click.
// By linearity this is exact and cheap: the block is split into a fading-out and a fading-in
// part (raised-cosine weights that sum to one), each part is transformed and multiplied with its
// own ear filter, and one inverse transform gives the sum. Once the block's 255-frame tail has
// passed, the output is the new direction's convolution alone. The first block after the
// output (re)starts has nothing to fade from and takes the current filters at once.
#pragma once

#include "engine/EarTable.h"
#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"
#include "engine/SampleQueue.h"
#include "engine/SplitRouteLayout.h"
#include "engine/TableHandOver.h"
#include "fft/FFTReal.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace vorpane {

class BlockConvolver {
  public:
    // Host blocks up to this size are processed without allocating from construction on.
    static constexpr int32_t kPreparedBlockSize = 4096;

    // widest: the widest vector instructions to use where the processor has them, as for
    // FFTReal (narrower ones only for measurements and tests).
    BlockConvolver(std::shared_ptr<const EarTable> table, const std::atomic<float>& azimuth,
                   const std::atomic<float>& elevation, std::atomic<bool>& filtersDirty,
                   fftreal::VectorTier widest = fftreal::VectorTier::avx2_fma);
    // On a stored table of 44.1 kHz records, used at 44.1 kHz (tests and tools).
    BlockConvolver(HrirTable table, const std::atomic<float>& azimuth,
                   const std::atomic<float>& elevation, std::atomic<bool>& filtersDirty,
                   fftreal::VectorTier widest = fftreal::VectorTier::avx2_fma);

    BlockConvolver(const BlockConvolver&) = delete;
    BlockConvolver& operator=(const BlockConvolver&) = delete;

    // Appends count frames of the two inputs, renders every complete block and writes count
    // rendered frames to the two outputs. A count of 0 or less does nothing.
    // Inline, so that hosts rendering frame by frame pay for no further call.
    void processReplacing(float** inputs, float** outputs, int32_t count) {
        process(inputs, outputs, count);
    }
    // The same in double precision, without rounding the output to float.
    void processDoubleReplacing(double** inputs, double** outputs, int32_t count) {
        process(inputs, outputs, count);
    }

    // Restarts the output: the queued output is replaced by zeros. Input still waiting is
    // rendered first when processing goes on, and new input keeps the delay of kSignalDelay.
    // Takes up the table offered last, if any.
    void resume();

    // Any thread but the audio thread, also while it renders: the table to render with from the
    // next resume on. Throws std::bad_alloc when memory runs out; the table in use stays.
    void offerTable(std::shared_ptr<const EarTable> table) { tables.offer(std::move(table)); }
    // The table in use and the taps of its responses.
    const EarTable& earTable() const { return tables.current(); }
    int32_t responseTaps() const { return filterTaps; }

    // Makes room in the queues for host blocks of this many frames, so that processing them
    // allocates nothing.
    void reserve(int32_t hostBlockSize);

    // Between blocks, on the thread that processes: takes up the table offered last without
    // restarting the output. It must be one at the rate in use (another set of responses, as
    // long as those in use). The next block builds its filters from it and fades to them as to
    // a new direction. Allocates and frees nothing; true when it took one up.
    bool takeUpOfferedTable();

    // Picks the table record of the current direction and computes both ear filter spectra.
    void computeEarFilters();

    // Input frames waiting for their block.
    size_t inputQueueLength() const { return static_cast<size_t>(blockFill); }
    size_t outputQueueLength() const { return outputQueue[0].size(); }
    const double* hrir(Ear ear) const { return hrirBuffer[static_cast<int>(ear)]; }
    const double* earFilter(Ear ear) const { return earFilterSpectrum[static_cast<int>(ear)]; }

    // The loops around the transforms that have a vector form: the product of the spectra (y =
    // h x, scaled), the sum of two such products for a fading block, and the placement of a
    // block's result in the output queue.
    struct Kernels {
        void (*multiply)(double* y, const double* x, const double* h);
        void (*multiplyAndSum)(double* y, const double* xOld, const double* hOld,
                               const double* xNew, const double* hNew);
        void (*place)(double* target, const double* result, int32_t taps);
    };

  private:
    template <class Sample> void process(Sample** inputs, Sample** outputs, int32_t count);
    // Calls of more than one frame, and the part of a call that completes a block: kept apart
    // so that the shorter calls stay lean.
    template <class Sample>
    [[gnu::noinline]] void processFrames(Sample** inputs, Sample** outputs, int32_t count);
    template <class Sample>
    [[gnu::noinline]] void processBlocks(Sample** inputs, Sample** outputs, int32_t count);
    template <class Sample> void appendInput(Sample** inputs, int32_t offset, int32_t count);
    void renderBlock();
    // Rebuilds the ear filters for the current direction; true when the block must fade from
    // the filters it replaced, which it then keeps.
    bool rebuildFilters();
    void loadEarFilters(int32_t record);
    // The block buffers split into their fading-out part (in fadingInput) and fading-in part.
    void splitForFade();
    // The block through the transform's split route, fading as renderBlock decided.
    void renderBlockInParts(bool fading);
    template <class Sample> void deliverOutput(Sample** outputs, int32_t count);

    static constexpr int kChannels = 2;

    TableHandOver tables;
    int32_t filterTaps; // of the table in use
    const std::atomic<float>& azimuth;
    const std::atomic<float>& elevation;
    std::atomic<bool>& filtersDirty;
    FFTReal<double> fft;
    Kernels kernels; // of the same vector instructions as fft
    const bool splitRoute = fft.has_split_route();

    int32_t blockFill = 0; // input frames in the first half of each block buffer
    alignas(64) double blockBuffer[kChannels][kTransformLength];
    alignas(64) double hrirBuffer[kChannels][kTransformLength];
    alignas(64) double inputSpectrum[kChannels][kTransformLength];
    alignas(64) double earFilterSpectrum[kChannels][kTransformLength];
    alignas(64) double outputSpectrum[kChannels][kTransformLength];
    // For a block that fades: the filters it fades from, its fading-out input (second half
    // always zero) and that input's spectrum.
    alignas(64) double previousFilterSpectrum[kChannels][kTransformLength];
    alignas(64) double fadingInput[kChannels][kTransformLength];
    alignas(64) double fadingSpectrum[kChannels][kTransformLength];
    int32_t filterRecord = -1;  // the record the ear filters hold; -1 before the first rebuild
    bool outputRunning = false; // a block has been rendered since the output (re)started
    alignas(64) double routeArea[splitroute::kLength]; // the split route's arrays
    SampleQueue outputQueue[kChannels];
    uint32_t writePosition = 0;
};

template <class Sample>
inline void BlockConvolver::process(Sample** inputs, Sample** outputs, int32_t count) {
    if (count == 1 && blockFill < kBlockLength - 1 && outputQueue[0].size() > 0) {
        // Hosts that render frame by frame: one sample in and one out per channel, nothing else.
        const Sample left = inputs[0][0], right = inputs[1][0];
        blockBuffer[0][blockFill] = static_cast<double>(left);
        blockBuffer[1][blockFill] = static_cast<double>(right);
        ++blockFill;
        outputs[0][0] = static_cast<Sample>(outputQueue[0].takeFront());
        outputs[1][0] = static_cast<Sample>(outputQueue[1].takeFront());
        return;
    }
    processFrames(inputs, outputs, count);
}

} // namespace vorpane
