// Makes the ear responses for one rate from a stored table of 44.1 kHz records: at 44.1 kHz the
// taps themselves, at any other rate the records resampled by RecordResampler. Used for the
// built-in table and for any other table in the stored format; it allocates, and so runs off the
// audio thread.
#pragma once

#include "engine/EarTable.h"
#include "engine/HrirTable.h"

namespace vorpane {

// rate: one that supportedRate() gives.
EarTable resampleTable(HrirTable source, double rate);

} // namespace vorpane
