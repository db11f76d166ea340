// The one print job of every printout: a preview, then the print dialog (printer, copies, pages, paper)
// or a PDF file, with the last choices remembered.
#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QDateEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "URegional.h"

class QPagedPaintDevice;
class QPrinter;
class QWidget;

// The pages chosen for the output: all, FirstPage to LastPage (from 1), or, when Parts is not empty, the
// pages of its ranges ("1,3-4" in the print dialog) between them.
struct TPageRange {
    int FirstPage = 0, LastPage = 0; // 0, 0: every page
    std::vector<std::pair<int, int>> Parts;
    bool Contains(int page) const;
};

// The page sequence a printout draws on: the printable area less the program's margins, in device
// units, origin at its top-left (the painter is moved there). Pages outside the range are drawn
// clipped away entirely and take no sheet.
class TPrintCanvas {
public:
    TPrintCanvas(QPagedPaintDevice& device, QPainter& painter, TPageRange range = {});
    QPainter& Painter() { return painter_; }
    int Width() const;
    int Height() const;
    // The canvas within the device's printable area, in device units.
    QRect Area() const { return area_; }
    void NewPage();
    // Pages drawn so far, and those of them that went out.
    int Pages() const { return page_; }
    int PagesOut() const { return pagesOut_; }

private:
    void StartPage();
    QPagedPaintDevice& device_;
    QPainter& painter_;
    TPageRange range_;
    QRect area_;
    int page_ = 1, pagesOut_ = 0;
};

using TPrintDrawer = std::function<void(TPrintCanvas&)>;

struct TPrintJobSpec {
    QString JobTitle; // the printer's job name; empty keeps the printout's file name without ".pdf"
    QString FileName; // default PDF file name (no folder), named after the printout
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
};

// The choices of the print dialog: a printer or a PDF file, the paper, copies and pages.
struct TPrintChoice {
    QString Printer; // the queue; empty for a PDF file
    QString File;    // the PDF file, when Printer is empty
    QPageLayout Page;
    int Copies = 1;
    bool Collate = true;
    int Duplex = 0; // QPrinter::DuplexMode
    TPageRange Pages;
    QStringList PrinterOptions; // name, value...: what the printer's properties set
};

// What goes to a print queue: the printout as PDF and the options of the print dialog.
struct TPrintSubmission {
    QString Printer;     // the queue's name
    QString Title;       // the job's name
    QByteArray Pdf;      // the pages chosen, once
    QStringList Options; // name, value, name, value... (media, copies, sides, the printer's own)
};

class TPrintJob {
    Q_DECLARE_TR_FUNCTIONS(TPrintJob)
public:
    // Shows a preview; from it the print dialog (printer or "Print to File (PDF)", copies, page range,
    // paper) or "Save as PDF" with a file dialog (proposed in the folder last used, else the program
    // folder). A refused job or a file that cannot be written is said and the preview comes back, so
    // nothing is lost. Returns true when the printout went out, false when the user cancelled.
    static bool Print(QWidget* parent, const TPrintJobSpec& job, const TPrintDrawer& draw);

    // Draws the printout straight into a PDF file (atomic write); throws EQcError naming the file.
    static void WritePdf(const QString& path, const TPrintJobSpec& job, const TPrintDrawer& draw);
    // The printout as PDF bytes on a given page, only the pages of the range; throws EQcError when the
    // range holds none of its pages.
    static QByteArray RenderPdf(const TPrintJobSpec& job, const TPrintDrawer& draw, const QPageLayout& page,
                                TPageRange range = {});

    // The page of a PDF printout: the locale's paper, the orientation, a printer's unprintable border.
    // ("Save as PDF" in the preview takes the paper last chosen in the print dialog.)
    static QPageLayout PdfPageLayout(const TPrintJobSpec& job);

    // Tests: every later Print hands its printout to `hook` in place of the preview and the dialogs (an
    // EQcError from it is said as a failed print); an empty hook shows them again.
    using TCaptureHook = std::function<void(const TPrintJobSpec&, const TPrintDrawer&)>;
    static void SetCaptureHook(TCaptureHook hook);
    // The title, file name and orientation of the last job started, for tests.
    static const TPrintJobSpec& LastSpec();

    // Test hooks: the print dialog (true for OK, having set up the printer as a user would) and the
    // print queue (the system's reason when it refuses the job, empty when it takes it).
    using TDialogHook = std::function<bool(TPrintChoice&, int pageCount)>;
    static void SetDialogHook(TDialogHook hook);
    using TSubmitHook = std::function<QString(const TPrintSubmission&)>;
    static void SetSubmitHook(TSubmitHook hook);

    // A file name made safe for the file system from a printout's title.
    static QString SafeFileName(const QString& title);
};

// Sends a printout to a print queue; returns the system's reason when the queue refuses it, else "".
QString SubmitToPrintQueue(const TPrintSubmission& job);

// Where the last print choices are kept: for the user on this station (printers are the station's;
// a data folder may be shared by several benches), in ~/.config/Varnholt/printing.conf.
QString PrintChoicesFile();

// Day counts and the calendar dates of the date pickers.
QDate QDateOf(TDateTime dt);
TDateTime DayOf(const QDate& d);
// Dates as every window, printout and date picker shows them: the regional short date pattern, with a
// month name (MMM, MMMM) written as the date locale writes it ("8 Dec 2026" for "d MMM yyyy").
QString DateText(TDateTime dt);
QString DateTimeText(TDateTime dt);
// A date that the regional formats wrote into a file (an archive), shown as DateText shows dates; a
// text that does not read back as written is shown as it stands.
QString WrittenDateText(const std::string& written);
// The display format that makes a date picker show dates as DateText does.
QString DatePickerFormat();
// The locale whose month names DateText writes (the system's by default).
void SetDateLocale(const QLocale& locale);

// The program's date picker: a date box with a drop-down calendar. A click on its frame, outside the
// text and the arrow, does nothing: the plain date box would take it for its up button and step the
// date on by one.
// A date that does not exist (31 February) or lies before the earliest date of a run is refused with a
// message, and the box goes back to its former date, instead of becoming another date unseen.
class TDatePicker : public QDateEdit {
public:
    explicit TDatePicker(QWidget* parent = nullptr);
    // The number of typed dates refused so far: a command that reads the box after taking the focus
    // from it stops when this grew.
    int Refusals() const { return refusals_; }
    // Why the typed text is no date the box takes, empty when it is one (or not yet a whole date).
    QString RefusalOf(const QString& typed) const;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    // Shows the refusal of the box's text, if any, and puts the former date back; true when refused.
    bool RefuseTyped();
    int refusals_ = 0;
};
// A model text (Windows-1252 bytes) for a window, and back.
QString ToQString(const std::string& cp1252);
std::string FromQString(const QString& text);
