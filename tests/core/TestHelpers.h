// Shared test fixtures: a temporary program folder, scripted message boxes, analyte builders.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "UGlobale.h"
#include "UOperations.h"
#include "UStructures.h"
#include "UUserPrompt.h"

// A fresh program folder per test, removed afterwards; settings reset to defaults.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// A temporary program folder opened by the operations layer, as a writing companion opens it (the
// folder's lock, no sample data); closed at the end.
class TOpenFolder : public TTempFolder {
public:
    TOpenFolder();
    ~TOpenFolder();
    // Closes the layer and opens the folder again, as the next start does.
    TOpenReport Reopen(TOpenMode mode = TOpenMode::Writer, bool sample = false);
    TOpenReport report;
};

// Answers boxes from a script and records every box shown.
class TScriptedPrompt : public TUserPrompt {
public:
    struct Shown {
        TMsgKind kind;
        unsigned buttons;
        std::string text;
    };
    TScriptedPrompt() { previous_ = SetPrompt(this); }
    ~TScriptedPrompt() override { SetPrompt(previous_); }
    void Answer(TMsgButton b) { answers_.push_back(b); }
    TMsgButton Ask(TMsgKind kind, unsigned buttons, const std::string& text) override;
    std::vector<Shown> shown;

private:
    std::deque<TMsgButton> answers_;
    TUserPrompt* previous_ = nullptr;
};

// A run at a date-time with up to three values; NAN leaves a level empty.
TResu MakeRun(TDateTime dt, std::initializer_list<double> values, const std::string& comment = "",
              const std::string& op = "");
// An analyte with one point per day (from day 1000) holding the given values of level 1.
TAnalyte AnalyteWithValues(const std::vector<double>& values, int nbLevels = 1);
