// The desktop's conventions: standard shortcuts in the menus, the program's font over a platform
// theme's, and the display size chosen, stored and applied at the next start.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "GuiTestHelpers.h"
#include "UDisplaySize.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UProgram.h"

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }
    void shortcutsAreShownAndWork();
    void programFontHoldsOverThemeFonts();
    void displaySizeIsStoredAndAppliedAtStart();
};

void TestDesktop::shortcutsAreShownAndWork() {
    TGuiFolder folder;
    SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    AddTestAnalyte("GLU", 1, 3);
    TWinMain w;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const struct {
        QAction* action;
        QString keys;
    } shown[] = {{w.MnuUserManual, "F1"}, {w.MnuPrintCharts, "Ctrl+P"}, {w.MnuExit, "Ctrl+Q"},
                 {w.MnuCopy, "Ctrl+C"},   {w.MnuPaste, "Ctrl+V"},       {w.MnuExport, "Ctrl+E"},
                 {w.MnuImport, "Ctrl+I"}};
    for (const auto& s : shown) {
        QCOMPARE(s.action->shortcut().toString(), s.keys);
        QVERIFY(qobject_cast<QMenu*>(s.action->parent())); // in a menu, where the keys are shown
    }

    // Ctrl+C in a text field copies the field's text; elsewhere it copies the analyte's points.
    w.EditComment->setText(QStringLiteral("lot change"));
    w.EditComment->setFocus();
    w.EditComment->selectAll();
    QTest::keyClick(w.EditComment, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("lot change"));
    w.BtOKEnter->setFocus();
    QTest::keyClick(w.BtOKEnter, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), 3);

    // F1 opens the manual; Ctrl+Q asks before the program ends.
    QSignalSpy manual(w.MnuUserManual, &QAction::triggered);
    auto open = TWinMain::OpenDocument;
    TWinMain::OpenDocument = [](const QString&) { return true; };
    QTest::keyClick(&w, Qt::Key_F1);
    TWinMain::OpenDocument = open;
    QCOMPARE(manual.count(), 1);
    TDialogScript::Reset();
    TDialogScript::AnswerNext(mbCancel);
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(ShownTexts(), std::vector<std::string>{"Exit Varnholt"});
    QVERIFY(w.isVisible());
    TDialogScript::AnswerNext(mbOK);
    w.close();
}

// A platform theme (qt6ct, a desktop's settings) gives buttons, labels and message boxes fonts of their
// own, and again at each change of theme; the windows keep the font their layouts are measured for.
void TestDesktop::programFontHoldsOverThemeFonts() {
    TGuiFolder folder;
    const QFont themeFont(QStringLiteral("DejaVu Serif"), 14);
    auto themeSetsFonts = [&] {
        for (const char* c : {"QPushButton", "QLabel", "QComboBox", "QMessageBox", "QMenu"})
            QApplication::setFont(themeFont, c);
    };
    auto checkDialog = [&] {
        TWinDisplaySize dialog;
        const QWidget* controls[] = {dialog.BtOK, dialog.LblNote, dialog.CBDisplaySize};
        for (const QWidget* c : controls) {
            QCOMPARE(c->font().family(), QStringLiteral("Liberation Sans"));
            QCOMPARE(c->font().pointSize(), 8);
        }
        QMenu menu;
        QCOMPARE(menu.font().pointSize(), 8);
    };
    themeSetsFonts();
    HoldProgramFont();
    checkDialog();
    themeSetsFonts();
    QEvent change(QEvent::ThemeChange);
    QCoreApplication::sendEvent(qApp, &change);
    QCoreApplication::processEvents();
    checkDialog();
    // qt6ct sets its font as the application's once the program runs, and again when it changes.
    QApplication::setFont(themeFont);
    QCoreApplication::processEvents();
    checkDialog();
}

// The size chosen is written to the settings file; the next start reads it before Qt starts and scales
// the whole layout by it; "Follow the desktop" leaves the desktop's scaling alone.
void TestDesktop::displaySizeIsStoredAndAppliedAtStart() {
    TGuiFolder folder;
    TWinDisplaySize dialog;
    QStringList offered;
    for (int i = 0; i < dialog.CBDisplaySize->count(); ++i) offered << dialog.CBDisplaySize->itemText(i);
    QCOMPARE(offered, (QStringList{"Follow the desktop", "100 %", "125 %", "150 %", "175 %", "200 %"}));
    dialog.show();
    QCOMPARE(dialog.CBDisplaySize->currentIndex(), 0);
    dialog.CBDisplaySize->setCurrentIndex(dialog.CBDisplaySize->findText(QStringLiteral("150 %")));
    dialog.BtOKClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Settings.DisplaySize, 150);

    const QByteArray fontDpi = qgetenv("QT_FONT_DPI");
    qunsetenv("QT_SCALE_FACTOR");
    QCOMPARE(PrepareDisplaySize(), 150);
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("1.5"));
    QCOMPARE(qgetenv("QT_ENABLE_HIGHDPI_SCALING"), QByteArray("0"));
    QCOMPARE(qgetenv("QT_FONT_DPI"), QByteArray("96"));
    RestoreScalingEnvironment();
    QVERIFY(!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
    QVERIFY(!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"));
    QCOMPARE(qgetenv("QT_FONT_DPI"), fontDpi);

    dialog.show();
    dialog.CBDisplaySize->setCurrentIndex(0);
    dialog.BtOKClick();
    QCOMPARE(Settings.DisplaySize, 0);
    QCOMPARE(PrepareDisplaySize(), 0);
    QVERIFY(!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
