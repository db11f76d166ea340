// A bare name that two visible folders hold.
#pragma once
#include "URandom.h"
#include "UKitUp.h"
