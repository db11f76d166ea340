// Shared window-test fixtures: a temporary program folder, scripted boxes and dialogs, test analytes.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "UMessages.h"
#include "UStructures.h"
#include "support_prompt.h"

class QDialog;
class QObject;
class QWidget;

// A fresh program folder (removed afterwards), default settings, no operators, no analytes, the
// default regional formats and scripted message boxes with an empty record.
class TGuiFolder {
public:
    TGuiFolder();
    ~TGuiFolder();
    const std::string& Path() const { return folder_.Path(); }
    std::string File(const std::string& name) const { return folder_.Path() + name; }

private:
    TGuiTempFolder folder_;
};

// Runs action on the next modal dialog as soon as it is shown (then the dialog's exec returns when the
// action accepts or rejects it). The returned timer may be deleted to drop the wait.
QObject* OnNextModal(std::function<void(QDialog*)> action);

// Texts of the boxes shown since the last reset.
std::vector<std::string> ShownTexts();

// Adds to the global analyte list an analyte with one point per day from 1 March 2024 holding the
// given level values (NAN leaves a level empty), then computes it.
TAnalyte& AddTestAnalyte(const std::string& name, int nbLevels, int points, double base = 100.0);
TResu TestRun(TDateTime dt, std::initializer_list<double> values, const std::string& comment = "",
              const std::string& op = "");
// Loads the program's resources into a test program.
void InitTestResources();
