// Charts of the quality goals: power function, method decision chart, z-score chart and Youden plot.
#include "UQualityCharts.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "UDrawChart.h"
#include "UPrintJob.h"
#include "UUtilitaires.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UQualityCharts)
};
} // namespace

namespace {
using namespace chartcolour;

const QColor DarkYellow(176, 144, 0);
const QColor Grey(128, 128, 128);
// One colour per level, the same in every chart.
const QColor LevelColours[MaxLevels] = {QColor(0, 0, 192), QColor(0, 128, 0), QColor(128, 0, 128)};

// A device pixel of the screen in units of the painter's device: pens and marks keep their look on a
// printer's page.
double Unit(const QPainter& p) {
    const QPaintDevice* d = p.device();
    return d ? std::max(1.0, d->logicalDpiY() / 96.0) : 1.0;
}

QPen Pen(const QPainter& p, const QColor& c, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(c, width * Unit(p), style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// The plotting area inside a chart's rectangle and the scale of its axes.
struct TPlot {
    QRectF Area;
    double X0 = 0, X1 = 1, Y0 = 0, Y1 = 1;
    double X(double x) const { return Area.left() + (x - X0) / (X1 - X0) * Area.width(); }
    double Y(double y) const { return Area.bottom() - (y - Y0) / (Y1 - Y0) * Area.height(); }
    QPointF At(double x, double y) const { return {X(x), Y(y)}; }
    // Pinned inside the area: a value beyond the axes is drawn at the edge.
    QPointF Clamped(double x, double y) const {
        return At(std::clamp(x, std::min(X0, X1), std::max(X0, X1)),
                  std::clamp(y, std::min(Y0, Y1), std::max(Y0, Y1)));
    }
};

// Room for the title above, the value labels left and the axis labels below.
TPlot Frame(QPainter& p, const QRect& r, const QString& title, const QString& xLabel, const QString& yLabel,
            double x0, double x1, double y0, double y1) {
    const QFontMetrics fm(p.font(), p.device());
    const int h = fm.height();
    TPlot plot;
    plot.X0 = x0, plot.X1 = x1, plot.Y0 = y0, plot.Y1 = y1;
    const int left = fm.horizontalAdvance(QStringLiteral("-0.00")) + 2 * h;
    plot.Area = QRectF(r.left() + left, r.top() + 1.6 * h, r.width() - left - h, r.height() - 4.2 * h);
    p.setPen(Pen(p, Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawText(QRect(r.left(), r.top(), r.width(), h), Qt::AlignHCenter | Qt::AlignTop, title);
    p.drawText(QRectF(plot.Area.left(), plot.Area.bottom() + 1.3 * h, plot.Area.width(), h),
               Qt::AlignHCenter | Qt::AlignTop, xLabel);
    p.save();
    p.translate(r.left(), plot.Area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.Area.height() / 2, 0, plot.Area.height(), h), Qt::AlignHCenter | Qt::AlignTop,
               yLabel);
    p.restore();
    p.drawRect(plot.Area);
    return plot;
}

void XTicks(QPainter& p, const TPlot& plot, double step, int decimals) {
    const QFontMetrics fm(p.font(), p.device());
    p.setPen(Pen(p, Qt::black, 1));
    for (double x = plot.X0; x <= plot.X1 + step / 1000; x += step) {
        const double px = plot.X(x);
        p.drawLine(QPointF(px, plot.Area.bottom()), QPointF(px, plot.Area.bottom() + 0.3 * fm.height()));
        const QString t = FixedText(x, decimals);
        const double w = fm.horizontalAdvance(t);
        p.drawText(QRectF(px - w / 2 - 2, plot.Area.bottom() + 0.3 * fm.height(), w + 4, fm.height()),
                   Qt::AlignCenter, t);
    }
}

void YTicks(QPainter& p, const TPlot& plot, double step, int decimals) {
    const QFontMetrics fm(p.font(), p.device());
    p.setPen(Pen(p, Qt::black, 1));
    const double lo = std::min(plot.Y0, plot.Y1), hi = std::max(plot.Y0, plot.Y1);
    for (double y = std::ceil(lo / step - 1e-9) * step; y <= hi + step / 1000; y += step) {
        const double py = plot.Y(y);
        p.drawLine(QPointF(plot.Area.left() - 0.3 * fm.height(), py), QPointF(plot.Area.left(), py));
        p.drawText(QRectF(plot.Area.left() - 6 * fm.height(), py - fm.height() / 2.0, 5.6 * fm.height(),
                          fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter,
                   FixedText(std::fabs(y) < step / 1000 ? 0 : y, decimals));
    }
}

// A tick step of 1, 2 or 5 times a power of ten giving about `count` steps over span.
double NiceStep(double span, int count) {
    const double raw = span / std::max(count, 1);
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * mag >= raw) return m * mag;
    return 10 * mag;
}

int DecimalsOf(double step) {
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 4);
}

// Legend lines from the top-left corner of the area: a short stroke in the line's pen, then the text.
void Legend(QPainter& p, const TPlot& plot, const std::vector<std::pair<QPen, QString>>& lines,
            bool right = false, bool bottom = false) {
    const QFontMetrics fm(p.font(), p.device());
    const int h = fm.height();
    int width = 0;
    for (const auto& l : lines) width = std::max(width, fm.horizontalAdvance(l.second));
    const double boxW = width + 3.5 * h, boxH = h * (lines.size() + 0.4);
    const double x = right ? plot.Area.right() - boxW - 0.3 * h : plot.Area.left() + 0.3 * h;
    const double y = bottom ? plot.Area.bottom() - boxH - 0.3 * h : plot.Area.top() + 0.3 * h;
    p.setPen(Pen(p, Grey, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x, y, boxW, boxH));
    for (size_t k = 0; k < lines.size(); ++k) {
        const double ly = y + 0.2 * h + k * h + h / 2.0;
        p.setPen(lines[k].first);
        p.drawLine(QPointF(x + 0.4 * h, ly), QPointF(x + 2.4 * h, ly));
        p.setPen(Pen(p, Qt::black, 1));
        p.drawText(QRectF(x + 2.9 * h, ly - h / 2.0, width + h, h), Qt::AlignLeft | Qt::AlignVCenter,
                   lines[k].second);
    }
}

// A level's mark: a disc, a square or a triangle for levels 1, 2 and 3.
void Mark(QPainter& p, QPointF c, int level, const QColor& fill, const QColor& outline, double size) {
    p.setPen(QPen(outline, std::max(1.0, 0.8 * Unit(p))));
    p.setBrush(fill);
    const double s = size * Unit(p);
    if (level == 1) {
        p.drawRect(QRectF(c.x() - s, c.y() - s, 2 * s, 2 * s));
    } else if (level == 2) {
        const QPointF tri[] = {
            {c.x(), c.y() - 1.2 * s}, {c.x() - 1.15 * s, c.y() + s}, {c.x() + 1.15 * s, c.y() + s}};
        p.drawPolygon(tri, 3);
    } else {
        p.drawEllipse(c, s, s);
    }
}

void Cross(QPainter& p, QPointF c, const QColor& colour, double size) {
    const double s = size * Unit(p);
    p.setPen(QPen(colour, 1.5 * Unit(p)));
    p.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() + s));
    p.drawLine(QPointF(c.x() - s, c.y() + s), QPointF(c.x() + s, c.y() - s));
}

// The fill of a value's mark: its level's colour when clear, yellow for a warning, red for a reject.
QColor OutcomeFill(TPointOutcome o, int level) {
    if (o == ocWarning) return Yellow;
    if (o == ocReject) return Red;
    return LevelColours[std::clamp(level, 0, MaxLevels - 1)];
}

QString LevelName(int level) {
    return TUnitTexts::tr("Level %1").arg(level + 1);
}

} // namespace

QString FixedText(long double v, int decimals) {
    return ToQString(FormatFixed(v, 12, decimals));
}

void DrawPowerFunction(QPainter& p, const QRect& r, const std::vector<TPowerPoint>& power,
                       const std::vector<TPowerMark>& marks) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const TPlot plot =
        Frame(p, r, TUnitTexts::tr("Power function of the rules"), TUnitTexts::tr("Systematic error (SD)"),
              TUnitTexts::tr("Probability of rejection"), 0, 5, 0, 1);
    XTicks(p, plot, 1, 0);
    YTicks(p, plot, 0.2, 1);
    // Westgard's aim: an error detection of 0.90 at the critical error.
    p.setPen(Pen(p, Grey, 1, Qt::DotLine));
    p.drawLine(plot.At(0, 0.9), plot.At(5, 0.9));
    const QPen program = Pen(p, Blue, 2), r13 = Pen(p, Red, 1.5, Qt::DashLine),
               r12 = Pen(p, DarkYellow, 1.5, Qt::DotLine);
    auto curve = [&](const QPen& pen, long double TPowerPoint::*member) {
        QPainterPath path;
        for (size_t k = 0; k < power.size(); ++k) {
            const QPointF pt =
                plot.Clamped(static_cast<double>(power[k].Shift), static_cast<double>(power[k].*member));
            if (k == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    if (!power.empty()) {
        curve(r12, &TPowerPoint::Rule12s);
        curve(r13, &TPowerPoint::Rule13s);
        curve(program, &TPowerPoint::Program);
    }
    const QFontMetrics fm(p.font(), p.device());
    for (const TPowerMark& m : marks) {
        const double s = static_cast<double>(m.Shift);
        if (!(s >= 0 && s <= 5)) continue;
        const QColor c = LevelColours[std::clamp(m.Level, 0, MaxLevels - 1)];
        p.setPen(Pen(p, c, 1, Qt::DashDotLine));
        p.drawLine(plot.At(s, 0), plot.At(s, 1));
        p.setPen(Pen(p, c, 1));
        const QString t = QStringLiteral("L%1").arg(m.Level + 1);
        // Near the top, where the curves of the three rules have mostly met.
        p.drawText(QPointF(plot.X(s) + 0.2 * fm.height(), plot.Area.top() + (1.2 + m.Level) * fm.height()),
                   t);
    }
    Legend(p, plot,
           {{program, TUnitTexts::tr("Program's rules")},
            {r13, TUnitTexts::tr("1:3s alone")},
            {r12, TUnitTexts::tr("1:2s alone")}},
           true, true);
    if (power.empty()) {
        p.setPen(Pen(p, Qt::black, 1));
        p.drawText(plot.Area, Qt::AlignCenter, TUnitTexts::tr("No level is judged by the rules"));
    }
    p.restore();
}

void DrawRunSizeNomogram(QPainter& p, const QRect& r, const TNomogram& g, size_t inForce,
                         const std::vector<TPowerMark>& sigmas) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double x0 = g.Sigmas.empty() ? 2 : static_cast<double>(g.Sigmas.front());
    const double x1 = g.Sigmas.empty() ? 6 : static_cast<double>(g.Sigmas.back());
    const QString title =
        g.N > 0 ? TUnitTexts::tr("Maximum run size, N=%1").arg(g.N) : TUnitTexts::tr("Maximum run size");
    // The value axis in decades: 0 to 4 for 1 to 10000 patients.
    const TPlot plot =
        Frame(p, r, title, TUnitTexts::tr("Sigma"), TUnitTexts::tr("Patients (log)"), x0, x1, 0, 4);
    XTicks(p, plot, 0.5, 1);
    const QFontMetrics fm(p.font(), p.device());
    p.setPen(Pen(p, Qt::black, 1));
    for (int d = 0; d <= 4; ++d) {
        const double py = plot.Y(d);
        p.drawLine(QPointF(plot.Area.left() - 0.3 * fm.height(), py), QPointF(plot.Area.left(), py));
        p.drawText(QRectF(plot.Area.left() - 6 * fm.height(), py - fm.height() / 2.0, 5.6 * fm.height(),
                          fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(static_cast<int>(std::pow(10, d))));
    }
    const QColor colours[] = {Red, DarkYellow, QColor(0, 160, 160), QColor(128, 0, 128), QColor(0, 128, 0)};
    std::vector<std::pair<QPen, QString>> legend;
    p.save();
    p.setClipRect(plot.Area);
    for (size_t k = 0; k < g.Curves.size(); ++k) {
        const TNomogramCurve& c = g.Curves[k];
        const QPen pen = k == inForce ? Pen(p, Blue, 2.5) : Pen(p, colours[k % 5], 1.2, Qt::DashLine);
        QPainterPath path;
        bool open = false;
        for (size_t i = 0; i < c.RunSize.size() && i < g.Sigmas.size(); ++i) {
            // No limit, or beyond the axis: drawn on its top edge; fewer than one patient on its bottom.
            const long long m = c.RunSize[i];
            const double y =
                m < 0 ? 4 : std::clamp(std::log10(std::max(1.0, static_cast<double>(m))), 0.0, 4.0);
            const QPointF pt = plot.At(static_cast<double>(g.Sigmas[i]), y);
            if (!open)
                path.moveTo(pt);
            else
                path.lineTo(pt);
            open = true;
        }
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        legend.push_back({pen, ToQString(QcRulesText(c.Set.Reject)) +
                                   (k == inForce ? TUnitTexts::tr(" (in force)") : QString())});
    }
    for (const TPowerMark& m : sigmas) {
        const double s = static_cast<double>(m.Shift);
        if (!(s >= x0 && s <= x1)) continue;
        const QColor c = LevelColours[std::clamp(m.Level, 0, MaxLevels - 1)];
        p.setPen(Pen(p, c, 1, Qt::DashDotLine));
        p.drawLine(plot.At(s, 0), plot.At(s, 4));
        p.setPen(Pen(p, c, 1));
        p.drawText(QPointF(plot.X(s) + 0.2 * fm.height(), plot.Area.bottom() - (0.4 + m.Level) * fm.height()),
                   QStringLiteral("L%1").arg(m.Level + 1));
    }
    p.restore();
    if (!legend.empty()) Legend(p, plot, legend);
    if (g.Curves.empty()) {
        p.setPen(Pen(p, Qt::black, 1));
        p.drawText(plot.Area, Qt::AlignCenter, TUnitTexts::tr("No rule set to plan"));
    }
    p.restore();
}

void DrawDecisionChart(QPainter& p, const QRect& r, const TDecisionChart& c) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double tea = c.Points.empty() ? 10 : static_cast<double>(c.TEa);
    const double xMax = c.Points.empty() ? tea / 2 : static_cast<double>(c.XMax);
    const double yMax = c.Points.empty() ? tea : static_cast<double>(c.YMax);
    const QString unit = c.Normalised ? TUnitTexts::tr(" (% of TEa)") : QStringLiteral(" (%)");
    const TPlot plot = Frame(p, r, TUnitTexts::tr("Method decision chart"), TUnitTexts::tr("CV") + unit,
                             TUnitTexts::tr("|Bias|") + unit, 0, xMax, 0, yMax);
    const double xs = NiceStep(xMax, 5), ys = NiceStep(yMax, 5);
    XTicks(p, plot, xs, DecimalsOf(xs));
    YTicks(p, plot, ys, DecimalsOf(ys));
    const QFontMetrics fm(p.font(), p.device());
    p.save();
    p.setClipRect(plot.Area);
    // The lines in colours of their own, apart from the levels' colours.
    const QColor lineColours[] = {QColor(200, 0, 0), QColor(230, 120, 0), QColor(150, 150, 0),
                                  QColor(0, 160, 160), QColor(0, 100, 0)};
    std::vector<std::pair<QPen, QString>> legend;
    for (int s = 6; s >= 2; --s) {
        const QPen pen = Pen(p, lineColours[s - 2], 1.5);
        p.setPen(pen);
        p.drawLine(plot.At(0, tea), plot.At(tea / s, 0));
        legend.push_back({pen, TUnitTexts::tr("Sigma %1").arg(s)});
    }
    p.restore();
    Legend(p, plot, legend, true);
    if (c.Points.empty()) {
        p.setPen(Pen(p, Qt::black, 1));
        p.drawText(plot.Area, Qt::AlignCenter | Qt::TextWordWrap, TUnitTexts::tr("No level with a Sigma"));
    }
    for (const TDecisionChart::Point& pt : c.Points) {
        const QPointF at = plot.Clamped(static_cast<double>(pt.CV), static_cast<double>(pt.Bias));
        const QColor colour = LevelColours[std::clamp(pt.Level, 0, MaxLevels - 1)];
        Mark(p, at, pt.Level, pt.BiasKnown ? colour : Qt::white, colour, 4);
        p.setPen(Pen(p, colour, 1));
        QString label =
            QStringLiteral("L%1").arg(pt.Level + 1) + (pt.BiasKnown ? QString() : TUnitTexts::tr(" (bias?)"));
        QPointF labelAt(at.x() + 0.5 * fm.height(), at.y() - 0.4 * fm.height());
        if (pt.OffScale) {
            // An arrow to the mark, pointing out through the edge it is pinned to, and the point's
            // own figures.
            const double dx = pt.CV > c.XMax ? 1 : 0, dy = pt.Bias > c.YMax ? -1 : 0;
            const double n = std::hypot(dx, dy), ux = dx / n, uy = dy / n;
            const double len = 2 * fm.height(), head = 0.4 * fm.height();
            const QPointF tip = at;
            p.drawLine(QPointF(at.x() - ux * len, at.y() - uy * len), tip);
            p.drawLine(tip, QPointF(tip.x() - head * (ux - uy), tip.y() - head * (uy + ux)));
            p.drawLine(tip, QPointF(tip.x() - head * (ux + uy), tip.y() - head * (uy - ux)));
            label += TUnitTexts::tr(" off scale: CV %1, |bias| %2")
                         .arg(FixedText(static_cast<double>(pt.CV), 1),
                              FixedText(static_cast<double>(pt.Bias), 1));
            // Inside the plot, clear of the edge it is pinned to.
            const double w = fm.horizontalAdvance(label);
            labelAt = QPointF(
                std::clamp(at.x() - w - 0.5 * fm.height(), plot.Area.left() + 2, plot.Area.right() - w),
                std::clamp(at.y() + 1.6 * fm.height(), plot.Area.top() + fm.height(),
                           plot.Area.bottom() - 2));
        }
        p.drawText(labelAt, label);
    }
    p.restore();
}

void DrawZChart(QPainter& p, const QRect& r, const std::vector<TZPoint>& z, int levels) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    double range = 4;
    for (const TZPoint& pt : z)
        for (int i = 0; i < levels; ++i)
            // A discarded value does not stretch the scale: it is drawn at the edge when beyond.
            if (pt.Has[i] && pt.Judgement.Level[i] != ocDiscarded)
                range = std::max(range, std::min(8.0, std::ceil(std::fabs(pt.Z[i]) + 0.5)));
    const int n = static_cast<int>(z.size());
    TPlot plot = Frame(p, r, TUnitTexts::tr("z-scores of all levels: (value - mean) / SD"), QString(),
                       TUnitTexts::tr("z (SD)"), -0.5, std::max(n, 1) - 0.5, -range, range);
    YTicks(p, plot, 1, 0);
    struct TLine {
        double z;
        QColor colour;
        Qt::PenStyle style;
    };
    for (const TLine& l :
         {TLine{0, Green, Qt::SolidLine}, TLine{1, Grey, Qt::DotLine}, TLine{-1, Grey, Qt::DotLine},
          TLine{2, DarkYellow, Qt::DashLine}, TLine{-2, DarkYellow, Qt::DashLine},
          TLine{3, Red, Qt::DashDotLine}, TLine{-3, Red, Qt::DashDotLine}}) {
        p.setPen(Pen(p, l.colour, 1, l.style));
        p.drawLine(plot.At(plot.X0, l.z), plot.At(plot.X1, l.z));
    }
    // Dates under the axis: the first, the last and a few between that leave room for each other.
    const QFontMetrics fm(p.font(), p.device());
    if (n > 0) {
        const int w = fm.horizontalAdvance(DateText(z.front().DateTime)) + fm.height();
        const int every = std::max(1, static_cast<int>(std::ceil(w / (plot.Area.width() / n))));
        double lastRight = -1e9;
        p.setPen(Pen(p, Qt::black, 1));
        for (int k = 0; k < n; k += every) {
            const int at = (k + every >= n) ? n - 1 : k;
            const double x = plot.X(at);
            if (x - w / 2.0 < lastRight) continue;
            p.drawLine(QPointF(x, plot.Area.bottom()), QPointF(x, plot.Area.bottom() + 0.3 * fm.height()));
            p.drawText(QRectF(x - w / 2.0, plot.Area.bottom() + 0.3 * fm.height(), w, fm.height()),
                       Qt::AlignCenter, DateText(z[static_cast<size_t>(at)].DateTime));
            lastRight = x + w / 2.0;
        }
    } else {
        p.drawText(plot.Area, Qt::AlignCenter, TUnitTexts::tr("No point in the period"));
    }
    const double size = std::clamp(plot.Area.width() / std::max(n, 1) / Unit(p) / 3.0, 1.5, 3.5);
    std::vector<std::pair<QPen, QString>> legend;
    for (int i = 0; i < levels; ++i) {
        const QColor colour = LevelColours[i];
        QPainterPath path;
        bool open = false;
        for (int k = 0; k < n; ++k) {
            const TZPoint& pt = z[static_cast<size_t>(k)];
            if (!pt.Has[i] || pt.Judgement.Level[i] == ocDiscarded) continue;
            const QPointF at = plot.Clamped(k, pt.Z[i]);
            if (open)
                path.lineTo(at);
            else
                path.moveTo(at);
            open = true;
        }
        const QPen pen = Pen(p, colour, 1);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        for (int k = 0; k < n; ++k) {
            const TZPoint& pt = z[static_cast<size_t>(k)];
            if (!pt.Has[i]) continue;
            const QPointF at = plot.Clamped(k, pt.Z[i]);
            const TPointOutcome o = pt.Judgement.Level[i];
            if (o == ocDiscarded)
                Cross(p, at, colour, size);
            else
                Mark(p, at, i, OutcomeFill(o, i), o == ocClear ? colour : Qt::black, size);
        }
        legend.push_back({pen, LevelName(i)});
    }
    if (levels > 0) Legend(p, plot, legend);
    p.restore();
}

void DrawYoudenPlot(QPainter& p, const QRect& r, const std::vector<TYoudenPoint>& pairs, int levelA,
                    int levelB) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    double range = 4;
    for (const TYoudenPoint& y : pairs)
        range = std::max({range, std::min(8.0, std::ceil(std::fabs(y.ZA) + 0.5)),
                          std::min(8.0, std::ceil(std::fabs(y.ZB) + 0.5))});
    // A square plot: equal SD on both axes.
    const QFontMetrics fm(p.font(), p.device());
    const int extraW = fm.horizontalAdvance(QStringLiteral("-0.00")) + 3 * fm.height();
    const int extraH = static_cast<int>(5.8 * fm.height());
    const int side = std::max(10, std::min(r.width() - extraW, r.height() - extraH));
    const QRect square(r.left() + (r.width() - side - extraW) / 2, r.top(), side + extraW, side + extraH);
    const TPlot plot =
        Frame(p, square, TUnitTexts::tr("Youden plot"), TUnitTexts::tr("z of ") + LevelName(levelA),
              TUnitTexts::tr("z of ") + LevelName(levelB), -range, range, -range, range);
    XTicks(p, plot, 1, 0);
    YTicks(p, plot, 1, 0);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(p, Grey, 1, Qt::DotLine));
    p.drawLine(plot.At(-range, 0), plot.At(range, 0));
    p.drawLine(plot.At(0, -range), plot.At(0, range));
    // Along the diagonal both levels move together: a systematic error.
    p.drawLine(plot.At(-range, -range), plot.At(range, range));
    p.setPen(Pen(p, DarkYellow, 1.2, Qt::DashLine));
    p.drawRect(QRectF(plot.At(-2, 2), plot.At(2, -2)));
    p.setPen(Pen(p, Red, 1.2, Qt::DashDotLine));
    p.drawRect(QRectF(plot.At(-3, 3), plot.At(3, -3)));
    if (pairs.empty()) {
        p.setPen(Pen(p, Qt::black, 1));
        p.drawText(plot.Area, Qt::AlignCenter | Qt::TextWordWrap,
                   TUnitTexts::tr("No run with values of both levels"));
    } else {
        QPainterPath path;
        for (size_t k = 0; k < pairs.size(); ++k) {
            const QPointF at = plot.Clamped(pairs[k].ZA, pairs[k].ZB);
            if (k == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        p.setPen(Pen(p, Grey, 1));
        p.drawPath(path);
        for (const TYoudenPoint& y : pairs) {
            const TPointOutcome o = y.Outcome;
            Mark(p, plot.Clamped(y.ZA, y.ZB), 0, o == ocClear ? LevelColours[0] : OutcomeFill(o, 0),
                 o == ocClear ? LevelColours[0] : Qt::black, 2.5);
        }
        p.setPen(Pen(p, Qt::black, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(plot.Clamped(pairs.back().ZA, pairs.back().ZB), 6 * Unit(p), 6 * Unit(p));
    }
    p.restore();
}

TChartBox::TChartBox(QWidget* parent, std::function<void(QPainter&, const QRect&)> draw)
    : QWidget(parent), draw_(std::move(draw)) {}

void TChartBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    draw_(p, rect().adjusted(4, 4, -4, -4));
}

void DrawPqcChart(QPainter& p, const QRect& r, const std::vector<TPqcPoint>& points, const TPqcSettings& s,
                  const std::vector<TPqcAlarm>& alarms) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The scale holds the limits and every statistic, with a margin.
    double lo = std::min({s.Low, s.High, s.Target}), hi = std::max({s.Low, s.High, s.Target});
    for (const TPqcPoint& pt : points)
        if (std::isfinite(pt.Statistic)) lo = std::min(lo, pt.Statistic), hi = std::max(hi, pt.Statistic);
    const double margin = hi > lo ? (hi - lo) * 0.08 : std::max(1.0, std::fabs(hi) * 0.05);
    lo -= margin, hi += margin;
    const int n = static_cast<int>(points.size());
    const QString procedure = s.Procedure == TPqcProcedure::MovingAverage ? TUnitTexts::tr("moving average")
                              : s.Procedure == TPqcProcedure::MovingMedian
                                  ? TUnitTexts::tr("moving median")
                                  : TUnitTexts::tr("EWMA, lambda %1").arg(FixedText(s.Lambda, 2));
    TPlot plot = Frame(p, r, TUnitTexts::tr("Patient-based QC: %1, N %2").arg(procedure).arg(s.N), QString(),
                       TUnitTexts::tr("Statistic"), -0.5, std::max(n, 1) - 0.5, lo, hi);
    const double step = NiceStep(hi - lo, 5);
    YTicks(p, plot, step, std::max(DecimalsOf(step), 0));
    const QPen targetPen = Pen(p, Green, 1), limitPen = Pen(p, Red, 1, Qt::DashLine);
    p.setPen(targetPen);
    p.drawLine(plot.At(plot.X0, s.Target), plot.At(plot.X1, s.Target));
    p.setPen(limitPen);
    for (double l : {s.Low, s.High}) p.drawLine(plot.At(plot.X0, l), plot.At(plot.X1, l));
    const QFontMetrics fm(p.font(), p.device());
    if (n == 0) {
        p.setPen(Pen(p, Qt::black, 1));
        p.drawText(plot.Area, Qt::AlignCenter, TUnitTexts::tr("No statistic yet"));
        p.restore();
        return;
    }
    // Dates under the axis, as on the z-score chart; with the time of day over a few days.
    const bool hours = points.back().Time - points.front().Time <= 3;
    auto label = [hours](TDateTime t) {
        return hours ? DateText(t) + QLatin1Char(' ') + ToQString(Regional.TimeToText(t)).left(5)
                     : DateText(t);
    };
    const int w = fm.horizontalAdvance(label(points.front().Time)) + fm.height();
    const int every = std::max(1, static_cast<int>(std::ceil(w / (plot.Area.width() / n))));
    double lastRight = -1e9;
    p.setPen(Pen(p, Qt::black, 1));
    for (int k = 0; k < n; k += every) {
        const int at = (k + every >= n) ? n - 1 : k;
        const double x = plot.X(at);
        // The label kept inside the chart's rectangle.
        const double left = std::clamp(x - w / 2.0, static_cast<double>(r.left()), r.right() - w + 0.0);
        if (left < lastRight) continue;
        p.drawLine(QPointF(x, plot.Area.bottom()), QPointF(x, plot.Area.bottom() + 0.3 * fm.height()));
        p.drawText(QRectF(left, plot.Area.bottom() + 0.3 * fm.height(), w, fm.height()), Qt::AlignCenter,
                   label(points[static_cast<size_t>(at)].Time));
        lastRight = left + w;
    }
    // Each alarm where the statistic left its limits.
    for (const TPqcAlarm& alarm : alarms) {
        const auto it = std::lower_bound(points.begin(), points.end(), alarm.Time,
                                         [](const TPqcPoint& pt, TDateTime t) { return pt.Time < t; });
        if (it == points.end()) continue;
        const double x = plot.X(static_cast<double>(it - points.begin()));
        p.setPen(Pen(p, alarm.Acknowledged ? Grey : Red, 2));
        p.drawLine(QPointF(x, plot.Area.top()), QPointF(x, plot.Area.bottom()));
    }
    const QColor colour = LevelColours[0];
    QPainterPath path;
    for (int k = 0; k < n; ++k) {
        const QPointF at = plot.Clamped(k, points[static_cast<size_t>(k)].Statistic);
        k ? path.lineTo(at) : path.moveTo(at);
    }
    const QPen pen = Pen(p, colour, 1);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    // Marks only where there is room for them; a point outside the limits always.
    const bool marks = plot.Area.width() / n >= 4 * Unit(p);
    const double size = std::clamp(plot.Area.width() / n / Unit(p) / 3.0, 1.5, 3.0);
    for (int k = 0; k < n; ++k) {
        const TPqcPoint& pt = points[static_cast<size_t>(k)];
        if (!marks && pt.InLimits) continue;
        Mark(p, plot.Clamped(k, pt.Statistic), 0, pt.InLimits ? colour : Red,
             pt.InLimits ? colour : Qt::black, size);
    }
    Legend(p, plot,
           {{pen, TUnitTexts::tr("Statistic")},
            {targetPen, TUnitTexts::tr("Target")},
            {limitPen, TUnitTexts::tr("Control limits")},
            {Pen(p, Red, 2), TUnitTexts::tr("Alarm")}});
    p.restore();
}
