// A table made at run time from a SOFA file, and the file it came from.
#pragma once

#include "engine/HrirTable.h"

#include <string>
#include <vector>

namespace vorpane::lv2 {

struct LoadedHrtf {
    std::string path;                 // as the host gave it
    std::vector<unsigned char> bytes; // kHrirTableBytes, the stored layout

    HrirTable table() const { return HrirTable(bytes.data()); }
};

} // namespace vorpane::lv2
