// The one print job of every printout: a preview, then the print dialog (printer, copies, pages, paper)
// or a PDF file, with the last choices remembered.
#include "UPrintJob.h"
#include <QCoreApplication>

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPageRanges>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cups/cups.h>
#include <optional>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UGlobale.h"
#include "UMessages.h"
#include "UQcError.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UPrintJob)
};
} // namespace

namespace {

// A laser printer's resolution: one-unit lines of the tables stay visible on paper.
constexpr int PdfResolution = 600;
// The program's margin on every side of a printout, within whatever a printer cannot print: room
// for holes and staples in a binder, and the same on paper from any printer or as a PDF.
constexpr qreal ProgramMarginMm = 10.0;
// A PDF's page carries the program's margins as its printable area.
constexpr qreal PdfMarginMm = ProgramMarginMm;
// The print engine's key for the options the print dialog's printer properties set (QPrinter keeps
// them there for the queue; the value is Qt's own and has not changed since Qt 5).
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

TPrintJob::TCaptureHook captureHook;
TPrintJobSpec lastSpec;
TPrintJob::TDialogHook dialogHook;
TPrintJob::TSubmitHook submitHook;

// ---------------------------------------------------------------- remembered choices

std::unique_ptr<QSettings> Choices() {
    return std::make_unique<QSettings>(PrintChoicesFile(), QSettings::IniFormat);
}

QPageSize LocalePageSize() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                              : QPageSize(QPageSize::A4);
}

QPageSize RememberedPageSize() {
    const QString key = Choices()->value(QStringLiteral("print/paper")).toString();
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const QPageSize size(static_cast<QPageSize::PageSizeId>(id));
        if (!key.isEmpty() && size.key() == key) return size;
    }
    return LocalePageSize();
}

QString RememberedPdfFolder() {
    const QString folder = Choices()->value(QStringLiteral("print/pdfFolder")).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder + QLatin1Char('/')
                                                          : QFile::decodeName(ProgramFolder.c_str());
}

void RememberPdfFolder(const QString& pdfPath) {
    Choices()->setValue(QStringLiteral("print/pdfFolder"), QFileInfo(pdfPath).absolutePath());
}

void RememberPrinterChoices(const TPrintChoice& c) {
    auto s = Choices();
    s->setValue(QStringLiteral("print/printer"), c.Printer);
    s->setValue(QStringLiteral("print/paper"), c.Page.pageSize().key());
    s->setValue(QStringLiteral("print/copies"), c.Copies);
    s->setValue(QStringLiteral("print/collate"), c.Collate);
    s->setValue(QStringLiteral("print/duplex"), c.Duplex);
    if (c.Printer.isEmpty()) RememberPdfFolder(c.File);
}

// The printer of the last print, when it is still there; else the default printer; else a PDF file.
void SetUpPrinter(QPrinter& printer, const TPrintJobSpec& job) {
    auto s = Choices();
    const bool chosenBefore = s->contains(QStringLiteral("print/printer"));
    const QString name = s->value(QStringLiteral("print/printer")).toString();
    QPrinterInfo info;
    if (!name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name))
        info = QPrinterInfo::printerInfo(name);
    else if (!chosenBefore || !name.isEmpty())
        info = QPrinterInfo::defaultPrinter();
    printer.setCopyCount(std::clamp(s->value(QStringLiteral("print/copies"), 1).toInt(), 1, 999));
    printer.setCollateCopies(s->value(QStringLiteral("print/collate"), true).toBool());
    if (!info.isNull()) {
        printer.setPrinterName(info.printerName());
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setDuplex(static_cast<QPrinter::DuplexMode>(
            s->value(QStringLiteral("print/duplex"), static_cast<int>(printer.duplex())).toInt()));
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(RememberedPdfFolder() + job.FileName);
    }
    printer.setPageSize(RememberedPageSize());
    printer.setPageOrientation(job.Orientation);
    // Without a printer the preview shows the PDF's page, margins included, not a page without any.
    if (info.isNull())
        printer.setPageMargins(QMarginsF(PdfMarginMm, PdfMarginMm, PdfMarginMm, PdfMarginMm),
                               QPageLayout::Millimeter);
}

// ---------------------------------------------------------------- drawing

QPageLayout PdfLayout(const TPrintJobSpec& job, const QPageSize& paper = LocalePageSize()) {
    return QPageLayout(paper, job.Orientation, QMarginsF(PdfMarginMm, PdfMarginMm, PdfMarginMm, PdfMarginMm),
                       QPageLayout::Millimeter);
}

QString JobName(const TPrintJobSpec& job) {
    if (!job.JobTitle.isEmpty()) return job.JobTitle;
    QString name = job.FileName;
    if (name.endsWith(".pdf", Qt::CaseInsensitive)) name.chop(4);
    return name;
}

std::string PagesText(const TPageRange& range) {
    if (range.FirstPage == 0) return FromQ(TUnitTexts::tr("no page"));
    std::string parts;
    for (const auto& [from, to] : range.Parts)
        parts +=
            (parts.empty() ? "" : ", ") + std::to_string(from) + (to > from ? "-" + std::to_string(to) : "");
    if (!parts.empty()) return FillQ(TUnitTexts::tr("pages %1"), parts);
    return range.FirstPage == range.LastPage
               ? FillQ(TUnitTexts::tr("page %1"), std::to_string(range.FirstPage))
               : FillQ(TUnitTexts::tr("pages %1 to %2"), std::to_string(range.FirstPage),
                       std::to_string(range.LastPage));
}

// The print dialog's choices as the printer holds them ("Current page" is the preview's current page).
TPrintChoice ChoiceOf(QPrinter& printer, int currentPage) {
    TPrintChoice c;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        c.File = printer.outputFileName();
    else
        c.Printer = printer.printerName();
    c.Page = printer.pageLayout();
    c.Copies = printer.copyCount();
    c.Collate = printer.collateCopies();
    c.Duplex = static_cast<int>(printer.duplex());
    if (printer.printRange() == QPrinter::PageRange) {
        c.Pages = {printer.fromPage(), printer.toPage(), {}};
        for (const QPageRanges::Range& r : printer.pageRanges().toRangeList())
            c.Pages.Parts.emplace_back(r.from, r.to);
    } else if (printer.printRange() == QPrinter::CurrentPage)
        c.Pages = {currentPage, currentPage, {}};
    const QStringList own = printer.printEngine()->property(CupsOptionsKey).toStringList();
    if (own.size() % 2 == 0) c.PrinterOptions = own;
    return c;
}

// The choices as a print queue takes them: the options QPrinter's own queue engine sends.
QStringList QueueOptions(const TPrintChoice& c) {
    QStringList o{QStringLiteral("media"), c.Page.pageSize().key()};
    if (c.Copies > 1) {
        o << QStringLiteral("copies") << QString::number(c.Copies);
        if (c.Collate) o << QStringLiteral("Collate") << QStringLiteral("True");
    }
    const bool portrait = c.Page.orientation() == QPageLayout::Portrait;
    switch (static_cast<QPrinter::DuplexMode>(c.Duplex)) {
    case QPrinter::DuplexNone:
        o << QStringLiteral("sides") << QStringLiteral("one-sided"); // a protocol keyword, never translated
        break;
    case QPrinter::DuplexAuto:
        o << QStringLiteral("sides")
          << (portrait ? QStringLiteral("two-sided-long-edge") : QStringLiteral("two-sided-short-edge"));
        break;
    case QPrinter::DuplexLongSide:
        o << QStringLiteral("sides") << QStringLiteral("two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        o << QStringLiteral("sides") << QStringLiteral("two-sided-short-edge");
        break;
    }
    if (!portrait) o << QStringLiteral("landscape") << QString();
    return o + c.PrinterOptions;
}

// ---------------------------------------------------------------- the preview

// The pages as they will come out, then the print dialog, a PDF file, or cancel.
class TWinPrintPreview : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinPrintPreview)
public:
    enum TChoice { None, PrintDialog, SavePdf };

    TWinPrintPreview(QWidget* parent, QPrinter& printer, const TPrintDrawer& draw) : QDialog(parent) {
        setWindowTitle(tr("Print preview"));
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
        tools->addAction(tr("Fit width"), Preview, &QPrintPreviewWidget::fitToWidth);
        tools->addAction(tr("Whole page"), Preview, &QPrintPreviewWidget::fitInView);
        tools->addAction(tr("Zoom in"), Preview, [this] { Preview->zoomIn(); });
        tools->addAction(tr("Zoom out"), Preview, [this] { Preview->zoomOut(); });
        tools->addSeparator();
        tools->addAction(tr("Previous page"), Preview,
                         [this] { Preview->setCurrentPage(Preview->currentPage() - 1); });
        tools->addAction(tr("Next page"), Preview,
                         [this] { Preview->setCurrentPage(Preview->currentPage() + 1); });
        LblPrinter = new QLabel(this);
        LblPrinter->setObjectName("LblPrinter");
        LblPrinter->setTextFormat(Qt::PlainText);
        auto* buttons = new QDialogButtonBox(this);
        BtPrint = buttons->addButton(tr("&Print..."), QDialogButtonBox::AcceptRole);
        BtPrint->setObjectName("BtPrint");
        BtPrint->setToolTip(tr("Choose the printer, the copies, the pages and the paper"));
        BtSavePdf = buttons->addButton(tr("&Save as PDF..."), QDialogButtonBox::AcceptRole);
        BtSavePdf->setObjectName("BtSavePdf");
        buttons->addButton(QDialogButtonBox::Cancel);
        connect(BtPrint, &QPushButton::clicked, this, [this] { Choose(PrintDialog); });
        connect(BtSavePdf, &QPushButton::clicked, this, [this] { Choose(SavePdf); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(tools);
        layout->addWidget(Preview, 1);
        auto* bottom = new QHBoxLayout();
        bottom->addWidget(LblPrinter, 1);
        bottom->addWidget(buttons);
        layout->addLayout(bottom);
        resize(760, 900);
        ShowPrinter(printer);
    }

    void ShowPrinter(const QPrinter& printer) {
        const QString paper = printer.pageLayout().pageSize().name();
        LblPrinter->setText(printer.outputFormat() == QPrinter::PdfFormat
                                ? tr("PDF file, %1").arg(paper)
                                : tr("Printer %1, %2").arg(printer.printerName(), paper));
    }

    TChoice Choice = None;
    QPrintPreviewWidget* Preview;
    QLabel* LblPrinter;
    QPushButton *BtPrint, *BtSavePdf;

private:
    void Choose(TChoice c) {
        Choice = c;
        accept();
    }
};

// The print dialog over the printer; empty when it was cancelled.
std::optional<TPrintChoice> RunPrintDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                           int currentPage) {
    printer.setFromTo(0, 0);
    printer.setPrintRange(QPrinter::AllPages);
    if (dialogHook) {
        TPrintChoice c = ChoiceOf(printer, currentPage);
        if (!dialogHook(c, pageCount)) return std::nullopt;
        return c;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName("WinPrintDialog");
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCurrentPage);
    // Pages beyond the printout are not held against their syntax by the dialog: RenderPdf says which
    // pages the printout has, and the preview comes back.
    dialog.setMinMax(1, std::max(pageCount, 9999));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ChoiceOf(printer, currentPage);
}

// The printout as the dialog chose it: a PDF file written atomically, or a job for the print queue.
void PrintOn(const TPrintChoice& c, const TPrintJobSpec& job, const TPrintDrawer& draw) {
    if (c.Printer.isEmpty()) {
        QString path = c.File;
        if (path.isEmpty()) throw EQcError(FromQ(TUnitTexts::tr("No file was named for the PDF printout.")));
        if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
        const QByteArray pdf = TPrintJob::RenderPdf(job, draw, c.Page, c.Pages);
        try {
            AtomicWriteFile(QFile::encodeName(path).toStdString(), pdf.toStdString());
        } catch (const EQcError& e) {
            throw EQcError(FromQ(TUnitTexts::tr("The printout was not saved.\r") + CoreTextQ(e.what())));
        }
        return;
    }
    TPrintSubmission submission;
    submission.Printer = c.Printer;
    submission.Title = JobName(job);
    submission.Pdf = TPrintJob::RenderPdf(job, draw, c.Page, c.Pages);
    submission.Options = QueueOptions(c);
    const QString refused = submitHook ? submitHook(submission) : SubmitToPrintQueue(submission);
    if (!refused.isEmpty())
        throw EQcError(
            FillQ(TUnitTexts::tr(
                      "The printer %1 did not take the printout: %2\rNothing was printed. Choose another "
                      "printer, or save the printout as PDF."),
                  FromQString(submission.Printer), FromQString(refused)));
}

void SavePdfAs(QWidget* parent, const TPrintJobSpec& job, const TPrintDrawer& draw, bool& saved) {
    saved = false;
    QFileDialog dialog(parent, TUnitTexts::tr("Save the printout as PDF"),
                       RememberedPdfFolder() + job.FileName, TUnitTexts::tr("PDF files (*.pdf)"));
    PrepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    QString path = dialog.selectedFiles().first();
    if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    try {
        AtomicWriteFile(QFile::encodeName(path).toStdString(),
                        TPrintJob::RenderPdf(job, draw, PdfLayout(job, RememberedPageSize())).toStdString());
    } catch (const EQcError& e) {
        throw EQcError(FromQ(TUnitTexts::tr("The printout was not saved.\r") + CoreTextQ(e.what())));
    }
    RememberPdfFolder(path);
    saved = true;
}

} // namespace

// ---------------------------------------------------------------- the canvas

bool TPageRange::Contains(int page) const {
    if (FirstPage == 0) return true;
    if (Parts.empty()) return page >= FirstPage && page <= LastPage;
    for (const auto& [from, to] : Parts)
        if (page >= from && page <= to) return true;
    return false;
}

TPrintCanvas::TPrintCanvas(QPagedPaintDevice& device, QPainter& painter, TPageRange range)
    : device_(device), painter_(painter), range_(range) {
    // The device's origin is the printable area's corner; the canvas keeps the program's margin from
    // the paper's edge, the same left and right (the wider of the printer's own borders counts).
    const int dpi = device_.logicalDpiX();
    const QMargins own = device_.pageLayout().marginsPixels(dpi);
    const int margin = qRound(ProgramMarginMm * dpi / 25.4);
    const int side = std::max({margin, own.left(), own.right()});
    area_ = QRect(side - own.left(), std::max(margin, own.top()) - own.top(), 0, 0);
    area_.setWidth(std::max(1, device_.width() - area_.left() - (side - own.right())));
    area_.setHeight(
        std::max(1, device_.height() - area_.top() - (std::max(margin, own.bottom()) - own.bottom())));
    painter_.translate(area_.topLeft());
    StartPage();
}

int TPrintCanvas::Width() const {
    return area_.width();
}

int TPrintCanvas::Height() const {
    return area_.height();
}

void TPrintCanvas::NewPage() {
    ++page_;
    StartPage();
}

void TPrintCanvas::StartPage() {
    if (!range_.Contains(page_)) {
        // An empty clip: the page is drawn, so that the printout's own layout runs on, but nothing of
        // it reaches the device (its PDF engine drops clipped-away drawing).
        painter_.setClipRect(QRect(0, 0, 0, 0));
        return;
    }
    if (pagesOut_ > 0) device_.newPage();
    ++pagesOut_;
    painter_.setClipping(false);
}

// ---------------------------------------------------------------- the job

QByteArray TPrintJob::RenderPdf(const TPrintJobSpec& job, const TPrintDrawer& draw, const QPageLayout& page,
                                TPageRange range) {
    // Drawn in memory, so that a failed write never leaves a truncated file behind.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int pages = 0, out = 0;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setPageLayout(page);
        writer.setTitle(JobName(job));
        writer.setCreator("Varnholt");
        QPainter painter;
        if (!painter.begin(&writer)) throw EQcError(FromQ(tr("The printout could not be started.")));
        painter.setRenderHint(QPainter::Antialiasing, false);
        TPrintCanvas canvas(writer, painter, range);
        draw(canvas);
        painter.end();
        pages = canvas.Pages();
        out = canvas.PagesOut();
    }
    buffer.close();
    if (out == 0) {
        const bool one = range.FirstPage == range.LastPage && range.Parts.size() <= 1;
        const QString text =
            pages == 1
                ? (one ? TUnitTexts::tr("The printout has %1 page: %2 is not in it. Nothing was printed.")
                       : TUnitTexts::tr("The printout has %1 page: %2 are not in it. Nothing was printed."))
                : (one ? TUnitTexts::tr("The printout has %1 pages: %2 is not in it. Nothing was printed.")
                       : TUnitTexts::tr("The printout has %1 pages: %2 are not in it. Nothing was printed."));
        throw EQcError(FillQ(text, std::to_string(pages), PagesText(range)));
    }
    return buffer.data();
}

void TPrintJob::WritePdf(const QString& path, const TPrintJobSpec& job, const TPrintDrawer& draw) {
    AtomicWriteFile(QFile::encodeName(path).toStdString(),
                    RenderPdf(job, draw, PdfLayout(job)).toStdString());
}

bool TPrintJob::Print(QWidget* parent, const TPrintJobSpec& job, const TPrintDrawer& draw) {
    lastSpec = job;
    if (captureHook) {
        try {
            captureHook(job, draw);
            return true;
        } catch (const EQcError& e) {
            ShowMessageBox(mkError, mbOK, e.what());
            return false;
        }
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(JobName(job));
    SetUpPrinter(printer, job);
    TWinPrintPreview preview(parent, printer, draw);
    // Until the printout went out or the user cancelled: a failure brings the preview back.
    for (;;) {
        preview.Choice = TWinPrintPreview::None;
        if (preview.exec() != QDialog::Accepted) return false;
        try {
            if (preview.Choice == TWinPrintPreview::SavePdf) {
                bool saved = false;
                SavePdfAs(&preview, job, draw, saved);
                if (saved) return true;
                continue;
            }
            const std::optional<TPrintChoice> choice = RunPrintDialog(
                &preview, printer, preview.Preview->pageCount(), preview.Preview->currentPage());
            if (!choice) continue;
            RememberPrinterChoices(*choice);
            preview.ShowPrinter(printer);
            preview.Preview->updatePreview();
            PrintOn(*choice, job, draw);
            return true;
        } catch (const EQcError& e) {
            ShowMessageBox(mkError, mbOK, e.what());
        }
    }
}

void TPrintJob::SetCaptureHook(TCaptureHook hook) {
    captureHook = std::move(hook);
}

const TPrintJobSpec& TPrintJob::LastSpec() {
    return lastSpec;
}

void TPrintJob::SetDialogHook(TDialogHook hook) {
    dialogHook = std::move(hook);
}

void TPrintJob::SetSubmitHook(TSubmitHook hook) {
    submitHook = std::move(hook);
}

QString TPrintJob::SafeFileName(const QString& title) {
    QString name = title.trimmed();
    for (QChar& c : name)
        if (QString("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = '-';
    if (name.isEmpty()) name = "Printout";
    return name + ".pdf";
}

QString PrintChoicesFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Varnholt/printing.conf");
}

QString SubmitToPrintQueue(const TPrintSubmission& job) {
    // A queue name may carry an instance ("queue/instance"): the job goes to the queue itself.
    const QByteArray queue = job.Printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray title = job.Title.toUtf8();
    std::vector<QByteArray> texts;
    for (const QString& t : job.Options) texts.push_back(t.toUtf8());
    cups_option_t* options = nullptr;
    int count = 0;
    for (size_t i = 0; i + 1 < texts.size(); i += 2)
        count = cupsAddOption(texts[i].constData(), texts[i + 1].constData(), count, &options);
    QString refused;
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), title.constData(), count, options);
    if (id <= 0) {
        refused = QString::fromUtf8(cupsLastErrorString());
    } else if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), id, title.constData(), CUPS_FORMAT_PDF,
                                 1) != HTTP_STATUS_CONTINUE ||
               cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.Pdf.constData(),
                                    static_cast<size_t>(job.Pdf.size())) != HTTP_STATUS_CONTINUE ||
               cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        refused = QString::fromUtf8(cupsLastErrorString());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), id, 0);
    }
    cupsFreeOptions(count, options);
    if (!refused.isEmpty() || id > 0) return refused;
    return TUnitTexts::tr("the print system gave no reason");
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

QString WrittenDateText(const std::string& written) {
    // Numeric patterns are written as DateText shows them; only a month name differs (MMM is written MM).
    if (!DatePickerFormat().contains(QLatin1String("MMM"))) return ToQString(written);
    const std::optional<TDateTime> d = Regional.TextToDate(written);
    if (!d || Regional.DateToText(*d) != written) return ToQString(written);
    return DateText(*d);
}

TDatePicker::TDatePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    // The earliest date of a run (core refuses earlier ones).
    setMinimumDate(QDate(1900, 1, 1));
}

QString TDatePicker::RefusalOf(const QString& typed) const {
    const QDate read = locale().toDate(typed, displayFormat());
    if (read.isValid() && read < minimumDate())
        return QCoreApplication::translate("TDatePicker",
                                           "%1 is before %2, the earliest date that can be entered")
            .arg(typed, locale().toString(minimumDate(), displayFormat()));
    // Only a whole date: a text still being typed is the box's own business.
    QString whole = typed;
    int pos = 0;
    if (read.isValid() || QDateEdit::validate(whole, pos) != QValidator::Acceptable) return {};
    // The box reads an impossible day as the last of the month; a text it reads as another date is none.
    const QDate clamped = dateTimeFromText(typed).date();
    if (!clamped.isValid() || locale().toString(clamped, displayFormat()) == typed) return {};
    return QCoreApplication::translate("TDatePicker", "%1 is not a valid date").arg(typed);
}

QValidator::State TDatePicker::validate(QString& input, int& pos) const {
    const QString typed = input;
    const QValidator::State state = QDateEdit::validate(input, pos);
    return state == QValidator::Acceptable && !RefusalOf(typed).isEmpty() ? QValidator::Intermediate : state;
}

bool TDatePicker::RefuseTyped() {
    const QString typed = text();
    const QString why = RefusalOf(typed);
    if (why.isEmpty()) return false;
    ++refusals_;
    // The former date back in the box before the message, so that nothing reads the typed one.
    setDate(date());
    ShowMessageBox(mkError, mbOK, FromQString(why));
    return true;
}

void TDatePicker::focusOutEvent(QFocusEvent* e) {
    RefuseTyped();
    QDateEdit::focusOutEvent(e);
}

void TDatePicker::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && RefuseTyped()) {
        selectAll();
        e->accept();
        return;
    }
    QDateEdit::keyPressEvent(e);
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
