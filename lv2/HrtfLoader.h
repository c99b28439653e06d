// Makes a table from a SOFA file with the same code that makes the built-in table, the file read
// by the SOFA reader process: for the worker thread and for a restore that loads directly. Never
// throws; waits for the reader and allocates, so never on the audio thread.
#pragma once

#include "lv2/LoadedHrtf.h"
#include "lv2/SofaReaderProcess.h"

#include <memory>
#include <string>

namespace vorpane::lv2 {

struct HrtfLoad {
    std::unique_ptr<LoadedHrtf> table; // null when refused
    std::string refusal;               // one line: the file and what is wrong with it
    bool missing = false;              // the file is not there
};

HrtfLoad loadHrtf(const std::string& path, const SofaReaderProcess& reader);

} // namespace vorpane::lv2
