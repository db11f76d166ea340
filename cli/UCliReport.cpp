// The report program (varnholt-report): the companion's own code with its report command drawing the
// chart and data printouts of an interval of points in one PDF file.
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

// This is the report program: the command is carried out here.
void RunReportProgram(const std::vector<std::string>&, const std::string&, bool) {}

int WriteReport(const TReportOutput& output, const TAnalyte& a, TDateTime d1, TDateTime d2) {
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
    const TPrintDrawer draw = [&](TPrintCanvas& canvas) {
        PrintCharts(canvas, a, iv.First, iv.Last, o);
        canvas.NewPage();
        PrintQCData(canvas, a, iv.First, iv.Last, true);
    };
    if (!output.Printer.empty()) {
        const QPageLayout page = TPrintJob::PdfPageLayout(job);
        TPrintSubmission submission;
        submission.Printer = QString::fromStdString(output.Printer);
        submission.Title = job.JobTitle;
        submission.Pdf = TPrintJob::RenderPdf(job, draw, page);
        submission.Options = {QStringLiteral("media"), page.pageSize().key()};
        const QString refused = SubmitToPrintQueue(submission);
        if (!refused.isEmpty())
            throw EQcError("the printer " + output.Printer +
                           " did not take the report: " + refused.toStdString());
    } else if (output.Pdf == "-") {
        const QByteArray pdf = TPrintJob::RenderPdf(job, draw, TPrintJob::PdfPageLayout(job));
        if (std::fwrite(pdf.constData(), 1, static_cast<size_t>(pdf.size()), stdout) !=
                static_cast<size_t>(pdf.size()) ||
            std::fflush(stdout) != 0)
            throw EQcError("Cannot write the report to standard output");
    } else {
        TPrintJob::WritePdf(QFile::decodeName(output.Pdf.c_str()), job, draw);
    }
    return iv.Count;
}
