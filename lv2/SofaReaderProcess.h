// Reads SOFA files in a process of its own: the bundle's vorpane-sofa-reader, which reads one
// with libmysofa and sends back the set or the line refusing it (hrtf/SofaSetMessage.h).
// libmysofa never runs in the host's process, so a damaged file that makes it loop, crash or
// ask for all the memory there is costs the host one refusal and nothing else. The reader gets
// limits on processor time, on the time it may take altogether and (outside sanitizer builds)
// on its address space; at the first limit it reaches it is killed.
//
// read() blocks its thread until the reader is done or killed: for the worker thread only.
#pragma once

#include "hrtf/SofaSet.h"

#include <cstdint>
#include <string>
#include <utility>

namespace vorpane::lv2 {

struct SofaReaderLimits {
    // The KEMAR set is read in 0.07 s, a dense set of 2,592 directions in 0.03 s.
    unsigned processorSeconds = 5;
    unsigned seconds = 30;
    // The largest set taken: 512 MiB as doubles, some 16,000 directions of 1,000 taps.
    uint64_t largestSet = uint64_t{512} << 20;
};

class SofaReaderProcess {
  public:
    static constexpr const char* kProgramName = "vorpane-sofa-reader";

    explicit SofaReaderProcess(std::string program, SofaReaderLimits limits = {})
        : program(std::move(program)), limits(limits) {}

    // The set in the file at `path`; otherwise a std::runtime_error whose text is one line
    // naming the file and what is wrong, in the words the table build uses for the same fault.
    SofaSet read(const std::string& path) const;

  private:
    std::string program;
    SofaReaderLimits limits;
};

} // namespace vorpane::lv2
