// The program's start and end: module order, splash, windows created once, first-run set-up.
#include "UProgram.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>

#include "UAbout.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UMessages.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOptions.h"
#include "UPrintJob.h"
#include "USetUp.h"
#include "USharedImages.h"
#include "UUtilitaires.h"
#include "UWinComment.h"

#include "UFifoResult.h"
#include "UFolderLock.h"

void FillRegionalFromLocale(const QLocale& locale) {
    // Only the pattern letters the regional formats understand; anything else keeps the default.
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QRegularExpression(QStringLiteral("[A-LN-Za-ce-xz]"))) &&
        date.contains(QLatin1Char('d'))) {
        // The dates are written with four-digit years; the date pickers show the same pattern.
        date.replace(QRegularExpression(QStringLiteral("(?<!y)y{1,3}(?!y)")), QStringLiteral("yyyy"));
        Regional.ShortDateFormat = date.toStdString();
    }
    // Month names in the pattern are written as this locale writes them.
    SetDateLocale(locale);
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    if (!time.contains(QRegularExpression(QStringLiteral("[B-GI-OQ-Zb-gi-lnoqrt-z]"))) &&
        time.contains(QLatin1Char('m')))
        Regional.TimeFormat = time.toStdString();
    QString point = locale.decimalPoint();
    if (point.size() == 1 && point[0].unicode() < 0x80)
        Regional.DecimalSeparator = static_cast<char>(point[0].unicode());
}

TProgram::TProgram() = default;

TProgram::~TProgram() {
    Main.reset();
    if (lock_) lock_->Release();
}

bool TProgram::Init() {
    // Shared unit.
    Randomize();
    SetProgramFolder(FindProgramFolder(ExecutableFolder()));
    lock_ = std::make_unique<TFolderLock>();
    std::string error;
    if (!lock_->Acquire(ProgramFolder, error)) {
        // Another program holding the lock, or a folder that cannot hold the lock file at all.
        // The lock's own reason would only repeat that the folder is in use.
        ShowMessageBox(mkError, mbOK,
                       lock_->HeldElsewhere() ? "Varnholt is already running on the folder " + ProgramFolder +
                                                    ", so this copy ends without changing anything."
                                              : "Varnholt cannot use the folder " + ProgramFolder + "\r" +
                                                    error + "\rThis copy ends without changing anything.");
        lock_.reset();
        return false;
    }
    LoadSettings();
    SharedImage(siComment); // the shared bitmaps are loaded once, here
    // Result queue, then data.
    Fifo.LoadQueue();
    LoadData();
    initialised_ = true;
    return true;
}

void TProgram::CreateWindows(int splashMs) {
    QApplication::setFont(ProgramFont());
    auto* splash = new TWinLogoCQ();
    if (splashMs > 0) ShowSplashAndWait(*splash, splashMs);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QStringLiteral("Varnholt"));
    QApplication::setWindowIcon(QIcon(ProgramPicture(64, 64)));
    Main = std::make_unique<TWinMain>();
    Main->Splash = splash;
    TScreenMetrics screen = TWinMain::ScreenMetricsSource();
    if (screen.Width == 800) {
        Main->move(0, 0);
    } else if (QScreen* s = QGuiApplication::primaryScreen()) {
        QRect frame = Main->frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        Main->move(frame.topLeft());
    }
    TWinMain* m = Main.get();
    new TWinEntryPsw(m);
    new TWinOptions(m);
    new TWinNewPsw(m);
    new TWinComment(m);
    new TWinAbout(m);
    m->CreateChildWindows();
}

void TProgram::RunSetUpIfFirstRun() {
    if (!FirstRun) return;
    TWinSetUp setUp(Main.get());
    setUp.exec();
}

void TProgram::Done() {
    if (!initialised_) return;
    initialised_ = false;
    if (Main) Main->hide();
    SaveData();
    ListAnalytes.Clear();
    ListSerum.Clear();
    CurrentAnalyte = nullptr;
    Fifo.SaveQueue(); // says itself when it cannot write
    SaveSettingsOrWarn();
    // The folder is free for the next program only once everything is written.
    if (lock_) lock_->Release();
}

int RunProgram() {
    FillRegionalFromLocale();
    InstallQtPrompt();
    TProgram program;
    if (!program.Init()) return 1;
    program.CreateWindows(2000);
    program.RunSetUpIfFirstRun();
    program.Main->show();
    int code = QApplication::exec();
    program.Done();
    return code;
}
