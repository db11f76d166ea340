// The chart printout: the Levey-Jennings charts of an interval in stretches of 31 points, with statistics.
#include "UPrnCharts.h"
#include <QCoreApplication>

#include <QCheckBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "UDataLoadSave.h"
#include "UDrawChart.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnData.h"
#include "UPrnReview.h"
#include "UPrnTable.h"
#include "UPrnWrapped.h"
#include "UQcSummary.h"
#include "UUserPrompt.h"
#include "UWestgard.h"

namespace {

using namespace chartcolour;

QFont ArialFont(int pointSize, bool bold = false) {
    QFont f("Arial");
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

enum TAlign { alLeft, alCentre, alRight };

// Writes text with its top at y and its left end, centre or right end at x, on an opaque background
// of the brush colour, as the printer's text calls do.
void TextOut(QPainter& p, int x, int y, const QString& text, TAlign align, const QColor& bg) {
    QFontMetrics fm(p.font(), p.device());
    int w = fm.horizontalAdvance(text);
    int left = align == alLeft ? x : align == alCentre ? x - w / 2 : x - w;
    p.fillRect(QRect(left, y, w, fm.height()), bg);
    p.setPen(Qt::black);
    p.drawText(QRect(left, y, w, fm.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
}

// One line width of a 300-dpi printer: a line one device unit wide all but vanishes at 600 dpi
// and more, and a dotted one would print as a faint grey.
int LineUnit(const QPaintDevice* device) {
    return std::max(1, device->logicalDpiY() / 300);
}

class TChartPrinter {
    Q_DECLARE_TR_FUNCTIONS(TChartPrinter)
public:
    TChartPrinter(TPrintCanvas& canvas, const TAnalyte& a, const TChartPrintOptions& o)
        : canvas_(canvas), p_(canvas.Painter()), a_(a), o_(o), own_(Operations().RuleSet(a.Name)),
          unit_(LineUnit(p_.device())) {}

    void Run(int first, int last) {
        const TChartMetrics m = ChartMetrics(canvas_);
        h_ = m.CharHeight;
        avg_ = m.AvgCharWidth;
        W_ = m.W;
        H_ = m.H;
        int levels = 0;
        for (int i = 0; i < a_.NbLevels; ++i) levels += o_.Levels[static_cast<size_t>(i)] ? 1 : 0;
        plan_ = PlanChartPages(m, levels, a_.NbLevels, first, last, o_.Stats);

        PrintChartsTitle();
        p_.setFont(ArialFont(8));
        int page = 0;
        for (const TChartStretch& s : plan_.Stretches) {
            while (page < s.Page) ChartPageBreak(page);
            int y = s.Top;
            for (int i = 0; i < a_.NbLevels; ++i)
                if (o_.Levels[static_cast<size_t>(i)]) y = PrintLevelChart(i, s.First, s.Last, y);
            PrintDateAxis(s.First, s.Last, y);
        }
        if (plan_.Stats) {
            while (page < plan_.StatsPage) ChartPageBreak(page);
            PrintChartStatistics(first, last, plan_.StatsTop);
        }
        while (page < plan_.AuditPage) ChartPageBreak(page);
        PrintAudit(first, last, plan_.AuditTop);
        PrintChartsFooter(page + 1);
    }

private:
    void ChartPageBreak(int& page) {
        PrintChartsFooter(page + 1);
        ++page;
        canvas_.NewPage();
        p_.setFont(ArialFont(8));
    }

    void PrintChartsTitle() {
        const QString title = tr("  %1 QC charts  ").arg(ToQString(a_.Name));
        p_.setFont(ArialFont(20));
        QFontMetrics fm(p_.font(), p_.device());
        const int cx = fm.horizontalAdvance(title), cy = fm.height();
        const int left = (W_ - cx) / 2, top = cy / 2, bottom = top + (3 * cy) / 2;
        p_.setPen(QPen(Qt::black, 1));
        p_.setBrush(Silver);
        // The box's outline lies one unit outside the text rectangle, as the table printer's title.
        p_.drawRect(left - 1, top - 1, cx + 1, bottom - top + 1);
        p_.drawText(QRect(left, top, cx, bottom - top), Qt::AlignCenter | Qt::TextSingleLine, title);
        p_.setBrush(Qt::white);
    }

    int X(int k) const { return PrintedPointX(plan_, k); }

    enum TLineStyle { lsSolid, lsDotted, lsDashed };
    // Without colour the warning lines are dotted and the action lines dashed, so that the two can
    // be told apart on paper and in the preview.
    QPen LinePen(const QColor& colour, TLineStyle style = lsSolid) const {
        QPen pen(colour, unit_, Qt::SolidLine, Qt::FlatCap);
        if (style == lsDotted) pen.setDashPattern({2, 3});
        if (style == lsDashed) pen.setDashPattern({9, 4});
        return pen;
    }

    void HLine(int y, const QPen& pen) {
        p_.setPen(pen);
        p_.drawLine(plan_.ChartLeft, y, plan_.ChartRight, y);
    }

    int PrintLevelChart(int level, int i, int end, int y) {
        const size_t lv = static_cast<size_t>(level);
        const bool colour = o_.Colour;
        const TSerum& serum = ListSerum.FindMaterial(a_.MaterialId[lv]);
        y += h_;
        p_.setFont(ArialFont(8, true));
        TextOut(p_, 0, y, ToQString(serum.Name + " (" + serum.Lot + ")"), alLeft, Silver);
        p_.setFont(ArialFont(8));
        y += 2 * h_;

        const int top = y, bottom = top + plan_.ChartHeight;
        const LevelStats& lim = a_.Limits[lv];
        TChartScale s;
        s.Low = lim.RangeLow;
        s.High = lim.RangeHigh;
        s.Mean = lim.Mean;
        s.Top = top;
        s.Bottom = bottom;
        const long double span = s.High - s.Low;
        s.Scale = (span < 1e-5L || !std::isfinite(static_cast<double>(span))) ? 2.0L : (bottom - top) / span;

        if (a_.LimitMode[lv] == lmLocked) {
            const int lockFirst = a_.LockFirst[lv], lockLast = a_.LockLast[lv];
            const int x1 = lockFirst > i ? X(lockFirst - i) : plan_.ChartLeft;
            const int x2 = lockLast < end ? X(lockLast - i) : X(end - i);
            if (x1 < x2) p_.fillRect(QRect(x1, top, x2 - x1, bottom - top), PaleCyan);
        }
        const QColor grid = colour ? Silver : QColor(Qt::black);
        p_.setPen(LinePen(grid));
        for (int k = 0; k <= 30; ++k) p_.drawLine(X(k), top, X(k), bottom);
        // Without colour a solid frame line would hide a dashed action line lying on the chart's edge.
        const int upperAction = s.ValueToY(lim.Mean + lim.ActionDev);
        const int lowerAction = s.ValueToY(lim.Mean - lim.ActionDev);
        if (colour || upperAction - unit_ > top) HLine(top, LinePen(grid));
        if (colour || lowerAction < bottom - unit_) HLine(bottom, LinePen(grid));
        HLine(s.ValueToY(lim.Mean), LinePen(colour ? Lime : QColor(Qt::black)));
        const QPen warn = colour ? LinePen(Yellow) : LinePen(Qt::black, lsDotted);
        HLine(s.ValueToY(lim.Mean + lim.WarnDev), warn);
        HLine(s.ValueToY(lim.Mean - lim.WarnDev), warn);
        const QPen action = colour ? LinePen(Red) : LinePen(Qt::black, lsDashed);
        HLine(upperAction, action);
        HLine(lowerAction, action);

        const LevelStats& all = a_.AllStats[lv];
        if (all.N + all.NDiscarded > 0 || a_.LimitMode[lv] == lmFixed) {
            for (const TAxisLabel& l : ValueAxisLabels(s.Low, s.High, lim.Mean, a_.Decimals)) {
                const int ty = s.ValueToY(l.Value);
                p_.setPen(LinePen(Qt::black));
                p_.drawLine(plan_.ChartLeft, ty, plan_.ChartLeft - avg_, ty);
                TextOut(p_, plan_.ChartLeft - 2 * avg_, ty - h_ / 2, ToQString(l.Text), alRight, Qt::white);
            }
        }

        const int from = std::max(i, 0), to = std::min(end, a_.Count() - 1);
        auto state = [&](int k) { return a_.Points[static_cast<size_t>(k)].Levels[lv].State; };
        auto pos = [&](int k) {
            return QPoint(X(k - i), s.ValueToY(a_.Points[static_cast<size_t>(k)].Levels[lv].Value));
        };
        p_.setPen(LinePen(colour ? Navy : QColor(Qt::black)));
        bool started = false;
        QPoint prev;
        for (int k = from; k <= to; ++k) {
            if (state(k) == psDiscarded || state(k) == psEmpty) continue;
            const QPoint pt = pos(k);
            if (started) p_.drawLine(prev, pt);
            prev = pt;
            started = true;
        }
        for (int k = from; k <= to; ++k) {
            if (state(k) == psEmpty) continue;
            const QPoint at = pos(k);
            if (state(k) == psDiscarded) {
                // A cross, the program's mark of a discarded value: a disc of any shade could be read
                // as a judged value beyond a limit.
                const int r = avg_;
                p_.setPen(QPen(colour ? Red : QColor(Qt::black), 2 * unit_, Qt::SolidLine, Qt::FlatCap));
                p_.drawLine(at + QPoint(-r, -r), at + QPoint(r, r));
                p_.drawLine(at + QPoint(-r, r), at + QPoint(r, -r));
                continue;
            }
            const QColor c = colour ? Navy : QColor(Qt::black);
            p_.setPen(QPen(c, 1));
            p_.setBrush(c);
            p_.drawEllipse(at, avg_, avg_);
        }
        p_.setBrush(Qt::white);
        // The rule outcome at each flagged point, above it: what the auditor asks of every failure.
        p_.setFont(ArialFont(6));
        const QFontMetrics small(p_.font(), p_.device());
        for (int k = from; k <= to; ++k) {
            if (state(k) == psEmpty || state(k) == psDiscarded) continue;
            const TPointJudgement j = JudgePoint(a_, k, own_);
            const TPointOutcome out = j.Level[lv];
            if (out != ocWarning && out != ocReject) continue;
            std::string names = PointRuleNames(j, static_cast<int>(lv));
            if (names.empty()) names = out == ocReject ? "reject" : "warning";
            const QPoint at = pos(k);
            const QString text = QString::fromLatin1(names.c_str());
            const int w = small.horizontalAdvance(text);
            const QRect box(at.x() - w / 2, at.y() - avg_ - small.height(), w, small.height());
            p_.setPen(colour ? (out == ocReject ? Red : QColor(128, 128, 0)) : QColor(Qt::black));
            p_.drawText(box, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
        }
        p_.setFont(ArialFont(8));
        p_.setPen(QPen(Qt::black, 1));
        return bottom;
    }

    void PrintDateAxis(int first, int last, int y) {
        y += h_;
        const int from = std::max(first, 0), to = std::min(last, a_.Count() - 1);
        for (int k = from; k <= to; ++k) {
            const TDateParts d = DecodeDate(a_.Points[static_cast<size_t>(k)].DateTime);
            TextOut(p_, X(k - first), y, QString::number(d.Day), alCentre, Qt::white);
        }
        const QFontMetrics fm(p_.font(), p_.device());
        for (const TDateAxisLabel& l : DateAxisLabels(
                 a_, from, to, [this, first](int k) { return X(k - first); },
                 [&fm](const QString& t) { return fm.horizontalAdvance(t); }))
            TextOut(p_, l.Left + l.Width / 2, y + l.Row * h_, l.Text, alCentre, Qt::white);
        // A band under the dates where the points were reviewed and signed.
        const int half = (X(1) - X(0)) / 2, bandTop = y + 3 * h_ + h_ / 4;
        for (int k = from; k <= to;) {
            if (!Signed(a_.Points[static_cast<size_t>(k)].DateTime)) {
                ++k;
                continue;
            }
            int end = k;
            while (end + 1 <= to && Signed(a_.Points[static_cast<size_t>(end + 1)].DateTime)) ++end;
            const int x1 = X(k - first) - half, x2 = X(end - first) + half;
            p_.fillRect(QRect(x1, bandTop, x2 - x1, h_ / 2), o_.Colour ? Lime : QColor(128, 128, 128));
            k = end + 1;
        }
    }

    bool Signed(TDateTime dt) {
        if (!reviewsRead_) {
            for (const TReview& r : Operations().Reviews(a_.Name))
                if (!r.Reopened()) reviews_.push_back(r);
            reviewsRead_ = true;
        }
        return std::any_of(reviews_.begin(), reviews_.end(), [dt](const TReview& r) { return r.Covers(dt); });
    }

    // The limits in force of each printed level, the legend of the symbols and the review sign-off.
    void PrintAudit(int first, int last, int y) {
        const int hs = H_ / 50;
        static const double share[] = {0.15, 0.31, 0.11, 0.11, 0.16, 0.16};
        std::vector<std::array<std::string, 6>> rows;
        rows.push_back({FromQ(tr("Limits in force")), FromQ(tr("Limit mode and reference period")),
                        FillQ(tr("Target (%1)"), a_.Unit), FromQ(tr("SD")), FromQ(tr("Warning limits")),
                        FromQ(tr("Action limits"))});
        const int dec = a_.Decimals + 1;
        for (int i = 0; i < a_.NbLevels; ++i) {
            const size_t l = static_cast<size_t>(i);
            if (!o_.Levels[l]) continue;
            const LevelStats& s = a_.Limits[l];
            const bool ok = s.State != 6;
            auto range = [&](long double d) {
                return ok ? FillQ(tr("%1 to %2"), FormatFixed(s.Mean - d, 8, dec),
                                  FormatFixed(s.Mean + d, 8, dec))
                          : std::string();
            };
            rows.push_back({ListSerum.FindMaterial(a_.MaterialId[l]).Name, ReferencePeriodText(a_, i),
                            ok ? FormatFixed(s.Mean, 8, dec) : std::string(), LevelSdText(a_, i),
                            range(s.WarnDev), range(s.ActionDev)});
        }
        p_.setFont(ArialFont(8));
        p_.setPen(QPen(Qt::black, 1));
        for (size_t r = 0; r < rows.size(); ++r) {
            int left = 0;
            for (int k = 0; k < 6; ++k) {
                const int w = static_cast<int>(W_ * share[k]);
                const int top = y + static_cast<int>(r) * hs;
                p_.setBrush(r == 0 || k == 0 ? Silver : QColor(Qt::white));
                p_.drawRect(left, top, w - 1, hs - 1);
                p_.drawText(QRect(left, top, w, hs), Qt::AlignCenter | Qt::TextSingleLine,
                            ToQString(rows[r][static_cast<size_t>(k)]));
                left += w;
            }
        }
        p_.setBrush(Qt::white);
        y += static_cast<int>(rows.size()) * hs + h_;
        y += PrintLegend(y) * h_ + h_;
        std::string review = ReviewedByText(
            &a_, a_.Points.empty() ? 0 : a_.Points[static_cast<size_t>(std::max(first, 0))].DateTime,
            a_.Points.empty() ? 0
                              : a_.Points[static_cast<size_t>(std::clamp(last, 0, a_.Count() - 1))].DateTime);
        if (a_.Points.empty() || first > last) review.clear();
        if (review.empty())
            review = FromQ(tr("Reviewed by ______________________________    on ____________________"));
        p_.setFont(ArialFont(9));
        TextOut(p_, 0, y + h_, ToQString(review), alLeft, Qt::white);
        p_.setFont(ArialFont(8));
    }

    // Each symbol drawn as on the charts, then its meaning; an item that would pass the page's right
    // edge starts a further line. Returns the number of lines.
    int PrintLegend(int y) {
        const bool colour = o_.Colour;
        const int sym = 4 * avg_, indent = 8 * avg_;
        const QFontMetrics fm(p_.font(), p_.device());
        int mid = y + h_ / 2, lines = 1;
        int x = 0;
        // Before an item's symbol: a new line when the symbol and its text do not fit.
        auto room = [&](const QString& text) {
            if (x > indent && x + sym + avg_ + fm.horizontalAdvance(text) > W_) {
                y += h_;
                mid += h_;
                x = indent;
                ++lines;
            }
        };
        auto label = [&](const char* text) {
            x += sym + avg_;
            TextOut(p_, x, y, tr(text), alLeft, Qt::white);
            x += fm.horizontalAdvance(tr(text)) + 3 * avg_;
        };
        TextOut(p_, x, y, tr("Legend:"), alLeft, Qt::white);
        x += indent;
        const QColor ink = colour ? Navy : QColor(Qt::black);
        room(tr("value"));
        p_.setPen(QPen(ink, 1));
        p_.setBrush(ink);
        p_.drawEllipse(QPoint(x + sym / 2, mid), avg_, avg_);
        p_.setBrush(Qt::white);
        label(QT_TR_NOOP("value"));
        room(tr("discarded"));
        p_.setPen(QPen(colour ? Red : QColor(Qt::black), 2 * unit_));
        p_.drawLine(x + sym / 2 - avg_, mid - avg_, x + sym / 2 + avg_, mid + avg_);
        p_.drawLine(x + sym / 2 - avg_, mid + avg_, x + sym / 2 + avg_, mid - avg_);
        label(QT_TR_NOOP("discarded"));
        auto line = [&](const QPen& pen, const char* text) {
            room(tr(text));
            p_.setPen(pen);
            p_.drawLine(x, mid, x + sym, mid);
            label(text);
        };
        line(LinePen(colour ? Lime : QColor(Qt::black)), QT_TR_NOOP("mean"));
        line(colour ? LinePen(Yellow) : LinePen(Qt::black, lsDotted), QT_TR_NOOP("warning limits"));
        line(colour ? LinePen(Red) : LinePen(Qt::black, lsDashed), QT_TR_NOOP("action limits"));
        room(tr("locked interval"));
        p_.fillRect(QRect(x, y, sym, h_), PaleCyan);
        label(QT_TR_NOOP("locked interval"));
        room(tr("reviewed and signed"));
        p_.fillRect(QRect(x, mid - h_ / 4, sym, h_ / 2), colour ? Lime : QColor(128, 128, 128));
        label(QT_TR_NOOP("reviewed and signed"));
        if (x > indent && x + fm.horizontalAdvance(tr("1:3s  rule broken")) > W_) {
            y += h_;
            x = indent;
            ++lines;
        }
        TextOut(p_, x, y, tr("1:3s  rule broken"), alLeft, Qt::white);
        return lines;
    }

    void PrintChartStatistics(int first, int last, int y) {
        const int hs = H_ / 50, w = W_ / 8;
        std::vector<std::array<std::string, 4>> rows;
        rows.push_back({FromQ(tr("Statistics")), FillQ(tr("m (%1)"), a_.Unit), FromQ(tr("C.V. (%)")), "N"});
        for (int i = 0; i < a_.NbLevels; ++i) {
            if (!o_.Levels[static_cast<size_t>(i)]) continue;
            LevelStats st;
            a_.ComputeStats(i, first, last, st);
            rows.push_back({ListSerum.FindMaterial(a_.MaterialId[static_cast<size_t>(i)]).Name,
                            st.N == 0 ? std::string() : FormatFixed(st.Mean, 8, a_.Decimals + 1),
                            st.State == 6 ? std::string() : FormatFixed(st.CV, 8, 1), std::to_string(st.N)});
        }
        p_.setPen(QPen(Qt::black, 1));
        for (size_t r = 0; r < rows.size(); ++r)
            for (int k = 0; k < 4; ++k) {
                const int left = w * (k + 2), top = y + static_cast<int>(r) * hs;
                p_.setBrush(r == 0 || k == 0 ? Silver : QColor(Qt::white));
                // The printer's rectangle: outlined up to one unit short of its right and bottom.
                p_.drawRect(left, top, w - 1, hs - 1);
                p_.drawText(QRect(left, top, w, hs), Qt::AlignCenter | Qt::TextSingleLine,
                            ToQString(rows[r][static_cast<size_t>(k)]));
            }
        p_.setBrush(Qt::white);
    }

    void PrintChartsFooter(int n) {
        p_.setFont(ArialFont(8));
        const QString text = tr("- Page %1 - %2 QC - Printed on %3 -")
                                 .arg(QString::number(n), ToQString(a_.Name), DateText(Today()));
        QFontMetrics fm(p_.font(), p_.device());
        TextOut(p_, (W_ - fm.horizontalAdvance(text)) / 2, H_ - fm.height() - 2, text, alLeft, Qt::white);
        PrintFooterRule(canvas_, H_ - fm.height() - 2);
    }

    TPrintCanvas& canvas_;
    QPainter& p_;
    const TAnalyte& a_;
    const TChartPrintOptions& o_;
    const TQcRuleSet own_; // the analyte's own rule set; empty for the multirules
    const int unit_;
    int h_ = 0, avg_ = 0, W_ = 0, H_ = 0;
    TChartPlan plan_;
    bool reviewsRead_ = false;
    std::vector<TReview> reviews_;
};

} // namespace

int PrintedPointX(const TChartPlan& plan, int k) {
    return plan.ChartLeft + (k * (plan.ChartRight - plan.ChartLeft)) / 30;
}

TChartPlan PlanChartPages(const TChartMetrics& m, int levels, int nbLevels, int first, int last, bool stats) {
    TChartPlan plan;
    const int h = m.CharHeight;
    plan.ChartLeft = 10 * m.AvgCharWidth;
    plan.ChartRight = (m.W * 96) / 100;
    plan.ChartHeight = plan.ChartRight / 5;
    // Each level: a blank line, the heading and its line, the chart; then the three lines of dates
    // after a blank line, and two lines before the next stretch.
    const int stretchHeight = levels * (3 * h + plan.ChartHeight) + 4 * h + 2 * h;
    int y = (5 * m.TitleHeight) / 2;
    int page = 0;
    int i = first;
    do {
        const int y0 = y;
        const int end = std::min(i + 30, last);
        plan.Stretches.push_back({i, end, page, y});
        y += stretchHeight;
        i = end + 1;
        if (i <= last && m.H - y < (y - y0) + 2 * h) {
            ++page;
            y = 0;
        }
    } while (i <= last);
    plan.Stats = stats;
    if (stats) {
        if (m.H - y < (nbLevels + 1) * (m.H / 50) + 2 * h) {
            ++page;
            y = 0;
        }
        plan.StatsPage = page;
        plan.StatsTop = y;
        y += (nbLevels + 1) * (m.H / 50) + 2 * h;
    }
    // The limits in force, the legend and the sign-off line.
    const int audit = (levels + 1) * (m.H / 50) + 7 * h;
    if (m.H - y < audit + 2 * h) {
        ++page;
        y = 0;
    }
    plan.AuditPage = page;
    plan.AuditTop = y;
    plan.Pages = page + 1;
    return plan;
}

TChartMetrics ChartMetrics(TPrintCanvas& canvas) {
    const TTableMetrics t = TableMetrics(canvas);
    TChartMetrics m;
    m.W = t.W;
    m.H = t.H;
    m.CharHeight = t.CharHeight;
    m.AvgCharWidth = t.AvgCharWidth;
    m.TitleHeight = t.Extent("QC charts", 20).cy;
    return m;
}

void PrintCharts(TPrintCanvas& canvas, const TAnalyte& a, int first, int last, const TChartPrintOptions& o) {
    QPainter& p = canvas.Painter();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    TChartPrinter(canvas, a, o).Run(first, last);
    p.restore();
}

// ---------------------------------------------------------------- window

TWinPrnCharts::TWinPrnCharts(QWidget* parent) : QDialog(parent) {
    setObjectName("WinPrnCharts");
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFixedSize(300, 270);

    auto* lbl1 = new QLabel(tr("&First date"), Panel1);
    lbl1->setGeometry(30, 18, 100, 20);
    DatePicker1 = new TDatePicker(Panel1);
    DatePicker1->setObjectName("DatePicker1");
    DatePicker1->setGeometry(140, 16, 130, 24);
    lbl1->setBuddy(DatePicker1);
    auto* lbl2 = new QLabel(tr("&Last date"), Panel1);
    lbl2->setGeometry(30, 52, 100, 20);
    DatePicker2 = new TDatePicker(Panel1);
    DatePicker2->setObjectName("DatePicker2");
    DatePicker2->setGeometry(140, 50, 130, 24);
    lbl2->setBuddy(DatePicker2);
    for (QDateEdit* d : {DatePicker1, DatePicker2}) {
        d->setCalendarPopup(true);
        connect(d, &QDateEdit::dateChanged, this, &TWinPrnCharts::CountNbPoints);
    }
    auto* lbl3 = new QLabel(tr("Points to print"), Panel1);
    lbl3->setGeometry(30, 88, 100, 20);
    PanelNbPoints = new QLabel("0", Panel1);
    PanelNbPoints->setObjectName("PanelNbPoints");
    PanelNbPoints->setFrameShape(QFrame::Panel);
    PanelNbPoints->setFrameShadow(QFrame::Sunken);
    PanelNbPoints->setAlignment(Qt::AlignCenter);
    PanelNbPoints->setGeometry(140, 86, 70, 24);
    auto* lbl4 = new QLabel(tr("QC levels to print"), Panel1);
    lbl4->setGeometry(30, 118, 200, 20);
    FormCreate();
    CBStat = new QCheckBox(tr("Print &statistics"), Panel1);
    CBStat->setObjectName("CBStat");
    CBStat->setGeometry(30, 140 + 24 * 3 + 6, 240, 22);
    CBColor = new QCheckBox(tr("&Color printer"), Panel1);
    CBColor->setObjectName("CBColor");
    CBColor->setGeometry(30, 140 + 24 * 4 + 6, 240, 22);
    connect(CBColor, &QCheckBox::clicked, this, &TWinPrnCharts::CBColorClick);

    BtPrint = new QPushButton(tr("&Print"), this);
    BtPrint->setObjectName("BtPrint");
    BtPrint->setDefault(true);
    BtCancel = new QPushButton(tr("Cancel"), this);
    BtCancel->setObjectName("BtCancel");
    connect(BtPrint, &QPushButton::clicked, this, &TWinPrnCharts::BtPrintClick);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtPrint);
    buttons->addWidget(BtCancel);
    layout->addLayout(buttons);

    QWidget* order[] = {DatePicker1, DatePicker2, CBLevels[0], CBLevels[1], CBLevels[2],
                        CBStat,      CBColor,     BtPrint,     BtCancel};
    for (size_t k = 0; k + 1 < std::size(order); ++k) setTabOrder(order[k], order[k + 1]);
}

void TWinPrnCharts::FormCreate() {
    for (int i = 0; i < MaxLevels; ++i) {
        auto* cb = new QCheckBox(Panel1);
        cb->setObjectName(QStringLiteral("CBLevel%1").arg(i + 1));
        cb->setGeometry(30, 140 + 24 * i, 240, 22);
        CBLevels[static_cast<size_t>(i)] = cb;
    }
}

bool TWinPrnCharts::Execute(TAnalyte& analyte) {
    if (analyte.Count() == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        return false;
    }
    analyte_ = &analyte;
    printed_ = false;
    setWindowTitle(tr("Print QC charts for %1").arg(ToQString(analyte.Name)));
    FitWindowTitle(this);
    FormActivate();
    exec();
    analyte_ = nullptr;
    return printed_;
}

void TWinPrnCharts::FormActivate() {
    if (!analyte_ || analyte_->Count() == 0) return;
    const TAnalyte& a = *analyte_;
    for (QDateEdit* d : {DatePicker1, DatePicker2}) d->setDisplayFormat(DatePickerFormat());
    DatePicker2->setDate(QDateOf(a.Points.back().DateTime));
    DatePicker1->setDate(QDateOf(a.Points.front().DateTime));
    DatePicker1->setFocus();
    CountNbPoints();
    CBColor->setChecked(Settings.ColourPrint);
    CBStat->setChecked(true);
    for (int i = 0; i < MaxLevels; ++i) {
        QCheckBox* cb = CBLevels[static_cast<size_t>(i)];
        const bool used = i < a.NbLevels;
        cb->setVisible(used);
        if (!used) continue;
        // A material name is shown as typed: an ampersand is no mnemonic here.
        cb->setText(ToQString(ListSerum.FindMaterial(a.MaterialId[static_cast<size_t>(i)]).Name)
                        .replace('&', QStringLiteral("&&")));
        cb->setChecked(true);
        cb->setEnabled(a.NbLevels > 1);
    }
}

void TWinPrnCharts::CountNbPoints() {
    int count = 0;
    if (analyte_)
        count = PointInterval(*analyte_, DayOf(DatePicker1->date()), DayOf(DatePicker2->date())).Count;
    PanelNbPoints->setText(QString::number(count));
}

void TWinPrnCharts::CBColorClick() {
    const bool colour = CBColor->isChecked();
    if (!ShowOutcome(Operations().ChangeSettings([colour](TSettings& s) { s.ColourPrint = colour; })))
        CBColor->setChecked(Settings.ColourPrint);
}

void TWinPrnCharts::BtPrintClick() {
    // A date being typed is taken before counting.
    DatePicker2->interpretText();
    DatePicker1->interpretText();
    CountNbPoints();
    TChartPrintOptions o;
    int checked = 0;
    for (int i = 0; i < MaxLevels; ++i) {
        const size_t k = static_cast<size_t>(i);
        o.Levels[k] = analyte_ && i < analyte_->NbLevels && CBLevels[k]->isChecked();
        checked += o.Levels[k] ? 1 : 0;
    }
    if (!analyte_ || analyte_->Count() == 0 || checked == 0) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("Nothing to print")));
        accept();
        return;
    }
    const TAnalyte& a = *analyte_;
    const TPointInterval iv = PointInterval(a, DayOf(DatePicker1->date()), DayOf(DatePicker2->date()));
    o.Stats = CBStat->isChecked();
    o.Colour = CBColor->isChecked();
    TPrintJobSpec job;
    job.JobTitle = tr("Printing QC charts");
    job.FileName = TPrintJob::SafeFileName(tr("%1 QC charts").arg(ToQString(a.Name)));
    job.Orientation = QPageLayout::Portrait;
    printed_ = TPrintJob::Print(this, job,
                                [&](TPrintCanvas& canvas) { PrintCharts(canvas, a, iv.First, iv.Last, o); });
    // A cancelled preview or a failed file keeps the window open for another try.
    if (printed_) accept();
}
