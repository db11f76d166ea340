// The inbox watched while the program is open; each reading goes through the operations layer.
#include "UInboxWatch.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QProgressDialog>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "UInboxMapping.h"
#include "UInboxOptions.h"
#include "UMain.h"
#include "UMessages.h"
#include "UOperations.h"

TInboxWatch::TInboxWatch(TWinMain* main) : QObject(main), main_(main) {
    setObjectName(QStringLiteral("InboxWatch"));
    BtInbox = new QToolButton(main->Panel1);
    BtInbox->setObjectName(QStringLiteral("BtInbox"));
    BtInbox->setAutoRaise(true);
    BtInbox->hide();
    // Beside the queue indicator.
    auto* bar = static_cast<QHBoxLayout*>(main->Panel1->layout());
    bar->insertWidget(bar->indexOf(main->ShapeFifo) + 1, BtInbox);
    connect(BtInbox, &QToolButton::clicked, this, &TInboxWatch::MnuInboxMappingClick);

    QAction* mapping = main->MnuParameters->addAction(tr("&Instrument mapping"));
    mapping->setObjectName(QStringLiteral("MnuInboxMapping"));
    connect(mapping, &QAction::triggered, this, &TInboxWatch::MnuInboxMappingClick);
    QAction* options = main->MnuConfiguration->addAction(tr("&Inbox"));
    options->setObjectName(QStringLiteral("MnuInbox"));
    connect(options, &QAction::triggered, this, &TInboxWatch::MnuInboxClick);

    Watcher = new QFileSystemWatcher(this);
    TimerInbox = new QTimer(this);
    TimerInbox->setObjectName(QStringLiteral("TimerInbox"));
    TimerInbox->setInterval(30000);
    TimerSoon = new QTimer(this);
    TimerSoon->setObjectName(QStringLiteral("TimerInboxSoon"));
    TimerSoon->setSingleShot(true);
    connect(TimerInbox, &QTimer::timeout, this, &TInboxWatch::ReadNow);
    connect(TimerSoon, &QTimer::timeout, this, &TInboxWatch::ReadNow);
    // A writer makes several changes to a file: read once they have stopped for a moment.
    connect(Watcher, &QFileSystemWatcher::directoryChanged, this, [this] { TimerSoon->start(500); });
    listeners_ = std::make_unique<TListeners>();
    // What a connection sent and no message took is kept in its source's failed/, as a file is.
    listeners_->Unread = [this](const TInstrumentSource& source, const std::string& peer,
                                const std::string& bytes, const std::string& why) {
        try {
            if (Operations().IsOpen()) KeepConnectionBytes(folder_, source, peer, bytes, why);
        } catch (const EQcError& e) {
            NoteFault(e.what());
        }
        Refresh();
    };
    // listen.capture=yes: each connection's bytes as they came, beside the files read.
    listeners_->Raw = [this](const TInstrumentSource& source, const std::string& peer, uint64_t connection,
                             std::string_view bytes, bool ended) {
        if (ended) return captures_.End(connection);
        try {
            if (Operations().IsOpen()) captures_.Append(folder_, source, peer, connection, bytes);
        } catch (const EQcError& e) {
            NoteFault(e.what());
            Refresh();
        }
    };
    TimerListen = new QTimer(this);
    TimerListen->setObjectName(QStringLiteral("TimerListen"));
    TimerListen->setInterval(25);
    connect(TimerListen, &QTimer::timeout, this, &TInboxWatch::ServeListeners);
    TimerListenAgain = new QTimer(this);
    TimerListenAgain->setObjectName(QStringLiteral("TimerListenAgain"));
    TimerListenAgain->setInterval(3000);
    connect(TimerListenAgain, &QTimer::timeout, this, [this] {
        ConfigureListeners();
        Refresh();
    });
    subscription_ = Operations().Subscribe([this](const TChange& c) { OnChange(c); });
    WatchFolder();
}

TInboxWatch::~TInboxWatch() {
    Operations().Unsubscribe(subscription_);
}

void TInboxWatch::NoteFault(const std::string& what) {
    const QString said = QLatin1Char('\n') + CoreTextQ(what);
    if (!LastReading.contains(said)) LastReading += said;
}

void TInboxWatch::OnChange(const TChange& change) {
    if (change.Kinds & ckSettings) WatchFolder();
    if (change.Kinds & (ckQueue | ckSettings | ckAnalytes)) Refresh();
}

void TInboxWatch::WatchFolder() {
    const std::string folder = Operations().IsOpen() ? Operations().InboxSettings().Folder : std::string();
    if (folder != folder_) {
        folder_ = folder;
        LastReading.clear();
        LastFailed = false;
        if (!folder_.empty()) TimerSoon->start(0);
    }
    ConfigureListeners();
    if (!Watcher->directories().isEmpty()) Watcher->removePaths(Watcher->directories());
    if (folder_.empty()) {
        TimerInbox->stop();
    } else {
        const QString root = QString::fromUtf8(folder_);
        QStringList paths = {root};
        for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (IsValidSourceId(name.toStdString())) paths << QDir(root).filePath(name);
        Watcher->addPaths(paths);
        if (!TimerInbox->isActive()) TimerInbox->start();
    }
    Refresh();
}

void TInboxWatch::ReadNow() {
    if (folder_.empty() || !Operations().IsOpen()) return;
    // Nothing changes under an open dialog; the reading follows when it closes.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        TimerSoon->start(1000);
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    if (pausedUntil_.isValid() && now < pausedUntil_) {
        TimerSoon->start(static_cast<int>(std::max<qint64>(1000, now.msecsTo(pausedUntil_))));
        return;
    }
    pausedUntil_ = {};
    TInboxReadOptions options;
    options.MaxFiles = FilesPerReading;
    options.MaxResults = ResultsPerReading;
    options.SettleSeconds = SettleSeconds;
    // The bar is modal once shown: until the reading ends, the window and the other timers wait.
    // Once the runs are recorded, they are placed: the bar then has no Cancel.
    std::unique_ptr<QProgressDialog> bar;
    bool placing = false;
    options.Progress = [this, &bar, &placing](size_t done, size_t total, bool cancellable) {
        if (!bar) {
            bar = std::make_unique<QProgressDialog>(tr("Reading the inbox..."), tr("Cancel"), 0, 1000, main_);
            bar->setObjectName(QStringLiteral("InboxProgress"));
            bar->setWindowModality(Qt::ApplicationModal);
            bar->setMinimumDuration(ProgressAfterMs);
            // Files this large take a while: Cancel is there while they are read, before the runs are
            // recorded.
            if (total >= 2 * BarAtOnceFromBytes) bar->show();
        }
        if (!cancellable && !placing) {
            placing = true;
            bar->setCancelButton(nullptr);
            bar->setLabelText(tr("Placing the runs read from the inbox..."));
        }
        bar->setValue(static_cast<int>(done * 1000 / std::max<size_t>(total, 1)));
        if (bar->isVisible()) QCoreApplication::processEvents();
        return placing || !bar->wasCanceled();
    };
    TInboxReport report;
    const TOutcome out = Operations().ReadInbox(&report, options);
    bar.reset();
    if (report.Cancelled) {
        pausedUntil_ = now.addSecs(PauseAfterCancelSeconds);
        NoteReading(true, "", report);
        LastReading =
            tr("Last reading %1 cancelled: the files wait until %2")
                .arg(now.toString(QStringLiteral("HH:mm")), pausedUntil_.toString(QStringLiteral("HH:mm")));
        TimerSoon->start(PauseAfterCancelSeconds * 1000);
        Refresh();
        return;
    }
    const auto [leaving, settling] = NoteReading(out.Ok(), out.Message, report);
    if (leaving >= FilesPerReading || (out.Ok() && report.More))
        TimerSoon->start(0);
    else if (settling)
        TimerSoon->start(SettleSeconds * 1000 + 100);
    // New subfolders become watched sources.
    WatchFolder();
}

std::pair<size_t, bool> TInboxWatch::NoteReading(bool ok, const std::string& message,
                                                 const TInboxReport& report, bool wholeFolder) {
    QStringList lines;
    size_t leaving = 0;
    bool settling = false;
    int waiting = 0;
    for (const TInboxFileOutcome& f : report.Files) {
        leaving += f.Kind != TInboxFileOutcome::Waiting;
        settling |= f.Settling;
        waiting += f.Kind == TInboxFileOutcome::Waiting && !f.Settling;
        if (f.Kind == TInboxFileOutcome::Failed || (f.Kind == TInboxFileOutcome::Waiting && !f.Settling))
            lines << (f.Kind == TInboxFileOutcome::Failed ? tr("%1 to failed: %2") : tr("%1 waits: %2"))
                         .arg(ToQ(f.Name), CoreTextQ(f.Detail).section(QLatin1Char('\n'), 0, 0));
        else if (f.Kind == TInboxFileOutcome::Read && !f.Detail.empty())
            lines << tr("%1 read: %2")
                         .arg(ToQ(f.Name), CoreTextQ(f.Detail).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
    if (ok && wholeFolder) LastWaiting = waiting;
    if (!ok || !report.Empty() || LastReading.isEmpty()) {
        LastFailed = !ok;
        QString head = QTime::currentTime().toString(QStringLiteral("HH:mm")) + QStringLiteral(" ");
        if (!ok)
            head += ToQ(message).replace(QLatin1Char('\r'), QLatin1Char(' '));
        else
            head += tr("%1 run(s) to the queue, %2 stored, %3 result(s) not mapped")
                        .arg(report.Queued)
                        .arg(report.Accepted)
                        .arg(report.NotMapped);
        lines.prepend(tr("Last reading ") + head);
        LastReading = lines.join(QLatin1Char('\n'));
    }
    return {leaving, settling};
}

void TInboxWatch::Refresh() {
    BtInbox->setVisible(!folder_.empty());
    if (folder_.empty()) return;
    const int held = Operations().HeldFromInbox();
    const int notMapped = Operations().NotMappedCount();
    QString text = LastFailed ? tr("Inbox: unavailable") : tr("Inbox: %1 new").arg(held);
    if (notMapped > 0) text += tr(", %1 not mapped").arg(notMapped);
    // Files in failed/ wait for someone to read them again or to remove them (the mapping window).
    const int failed = static_cast<int>(Operations().FailedInboxFiles().size());
    if (failed > 0) text += tr(", %1 failed").arg(failed);
    // A file that ends inside a message waits for the rest.
    if (LastWaiting > 0) text += tr(", %1 waiting").arg(LastWaiting);
    BtInbox->setProperty("held", held);
    BtInbox->setStyleSheet(LastFailed ? QStringLiteral("color: red") : QString());
    // The live connections, and those that cannot listen.
    if (!ListenFaults.isEmpty()) text += tr(", %1 not listening").arg(ListenFaults.size());
    QString listening;
    for (const TInstrumentSource& source : listening_)
        if (const int port = listeners_->PortOf(source.Id))
            listening += QLatin1Char('\n') + tr("%1 listens on port %2 (%3)")
                                                 .arg(ToQ(source.Id))
                                                 .arg(port)
                                                 .arg(QString::fromStdString(source.Protocol));
    for (const QString& fault : ListenFaults) listening += QLatin1Char('\n') + fault;
    ShowText(text, tr("Results from the instruments in %1: held runs from the inbox, results "
                      "waiting for a mapping\n")
                           .arg(QString::fromUtf8(folder_)) +
                       LastReading + listening);
}

void TInboxWatch::ShowText(const QString& text, const QString& hint) {
    // The room left by the bar's other controls, which keep their size.
    const QWidget* bar = BtInbox->parentWidget();
    int room = bar->contentsRect().width();
    if (QLayout* layout = bar->layout()) {
        const QMargins m = layout->contentsMargins();
        room -= m.left() + m.right();
        for (int i = 0; i < layout->count(); ++i) {
            QWidget* w = layout->itemAt(i)->widget();
            if (w && w != BtInbox && !w->isHidden()) room -= w->sizeHint().width() + layout->spacing();
        }
    }
    BtInbox->setText(text);
    const int padding = BtInbox->sizeHint().width() - BtInbox->fontMetrics().horizontalAdvance(text);
    const QString shown =
        BtInbox->fontMetrics().elidedText(text, Qt::ElideRight, std::max(room - padding, 40));
    BtInbox->setText(shown);
    BtInbox->setProperty("fullText", text);
    BtInbox->setToolTip(shown == text ? hint : text + QStringLiteral("\n") + hint);
}

void TInboxWatch::MnuInboxClick() {
    if (!WinInboxOptions) new TWinInboxOptions(main_);
    WinInboxOptions->Execute();
}

void TInboxWatch::MnuInboxMappingClick() {
    if (!WinInboxMapping) new TWinInboxMapping(main_);
    WinInboxMapping->Execute();
    Refresh();
    // Results brought in, or the window kept a reading waiting.
    TimerSoon->start(0);
}

void TInboxWatch::ConfigureListeners() {
    // A message being recorded tells of its changes: the listeners are configured once it is answered.
    if (serving_) {
        configureAfter_ = true;
        return;
    }
    std::vector<TInstrumentSource> sources;
    if (Operations().IsOpen() && Operations().Mode() != TOpenMode::Reader && !folder_.empty())
        for (const TInstrumentSource& s : Operations().InboxSources())
            if (!s.Listen.empty()) sources.push_back(s);
    listening_ = sources;
    ListenFaults.clear();
    for (const std::string& fault : listeners_->Configure(sources)) ListenFaults << CoreTextQ(fault);
    if (ListenFaults.isEmpty())
        TimerListenAgain->stop();
    else if (!TimerListenAgain->isActive())
        TimerListenAgain->start();
    if (listeners_->Count() == 0)
        TimerListen->stop();
    else if (!TimerListen->isActive())
        TimerListen->start();
}

int TInboxWatch::ListeningPort(const std::string& source) const {
    return listeners_->PortOf(source);
}

void TInboxWatch::ServeListeners() {
    // Nothing is recorded under an open dialog; the connections wait in their queues meanwhile.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || !Operations().IsOpen())
        return;
    bool recorded = false;
    serving_ = true;
    configureAfter_ = false;
    // A moment's wait at most: the window keeps taking its events.
    listeners_->Serve(std::chrono::milliseconds(1),
                      [&](const TInstrumentSource& source, const std::string&, const std::string& message) {
                          TInboxReport report;
                          const TLiveOutcome out = Operations().RecordLiveMessage(source, message, &report);
                          NoteReading(true, "", report, false);
                          recorded = true;
                          return out;
                      });
    serving_ = false;
    if (configureAfter_) ConfigureListeners();
    if (recorded) Refresh();
}
