// The desktop's conventions: standard shortcuts in the menus, the program's font over a platform
// theme's, and the display size chosen, stored and applied at the next start.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "GuiTestHelpers.h"
#include "UAtomicFile.h"
#include "UDisplaySize.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UOperations.h"
#include "UProgram.h"
#include "UTextGuard.h"

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }
    void shortcutsAreShownAndWork();
    void programFontHoldsOverThemeFonts();
    void displaySizeIsStoredAndAppliedAtStart();
    void textFieldsRefuseUnstorableCharacters();
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

// The size chosen is the station's, kept under the user's configuration folder, never in the shared
// settings file; only sizes that leave the windows 800 x 600 pixels are offered. The next start reads it
// before Qt starts and scales the whole layout by it; "Follow the desktop" leaves the desktop's scaling.
void TestDesktop::displaySizeIsStoredAndAppliedAtStart() {
    TGuiFolder folder;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.File("config")));
    const auto screen = TWinDisplaySize::ScreenSource;
    TWinDisplaySize::ScreenSource = [] { return QSize(1280, 1024); };
    auto sharedFile = [&] {
        return FileExists(folder.File("Varnholt.cfr")) ? ReadWholeFile(folder.File("Varnholt.cfr")) : "";
    };
    const std::string shared = sharedFile();
    TWinDisplaySize dialog;
    auto offered = [&] {
        QStringList texts;
        for (int i = 0; i < dialog.CBDisplaySize->count(); ++i) texts << dialog.CBDisplaySize->itemText(i);
        return texts;
    };
    dialog.show();
    QCOMPARE(offered(), (QStringList{"Follow the desktop", "100 %", "125 %", "150 %"}));
    QCOMPARE(dialog.CBDisplaySize->currentIndex(), 0);
    dialog.CBDisplaySize->setCurrentIndex(dialog.CBDisplaySize->findText(QStringLiteral("150 %")));
    dialog.BtOKClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(StationDisplaySize(), std::optional<int>(150));
    QCOMPARE(sharedFile(), shared);

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

    // A stored size too large for this screen is not offered; the window proposes 100 %.
    QString why;
    QVERIFY(SetStationDisplaySize(200, why));
    dialog.show();
    QCOMPARE(dialog.CBDisplaySize->currentText(), QStringLiteral("100 %"));
    // The start that found it too large starts again at 100 % and says so once.
    qputenv("VARNHOLT_DISPLAY_SIZE_LEFT_ASIDE", "200");
    QCOMPARE(PrepareDisplaySize(), 100);
    RestoreScalingEnvironment();
    QVERIFY(!qEnvironmentVariableIsSet("VARNHOLT_DISPLAY_SIZE_LEFT_ASIDE"));
    QCOMPARE(TakeDisplaySizeLeftAside(), 200);
    QCOMPARE(TakeDisplaySizeLeftAside(), 0);
    for (auto [percent, fits] : {std::pair{100, true}, {150, true}, {175, false}, {200, false}})
        QCOMPARE(DisplaySizeFits(percent, QSize(1280, 1024)), fits);
    QVERIFY(DisplaySizeFits(125, QSize(1024, 768)));
    QVERIFY(!DisplaySizeFits(150, QSize(1024, 768)));

    dialog.show();
    dialog.CBDisplaySize->setCurrentIndex(0);
    dialog.BtOKClick();
    QCOMPARE(StationDisplaySize(), std::optional<int>(0));
    QCOMPARE(PrepareDisplaySize(), 0);
    QVERIFY(!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));

    // A station that never chose one takes the size a former version kept in the folder's settings.
    QVERIFY(QFile::remove(StationSettingsFile()));
    QVERIFY(Operations().ChangeSettings([](TSettings& s) { s.DisplaySize = 125; }).Ok());
    QCOMPARE(PrepareDisplaySize(), 125);
    RestoreScalingEnvironment();
    TWinDisplaySize::ScreenSource = screen;
    qunsetenv("XDG_CONFIG_HOME");
}

// The files hold Windows-1252 text: a character beyond it is refused where it is typed or pasted, the
// field keeping what it had; letters of the code page go in.
void TestDesktop::textFieldsRefuseUnstorableCharacters() {
    TGuiFolder folder;
    InstallStorableTextGuard();
    AddTestAnalyte("GLU", 1, 3);
    TWinMain w;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.EditComment->clear();
    w.EditComment->setFocus();
    auto type = [](QWidget* field, const QString& text) {
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, text, Qt::NoModifier);
    };
    type(w.EditComment, QStringLiteral("\u00e9"));
    type(w.EditComment, QStringLiteral("\u03a9"));
    type(w.EditComment, QStringLiteral("\u20ac"));
    QCOMPARE(w.EditComment->text(), QStringLiteral("\u00e9\u20ac"));
    QGuiApplication::clipboard()->setText(QStringLiteral("lot \u2713"));
    QTest::keyClick(w.EditComment, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.EditComment->text(), QStringLiteral("\u00e9\u20ac"));
    QGuiApplication::clipboard()->setText(QStringLiteral(" lot 5"));
    QTest::keyClick(w.EditComment, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.EditComment->text(), QStringLiteral("\u00e9\u20ac lot 5"));
    // Multi-line fields refuse the keystroke.
    QPlainTextEdit notes;
    notes.show();
    notes.setFocus();
    type(&notes, QStringLiteral("\u2713"));
    type(&notes, QStringLiteral("a"));
    QCOMPARE(notes.toPlainText(), QStringLiteral("a"));
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
