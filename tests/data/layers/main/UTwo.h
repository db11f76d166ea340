// A bare name that two visible folders hold.
#pragma once
#include "UKitUp.h"
#include "URandom.h"
