// The main window's watch over the inbox while the program is open: the panel "Inbox: n new" beside the
// queue indicator, a file system watcher and a timer, the live connections of the sources that listen,
// and the menu entries of the inbox windows.
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QObject>
#include <QString>

#include "UInbox.h"
#include "UListener.h"

#include <memory>

class QFileSystemWatcher;
class QTimer;
class QToolButton;
class TWinMain;
struct TChange;

class TInboxWatch : public QObject {
    Q_DECLARE_TR_FUNCTIONS(TInboxWatch)
public:
    explicit TInboxWatch(TWinMain* main);
    ~TInboxWatch() override;

    // Reads the inbox now; while a dialog is open (a held run being validated, say), a moment later.
    void ReadNow();
    // The panel's text and hint from the stored state and the last reading.
    void Refresh();
    // Watches the folder (and its source subfolders) the settings name.
    void WatchFolder();
    void MnuInboxClick();
    void MnuInboxMappingClick();

    QToolButton* BtInbox;
    QFileSystemWatcher* Watcher;
    QTimer* TimerInbox; // the regular reading, for folders whose changes are not signalled (network shares)
    QTimer* TimerSoon;  // a reading shortly after a change, or after a dialog closes
    // The last reading's outcome, shown in the panel's hint.
    QString LastReading;
    bool LastFailed = false;
    int LastWaiting = 0; // files the last reading left waiting for their end (not those being written)

    static constexpr int FilesPerReading = 50;         // then the window takes its events again
    static constexpr size_t ResultsPerReading = 50000; // likewise, once its files hold so many
    static constexpr int SettleSeconds = 2;
    // A reading that lasts shows a progress bar after so long; its Cancel leaves the files waiting, and
    // the inbox is read again after a pause (the user said "not now").
    int ProgressAfterMs = 1000;
    static constexpr int PauseAfterCancelSeconds = 600;
    static constexpr size_t BarAtOnceFromBytes = 1024 * 1024;

    // The sources that listen, as the settings say (a writer only); each message is recorded before it
    // is acknowledged. Nothing is taken under an open dialog: the senders wait until it closes. A port
    // held elsewhere (the companion's watch before the program started) is tried again every few seconds.
    void ConfigureListeners();
    // The port the source listens on, 0 when none.
    int ListeningPort(const std::string& source) const;
    QTimer* TimerListen;      // serves the connections
    QTimer* TimerListenAgain; // tries the sources that could not listen
    QStringList ListenFaults; // why a source cannot listen

private:
    void OnChange(const TChange& change);
    // The outcome of a reading (of the folder, or of a message received) in the panel's hint; gives the
    // files that left the inbox and whether one is still being written.
    // (`wholeFolder` false: one message received, which says nothing of the files waiting.)
    std::pair<size_t, bool> NoteReading(bool ok, const std::string& message, const TInboxReport& report,
                                        bool wholeFolder = true);
    void ServeListeners();
    // A fault of the live connections in the hint, once.
    void NoteFault(const std::string& what);
    std::unique_ptr<TListeners> listeners_;
    TConnectionCaptures captures_;
    std::vector<TInstrumentSource> listening_;
    bool serving_ = false, configureAfter_ = false;
    // The text shortened with "…" to the room the bar leaves the panel; the whole text is its hint's first
    // line.
    void ShowText(const QString& text, const QString& hint);
    TWinMain* main_;
    QDateTime pausedUntil_;
    int subscription_ = 0;
    std::string folder_;
};
