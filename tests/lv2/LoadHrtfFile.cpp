// load-hrtf-file FILE: loads a SOFA file as the LV2 plug-in's worker does (the bundle's SOFA
// reader, then the table), for scripts/damaged-sofa-files.sh. A refused file ends it with
// status 1 and the refusal's line on standard error.
#include "lv2/HrtfLoader.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: load-hrtf-file FILE\n", stderr);
        return 2;
    }
    const vorpane::lv2::HrtfLoad load =
        vorpane::lv2::loadHrtf(argv[1], vorpane::lv2::SofaReaderProcess(SOFA_READER));
    if (load.table) return 0;
    std::fprintf(stderr, "%s\n", load.refusal.c_str());
    return 1;
}
