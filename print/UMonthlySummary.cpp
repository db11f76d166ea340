// The monthly summary of an analyte: window, printout and CSV export.
#include "UMonthlySummary.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnReview.h"
#include "UPrnTable.h"
#include "UTexts.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UMonthlySummary)
};
} // namespace

namespace {

enum TColumn {
    cMonth,
    cLevel,
    cN,
    cMean,
    cSD,
    cCV,
    cBias,
    cSigma,
    cWarnings,
    cRejects,
    cDiscarded,
    cNotes,
    cCount
};

std::string MonthText(TMonth m) {
    char t[16];
    std::snprintf(t, sizeof t, "%04d-%02d", m.Year, m.Month);
    return t;
}

// The cells of one level; "n/a" where a figure is missing, its reason in the notes.
std::vector<std::string> Row(const TAnalyte& a, const std::string& month, const TMonthLevel& l) {
    const TLevelFigures& f = l.Figures;
    std::vector<std::string> r(cCount);
    r[cMonth] = month;
    r[cLevel] = std::to_string(f.Level + 1);
    r[cN] = std::to_string(f.N);
    const int d = a.Decimals + 2;
    std::vector<std::string> notes;
    auto put = [&](TColumn c, const TFigure& fig, int decimals) {
        r[c] = fig.Ok() ? FormatFixed(fig.Value, 12, decimals) : "n/a";
        const std::string why = TranslatedText(GapText(fig.Gap));
        if (!fig.Ok() && std::find(notes.begin(), notes.end(), why) == notes.end()) notes.push_back(why);
    };
    put(cMean, f.Mean, d);
    put(cSD, f.SD, d);
    put(cCV, f.CV, 2);
    put(cBias, f.BiasPct, 2);
    put(cSigma, f.Sigma, 2);
    // The mark is explained above the table and under the printed one.
    if (f.Sigma.Ok() && !f.BiasKnown) r[cSigma] += " *";
    r[cWarnings] = std::to_string(l.Warnings);
    r[cRejects] = std::to_string(l.Rejects);
    r[cDiscarded] = std::to_string(l.Discarded);
    for (const std::string& n : notes) r[cNotes] += (r[cNotes].empty() ? "" : "; ") + n;
    return r;
}

std::string Range(const TSummary& s) {
    if (s.Months.empty()) return "";
    return FillQ(TUnitTexts::tr("%1 to %2"), MonthText(s.Months.front().Month),
                 MonthText(s.Months.back().Month));
}

TMonth MonthOfDate(const QDate& d) {
    return {d.year(), d.month()};
}

} // namespace

const std::vector<std::string>& SummaryHeader() {
    static const std::vector<std::string> h = {
        QT_TRANSLATE_NOOP("UMonthlySummary", "Month"),     QT_TRANSLATE_NOOP("UMonthlySummary", "Level"),
        QT_TRANSLATE_NOOP("UMonthlySummary", "N"),         QT_TRANSLATE_NOOP("UMonthlySummary", "Mean"),
        QT_TRANSLATE_NOOP("UMonthlySummary", "SD"),        QT_TRANSLATE_NOOP("UMonthlySummary", "CV %"),
        QT_TRANSLATE_NOOP("UMonthlySummary", "Bias %"),    QT_TRANSLATE_NOOP("UMonthlySummary", "Sigma"),
        QT_TRANSLATE_NOOP("UMonthlySummary", "Warnings"),  QT_TRANSLATE_NOOP("UMonthlySummary", "Rejects"),
        QT_TRANSLATE_NOOP("UMonthlySummary", "Discarded"), QT_TRANSLATE_NOOP("UMonthlySummary", "Notes")};
    return h;
}

std::vector<std::vector<std::string>> SummaryRows(const TAnalyte& a, const TSummary& s) {
    std::vector<std::vector<std::string>> rows;
    for (const TMonthSummary& m : s.Months)
        for (const TMonthLevel& l : m.Levels) rows.push_back(Row(a, MonthText(m.Month), l));
    for (const TMonthLevel& l : s.Cumulative) rows.push_back(Row(a, Range(s), l));
    return rows;
}

std::string SummaryCsv(const TAnalyte& a, const TSummary& s) {
    std::string text = "\xEF\xBB\xBF";
    auto field = [](std::string v) {
        // A field holding the separator or a quote is quoted, quotes doubled.
        if (v.find_first_of(";\"\r\n") == std::string::npos) return v;
        std::string q = "\"";
        for (char c : v) q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    };
    std::string line = "Analyte";
    for (const std::string& h : SummaryHeader()) line += ";" + h;
    text += line + "\r\n";
    for (std::vector<std::string> r : SummaryRows(a, s)) {
        for (int c : {cMean, cSD, cCV, cBias, cSigma})
            if (r[static_cast<size_t>(c)] == "n/a") r[static_cast<size_t>(c)].clear();
        std::string& sigma = r[cSigma];
        if (sigma.ends_with(" *")) sigma.resize(sigma.size() - 2);
        line = field(Cp1252ToUtf8(a.Name));
        for (const std::string& cell : r) line += ";" + field(Cp1252ToUtf8(cell));
        text += line + "\r\n";
    }
    return text;
}

void PrintSummary(TPrintCanvas& canvas, const TAnalyte& a, const TSummary& s) {
    std::vector<TPrnCell> cells;
    for (const std::string& h : SummaryHeader())
        cells.push_back({FromQ(TUnitTexts::tr(h.c_str())), cmSilver});
    for (const auto& r : SummaryRows(a, s))
        for (const std::string& c : r) cells.push_back({c, cmNone});
    const TQualityGoal g = Operations().Goal(a.Name);
    std::string goal = FromQ(TUnitTexts::tr("Quality goal: "));
    if (!g.TEa)
        goal += FromQ(TUnitTexts::tr("no TEa"));
    else
        goal += FromQ(TUnitTexts::tr("TEa ")) + FormatFixed(*g.TEa, 12, 2) +
                (g.TEaKind == teaUnit ? " " + g.TEaUnit : std::string(" %"));
    for (int i = 0; i < a.NbLevels; ++i) {
        const auto& t = g.Target[static_cast<size_t>(i)];
        goal += FillQ(TUnitTexts::tr("; target %1: %2"), std::to_string(i + 1),
                      t ? FormatFixed(*t, 12, a.Decimals + 2) : FromQ(TUnitTexts::tr("none")));
    }
    goal += FillQ(TUnitTexts::tr("; bias from %1"), FromQ(CoreTextQ(BiasFromText(g.BiasFrom))));
    const int y =
        PrintTable(canvas, FillQ(TUnitTexts::tr("Monthly summary of %1"), a.Name),
                   {FillQ(TUnitTexts::tr("Months %1"), Range(s)), goal,
                    FromQ(TUnitTexts::tr(
                        "CV % = 100 SD / |mean|; bias % = 100 (mean - target) / |target|; Sigma = (TEa % - "
                        "|bias %|) / CV %; * no target: bias taken as 0"))},
                   cells, cCount, {18, 5, 4, 9, 9, 6, 7, 7, 8, 7, 9, 26}, false);
    // The sign-off of the months summarised, as every QC printout ends.
    if (s.Months.empty()) {
        PrintReviewLine(canvas, y, nullptr, 0, 0);
    } else {
        const TMonth first = s.Months.front().Month, last = s.Months.back().Month;
        const QDate end = QDate(last.Year, last.Month, 1);
        PrintReviewLine(canvas, y, &a, DayOf(QDate(first.Year, first.Month, 1)),
                        DayOf(end.addDays(end.daysInMonth() - 1)));
    }
}

TWinMonthlySummary::TWinMonthlySummary(QWidget* parent) : QDialog(parent) {
    setObjectName("WinMonthlySummary");
    setFixedSize(780, 520);
    auto* from = new QLabel(tr("&From"), this);
    from->setGeometry(8, 10, 34, 16);
    DateFrom = new TDatePicker(this);
    DateFrom->setObjectName("DateFrom");
    DateFrom->setGeometry(44, 7, 100, 22);
    from->setBuddy(DateFrom);
    auto* to = new QLabel(tr("&to"), this);
    to->setGeometry(152, 10, 16, 16);
    DateTo = new TDatePicker(this);
    DateTo->setObjectName("DateTo");
    DateTo->setGeometry(170, 7, 100, 22);
    to->setBuddy(DateTo);
    for (TDatePicker* d : {DateFrom, DateTo}) d->setDisplayFormat("MM/yyyy");
    DateFrom->setAccessibleName(tr("First month"));
    DateTo->setAccessibleName(tr("Last month"));
    LblGoal = new QLabel(this);
    LblGoal->setObjectName("LblGoal");
    LblGoal->setTextFormat(Qt::PlainText);
    LblGoal->setGeometry(290, 10, 480, 16);
    Grid = new QTableWidget(0, cCount, this);
    Grid->setObjectName("Grid");
    Grid->setAccessibleName(tr("Figures per month and level"));
    Grid->setGeometry(6, 36, 768, 440);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(19);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    QStringList header;
    for (const std::string& h : SummaryHeader()) header << TUnitTexts::tr(h.c_str());
    Grid->setHorizontalHeaderLabels(header);
    const int widths[cCount] = {112, 36, 32, 62, 62, 48, 50, 52, 58, 50, 60, 120};
    for (int c = 0; c < cCount; ++c) Grid->setColumnWidth(c, widths[c]);
    Grid->horizontalHeader()->setStretchLastSection(true);
    BtPrn = new QPushButton(tr("&Print"), this);
    BtPrn->setObjectName("BtPrn");
    BtPrn->setGeometry(470, 486, 90, 25);
    BtExport = new QPushButton(tr("&Export CSV..."), this);
    BtExport->setObjectName("BtExport");
    BtExport->setGeometry(570, 486, 100, 25);
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName("BtClose");
    BtClose->setGeometry(680, 486, 90, 25);
    BtClose->setDefault(true);
    connect(BtPrn, &QPushButton::clicked, this, &TWinMonthlySummary::BtPrnClick);
    connect(BtExport, &QPushButton::clicked, this, &TWinMonthlySummary::BtExportClick);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(DateFrom, &QDateEdit::dateChanged, this, &TWinMonthlySummary::Refill);
    connect(DateTo, &QDateEdit::dateChanged, this, &TWinMonthlySummary::Refill);
}

TMonth TWinMonthlySummary::From() const {
    return MonthOfDate(DateFrom->date());
}

TMonth TWinMonthlySummary::To() const {
    return MonthOfDate(DateTo->date());
}

int TWinMonthlySummary::Execute(const TAnalyte* analyte) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    analyte_ = analyte;
    setWindowTitle(tr("Monthly summary of %1").arg(ToQString(analyte->Name)));
    {
        const QSignalBlocker b1(DateFrom), b2(DateTo);
        const QDate last = QDateOf(analyte->Count() > 0 ? analyte->Points.back().DateTime : Today());
        DateTo->setDate(QDate(last.year(), last.month(), 1));
        DateFrom->setDate(QDate(last.year(), last.month(), 1).addMonths(-5));
    }
    Refill();
    const int result = exec();
    analyte_ = nullptr;
    summary_ = {};
    return result;
}

void TWinMonthlySummary::Refill() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    Grid->setRowCount(0);
    // The last month before the first shows nothing, with the reason, rather than a summary.
    try {
        summary_ = MonthlySummary(a, Operations().Goal(a.Name), From(), To(), Operations().RuleSet(a.Name));
    } catch (const EQcError& e) {
        summary_ = {};
        LblGoal->setText(ToQString(e.what()));
        BtPrn->setEnabled(false);
        BtExport->setEnabled(false);
        return;
    }
    BtPrn->setEnabled(true);
    BtExport->setEnabled(true);
    const TQualityGoal g = Operations().Goal(a.Name);
    LblGoal->setText(g.TEa ? tr("TEa %1; Sigma marked * has no target (bias taken as 0)")
                                 .arg(ToQString(FormatFixed(*g.TEa, 12, 2) +
                                                (g.TEaKind == teaUnit ? " " + g.TEaUnit : std::string(" %"))))
                           : tr("No quality goal: no Sigma (set one in Parameters > Analytes)"));
    if (g.TEa)
        LblGoal->setText(LblGoal->text() + tr("; bias from %1").arg(CoreTextQ(BiasFromText(g.BiasFrom))));
    const auto rows = SummaryRows(a, summary_);
    Grid->setRowCount(static_cast<int>(rows.size()));
    const int cumulative = static_cast<int>(rows.size() - summary_.Cumulative.size());
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < cCount; ++c) {
            auto* it = new QTableWidgetItem(ToQString(rows[static_cast<size_t>(r)][static_cast<size_t>(c)]));
            if (c != cNotes) it->setTextAlignment(Qt::AlignCenter);
            // Every other month shaded, the months together in bold, as a printed summary reads.
            if (r >= cumulative) {
                QFont bold = it->font();
                bold.setBold(true);
                it->setFont(bold);
            } else if ((r / std::max(a.NbLevels, 1)) % 2) {
                it->setBackground(QColor(192, 255, 255));
            }
            Grid->setItem(r, c, it);
        }
}

void TWinMonthlySummary::BtPrnClick() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    TPrintJobSpec job;
    job.FileName = TPrintJob::SafeFileName(tr("Monthly summary of %1").arg(ToQString(a.Name)));
    TPrintJob::Print(this, job, [&](TPrintCanvas& canvas) { PrintSummary(canvas, a, summary_); });
}

void TWinMonthlySummary::BtExportClick() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    const QString path = AskSaveFileName(this, tr("Export the monthly summary"), ToQString(ProgramFolder),
                                         tr("CSV files (*.csv)"), "csv");
    if (path.isEmpty()) return;
    try {
        AtomicWriteFile(path.toStdString(), SummaryCsv(a, summary_));
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
    }
}
