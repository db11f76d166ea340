// A kit header that reaches up to the main window.
#pragma once
#include "UMain.h"
