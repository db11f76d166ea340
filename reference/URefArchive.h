// The erase-and-archive of one QC level as the reference windows call it (replaceable in tests).
#pragma once

#include <cstdint>
#include <functional>

class TAnalyte;

using TArchiveLevelFn = std::function<int32_t(TAnalyte&, int level)>;

// ArchiveLevel of the archive files unless a test replaces it: writes the archive file and erases the
// level; throws EQcError (nothing changed) on failure.
TArchiveLevelFn& ArchiveLevelHook();
// Calls the hook.
int32_t ArchiveLevelOf(TAnalyte& a, int level);
