// The main window: analyte list, control charts, entry page, limit pages, menu and button bar.
#pragma once

#include <QFont>
#include <QMainWindow>
#include <array>
#include <functional>

#include "UOperations.h"
#include "UStructures.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTableWidget;
class QTimeEdit;
class QTimer;
class QToolButton;
class TPaintBox;
class TGBArchivage;
class TGBFixedParam;
class TGBLockedParam;
class TWinArchives;
class TWinDailyQC;
class TWinDefAnalytes;
class TWinDefSerum;
class TWinEmployees;
class TWinShowJournal;
class TWinReview;
class TWinCorrectiveActions;
class TWinImport;
class TWinPrnData;
class TWinRisks;
class TWinSerumByAnal;
class TWinShowData;
class TWinShowLimits;
class TWinValidCQ;
class TWinPrnCharts;
class TWinRandom;
class TWinAnimCopyFic;
class TInboxWatch;

// The analyte shown in the main window (none when the list is empty): the operations layer's current
// analyte, looked up through its handle at each use, so that no replacement of the list can leave it
// dangling. Assigning makes another analyte current.
class TCurrentAnalyte {
public:
    TAnalyte* get() const { return Operations().Current(); }
    operator TAnalyte*() const { return get(); }
    TAnalyte* operator->() const { return get(); }
    TAnalyte& operator*() const { return *get(); }
    TCurrentAnalyte& operator=(const TAnalyte* a) {
        Operations().SetCurrent(a);
        return *this;
    }
};
extern TCurrentAnalyte CurrentAnalyte;
// The highlighted point of the current analyte, -1 for none.
extern int32_t SelectedPoint;

// Screen metrics as the start-up checks see them; tests inject their own.
struct TScreenMetrics {
    int LogicalDpi = 96;
    int Width = 1024;
    int Height = 768;
};
TScreenMetrics SystemScreenMetrics();
// The screen as the start-up checks and the main window's placement see it: the system's, unless a
// test installed a source of its own (an empty source restores the system's).
TScreenMetrics ScreenMetrics();
void SetScreenMetricsSource(std::function<TScreenMetrics()> source);

// The font every window is laid out for (Liberation Sans 8 pt): the main window's, and the
// program's default, so that the fixed columns of the other windows hold their texts.
QFont ProgramFont();

enum TPageTag { ptEnter = 0, ptLock = 1, ptFix = 2, ptArchi = 3 };

// What a lock, fix or erase page may change, kept to be put back by Cancel and Undo.
using TLimitSnapshot = TLimitState;

class TWinMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TWinMain(QWidget* parent = nullptr);
    ~TWinMain() override;

    static constexpr int ClientWidth = 792;
    static constexpr int ClientHeight = 526;

    // Opens a local file with the desktop's default handler; tests replace it.
    static std::function<bool(const QString&)> OpenDocument;

    // Controls, named as the window's components.
    QStackedWidget* PageControl;
    QWidget *TabSheetEnter, *TabSheetLock, *TabSheetFix, *TabSheetArchi;
    QLabel* LblEtat;
    QDateEdit* DatePicker;
    QTimeEdit* TimePicker;
    struct TEntryRow {
        QWidget* Row;
        QLabel* Material;
        QLineEdit* Value;
        QLabel* Unit;
        // A point taken back for editing: the rounded text shown and the text of the stored value,
        // which is entered instead while the field still shows the rounded one.
        QString HeldShown, HeldExact;
    };
    std::array<TEntryRow, MaxLevels> EntryRows{};
    QComboBox* CBOperator;
    QLineEdit* EditComment;
    QPushButton *BtOKEnter, *BtRAZEntryFields;
    QListWidget* LBAnalytes;
    QLabel* PanelNomAnal;
    QWidget* PanelPBox;
    TPaintBox* PBox;
    QLabel *PanelDateDeb, *PanelDateFin;
    QScrollBar* ScrollBar;
    QWidget* Panel1;
    QToolButton* BtExit;
    QPushButton *BtOKLock, *BtCancelLock, *BtUndoLock;
    QPushButton *BtOKFix, *BtCancelFix, *BtUndoFix;
    QPushButton *BtOKErase, *BtCancelArchi;
    // The per-level groups of the lock, fix and erase pages, one per level slot (UMainPages.cpp).
    std::array<TGBLockedParam*, MaxLevels> GBLocked{};
    std::array<TGBFixedParam*, MaxLevels> GBFixed{};
    std::array<TGBArchivage*, MaxLevels> GBArchi{};
    QLabel *PanelFirstDate = nullptr, *PanelLastDate = nullptr;
    QTableWidget* GrilleLock = nullptr;
    QTimer *TimerBackUp, *TimerBtFifo;
    // Keeps the entry page's date and time those of now while the user has not set them.
    QTimer* TimerEntryTime;
    QMenu *MnuParameters, *MnuConfiguration, *MnuFile, *MnuClipboard, *MnuSpecial, *MnuHelp;
    // Records for accreditation: the journal, the review sign-off, the corrective actions offered.
    QMenu* MnuRecords = nullptr;
    QAction *MnuJournal = nullptr, *MnuReview = nullptr, *MnuCorrective = nullptr;
    QAction *MnuOptions, *MnuPsw, *MnuShortcuts, *MnuLock, *MnuFix, *MnuErase, *MnuUserManual, *MnuAbout;
    QAction *MnuAnalytes, *MnuSerum, *MnuEmployees, *MnuRisks, *MnuExport, *MnuImport, *MnuCopy, *MnuPaste;
    QAction *MnuRestore, *MnuRandom, *MnuClearFifo, *MnuPrintCharts, *MnuExit, *MnuDisplaySize;
    QToolButton *BtData, *BtPrnGraph, *BtArchives, *BtDaily, *BtLimits, *BtBackup, *BtAffectation, *BtFifo;
    // The round indicators beside the backup and queue buttons: lime at rest, blinking red.
    QLabel *ShapeBackUp, *ShapeFifo;

    // The inbox of the instruments' files, watched while the window is open (UInboxWatch.cpp).
    TInboxWatch* InboxWatch = nullptr;
    // Windows opened from the menu and the button bar: created once and reused (parented here).
    TWinImport* WinImport = nullptr;
    TWinSerumByAnal* WinSerumByAnal = nullptr;
    TWinRisks* WinRisks = nullptr;
    TWinDefAnalytes* WinDefAnalytes = nullptr;
    TWinDefSerum* WinDefSerum = nullptr;
    TWinEmployees* WinEmployees = nullptr;
    TWinPrnData* WinPrnData = nullptr;
    TWinShowData* WinShowData = nullptr;
    TWinShowLimits* WinShowLimits = nullptr;
    TWinDailyQC* WinDailyQC = nullptr;
    TWinArchives* WinArchives = nullptr;
    TWinValidCQ* WinValidCQ = nullptr;
    TWinPrnCharts* WinPrnCharts = nullptr;
    TWinRandom* WinRandom = nullptr;
    TWinAnimCopyFic* WinAnimCopyFic = nullptr;
    TWinShowJournal* WinShowJournal = nullptr;
    TWinReview* WinReview = nullptr;
    TWinCorrectiveActions* WinCorrectiveActions = nullptr;
    void CreateRecordsMenu();
    // Creates the windows above in the program's start order (the main window comes first).
    void CreateChildWindows();

    // Working state.
    int32_t FirstVisible = 0, LastVisible = -1;
    int32_t IntervalStart = -1, IntervalEnd = -1, IntervalAnchor = -1;
    int32_t ChartsTop = 18, DateAxisY = 0;
    std::array<bool, MaxLevels> EraseMarks{};
    bool DblClickPending = false;
    bool QuitWithoutAsking = false;
    // The user set the entry's date or time (or a stored point was moved into the fields).
    bool EntryTimeSet = false;
    TLimitSnapshot LimitSnapshot;
    // The copy of the current analyte that the lock and fix pages try limits on; OK gives its limits
    // to the layer, Cancel drops it. The analyte in the list is never changed by a page.
    std::shared_ptr<TAnalyte> LimitTrial;
    // A copy a window previews (other rows of the t table, the common CV), drawn while it is set.
    std::shared_ptr<const TAnalyte> ChartPreview;
    // Draws the preview in place of the current analyte (none: the current analyte again).
    void ShowChartPreview(std::shared_ptr<const TAnalyte> preview);
    // What the charts draw: the preview, the page's trial or the current analyte.
    const TAnalyte* ChartAnalyte() const;
    std::array<LevelStats, MaxLevels> PartialStats{};
    // The current analyte's patient-based QC (UMainQuality.cpp): its procedure run over its stream, drawn
    // in the strip under the window and as marks between the runs. None without a procedure.
    struct TPatientQcShown {
        std::string Analyte;
        TPqcSettings Settings;
        TPqcRun Run;
        std::vector<TPqcAlarm> Alarms;
    };
    std::optional<TPatientQcShown> PatientQcShown;
    std::string PatientQcShownFor;    // the analyte it was read for (read again when another is shown)
    QWidget* PBoxPatientQc = nullptr; // the strip
    // The splash window, freed at the first showing.
    QWidget* Splash = nullptr;

    // Adds a speed button to the bar, before Exit; later commands put theirs here.
    QToolButton* AddBarButton(const char* name, const QString& caption, const QString& hint);

    // Operations of the window.
    void FormShow();
    void FillAnalyteList();
    void LBAnalytesClick();
    void ResetEntryFields();
    // Today and now in the date and time fields, as not set by the user.
    void ResetEntryTime();
    void BtRAZEntryFieldsClick();
    void RepaintCharts();
    void RedrawChartsOnly();
    void SwitchPage(int tag);
    int CurrentPage() const;
    void TakeSnapshot();
    void PutSnapshotBack();
    void BtOKLockClick();
    void BtCancelLockFixArchiClick();
    void BtUndoLockFixClick(int tag);
    void MnuChangePageControl(int tag);
    void MnuOptionsClick();
    void MnuPswClick();
    void MnuShortcutsClick();
    void MnuDisplaySizeClick();
    void MnuUserManualClick();
    void MnuAboutClick();
    // Leaves a lock, fix or erase page as Cancel does, before another window opens.
    void LeaveLimitPage();

    // Commands of the menu and the button bar (UMainCommands.cpp).
    void MnuAnalytesClick();
    void MnuSerumClick();
    void MnuEmployeesClick();
    void MnuRisksClick();
    void MnuExportClick();
    void MnuImportClick();
    void MnuCopyClick();
    void MnuPasteClick();
    void BtDataClick();
    void BtPrnGraphClick();
    void BtArchivesClick();
    void BtDailyClick();
    void BtLimitsClick();
    void BtAffectationClick();
    void BtOKEnterClick();
    void BtFifoClick();
    void MnuClearFifoClick();
    void BtBackupClick();
    void Disketterestore1Click();
    void MnuRandomGeneratorClick();
    // "&Queue : " + count; the queue indicator blinks while runs are held.
    void UpdateQueueButton();
    // Starts or stops the backup reminder from the settings.
    void UpdateBackupReminder();
    // Refills CBOperator's choices from Operators.
    void LoadOperatorChoices();
    // Moves a stored point back into the entry fields (date, time, operator, values, comment); the
    // caller deletes it from the analyte.
    void MovePointToEntryFields(int index);

    // Chart interaction.
    void UpdateVisibleStretch();
    void ScrollBarScroll(int position);
    // The point hit by a click at x, or -1.
    int HitPoint(int x) const;
    void PBoxMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, int x,
                       int y);
    void PBoxMouseMove(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons, int x, int y);
    void PBoxDblClick();
    // The charts' keys on the entry page: Left and Right step the selected point, Home and End choose
    // the first and the last, Enter opens it as a double click does; false for any other key.
    bool StepSelection(int key);
    void ShowPointPopup(int column, int y);
    void UpdateIntervalStats();
    void PaintCharts(QPainter& p);

    // The lock, fix and erase pages (UMainPages.cpp).
    void PrepareLockPage();
    void PrepareFixPage();
    void PrepareErasePage();
    // Shows the dates and the partial statistics of the selected interval on the lock page.
    void ShowIntervalStats();
    void LockLevelClick(int level);
    void UnlockLevelClick(int level);
    void FixLevelClick(int level);
    void UnfixLevelClick(int level);
    void EraseToggleClick(int level);
    void BtValidEraseClick();
    // Whether the lock or fix page changed a mode, an interval or fixed limits since it was entered.
    bool LimitsChangedOnPage() const;

    // The data table opened by a double click on a point, once that window exists.
    std::function<void()> OpenDataTable;
    // The launchers window of Configuration > Shortcuts; the program entry, which holds that window,
    // installs it.
    std::function<void()> OpenShortcuts;
    // Where the user manual is looked for, in order.
    static QStringList UserManualCandidates();
    // The operations layer tells the window what changed; the window refreshes what shows it.
    void OnStoredDataChanged(const TChange& change);

    // Takes the hover look off every bar button that is not under the pointer: a window opened from
    // the bar may close with the pointer elsewhere, and the button would keep its frame.
    void RefreshBarHover();

signals:
    // The selected date interval changed (the lock page shows its dates and statistics).
    void intervalChanged();
    // A page was shown by SwitchPage; its contents are prepared by the page's owner.
    void pageEntered(int tag);

protected:
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    bool shown_ = false;
    int subscription_ = 0;
    void buildMenu();
    void buildEntryPage();
    QWidget* buildLimitPage(const char* name, const QString& title, int tag);
    // The groups, the interval panels and the grid of a lock, fix or erase page.
    void buildPageContents(QWidget* page, int tag);
};

extern TWinMain* WinMain;
// The lock, fix or erase page is open over the current analyte: the server's news waits, so that the
// page's trial and its marks keep standing for the points they were made on.
bool LimitPageOpen();

// The paint box of the charts: forwards its events to the main window.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(TWinMain* owner, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    TWinMain* owner_;
};
