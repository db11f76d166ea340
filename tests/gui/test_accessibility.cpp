// Every control of every window has a name for a screen reader, and the names come from its labels.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMultiHash>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <functional>

#include "GuiTestHelpers.h"
#include "UAccessibleNames.h"
#include "UDataLoadSave.h"
#include "UMain.h"
#include "UValidCQ.h"

namespace {

// A part of a compound control: a spin box's or combo box's edit, a list's open editor, a calendar's table.
bool IsPart(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QCalendarWidget*>(p))
            return true;
    return false;
}

// A name that says nothing of the control: empty, only a connecting word ("to", "from") or no word.
bool IsWeak(const QString& name) {
    // Lower case: the middle of a sentence around controls ("from [date] to [date]"); "From" heading a
    // line of its own is a label.
    static const QStringList connecting = {
        QStringLiteral("to"),    QStringLiteral("from"), QStringLiteral("and"),
        QStringLiteral("or"),    QStringLiteral("of"),   QStringLiteral("against"),
        QStringLiteral("until"), QStringLiteral("with"), QStringLiteral("-")};
    const QString word = name.trimmed();
    return !std::any_of(word.begin(), word.end(), [](QChar c) { return c.isLetterOrNumber(); }) ||
           connecting.contains(word);
}

// The visible controls of the window (what takes the focus) that a screen reader has no telling name
// for, and those that share a name with another control of the same kind shown with them.
QStringList Unnamed(QWidget* window) {
    QStringList unnamed;
    QMultiHash<QString, QWidget*> named;
    auto describe = [window](QWidget* w, const QString& name) {
        return window->objectName() + QStringLiteral(": ") + w->metaObject()->className() +
               QStringLiteral(" ") + w->objectName() + QStringLiteral(" \"") + name + QStringLiteral("\"");
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->focusPolicy() == Qt::NoFocus || IsPart(w, window)) continue;
        QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(w);
        // Qt names a combo box by its current choice (its label reaches a screen reader as a relation).
        if (acc && acc->role() == QAccessible::ComboBox) continue;
        const QString name = acc ? acc->text(QAccessible::Name).simplified() : QString();
        if (IsWeak(name)) {
            unnamed << describe(w, name);
            continue;
        }
        const QString key = QString::number(acc->role()) + QLatin1Char('/') + name;
        for (QWidget* other : named.values(key))
            unnamed << describe(w, name) + QStringLiteral(" as ") + other->objectName();
        named.insert(key, w);
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
    placed->setMinimumSize(400, 380);
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
    // A "..." button is named by its tip.
    auto* browse = new QPushButton(QStringLiteral("..."), placed);
    browse->setToolTip(QStringLiteral("Choose the folder"));
    browse->setGeometry(180, 260, 30, 20);
    // In a group, each field by its own label rather than the group's title.
    auto* group = new QGroupBox(QStringLiteral("Quality goals"), placed);
    group->setGeometry(0, 290, 300, 80);
    std::vector<QLineEdit*> targets;
    for (int k = 0; k < 2; ++k) {
        (new QLabel(QStringLiteral("Target level %1").arg(k + 1), group))
            ->setGeometry(10, 20 + 24 * k, 100, 16);
        targets.push_back(new QLineEdit(group));
        targets.back()->setGeometry(120, 18 + 24 * k, 100, 22);
    }
    d.setWindowTitle(QStringLiteral("Journal"));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(NameOf(list), QStringLiteral("Journal"));
    QCOMPARE(NameOf(date), QStringLiteral("From"));
    QCOMPARE(NameOf(beside), QStringLiteral("Target"));
    QCOMPARE(NameOf(below), QStringLiteral("Fish & chips"));
    QCOMPARE(NameOf(own), QStringLiteral("Own name"));
    QCOMPARE(NameOf(far), QStringLiteral("The operator's initials"));
    QCOMPARE(NameOf(browse), QStringLiteral("Choose the folder"));
    QCOMPARE(NameOf(targets[1]), QStringLiteral("Target level 2"));
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
    for (const char* menu :
         {"MnuZScores", "MnuMonthlySummary", "MnuJournal", "MnuReview", "MnuCorrective", "MnuInbox",
          "MnuInboxMapping", "MnuPeer", "MnuEqa", "MnuUncertainty", "MnuPatientQc"})
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
