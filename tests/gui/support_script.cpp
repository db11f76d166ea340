// Window-test support: scripted boxes and dialogs, printouts to a file.
#include "support_script.h"

#include <deque>

#include "UPrintJob.h"

namespace {
class TScript : public TDialogAnswers {
public:
    std::deque<TMsgButton> answers;
    std::deque<QString> files;
    std::vector<TShownBox> shown;
    std::deque<QString> reasons;
    std::vector<std::string> reasonQuestions;
    bool active = false;

    TMsgButton Ask(TMsgKind kind, unsigned buttons, const std::string& text) override {
        shown.push_back({kind, buttons, text});
        if (!answers.empty()) {
            TMsgButton b = answers.front();
            answers.pop_front();
            return b;
        }
        if (buttons & mbCancel) return mbCancel;
        for (unsigned b : {mbYes, mbOK, mbNo, mbRetry})
            if (buttons & b) return static_cast<TMsgButton>(b);
        return mbNone;
    }
    bool AskReason(const std::string& question, const std::vector<std::string>& choices, std::string& choice,
                   std::string& text) override {
        reasonQuestions.push_back(question);
        QString answer = QStringLiteral("Scripted reason");
        if (!reasons.empty()) {
            answer = reasons.front();
            reasons.pop_front();
        }
        if (answer.isEmpty()) return false;
        choice = choices.empty() ? std::string() : choices.front();
        text = FromQ(answer);
        return true;
    }
    QString AskFile() override {
        if (files.empty()) return {};
        QString path = files.front();
        files.pop_front();
        return path;
    }
};
TScript& Script() {
    static TScript s;
    return s;
}
} // namespace

void TDialogScript::SetActive(bool active) {
    Script().active = active;
    SetDialogAnswers(active ? &Script() : nullptr);
    if (active) InstallQtPrompt();
}
bool TDialogScript::Active() {
    return Script().active;
}
void TDialogScript::AnswerNext(TMsgButton button) {
    Script().answers.push_back(button);
}
void TDialogScript::FileNext(const QString& path) {
    Script().files.push_back(path);
}
std::vector<TShownBox>& TDialogScript::Shown() {
    return Script().shown;
}
void TDialogScript::ReasonNext(const QString& text) {
    Script().reasons.push_back(text);
}
std::vector<std::string>& TDialogScript::ReasonQuestions() {
    return Script().reasonQuestions;
}
void TDialogScript::Reset() {
    Script().reasons.clear();
    Script().reasonQuestions.clear();
    Script().answers.clear();
    Script().files.clear();
    Script().shown.clear();
}

void SetTestOutput(const QString& pdfPath) {
    if (pdfPath.isEmpty()) return TPrintJob::SetCaptureHook({});
    TPrintJob::SetCaptureHook([pdfPath](const TPrintJobSpec& job, const TPrintDrawer& draw) {
        TPrintJob::WritePdf(pdfPath, job, draw);
    });
}
