// Data printout: the table built from an analyte's points, and the window printing it to PDF.
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cmath>

#include "UDataLoadSave.h"
#include "UPrintJob.h"
#include "UPrnData.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

const TDateTime Day1 = EncodeDate(2025, 3, 1);
const TDateTime Day2 = EncodeDate(2025, 3, 4);

// Two levels; two points on day 1, one on day 2.
TAnalyte TwoLevelAnalyte() {
    ListSerum.Clear();
    TAnalyte a("GLU", "mmol/l", 2, 2);
    a.MaterialId[0] = ListSerum.AddMaterial("Lypho 1", "L123");
    a.MaterialId[1] = ListSerum.AddMaterial("Norm", "");
    PrnAddPoint(a, Day1 + EncodeTime(10, 0, 0), {5.0, 10.0}, {psInControl, psHighWarning}, "AB", "new lot");
    PrnAddPoint(a, Day1 + EncodeTime(12, 30, 0), {5.5, NAN}, {psDiscarded, psEmpty}, "CD");
    PrnAddPoint(a, Day2 + EncodeTime(9, 15, 0), {6.0, 11.0}, {psLowAction, psEmpty}, "AB");
    return a;
}

const TPrnCell& Cell(const TDataTable& t, int row, int col) {
    return t.Cells[static_cast<size_t>(row * t.NCols + col)];
}

} // namespace

class TestPrnData : public QObject {
    Q_OBJECT
private slots:
    void tableColumnsMarksAndHeaderLines();
    void statisticsLines();
    void intervalInEitherOrder();
    void windowPrintsReversedInterval();
    void windowRefusesEmptyIntervalAndAnalyteWithoutPoints();
    void clicksOnTheDateFramesChangeNothing();
};

void TestPrnData::tableColumnsMarksAndHeaderLines() {
    TGuiTempFolder folder;
    TAnalyte a = TwoLevelAnalyte();
    TDataTable t = BuildDataTable(a, 0, 2, false);
    QCOMPARE(t.NCols, 6);
    QCOMPARE(t.Widths, (std::vector<int>{9, 9, 12, 12, 8, 22}));
    QCOMPARE(t.HeaderLines, (std::vector<std::string>{"QC1 : Lypho 1 (lot L123)", "QC2 : Norm"}));
    QCOMPARE(t.Cells.size(), size_t(6 * 4));
    for (int c = 0; c < 6; ++c) QCOMPARE(Cell(t, 0, c).Mark, uint8_t(cmSilver));
    QCOMPARE(Cell(t, 0, 2).Text, std::string("QC1"));
    QCOMPARE(Cell(t, 1, 0).Text, std::string("01/03/2025"));
    QCOMPARE(Cell(t, 1, 1).Text, std::string("10:00:00"));
    QCOMPARE(Cell(t, 1, 2).Text, std::string("5.00"));
    QCOMPARE(Cell(t, 1, 2).Mark, uint8_t(cmNone));
    QCOMPARE(Cell(t, 1, 3).Mark, uint8_t(cmUp));
    QCOMPARE(Cell(t, 1, 4).Text, std::string("AB"));
    QCOMPARE(Cell(t, 1, 5).Text, std::string("new lot"));
    // A discarded value is printed crossed out; a level without a value is empty and unmarked.
    QCOMPARE(Cell(t, 2, 2).Text, std::string("5.50"));
    QCOMPARE(Cell(t, 2, 2).Mark, uint8_t(cmCross));
    QCOMPARE(Cell(t, 2, 3).Text, std::string());
    QCOMPARE(Cell(t, 2, 3).Mark, uint8_t(cmNone));
    QCOMPARE(Cell(t, 2, 5).Text, std::string());
    QCOMPARE(Cell(t, 3, 2).Mark, uint8_t(cmDownDown));
    QCOMPARE(ValueMark(psHighAction), uint8_t(cmUpUp));
    QCOMPARE(ValueMark(psLowWarning), uint8_t(cmDown));

    TAnalyte one("K", "mmol/l", 1, 1);
    PrnAddPoint(one, Day1, {4.1});
    QCOMPARE(BuildDataTable(one, 0, 0, true).NCols, 5);
}

void TestPrnData::statisticsLines() {
    TGuiTempFolder folder;
    TAnalyte a = TwoLevelAnalyte();
    TDataTable t = BuildDataTable(a, 0, 2, true);
    QCOMPARE(t.Cells.size(), size_t(6 * 7));
    for (int r = 4; r <= 6; ++r) {
        QCOMPARE(Cell(t, r, 0).Text, std::string("Statistics"));
        for (int c = 0; c < 6; ++c) QCOMPARE(Cell(t, r, c).Mark, uint8_t(cmSilver));
    }
    // Level 1 counts 5.0 and 6.0 (the discarded 5.5 does not count); the mean has one decimal more.
    QCOMPARE(Cell(t, 4, 1).Text, std::string("Mean"));
    QCOMPARE(Cell(t, 4, 2).Text, std::string("5.500"));
    QCOMPARE(Cell(t, 4, 4).Text, std::string("mmol/l"));
    QCOMPARE(Cell(t, 5, 2).Text, std::string("12.9"));
    QCOMPARE(Cell(t, 5, 4).Text, std::string("%"));
    QCOMPARE(Cell(t, 6, 2).Text, std::string("2"));
    // Level 2 has a single value: a mean, no CV.
    QCOMPARE(Cell(t, 4, 3).Text, std::string("10.000"));
    QCOMPARE(Cell(t, 5, 3).Text, std::string());
    QCOMPARE(Cell(t, 6, 3).Text, std::string("1"));
    // Statistics over a part of the points only.
    TDataTable day2 = BuildDataTable(a, 2, 2, true);
    QCOMPARE(Cell(day2, 2, 2).Text, std::string("6.000"));
    QCOMPARE(Cell(day2, 2, 3).Text, std::string());
    QCOMPARE(Cell(day2, 4, 3).Text, std::string("0"));
}

void TestPrnData::intervalInEitherOrder() {
    TGuiTempFolder folder;
    TAnalyte a = TwoLevelAnalyte();
    TPointInterval iv = PointInterval(a, Day1 + 0.7, Day2);
    QCOMPARE(iv.First, 0);
    QCOMPARE(iv.Last, 2);
    QCOMPARE(iv.Count, 3);
    TPointInterval rev = PointInterval(a, Day2, Day1);
    QCOMPARE(rev.First, iv.First);
    QCOMPARE(rev.Count, iv.Count);
    QCOMPARE(PointInterval(a, Day2, Day2).First, 2);
    QCOMPARE(PointInterval(a, Day2, Day2).Count, 1);
    QCOMPARE(PointInterval(a, Day1 + 1, Day2 - 1).Count, 0);
    QCOMPARE(PointInterval(a, Day2 + 1, Day2 + 5).Count, 0);
}

void TestPrnData::windowPrintsReversedInterval() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    TAnalyte a = TwoLevelAnalyte();
    QString pdf = QString::fromStdString(folder.Path()) + "data.pdf";
    SetTestOutput(pdf);
    TWinPrnData win;
    QString caption, lines;
    PrnWhenModal([&] {
        caption = win.windowTitle();
        // The last date chosen before the first: the same interval is printed.
        win.DatePicker1->setDate(QDate(2025, 3, 4));
        win.DatePicker2->setDate(QDate(2025, 3, 1));
        lines = win.PanelNbLines->text();
        QVERIFY(win.CBPrnStats->isChecked());
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    SetTestOutput(QString());
    QCOMPARE(caption, QString("Print QC data for GLU"));
    QCOMPARE(lines, QString("3"));
    QVERIFY(answers.shown.empty());
    QCOMPARE(TPrintJob::LastSpec().JobTitle, QString("Printing QC data"));
    QCOMPARE(TPrintJob::LastSpec().Orientation, QPageLayout::Portrait);
    std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnPdfPages(pdf), 1);
    QCOMPARE(PrnCount(text, "QC data for GLU"), 2); // title box and footer
    QCOMPARE(PrnCount(text, "QC1 : Lypho 1 (lot L123)"), 1);
    // Two points of one day share one date cell; each keeps its time.
    QCOMPARE(PrnCount(text, "01/03/2025"), 1);
    QCOMPARE(PrnCount(text, "10:00:00"), 1);
    QCOMPARE(PrnCount(text, "12:30:00"), 1);
    QCOMPARE(PrnCount(text, "Statistics"), 1);
    QCOMPARE(PrnCount(text, "5.500"), 1);
    QCOMPARE(PrnCount(text, "- Page 1/1 -"), 1);
}

void TestPrnData::windowRefusesEmptyIntervalAndAnalyteWithoutPoints() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    QString pdf = QString::fromStdString(folder.Path()) + "none.pdf";
    SetTestOutput(pdf);
    TWinPrnData win;
    TAnalyte empty("NA", "mmol/l", 0, 1);
    QCOMPARE(win.Execute(&empty), int(QDialog::Rejected));
    QCOMPARE(answers.LastText(), std::string("Nothing to print"));
    QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));

    TAnalyte a = TwoLevelAnalyte();
    bool stayed = false;
    PrnWhenModal([&] {
        win.DatePicker1->setDate(QDate(2025, 3, 2));
        win.DatePicker2->setDate(QDate(2025, 3, 3));
        QTest::mouseClick(win.BtPrint, Qt::LeftButton);
        stayed = win.isVisible();
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Rejected));
    SetTestOutput(QString());
    QVERIFY(stayed);
    QCOMPARE(answers.shown.size(), size_t(2));
    QCOMPARE(answers.LastText(), std::string("Nothing to print"));
    QVERIFY(!QFile::exists(pdf));
}

// A click on a date box's frame, outside its text and its arrow, leaves the date as it is.
void TestPrnData::clicksOnTheDateFramesChangeNothing() {
    TGuiTempFolder folder;
    TAnalyte a = TwoLevelAnalyte();
    TWinPrnData win;
    QDate first, second;
    bool calendarOpened = false;
    PrnWhenModal([&] {
        for (QDateEdit* d : {win.DatePicker1, win.DatePicker2})
            for (QPoint at :
                 {QPoint(1, d->height() - 2), QPoint(1, 1), QPoint(d->width() / 3, d->height() - 1)})
                QTest::mouseClick(d, Qt::LeftButton, {}, at);
        first = win.DatePicker1->date();
        second = win.DatePicker2->date();
        // The arrow still opens the calendar.
        QTest::mouseClick(win.DatePicker1, Qt::LeftButton, {},
                          QPoint(win.DatePicker1->width() - 6, win.DatePicker1->height() / 2));
        calendarOpened = win.DatePicker1->calendarWidget()->isVisible();
        win.DatePicker1->calendarWidget()->window()->hide();
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    win.Execute(&a);
    QCOMPARE(first, QDateOf(a.Points.front().DateTime));
    QCOMPARE(second, QDateOf(a.Points.back().DateTime));
    QVERIFY(calendarOpened);
}

QTEST_MAIN(TestPrnData)
#include "test_prndata.moc"
