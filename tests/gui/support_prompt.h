// Window-test support: a temporary program folder and scripted answers to the program's questions.
#pragma once

#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "UUserPrompt.h"
#include "support_script.h"

// A fresh program folder with default settings and regional formats; removed at the end.
class TGuiTempFolder {
public:
    TGuiTempFolder();
    ~TGuiTempFolder();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Answers message boxes and password questions from a script, recording every box shown.
// Without a scripted answer a box answers Cancel when it has one, else Yes or OK.
class TScriptedAnswers : public TUserPrompt {
public:
    struct Shown {
        TMsgKind kind;
        unsigned buttons;
        std::string text;
    };
    TScriptedAnswers();
    ~TScriptedAnswers() override;
    void Answer(TMsgButton b) { answers_.push_back(b); }
    void AnswerPassword(bool ok) { passwords_.push_back(ok); }
    // The next reason question answers this text (the first choice when it offers some); an empty text
    // cancels. Without one queued it answers "Scripted reason".
    void AnswerReason(const std::string& text) { reasons_.push_back(text); }
    bool AskReason(const std::string& question, const std::vector<std::string>& choices, std::string& choice,
                   std::string& text) override;
    std::vector<std::string> reasonQuestions;
    TMsgButton Ask(TMsgKind kind, unsigned buttons, const std::string& text) override;
    bool EnterPassword() override;
    // The text of the last box, or empty.
    std::string LastText() const { return shown.empty() ? std::string() : shown.back().text; }
    std::vector<Shown> shown;
    int passwordQuestions = 0;

private:
    std::deque<TMsgButton> answers_;
    std::deque<bool> passwords_;
    std::deque<std::string> reasons_;
    TUserPrompt* previous_ = nullptr;
};
