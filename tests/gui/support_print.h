// Printout-test support: PDF text and images through poppler, analytes with points, modal driving.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "UStructures.h"

// The text of a PDF as pdftotext lays it out; pages are separated by form feeds.
std::string PrnPdfText(const QString& pdf);
int PrnPdfPages(const QString& pdf);
// One page (1-based) rendered by pdftoppm at the given resolution; a crop rectangle in pixels
// from the page's top-left corner keeps the image small at high resolutions.
QImage PrnRenderPage(const QString& pdf, int page, int dpi, const QRect& crop = QRect());
// The words of a PDF with their boxes in points, as pdftotext -bbox gives them; pages from 1.
struct TPdfWord {
    int Page = 0;
    double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    double PageWidth = 0, PageHeight = 0;
    QString Text;
};
std::vector<TPdfWord> PrnPdfWords(const QString& pdf);
// Occurrences of a text in another.
int PrnCount(const std::string& text, const std::string& what);

// Adds a point at a date-time with up to three values (NAN leaves a level empty) and states.
void PrnAddPoint(TAnalyte& a, TDateTime dt, std::initializer_list<double> values,
                 std::initializer_list<PointState> states = {}, const std::string& op = "",
                 const std::string& comment = "");

// Runs the action once the next modal window has started its event loop.
void PrnWhenModal(std::function<void()> action);
