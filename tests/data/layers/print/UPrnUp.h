// A printout that reaches up by a path.
#pragma once
#include "../kit/UKitUp.h"
#include "../main/UMain.h"
