// The data file: the global control-material and analyte lists, their reader and writer.
#pragma once

#include <string>

#include "UStructures.h"

// The program-wide lists, owned from loading to the end of the program.
extern TListAnalytes ListAnalytes;
extern TListSerum ListSerum;
