// Start and end of the program: module order, first run, missing data, folder lock, splash, placement.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "GuiTestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UProgram.h"
#include "USetUp.h"

#include "UFifoResult.h"
#include "UFolderLock.h"

namespace {
bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

// The arguments of a launcher's Exec line read as the desktop reads them: the string value's escapes,
// then the double quotes with their backslash escapes, then %% for %.
QStringList ExecArguments(const std::string& entry) {
    const size_t at = entry.find("\nExec=");
    if (at == std::string::npos) return {};
    const QString raw = QString::fromStdString(entry.substr(at + 6, entry.find('\n', at + 1) - at - 6));
    QString value;
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
            const char c = raw[++i].toLatin1();
            value += QLatin1Char(c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 's' ? ' ' : c);
        } else
            value += raw[i];
    }
    QStringList args;
    QString arg;
    bool quoted = false, any = false;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (quoted && c == QLatin1Char('\\') && i + 1 < value.size()) {
            arg += value[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
            if (any || !arg.isEmpty()) args << arg;
            arg.clear();
            any = false;
        } else
            arg += c;
    }
    if (any || !arg.isEmpty()) args << arg;
    for (QString& a : args) a.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return args;
}

// Points the user's desktop, data and configuration folders into the test folder.
void FakeHome(const TGuiFolder& folder) {
    QDir().mkpath(QString::fromStdString(folder.File("home")));
    qputenv("HOME", QByteArray::fromStdString(folder.File("home")));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.File("home/.local/share")));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.File("home/.config")));
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InitTestResources();
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    }

    void splashWaitsAndStaysResponsive() {
        TWinLogoCQ splash;
        bool handled = false;
        QTimer::singleShot(50, [&handled] { handled = true; });
        QElapsedTimer clock;
        clock.start();
        ShowSplashAndWait(splash, 300);
        QVERIFY(clock.elapsed() >= 300);
        QVERIFY(handled); // events were processed during the wait
        QVERIFY(splash.isVisible());
        splash.close(); // a close request leaves the splash to the main window
        QVERIFY(splash.isVisible());
    }

    void regionalFormatsFromTheLocale() {
        Regional = TRegional{};
        FillRegionalFromLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Regional.DecimalSeparator, ',');
        QCOMPARE(Regional.DateToText(EncodeDate(2024, 3, 5)), std::string("05.03.2024"));
        QCOMPARE(Regional.TimeToText(EncodeTime(14, 7, 9)), std::string("14:07:09"));
        Regional = TRegional{};
        FillRegionalFromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(Regional.DecimalSeparator, '.');
        QCOMPARE(Regional.DateToText(EncodeDate(2024, 3, 5)), std::string("3/5/2024"));
        Regional = TRegional{};
    }

    // Panels, messages and printouts write dates as the date pickers show them, month names included.
    void oneDateFormatForTextsAndPickers() {
        QDateEdit picker;
        for (auto [locale, expected] :
             {std::pair{QLocale::c(), "8 Dec 2026"},
              std::pair{QLocale(QLocale::German, QLocale::Germany), "08.12.2026"},
              std::pair{QLocale(QLocale::English, QLocale::UnitedStates), "12/8/2026"}}) {
            Regional = TRegional{};
            FillRegionalFromLocale(locale);
            QCOMPARE(DateText(EncodeDate(2026, 12, 8)), QString::fromLatin1(expected));
            picker.setDisplayFormat(DatePickerFormat());
            picker.setDate(QDate(2026, 12, 8));
            QCOMPARE(picker.text(), QString::fromLatin1(expected));
            QCOMPARE(
                DateTimeText(EncodeDate(2026, 12, 8) + EncodeTime(9, 5, 0)).left(picker.text().size() + 1),
                picker.text() + QLatin1Char(' '));
        }
        Regional = TRegional{};
        SetDateLocale(QLocale::system());
    }

    void setUpWritesLaunchersOrSaysWhy() {
        TGuiFolder folder;
        TWinSetUp setUp;
        QString base = QString::fromStdString(folder.Path());
        setUp.DesktopFolder = base + QStringLiteral("Desktop");
        setUp.ApplicationsFolder = base + QStringLiteral("applications");
        setUp.DirectoriesFolder = base + QStringLiteral("desktop-directories");
        setUp.MenusFolder = base + QStringLiteral("menus");
        setUp.IconsFolder = base + QStringLiteral("icons");
        setUp.InstalledMenuEntry = setUp.InstalledIcon = false;
        setUp.show();
        QVERIFY(setUp.CBShortCut->isChecked() && setUp.CBStartup->isChecked());
        // The shortcut names this program's executable.
        QVERIFY(setUp.CBShortCut->text().endsWith(
            QStringLiteral("< %1 >.").arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName())));
        setUp.BtOKClick();
        QCOMPARE(ShownTexts().back(), std::string("Setup OK"));
        QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbOK));
        std::string launcher = ReadWholeFile(folder.File("Desktop/Varnholt.desktop"));
        QVERIFY(launcher.find("Type=Application\nExec=") != std::string::npos);
        QVERIFY(launcher.find("Icon=org.varnholt.Varnholt\n") != std::string::npos);
        QVERIFY(QFileInfo(base + QStringLiteral("Desktop/Varnholt.desktop")).isExecutable());
        QVERIFY(!QImage(base + QStringLiteral("icons/64x64/apps/org.varnholt.Varnholt.png")).isNull());
        std::string manual = ReadWholeFile(folder.File("applications/varnholt-user-manual.desktop"));
        QVERIFY(manual.find("Type=Link\nURL=file://") != std::string::npos);
        QVERIFY(manual.find("UserManual.htm") != std::string::npos);
        std::string menu = ReadWholeFile(folder.File("menus/varnholt-laboratory-qc.menu"));
        QVERIFY(menu.find("<Name>Laboratory QC</Name>") != std::string::npos);
        QVERIFY(menu.find("<Filename>varnholt-read-me.desktop</Filename>") != std::string::npos);
        // Every launcher passes the desktop's own check.
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (!validate.isEmpty())
            for (const char* entry :
                 {"Desktop/Varnholt.desktop", "applications/varnholt-programme.desktop",
                  "applications/varnholt-user-manual.desktop", "applications/varnholt-read-me.desktop",
                  "desktop-directories/varnholt-laboratory-qc.directory"}) {
                QProcess check;
                check.start(validate, {base + QLatin1String(entry)});
                QVERIFY(check.waitForFinished());
                QVERIFY2(check.exitCode() == 0 && !check.readAllStandardOutput().contains("error"), entry);
            }
        // With the package's menu entry for this program, the set-up adds none of its own.
        TGuiFolder installed;
        TWinSetUp packaged;
        const QString home = QString::fromStdString(installed.Path());
        packaged.DesktopFolder = home + QStringLiteral("Desktop");
        packaged.ApplicationsFolder = home + QStringLiteral("applications");
        packaged.DirectoriesFolder = home + QStringLiteral("desktop-directories");
        packaged.MenusFolder = home + QStringLiteral("menus");
        packaged.IconsFolder = home + QStringLiteral("icons");
        packaged.InstalledMenuEntry = packaged.InstalledIcon = true;
        packaged.show();
        QVERIFY(!packaged.CBStartup->isChecked() && !packaged.CBStartup->isEnabled());
        packaged.BtOKClick();
        QCOMPARE(ShownTexts().back(), std::string("Setup OK"));
        QVERIFY(Exists(installed.File("Desktop/Varnholt.desktop")));
        QVERIFY(!QDir(home + QStringLiteral("applications")).exists());
        QVERIFY(!QDir(home + QStringLiteral("menus")).exists());
        QVERIFY(!QDir(home + QStringLiteral("icons")).exists());
        // A desktop that is a file, not a folder: the set-up stops and says so.
        AtomicWriteFile(folder.File("NotAFolder"), "x");
        setUp.DesktopFolder = base + QStringLiteral("NotAFolder");
        setUp.BtOKClick();
        QCOMPARE(ShownTexts().back(), std::string("Unable to complete setup"));
        QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbYes));
        // Nothing ticked still reports success.
        setUp.CBShortCut->setChecked(false);
        setUp.CBStartup->setChecked(false);
        setUp.BtOKClick();
        QCOMPARE(ShownTexts().back(), std::string("Setup OK"));
    }

    // Set up on a folder named in VARNHOLT_HOME, both program launchers start on that folder.
    void launchersCarryTheProgramFolder() {
        TGuiFolder folder;
        const QString base = QString::fromStdString(folder.Path());
        const QString exe = QCoreApplication::applicationFilePath();
        for (const QString& home :
             {base + QStringLiteral("qc"), base + QStringLiteral("QC data $HOME `x` 100% \"a\\b\"")}) {
            qputenv("VARNHOLT_HOME", home.toUtf8());
            TWinSetUp setUp;
            setUp.DesktopFolder = base + QStringLiteral("Desktop");
            setUp.ApplicationsFolder = base + QStringLiteral("applications");
            setUp.DirectoriesFolder = base + QStringLiteral("desktop-directories");
            setUp.MenusFolder = base + QStringLiteral("menus");
            setUp.IconsFolder = base + QStringLiteral("icons");
            setUp.InstalledMenuEntry = setUp.InstalledIcon = false;
            setUp.show();
            setUp.BtOKClick();
            QCOMPARE(ShownTexts().back(), std::string("Setup OK"));
            for (const char* entry :
                 {"Desktop/Varnholt.desktop", "applications/varnholt-programme.desktop"}) {
                const std::string text = ReadWholeFile(folder.File(entry));
                QCOMPARE(ExecArguments(text),
                         (QStringList{QStringLiteral("env"), QStringLiteral("VARNHOLT_HOME=") + home, exe}));
            }
        }
        qunsetenv("VARNHOLT_HOME");
        // A plain folder needs no quotes around the assignment.
        const std::string plain = DesktopEntry(QStringLiteral("V"), QStringLiteral("/usr/bin/varnholt"), true,
                                               QStringLiteral("i"), QStringLiteral("/srv/qc"));
        QVERIFY(plain.find("\nExec=env VARNHOLT_HOME=/srv/qc \"/usr/bin/varnholt\"\n") != std::string::npos);
        const std::string none =
            DesktopEntry(QStringLiteral("V"), QStringLiteral("/usr/bin/varnholt"), true, QStringLiteral("i"));
        QVERIFY(none.find("\nExec=\"/usr/bin/varnholt\"\n") != std::string::npos);
    }

    void mainWindowPlacement() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 800, 600}; });
        TProgram p;
        p.CreateWindows(0);
        QCOMPARE(p.Main->pos(), QPoint(0, 0));
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    }

    // Configuration > Shortcuts opens the set-up window, which the program entry hands the main window.
    void shortcutsCommandOpensSetUp() {
        TGuiFolder folder;
        FakeHome(folder);
        TProgram p;
        p.CreateWindows(0);
        QString shown;
        OnNextModal([&shown](QDialog* d) {
            shown = QString::fromLatin1(d->metaObject()->className());
            d->reject();
        });
        p.Main->MnuShortcutsClick();
        QCOMPARE(shown, QStringLiteral("TWinSetUp"));
    }

    void firstStartWithNoFiles() {
        TGuiFolder folder;
        FakeHome(folder);
        TProgram p;
        QVERIFY(p.Init());
        QVERIFY(FirstRun);
        QVERIFY(ListAnalytes.Count() > 0);
        QCOMPARE(Fifo.Count(), 5); // the sample data adds its held results after the queue was read
        // The first start writes the folder at once, as every change is written.
        QVERIFY(Exists(folder.File("Varnholt.qcf")));
        QVERIFY(Exists(folder.File("Varnholt.fif")));
        QVERIFY(Exists(folder.File("Varnholt.cfr")));
        p.CreateWindows(0);
        OnNextModal([](QDialog* d) {
            QVERIFY(d->findChild<QCheckBox*>(QStringLiteral("CBShortCut"))->isChecked());
            QVERIFY(d->findChild<QCheckBox*>(QStringLiteral("CBStartup"))->isChecked());
            d->findChild<QPushButton*>(QStringLiteral("BtOK"))->click();
        });
        p.RunSetUpIfFirstRun();
        QCOMPARE(ShownTexts().back(), std::string("Setup OK"));
        QVERIFY(Exists(folder.File("home/Desktop/Varnholt.desktop")));
        QVERIFY(Exists(folder.File("home/.local/share/applications/varnholt-programme.desktop")));
        QVERIFY(Exists(folder.File("home/.local/share/applications/varnholt-user-manual.desktop")));
        QVERIFY(Exists(folder.File("home/.local/share/applications/varnholt-read-me.desktop")));
        QVERIFY(Exists(folder.File("home/.config/menus/applications-merged/varnholt-laboratory-qc.menu")));
        QVERIFY(Settings.ShowAboutAtStart); // a first run shows the about window
        OnNextModal([](QDialog* d) { d->accept(); });
        p.Main->show();
        QVERIFY(CurrentAnalyte == &ListAnalytes[0]);
        p.Done();
        // The next start is not a first run and finds the data again.
        TProgram again;
        QVERIFY(again.Init());
        QVERIFY(!FirstRun);
        QVERIFY(ListAnalytes.Count() > 0);
        QCOMPARE(Fifo.Count(), 5);
        Fifo.ClearQueue();
    }

    void settingsButNoData() {
        TGuiFolder folder;
        SaveSettings();
        TProgram p;
        QVERIFY(p.Init());
        QVERIFY(!FirstRun);
        QCOMPARE(ListAnalytes.Count(), 0);
        QCOMPARE(ShownTexts(), std::vector<std::string>{"Cannot read data"});
        p.CreateWindows(0);
        p.RunSetUpIfFirstRun(); // no set-up window: it would wait for an answer
        Settings.ShowAboutAtStart = false;
        p.Main->show();
        QVERIFY(CurrentAnalyte == nullptr);
        Fifo.ClearQueue();
    }

    void secondProgramOnTheSameFolderIsRefused() {
        TGuiFolder folder;
        Operations().Close(); // the test's own hold on the folder
        TFolderLock first;
        std::string error;
        QVERIFY(first.Acquire(folder.Path(), error));
        TProgram second;
        QVERIFY(!second.Init());
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
        // One sentence, naming the folder once.
        QCOMPARE(ShownTexts()[0], "Varnholt is already running on the folder " + ProgramFolder +
                                      ", so this copy ends without changing anything.");
        second.Done(); // ends without writing anything
        QVERIFY(!Exists(folder.File("Varnholt.cfr")));
        QVERIFY(!Exists(folder.File("Varnholt.qcf")));
        QVERIFY(!Exists(folder.File("Varnholt.fif")));
    }

    // The end has nothing left to write; it lets the folder go for the next program.
    void theEndReleasesTheFolder() {
        TGuiFolder folder;
        SaveSettings();
        TProgram p;
        QVERIFY(p.Init());
        TFolderLock other;
        std::string error;
        QVERIFY(!other.Acquire(folder.Path(), error));
        p.Done();
        QVERIFY(other.Acquire(folder.Path(), error));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
