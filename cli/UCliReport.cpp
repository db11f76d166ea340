// The companion's report: the chart and data printouts of an interval of points in one PDF file.
#include "UCliReport.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

#include "UGlobale.h"
#include "UPrintJob.h"
#include "UPrnCharts.h"
#include "UPrnData.h"
#include "UQcError.h"

namespace {

// The platform's chatter (runtime folder, fonts) is no message of the companion's.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

struct TQuietQt {
    QtMessageHandler previous = qInstallMessageHandler(QuietMessages);
    ~TQuietQt() { qInstallMessageHandler(previous); }
};

} // namespace

int WriteReportPdf(const std::string& path, const TAnalyte& a, TDateTime d1, TDateTime d2) {
    const TPointInterval iv = PointInterval(a, d1, d2);
    if (iv.Count == 0) throw EQcError("Nothing to print");
    // Fonts and the PDF writer need a GUI application; the offscreen platform needs no display.
    TQuietQt quiet;
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "varnholt-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    TPrintJobSpec job;
    job.JobTitle = ToQString(a.Name + " QC report");
    job.Orientation = QPageLayout::Portrait;
    TChartPrintOptions o;
    o.Colour = Settings.ColourPrint;
    TPrintJob::WritePdf(QFile::decodeName(path.c_str()), job, [&](TPrintCanvas& canvas) {
        PrintCharts(canvas, a, iv.First, iv.Last, o);
        canvas.NewPage();
        PrintQCData(canvas, a, iv.First, iv.Last, true);
    });
    return iv.Count;
}
