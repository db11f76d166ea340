// The erase-and-archive of one QC level as the reference windows call it (replaceable in tests).
#include "URefArchive.h"

#include "UArchive.h"

TArchiveLevelFn& ArchiveLevelHook() {
    static TArchiveLevelFn hook = [](TAnalyte& a, int level) { return ArchiveLevel(a, level); };
    return hook;
}

int32_t ArchiveLevelOf(TAnalyte& a, int level) {
    return ArchiveLevelHook()(a, level);
}
