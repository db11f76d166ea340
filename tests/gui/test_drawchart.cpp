// Control chart drawing: value mapping, value axis, frame lines, and pixels of a rendered chart.
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <optional>

#include "GuiTestHelpers.h"
#include "UDrawChart.h"

namespace {
LevelStats Limits(long double mean, long double warn, long double action, long double low, long double high) {
    LevelStats s;
    s.Mean = mean;
    s.WarnDev = warn;
    s.ActionDev = action;
    s.RangeLow = low;
    s.RangeHigh = high;
    return s;
}

QStringList Texts(const std::vector<TAxisLabel>& labels) {
    QStringList out;
    for (const TAxisLabel& l : labels) out << QString::fromStdString(l.Text);
    return out;
}

QImage Render(const TAnalyte& a, int selected, int mode = 0, int width = 620) {
    QImage img(width, 460, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    p.setFont(f);
    int top = FirstChartTop(a.NbLevels);
    for (int k = 0; k < a.NbLevels; ++k) {
        DrawLevelChart(p, a, selected, mode, k, 0, std::min(a.Count() - 1, 30), top + 135 * k);
        DrawLevelLegend(p, a, k);
    }
    DrawDateAxis(p, a, 0, std::min(a.Count() - 1, 30), -1, -1, top + 135 * a.NbLevels - 10);
    DrawCommentMarks(p, a, top - 17, 0, std::min(a.Count() - 1, 30));
    return img;
}

bool AnyNonWhite(const QImage& img, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255)) return true;
    return false;
}
} // namespace

class TestDrawChart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void valueToYMapsInsideAndPinsOutside() {
        TChartScale s = MakeChartScale(Limits(60, 10, 20, 0, 120), 10);
        QCOMPARE(s.Bottom, 130);
        QCOMPARE(s.ValueToY(60), 70);
        // Rounding half to even: 2.5 -> 2, 3.5 -> 4.
        QCOMPARE(s.ValueToY(2.5), 128);
        QCOMPARE(s.ValueToY(3.5), 126);
        QCOMPARE(s.ValueToY(500), 10);   // above the range: top edge
        QCOMPARE(s.ValueToY(-500), 130); // below: bottom edge
        QCOMPARE(s.ValueToY(0), 130);    // the low end, not above the target: bottom edge
        QCOMPARE(s.ValueToY(120), 10);   // the high end above the target: top edge
        // A degenerate range uses 2 pixels per unit and pins everything to an edge.
        TChartScale flat = MakeChartScale(Limits(5, 0, 0, 5, 5), 0);
        QCOMPARE(static_cast<double>(flat.Scale), 2.0);
        QCOMPARE(flat.ValueToY(5), 120);
        QCOMPARE(flat.ValueToY(6), 0);
    }

    // Months changing on neighbouring points: no label runs into another, each stands under a point of
    // its month, and a month is labelled at its first point where there is room.
    void dateAxisLabelsDoNotOverlap() {
        TAnalyte a("Glucose", "mmol/l", 1, 1);
        const std::vector<std::array<int, 3>> days = {{2026, 9, 29}, {2026, 10, 31}, {2026, 11, 1},
                                                      {2026, 11, 2}, {2026, 12, 1},  {2027, 1, 1},
                                                      {2027, 1, 2},  {2027, 1, 3},   {2027, 2, 1}};
        for (const auto& d : days) {
            ControlPoint p;
            p.DateTime = EncodeDate(d[0], d[1], d[2]);
            p.Levels[0] = {5.0f, psInControl};
            a.Points.push_back(p);
        }
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSize(8);
        const QFontMetrics fm(f);
        auto x = [](int i) { return ChartLeft + i * PointStep; };
        const auto labels = DateAxisLabels(a, 0, a.Count() - 1, x,
                                           [&fm](const QString& t) { return fm.horizontalAdvance(t); });
        QStringList months;
        for (size_t k = 0; k < labels.size(); ++k) {
            const TDateAxisLabel& l = labels[k];
            if (l.Row == 1) months << l.Text;
            for (size_t j = k + 1; j < labels.size(); ++j)
                if (labels[j].Row == l.Row) {
                    QVERIFY2(labels[j].Left > l.Left + l.Width, qPrintable(l.Text + labels[j].Text));
                    break;
                }
            // Centred on a point of its month (or year).
            bool under = false;
            for (int i = 0; i < a.Count(); ++i) {
                const TDateParts d = DecodeDate(a.Points[static_cast<size_t>(i)].DateTime);
                const QString own = l.Row == 1
                                        ? MonthAbbreviation(d.Month)
                                        : QStringLiteral("%1").arg(d.Year % 100, 2, 10, QLatin1Char('0'));
                under = under || (own == l.Text && l.Left + l.Width / 2 == x(i));
            }
            QVERIFY2(under, qPrintable(l.Text));
        }
        QVERIFY(months.contains(QStringLiteral("Sep")) && months.contains(QStringLiteral("Jan")));
        QVERIFY(months.size() >= 4);
    }

    void valueAxisLabels() {
        QCOMPARE(Texts(ValueAxisLabels(0, 50, 25, 0)), (QStringList{"10", "20", "30", "40", "50"}));
        QCOMPARE(Texts(ValueAxisLabels(-20, 20, 0, 0)), (QStringList{"-20", "-10", "0", "10", "20"}));
        QCOMPARE(Texts(ValueAxisLabels(0, 1, 0.5, 0)), (QStringList{"0.2", "0.4", "0.6", "0.8", "1.0"}));
        QCOMPARE(Texts(ValueAxisLabels(3.2, 3.5, 3.35, 2)),
                 (QStringList{"3.25", "3.30", "3.35", "3.40", "3.45", "3.50"}));
        // A range of zero width ends with one label at the target instead of looping forever.
        QCOMPARE(Texts(ValueAxisLabels(5, 5, 5, 2)), QStringList{"5.00"});
        QCOMPARE(Texts(ValueAxisLabels(0, 0, 0, 0)), QStringList{"0"});
    }

    void frameLinesNeverOverdrawAnActionLineOnTheEdge() {
        LevelStats onEdges = Limits(50, 25, 50, 0, 100);
        TChartScale s = MakeChartScale(onEdges, 0);
        QVERIFY(!DrawsTopFrame(s, onEdges));
        QVERIFY(!DrawsBottomFrame(s, onEdges));
        LevelStats inside = Limits(50, 25, 50, -10, 110);
        TChartScale t = MakeChartScale(inside, 0);
        QVERIFY(DrawsTopFrame(t, inside));
        QVERIFY(DrawsBottomFrame(t, inside));
    }

    void renderedChartHasLinesDiscsAndSelection() {
        TAnalyte a("Glucose", "mmol/l", 1, 1);
        for (int i = 0; i < 10; ++i) a.AddPoint(TestRun(EncodeDate(2024, 1, 1) + i, {i % 2 ? 99.0 : 101.0}));
        a.RecalcAll();
        a.Points[3].Levels[0].State = psDiscarded;
        const LevelStats& l = a.Limits[0];
        int top = FirstChartTop(1);
        TChartScale s = MakeChartScale(l, top);
        QImage img = Render(a, 5);
        int between = ChartLeft + 12 * PointStep + 7; // between grid columns, right of every point
        QCOMPARE(QColor(img.pixel(between, s.ValueToY(l.Mean))), QColor(0, 255, 0));
        QCOMPARE(QColor(img.pixel(between, s.ValueToY(l.Mean + l.WarnDev))), QColor(255, 255, 0));
        QCOMPARE(QColor(img.pixel(between, s.ValueToY(l.Mean - l.ActionDev))), QColor(255, 0, 0));
        QCOMPARE(QColor(img.pixel(ChartLeft + 12 * PointStep, top + 2)), QColor(192, 192, 192)); // grid
        auto at = [&](int i) {
            return QPoint(ChartLeft + i * PointStep, s.ValueToY(a.Points[i].Levels[0].Value));
        };
        QCOMPARE(QColor(img.pixel(at(2))), QColor(0, 0, 128));
        QCOMPARE(QColor(img.pixel(at(3))), QColor(0, 0, 255)); // discarded: blue
        QCOMPARE(QColor(img.pixel(at(5))), QColor(255, 0, 0)); // selected: red
        QCOMPARE(QColor(img.pixel(at(5) + QPoint(SelectedRadius, 0))), QColor(255, 0, 0));
        // The axis has labels since the level has values.
        QVERIFY(AnyNonWhite(img, QRect(0, top, ChartLeft - 8, ChartHeight)));

        QImage marked = Render(a, 5, 1);
        QCOMPARE(QColor(marked.pixel(at(2))), QColor(192, 192, 192));
        QCOMPARE(QColor(marked.pixel(at(3))), QColor(192, 192, 192));
        QCOMPARE(QColor(marked.pixel(at(5))), QColor(255, 0, 0));
    }

    void emptyAndFixedLevels() {
        TAnalyte empty("Urea", "mmol/l", 1, 1);
        empty.RecalcAll();
        int top = FirstChartTop(1);
        QImage img = Render(empty, -1);
        QVERIFY(!AnyNonWhite(img, QRect(0, top - 5, ChartLeft - 8, ChartHeight + 10))); // no axis labels

        // A fixed level with no spread and no points: one label, and drawing ends.
        TAnalyte fixed("Iron", "umol/l", 2, 1);
        fixed.LimitMode[0] = lmFixed;
        fixed.Limits[0] = Limits(5, 0, 0, 5, 5);
        QImage img2 = Render(fixed, -1);
        QVERIFY(AnyNonWhite(img2, QRect(0, top, ChartLeft - 8, ChartHeight + 10)));
    }

    // On the main window's 600-pixel paint box a long mean and unit are fitted, never cut at the edge.
    void legendFitsThePaintBox() {
        for (int decimals : {2, 4}) {
            TAnalyte a("Sodium", "mmol/L", decimals, 3);
            for (int i = 0; i < 10; ++i) {
                const double v = 140.196 + (i % 2 ? 0.5 : -0.5);
                a.AddPoint(TestRun(EncodeDate(2024, 1, 1) + i, {v, v * 10, v / 3}));
            }
            a.RecalcAll();
            QImage img = Render(a, -1, 0, 600);
            QVERIFY2(!AnyNonWhite(img, QRect(597, 0, 3, img.height())),
                     qPrintable(QString::number(decimals)));
            // Every level's "m = " line is written, from the legend's left edge.
            for (int k = 0; k < 3; ++k) {
                const int mLine = FirstChartTop(3) + 135 * k + 20 + 20;
                QVERIFY(AnyNonWhite(img, QRect(ChartRight + 15, mLine, 20, 10)));
            }
        }
    }

    void commentMarkAbovePointWithComment() {
        TAnalyte a("Calcium", "mmol/l", 2, 1);
        a.AddPoint(TestRun(EncodeDate(2024, 1, 1), {2.3}));
        a.AddPoint(TestRun(EncodeDate(2024, 1, 2), {2.4}, "new lot"));
        a.RecalcAll();
        int top = FirstChartTop(1);
        QImage img = Render(a, -1);
        QVERIFY(!AnyNonWhite(img, QRect(ChartLeft - 4, top - 17, 11, 12)));
        QVERIFY(AnyNonWhite(img, QRect(ChartLeft + PointStep - 4, top - 17, 11, 12)));
    }

    // Events between the runs (runs on days 10, 20, 30 and 40; columns 1 and 2 in view) fall between
    // the columns of the runs around them, and only within the span from the run before the stretch to
    // the run after it; an event at a run's own time follows that run.
    void eventsFallBetweenTheRunsAroundThem() {
        TAnalyte a("Sodium", "mmol/L", 0, 1);
        for (int day : {10, 20, 30, 40}) a.AddPoint(TestRun(EncodeDate(2024, 1, 1) + day, {140}));
        const TDateTime d0 = EncodeDate(2024, 1, 1);
        const int half = PointStep / 2;
        const struct {
            int First, Last;
            double Day;
            std::optional<int> X;
        } cases[] = {
            {1, 2, 15, ChartLeft - PointStep + half},
            {1, 2, 20, ChartLeft + half},
            {1, 2, 25, ChartLeft + half},
            {1, 2, 35, ChartLeft + PointStep + half},
            {1, 2, 5, std::nullopt},
            {1, 2, 40, std::nullopt},
            {0, 3, 5, ChartLeft - PointStep + half},
            {0, 3, 99, ChartLeft + 3 * PointStep + half},
        };
        for (const auto& c : cases) QCOMPARE(EventX(a, d0 + c.Day, c.First, c.Last), c.X);
        QCOMPARE(StretchTimes(a, 1, 2), std::make_pair(d0 + 10, d0 + 40));
        QVERIFY(std::isinf(StretchTimes(a, 0, 3).first) && std::isinf(StretchTimes(a, 0, 3).second));
        // Drawn: a dashed line through the charts, red while open, grey once acknowledged.
        QImage img(620, 460, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            DrawPatientQcMarks(p, a, {{d0 + 25, true}, {d0 + 35, false}}, 100, 400, 1, 2);
        }
        auto count = [&img](int x, QColor c) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y) n += img.pixelColor(x, y) == c;
            return n;
        };
        QVERIFY(count(ChartLeft + half, QColor(255, 0, 0)) > 100);
        QVERIFY(count(ChartLeft + PointStep + half, QColor(128, 128, 128)) > 100);
        QCOMPARE(count(ChartLeft + 2 * PointStep + half, QColor(255, 0, 0)), 0);
    }
};

QTEST_MAIN(TestDrawChart)
#include "test_drawchart.moc"
