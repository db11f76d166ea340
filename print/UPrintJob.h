// The one print job of every printout: default printer or a chosen PDF file, with a preview first.
#pragma once

#include <QDate>
#include <QDateEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <functional>
#include <string>

#include "URegional.h"

class QPagedPaintDevice;
class QWidget;

// The page sequence a printout draws on: printable area in device units, origin at its top-left.
class TPrintCanvas {
public:
    TPrintCanvas(QPagedPaintDevice& device, QPainter& painter) : device_(device), painter_(painter) {}
    QPainter& Painter() { return painter_; }
    int Width() const;
    int Height() const;
    void NewPage();

private:
    QPagedPaintDevice& device_;
    QPainter& painter_;
};

using TPrintDrawer = std::function<void(TPrintCanvas&)>;

struct TPrintJobSpec {
    QString JobTitle; // the printer's job name; empty keeps the printout's file name without ".pdf"
    QString FileName; // default PDF file name (no folder), named after the printout
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
};

class TPrintJob {
public:
    // Shows a preview, then prints to the default printer, or, when none is configured, writes a PDF
    // file the user chooses (proposed in the program folder). Returns true when the printout went
    // out, false when the user cancelled or the file could not be written (the reason was shown).
    static bool Print(QWidget* parent, const TPrintJobSpec& job, const TPrintDrawer& draw);

    // Draws the printout straight into a PDF file (atomic write); throws EQcError naming the file.
    static void WritePdf(const QString& path, const TPrintJobSpec& job, const TPrintDrawer& draw);

    // The page of a PDF printout: the locale's paper, the orientation, a printer's unprintable border.
    static QPageLayout PdfPageLayout(const TPrintJobSpec& job);

    // Test hook: every later Print writes a PDF to this path without any dialog; empty clears it.
    static void SetTestOutput(const QString& pdfPath);
    static QString TestOutput();
    // The title, file name and orientation of the last job started, for tests.
    static const TPrintJobSpec& LastSpec();

    // A file name made safe for the file system from a printout's title.
    static QString SafeFileName(const QString& title);
};

// Day counts and the calendar dates of the date pickers.
QDate QDateOf(TDateTime dt);
TDateTime DayOf(const QDate& d);
// Dates as every window, printout and date picker shows them: the regional short date pattern, with a
// month name (MMM, MMMM) written as the date locale writes it ("8 Dec 2026" for "d MMM yyyy").
QString DateText(TDateTime dt);
QString DateTimeText(TDateTime dt);
// The display format that makes a date picker show dates as DateText does.
QString DatePickerFormat();
// The locale whose month names DateText writes (the system's by default).
void SetDateLocale(const QLocale& locale);

// The program's date picker: a date box with a drop-down calendar. A click on its frame, outside the
// text and the arrow, does nothing: the plain date box would take it for its up button and step the
// date on by one.
class TDatePicker : public QDateEdit {
public:
    explicit TDatePicker(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* e) override;
};
// A model text (Windows-1252 bytes) for a window, and back.
QString ToQString(const std::string& cp1252);
std::string FromQString(const QString& text);
