// Levey-Jennings control charts of one analyte, drawn on any QPainter (screen, image or printer).
#include "UDrawChart.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

#include "UMessages.h"
#include "USharedImages.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UDrawChart)
};
// The limit modes and the months of the date axis, in the user's language.
const char* const ModeNames[] = {QT_TRANSLATE_NOOP("UDrawChart", "Mobile limits"),
                                 QT_TRANSLATE_NOOP("UDrawChart", "Locked limits"),
                                 QT_TRANSLATE_NOOP("UDrawChart", "Fixed limits")};
const char* const MonthNames[] = {
    QT_TRANSLATE_NOOP("UDrawChart", "Jan"), QT_TRANSLATE_NOOP("UDrawChart", "Feb"),
    QT_TRANSLATE_NOOP("UDrawChart", "Mar"), QT_TRANSLATE_NOOP("UDrawChart", "Apr"),
    QT_TRANSLATE_NOOP("UDrawChart", "May"), QT_TRANSLATE_NOOP("UDrawChart", "Jun"),
    QT_TRANSLATE_NOOP("UDrawChart", "Jul"), QT_TRANSLATE_NOOP("UDrawChart", "Aug"),
    QT_TRANSLATE_NOOP("UDrawChart", "Sep"), QT_TRANSLATE_NOOP("UDrawChart", "Oct"),
    QT_TRANSLATE_NOOP("UDrawChart", "Nov"), QT_TRANSLATE_NOOP("UDrawChart", "Dec")};
} // namespace

QString MonthAbbreviation(int month) {
    return TUnitTexts::tr(MonthNames[std::clamp(month, 1, 12) - 1]);
}

QString LimitModeText(int mode) {
    return TUnitTexts::tr(ModeNames[std::clamp(mode, 0, 2)]);
}

namespace {
using namespace chartcolour;

// Left by the last DrawLevelChart for the legend and the date axis.
int chartTop = 0;
int charHeight = 13;
int charWidth = 6;

enum TAlign { alLeft, alCentre, alRight };

// Writes text with its top at y and its left end, centre or right end at x, on an opaque background
// of the given colour, as the chart's texts are.
void TextOut(QPainter& p, int x, int y, const QString& text, TAlign align, const QColor& fg,
             const QColor& bg) {
    QFontMetrics fm(p.font());
    int w = fm.horizontalAdvance(text);
    int left = align == alLeft ? x : align == alCentre ? x - w / 2 : x - w;
    QRect r(left, y, w, fm.height());
    p.fillRect(r, bg);
    p.setPen(fg);
    p.drawText(left, y + fm.ascent(), text);
}

// Writes a legend line at (x, y) within width pixels: slightly smaller when that is enough, else
// broken at spaces onto further lines (each made smaller if it still does not fit). Returns the
// number of lines written, each lineHeight apart.
int FittedTextOut(QPainter& p, int x, int y, const QString& text, int width, int lineHeight, const QColor& fg,
                  const QColor& bg) {
    const QFont base = p.font();
    auto widthIn = [](const QFont& f, const QString& t) { return QFontMetrics(f).horizontalAdvance(t); };
    // The font scaled down until t fits, or base when it fits already.
    auto fitted = [&](const QString& t) {
        QFont f = base;
        const qreal full = base.pointSizeF() > 0 ? base.pointSizeF() : base.pixelSize();
        for (int step = 1; widthIn(f, t) > width && step < 40; ++step) {
            const qreal size = full * (1.0 - 0.025 * step);
            if (base.pointSizeF() > 0)
                f.setPointSizeF(size);
            else
                f.setPixelSize(std::max(1, qRound(size)));
        }
        return f;
    };
    auto write = [&](int line, const QString& t, const QFont& f) {
        p.setFont(f);
        TextOut(p, x, y + line * lineHeight, t, alLeft, fg, bg);
        p.setFont(base);
    };
    if (widthIn(base, text) <= width) {
        write(0, text, base);
        return 1;
    }
    // Down to 85 % of the size a line stays readable; beyond that it is broken instead.
    QFont smaller = base;
    if (base.pointSizeF() > 0)
        smaller.setPointSizeF(base.pointSizeF() * 0.85);
    else
        smaller.setPixelSize(std::max(1, qRound(base.pixelSize() * 0.85)));
    if (widthIn(smaller, text) <= width) {
        write(0, text, fitted(text));
        return 1;
    }
    QStringList lines;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QString joined = lines.isEmpty() ? word : lines.back() + QLatin1Char(' ') + word;
        if (!lines.isEmpty() && widthIn(base, joined) <= width)
            lines.back() = joined;
        else
            lines << word;
    }
    for (int i = 0; i < lines.size(); ++i) write(i, lines[i], fitted(lines[i]));
    return static_cast<int>(lines.size());
}

void Disc(QPainter& p, int x, int y, int radius, const QColor& c) {
    p.setPen(c);
    p.setBrush(c);
    p.drawEllipse(QPoint(x, y), radius, radius);
}

void HLine(QPainter& p, int y, const QColor& c) {
    p.setPen(c);
    p.drawLine(ChartLeft, y, ChartRight, y);
}

long double TruncDiv(long double a, long double b) {
    return static_cast<long double>(static_cast<int64_t>(a / b));
}
} // namespace

int TChartScale::ValueToY(long double v) const {
    if (Low < v && v < High)
        return Bottom - static_cast<int>(std::nearbyint(static_cast<double>((v - Low) * Scale)));
    return v > Mean ? Top : Bottom;
}

TChartScale MakeChartScale(const LevelStats& limits, int top) {
    TChartScale s;
    s.Low = limits.RangeLow;
    s.High = limits.RangeHigh;
    s.Mean = limits.Mean;
    s.Top = top;
    s.Bottom = top + ChartHeight;
    long double span = s.High - s.Low;
    s.Scale = (span < 1e-5L || !std::isfinite(static_cast<double>(span))) ? 2.0L : ChartHeight / span;
    return s;
}

std::vector<TAxisLabel> ValueAxisLabels(long double low, long double high, long double target,
                                        int targetDecimals) {
    std::vector<TAxisLabel> out;
    long double span = high - low;
    if (!std::isfinite(static_cast<double>(span)) || !std::isfinite(static_cast<double>(low))) return out;
    if (span < 1e-5L) {
        // A degenerate range has no step to count by: one label at the target.
        out.push_back({target, FormatFixed(target, 6, std::max(0, targetDecimals))});
        return out;
    }
    long double p = 10, m;
    if (span > 1) {
        while (p < span) p *= 10;
        m = p / 10;
    } else {
        do p /= 10;
        while (p > span);
        m = p;
    }
    long double r = span / m;
    long double step = r < 1.2L ? 0.2L * m : r < 2.4L ? 0.4L * m : r < 3 ? 0.5L * m : r < 6 ? m : 2 * m;
    int d = 0;
    if (step < 1) {
        // A small tolerance keeps a step computed by the same divisions from counting one too many.
        for (p = 1; p > step * (1 + 1e-9L); p /= 10) ++d;
    }
    long double base = low >= 0 ? TruncDiv(low, step) + 1 : TruncDiv(low, step);
    // Each label is computed from its index so rounding does not accumulate along the axis.
    for (int k = 0;; ++k) {
        long double t = (base + k) * step;
        if (k > 0 && t > high + step * 1e-9L) break;
        if (std::fabs(static_cast<double>(t)) < static_cast<double>(step) * 1e-9) t = 0;
        out.push_back({t, FormatFixed(t, 6, d)});
    }
    return out;
}

bool DrawsTopFrame(const TChartScale& s, const LevelStats& limits) {
    return s.ValueToY(limits.Mean + limits.ActionDev) - 1 > s.Top;
}

bool DrawsBottomFrame(const TChartScale& s, const LevelStats& limits) {
    return s.ValueToY(limits.Mean - limits.ActionDev) < s.Bottom - 1;
}

void DrawLevelChart(QPainter& canvas, const TAnalyte& a, int selected, int mode, int level, int first,
                    int last, int top) {
    QFontMetrics fm(canvas.font());
    charHeight = fm.height();
    charWidth = fm.averageCharWidth();
    chartTop = top;
    const LevelStats& lim = a.Limits[static_cast<size_t>(level)];
    TChartScale s = MakeChartScale(lim, top);
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);

    if (a.LimitMode[static_cast<size_t>(level)] == lmLocked) {
        int x1 =
            std::max(ChartLeft, ChartLeft + (a.LockFirst[static_cast<size_t>(level)] - first) * PointStep);
        int x2 =
            std::min(ChartRight, ChartLeft + (a.LockLast[static_cast<size_t>(level)] - first) * PointStep);
        if (x1 < x2)
            canvas.fillRect(QRect(x1, top, x2 - x1, ChartHeight), PaleCyan); // right and bottom ends excluded
    }
    canvas.setPen(Silver);
    for (int k = 0; k <= 30; ++k)
        canvas.drawLine(ChartLeft + k * PointStep, top, ChartLeft + k * PointStep, s.Bottom);

    HLine(canvas, s.ValueToY(lim.Mean), Lime);
    HLine(canvas, s.ValueToY(lim.Mean + lim.WarnDev), Yellow);
    HLine(canvas, s.ValueToY(lim.Mean - lim.WarnDev), Yellow);
    HLine(canvas, s.ValueToY(lim.Mean + lim.ActionDev), Red);
    HLine(canvas, s.ValueToY(lim.Mean - lim.ActionDev), Red);
    if (DrawsTopFrame(s, lim)) HLine(canvas, top, Silver);
    if (DrawsBottomFrame(s, lim)) HLine(canvas, s.Bottom, Silver);

    const LevelStats& all = a.AllStats[static_cast<size_t>(level)];
    if (all.N + all.NDiscarded > 0 || a.LimitMode[static_cast<size_t>(level)] == lmFixed) {
        for (const TAxisLabel& l : ValueAxisLabels(s.Low, s.High, lim.Mean, a.Decimals)) {
            int y = s.ValueToY(l.Value);
            canvas.setPen(Qt::black);
            canvas.drawLine(ChartLeft, y, ChartLeft - PointStep / 3, y);
            TextOut(canvas, ChartLeft - 5 - charWidth, y - charHeight / 2, ToQ(l.Text), alRight, Qt::black,
                    Qt::white);
        }
    }

    auto drawn = [&](int i) {
        PointState st = a.Points[static_cast<size_t>(i)].Levels[static_cast<size_t>(level)].State;
        return st != psDiscarded && st != psEmpty;
    };
    auto posOf = [&](int i) {
        return QPoint(ChartLeft + (i - first) * PointStep,
                      s.ValueToY(a.Points[static_cast<size_t>(i)].Levels[static_cast<size_t>(level)].Value));
    };
    last = std::min(last, a.Count() - 1);
    canvas.setPen(mode == 0 ? Navy : Silver);
    bool started = false;
    QPoint prev;
    for (int i = std::max(first, 0); i <= last; ++i) {
        if (!drawn(i)) continue;
        QPoint pt = posOf(i);
        if (started) canvas.drawLine(prev, pt);
        prev = pt;
        started = true;
    }
    for (int i = std::max(first, 0); i <= last; ++i) {
        PointState st = a.Points[static_cast<size_t>(i)].Levels[static_cast<size_t>(level)].State;
        if (st == psEmpty) continue;
        QColor c = mode != 0 ? Silver : st == psDiscarded ? Blue : Navy;
        QPoint pt = posOf(i);
        Disc(canvas, pt.x(), pt.y(), PointRadius, c);
    }
    if (selected >= first && selected <= last && selected >= 0 &&
        a.Points[static_cast<size_t>(selected)].Levels[static_cast<size_t>(level)].State != psEmpty) {
        QPoint pt = posOf(selected);
        Disc(canvas, pt.x(), pt.y(), SelectedRadius, Red);
    }
    canvas.restore();
}

void DrawLevelLegend(QPainter& canvas, const TAnalyte& a, int level) {
    const int x = ChartRight + 15;
    int y = chartTop + 20;
    const int h = charHeight;
    const LevelStats& all = a.AllStats[static_cast<size_t>(level)];
    // The legend has the room right of the charts up to the canvas's edge; wide texts (a long mean
    // and unit) are fitted into it rather than cut off.
    const int width = canvas.device() ? std::max(40, canvas.device()->width() - x - 2) : 95;
    canvas.save();
    FittedTextOut(canvas, x, y, LimitModeText(a.LimitMode[static_cast<size_t>(level)]), width, h, Qt::white,
                  Green);
    y += (3 * h) / 2;
    if (all.N > 0) {
        y += h * FittedTextOut(canvas, x, y,
                               ToQ("m = " + FormatFixed(all.Mean, 8, a.Decimals + 1) + " " + a.Unit), width,
                               h, Qt::black, Qt::white);
    }
    if (all.State == 0)
        y += h * FittedTextOut(canvas, x, y, TUnitTexts::tr("CV = %1 %").arg(ToQ(FormatFixed(all.CV, 6, 1))),
                               width, h, Qt::black, Qt::white);
    FittedTextOut(canvas, x, y, QStringLiteral("N = %1").arg(all.N), width, h, Qt::black, Qt::white);
    y += (3 * h) / 2;
    if (a.LimitMode[static_cast<size_t>(level)] != lmFixed && a.CommonCVOn()) {
        QFont f = canvas.font();
        f.setUnderline(true);
        canvas.setFont(f);
        FittedTextOut(canvas, x, y, TUnitTexts::tr("Common CV"), width, h, Qt::black, Qt::white);
    }
    canvas.restore();
}

std::vector<TDateAxisLabel> DateAxisLabels(const TAnalyte& a, int first, int last,
                                           const std::function<int(int index)>& xOf,
                                           const std::function<int(const QString&)>& textWidth) {
    std::vector<TDateAxisLabel> out;
    QString lastMonth, lastYear;
    int monthEnd = INT_MIN, yearEnd = INT_MIN; // right edges of the last labels of each row
    constexpr int gap = 2;
    last = std::min(last, a.Count() - 1);
    for (int i = std::max(first, 0); i <= last; ++i) {
        const int x = xOf(i);
        const TDateParts d = DecodeDate(a.Points[static_cast<size_t>(i)].DateTime);
        const QString month = MonthAbbreviation(d.Month);
        if (month == lastMonth) continue;
        const int w = textWidth(month);
        if (x - w / 2 < monthEnd + gap) continue; // tried again at the next point of the month
        out.push_back({month, 1, x - w / 2, w});
        monthEnd = x - w / 2 + w;
        lastMonth = month;
        const QString year = QStringLiteral("%1").arg(((d.Year % 100) + 100) % 100, 2, 10, QLatin1Char('0'));
        const int yw = textWidth(year);
        if (year != lastYear && x - yw / 2 >= yearEnd + gap) {
            out.push_back({year, 2, x - yw / 2, yw});
            yearEnd = x - yw / 2 + yw;
            lastYear = year;
        }
    }
    return out;
}

void DrawDateAxis(QPainter& canvas, const TAnalyte& a, int first, int last, int selStart, int selEnd, int y) {
    const int h = charHeight;
    canvas.save();
    last = std::min(last, a.Count() - 1);
    for (int i = std::max(first, 0); i <= last; ++i) {
        int x = ChartLeft + (i - first) * PointStep;
        TDateParts d = DecodeDate(a.Points[static_cast<size_t>(i)].DateTime);
        bool inSel = selStart <= i && i <= selEnd;
        TextOut(canvas, x, y, QString::number(d.Day), alCentre, inSel ? Qt::white : Qt::black,
                inSel ? QColor(Blue) : QColor(Qt::white));
    }
    const QFontMetrics fm(canvas.font());
    for (const TDateAxisLabel& l : DateAxisLabels(
             a, first, last, [first](int i) { return ChartLeft + (i - first) * PointStep; },
             [&fm](const QString& t) { return fm.horizontalAdvance(t); }))
        TextOut(canvas, l.Left + l.Width / 2, y + l.Row * h, l.Text, alCentre, Qt::black, Qt::white);
    canvas.restore();
}

void DrawReviewBand(QPainter& canvas, const TAnalyte& a, int first, int last, int dateAxisY,
                    const std::vector<std::pair<TDateTime, TDateTime>>& signedDays) {
    if (signedDays.empty()) return;
    const int y = dateAxisY + 3 * charHeight + 1;
    last = std::min(last, a.Count() - 1);
    auto covered = [&](int i) {
        const TDateTime t = a.Points[static_cast<size_t>(i)].DateTime;
        for (const auto& [from, to] : signedDays)
            if (t >= from && t < to + 1) return true;
        return false;
    };
    for (int i = std::max(first, 0); i <= last;) {
        if (!covered(i)) {
            ++i;
            continue;
        }
        int end = i;
        while (end + 1 <= last && covered(end + 1)) ++end;
        const int x1 = ChartLeft + (i - first) * PointStep - PointStep / 2;
        const int x2 = ChartLeft + (end - first) * PointStep + PointStep / 2;
        canvas.fillRect(QRect(x1, y, x2 - x1, 4), Green);
        i = end + 1;
    }
}

std::pair<TDateTime, TDateTime> StretchTimes(const TAnalyte& a, int first, int last) {
    const double inf = std::numeric_limits<double>::infinity();
    const int n = a.Count();
    return {first > 0 && first <= n ? a.Points[static_cast<size_t>(first - 1)].DateTime : -inf,
            last >= -1 && last + 1 < n ? a.Points[static_cast<size_t>(last + 1)].DateTime : inf};
}

std::optional<int> EventX(const TAnalyte& a, TDateTime t, int first, int last) {
    const auto [from, to] = StretchTimes(a, first, last);
    if (!(t >= from && t < to)) return std::nullopt;
    // The last run at or before t, or first - 1 when none of the stretch is.
    const auto after = std::upper_bound(a.Points.begin(), a.Points.end(), t,
                                        [](TDateTime v, const ControlPoint& p) { return v < p.DateTime; });
    const int before = static_cast<int>(after - a.Points.begin()) - 1;
    return ChartLeft + (std::max(before, first - 1) - first) * PointStep + PointStep / 2;
}

void DrawPatientQcMarks(QPainter& canvas, const TAnalyte& a,
                        const std::vector<std::pair<TDateTime, bool>>& alarms, int top, int bottom, int first,
                        int last) {
    canvas.save();
    const QFontMetrics fm(canvas.font());
    for (const auto& [t, open] : alarms) {
        const std::optional<int> x = EventX(a, t, first, last);
        if (!x) continue;
        const QColor colour = open ? Red : QColor(128, 128, 128); // grey once acknowledged
        canvas.setPen(QPen(colour, 1, Qt::DashLine));
        canvas.drawLine(*x, top, *x, bottom);
        canvas.setPen(colour);
        const int w = fm.horizontalAdvance(QLatin1Char('P'));
        canvas.drawText(QRect(*x - w, top - fm.height(), 2 * w, fm.height()), Qt::AlignCenter,
                        QStringLiteral("P"));
    }
    canvas.restore();
}

void DrawCommentMarks(QPainter& canvas, const TAnalyte& a, int y, int first, int last) {
    const QPixmap& mark = SharedImage(siComment);
    last = std::min(last, a.Count() - 1);
    for (int i = std::max(first, 0); i <= last; ++i)
        if (a.Points[static_cast<size_t>(i)].CommentId != -1)
            canvas.drawPixmap(ChartLeft + (i - first) * PointStep - 4, y, mark);
}
