// Default prompt used when no window layer has installed one.
#include "UUserPrompt.h"

#include "UGlobale.h"
#include "UOperations.h"
#include "UTexts.h"

namespace {
class TDefaultPrompt : public TUserPrompt {
public:
    TMsgButton Ask(TMsgKind, unsigned buttons, const std::string&) override {
        if (buttons & mbCancel) return mbCancel;
        for (unsigned b : {mbYes, mbOK, mbNo, mbRetry})
            if (buttons & b) return static_cast<TMsgButton>(b);
        return mbNone;
    }
};
TDefaultPrompt defaultPrompt;
TUserPrompt* current = nullptr;
} // namespace

TUserPrompt& Prompt() {
    return current ? *current : defaultPrompt;
}

TUserPrompt* SetPrompt(TUserPrompt* prompt) {
    TUserPrompt* old = current;
    current = prompt;
    return old;
}

bool AskPassword() {
    return Settings.Password.empty() || Prompt().EnterPassword();
}

bool AskReasonText(const std::string& question, std::string& reason) {
    std::string choice;
    reason.clear();
    return Prompt().AskReason(question, {}, choice, reason) && !reason.empty();
}

void ShowRefusedFile(const TOutcome& outcome) {
    constexpr size_t shown = 20;
    std::string text = outcome.Message;
    for (size_t k = 0; k < outcome.Notes.size() && k < shown; ++k) text += "\n" + outcome.Notes[k];
    if (outcome.Notes.size() > shown)
        text += "\n" + Fill(QT_TRANSLATE_NOOP("Core", "... and %1 more"),
                            std::to_string(outcome.Notes.size() - shown));
    ShowMessageBox(mkError, mbOK, text);
}

bool ShowOutcome(const TOutcome& outcome, TMsgButton button) {
    if (!outcome.Ok()) ShowMessageBox(mkError, button, outcome.Message);
    for (const std::string& note : outcome.Notes) ShowMessageBox(mkInformation, mbOK, note);
    return outcome.Changed();
}
