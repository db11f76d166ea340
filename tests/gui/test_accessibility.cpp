// Every control of every window has a name for a screen reader, and the names come from its labels.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <functional>

#include "GuiTestHelpers.h"
#include "UAccessibleNames.h"
#include "UDataLoadSave.h"
#include "UMain.h"
#include "UValidCQ.h"

namespace {

// The visible controls of the window (what takes the focus) that a screen reader has no name for.
QStringList Unnamed(QWidget* window) {
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->focusPolicy() == Qt::NoFocus) continue;
        const QWidget* parent = w->parentWidget();
        if (qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QComboBox*>(parent)) continue;
        QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(w);
        if (!acc || acc->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << window->objectName() + QStringLiteral(": ") + w->metaObject()->className() +
                           QStringLiteral(" ") + w->objectName();
    }
    return unnamed;
}

QStringList UnnamedOnEveryPage(QWidget* window) {
    QStringList unnamed = Unnamed(window);
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (!tabs->isVisibleTo(window)) continue;
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown || !tabs->isTabEnabled(i)) continue;
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            unnamed << Unnamed(window);
        }
        tabs->setCurrentIndex(shown);
    }
    unnamed.removeDuplicates();
    return unnamed;
}

QString NameOf(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallAccessibleNames(); }
    void namesComeFromLabels();
    void everyWindowNamesItsControls();
};

// The label left of a field or just above it; a mnemonic and a colon are not part of the name; a
// name of the control's own is kept.
void TestAccessibility::namesComeFromLabels() {
    QDialog d;
    auto* placed = new QWidget(&d);
    placed->setMinimumSize(400, 260);
    auto* left = new QLabel(QStringLiteral("Target"), placed);
    left->setGeometry(0, 0, 80, 20);
    auto* beside = new QSpinBox(placed);
    beside->setGeometry(90, 0, 80, 20);
    auto* top = new QLabel(QStringLiteral("Fish && chips"), placed);
    top->setGeometry(0, 40, 120, 20);
    auto* below = new QLineEdit(placed);
    below->setGeometry(0, 62, 120, 20);
    auto* own = new QLineEdit(placed);
    own->setAccessibleName(QStringLiteral("Own name"));
    own->setGeometry(200, 62, 120, 20);
    auto* far = new QLineEdit(placed);
    far->setToolTip(QStringLiteral("The operator's initials"));
    far->setGeometry(350, 100, 40, 20);
    // Over a list a column's narrow heading is no name; a check box names the date under it.
    auto* heading = new QLabel(QStringLiteral("Kind"), placed);
    heading->setGeometry(0, 130, 40, 20);
    auto* list = new QListWidget(placed);
    list->setGeometry(0, 152, 300, 100);
    auto* from = new QCheckBox(QStringLiteral("&From"), placed);
    from->setGeometry(320, 130, 60, 20);
    auto* date = new QDateEdit(placed);
    date->setGeometry(320, 152, 70, 20);
    d.setWindowTitle(QStringLiteral("Journal"));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(NameOf(list), QStringLiteral("Journal"));
    QCOMPARE(NameOf(date), QStringLiteral("From"));
    QCOMPARE(NameOf(beside), QStringLiteral("Target"));
    QCOMPARE(NameOf(below), QStringLiteral("Fish & chips"));
    QCOMPARE(NameOf(own), QStringLiteral("Own name"));
    QCOMPARE(NameOf(far), QStringLiteral("The operator's initials"));
}

// Every window, opened as the user opens it, on every page.
void TestAccessibility::everyWindowNamesItsControls() {
    TGuiFolder folder;
    BuildSampleData();
    QStringList unnamed;
    TWinMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    unnamed << UnnamedOnEveryPage(&w);
    std::vector<std::function<void()>> commands = {
        [&] { w.BtDataClick(); },         [&] { w.BtLimitsClick(); },
        [&] { w.MnuRisksClick(); },       [&] { w.BtPrnGraphClick(); },
        [&] { w.BtDailyClick(); },        [&] { w.MnuAnalytesClick(); },
        [&] { w.MnuSerumClick(); },       [&] { w.BtAffectationClick(); },
        [&] { w.MnuEmployeesClick(); },   [&] { w.MnuRandomGeneratorClick(); },
        [&] { w.MnuOptionsClick(); },     [&] { w.MnuPswClick(); },
        [&] { w.MnuDisplaySizeClick(); }, [&] { w.MnuAboutClick(); },
        [&] { w.BtArchivesClick(); }};
    for (const char* menu : {"MnuZScores", "MnuMonthlySummary", "MnuJournal", "MnuReview", "MnuCorrective",
                             "MnuInbox", "MnuInboxMapping"})
        commands.push_back([&w, menu] { w.findChild<QAction*>(QLatin1String(menu))->trigger(); });
    for (const auto& command : commands) {
        bool opened = false;
        OnNextModal([&](QDialog* d) {
            if (QTest::qWaitForWindowExposed(d)) unnamed << UnnamedOnEveryPage(d);
            opened = true;
            d->reject();
        });
        command();
        QVERIFY(opened);
    }
    TAnalyte& a = *CurrentAnalyte;
    TResu run = TestRun(a.Points.back().DateTime + 1,
                        {double(a.Limits[0].Mean), double(a.Limits[1].Mean), double(a.Limits[2].Mean)});
    a.ClassifyRun(run.Levels);
    TWinValidCQ valid(&w);
    valid.PrepareValidation(a, run);
    valid.FormActivate();
    valid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&valid));
    unnamed << Unnamed(&valid);
    valid.hide();
    TDialogScript::AnswerNext(mbOK);
    w.close();
    if (!unnamed.isEmpty()) QFAIL(qPrintable(unnamed.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
