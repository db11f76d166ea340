// The one print job of every printout: default printer or a chosen PDF file, with a preview first.
#include "UPrintJob.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QVBoxLayout>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "UUserPrompt.h"

namespace {

// A laser printer's resolution: one-unit lines of the tables stay visible on paper.
constexpr int PdfResolution = 600;
// The unprintable border of a common office printer, so that a PDF has the printer's layout.
constexpr qreal PdfMarginMm = 5.0;

QString testOutput;
TPrintJobSpec lastSpec;

QPageSize LocalePageSize() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                              : QPageSize(QPageSize::A4);
}

QPageLayout PdfLayout(const TPrintJobSpec& job) {
    return QPageLayout(LocalePageSize(), job.Orientation,
                       QMarginsF(PdfMarginMm, PdfMarginMm, PdfMarginMm, PdfMarginMm),
                       QPageLayout::Millimeter);
}

QString JobName(const TPrintJobSpec& job) {
    if (!job.JobTitle.isEmpty()) return job.JobTitle;
    QString name = job.FileName;
    if (name.endsWith(".pdf", Qt::CaseInsensitive)) name.chop(4);
    return name;
}

void DrawOn(QPagedPaintDevice& device, const TPrintDrawer& draw) {
    QPainter painter;
    if (!painter.begin(&device)) throw EQcError("The printer could not be started.");
    painter.setRenderHint(QPainter::Antialiasing, false);
    TPrintCanvas canvas(device, painter);
    draw(canvas);
    painter.end();
}

// The preview: the pages as they will come out, then print (or save as PDF) or cancel.
class TWinPrintPreview : public QDialog {
public:
    TWinPrintPreview(QWidget* parent, QPrinter& printer, const TPrintDrawer& draw, bool toPdf)
        : QDialog(parent) {
        setWindowTitle("Print preview");
        setObjectName("WinPrintPreview");
        Preview = new QPrintPreviewWidget(&printer, this);
        Preview->setObjectName("Preview");
        connect(Preview, &QPrintPreviewWidget::paintRequested, this, [&draw](QPrinter* p) {
            QPainter painter(p);
            painter.setRenderHint(QPainter::Antialiasing, false);
            TPrintCanvas canvas(*p, painter);
            draw(canvas);
        });
        auto* tools = new QToolBar(this);
        tools->addAction("Fit width", Preview, &QPrintPreviewWidget::fitToWidth);
        tools->addAction("Whole page", Preview, &QPrintPreviewWidget::fitInView);
        tools->addAction("Zoom in", Preview, [this] { Preview->zoomIn(); });
        tools->addAction("Zoom out", Preview, [this] { Preview->zoomOut(); });
        tools->addSeparator();
        tools->addAction("Previous page", Preview,
                         [this] { Preview->setCurrentPage(Preview->currentPage() - 1); });
        tools->addAction("Next page", Preview,
                         [this] { Preview->setCurrentPage(Preview->currentPage() + 1); });
        auto* buttons = new QDialogButtonBox(this);
        BtPrint = buttons->addButton(toPdf ? "&Save as PDF..." : "&Print", QDialogButtonBox::AcceptRole);
        BtPrint->setObjectName("BtPrint");
        buttons->addButton(QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(tools);
        layout->addWidget(Preview, 1);
        layout->addWidget(buttons);
        resize(760, 900);
    }
    QPrintPreviewWidget* Preview;
    QPushButton* BtPrint;
};

} // namespace

int TPrintCanvas::Width() const {
    return device_.width();
}

int TPrintCanvas::Height() const {
    return device_.height();
}

void TPrintCanvas::NewPage() {
    device_.newPage();
}

void TPrintJob::WritePdf(const QString& path, const TPrintJobSpec& job, const TPrintDrawer& draw) {
    // Drawn in memory first, so that a failed write never leaves a truncated file behind.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(PdfLayout(job));
        writer.setTitle(JobName(job));
        writer.setCreator("Varnholt");
        DrawOn(writer, draw);
    }
    buffer.close();
    AtomicWriteFile(QFile::encodeName(path).toStdString(), buffer.data().toStdString());
}

bool TPrintJob::Print(QWidget* parent, const TPrintJobSpec& job, const TPrintDrawer& draw) {
    lastSpec = job;
    try {
        if (!testOutput.isEmpty()) {
            WritePdf(testOutput, job, draw);
            return true;
        }
        QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull()) {
            QPrinter printer(info, QPrinter::HighResolution);
            printer.setDocName(JobName(job));
            printer.setPageOrientation(job.Orientation);
            TWinPrintPreview preview(parent, printer, draw, false);
            if (preview.exec() != QDialog::Accepted) return false;
            preview.Preview->print();
            // A job the printer refused is not reported as printed.
            if (printer.printerState() == QPrinter::Error)
                throw EQcError("The printout could not be sent to the printer " +
                               FromQString(printer.printerName()) + ".");
            return true;
        }
        QPrinter previewPrinter(QPrinter::HighResolution);
        previewPrinter.setOutputFormat(QPrinter::PdfFormat);
        previewPrinter.setResolution(PdfResolution);
        previewPrinter.setPageLayout(PdfLayout(job));
        TWinPrintPreview preview(parent, previewPrinter, draw, true);
        if (preview.exec() != QDialog::Accepted) return false;
        QString proposed = QFile::decodeName(ProgramFolder.c_str()) + job.FileName;
        QString path =
            QFileDialog::getSaveFileName(parent, "Save the printout as PDF", proposed, "PDF files (*.pdf)");
        if (path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
        WritePdf(path, job, draw);
        return true;
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
        return false;
    }
}

void TPrintJob::SetTestOutput(const QString& pdfPath) {
    testOutput = pdfPath;
}

QString TPrintJob::TestOutput() {
    return testOutput;
}

const TPrintJobSpec& TPrintJob::LastSpec() {
    return lastSpec;
}

QString TPrintJob::SafeFileName(const QString& title) {
    QString name = title.trimmed();
    for (QChar& c : name)
        if (QString("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = '-';
    if (name.isEmpty()) name = "Printout";
    return name + ".pdf";
}

QDate QDateOf(TDateTime dt) {
    TDateParts p = DecodeDate(dt);
    return QDate(p.Year, p.Month, p.Day);
}

TDateTime DayOf(const QDate& d) {
    return EncodeDate(d.year(), d.month(), d.day());
}

namespace {
QLocale& DateLocale() {
    static QLocale locale = QLocale::system();
    return locale;
}
} // namespace

void SetDateLocale(const QLocale& locale) {
    DateLocale() = locale;
}

QString DatePickerFormat() {
    return QString::fromStdString(Regional.ShortDateFormat);
}

QString DateText(TDateTime dt) {
    const QString pattern = DatePickerFormat();
    // Numeric patterns are written by the regional formats themselves; only month names need the locale.
    if (!pattern.contains(QLatin1String("MMM"))) return ToQString(Regional.DateToText(dt));
    return DateLocale().toString(QDateOf(dt), pattern);
}

TDatePicker::TDatePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
}

void TDatePicker::mousePressEvent(QMouseEvent* e) {
    // The box finds the part under the pointer as a combo box does; only the arrow is its own.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    if (calendarPopup() && e->button() == Qt::LeftButton &&
        style()->hitTestComplexControl(QStyle::CC_ComboBox, &option, e->position().toPoint(), this) !=
            QStyle::SC_ComboBoxArrow) {
        setFocus(Qt::MouseFocusReason);
        e->accept();
        return;
    }
    QDateEdit::mousePressEvent(e);
}

QString DateTimeText(TDateTime dt) {
    return DateText(dt) + QLatin1Char(' ') + ToQString(Regional.TimeToText(dt));
}

QString ToQString(const std::string& cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

std::string FromQString(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

QPageLayout TPrintJob::PdfPageLayout(const TPrintJobSpec& job) {
    return PdfLayout(job);
}
