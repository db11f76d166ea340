// The one way core asks the user something: the program answers with message boxes, tests with scripts.
#pragma once

#include <string>
#include <vector>

enum TMsgKind { mkError, mkWarning, mkInformation, mkConfirmation };

// Buttons of a box; a set of them is a bitwise or.
enum TMsgButton : unsigned { mbNone = 0, mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbRetry = 16 };

class TUserPrompt {
public:
    virtual ~TUserPrompt() = default;
    // Shows text in a box of the given kind with the given buttons; returns the button pressed.
    virtual TMsgButton Ask(TMsgKind kind, unsigned buttons, const std::string& text) = 0;
    // Shows the password entry window of the protected commands; true when the right password was
    // entered. Only called when a password is set.
    virtual bool EnterPassword() { return false; }
    // Asks why a change is made: with `choices`, one of them (the corrective actions) and free text; without,
    // a reason that may not be empty. False when cancelled: the change is then not made.
    virtual bool AskReason(const std::string& question, const std::vector<std::string>& choices,
                           std::string& choice, std::string& text) {
        (void)question, (void)choices, (void)choice, (void)text;
        return false;
    }
};

// The reason for a change, or nothing when the user cancelled.
bool AskReasonText(const std::string& question, std::string& reason);

// The installed prompt. With none installed, a box answers Cancel when it offers Cancel (nothing is
// done without consent), else its only or first button.
TUserPrompt& Prompt();
// Installs a prompt (not owned); nullptr restores the default. Returns the previous one.
TUserPrompt* SetPrompt(TUserPrompt* prompt);

// True when no password is set, or when the user entered it.
bool AskPassword();

inline TMsgButton ShowMessageBox(TMsgKind kind, unsigned buttons, const std::string& text) {
    return Prompt().Ask(kind, buttons, text);
}

struct TOutcome;
// For the windows: shows what an operation of the layer came to, its refusal or partial failure in an
// error box with a single Yes button (as the program's failure boxes have; the features the
// predecessor did not have give mbOK, the convention of a new message), then its notes. True when the
// change was saved (done, or done in part).
bool ShowOutcome(const TOutcome& outcome, TMsgButton button = mbYes);
// A refused import file: its refusal and the refused lines (its notes) in one error box, the first 20
// of a long list and how many more.
void ShowRefusedFile(const TOutcome& outcome);
