#include "engine/HrirTable.h"

extern "C" const unsigned char vorpane_hrir_table_start[];
extern "C" const unsigned char vorpane_hrir_table_end[];

namespace vorpane {

static_assert(kHrirTableBytes == 1280000);

HrirTable embeddedHrirTable() {
    return HrirTable(vorpane_hrir_table_start);
}

} // namespace vorpane
