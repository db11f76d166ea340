// The settings record in memory.
#include "UGlobaleSettings.h"

TSettings Settings;
