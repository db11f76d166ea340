#include "UEqaView.h"

#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <cmath>
#include <set>

#include "UCodePage.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQualityCharts.h"
#include "URegional.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UEqaView)
};

QString BandText(TEqaBand band) {
    switch (band) {
    case TEqaBand::Acceptable:
        return TUnitTexts::tr("acceptable");
    case TEqaBand::Questionable:
        return TUnitTexts::tr("questionable");
    case TEqaBand::Unacceptable:
        return TUnitTexts::tr("unacceptable");
    default:
        return QStringLiteral("-");
    }
}

QColor BandColour(TEqaBand band) {
    switch (band) {
    case TEqaBand::Acceptable:
        return QColor(0, 150, 0);
    case TEqaBand::Questionable:
        return QColor(230, 140, 0);
    case TEqaBand::Unacceptable:
        return QColor(220, 0, 0);
    default:
        return QColor(128, 128, 128);
    }
}

QString Optional(const std::optional<long double>& v, int decimals) {
    return v ? FixedText(*v, decimals) : QStringLiteral("-");
}

// A number as the file takes it: the decimal comma of a regional keyboard becomes a point.
std::string NumberField(const QLineEdit* e) {
    return e->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toStdString();
}

} // namespace

void DrawEqaChart(QPainter& p, const QRect& r, const std::vector<TEqaResult>& results) {
    p.save();
    p.fillRect(r, Qt::white);
    const QFontMetrics fm(p.font(), p.device());
    const int left = r.left() + fm.horizontalAdvance(QStringLiteral("-10")) + 8;
    const QRect plot(left, r.top() + fm.height(), r.right() - left - 8, r.height() - 3 * fm.height());
    // The scale: +-4, wider for a z beyond it (at most +-10; beyond, the mark stands on the edge).
    long double span = 4;
    for (const TEqaResult& res : results)
        if (const auto z = EqaFigures(res).Z) span = std::max(span, std::fabs(*z) + 0.5L);
    span = std::min<long double>(std::ceil(span), 10);
    auto y = [&](long double z) {
        z = std::clamp(z, -span, span);
        return plot.top() + static_cast<int>(std::lround((span - z) / (2 * span) * plot.height()));
    };
    for (int s = -3; s <= 3; ++s) {
        if (s != 0 && std::abs(s) != 2 && std::abs(s) != 3) continue;
        const QColor c = s == 0
                             ? Qt::black
                             : BandColour(std::abs(s) == 2 ? TEqaBand::Questionable : TEqaBand::Unacceptable);
        p.setPen(QPen(c, 1, s == 0 ? Qt::SolidLine : Qt::DashLine));
        p.drawLine(plot.left(), y(s), plot.right(), y(s));
        p.setPen(Qt::black);
        p.drawText(QRect(r.left(), y(s) - fm.height() / 2, left - r.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(s));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    const int n = static_cast<int>(results.size());
    const int labelEvery =
        std::max(1, n * fm.horizontalAdvance(QStringLiteral("0000-00-00 ")) / std::max(plot.width(), 1) + 1);
    for (int k = 0; k < n; ++k) {
        const TEqaResult& res = results[static_cast<size_t>(k)];
        const TEqaFigures f = EqaFigures(res);
        const int x = plot.left() + (2 * k + 1) * plot.width() / (2 * std::max(n, 1));
        const int radius = 5;
        if (f.Z) {
            p.setPen(Qt::NoPen);
            p.setBrush(BandColour(f.Band));
        } else {
            p.setPen(QPen(BandColour(f.Band), 2));
            p.setBrush(Qt::NoBrush);
        }
        p.drawEllipse(QPoint(x, y(f.Z.value_or(0))), radius, radius);
        if (k % labelEvery == 0) {
            p.setPen(Qt::black);
            p.drawText(QRect(x - 60, plot.bottom() + 2, 120, 2 * fm.height()),
                       Qt::AlignHCenter | Qt::AlignTop,
                       ToQString(res.Distribution) + QLatin1Char('\n') +
                           ToQString(IsoRegional().DateToText(res.Date)));
        }
    }
    p.restore();
}

TWinEqaAdd::TWinEqaAdd(QWidget* parent) : QDialog(parent) {
    setObjectName("WinEqaAdd");
    setWindowTitle(tr("Add an EQA result"));
    auto* form = new QFormLayout;
    auto edit = [&](const char* name, const QString& label) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setAccessibleName(QString(label).remove(QLatin1Char('&')));
        form->addRow(label, e);
        return e;
    };
    EdScheme = edit("EdScheme", tr("&Scheme"));
    EdDistribution = edit("EdDistribution", tr("&Distribution"));
    EdSample = edit("EdSample", tr("Sa&mple"));
    // Typed as the scheme's report gives it; today's date to begin with.
    EdDate = edit("EdDate", tr("Da&te (yyyy-mm-dd)"));
    EdDate->setText(QDate::currentDate().toString(Qt::ISODate));
    EdResult = edit("EdResult", tr("&Result"));
    EdAssigned = edit("EdAssigned", tr("&Assigned value"));
    EdSd = edit("EdSd", tr("Evaluation S&D"));
    EdParticipants = edit("EdParticipants", tr("&Participants"));
    BtOk = new QPushButton(tr("OK"), this);
    BtOk->setObjectName("BtOk");
    BtOk->setDefault(true);
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName("BtCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtOk);
    buttons->addWidget(BtCancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(form);
    all->addLayout(buttons);
    connect(BtOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(420);
    FitWindowTitle(this);
}

std::vector<std::string> TWinEqaAdd::Fields(const std::string& analyte) const {
    auto text = [](const QLineEdit* e) { return e->text().trimmed().toStdString(); };
    return {text(EdScheme),        text(EdDistribution),    text(EdSample),    text(EdDate),        analyte,
            NumberField(EdResult), NumberField(EdAssigned), NumberField(EdSd), text(EdParticipants)};
}

TWinEqa::TWinEqa(QWidget* parent) : QDialog(parent) {
    setObjectName("WinEqa");
    setFixedSize(860, 560);
    Grid = new QTableWidget(0, 12, this);
    Grid->setObjectName("Grid");
    Grid->setGeometry(8, 8, 844, 200);
    Grid->setAccessibleName(tr("EQA results with their z-scores"));
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setHorizontalHeaderLabels({tr("Date"), tr("Scheme"), tr("Distribution"), tr("Sample"), tr("Result"),
                                     tr("Assigned"), tr("SD"), tr("Participants"), tr("z"), tr("Band"),
                                     tr("Bias %"), tr("Corrective action")});
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setStretchLastSection(true);
    PBoxEqa = new TChartBox(this, [this](QPainter& p, const QRect& r) { DrawEqaChart(p, r, results_); });
    PBoxEqa->setObjectName("PBoxEqa");
    PBoxEqa->setGeometry(8, 214, 844, 260);
    PBoxEqa->setAccessibleName(tr("Chart of the z-scores"));
    LblNote = new QLabel(this);
    LblNote->setObjectName("LblNote");
    LblNote->setTextFormat(Qt::PlainText);
    LblNote->setWordWrap(true);
    LblNote->setGeometry(8, 480, 844, 40);
    LblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto button = [&](const char* name, const QString& text, int x, int w) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setGeometry(x, 526, w, 25);
        return b;
    };
    BtAdd = button("BtAdd", tr("&Add..."), 8, 100);
    BtImport = button("BtImport", tr("&Import..."), 116, 100);
    BtAction = button("BtAction", tr("&Corrective action..."), 224, 160);
    BtClose = button("BtClose", tr("Close"), 772, 80);
    BtClose->setDefault(true);
    WinAdd = new TWinEqaAdd(this);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtAdd, &QPushButton::clicked, this, &TWinEqa::BtAddClick);
    connect(BtImport, &QPushButton::clicked, this, &TWinEqa::BtImportClick);
    connect(BtAction, &QPushButton::clicked, this, &TWinEqa::BtActionClick);
    connect(Grid, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });
}

int TWinEqa::Execute(const TAnalyte* analyte) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    analyte_ = analyte;
    setWindowTitle(tr("External quality assessment of %1").arg(ToQString(analyte->Name)));
    Refill();
    Grid->setCurrentCell(Grid->rowCount() - 1, 0);
    return exec();
}

void TWinEqa::Refill() {
    results_.clear();
    actions_.clear();
    const int row = Grid->currentRow();
    Grid->setRowCount(0);
    if (!analyte_) return;
    results_ = Operations().EqaResults(analyte_->Name);
    actions_ = Operations().EqaActions(analyte_->Name);
    const int decimals = analyte_->Decimals + 1;
    int open = 0;
    Grid->setRowCount(static_cast<int>(results_.size()));
    for (int k = 0; k < static_cast<int>(results_.size()); ++k) {
        const TEqaResult& r = results_[static_cast<size_t>(k)];
        const TEqaFigures f = EqaFigures(r);
        const auto action = actions_.find(EqaSampleKey(r));
        QString actionText = action != actions_.end() ? ToQString(action->second) : QString();
        if (f.Band == TEqaBand::Unacceptable && actionText.isEmpty()) {
            actionText = tr("none recorded");
            ++open;
        }
        const QString cells[] = {ToQString(IsoRegional().DateToText(r.Date)),
                                 ToQString(r.Scheme),
                                 ToQString(r.Distribution),
                                 ToQString(r.Sample),
                                 FixedText(r.Result, decimals),
                                 FixedText(r.Assigned, decimals),
                                 FixedText(r.Sd, decimals),
                                 QString::number(r.Participants),
                                 Optional(f.Z, 2),
                                 BandText(f.Band),
                                 Optional(f.BiasPct, 1),
                                 actionText};
        for (int c = 0; c < 12; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 9) item->setForeground(BandColour(f.Band));
            if (c == 11) item->setToolTip(cells[c]); // a long action in full
            Grid->setItem(k, c, item);
        }
    }
    Grid->resizeColumnsToContents();
    if (row >= 0 && row < Grid->rowCount()) Grid->setCurrentCell(row, 0);
    QString note;
    if (results_.empty())
        note = tr("No EQA results for %1: add them as the scheme reports them, or import a file.")
                   .arg(ToQString(analyte_->Name));
    else if (open > 0)
        note = tr("Unacceptable results without a corrective action: %1. Select one and choose Corrective "
                  "action.")
                   .arg(open);
    else
        note = tr("z = (result - assigned) / SD: acceptable up to 2, questionable below 3, unacceptable from "
                  "3; no z-score with fewer than 5 participants.");
    LblNote->setText(note);
    UpdateButtons();
    PBoxEqa->update();
}

void TWinEqa::UpdateButtons() {
    const int row = Grid->currentRow();
    BtAction->setEnabled(row >= 0 && row < static_cast<int>(results_.size()) &&
                         EqaFigures(results_[static_cast<size_t>(row)]).Band == TEqaBand::Unacceptable);
}

std::vector<TEqaResult> TWinEqa::NewUnacceptable(const std::vector<TEqaResult>& before) const {
    std::set<std::string> seen;
    for (const TEqaResult& r : before) seen.insert(UpperCase(r.Analyte) + '\t' + EqaSampleKey(r));
    std::vector<TEqaResult> out;
    for (const TEqaResult& r : Operations().EqaResults())
        if (!seen.count(UpperCase(r.Analyte) + '\t' + EqaSampleKey(r)) &&
            EqaFigures(r).Band == TEqaBand::Unacceptable)
            out.push_back(r);
    return out;
}

void TWinEqa::AskAction(const TEqaResult& r) {
    const TEqaFigures f = EqaFigures(r);
    std::string choice, text;
    if (!Prompt().AskReason(FillQ(tr("%1 %2: the EQA result is unacceptable (z = %3). What was done?"),
                                  r.Analyte, EqaSampleText(r), FromQ(Optional(f.Z, 2))),
                            Operations().CorrectiveActions(), choice, text))
        return;
    std::string action = Trim(choice);
    if (!Trim(text).empty()) action += (action.empty() ? "" : "; ") + Trim(text);
    ShowOutcome(Operations().RecordEqaAction(r, action), mbOK);
}

void TWinEqa::BtAddClick() {
    if (!analyte_) return;
    const std::vector<TEqaResult> before = Operations().EqaResults();
    for (QLineEdit* e : {WinAdd->EdSample, WinAdd->EdResult, WinAdd->EdAssigned, WinAdd->EdSd}) e->clear();
    // Refused fields are kept for the user to mend.
    for (;;) {
        if (WinAdd->exec() != QDialog::Accepted) return;
        if (ShowOutcome(Operations().AddEqaResult(WinAdd->Fields(Cp1252ToUtf8(analyte_->Name))), mbOK)) break;
    }
    Refill();
    Grid->setCurrentCell(Grid->rowCount() - 1, 0);
    for (const TEqaResult& r : NewUnacceptable(before)) AskAction(r);
    Refill();
}

void TWinEqa::BtImportClick() {
    const std::optional<std::string> bytes =
        AskFileBytes(this, tr("Import EQA results"), tr("EQA files (*.csv *.txt);;All files (*)"));
    if (!bytes) return;
    const std::vector<TEqaResult> before = Operations().EqaResults();
    int count = 0;
    const TOutcome out = Operations().ImportEqa(*bytes, &count);
    if (!out.Ok()) {
        ShowRefusedFile(out);
        return;
    }
    ShowMessageBox(mkInformation, mbOK,
                   FillQ(count == 1 ? tr("%1 EQA result imported") : tr("%1 EQA results imported"),
                         std::to_string(count)));
    // The results in the table while their corrective actions are asked.
    Refill();
    for (const TEqaResult& r : NewUnacceptable(before)) AskAction(r);
    Refill();
}

void TWinEqa::BtActionClick() {
    const int row = Grid->currentRow();
    if (row < 0 || row >= static_cast<int>(results_.size())) return;
    AskAction(results_[static_cast<size_t>(row)]);
    Refill();
}
