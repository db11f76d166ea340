// The main window: construction, menu, pages, start-up checks, analyte list and exit.
#include "UMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "UAbout.h"
#include "UDataLoadSave.h"
#include "UDisplaySize.h"
#include "UEntryFlow.h"
#include "UExchangeCommands.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UInboxWatch.h"
#include "UMainQuality.h"
#include "UMessages.h"
#include "UMotPass.h"
#include "UNewPsw.h"
#include "UOperations.h"
#include "UOptions.h"
#include "UPrintJob.h"
#include "USharedImages.h"
#include "UWinComment.h"

TCurrentAnalyte CurrentAnalyte;
int32_t SelectedPoint = -1;
TWinMain* WinMain = nullptr;

std::function<bool(const QString&)> TWinMain::OpenDocument = [](const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
};

TScreenMetrics SystemScreenMetrics() {
    TScreenMetrics m;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        m.LogicalDpi = qRound(s->logicalDotsPerInch());
        m.Width = s->geometry().width();
        m.Height = s->geometry().height();
    }
    return m;
}

namespace {
std::function<TScreenMetrics()> screenMetricsSource;
} // namespace

TScreenMetrics ScreenMetrics() {
    return screenMetricsSource ? screenMetricsSource() : SystemScreenMetrics();
}

void SetScreenMetricsSource(std::function<TScreenMetrics()> source) {
    screenMetricsSource = std::move(source);
}

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QTime ToQTime(TDateTime dt) {
    TTimeParts t = DecodeTime(dt);
    return QTime(t.Hour, t.Minute, t.Second);
}

// A round indicator of the button bar; its colour is kept in the "fill" property (tests read it).
void SetIndicator(QLabel* l, const QString& colour) {
    l->setProperty("fill", colour);
    l->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid black; border-radius: 6px;").arg(colour));
}

QLabel* Indicator(QWidget* parent, const char* name) {
    auto* l = Named(new QLabel(parent), name);
    l->setFixedSize(12, 12);
    SetIndicator(l, QStringLiteral("lime"));
    return l;
}

// One tick of a blinking indicator: red becomes the button face, anything else red.
void Blink(QLabel* l) {
    SetIndicator(l, l->property("fill").toString() == QLatin1String("red") ? QStringLiteral("palette(button)")
                                                                           : QStringLiteral("red"));
}

QLabel* Panel(QWidget* parent, const char* name, const QColor& bg, const QColor& fg) {
    auto* l = Named(new QLabel(parent), name);
    l->setTextFormat(Qt::PlainText);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, bg);
    pal.setColor(QPalette::WindowText, fg);
    l->setPalette(pal);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}
} // namespace

QFont ProgramFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    return f;
}

TWinMain::TWinMain(QWidget* parent) : QMainWindow(parent) {
    WinMain = this;
    setObjectName(QStringLiteral("WinMain"));
    setWindowTitle(QStringLiteral("Varnholt"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(ProgramFont());
    subscription_ = Operations().Subscribe([this](const TChange& c) { OnStoredDataChanged(c); });

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    // Button bar along the top.
    Panel1 = Named(new QWidget(client), "Panel1");
    Panel1->setGeometry(0, 0, ClientWidth, 30);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    bar->addStretch(1);
    BtExit = Named(new QToolButton(Panel1), "BtExit");
    BtExit->setText(tr("E&xit"));
    BtExit->setToolTip(tr("Exit"));
    BtExit->setAutoRaise(true);
    bar->addWidget(BtExit);
    connect(BtExit, &QToolButton::clicked, this, &QWidget::close);
    auto barButton = [this](const char* name, const QString& caption, const QString& hint,
                            void (TWinMain::*slot)()) {
        QToolButton* b = AddBarButton(name, caption, hint);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    BtData = barButton("BtData", tr("Data ta&ble"), tr("Table of QC data"), &TWinMain::BtDataClick);
    BtPrnGraph = barButton("BtPrnGraph", tr("&Print charts"), tr("Printing control charts"),
                           &TWinMain::BtPrnGraphClick);
    BtArchives =
        barButton("BtArchives", tr("Archi&ves"), tr("Show archived data"), &TWinMain::BtArchivesClick);
    BtDaily = barButton("BtDaily", tr("D&aily QC"), tr("Daily QC results"), &TWinMain::BtDailyClick);
    BtLimits =
        barButton("BtLimits", tr("&Control limits"), tr("Show control limits"), &TWinMain::BtLimitsClick);
    auto barIndicator = [this](const char* name) {
        QLabel* l = Indicator(Panel1, name);
        static_cast<QHBoxLayout*>(Panel1->layout())->insertWidget(Panel1->layout()->count() - 2, l);
        return l;
    };
    BtBackup = barButton("BtBackup", tr("Bac&kup"), tr("Backup on diskette"), &TWinMain::BtBackupClick);
    ShapeBackUp = barIndicator("ShapeBackUp");
    BtAffectation = barButton("BtAffectation", tr("Assign &lots"), tr("Change QC material or lot number"),
                              &TWinMain::BtAffectationClick);
    BtFifo = barButton("BtFifo", tr("Q&ueue : 0"), tr("Queue of held QC results"), &TWinMain::BtFifoClick);
    ShapeFifo = barIndicator("ShapeFifo");
    OpenDataTable = [this] { BtDataClick(); };

    PanelNomAnal = Panel(client, "PanelNomAnal", QColor(0, 0, 128), Qt::white);
    PanelNomAnal->setGeometry(0, 30, 600, 20);
    QFont bold = ProgramFont();
    bold.setBold(true);
    bold.setPointSize(10);
    PanelNomAnal->setFont(bold);

    PanelPBox = Named(new QWidget(client), "PanelPBox");
    PanelPBox->setGeometry(0, 50, 600, ClientHeight - 50);
    PBox = new TPaintBox(this, PanelPBox);
    PBox->setObjectName(QStringLiteral("PBox"));
    PBox->setGeometry(0, 0, 600, 455);
    PanelDateDeb = Panel(PanelPBox, "PanelDateDeb", Qt::yellow, Qt::black);
    PanelDateDeb->setGeometry(0, 457, 72, 18);
    PanelDateFin = Panel(PanelPBox, "PanelDateFin", Qt::yellow, Qt::black);
    PanelDateFin->setGeometry(528, 457, 72, 18);
    ScrollBar = Named(new QScrollBar(Qt::Horizontal, PanelPBox), "ScrollBar");
    ScrollBar->setGeometry(74, 457, 452, 18);
    ScrollBar->setPageStep(20);
    connect(ScrollBar, &QScrollBar::valueChanged, this, &TWinMain::ScrollBarScroll);

    PageControl = Named(new QStackedWidget(client), "PageControl");
    PageControl->setGeometry(600, 30, ClientWidth - 600, ClientHeight - 30);
    buildEntryPage();
    TabSheetLock = buildLimitPage("TabSheetLock", tr("Locking control limits"), ptLock);
    TabSheetFix = buildLimitPage("TabSheetFix", tr("Fixing control limits"), ptFix);
    TabSheetArchi = buildLimitPage("TabSheetArchi", tr("Erasing QC levels"), ptArchi);

    TimerBackUp = Named(new QTimer(this), "TimerBackUp");
    TimerBackUp->setInterval(300);
    TimerBtFifo = Named(new QTimer(this), "TimerBtFifo");
    TimerBtFifo->setInterval(300);
    connect(TimerBackUp, &QTimer::timeout, this, [this] { Blink(ShapeBackUp); });
    connect(TimerBtFifo, &QTimer::timeout, this, [this] { Blink(ShapeFifo); });
    TimerEntryTime = Named(new QTimer(this), "TimerEntryTime");
    TimerEntryTime->setInterval(1000);
    // The fields show the time a run entered now gets; not while the user is in them.
    connect(TimerEntryTime, &QTimer::timeout, this, [this] {
        if (!EntryTimeSet && !DatePicker->hasFocus() && !TimePicker->hasFocus()) ResetEntryTime();
    });
    TimerEntryTime->start();
    connect(this, &TWinMain::pageEntered, this, &TWinMain::UpdateQueueButton);
    connect(BtOKEnter, &QPushButton::clicked, this, &TWinMain::BtOKEnterClick);

    buildMenu();
    AddQualityMenu(*this);
    InboxWatch = new TInboxWatch(this);
    // Alt+F4 is taken before the controls see it and goes through the exit confirmation.
    auto* altF4 = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    connect(altF4, &QShortcut::activated, this, &QWidget::close);

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // FormCreate
    CurrentAnalyte = nullptr;
    SelectedPoint = -1;
    DatePicker->setDisplayFormat(DatePickerFormat());
    ResetEntryTime();
    // A date or time the user sets is kept; one left alone is the time the run is entered.
    connect(DatePicker, &QDateEdit::dateChanged, this, [this] { EntryTimeSet = true; });
    connect(TimePicker, &QTimeEdit::timeChanged, this, [this] { EntryTimeSet = true; });
}

void TWinMain::ResetEntryTime() {
    QSignalBlocker blockDate(DatePicker), blockTime(TimePicker);
    DatePicker->setDate(QDateOf(Today()));
    TimePicker->setTime(ToQTime(Now()));
    EntryTimeSet = false;
}

TWinMain::~TWinMain() {
    Operations().Unsubscribe(subscription_);
    if (WinMain == this) WinMain = nullptr;
}

void TWinMain::OnStoredDataChanged(const TChange& change) {
    if (change.Kinds & ckQueue) UpdateQueueButton();
    if (change.Kinds & ckSettings) {
        LoadOperatorChoices();
        UpdateBackupReminder();
    }
    if (change.Kinds & (ckAnalytes | ckMaterials)) {
        FillAnalyteList();
        return;
    }
    const TAnalyte* shown = CurrentAnalyte;
    if ((change.Kinds & (ckPoints | ckArchives)) && shown &&
        (change.Analyte == 0 || change.Analyte == shown->Uid)) {
        if (SelectedPoint >= shown->Count()) SelectedPoint = -1;
        UpdateVisibleStretch();
        RepaintCharts();
    }
}

void TWinMain::buildEntryPage() {
    TabSheetEnter = Named(new QWidget(), "TabSheetEnter");
    auto* box = new QVBoxLayout(TabSheetEnter);
    box->setContentsMargins(4, 4, 4, 4);
    box->setSpacing(2);
    LblEtat = Named(new QLabel(tr("Entry of QC points"), TabSheetEnter), "LblEtat");
    QFont bold = font();
    bold.setBold(true);
    LblEtat->setFont(bold);
    LblEtat->setAlignment(Qt::AlignCenter);
    box->addWidget(LblEtat);
    auto* when = new QHBoxLayout();
    DatePicker = Named(new TDatePicker(TabSheetEnter), "DatePicker");
    DatePicker->setCalendarPopup(true);
    TimePicker = Named(new QTimeEdit(TabSheetEnter), "TimePicker");
    DatePicker->setAccessibleName(tr("Date of the run"));
    TimePicker->setAccessibleName(tr("Time of the run"));
    when->addWidget(DatePicker, 3);
    when->addWidget(TimePicker, 2);
    box->addLayout(when);
    for (int k = 0; k < MaxLevels; ++k) {
        TEntryRow& r = EntryRows[static_cast<size_t>(k)];
        r.Row = new QWidget(TabSheetEnter);
        r.Row->setObjectName(QStringLiteral("EntryRow%1").arg(k));
        auto* g = new QGridLayout(r.Row);
        g->setContentsMargins(0, 0, 0, 0);
        g->setVerticalSpacing(0);
        r.Material = new QLabel(r.Row);
        r.Material->setTextFormat(Qt::PlainText);
        r.Material->setObjectName(QStringLiteral("LblMaterial%1").arg(k));
        r.Value = new QLineEdit(r.Row);
        r.Value->setObjectName(QStringLiteral("EditValue%1").arg(k));
        r.Unit = new QLabel(r.Row);
        r.Unit->setTextFormat(Qt::PlainText);
        r.Unit->setObjectName(QStringLiteral("LblUnit%1").arg(k));
        g->addWidget(r.Material, 0, 0, 1, 2);
        g->addWidget(r.Value, 1, 0);
        g->addWidget(r.Unit, 1, 1);
        g->setColumnStretch(0, 3);
        g->setColumnStretch(1, 1);
        box->addWidget(r.Row);
    }
    box->addWidget(new QLabel(tr("Operator"), TabSheetEnter));
    CBOperator = Named(new QComboBox(TabSheetEnter), "CBOperator");
    CBOperator->setEditable(true);
    CBOperator->lineEdit()->setMaxLength(4);
    // The operator in the entry field is the one the journal names for the changes that follow.
    connect(CBOperator, &QComboBox::currentTextChanged, this,
            [](const QString& text) { Operations().SetOperator(FromQ(text)); });
    LoadOperatorChoices();
    box->addWidget(CBOperator);
    auto* commentLabel = new QHBoxLayout();
    auto* commentImage = new QLabel(TabSheetEnter);
    commentImage->setPixmap(SharedImage(siComment));
    commentLabel->addWidget(new QLabel(tr("Comment"), TabSheetEnter));
    commentLabel->addWidget(commentImage);
    commentLabel->addStretch(1);
    box->addLayout(commentLabel);
    EditComment = Named(new QLineEdit(TabSheetEnter), "EditComment");
    EditComment->setMaxLength(20);
    box->addWidget(EditComment);
    auto* buttons = new QHBoxLayout();
    BtOKEnter = Named(new QPushButton(QStringLiteral("OK"), TabSheetEnter), "BtOKEnter");
    BtRAZEntryFields = Named(new QPushButton(tr("Cl&ear"), TabSheetEnter), "BtRAZEntryFields");
    buttons->addWidget(BtOKEnter);
    buttons->addWidget(BtRAZEntryFields);
    box->addLayout(buttons);
    connect(BtRAZEntryFields, &QPushButton::clicked, this, &TWinMain::BtRAZEntryFieldsClick);
    LBAnalytes = Named(new QListWidget(TabSheetEnter), "LBAnalytes");
    LBAnalytes->setAccessibleName(tr("Analytes"));
    box->addWidget(LBAnalytes, 1);
    connect(LBAnalytes, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) LBAnalytesClick();
    });
    connect(LBAnalytes, &QListWidget::itemDoubleClicked, this, [this] { MnuAnalytesClick(); });
    // A click below the last name clears the selection: the charted analyte stays highlighted.
    connect(LBAnalytes, &QListWidget::itemSelectionChanged, this, [this] {
        if (!LBAnalytes->selectedItems().isEmpty() || !CurrentAnalyte) return;
        for (int row = 0; row < ListAnalytes.Count() && row < LBAnalytes->count(); ++row)
            if (&ListAnalytes[row] == CurrentAnalyte) LBAnalytes->item(row)->setSelected(true);
    });
    PageControl->addWidget(TabSheetEnter);
}

QWidget* TWinMain::buildLimitPage(const char* name, const QString& title, int tag) {
    auto* page = Named(new QWidget(), name);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(4, 4, 4, 4);
    auto* label = new QLabel(title, page);
    label->setObjectName(QStringLiteral("LblTitle%1").arg(tag));
    QFont bold = font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    box->addWidget(label);
    box->addStretch(1);
    auto* buttons = new QHBoxLayout();
    box->addLayout(buttons);
    auto makeButton = [&](const QString& text, const QString& objName) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(objName);
        buttons->addWidget(b);
        return b;
    };
    QString suffix = tag == ptLock  ? QStringLiteral("Lock")
                     : tag == ptFix ? QStringLiteral("Fix")
                                    : QStringLiteral("Archi");
    if (tag != ptArchi) {
        QPushButton* ok = makeButton(QStringLiteral("OK"), QStringLiteral("BtOK") + suffix);
        QPushButton* cancel = makeButton(tr("Cancel"), QStringLiteral("BtCancel") + suffix);
        QPushButton* undo = makeButton(tr("&Undo"), QStringLiteral("BtUndo") + suffix);
        connect(ok, &QPushButton::clicked, this, &TWinMain::BtOKLockClick);
        connect(cancel, &QPushButton::clicked, this, &TWinMain::BtCancelLockFixArchiClick);
        connect(undo, &QPushButton::clicked, this, [this, tag] { BtUndoLockFixClick(tag); });
        (tag == ptLock ? BtOKLock : BtOKFix) = ok;
        (tag == ptLock ? BtCancelLock : BtCancelFix) = cancel;
        (tag == ptLock ? BtUndoLock : BtUndoFix) = undo;
    } else {
        BtOKErase = makeButton(QStringLiteral("OK"), QStringLiteral("BtOKErase"));
        BtCancelArchi = makeButton(tr("Cancel"), QStringLiteral("BtCancelArchi"));
        connect(BtOKErase, &QPushButton::clicked, this, &TWinMain::BtValidEraseClick);
        connect(BtCancelArchi, &QPushButton::clicked, this, &TWinMain::BtCancelLockFixArchiClick);
    }
    buildPageContents(page, tag);
    PageControl->addWidget(page);
    return page;
}

void TWinMain::buildMenu() {
    QMenuBar* mb = menuBar();
    mb->setObjectName(QStringLiteral("MainMenu1"));
    MnuParameters = Named(mb->addMenu(tr("Pa&rameters")), "MnuParameters");
    MnuConfiguration = Named(mb->addMenu(tr("Confi&guration")), "MnuConfiguration");
    MnuFile = Named(mb->addMenu(tr("&File")), "MnuFile");
    MnuClipboard = Named(mb->addMenu(tr("Cl&ipboard")), "MnuClipboard");
    MnuSpecial = Named(mb->addMenu(tr("&Special functions")), "MnuSpecial");
    MnuRecords = Named(mb->addMenu(tr("Rec&ords")), "MnuRecords");
    MnuHelp = Named(mb->addMenu(QStringLiteral("&?")), "MnuHelp");

    // A menu shows in the bar once it holds a command.
    for (QMenu* m :
         {MnuParameters, MnuConfiguration, MnuFile, MnuClipboard, MnuSpecial, MnuRecords, MnuHelp}) {
        m->installEventFilter(this);
        m->menuAction()->setVisible(false);
    }

    auto item = [this](QMenu* menu, const QString& text, const char* name, void (TWinMain::*slot)()) {
        QAction* a = Named(menu->addAction(text), name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    MnuAnalytes = item(MnuParameters, tr("&Analytes"), "MnuAnalytes", &TWinMain::MnuAnalytesClick);
    MnuSerum = item(MnuParameters, tr("&Control materials"), "MnuSerum", &TWinMain::MnuSerumClick);
    MnuEmployees = item(MnuParameters, tr("&Operators"), "MnuEmployees", &TWinMain::MnuEmployeesClick);

    MnuOptions =
        item(MnuConfiguration, tr("&Backup/restore options"), "MnuOptions", &TWinMain::MnuOptionsClick);
    MnuPsw = item(MnuConfiguration, tr("&Password"), "MnuPsw", &TWinMain::MnuPswClick);
    MnuRisks = item(MnuConfiguration, tr("Statistical &risks"), "MnuRisks", &TWinMain::MnuRisksClick);
    MnuShortcuts = item(MnuConfiguration, tr("&Shortcuts"), "MnuShortcuts", &TWinMain::MnuShortcutsClick);
    MnuDisplaySize =
        item(MnuConfiguration, tr("&Display size"), "MnuDisplaySize", &TWinMain::MnuDisplaySizeClick);

    MnuRestore = item(MnuFile, tr("&Diskette restore"), "Disketterestore1", &TWinMain::Disketterestore1Click);
    MnuExport = item(MnuFile, tr("&Export"), "MnuExport", &TWinMain::MnuExportClick);
    MnuImport = item(MnuFile, tr("&Import"), "MnuImport", &TWinMain::MnuImportClick);
    MnuFile->addSeparator();
    MnuPrintCharts = item(MnuFile, tr("&Print charts"), "MnuPrintCharts", &TWinMain::BtPrnGraphClick);
    MnuFile->addSeparator();
    MnuExit = Named(MnuFile->addAction(tr("E&xit")), "MnuExit");
    connect(MnuExit, &QAction::triggered, this, &QWidget::close);
    MnuCopy = item(MnuClipboard, tr("&Copy"), "MnuCopy", &TWinMain::MnuCopyClick);
    MnuPaste = item(MnuClipboard, tr("&Paste"), "MnuPaste", &TWinMain::MnuPasteClick);

    MnuLock = Named(MnuSpecial->addAction(tr("&Lock limits")), "MnuLock");
    MnuFix = Named(MnuSpecial->addAction(tr("&Fix limits")), "MnuFix");
    MnuErase = Named(MnuSpecial->addAction(tr("&Erase/archive levels")), "MnuErase");
    connect(MnuLock, &QAction::triggered, this, [this] { MnuChangePageControl(ptLock); });
    connect(MnuFix, &QAction::triggered, this, [this] { MnuChangePageControl(ptFix); });
    connect(MnuErase, &QAction::triggered, this, [this] { MnuChangePageControl(ptArchi); });
    MnuRandom =
        item(MnuSpecial, tr("&Random generator"), "MnuRandomGenerator", &TWinMain::MnuRandomGeneratorClick);
    MnuClearFifo = item(MnuSpecial, tr("&Clear queue"), "MnuClearFifo", &TWinMain::MnuClearFifoClick);

    MnuUserManual = Named(MnuHelp->addAction(tr("&User manual")), "MnuUserManual");
    MnuAbout = Named(MnuHelp->addAction(tr("&About")), "MnuAbout");
    connect(MnuUserManual, &QAction::triggered, this, &TWinMain::MnuUserManualClick);
    connect(MnuAbout, &QAction::triggered, this, &TWinMain::MnuAboutClick);

    // The desktop's standard keys, shown beside the commands. Ctrl+C and Ctrl+V in a text field stay
    // the field's own: the field takes them before the window's shortcuts.
    MnuUserManual->setShortcut(QKeySequence::HelpContents);
    MnuPrintCharts->setShortcut(QKeySequence::Print);
    MnuExit->setShortcut(
        QKeySequence(Qt::CTRL | Qt::Key_Q)); // the standard key is not bound on every desktop
    MnuCopy->setShortcut(QKeySequence::Copy);
    MnuPaste->setShortcut(QKeySequence::Paste);
    MnuExport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    MnuImport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    CreateRecordsMenu();
}

QToolButton* TWinMain::AddBarButton(const char* name, const QString& caption, const QString& hint) {
    auto* b = Named(new QToolButton(Panel1), name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    auto* bar = static_cast<QHBoxLayout*>(Panel1->layout());
    // Before the stretch that keeps Exit at the right end.
    bar->insertWidget(bar->count() - 2, b);
    return b;
}

bool TWinMain::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::ActionAdded || e->type() == QEvent::ActionRemoved)
        if (auto* m = qobject_cast<QMenu*>(watched)) {
            // Counted after the change: ActionRemoved arrives while the action is still listed.
            qsizetype count = m->actions().size() - (e->type() == QEvent::ActionRemoved ? 1 : 0);
            m->menuAction()->setVisible(count > 0);
        }
    return QMainWindow::eventFilter(watched, e);
}

bool TWinMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowUnblocked || e->type() == QEvent::WindowActivate)
        QMetaObject::invokeMethod(this, &TWinMain::RefreshBarHover, Qt::QueuedConnection);
    return QMainWindow::event(e);
}

void TWinMain::RefreshBarHover() {
    const QPoint cursor = QCursor::pos();
    for (QToolButton* b : Panel1->findChildren<QToolButton*>()) {
        const QPoint local = b->mapFromGlobal(cursor);
        if (b->isVisible() && b->rect().contains(local)) continue;
        b->setAttribute(Qt::WA_UnderMouse, false);
        QHoverEvent leave(QEvent::HoverLeave, QPointF(-1, -1), QPointF(cursor), QPointF(local));
        QCoreApplication::sendEvent(b, &leave);
        b->update();
    }
}

void TWinMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TWinMain::FormShow() {
    // Both checks look at the screen in logical pixels, after the desktop's scaling: a scaled desktop
    // shows the windows at 96 logical pixels per inch, so its DPI setting no longer matters and
    // passes; only an unscaled screen (scaling turned off, or a rounded factor) can fail it.
    TScreenMetrics screen = ScreenMetrics();
    auto quit = [this] {
        QuitWithoutAsking = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
    if (screen.LogicalDpi != 96) {
        ShowMessageBox(
            mkError, mbOK,
            FromQ(tr("You  are not using the small screen font.\rYou must change it to the small one (96 "
                     "pixels per inch).")));
        quit();
    } else if (screen.Width == 640) {
        ShowMessageBox(
            mkError, mbOK,
            FromQ(tr("Your screen resolution is 640 x 480 pixels.\rThe programme needs a minimum resolution "
                     "of 800 x 600 pixels.\rYou must change it.")));
        quit();
    } else {
        if (const int aside = TakeDisplaySizeLeftAside())
            ShowMessageBox(mkInformation, mbOK,
                           FromQ(tr("The display size of %1 % leaves the windows too little room on this "
                                    "screen: they are shown at 100 %. Choose a size that fits under "
                                    "Configuration > Display size.")
                                     .arg(aside)));
        if (Settings.ShowAboutAtStart) {
            if (!WinAbout) new TWinAbout(this);
            if (WinAbout->Execute(true))
                ShowOutcome(Operations().ChangeSettings([](TSettings& s) { s.ShowAboutAtStart = false; }));
        }
        QuitWithoutAsking = false;
    }
    delete Splash;
    Splash = nullptr;
    FillAnalyteList();
    EraseMarks = {};
    DblClickPending = false;
    UpdateBackupReminder();
    ResetExchangeDialogFolders();
    UpdateQueueButton();
}

void TWinMain::closeEvent(QCloseEvent* e) {
    if (WinComment) WinComment->hide();
    if (QuitWithoutAsking ||
        ShowMessageBox(mkConfirmation, mbOK | mbCancel, FromQ(tr("Exit Varnholt"))) == mbOK) {
        e->accept();
        return;
    }
    e->ignore();
}

void TWinMain::FillAnalyteList() {
    SwitchPage(ptEnter);
    IntervalStart = IntervalEnd = IntervalAnchor = -1;
    {
        QSignalBlocker block(LBAnalytes);
        LBAnalytes->clear();
    }
    if (ListAnalytes.Count() > 0) {
        int current = 0;
        QSignalBlocker block(LBAnalytes);
        for (int i = 0; i < ListAnalytes.Count(); ++i) {
            LBAnalytes->addItem(ToQ(ListAnalytes[i].Name));
            if (&ListAnalytes[i] == CurrentAnalyte) current = i;
        }
        LBAnalytes->setCurrentRow(current);
        LBAnalytesClick();
    } else {
        PanelNomAnal->clear();
        CurrentAnalyte = nullptr;
        SelectedPoint = -1;
        for (TEntryRow& r : EntryRows) r.Row->hide();
        UpdateVisibleStretch();
        PBox->update();
    }
    DatePicker->setFocus();
}

void TWinMain::LBAnalytesClick() {
    int row = LBAnalytes->currentRow();
    if (row < 0 || row >= ListAnalytes.Count()) return;
    // The pop-up shows the former analyte's point.
    if (WinComment) WinComment->hide();
    CurrentAnalyte = &ListAnalytes[row];
    SelectedPoint = -1;
    // The chart rows are known before the first paint, so clicks can be placed at once.
    ChartsTop = 198 - 60 * CurrentAnalyte->NbLevels;
    DateAxisY = ChartsTop + 135 * CurrentAnalyte->NbLevels - 10;
    UpdateVisibleStretch();
    PanelNomAnal->setText(ToQ(CurrentAnalyte->Name));
    for (int k = 0; k < MaxLevels; ++k) {
        TEntryRow& r = EntryRows[static_cast<size_t>(k)];
        bool used = k < CurrentAnalyte->NbLevels;
        r.Row->setVisible(used);
        if (!used) continue;
        r.Material->setText(
            ToQ(ListSerum.FindMaterial(CurrentAnalyte->MaterialId[static_cast<size_t>(k)]).Name));
        r.Unit->setText(ToQ(CurrentAnalyte->Unit));
        // A screen reader names the field by its level's material, as the label above it shows.
        r.Value->setAccessibleName(r.Material->text());
        r.Value->setAccessibleDescription(r.Unit->text());
    }
    ResetEntryFields();
    RepaintCharts();
}

void TWinMain::ResetEntryFields() {
    for (TEntryRow& r : EntryRows) {
        r.Value->clear();
        r.HeldShown.clear();
        r.HeldExact.clear();
    }
    DatePicker->setDisplayFormat(DatePickerFormat());
    ResetEntryTime();
    EditComment->clear();
    EditComment->setMaxLength(20);
    CBOperator->setEditText(QString());
}

void TWinMain::BtRAZEntryFieldsClick() {
    ResetEntryFields();
    EntryRows[0].Value->setFocus();
}

void TWinMain::RepaintCharts() {
    PBox->update();
    UpdatePatientQcStrip(*this);
}
void TWinMain::RedrawChartsOnly() {
    PBox->update();
    UpdatePatientQcStrip(*this);
}

int TWinMain::CurrentPage() const {
    return PageControl->currentIndex();
}

void TWinMain::TakeSnapshot() {
    LimitTrial.reset();
    if (!CurrentAnalyte) return;
    LimitSnapshot = TLimitState::Of(*CurrentAnalyte);
    LimitTrial = std::make_shared<TAnalyte>(*CurrentAnalyte);
}

void TWinMain::PutSnapshotBack() {
    LimitTrial.reset();
}

bool LimitPageOpen() {
    return WinMain && WinMain->CurrentPage() != ptEnter;
}

void TWinMain::ShowChartPreview(std::shared_ptr<const TAnalyte> preview) {
    ChartPreview = std::move(preview);
    RepaintCharts();
}

const TAnalyte* TWinMain::ChartAnalyte() const {
    const TAnalyte* current = CurrentAnalyte;
    if (!current) return nullptr;
    // A copy stands for the current analyte only while it holds the same points.
    auto same = [current](const TAnalyte* copy) {
        return copy && copy->Uid == current->Uid && copy->Count() == current->Count();
    };
    if (same(ChartPreview.get())) return ChartPreview.get();
    if (same(LimitTrial.get())) return LimitTrial.get();
    return current;
}

void TWinMain::SwitchPage(int tag) {
    if (CurrentPage() == ptArchi) {
        EraseMarks = {};
        RepaintCharts();
    }
    if (tag == ptEnter) {
        LimitTrial.reset();
        PageControl->setCurrentIndex(ptEnter);
        IntervalStart = IntervalEnd = IntervalAnchor = -1;
        RedrawChartsOnly();
        emit pageEntered(ptEnter);
        return;
    }
    if (CurrentPage() == ptEnter && !PasswordGranted()) return;
    if (CurrentPage() != ptEnter) {
        PutSnapshotBack();
        RepaintCharts();
    }
    TakeSnapshot();
    PageControl->setCurrentIndex(tag);
    emit pageEntered(tag);
}

void TWinMain::BtOKLockClick() {
    // Confirmed limits are saved at once; a failed save puts the former limits back.
    bool changed = LimitsChangedOnPage();
    const TLimitState chosen = LimitTrial ? TLimitState::Of(*LimitTrial) : LimitSnapshot;
    SwitchPage(ptEnter);
    if (changed && CurrentAnalyte && !ShowOutcome(Operations().ApplyLimits(*CurrentAnalyte, chosen)))
        RepaintCharts();
}

void TWinMain::BtCancelLockFixArchiClick() {
    PutSnapshotBack();
    SwitchPage(ptEnter);
    RepaintCharts();
}

void TWinMain::BtUndoLockFixClick(int tag) {
    PutSnapshotBack();
    SwitchPage(tag);
    RepaintCharts();
}

void TWinMain::LeaveLimitPage() {
    if (CurrentPage() != ptEnter) BtCancelLockFixArchiClick();
}

void TWinMain::MnuChangePageControl(int tag) {
    if (!CurrentAnalyte) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("No analyte.")));
        return;
    }
    SwitchPage(tag);
}

void TWinMain::MnuOptionsClick() {
    // The window writes its settings through the layer when it closes with OK.
    if (!WinOptions) new TWinOptions(this);
    WinOptions->exec();
}

void TWinMain::MnuPswClick() {
    if (!WinNewPsw) new TWinNewPsw(this);
    WinNewPsw->exec();
}

void TWinMain::MnuShortcutsClick() {
    if (OpenShortcuts) OpenShortcuts();
}

void TWinMain::MnuDisplaySizeClick() {
    auto* w = findChild<TWinDisplaySize*>(QStringLiteral("WinDisplaySize"), Qt::FindDirectChildrenOnly);
    if (!w) w = new TWinDisplaySize(this);
    w->exec();
}

QStringList TWinMain::UserManualCandidates() {
    const QString name = QStringLiteral("UserManual.htm");
    QString exe = ToQ(ExecutableFolder());
    // The installed or shipped manual first: the data folder is the user's to write, and a page planted
    // there must not pass for the manual. A portable install's folder is the executable's own.
    return {exe + name, exe + QStringLiteral("../share/doc/varnholt/") + name,
            exe + QStringLiteral("../docs/") + name, ToQ(ProgramFolder) + name};
}

void TWinMain::MnuUserManualClick() {
    for (const QString& path : UserManualCandidates()) {
        if (!QFileInfo::exists(path)) continue;
        if (OpenDocument(QFileInfo(path).absoluteFilePath())) return;
        break;
    }
    ShowMessageBox(mkError, mbYes, FromQ(tr("Impossible to open the user manual")));
}

void TWinMain::MnuAboutClick() {
    if (!WinAbout) new TWinAbout(this);
    WinAbout->Execute(false);
}

void TWinMain::UpdateQueueButton() {
    // Alt+U, as the Quality menu has Alt+Q; the lock and fix pages keep Alt+U for their Undo.
    BtFifo->setText(ToQ(QueueButtonCaption(Fifo.Count())));
    const bool undoPage = CurrentPage() == ptLock || CurrentPage() == ptFix;
    BtFifo->setShortcut(undoPage ? QKeySequence() : QKeySequence::mnemonic(BtFifo->text()));
    if (Fifo.Count() > 0) {
        if (!TimerBtFifo->isActive()) TimerBtFifo->start();
    } else if (TimerBtFifo->isActive()) {
        TimerBtFifo->stop();
        SetIndicator(ShapeFifo, QStringLiteral("lime"));
    }
}

void TWinMain::UpdateBackupReminder() {
    if (BackupIsDue()) {
        if (!TimerBackUp->isActive()) TimerBackUp->start();
    } else {
        TimerBackUp->stop();
        SetIndicator(ShapeBackUp, QStringLiteral("lime"));
    }
}
