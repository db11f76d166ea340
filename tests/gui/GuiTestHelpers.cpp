// Shared window-test fixtures: a temporary program folder, scripted boxes and dialogs, test analytes.
#include "GuiTestHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cmath>
#include <cstdlib>

#include "UDataLoadSave.h"
#include "UGlobale.h"

TGuiFolder::TGuiFolder() {
    Settings.ShowAboutAtStart = false;
    ListAnalytes.Clear();
    ListSerum.Clear();
    TDialogScript::SetActive(true);
    TDialogScript::Reset();
}

TGuiFolder::~TGuiFolder() {
    ListAnalytes.Clear();
    ListSerum.Clear();
    TDialogScript::Reset();
    unsetenv("VARNHOLT_HOME");
}

QObject* OnNextModal(std::function<void(QDialog*)> action) {
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg || !dlg->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(dlg);
    });
    timer->start();
    return timer;
}

std::vector<std::string> ShownTexts() {
    std::vector<std::string> out;
    for (const TShownBox& b : TDialogScript::Shown()) out.push_back(b.text);
    return out;
}

TResu TestRun(TDateTime dt, std::initializer_list<double> values, const std::string& comment,
              const std::string& op) {
    TResu r;
    r.DateTime = dt;
    size_t i = 0;
    for (double v : values) {
        r.Levels[i] = std::isnan(v) ? LevelValue{0, psEmpty} : LevelValue{static_cast<float>(v), psInControl};
        ++i;
    }
    r.Comment = comment;
    r.Operator = op;
    return r;
}

TAnalyte& AddTestAnalyte(const std::string& name, int nbLevels, int points, double base) {
    auto a = std::make_unique<TAnalyte>(name, "mmol/l", 2, nbLevels);
    TDateTime day = EncodeDate(2024, 3, 1);
    for (int i = 0; i < points; ++i) {
        double v = base + std::sin(i * 1.7) * 3;
        a->AddPoint(TestRun(day + i + 0.375, {v, v * 2, v * 3}));
    }
    a->RecalcAll();
    return ListAnalytes.Add(std::move(a));
}

void InitTestResources() {
    Q_INIT_RESOURCE(varnholt);
}
