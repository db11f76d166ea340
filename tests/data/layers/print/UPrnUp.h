// A printout that reaches up by a path.
#pragma once
#include "../main/UMain.h"
#include "../kit/UKitUp.h"
