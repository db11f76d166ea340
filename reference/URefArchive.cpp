// The erase-and-archive of one QC level as the reference windows call it (replaceable in tests).
#include "URefArchive.h"

#include "UQcError.h"

TArchiveLevelFn& ArchiveLevelHook() {
    // Until the archive files are part of the program, nothing may be erased without its archive.
    static TArchiveLevelFn hook = [](TAnalyte&, int) -> int32_t {
        throw EQcError("Archiving is not available");
    };
    return hook;
}

int32_t ArchiveLevelOf(TAnalyte& a, int level) {
    return ArchiveLevelHook()(a, level);
}
