// Message boxes and file dialogs of the program, with the test hook that answers them from a script.
#pragma once

#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "UTexts.h"
#include "UTypes.h"
#include "UUserPrompt.h"

class QWidget;
class QLineEdit;
class QMessageBox;

// Texts of the files are 8-bit Windows-1252; these two helpers are the windows' conversion boundary.
QString ToQ(const std::string& ansi);
std::string FromQ(const QString& text);
// A text of core in the windows' language: its translation in the context "Core", else the text as it
// stands (Windows-1252 bytes in, as core keeps them).
QString CoreTextQ(const std::string& text);
// A window's message as core keeps text: the translated pattern with %1, %2, ... replaced by the values
// (Windows-1252 bytes, as core keeps them).
template <typename... TValues> std::string FillQ(const QString& translated, const TValues&... values) {
    return Substitute(FromQ(translated), {std::string(values)...});
}

// The program's prompt: a modal QMessageBox with the kind's icon and exactly the requested buttons.
class TQtPrompt : public TUserPrompt {
public:
    TMsgButton Ask(TMsgKind kind, unsigned buttons, const std::string& text) override;
    // The password window of the protected commands.
    bool EnterPassword() override;
    bool AskReason(const std::string& question, const std::vector<std::string>& choices, std::string& choice,
                   std::string& text) override;
};

// Installs the Qt prompt for the whole program (kept until the end).
void InstallQtPrompt();

// The program's message box: the kind's icon and title, the text as plain text, exactly the
// requested buttons, and wide enough for its title.
void PrepareMessageBox(QMessageBox& box, TMsgKind kind, unsigned buttons, const std::string& text);
// The width a window needs for the window manager to show its whole title beside its buttons, and a
// window widened to it when narrower.
int TitleBarWidth(const QString& title);
void FitWindowTitle(QWidget* window);

// Scripted answers for tests: while active no box or file dialog is shown; every box is recorded
// and answered by the next queued answer, or by Cancel when offered, else by its first button.
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

    static TMsgButton TakeAnswer(unsigned buttons);
    static bool TakeFile(QString& path);
};

// Every file dialog of the program is made ready by this: the dialog never opens the files it lists.
// It would otherwise read each file's first bytes to name its type, and closing that read releases
// the process's locks on Varnholt.db, so that another program closing the database deletes the log
// files this one still writes into.
class QFileDialog;
void PrepareFileDialog(QFileDialog& dialog);

// File dialogs going through the hook.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter);
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& defaultSuffix);
QString AskExistingFolder(QWidget* parent, const QString& caption, const QString& folder);

// The window side of the entry checks: on a refused text the box's text is selected, the box is
// focused, the message is shown with the single button OK and the EConvertError is passed on.
int CheckIntegerEdit(QLineEdit* edit, int min, int max);
LevelValue ReadValueEdit(QLineEdit* edit);
long double ReadRealEdit(QLineEdit* edit, bool nonNegative);
