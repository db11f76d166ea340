// Printout-test support: PDF text and images through poppler, analytes with points, modal driving.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <initializer_list>
#include <string>

#include "UStructures.h"

// The text of a PDF as pdftotext lays it out; pages are separated by form feeds.
std::string PrnPdfText(const QString& pdf);
int PrnPdfPages(const QString& pdf);
// One page (1-based) rendered by pdftoppm at the given resolution; a crop rectangle in pixels
// from the page's top-left corner keeps the image small at high resolutions.
QImage PrnRenderPage(const QString& pdf, int page, int dpi, const QRect& crop = QRect());
// Occurrences of a text in another.
int PrnCount(const std::string& text, const std::string& what);

// Adds a point at a date-time with up to three values (NAN leaves a level empty) and states.
void PrnAddPoint(TAnalyte& a, TDateTime dt, std::initializer_list<double> values,
                 std::initializer_list<PointState> states = {}, const std::string& op = "",
                 const std::string& comment = "");

// Runs the action once the next modal window has started its event loop.
void PrnWhenModal(std::function<void()> action);
