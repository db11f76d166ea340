// Every printout keeps the same margin left and right, within the page's printable area.
#include <QtTest>

#include "UDataLoadSave.h"
#include "UPrintJob.h"
#include "UPrnCharts.h"
#include "UPrnData.h"
#include "UShowLimits.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

const TDateTime Day1 = EncodeDate(2025, 3, 1);
constexpr int Dpi = 100;
constexpr double MmPerPixel = 25.4 / Dpi;

TAnalyte Analyte() {
    ListSerum.Clear();
    TAnalyte a("GLU", "mmol/l", 2, 2);
    a.MaterialId[0] = ListSerum.AddMaterial("Lypho 1", "L123");
    a.MaterialId[1] = ListSerum.AddMaterial("Norm", "");
    for (int k = 0; k < 40; ++k) {
        const double d = (k % 3 - 1) * 0.2;
        PrnAddPoint(a, Day1 + k + 0.4, {5 + d, 10 + 2 * d}, {}, "AB", "lot change");
    }
    a.RecalcAll();
    return a;
}

// The blank strips left and right of the ink of every page, in millimetres (the widest ink of the
// printout counts: the narrowest strips).
struct TStrips {
    double Left = 1e9, Right = 1e9, PageWidth = 0;
};

TStrips InkStrips(const QString& pdf) {
    TStrips s;
    for (int page = 1; page <= PrnPdfPages(pdf); ++page) {
        const QImage img = PrnRenderPage(pdf, page, Dpi).convertToFormat(QImage::Format_RGB32);
        int first = img.width(), last = -1;
        for (int y = 0; y < img.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (qGray(row[x]) < 245) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        }
        if (last < 0) continue;
        s.Left = std::min(s.Left, first * MmPerPixel);
        s.Right = std::min(s.Right, (img.width() - 1 - last) * MmPerPixel);
        s.PageWidth = img.width() * MmPerPixel;
    }
    return s;
}

} // namespace

class TestPrnMargins : public QObject {
    Q_OBJECT
private slots:
    void printoutsHaveEqualMargins_data();
    void printoutsHaveEqualMargins();
};

void TestPrnMargins::printoutsHaveEqualMargins_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("landscape");
    // A printer's own unprintable border, left and right in mm; none: the PDF file's page.
    QTest::addColumn<QMarginsF>("printer");
    const QMarginsF pdf(-1, -1, -1, -1), narrow(3, 4, 7, 4), wide(12, 12, 14, 12);
    QTest::newRow("charts") << 0 << false << pdf;
    QTest::newRow("charts landscape") << 0 << true << pdf;
    QTest::newRow("data") << 1 << false << pdf;
    QTest::newRow("limits") << 2 << false << pdf;
    QTest::newRow("limits landscape") << 2 << true << pdf;
    QTest::newRow("charts, letter printer 3 and 7 mm") << 0 << false << narrow;
    QTest::newRow("data, letter printer 3 and 7 mm") << 1 << false << narrow;
    QTest::newRow("limits landscape, letter printer 12 and 14 mm") << 2 << true << wide;
}

void TestPrnMargins::printoutsHaveEqualMargins() {
    QFETCH(int, kind);
    QFETCH(bool, landscape);
    QFETCH(QMarginsF, printer);
    TGuiTempFolder folder;
    const TAnalyte a = Analyte();
    TPrintJobSpec job;
    job.Orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    const QString pdf = QString::fromStdString(folder.Path()) + "margins.pdf";
    TChartPrintOptions o;
    const TPrintDrawer draw = [&](TPrintCanvas& c) {
        if (kind == 0) PrintCharts(c, a, 0, static_cast<int>(a.Points.size()) - 1, o);
        if (kind == 1) PrintQCData(c, a, 0, static_cast<int>(a.Points.size()) - 1, true);
        if (kind == 2) PrintLimits(c, a);
    };
    double least = 10.0;
    if (printer.left() < 0)
        TPrintJob::WritePdf(pdf, job, draw);
    else {
        const QPageLayout page(QPageSize(QPageSize::Letter), job.Orientation, printer,
                               QPageLayout::Millimeter);
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(TPrintJob::RenderPdf(job, draw, page));
        f.close();
        least = std::max({least, printer.left(), printer.right()});
    }
    if (!qEnvironmentVariableIsEmpty("PRN_MARGINS_KEEP"))
        QFile::copy(pdf, qEnvironmentVariable("PRN_MARGINS_KEEP") + "/" + QTest::currentDataTag() + ".pdf");
    const TStrips s = InkStrips(pdf);
    QVERIFY2(s.PageWidth > 0, "the printout has no ink");
    const QByteArray seen =
        QByteArray::number(s.Left, 'f', 1) + " mm left, " + QByteArray::number(s.Right, 'f', 1) + " mm right";
    // The program's margin of 10 mm, or the printer's wider border, give or take a pixel.
    QVERIFY2(s.Left >= least - MmPerPixel && s.Right >= least - MmPerPixel, seen);
    QVERIFY2(std::abs(s.Left - s.Right) <= 1.0, seen);
    // The content still spans the page between the margins rather than shrinking into its middle.
    QVERIFY2(s.Left <= least + 6.0 && s.Right <= least + 6.0, seen);
}

QTEST_MAIN(TestPrnMargins)
#include "test_prnmargins.moc"
