// Data file reader and writer, sample data.
#include "UDataLoadSave.h"

TListAnalytes ListAnalytes;
TListSerum ListSerum;
