// Printout-test support: PDF text and images through poppler, analytes with points, modal driving.
#include "support_print.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <cmath>

std::string PrnPdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(60000);
    return p.readAllStandardOutput().toStdString();
}

std::vector<TPdfWord> PrnPdfWords(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(60000);
    std::vector<TPdfWord> words;
    QXmlStreamReader xml(p.readAllStandardOutput());
    int page = 0;
    double w = 0, h = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("page")) {
            ++page;
            w = a.value("width").toDouble();
            h = a.value("height").toDouble();
        } else if (xml.name() == QLatin1String("word")) {
            TPdfWord word{page,
                          a.value("xMin").toDouble(),
                          a.value("yMin").toDouble(),
                          a.value("xMax").toDouble(),
                          a.value("yMax").toDouble(),
                          w,
                          h,
                          {}};
            word.Text = xml.readElementText();
            words.push_back(word);
        }
    }
    return words;
}

int PrnPdfPages(const QString& pdf) {
    std::string text = PrnPdfText(pdf);
    return PrnCount(text, "\f");
}

QImage PrnRenderPage(const QString& pdf, int page, int dpi, const QRect& crop) {
    QTemporaryDir dir;
    QString base = dir.path() + "/page";
    QStringList args = {
        "-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page)};
    if (!crop.isNull())
        args << "-x" << QString::number(crop.x()) << "-y" << QString::number(crop.y()) << "-W"
             << QString::number(crop.width()) << "-H" << QString::number(crop.height());
    args << "-singlefile" << pdf << base;
    QProcess p;
    p.start("pdftoppm", args);
    p.waitForFinished(60000);
    return QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
}

int PrnCount(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++n;
    return n;
}

void PrnAddPoint(TAnalyte& a, TDateTime dt, std::initializer_list<double> values,
                 std::initializer_list<PointState> states, const std::string& op,
                 const std::string& comment) {
    TResu r;
    r.DateTime = dt;
    int i = 0;
    for (double v : values) {
        if (std::isnan(v)) {
            r.Levels[static_cast<size_t>(i)] = {0, psEmpty};
        } else {
            r.Levels[static_cast<size_t>(i)] = {static_cast<float>(v), psInControl};
        }
        ++i;
    }
    i = 0;
    for (PointState s : states) r.Levels[static_cast<size_t>(i++)].State = s;
    r.Operator = op;
    r.Comment = comment;
    a.AddPoint(r);
}

void PrnWhenModal(std::function<void()> action) {
    QTimer::singleShot(0, qApp, [action] {
        if (QApplication::activeModalWidget()) {
            action();
        } else {
            PrnWhenModal(action);
        }
    });
}
