// Message boxes and file dialogs of the program, and the answers that can stand in for them.
#pragma once

#include <QString>
#include <deque>
#include <optional>
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

// Answers given in place of the boxes, reason windows and file dialogs; none in the program, tests
// install their scripts.
class TDialogAnswers {
public:
    virtual ~TDialogAnswers() = default;
    virtual TMsgButton Ask(TMsgKind kind, unsigned buttons, const std::string& text) = 0;
    // As TUserPrompt::AskReason.
    virtual bool AskReason(const std::string& question, const std::vector<std::string>& choices,
                           std::string& choice, std::string& text) = 0;
    // The path a file or folder dialog returns; empty for a cancelled dialog.
    virtual QString AskFile() = 0;
};
// Installs answers (not owned); nullptr shows the real boxes and dialogs again.
void SetDialogAnswers(TDialogAnswers* answers);

// Every file dialog of the program is made ready by this: the dialog never opens the files it lists.
// It would otherwise read each file's first bytes to name its type, and closing that read releases
// the process's locks on Varnholt.db, so that another program closing the database deletes the log
// files this one still writes into.
class QFileDialog;
void PrepareFileDialog(QFileDialog& dialog);

// File dialogs, answered by the installed answers when there are some.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter);
// A file chosen in the open dialog (starting in the program folder) and read whole; nothing when the
// dialog was cancelled, or when the file cannot be read (the reason then shown).
std::optional<std::string> AskFileBytes(QWidget* parent, const QString& caption, const QString& filter);
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& defaultSuffix);
QString AskExistingFolder(QWidget* parent, const QString& caption, const QString& folder);

// The window side of the entry checks: on a refused text the box's text is selected, the box is
// focused, the message is shown with the single button OK and the EConvertError is passed on.
int CheckIntegerEdit(QLineEdit* edit, int min, int max);
LevelValue ReadValueEdit(QLineEdit* edit);
long double ReadRealEdit(QLineEdit* edit, bool nonNegative);
