// Window-test support.
#include "support_prompt.h"

#include "UOperations.h"

#include <cstdlib>
#include <filesystem>

#include "UGlobale.h"
#include "URegional.h"

TGuiTempFolder::TGuiTempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-gui-XXXXXX").string();
    path_ = std::string(mkdtemp(tmpl.data())) + "/";
    setenv("VARNHOLT_HOME", path_.c_str(), 1);
    // The windows change stored data through the layer, opened on the folder as a companion would be:
    // no sample data, the lists empty for the test to fill.
    TOpenOptions options;
    options.SampleOnFirstRun = false;
    Operations().Open(path_, TOpenMode::Writer, options);
    Regional = TRegional{};
}

TGuiTempFolder::~TGuiTempFolder() {
    Operations().Close();
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

TScriptedAnswers::TScriptedAnswers() {
    previous_ = SetPrompt(this);
}

TScriptedAnswers::~TScriptedAnswers() {
    SetPrompt(previous_);
}

TMsgButton TScriptedAnswers::Ask(TMsgKind kind, unsigned buttons, const std::string& text) {
    shown.push_back({kind, buttons, text});
    if (!answers_.empty()) {
        TMsgButton b = answers_.front();
        answers_.pop_front();
        return b;
    }
    if (buttons & mbCancel) return mbCancel;
    return (buttons & mbYes) ? mbYes : mbOK;
}

bool TScriptedAnswers::AskReason(const std::string& question, const std::vector<std::string>& choices,
                                 std::string& choice, std::string& text) {
    reasonQuestions.push_back(question);
    std::string answer = "Scripted reason";
    if (!reasons_.empty()) {
        answer = reasons_.front();
        reasons_.pop_front();
    }
    if (answer.empty()) return false;
    choice = choices.empty() ? std::string() : choices.front();
    text = answer;
    return true;
}

bool TScriptedAnswers::EnterPassword() {
    ++passwordQuestions;
    if (passwords_.empty()) return false;
    bool ok = passwords_.front();
    passwords_.pop_front();
    return ok;
}
