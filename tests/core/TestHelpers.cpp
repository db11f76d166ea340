// Shared test fixtures.
#include "TestHelpers.h"

#include <cmath>
#include <unistd.h>

TTempFolder::TTempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-test-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
    path_ += '/';
    SetProgramFolder(path_);
    DefaultSettings();
    Operators.clear();
    Regional = TRegional{};
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

TOpenFolder::TOpenFolder() {
    report = Reopen();
}

TOpenFolder::~TOpenFolder() {
    Operations().Close();
}

TOpenReport TOpenFolder::Reopen(TOpenMode mode, bool sample) {
    Operations().Close();
    TOpenOptions options;
    options.SampleOnFirstRun = sample;
    report = Operations().Open(Path(), mode, options);
    return report;
}

TMsgButton TScriptedPrompt::Ask(TMsgKind kind, unsigned buttons, const std::string& text) {
    shown.push_back({kind, buttons, text});
    if (answers_.empty()) {
        if (buttons & mbCancel) return mbCancel;
        return (buttons & mbYes) ? mbYes : mbOK;
    }
    TMsgButton b = answers_.front();
    answers_.pop_front();
    return b;
}

TResu MakeRun(TDateTime dt, std::initializer_list<double> values, const std::string& comment,
              const std::string& op) {
    TResu r;
    r.DateTime = dt;
    int i = 0;
    for (double v : values) {
        if (std::isnan(v))
            r.Levels[i] = {0, psEmpty};
        else
            r.Levels[i] = {static_cast<float>(v), psInControl};
        ++i;
    }
    r.Comment = comment;
    r.Operator = op;
    return r;
}

TAnalyte AnalyteWithValues(const std::vector<double>& values, int nbLevels) {
    TAnalyte a("Test", "u", 2, nbLevels);
    for (size_t k = 0; k < values.size(); ++k) a.AddPoint(MakeRun(1000.0 + k, {values[k]}));
    a.RecalcAll();
    return a;
}
