// The program's start and end: module order, splash, windows created once, first-run set-up.
#include "UProgram.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "UAbout.h"
#include "UAccessibleNames.h"
#include "UDataLoadSave.h"
#include "UEntryFlow.h"
#include "UGlobale.h"
#include "ULogoCQ.h"
#include "UMessages.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOperations.h"
#include "UOptions.h"
#include "UPrintJob.h"
#include "URegionalLocale.h"
#include "USetUp.h"
#include "USharedImages.h"
#include "UTextGuard.h"
#include "UTranslations.h"
#include "UUtilitaires.h"
#include "UWinComment.h"

void FillRegionalFromLocale(const QLocale& locale) {
    Regional = RegionalFromLocale(locale);
    // Month names in the pattern are written as this locale writes them.
    SetDateLocale(locale);
}

namespace {
QMargins FrameMargins(const QWidget* w) {
    const QRect f = w->frameGeometry(), g = w->geometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

// Before the desktop frames a window its frame is unknown; the main window's stands in for it.
QMargins ExpectedFrame(const QWidget* w) {
    QMargins m = FrameMargins(w);
    if (m.isNull() && WinMain && WinMain != w && WinMain->isVisible()) m = FrameMargins(WinMain);
    return m;
}

QRect AvailableArea(const QWidget* w) {
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A resizable window no larger than the area; done as it is shown, before its position is chosen.
void FitSize(QWidget* w) {
    const QRect area = AvailableArea(w);
    if (area.isEmpty() || w->minimumSize() == w->maximumSize()) return;
    const QSize size =
        w->size().boundedTo(area.size().shrunkBy(ExpectedFrame(w))).expandedTo(w->minimumSize());
    if (size != w->size()) w->resize(size);
}

// The window's frame moved inside the area (its top-left corner when it is larger than the area).
void FitPosition(QWidget* w) {
    const QRect area = AvailableArea(w);
    if (area.isEmpty()) return;
    const QMargins expected = ExpectedFrame(w);
    const QRect frame = w->geometry().marginsAdded(expected);
    auto inside = [](int pos, int length, int start, int room) {
        return length >= room ? start : std::clamp(pos, start, start + room - length);
    };
    const QPoint to(inside(frame.left(), frame.width(), area.left(), area.width()),
                    inside(frame.top(), frame.height(), area.top(), area.height()));
    if (to == frame.topLeft()) return;
    const bool placed = w->testAttribute(Qt::WA_Moved);
    // move() places the frame as far as it is known yet; the rest of the expected frame is added.
    const QMargins known = FrameMargins(w);
    w->move(to + QPoint(expected.left() - known.left(), expected.top() - known.top()));
    // A dialog that placed itself (over its parent) does so again when it is next shown.
    w->setAttribute(Qt::WA_Moved, placed);
}

class TScreenFit : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        const Qt::WindowType type = w->windowType();
        // Menus, drop-downs and tips place themselves.
        if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip) return false;
        FitSize(w);
        // A dialog places itself in its own show handler, which runs after this filter.
        QTimer::singleShot(0, w, [w] {
            if (w->isVisible()) FitPosition(w);
        });
        return false;
    }
};
} // namespace

namespace {
// The widget classes a platform theme can give a font of its own (QApplicationPrivate's font hash).
constexpr const char* ThemeFontClasses[] = {
    "QMenu",       "QMenuBar",    "QMenuItem",    "QMessageBox",           "QLabel",
    "QTipLabel",   "QTitleBar",   "QStatusBar",   "QMdiSubWindowTitleBar", "QDockWidgetTitle",
    "QPushButton", "QCheckBox",   "QRadioButton", "QToolButton",           "QAbstractItemView",
    "QListView",   "QHeaderView", "QListBox",     "QComboMenuItem",        "QComboLineEdit",
    "QSmallFont",  "QMiniFont"};

void SetProgramFontEverywhere() {
    const QFont font = ProgramFont();
    QApplication::setFont(font);
    for (const char* name : ThemeFontClasses) QApplication::setFont(font, name);
}

bool ProgramFontEverywhere() {
    const QFont font = ProgramFont();
    if (QApplication::font() != font) return false;
    for (const char* name : ThemeFontClasses)
        if (QApplication::font(name) != font) return false;
    return true;
}

// A platform theme sets its fonts again after the program's start (qt6ct does once the event loop
// runs, and whenever its settings change) and at each change of theme: the program's font is put back
// after it.
class TFontHolder : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override {
        if ((e->type() == QEvent::ThemeChange || e->type() == QEvent::ApplicationFontChange) && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                if (!ProgramFontEverywhere()) SetProgramFontEverywhere();
                pending_ = false;
            });
        }
        return false;
    }

private:
    bool pending_ = false;
};
} // namespace

void HoldProgramFont() {
    SetProgramFontEverywhere();
    static TFontHolder* holder = nullptr;
    if (!holder) {
        holder = new TFontHolder(qApp);
        qApp->installEventFilter(holder);
    }
}

void InstallScreenFit() {
    static TScreenFit* fit = nullptr;
    if (!fit) {
        fit = new TScreenFit(qApp);
        qApp->installEventFilter(fit);
    }
}

namespace {
// The server this station works on: VARNHOLT_DB, else the first line of the station's file
// Varnholt.server in its folder (written by whoever installs the bench, readable by its users only, as
// it may hold the password); empty for the folder itself.
std::string ServerConnection(const std::string& folder, std::string& refusal) {
    refusal.clear();
    if (const char* db = std::getenv("VARNHOLT_DB")) return db;
    return ReadServerFile(folder + "Varnholt.server", refusal);
}

// The operator's code and password for a server with accounts; false when cancelled.
bool AskSignIn(std::string& code, std::string& password, const std::string& why) {
    QDialog d;
    d.setWindowTitle(TProgram::tr("Sign in"));
    auto* form = new QFormLayout(&d);
    auto* codeEdit = new QLineEdit(QString::fromStdString(code), &d);
    codeEdit->setObjectName(QStringLiteral("EdCode"));
    auto* pwEdit = new QLineEdit(&d);
    pwEdit->setObjectName(QStringLiteral("EdPassword"));
    pwEdit->setEchoMode(QLineEdit::Password);
    auto* whyLabel = new QLabel(ToQ(why), &d);
    whyLabel->setTextFormat(Qt::PlainText);
    form->addRow(whyLabel);
    form->addRow(TProgram::tr("Operator code"), codeEdit);
    form->addRow(TProgram::tr("Password"), pwEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(buttons);
    // Asked again after a refusal: the code stays, the password is typed anew.
    if (!code.empty()) pwEdit->setFocus();
    if (d.exec() != QDialog::Accepted) return false;
    code = codeEdit->text().toStdString();
    password = pwEdit->text().toStdString();
    return true;
}
} // namespace

TProgram::TProgram() = default;

TProgram::~TProgram() {
    Main.reset();
    Operations().Close();
}

bool TProgram::Init() {
    std::string folder = FindProgramFolder(ExecutableFolder());
    if (folder.empty()) {
        ShowMessageBox(mkError, mbOK,
                       FromQ(tr("Varnholt cannot find a folder for its data: HOME is not set.\rSet HOME, or "
                                "name the folder in VARNHOLT_HOME.")));
        return false;
    }
    // The per-user data folder is the program's own and made silently at the first start; a folder named
    // in VARNHOLT_HOME that is missing may be a typing error or a share not mounted: the user decides.
    std::error_code ec;
    const char* named = std::getenv("VARNHOLT_HOME");
    if (named && *named && !std::filesystem::exists(folder, ec) &&
        ShowMessageBox(
            mkConfirmation, mbOK | mbCancel,
            FillQ(tr("The folder %1 does not exist.\rCreate it and start Varnholt there ?"), folder)) != mbOK)
        return false;
    // A companion reading the inbox holds the folder for a moment at a time.
    TOpenOptions options;
    options.WaitForLockMs = 5000;
    std::string refusal;
    options.Server = ServerConnection(folder, refusal);
    if (!refusal.empty()) {
        ShowMessageBox(mkError, mbOK, refusal + "\rThis copy ends without changing anything.");
        return false;
    }
    TOpenReport report = Operations().Open(folder, TOpenMode::Program, options);
    for (int tries = 0;
         report.SignInNeeded || (tries > 0 && tries < 3 && !report.Opened && !options.OperatorCode.empty());
         ++tries) {
        if (!AskSignIn(options.OperatorCode, options.OperatorPassword, report.Message)) return false;
        report = Operations().Open(folder, TOpenMode::Program, options);
        if (report.Opened) break;
    }
    if (!report.Opened && !options.Server.empty()) {
        ShowMessageBox(mkError, mbOK, report.Message + "\rThis copy ends without changing anything.");
        return false;
    }
    if (!report.Opened) {
        // Another program holding the lock, or a folder that cannot hold the lock file at all.
        ShowMessageBox(
            mkError, mbOK,
            report.LockedElsewhere
                ? FillQ(tr("Varnholt is already running on the folder %1, so this copy ends without "
                           "changing anything."),
                        folder)
                : FillQ(tr("Varnholt cannot use the folder %1: %2\rThis copy ends without changing "
                           "anything."),
                        folder, FromQ(CoreTextQ(report.Message))));
        return false;
    }
    SharedImage(siComment); // the shared bitmaps are loaded once, here
    if (report.DataUnreadable) ShowMessageBox(mkError, mbYes, FromQ(tr("Cannot read data")));
    for (const std::string& note : report.Notes) ShowMessageBox(mkWarning, mbOK, note);
    initialised_ = true;
    WatchServer();
    return true;
}

namespace {
// A modal dialog, or a popup menu, is open.
bool DialogOpen() {
    return QApplication::activeModalWidget() || QApplication::activePopupWidget();
}
} // namespace

bool PollServerWhenFree() {
    if (DialogOpen() || RunBeingJudged() || LimitPageOpen()) return false;
    Operations().PollServer();
    return true;
}

void TProgram::WatchServer() {
    if (Operations().ServerSocket() < 0) return;
    // The socket tells of notifications as they arrive; the timer brings in what came with a reply, a
    // refused change's reload, and a new socket after the connection was made again.
    // The poll replaces analytes in the list; an open dialog holds what it shows until it closes, so the
    // poll waits while one is open (the notifications stay queued on the server's connection) and the
    // timer brings them in once it has closed.
    auto* timer = new QTimer(qApp);
    auto notifier = std::make_shared<QSocketNotifier*>(nullptr);
    auto poll = [notifier] {
        if (!PollServerWhenFree()) return;
        if (*notifier) (*notifier)->setEnabled(true);
        const int fd = Operations().ServerSocket();
        if (*notifier && (*notifier)->socket() == fd) return;
        delete *notifier;
        *notifier = nullptr;
        if (fd < 0) return;
        *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
        QObject::connect(*notifier, &QSocketNotifier::activated, qApp, [notifier] {
            // Readable until read: quiet until the dialog has closed and the timer polls.
            if (!PollServerWhenFree()) (*notifier)->setEnabled(false);
        });
    };
    QObject::connect(timer, &QTimer::timeout, qApp, poll);
    timer->start(500);
    poll();
}

void TProgram::CreateWindows(int splashMs) {
    HoldProgramFont();
    auto* splash = new TWinLogoCQ();
    if (splashMs > 0) ShowSplashAndWait(*splash, splashMs);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QStringLiteral("Varnholt"));
    QApplication::setWindowIcon(QIcon(ProgramPicture(64, 64)));
    Main = std::make_unique<TWinMain>();
    Main->Splash = splash;
    // Its fixed size is known once its layout has run; centring needs it.
    Main->adjustSize();
    TScreenMetrics screen = ScreenMetrics();
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
    m->OpenShortcuts = [m] {
        TWinSetUp setUp(m);
        setUp.exec();
    };
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
    // Every change was written when it was made: the layer only lets the folder go.
    Operations().Close();
}

namespace {
// SIGTERM, SIGHUP and SIGINT end the program through its normal end: the handler only writes a byte
// that the event loop reads.
int SignalPipe[2] = {-1, -1};
// Set once a signal asked the program to end: a modal window of the start (the first-start set-up)
// closes, and the program must then end rather than carry on to the main window.
bool EndRequested = false;

void OnSignal(int) {
    char b = 1;
    [[maybe_unused]] ssize_t n = ::write(SignalPipe[1], &b, 1);
}

void EndOnSignals() {
    if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &sa, nullptr);
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char b;
        while (::read(SignalPipe[0], &b, 1) > 0) {
        }
        EndRequested = true;
        if (WinMain) WinMain->QuitWithoutAsking = true;
        QApplication::closeAllWindows();
        QApplication::exit(0);
    });
    // The end of the desktop session ends the program the same way.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [](QSessionManager&) {
        if (WinMain) WinMain->QuitWithoutAsking = true;
    });
}
} // namespace

int RunProgram() {
    FillRegionalFromLocale();
    InstallTranslations();
    InstallQtPrompt();
    EndOnSignals();
    InstallScreenFit();
    InstallStorableTextGuard();
    InstallAccessibleNames();
    TProgram program;
    if (!program.Init()) return 1;
    program.CreateWindows(2000);
    if (!EndRequested) program.RunSetUpIfFirstRun();
    if (EndRequested) {
        program.Done();
        return 0;
    }
    program.Main->show();
    int code = QApplication::exec();
    program.Done();
    return code;
}
