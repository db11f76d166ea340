// The QC data printout: one line per point of an interval with marked values and statistics lines.
#include "UPrnData.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "UDataLoadSave.h"
#include "UMessages.h"
#include "UPrintJob.h"
#include "UPrnReview.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UPrnData)
};
} // namespace

TPointInterval PointInterval(const TAnalyte& a, TDateTime d1, TDateTime d2) {
    d1 = DatePart(d1);
    d2 = DatePart(d2);
    if (d1 > d2) std::swap(d1, d2);
    TPointInterval iv;
    auto begin = std::lower_bound(a.Points.begin(), a.Points.end(), d1,
                                  [](const ControlPoint& p, TDateTime d) { return p.DateTime < d; });
    iv.First = static_cast<int>(begin - a.Points.begin());
    int k = iv.First;
    while (k < a.Count() && a.Points[static_cast<size_t>(k)].DateTime < d2 + 1) ++k;
    iv.Count = k - iv.First;
    iv.Last = k - 1;
    return iv;
}

uint8_t ValueMark(PointState s) {
    switch (s) {
    case psHighWarning:
        return cmUp;
    case psHighAction:
        return cmUpUp;
    case psLowWarning:
        return cmDown;
    case psLowAction:
        return cmDownDown;
    case psDiscarded:
        return cmCross;
    default:
        return cmNone;
    }
}

TDataTable BuildDataTable(const TAnalyte& a, int first, int last, bool stats) {
    TDataTable t;
    const int n = a.NbLevels;
    t.NCols = 4 + n;
    t.Widths = {9, 9};
    for (int i = 0; i < n; ++i) t.Widths.push_back(12);
    t.Widths.push_back(8);
    t.Widths.push_back(22);
    for (int i = 0; i < n; ++i) {
        const TSerum& s = ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(i)]);
        std::string line = "QC" + std::to_string(i + 1) + " : " + s.Name;
        if (!s.Lot.empty()) line += FillQ(TUnitTexts::tr(" (lot %1)"), s.Lot);
        t.HeaderLines.push_back(line);
    }
    auto add = [&t](const std::string& text, uint8_t mark) { t.Cells.push_back({text, mark}); };
    add(FromQ(TUnitTexts::tr("Date")), cmSilver);
    add(FromQ(TUnitTexts::tr("Time")), cmSilver);
    for (int i = 0; i < n; ++i) add("QC" + std::to_string(i + 1), cmSilver);
    add(FromQ(TUnitTexts::tr("Operator")), cmSilver);
    add(FromQ(TUnitTexts::tr("Comment")), cmSilver);
    first = std::max(first, 0);
    last = std::min(last, a.Count() - 1);
    for (int k = first; k <= last; ++k) {
        const ControlPoint& p = a.Points[static_cast<size_t>(k)];
        add(FromQString(DateText(p.DateTime)), cmNone);
        add(Regional.TimeToText(p.DateTime), cmNone);
        for (int i = 0; i < n; ++i) {
            const LevelValue& lv = p.Levels[static_cast<size_t>(i)];
            if (lv.State == psEmpty)
                add("", cmNone);
            else
                add(FormatFixed(lv.Value, 8, a.Decimals), ValueMark(lv.State));
        }
        add(p.Operator.Str(), cmNone);
        add(p.CommentId >= 0 ? a.CommentText(p.CommentId) : std::string(), cmNone);
    }
    if (stats) {
        std::array<LevelStats, MaxLevels> st{};
        for (int i = 0; i < n; ++i) a.ComputeStats(i, first, last, st[static_cast<size_t>(i)]);
        add(FromQ(TUnitTexts::tr("Statistics")), cmSilver);
        add(FromQ(TUnitTexts::tr("Mean")), cmSilver);
        for (int i = 0; i < n; ++i) {
            const LevelStats& s = st[static_cast<size_t>(i)];
            add(s.N == 0 ? std::string() : FormatFixed(s.Mean, 8, a.Decimals + 1), cmSilver);
        }
        add(a.Unit, cmSilver);
        add("", cmSilver);
        add(FromQ(TUnitTexts::tr("Statistics")), cmSilver);
        add("CV", cmSilver);
        for (int i = 0; i < n; ++i) {
            const LevelStats& s = st[static_cast<size_t>(i)];
            add(s.State == 6 ? std::string() : FormatFixed(s.CV, 8, 1), cmSilver);
        }
        add("%", cmSilver);
        add("", cmSilver);
        add(FromQ(TUnitTexts::tr("Statistics")), cmSilver);
        add("N", cmSilver);
        for (int i = 0; i < n; ++i) add(std::to_string(st[static_cast<size_t>(i)].N), cmSilver);
        add("", cmSilver);
        add("", cmSilver);
    }
    return t;
}

void PrintQCData(TPrintCanvas& canvas, const TAnalyte& a, int first, int last, bool stats) {
    TDataTable t = BuildDataTable(a, first, last, stats);
    const int y = PrintTable(canvas, FillQ(TUnitTexts::tr("QC data for %1"), a.Name), t.HeaderLines, t.Cells,
                             t.NCols, t.Widths, false);
    const int from = std::max(first, 0), to = std::min(last, a.Count() - 1);
    if (from <= to)
        PrintReviewLine(canvas, y, &a, a.Points[static_cast<size_t>(from)].DateTime,
                        a.Points[static_cast<size_t>(to)].DateTime);
    else
        PrintReviewLine(canvas, y, nullptr, 0, 0);
}

TWinPrnData::TWinPrnData(QWidget* parent) : QDialog(parent) {
    setObjectName("WinPrnData");
    DatePicker1 = new TDatePicker(this);
    DatePicker2 = new TDatePicker(this);
    for (QDateEdit* d : {DatePicker1, DatePicker2}) {
        d->setCalendarPopup(true);
        connect(d, &QDateEdit::dateChanged, this, &TWinPrnData::CountNbLines);
    }
    DatePicker1->setObjectName("DatePicker1");
    DatePicker2->setObjectName("DatePicker2");
    auto* lbl1 = new QLabel(tr("&First date"), this);
    lbl1->setBuddy(DatePicker1);
    auto* lbl2 = new QLabel(tr("&Last date"), this);
    lbl2->setBuddy(DatePicker2);
    PanelNbLines = new QLabel("0", this);
    PanelNbLines->setObjectName("PanelNbLines");
    PanelNbLines->setFrameShape(QFrame::Panel);
    PanelNbLines->setFrameShadow(QFrame::Sunken);
    PanelNbLines->setAlignment(Qt::AlignCenter);
    PanelNbLines->setMinimumWidth(60);
    CBPrnStats = new QCheckBox(tr("Print &statistics"), this);
    CBPrnStats->setObjectName("CBPrnStats");
    BtPrint = new QPushButton(tr("&Print"), this);
    BtPrint->setObjectName("BtPrint");
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName("BtCancel");
    connect(BtPrint, &QPushButton::clicked, this, &TWinPrnData::BtPrintClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lbl1, 0, 0);
    grid->addWidget(DatePicker1, 0, 1);
    grid->addWidget(lbl2, 1, 0);
    grid->addWidget(DatePicker2, 1, 1);
    grid->addWidget(new QLabel(tr("Lines to print"), this), 2, 0);
    grid->addWidget(PanelNbLines, 2, 1);
    grid->addWidget(CBPrnStats, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtPrint);
    buttons->addWidget(BtCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
}

int TWinPrnData::Execute(TAnalyte* analyte) {
    if (!analyte || analyte->Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        return QDialog::Rejected;
    }
    analyte_ = analyte;
    setWindowTitle(tr("Print QC data for %1").arg(ToQString(analyte->Name)));
    FitWindowTitle(this);
    FormActivate();
    int result = exec();
    analyte_ = nullptr;
    return result;
}

void TWinPrnData::FormActivate() {
    if (!analyte_ || analyte_->Count() == 0) return;
    for (QDateEdit* d : {DatePicker1, DatePicker2}) d->setDisplayFormat(DatePickerFormat());
    DatePicker1->setDate(QDateOf(analyte_->Points.front().DateTime));
    DatePicker2->setDate(QDateOf(analyte_->Points.back().DateTime));
    DatePicker1->setFocus();
    CountNbLines();
    CBPrnStats->setChecked(true);
}

void TWinPrnData::CountNbLines() {
    int count = 0;
    if (analyte_)
        count = PointInterval(*analyte_, DayOf(DatePicker1->date()), DayOf(DatePicker2->date())).Count;
    PanelNbLines->setText(QString::number(count));
}

void TWinPrnData::BtPrintClick() {
    // A date being typed is taken before counting.
    DatePicker2->interpretText();
    DatePicker1->interpretText();
    CountNbLines();
    if (!analyte_ || PanelNbLines->text() == "0") {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        return;
    }
    const TAnalyte& a = *analyte_;
    TPointInterval iv = PointInterval(a, DayOf(DatePicker1->date()), DayOf(DatePicker2->date()));
    const bool stats = CBPrnStats->isChecked();
    TPrintJobSpec job;
    job.JobTitle = tr("Printing QC data");
    job.FileName = TPrintJob::SafeFileName(tr("QC data for %1").arg(ToQString(a.Name)));
    job.Orientation = QPageLayout::Portrait;
    bool printed = TPrintJob::Print(
        this, job, [&](TPrintCanvas& canvas) { PrintQCData(canvas, a, iv.First, iv.Last, stats); });
    // A cancelled preview or a failed file keeps the window open for another try.
    if (printed) accept();
}
