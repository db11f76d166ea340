// The journal window: the layer's journal through a table model; printing, CSV export, chain check.
#include "UShowJournal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <climits>
#include <set>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UDatabase.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnTable.h"
#include "UPrnWrapped.h"
#include "UTexts.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UShowJournal)
};
} // namespace

namespace {
const char* const Columns[] = {
    QT_TRANSLATE_NOOP("UShowJournal", "No."),      QT_TRANSLATE_NOOP("UShowJournal", "Time"),
    QT_TRANSLATE_NOOP("UShowJournal", "Operator"), QT_TRANSLATE_NOOP("UShowJournal", "Kind"),
    QT_TRANSLATE_NOOP("UShowJournal", "Analyte"),  QT_TRANSLATE_NOOP("UShowJournal", "Level"),
    QT_TRANSLATE_NOOP("UShowJournal", "Point"),    QT_TRANSLATE_NOOP("UShowJournal", "Before"),
    QT_TRANSLATE_NOOP("UShowJournal", "After"),    QT_TRANSLATE_NOOP("UShowJournal", "Reason")};
constexpr int ColumnCount = 10;

std::string Field(const TJournalEntry& e, int column) {
    switch (column) {
    case 0:
        return std::to_string(e.Id);
    case 1:
        return e.TimeLocal.substr(0, 19);
    case 2:
        return e.Operator;
    case 3:
        return e.Kind;
    case 4:
        return e.Analyte;
    case 5:
        return e.Level > 0 ? std::to_string(e.Level) : std::string();
    case 6:
        return e.Point;
    case 7:
        return e.Before;
    case 8:
        return e.After;
    default:
        return e.Reason;
    }
}

// Translated when asked for: a text made at load time would be made before the translations.
QString All() {
    return TUnitTexts::tr("(all)");
}

// The whole chain checked, under a progress bar: a long journal takes seconds.
TJournalCheck CheckWithProgress(QWidget* parent) {
    const TDatabase& db = Operations().Database();
    if (!db.IsOpen()) return Operations().CheckJournal();
    QProgressDialog bar(TUnitTexts::tr("Checking the journal..."), QString(), 0, 1000, parent);
    bar.setObjectName(QStringLiteral("JournalProgress"));
    bar.setCancelButton(nullptr);
    bar.setWindowModality(Qt::WindowModal);
    bar.setMinimumDuration(300);
    TJournalCheck check = VerifyJournal(db, [&bar](int64_t done, int64_t total) {
        bar.setValue(static_cast<int>(done * 1000 / std::max<int64_t>(total, 1)));
        QCoreApplication::processEvents();
    });
    if (const std::string damage = check.Whole ? db.Damage() : ""; !damage.empty()) {
        check.Whole = false;
        check.Message = Fill(QT_TRANSLATE_NOOP("Core", "Database error: %1 (%2)"), damage, db.Path());
    }
    return check;
}
} // namespace

void TJournalModel::SetFilter(const TJournalFilter& filter) {
    beginResetModel();
    pages_ = TJournalPages(filter);
    endResetModel();
}

std::vector<TJournalEntry> TJournalModel::Entries(QWidget* progressParent) const {
    if (!progressParent || pages_.Count() < 20000) return pages_.All();
    QProgressDialog bar(TUnitTexts::tr("Reading the journal..."), TUnitTexts::tr("Cancel"), 0, 1000,
                        progressParent);
    bar.setObjectName(QStringLiteral("JournalProgress"));
    bar.setWindowModality(Qt::WindowModal);
    bar.setMinimumDuration(300);
    std::vector<TJournalEntry> all = pages_.All([&bar](int64_t done, int64_t total) {
        bar.setValue(static_cast<int>(done * 1000 / std::max<int64_t>(total, 1)));
        QCoreApplication::processEvents();
        return !bar.wasCanceled();
    });
    if (bar.wasCanceled()) return {};
    return all;
}

int TJournalModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::min<int64_t>(pages_.Count(), INT_MAX));
}

int TJournalModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TJournalModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= pages_.Count()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const TJournalEntry& e = pages_.At(index.row());
    if (role == Qt::DisplayRole) return QString::fromStdString(Field(e, index.column()));
    if (role == Qt::ToolTipRole && index.column() >= 7)
        return QString::fromStdString(Field(e, index.column()));
    return {};
}

QVariant TJournalModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
    return TUnitTexts::tr(Columns[section]);
}

void PrintJournal(TPrintCanvas& canvas, const std::vector<TJournalEntry>& entries,
                  const std::vector<std::string>& headerLines) {
    std::vector<TPrnCell> cells;
    for (int c = 0; c < ColumnCount; ++c) cells.push_back({FromQ(TUnitTexts::tr(Columns[c])), cmSilver});
    for (const TJournalEntry& e : entries)
        for (int c = 0; c < ColumnCount; ++c) cells.push_back({Utf8ToCp1252(Field(e, c)), cmNone});
    PrintWrappedTable(canvas, FromQ(TUnitTexts::tr("Journal of changes")), headerLines, cells, ColumnCount,
                      {4, 12, 5, 11, 8, 3, 10, 16, 17, 14});
}

TWinShowJournal::TWinShowJournal(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinShowJournal"));
    setWindowTitle(tr("Journal of changes"));
    resize(980, 560);
    auto* filters = new QGridLayout;
    auto combo = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setMinimumWidth(140);
        connect(c, &QComboBox::currentIndexChanged, this, [this] { ApplyFilter(); });
        return c;
    };
    CBAnalyte = combo("CBAnalyte");
    CBKind = combo("CBKind");
    CBOperator = combo("CBOperator");
    CBFrom = new QCheckBox(tr("&From"), this);
    CBFrom->setObjectName(QStringLiteral("CBFrom"));
    CBTo = new QCheckBox(tr("&To"), this);
    CBTo->setObjectName(QStringLiteral("CBTo"));
    DateFrom = new TDatePicker(this);
    DateFrom->setObjectName(QStringLiteral("DateFrom"));
    DateTo = new TDatePicker(this);
    DateTo->setObjectName(QStringLiteral("DateTo"));
    for (QCheckBox* c : {CBFrom, CBTo}) connect(c, &QCheckBox::toggled, this, [this] { ApplyFilter(); });
    for (TDatePicker* d : {DateFrom, DateTo})
        connect(d, &QDateEdit::dateChanged, this, [this] { ApplyFilter(); });
    filters->addWidget(new QLabel(tr("Analyte"), this), 0, 0);
    filters->addWidget(CBAnalyte, 1, 0);
    filters->addWidget(new QLabel(tr("Kind"), this), 0, 1);
    filters->addWidget(CBKind, 1, 1);
    filters->addWidget(new QLabel(tr("Operator"), this), 0, 2);
    filters->addWidget(CBOperator, 1, 2);
    filters->addWidget(CBFrom, 0, 3);
    filters->addWidget(DateFrom, 1, 3);
    filters->addWidget(CBTo, 0, 4);
    filters->addWidget(DateTo, 1, 4);
    filters->setColumnStretch(5, 1);

    Model = new TJournalModel(this);
    Table = new QTableView(this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setModel(Model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(18);
    Table->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {45, 140, 60, 170, 90, 40, 110, 170, 170};
    for (int c = 0; c < 9; ++c) Table->setColumnWidth(c, widths[c]);

    LblCount = new QLabel(this);
    LblCount->setTextFormat(Qt::PlainText);
    LblCount->setObjectName(QStringLiteral("LblCount"));
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    BtVerify = button("BtVerify", tr("&Check the chain"));
    BtExport = button("BtExport", tr("&Export CSV"));
    BtPrint = button("BtPrint", tr("&Print"));
    BtClose = button("BtClose", tr("Close"));
    connect(BtVerify, &QPushButton::clicked, this, &TWinShowJournal::BtVerifyClick);
    connect(BtExport, &QPushButton::clicked, this, &TWinShowJournal::BtExportClick);
    connect(BtPrint, &QPushButton::clicked, this, &TWinShowJournal::BtPrintClick);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LblCount, 1);
    for (QPushButton* b : {BtVerify, BtExport, BtPrint, BtClose}) bottom->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(Table, 1);
    layout->addLayout(bottom);
}

void TWinShowJournal::Execute() {
    FormActivate();
    exec();
}

void TWinShowJournal::FormActivate() {
    filling_ = true;
    auto fill = [](QComboBox* c, const std::set<std::string>& items) {
        const QString was = c->currentText();
        c->clear();
        c->addItem(All());
        for (const std::string& s : items) c->addItem(QString::fromStdString(s));
        const int i = c->findText(was);
        c->setCurrentIndex(i < 0 ? 0 : i);
    };
    // The names the journal holds, without reading its entries.
    std::set<std::string> analytes, operators;
    for (std::string& name : TJournalPages::Analytes()) analytes.insert(std::move(name));
    for (std::string& name : TJournalPages::Operators()) operators.insert(std::move(name));
    for (const auto& a : ListAnalytes.Items) analytes.insert(Cp1252ToUtf8(a->Name));
    fill(CBAnalyte, analytes);
    fill(CBOperator, operators);
    const QString kind = CBKind->currentText();
    CBKind->clear();
    CBKind->addItem(All());
    for (const std::string& k : JournalKinds()) CBKind->addItem(QString::fromStdString(k));
    CBKind->setCurrentIndex(std::max(0, CBKind->findText(kind)));
    if (!CBFrom->isChecked()) DateFrom->setDate(QDateOf(Today() - 30));
    if (!CBTo->isChecked()) DateTo->setDate(QDateOf(Today()));
    filling_ = false;
    ApplyFilter();
}

TJournalFilter TWinShowJournal::Filter() const {
    TJournalFilter f;
    auto chosen = [](const QComboBox* c) {
        return c->currentIndex() <= 0 ? std::string() : c->currentText().toStdString();
    };
    f.Analyte = chosen(CBAnalyte);
    f.Kind = chosen(CBKind);
    f.Operator = chosen(CBOperator);
    if (CBFrom->isChecked()) f.From = DayOf(DateFrom->date());
    if (CBTo->isChecked()) f.To = DayOf(DateTo->date());
    return f;
}

void TWinShowJournal::ApplyFilter() {
    if (filling_) return;
    Model->SetFilter(Filter());
    const int64_t n = Model->Count();
    LblCount->setText((n == 1 ? tr("%1 entry") : tr("%1 entries")).arg(n));
    if (n > 0) Table->scrollToBottom();
}

void TWinShowJournal::BtVerifyClick() {
    if (!Operations().JournalAvailable()) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("The journal is kept in the database, which is not open.")));
        return;
    }
    const TJournalCheck check = CheckWithProgress(this);
    if (check.Whole)
        ShowMessageBox(
            mkInformation, mbOK,
            FillQ(tr("The journal is whole: %1 entries match their hashes."), std::to_string(check.Entries)));
    else
        ShowMessageBox(mkError, mbOK, check.Message);
}

void TWinShowJournal::BtExportClick() {
    const QString path = AskSaveFileName(this, tr("Export the journal"), ToQ(ProgramFolder),
                                         QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) return;
    try {
        const std::vector<TJournalEntry> entries = Model->Entries(this);
        if (entries.empty() && Model->Count() > 0) return; // cancelled
        AtomicWriteFile(path.toStdString(), JournalCsv(entries));
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
    }
}

void TWinShowJournal::BtPrintClick() {
    if (Model->Count() == 0) {
        ShowMessageBox(mkError, mbOK, FromQ(tr("Nothing to print")));
        return;
    }
    const std::vector<TJournalEntry> entries = Model->Entries(this);
    if (entries.empty()) return; // cancelled
    const TJournalFilter f = Filter();
    const std::string all = FromQ(tr("all"));
    std::string chosen = FillQ(
        tr("Analyte: %1    Kind: %2    Operator: %3"), f.Analyte.empty() ? all : Utf8ToCp1252(f.Analyte),
        f.Kind.empty() ? all : f.Kind, f.Operator.empty() ? all : Utf8ToCp1252(f.Operator));
    if (f.From) chosen += FillQ(tr("    From: %1"), JournalDateTime(*f.From).substr(0, 10));
    if (f.To) chosen += FillQ(tr("    To: %1"), JournalDateTime(*f.To).substr(0, 10));
    const TJournalCheck check = CheckWithProgress(this);
    const std::string chain = check.Whole
                                  ? FillQ(tr("Hash chain whole (%1 entries)"), std::to_string(check.Entries))
                                  : check.Message;
    TPrintJobSpec job;
    job.JobTitle = tr("Printing the journal");
    job.FileName = TPrintJob::SafeFileName(tr("Journal of changes"));
    job.Orientation = QPageLayout::Landscape;
    TPrintJob::Print(this, job, [&](TPrintCanvas& canvas) {
        PrintJournal(canvas, entries, {chosen, chain});
    });
}
