// Window-test support: the scripts that stand in for the program's boxes and file dialogs, and
// printouts written to a file.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "UMessages.h"

// Scripted answers: while active no box or file dialog is shown; every box is recorded and answered
// by the next queued answer, or by Cancel when offered, else by its first button.
struct TShownBox {
    TMsgKind kind;
    unsigned buttons;
    std::string text;
};

class TDialogScript {
public:
    static void SetActive(bool active);
    static bool Active();
    static void AnswerNext(TMsgButton button);
    // The next file or folder dialog returns this path; an empty path is a cancelled dialog.
    static void FileNext(const QString& path);
    // The next reason window answers with this text (the first choice when it offers some); an empty
    // text cancels it. Without one queued it answers "Scripted reason".
    static void ReasonNext(const QString& text);
    static std::vector<std::string>& ReasonQuestions();
    static std::vector<TShownBox>& Shown();
    static void Reset();
};

// Every later printout goes straight to this PDF file, without preview or dialog; empty shows them again.
void SetTestOutput(const QString& pdfPath);
