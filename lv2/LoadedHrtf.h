// A table made at run time from a SOFA file, and the file it came from.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vorpane::lv2 {

struct LoadedHrtf {
    std::string path; // as the host gave it
    // kHrirTableBytes in the stored layout, at 44.1 kHz; shared with the ear table made from it.
    std::shared_ptr<const std::vector<unsigned char>> bytes;
};

} // namespace vorpane::lv2
