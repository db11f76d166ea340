// Window-test support for validation, queue and backup: analytes with set limits, on-disk checks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "UStructures.h"

class TWinValidCQ;

// Sets the limits of a level as given (available), without recomputing from the points.
void ValidSetLimits(TAnalyte& a, int level, long double mean, long double warn, long double action);
// A run of the analyte dated `day` days after 1 January 2024 at 10:00.
TResu ValidRun(const TAnalyte& a, int day, std::initializer_list<float> values);
// The analytes of the data file on disk (empty when there is none).
std::vector<std::unique_ptr<TAnalyte>> ValidDataFileAnalytes(const std::string& path);
// The runs of the queue file on disk (empty when there is none).
std::vector<TResu> ValidQueueFile();
// A validator that shows the real window modally and, once shown, runs `act` on it and presses OK
// or Cancel. Records the number of showings.
struct TValidDriver {
    explicit TValidDriver(TWinValidCQ& w) : win(w) {}
    bool operator()(TAnalyte& a, TResu& r);
    TWinValidCQ& win;
    bool pressOK = true;
    std::function<void(TWinValidCQ&)> act;
    int shown = 0;
};
