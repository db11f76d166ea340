// The mapping window of the results from the instruments: what waits, what maps where, how each source
// is read. Every change goes through the operations layer.
#include "UInboxMapping.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <optional>
#include <set>

#include "UOperations.h"
#include "URefCommon.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UInboxMapping)
};
} // namespace

using refui::ToCore;
using refui::ToQt;

TWinInboxMapping* WinInboxMapping = nullptr;

namespace {
template <class T> T* Named(T* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

const char* const NotMappedColumns[] = {
    QT_TRANSLATE_NOOP("UInboxMapping", "Source"),  QT_TRANSLATE_NOOP("UInboxMapping", "Test"),
    QT_TRANSLATE_NOOP("UInboxMapping", "Control"), QT_TRANSLATE_NOOP("UInboxMapping", "Level"),
    QT_TRANSLATE_NOOP("UInboxMapping", "Value"),   QT_TRANSLATE_NOOP("UInboxMapping", "Date and time"),
    QT_TRANSLATE_NOOP("UInboxMapping", "File"),    QT_TRANSLATE_NOOP("UInboxMapping", "Why")};

QString LevelText(int level) {
    return level > 0 ? QString::number(level) : TUnitTexts::tr("from the file");
}
} // namespace

// ---------------------------------------------------------------- model

void TNotMappedModel::Reset(std::vector<TWaitingResult> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

const TWaitingResult* TNotMappedModel::At(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? &rows_[static_cast<size_t>(row)] : nullptr;
}

int TNotMappedModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TNotMappedModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::size(NotMappedColumns));
}

QVariant TNotMappedModel::data(const QModelIndex& index, int role) const {
    const TWaitingResult* w = At(index.row());
    if (!w || role != Qt::DisplayRole) return {};
    const TInstrumentResult& r = w->Result;
    switch (index.column()) {
    case 0:
        return ToQt(r.Source);
    case 1:
        return ToQt(r.TestCode);
    case 2:
        return ToQt(r.Control);
    case 3:
        return r.Level > 0 ? QVariant(r.Level) : QVariant();
    case 4:
        return ToQt(r.ValueText + (r.Units.empty() ? "" : " " + r.Units));
    case 5:
        return ToQt(TRegional{"yyyy-MM-dd", "HH:mm", '.'}.DateTimeToText(r.DateTime));
    case 6:
        return ToQt(w->File) + tr(" line ") + QString::number(r.Line);
    case 7:
        return ToQt(w->Reason);
    }
    return {};
}

QVariant TNotMappedModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(std::size(NotMappedColumns)))
        return QAbstractTableModel::headerData(section, orientation, role);
    return TUnitTexts::tr(NotMappedColumns[section]);
}

// ---------------------------------------------------------------- window

TWinInboxMapping::~TWinInboxMapping() {
    if (WinInboxMapping == this) WinInboxMapping = nullptr;
}

TWinInboxMapping::TWinInboxMapping(QWidget* parent) : QDialog(parent) {
    WinInboxMapping = this;
    setObjectName(QStringLiteral("WinInboxMapping"));
    setWindowTitle(tr("Results from the instruments"));
    auto* grid = new QGridLayout(this);

    auto* waiting = new QGroupBox(tr("Results not mapped"), this);
    auto* waitingBox = new QVBoxLayout(waiting);
    NotMapped = new TNotMappedModel(this);
    GridNotMapped = Named(new QTableView(waiting), "GridNotMapped");
    GridNotMapped->setModel(NotMapped);
    GridNotMapped->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridNotMapped->setSelectionMode(QAbstractItemView::SingleSelection);
    GridNotMapped->verticalHeader()->hide();
    GridNotMapped->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    GridNotMapped->setWordWrap(false);
    GridNotMapped->horizontalHeader()->setStretchLastSection(true);
    GridNotMapped->setMinimumSize(680, 150);
    waitingBox->addWidget(GridNotMapped);
    BtDiscard = Named(new QPushButton(tr("&Discard the results of this file"), waiting), "BtDiscard");
    BtDiscard->setToolTip(tr("Throw away the results of the selected result's file that wait for a mapping"));
    waitingBox->addWidget(BtDiscard, 0, Qt::AlignLeft);
    grid->addWidget(waiting, 0, 0, 1, 2);

    auto* map = new QGroupBox(tr("Map"), this);
    auto* mapBox = new QGridLayout(map);
    EditSource = Named(new QLineEdit(map), "EditSource");
    EditCode = Named(new QLineEdit(map), "EditCode");
    EditControl = Named(new QLineEdit(map), "EditControl");
    CBAnalyte = Named(new QComboBox(map), "CBAnalyte");
    CBLevel = Named(new QComboBox(map), "CBLevel");
    BtMap = Named(new QPushButton(tr("&Map"), map), "BtMap");
    BtMap->setToolTip(tr("Store the mapping and bring in the results waiting for it"));
    const std::pair<const char*, QWidget*> fields[] = {
        {QT_TRANSLATE_NOOP("UInboxMapping", "&Source"), EditSource},
        {QT_TRANSLATE_NOOP("UInboxMapping", "&Test code"), EditCode},
        {QT_TRANSLATE_NOOP("UInboxMapping", "Control / &lot"), EditControl},
        {QT_TRANSLATE_NOOP("UInboxMapping", "&Analyte"), CBAnalyte},
        {QT_TRANSLATE_NOOP("UInboxMapping", "Le&vel"), CBLevel}};
    int column = 0;
    for (const auto& [caption, field] : fields) {
        auto* label = new QLabel(TUnitTexts::tr(caption), map);
        label->setBuddy(field);
        mapBox->addWidget(label, 0, column);
        mapBox->addWidget(field, 1, column++);
    }
    mapBox->addWidget(BtMap, 1, column);
    grid->addWidget(map, 1, 0, 1, 2);

    auto* mappings = new QGroupBox(tr("Mappings"), this);
    auto* mappingsBox = new QVBoxLayout(mappings);
    GridMappings = Named(new QTableWidget(0, 5, mappings), "GridMappings");
    GridMappings->setHorizontalHeaderLabels(
        {tr("Source"), tr("Test"), tr("Control"), tr("Analyte"), tr("Level")});
    GridMappings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridMappings->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridMappings->setSelectionMode(QAbstractItemView::SingleSelection);
    GridMappings->verticalHeader()->hide();
    GridMappings->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    GridMappings->setWordWrap(false);
    GridMappings->horizontalHeader()->setStretchLastSection(true);
    BtRemove = Named(new QPushButton(tr("&Remove"), mappings), "BtRemove");
    mappingsBox->addWidget(GridMappings);
    mappingsBox->addWidget(BtRemove, 0, Qt::AlignLeft);
    grid->addWidget(mappings, 2, 0);

    auto* options = new QGroupBox(tr("Reading options of a source"), this);
    auto* optionsBox = new QVBoxLayout(options);
    CBSource = Named(new QComboBox(options), "CBSource");
    CBSource->setEditable(true);
    MemoOptions = Named(new QPlainTextEdit(options), "MemoOptions");
    MemoOptions->setMinimumHeight(160);
    MemoOptions->setToolTip(QStringLiteral(
        "One KEY=VALUE a line: separator (tab, semicolon, comma, auto), header (yes, no),\n"
        "column.test, column.control, column.level, column.value, column.date, column.time,\n"
        "column.operator, column.instrument (a number, or a header name), decimal (. or ,),\n"
        "dateformat (e.g. dd.MM.yyyy), encoding (auto, utf-8, windows-1252), astm.control,\n"
        "astm.level, hl7.control, hl7.level (e.g. O-3, OBR-3.1), qc.prefixes, qc.all (yes, no)"));
    BtSaveOptions = Named(new QPushButton(tr("Sa&ve options"), options), "BtSaveOptions");
    optionsBox->addWidget(CBSource);
    optionsBox->addWidget(MemoOptions);
    optionsBox->addWidget(BtSaveOptions, 0, Qt::AlignLeft);
    grid->addWidget(options, 2, 1);

    auto* failed = new QGroupBox(tr("Files not read (failed)"), this);
    auto* failedBox = new QGridLayout(failed);
    GridFailed = Named(new QTableWidget(0, 3, failed), "GridFailed");
    GridFailed->setHorizontalHeaderLabels({tr("Source"), tr("File"), tr("Why")});
    GridFailed->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridFailed->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridFailed->setSelectionMode(QAbstractItemView::SingleSelection);
    GridFailed->verticalHeader()->hide();
    GridFailed->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    GridFailed->setWordWrap(false);
    GridFailed->horizontalHeader()->setStretchLastSection(true);
    GridFailed->setMinimumHeight(90);
    BtReadAgain = Named(new QPushButton(tr("Read a&gain"), failed), "BtReadAgain");
    BtReadAgain->setToolTip(
        tr("Put the file back into the inbox, to be read with the options as they are now"));
    BtRemoveFailed = Named(new QPushButton(tr("Remove the &file"), failed), "BtRemoveFailed");
    failedBox->addWidget(GridFailed, 0, 0, 3, 1);
    failedBox->addWidget(BtReadAgain, 0, 1);
    failedBox->addWidget(BtRemoveFailed, 1, 1);
    grid->addWidget(failed, 3, 0, 1, 2);

    LblStatus = Named(new QLabel(this), "LblStatus");
    LblStatus->setTextFormat(Qt::PlainText);
    BtClose = Named(new QPushButton(tr("Close"), this), "BtClose");
    grid->addWidget(LblStatus, 4, 0);
    grid->addWidget(BtClose, 4, 1, Qt::AlignRight);

    // Enter in a field (a source's name, an option) is no click on Map or any other button.
    for (QPushButton* b : {BtMap, BtDiscard, BtRemove, BtSaveOptions, BtReadAgain, BtRemoveFailed, BtClose})
        b->setAutoDefault(false);

    connect(GridNotMapped->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { GridNotMappedSelect(); });
    connect(BtMap, &QPushButton::clicked, this, &TWinInboxMapping::BtMapClick);
    connect(BtRemove, &QPushButton::clicked, this, &TWinInboxMapping::BtRemoveClick);
    connect(CBSource, &QComboBox::currentTextChanged, this, [this] { CBSourceChange(); });
    connect(BtSaveOptions, &QPushButton::clicked, this, &TWinInboxMapping::BtSaveOptionsClick);
    connect(BtDiscard, &QPushButton::clicked, this, &TWinInboxMapping::BtDiscardClick);
    connect(BtReadAgain, &QPushButton::clicked, this, &TWinInboxMapping::BtReadAgainClick);
    connect(BtRemoveFailed, &QPushButton::clicked, this, &TWinInboxMapping::BtRemoveFailedClick);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TWinInboxMapping::Execute() {
    FormActivate();
    exec();
}

void TWinInboxMapping::FormActivate() {
    NotMapped->Reset(Operations().NotMappedResults());
    GridNotMapped->resizeColumnsToContents();
    CBAnalyte->clear();
    for (const auto& a : ListAnalytes.Items) CBAnalyte->addItem(ToQt(a->Name));
    CBLevel->clear();
    for (int level = 1; level <= MaxLevels; ++level) CBLevel->addItem(LevelText(level), level);
    CBLevel->addItem(LevelText(0), 0);
    FillMappings();
    FillSources();
    FillFailed();
    LblStatus->clear();
    // The fields of the last mapping are not left beside a level they did not have.
    for (QLineEdit* e : {EditSource, EditCode, EditControl}) e->clear();
    if (NotMapped->rowCount() > 0) GridNotMapped->selectRow(0);
}

void TWinInboxMapping::FillMappings() {
    const std::vector<TInboxMapping> mappings = Operations().InboxMappings();
    GridMappings->setRowCount(static_cast<int>(mappings.size()));
    for (int row = 0; row < static_cast<int>(mappings.size()); ++row) {
        const TInboxMapping& m = mappings[static_cast<size_t>(row)];
        const QString cells[] = {ToQt(m.Source), ToQt(m.Code), ToQt(m.Control), ToQt(m.Analyte),
                                 LevelText(m.Level)};
        for (int c = 0; c < 5; ++c) GridMappings->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    GridMappings->resizeColumnsToContents();
}

void TWinInboxMapping::FillFailed() {
    failed_ = Operations().FailedInboxFiles();
    GridFailed->setRowCount(static_cast<int>(failed_.size()));
    for (int row = 0; row < static_cast<int>(failed_.size()); ++row) {
        const TFailedInboxFile& f = failed_[static_cast<size_t>(row)];
        const QString reason = QString::fromUtf8(f.Reason).trimmed();
        const QString cells[] = {ToQt(f.Source), QString::fromUtf8(f.Name), reason.simplified()};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(reason);
            GridFailed->setItem(row, c, item);
        }
    }
    GridFailed->resizeColumnsToContents();
    if (!failed_.empty()) GridFailed->selectRow(0);
}

void TWinInboxMapping::FillSources() {
    // Those with stored options, those the inbox's subfolders name, those of waiting results.
    std::set<std::string> ids = {DefaultSourceId};
    for (const TInstrumentSource& s : Operations().InboxSources()) ids.insert(s.Id);
    const std::string folder = Operations().InboxSettings().Folder;
    if (!folder.empty())
        for (const QString& name :
             QDir(QString::fromUtf8(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const std::string id = ToCore(name);
            if (IsValidSourceId(id)) ids.insert(id);
        }
    for (int row = 0; row < NotMapped->rowCount(); ++row) ids.insert(NotMapped->At(row)->Result.Source);
    const QString current = CBSource->currentText();
    CBSource->blockSignals(true);
    CBSource->clear();
    for (const std::string& id : ids) CBSource->addItem(ToQt(id));
    CBSource->setCurrentText(current.isEmpty() ? QString::fromLatin1(DefaultSourceId) : current);
    CBSource->blockSignals(false);
    CBSourceChange();
}

void TWinInboxMapping::GridNotMappedSelect() {
    const TWaitingResult* w = NotMapped->At(GridNotMapped->currentIndex().row());
    if (!w) return;
    EditSource->setText(ToQt(w->Result.Source));
    EditCode->setText(ToQt(w->Result.TestCode));
    EditControl->setText(ToQt(w->Result.Control));
    // A level the file gives is offered first.
    const int level = w->Result.Level;
    CBLevel->setCurrentIndex(level >= 1 && level <= MaxLevels ? level - 1 : 0);
}

void TWinInboxMapping::BtMapClick() {
    TInboxMapping m{ToCore(EditSource->text()), ToCore(EditCode->text()), ToCore(EditControl->text()),
                    ToCore(CBAnalyte->currentText()), CBLevel->currentData().toInt()};
    // Moving a control mapped elsewhere is confirmed.
    bool replace = false;
    const TAnalyte* target = ListAnalytes.FindByName(m.Analyte);
    if (const std::optional<TInboxMapping> former = Operations().InboxMappingOf(m.Source, m.Code, m.Control);
        former && target && (former->Analyte != target->Name || former->Level != m.Level)) {
        const QString question =
            tr("%1 %2 %3 is mapped to %4 level %5. Map it to %6 level %7 instead?")
                .arg(ToQt(m.Source), ToQt(m.Code), ToQt(m.Control), ToQt(former->Analyte),
                     LevelText(former->Level), ToQt(target->Name), LevelText(m.Level));
        if (ShowMessageBox(mkConfirmation, mbOK | mbCancel, ToCore(question)) != mbOK) return;
        replace = true;
    }
    // What the inbox accepts is protected as the other destructive commands are.
    if (!AskPassword()) return;
    TInboxReport report;
    if (!ShowOutcome(Operations().MapInstrumentResults(m, &report, replace))) return;
    QString status = tr("Mapped: %1 run(s) to the queue").arg(report.Queued);
    if (report.Merged > 0) status += tr(" (%1 completing a held run)").arg(report.Merged);
    status += tr(", %1 stored, %2 still not mapped").arg(report.Accepted).arg(report.NotMapped);
    LblStatus->setText(status);
    FormActivate();
    LblStatus->setText(status);
}

void TWinInboxMapping::BtRemoveClick() {
    const int row = GridMappings->currentRow();
    if (row < 0 || !GridMappings->item(row, 0)) return;
    if (!AskPassword()) return;
    if (!ShowOutcome(Operations().RemoveInboxMapping(ToCore(GridMappings->item(row, 0)->text()),
                                                     ToCore(GridMappings->item(row, 1)->text()),
                                                     ToCore(GridMappings->item(row, 2)->text()))))
        return;
    FillMappings();
}

void TWinInboxMapping::CBSourceChange() {
    MemoOptions->setPlainText(ToQt(Operations().InboxSource(ToCore(CBSource->currentText())).ToText()));
}

void TWinInboxMapping::BtSaveOptionsClick() {
    TInstrumentSource s;
    try {
        s = TInstrumentSource::FromText(ToCore(MemoOptions->toPlainText()));
    } catch (const EQcError& e) {
        ShowOutcome(TOutcome::Refuse(e.what()));
        return;
    }
    s.Id = ToCore(CBSource->currentText());
    if (!AskPassword()) return;
    if (!ShowOutcome(Operations().SetInboxSource(s))) return;
    LblStatus->setText(tr("Reading options of %1 saved").arg(CBSource->currentText()));
    CBSourceChange();
}

void TWinInboxMapping::BtDiscardClick() {
    const TWaitingResult* w = NotMapped->At(GridNotMapped->currentIndex().row());
    if (!w) return;
    const std::string file = w->File;
    int count = 0;
    for (int row = 0; row < NotMapped->rowCount(); ++row) count += NotMapped->At(row)->File == file;
    if (!AskPassword()) return;
    std::string reason;
    if (!AskReasonText(ToCore(tr("Why are the %1 results of %2 that wait for a mapping thrown away?")
                                  .arg(count)
                                  .arg(ToQt(file))),
                       reason))
        return;
    int discarded = 0;
    if (!ShowOutcome(Operations().DiscardNotMappedResults(file, reason, &discarded))) return;
    FormActivate();
    LblStatus->setText(tr("Discarded: %1 result(s) of %2").arg(discarded).arg(ToQt(file)));
}

void TWinInboxMapping::BtReadAgainClick() {
    const int row = GridFailed->currentRow();
    if (row < 0 || row >= static_cast<int>(failed_.size())) return;
    const TFailedInboxFile f = failed_[static_cast<size_t>(row)];
    if (!ShowOutcome(Operations().ReadFailedInboxFileAgain(f))) return;
    FormActivate();
    LblStatus->setText(
        tr("%1 is back in the inbox: it is read when this window closes").arg(QString::fromUtf8(f.Name)));
}

void TWinInboxMapping::BtRemoveFailedClick() {
    const int row = GridFailed->currentRow();
    if (row < 0 || row >= static_cast<int>(failed_.size())) return;
    const TFailedInboxFile f = failed_[static_cast<size_t>(row)];
    if (!AskPassword()) return;
    std::string reason;
    if (!AskReasonText(ToCore(tr("Why is %1 removed without being read?").arg(QString::fromUtf8(f.Name))),
                       reason))
        return;
    if (!ShowOutcome(Operations().RemoveFailedInboxFile(f, reason))) return;
    FormActivate();
    LblStatus->setText(tr("%1 removed").arg(QString::fromUtf8(f.Name)));
}
