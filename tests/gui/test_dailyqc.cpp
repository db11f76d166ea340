// Daily QC summary: the points of a day, the owner-drawn list with status images, the printout.
#include "URowList.h"
#include <QCalendarWidget>
#include <QPainter>
#include <QPushButton>
#include <QtTest>
#include <cmath>

#include "UDailyQC.h"
#include "UDataLoadSave.h"
#include "UPrintJob.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

const TDateTime D = EncodeDate(2025, 6, 10);

// GLU (3 levels) with two points on day D, ALB (2 levels) with one; points on the days around.
void FillAnalytes() {
    ListAnalytes.Clear();
    ListSerum.Clear();
    auto glu = std::make_unique<TAnalyte>("GLU", "mmol/l", 2, 3);
    PrnAddPoint(*glu, D - 1 + EncodeTime(23, 0, 0), {1, 2, 3});
    PrnAddPoint(*glu, D + EncodeTime(8, 0, 0), {5.1, 10.2, 15.3}, {psHighAction, psInControl, psLowWarning},
                "AB");
    PrnAddPoint(*glu, D + EncodeTime(14, 0, 0), {5.2, NAN, 15.1}, {psInControl, psEmpty, psInControl}, "CD",
                "after calibration");
    PrnAddPoint(*glu, D + 1, {4, 5, 6});
    auto alb = std::make_unique<TAnalyte>("ALB", "g/l", 1, 2);
    PrnAddPoint(*alb, D + EncodeTime(9, 0, 0), {35.5, 42.0}, {psDiscarded, psHighWarning}, "EF");
    ListAnalytes.Add(std::move(glu));
    ListAnalytes.Add(std::move(alb));
}

// The colour in the middle of the status image of a level in a drawn list entry.
QColor StatusColour(const QImage& item, int level) {
    return item.pixelColor(165 + 60 * level + 5, 2 + 5);
}

} // namespace

class TestDailyQC : public QObject {
    Q_OBJECT
private slots:
    void pointsOfADayNewestFirst();
    void linesAndPrintedCells();
    void listWithStatusImagesAndPrintout();
    void dayWithoutPoints();
    void calendarShowsTheListedDay();
    void longNameKeepsToItsColumn();
};

void TestDailyQC::pointsOfADayNewestFirst() {
    TGuiTempFolder folder;
    FillAnalytes();
    auto pts = DailyPoints(ListAnalytes, D + 0.5);
    QCOMPARE(pts.size(), size_t(3));
    QCOMPARE(pts[0].Analyte->Name, std::string("GLU"));
    QCOMPARE(pts[0].Index, 2);
    QCOMPARE(pts[1].Index, 1);
    QCOMPARE(pts[2].Analyte->Name, std::string("ALB"));
    QVERIFY(DailyPoints(ListAnalytes, D + 3).empty());
    QCOMPARE(DailyPoints(ListAnalytes, D - 1).size(), size_t(1));
}

void TestDailyQC::linesAndPrintedCells() {
    TGuiTempFolder folder;
    FillAnalytes();
    auto pts = DailyPoints(ListAnalytes, D);
    QCOMPARE(DailyLine(pts[0]), std::string("GLU\t14:00:00\t5.20\t\t15.10\tCD\tafter calibration"));
    // Two levels: the QC3 column is empty.
    QCOMPARE(DailyLine(pts[2]), std::string("ALB\t09:00:00\t35.5\t42.0\t\tEF\t"));
    auto cells = DailyCells(pts);
    QCOMPARE(cells.size(), size_t(7 * 4));
    QCOMPARE(cells[0].Text, std::string("Analytes"));
    QCOMPARE(cells[6].Mark, uint8_t(cmSilver));
    QCOMPARE(cells[7 * 2 + 2].Mark, uint8_t(cmUpUp));
    QCOMPARE(cells[7 * 2 + 4].Mark, uint8_t(cmDown));
    QCOMPARE(cells[7 * 3 + 2].Text, std::string("35.5"));
    QCOMPARE(cells[7 * 3 + 2].Mark, uint8_t(cmCross));
    QCOMPARE(cells[7 * 3 + 4].Text, std::string());
    QCOMPARE(cells[7 * 3 + 4].Mark, uint8_t(cmNone));
    QCOMPARE(DailyTitle(D), std::string("Cumulative daily QC : 10/06/2025"));
}

void TestDailyQC::listWithStatusImagesAndPrintout() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    FillAnalytes();
    QString pdf = QString::fromStdString(folder.Path()) + "daily.pdf";
    SetTestOutput(pdf);
    TWinDailyQC win;
    QDate shownFirst;
    int count = 0;
    QString firstLine;
    QImage glu(560, 13, QImage::Format_RGB32), alb(560, 13, QImage::Format_RGB32);
    PrnWhenModal([&] {
        shownFirst = win.Calendar->selectedDate();
        win.Calendar->setSelectedDate(QDate(2025, 6, 10));
        count = win.LB->Count();
        firstLine = win.LB->RowText(0);
        {
            QPainter p(&glu);
            win.LBDrawItem(p, 1, QRect(0, 0, 560, 13), false);
        }
        {
            QPainter p(&alb);
            win.LBDrawItem(p, 2, QRect(0, 0, 560, 13), false);
        }
        QTest::mouseClick(win.BtPrn, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(ListAnalytes), int(QDialog::Accepted));
    SetTestOutput(QString());
    QCOMPARE(shownFirst, QDateOf(Today()));
    QCOMPARE(count, 3);
    QCOMPARE(firstLine, QString("GLU\t14:00:00\t5.20\t\t15.10\tCD\tafter calibration"));
    // Entry 1 (odd, light cyan): action red, in-control green, warning yellow.
    QCOMPARE(StatusColour(glu, 0), QColor(255, 0, 0));
    QCOMPARE(StatusColour(glu, 1), QColor(0, 192, 0));
    QCOMPARE(StatusColour(glu, 2), QColor(255, 224, 0));
    QCOMPARE(glu.pixelColor(2, 0), QColor(192, 255, 255));
    // Entry 2 (even, white): a red cross for the discarded value, no image for the missing QC3.
    QColor cross = alb.pixelColor(165 + 6, 2 + 6);
    QVERIFY(cross.red() > 200 && cross.green() < 100);
    QCOMPARE(StatusColour(alb, 2), QColor(Qt::white));

    std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnCount(text, "Cumulative daily QC : 10/06/2025"), 2);
    QCOMPARE(PrnCount(text, "Archive document - Keep it"), 1);
    // One merged cell for the two GLU rows.
    QCOMPARE(PrnCount(text, "GLU"), 1);
    QCOMPARE(PrnCount(text, "ALB"), 1);
    QCOMPARE(PrnCount(text, "after calibration"), 1);
    QVERIFY(answers.shown.empty());
}

void TestDailyQC::dayWithoutPoints() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    FillAnalytes();
    QString pdf = QString::fromStdString(folder.Path()) + "empty.pdf";
    SetTestOutput(pdf);
    TWinDailyQC win;
    int count = -1;
    bool stayed = false;
    PrnWhenModal([&] {
        win.Calendar->setSelectedDate(QDate(2025, 6, 12));
        count = win.LB->Count();
        QTest::mouseClick(win.BtPrn, Qt::LeftButton);
        stayed = win.isVisible();
        // Escape from the list closes the window.
        QTest::keyClick(win.LB, Qt::Key_Escape);
    });
    win.Execute(ListAnalytes);
    SetTestOutput(QString());
    QCOMPARE(count, 0);
    QVERIFY(stayed);
    QVERIFY(!win.isVisible());
    QCOMPARE(answers.shown.size(), size_t(1));
    QCOMPARE(answers.LastText(), std::string("Nothing to print"));
    QCOMPARE(answers.shown[0].buttons, unsigned(mbOK));
    QVERIFY(!QFile::exists(pdf));
}

// The calendar's page is the month of the listed day, after another month was browsed.
void TestDailyQC::calendarShowsTheListedDay() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    TWinDailyQC win;
    const QDate today = QDateOf(Today());
    auto shown = [&win] { return QDate(win.Calendar->yearShown(), win.Calendar->monthShown(), 1); };
    const QDate todaysPage(today.year(), today.month(), 1);
    QDate reopened, afterToday;
    PrnWhenModal([&] {
        win.Calendar->showPreviousMonth();
        QTest::keyClick(win.LB, Qt::Key_Escape);
    });
    win.Execute(ListAnalytes);
    PrnWhenModal([&] {
        reopened = shown();
        win.Calendar->showPreviousMonth();
        QTest::mouseClick(win.BtToday, Qt::LeftButton);
        afterToday = shown();
        QTest::keyClick(win.LB, Qt::Key_Escape);
    });
    win.Execute(ListAnalytes);
    QCOMPARE(reopened, todaysPage);
    QCOMPARE(afterToday, todaysPage);
    QCOMPARE(win.Calendar->selectedDate(), today);
    QVERIFY(win.width() <= 792); // fits an 800-pixel screen, as the main window does
}

// A name of 15 characters ends before the time, the time before the first status image.
void TestDailyQC::longNameKeepsToItsColumn() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    FillAnalytes();
    auto longName = std::make_unique<TAnalyte>("WMWMWMWMWMWMWMW", "mmol/l", 2, 1);
    PrnAddPoint(*longName, D + EncodeTime(18, 58, 58), {5.1}, {psHighWarning}, "AB");
    ListAnalytes.Add(std::move(longName));
    TWinDailyQC win;
    int nameEnd = 0, timeEnd = 0, imageLeft = 0;
    QImage row(560, 13, QImage::Format_RGB32);
    PrnWhenModal([&] {
        win.Calendar->setSelectedDate(QDate(2025, 6, 10));
        const QFontMetrics fm(win.LB->font());
        nameEnd = fm.horizontalAdvance(QStringLiteral("WMWMWMWMWMWMWMW"));
        timeEnd = static_cast<int>(win.TabStops()[0]) + fm.horizontalAdvance(QStringLiteral("18:58:58"));
        imageLeft = win.ImageLeft(0);
        for (int i = 0; i < win.LB->Count(); ++i)
            if (win.Points()[static_cast<size_t>(i)].Analyte->Name.size() == 15) {
                QPainter p(&row);
                win.LBDrawItem(p, i, QRect(0, 0, 560, 13), false);
            }
        win.BtOK->click();
    });
    win.Execute(ListAnalytes);
    QVERIFY2(nameEnd < win.TabStops()[0], qPrintable(QString::number(nameEnd)));
    QVERIFY2(timeEnd < imageLeft, qPrintable(QStringLiteral("%1 %2").arg(timeEnd).arg(imageLeft)));
    QCOMPARE(row.pixelColor(imageLeft + 5, 2 + 5), QColor(255, 224, 0));
}

QTEST_MAIN(TestDailyQC)
#include "test_dailyqc.moc"
