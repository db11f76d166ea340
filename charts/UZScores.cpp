// Normalised charts of an analyte: z-score chart and Youden plot, shown and printed.
#include "UZScores.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>

#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UQualityCharts.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UZScores)
};
} // namespace

namespace {

std::string Day(TDateTime dt) {
    return FromQString(DateText(dt));
}

QFont Arial(int points, bool bold = false) {
    QFont f("Arial");
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

} // namespace

TZView ZView(const TAnalyte& a, TDateTime from, TDateTime to, TPeriod inView) {
    TZView v;
    v.Figures = AnalyteFigures(a, Operations().Goal(a.Name), inView);
    v.Points = ZScores(a, v.Figures, PeriodOfDates(a, from, to), Operations().RuleSet(a.Name));
    return v;
}

std::vector<std::string> ZBasisLines(const TAnalyte& a, const TZView& v) {
    std::vector<std::string> lines;
    for (const TLevelFigures& f : v.Figures) {
        std::string s = FillQ(TUnitTexts::tr("Level %1: "), std::to_string(f.Level + 1));
        if (!f.Mean.Ok() || !f.SD.Ok() || f.SD.Value <= 0) {
            s += FillQ(TUnitTexts::tr("no z-score, %1"),
                       FromQ(CoreTextQ(GapText(f.SD.Ok() ? gapZeroCV : f.SD.Gap))));
        } else {
            s += FillQ(f.CommonCV ? TUnitTexts::tr("mean %1, SD %2 of the common CV over %3 values")
                                  : TUnitTexts::tr("mean %1, SD %2 over %3 values"),
                       FormatFixed(f.Mean.Value, 12, a.Decimals + 2),
                       FormatFixed(f.SD.Value, 12, a.Decimals + 2), std::to_string(f.N));
            const int first = std::max(f.Period.First, 0), last = std::min(f.Period.Last, a.Count() - 1);
            if (first <= last)
                s += " (" + Day(a.Points[static_cast<size_t>(first)].DateTime) + " - " +
                     Day(a.Points[static_cast<size_t>(last)].DateTime) + ")";
        }
        lines.push_back(s);
    }
    return lines;
}

void PrintZScores(TPrintCanvas& canvas, const TAnalyte& a, const TZView& v, int levelA, int levelB,
                  const std::string& period) {
    QPainter& p = canvas.Painter();
    const int W = canvas.Width(), H = canvas.Height();
    p.setPen(Qt::black);
    p.setFont(Arial(14, true));
    int y = 0;
    const int titleHeight = QFontMetrics(p.font(), p.device()).height();
    p.drawText(QRect(0, y, W, titleHeight), Qt::AlignHCenter | Qt::AlignTop,
               TUnitTexts::tr("Normalised charts of %1").arg(ToQString(a.Name)));
    y += titleHeight * 3 / 2;
    p.setFont(Arial(8));
    const int line = QFontMetrics(p.font(), p.device()).height();
    std::vector<std::string> lines = {
        period,
        FromQ(TUnitTexts::tr("z = (value - mean) / SD; mean and SD of each level's reference points:"))};
    for (const std::string& l : ZBasisLines(a, v)) lines.push_back("  " + l);
    for (const std::string& l : lines) {
        p.drawText(QRect(0, y, W, line), Qt::AlignLeft | Qt::AlignTop, ToQString(l));
        y += line;
    }
    y += line;
    const int footer = 2 * line;
    const bool youden = a.NbLevels >= 2;
    const int zHeight = youden ? (H - y - footer) * 9 / 20 : H - y - footer;
    DrawZChart(p, QRect(0, y, W, zHeight), v.Points, a.NbLevels);
    y += zHeight + line;
    if (youden)
        DrawYoudenPlot(p, QRect(0, y, W, H - y - footer), YoudenPairs(v.Points, levelA, levelB), levelA,
                       levelB);
    p.setFont(Arial(8));
    p.setPen(Qt::black);
    p.drawText(QRect(0, H - line, W, line), Qt::AlignHCenter | Qt::AlignTop,
               TUnitTexts::tr("- Normalised charts of %1 - Printed on %2 -")
                   .arg(ToQString(a.Name), ToQString(Day(Today()))));
}

TWinZScores::TWinZScores(QWidget* parent) : QDialog(parent) {
    setObjectName("WinZScores");
    setFixedSize(780, 540);
    auto* from = new QLabel(tr("&From"), this);
    from->setGeometry(8, 10, 34, 16);
    DateFrom = new TDatePicker(this);
    DateFrom->setObjectName("DateFrom");
    DateFrom->setGeometry(44, 7, 110, 22);
    from->setBuddy(DateFrom);
    auto* to = new QLabel(tr("&to"), this);
    to->setGeometry(162, 10, 16, 16);
    DateTo = new TDatePicker(this);
    DateTo->setObjectName("DateTo");
    DateTo->setGeometry(180, 7, 110, 22);
    to->setBuddy(DateTo);
    for (TDatePicker* d : {DateFrom, DateTo}) d->setDisplayFormat(DatePickerFormat());
    DateFrom->setAccessibleName(tr("First date"));
    DateTo->setAccessibleName(tr("Last date"));
    auto* youden = new QLabel(tr("&Youden plot of"), this);
    youden->setGeometry(298, 10, 122, 16);
    CBLevelA = new QComboBox(this);
    CBLevelA->setObjectName("CBLevelA");
    CBLevelA->setGeometry(422, 7, 80, 22);
    youden->setBuddy(CBLevelA);
    auto* against = new QLabel(tr("against"), this);
    against->setGeometry(508, 10, 50, 16);
    CBLevelB = new QComboBox(this);
    CBLevelB->setObjectName("CBLevelB");
    CBLevelB->setGeometry(560, 7, 80, 22);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    PageControl->setGeometry(6, 36, 768, 416);
    PBoxZ = new TChartBox(nullptr, [this](QPainter& p, const QRect& r) {
        DrawZChart(p, r, view_.Points, analyte_ ? analyte_->NbLevels : 0);
    });
    PBoxZ->setObjectName("PBoxZ");
    PBoxYouden = new TChartBox(nullptr, [this](QPainter& p, const QRect& r) {
        if (analyte_ && analyte_->NbLevels < 2) {
            p.drawText(r, Qt::AlignCenter, TUnitTexts::tr("A Youden plot needs two levels"));
            return;
        }
        DrawYoudenPlot(p, r, Pairs(), CBLevelA->currentIndex(), CBLevelB->currentIndex());
    });
    PBoxYouden->setObjectName("PBoxYouden");
    PageControl->addTab(PBoxZ, tr("&z-score chart"));
    PageControl->addTab(PBoxYouden, tr("Youden p&lot"));
    LblBasis = new QLabel(this);
    LblBasis->setObjectName("LblBasis");
    LblBasis->setTextFormat(Qt::PlainText);
    LblBasis->setGeometry(8, 456, 640, 80);
    LblBasis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BtPrn = new QPushButton(tr("&Print"), this);
    BtPrn->setObjectName("BtPrn");
    BtPrn->setGeometry(690, 470, 80, 25);
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName("BtClose");
    BtClose->setGeometry(690, 502, 80, 25);
    BtClose->setDefault(true);
    connect(BtPrn, &QPushButton::clicked, this, &TWinZScores::BtPrnClick);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(DateFrom, &QDateEdit::dateChanged, this, &TWinZScores::Refill);
    connect(DateTo, &QDateEdit::dateChanged, this, &TWinZScores::Refill);
    for (QComboBox* cb : {CBLevelA, CBLevelB})
        connect(cb, &QComboBox::currentIndexChanged, PBoxYouden, [this] { PBoxYouden->update(); });
}

std::vector<TYoudenPoint> TWinZScores::Pairs() const {
    return YoudenPairs(view_.Points, CBLevelA->currentIndex(), CBLevelB->currentIndex());
}

int TWinZScores::Execute(const TAnalyte* analyte, TPeriod inView) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    analyte_ = analyte;
    inView_ = inView;
    setWindowTitle(tr("Normalised charts of %1").arg(ToQString(analyte->Name)));
    {
        const QSignalBlocker b1(DateFrom), b2(DateTo), b3(CBLevelA), b4(CBLevelB);
        const int first = std::clamp(inView.First, 0, std::max(analyte->Count() - 1, 0));
        const int last = std::clamp(inView.Last, 0, std::max(analyte->Count() - 1, 0));
        const bool any = analyte->Count() > 0;
        DateFrom->setDate(QDateOf(any ? analyte->Points[static_cast<size_t>(first)].DateTime : Today()));
        DateTo->setDate(QDateOf(any ? analyte->Points[static_cast<size_t>(last)].DateTime : Today()));
        CBLevelA->clear();
        CBLevelB->clear();
        for (int i = 0; i < analyte->NbLevels; ++i) {
            CBLevelA->addItem(tr("Level %1").arg(i + 1));
            CBLevelB->addItem(tr("Level %1").arg(i + 1));
        }
        CBLevelA->setCurrentIndex(0);
        CBLevelB->setCurrentIndex(std::min(1, analyte->NbLevels - 1));
        CBLevelA->setEnabled(analyte->NbLevels >= 2);
        CBLevelB->setEnabled(analyte->NbLevels >= 2);
    }
    PageControl->setCurrentIndex(0);
    Refill();
    const int result = exec();
    analyte_ = nullptr;
    view_ = {};
    return result;
}

void TWinZScores::Refill() {
    if (!analyte_) return;
    view_ = ZView(*analyte_, DayOf(DateFrom->date()), DayOf(DateTo->date()), inView_);
    QString basis = TUnitTexts::tr("z = (value - mean) / SD; mean and SD of each level's reference points:");
    for (const std::string& l : ZBasisLines(*analyte_, view_)) basis += "\n" + ToQString(l);
    LblBasis->setText(basis);
    PBoxZ->update();
    PBoxYouden->update();
}

void TWinZScores::BtPrnClick() {
    if (!analyte_) return;
    const TAnalyte& a = *analyte_;
    TPrintJobSpec job;
    job.FileName = TPrintJob::SafeFileName(tr("Normalised charts of %1").arg(ToQString(a.Name)));
    const std::string period =
        FillQ(tr("Points from %1 to %2"), Day(DayOf(DateFrom->date())), Day(DayOf(DateTo->date())));
    const int levelA = CBLevelA->currentIndex(), levelB = CBLevelB->currentIndex();
    TPrintJob::Print(this, job,
                     [&](TPrintCanvas& canvas) { PrintZScores(canvas, a, view_, levelA, levelB, period); });
}
