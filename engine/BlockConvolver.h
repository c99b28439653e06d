// The streaming block convolver: turns a stereo stream delivered in host blocks of any length
// into the binaurally rendered stream. Each channel is convolved with the response of its own
// ear by overlap-add over blocks of 1024 frames, zero-padded to 2048 and transformed with a real
// FFT. The rendered signal is delayed by 1791 frames.
//
// Input waiting for its block goes straight into the first half of the block buffer, whose second
// half stays zero; the inverse transform writes the input spectrum, which is no longer needed by
// then, so the block buffer never has to be cleared again.
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

#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"
#include "engine/SampleQueue.h"
#include "fft/FFTReal.h"

#include <atomic>
#include <cstdint>

namespace vorpane {

class BlockConvolver {
  public:
    // Host blocks up to this size are processed without allocating from construction on.
    static constexpr int32_t kPreparedBlockSize = 4096;

    BlockConvolver(HrirTable table, const std::atomic<float>& azimuth,
                   const std::atomic<float>& elevation, std::atomic<bool>& filtersDirty);

    BlockConvolver(const BlockConvolver&) = delete;
    BlockConvolver& operator=(const BlockConvolver&) = delete;

    // Appends count frames of the two inputs, renders every complete block and writes count
    // rendered frames to the two outputs. A count of 0 or less does nothing.
    void processReplacing(float** inputs, float** outputs, int32_t count);
    // The same in double precision, without rounding the output to float.
    void processDoubleReplacing(double** inputs, double** outputs, int32_t count);

    // Restarts the output: the queued output is replaced by zeros. Input still waiting is
    // rendered first when processing goes on, and new input keeps the delay of kSignalDelay.
    void resume();

    // Makes room in the queues for host blocks of this many frames, so that processing them
    // allocates nothing.
    void reserve(int32_t hostBlockSize);

    // Reads its records from another table from the next block on, which builds its filters
    // from it and fades to them as to a new direction. Called between blocks on the thread that
    // processes, never during processing; the previous table is no longer read once this returns.
    void useTable(HrirTable other) {
        table = other;
        filterRecord = -1; // the same record of another table is another filter
        filtersDirty.store(true);
    }

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
        void (*place)(double* target, const double* result);
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
    template <class Sample> void deliverOutput(Sample** outputs, int32_t count);

    static constexpr int kChannels = 2;

    HrirTable table;
    const std::atomic<float>& azimuth;
    const std::atomic<float>& elevation;
    std::atomic<bool>& filtersDirty;
    FFTReal<double> fft{kTransformLength};
    Kernels kernels; // of the same vector instructions as fft

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
    SampleQueue outputQueue[kChannels];
    uint32_t writePosition = 0;
};

} // namespace vorpane
