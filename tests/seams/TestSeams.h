// What the tests install into the program's code: write faults, and the data write of the operations.
#pragma once

#include "UAtomicFile.h"
#include "UOperations.h"

// The faults of every later write in this process, installed at the first call; disabled until set.
TWriteFaults& WriteFaults();

// The operations' own data write, for tests that build the lists in memory first.
struct TOperationsTestAccess {
    static void WriteData(TOperations& ops) { ops.WriteData(); }
};
// Writes the data file from both lists as they stand; throws EQcError.
inline void WriteAllData(TOperations& ops = Operations()) {
    TOperationsTestAccess::WriteData(ops);
}
