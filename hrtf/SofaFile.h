// Reads a measured set from an AES69 (SOFA) file with libmysofa. Only the SimpleFreeFieldHRIR
// convention with two receivers (left ear first) is taken; any other file, and any response a
// measurement cannot give (not a number, absurdly loud), is refused with a std::runtime_error
// whose text is one line naming the file and what is wrong.
#pragma once

#include "hrtf/SofaSet.h"

#include <string>

SofaSet readSofaFile(const std::string& path);
