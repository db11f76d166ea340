// Control-limits view: the table of each level's limits, the common-CV switch and its printout.
#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UPrintJob.h"
#include "UShowLimits.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

const TDateTime Day0 = EncodeDate(2025, 5, 1);

// Three levels: 0 locked on points 1 to 3, 1 fixed, 2 mobile with one repeated value.
TAnalyte MixedAnalyte() {
    ListSerum.Clear();
    TAnalyte a("GLU", "mmol/l", 2, 3);
    a.MaterialId[0] = ListSerum.AddMaterial("Lypho 1", "L123");
    a.MaterialId[1] = ListSerum.AddMaterial("Lypho 2", "");
    const double v0[] = {5.0, 5.2, 4.8, 5.1, 4.9, 5.3};
    for (int i = 0; i < 6; ++i) PrnAddPoint(a, Day0 + i, {v0[i], 10.0 + 0.1 * i, 7.0});
    a.Options = TAnalyte::OptMultirules;
    a.LimitMode[0] = lmLocked;
    a.LockFirst[0] = 1;
    a.LockLast[0] = 3;
    a.LimitMode[1] = lmFixed;
    a.Limits[1].Mean = 10;
    a.Limits[1].WarnDev = 1;
    a.Limits[1].ActionDev = 1.5L;
    a.RecalcAll();
    return a;
}

// Two mobile levels with spread, common CV on.
TAnalyte CommonCVAnalyte() {
    ListSerum.Clear();
    TAnalyte a("CA", "mmol/l", 2, 2);
    const double v[][2] = {{2.0, 3.0}, {2.2, 3.1}, {2.1, 2.8}, {1.9, 3.3}, {2.05, 2.9}};
    for (int i = 0; i < 5; ++i) PrnAddPoint(a, Day0 + i, {v[i][0], v[i][1]});
    a.RecalcAll();
    return a;
}

} // namespace

class TestShowLimits : public QObject {
    Q_OBJECT
private slots:
    void textsOfLockedFixedAndUnavailableLevels();
    void allFixedHidesCommonCV();
    void cancelRestoresCommonCVAndOKKeepsIt();
    void keyButtonUnlocksCommonCV();
    void printoutHasGreyFirstRowAndColumn();
    void everyTextFitsItsCell();
};

void TestShowLimits::textsOfLockedFixedAndUnavailableLevels() {
    TGuiTempFolder folder;
    TAnalyte a = MixedAnalyte();
    auto t = LimitsTexts(a);
    QCOMPARE(t.size(), size_t(10));
    QCOMPARE(t[0][0], std::string("Control materials"));
    QCOMPARE(t[9][0], std::string("# degrees of freedom"));
    QCOMPARE(t[0][1], std::string("Lypho 1"));
    QCOMPARE(t[1][1], std::string("L123"));
    QCOMPARE(t[0][3], std::string("Unknown"));
    QCOMPARE(t[2][1], std::string("Locked limits"));
    QCOMPARE(t[2][2], std::string("Fixed limits"));
    QCOMPARE(t[2][3], std::string("Mobile limits"));
    // Locked: statistics of points 1 to 3 (5.2, 4.8, 5.1) and their dates.
    QCOMPARE(t[3][1], std::string("5.033 mmol/l"));
    QCOMPARE(t[6][1], std::string("02/05/2025 - 04/05/2025"));
    QCOMPARE(t[7][1], std::string("3"));
    QCOMPARE(t[9][1], std::string("2"));
    QVERIFY(t[8][1].ends_with(" %"));
    QVERIFY(t[4][1].find("  /  ") != std::string::npos);
    // Fixed: target and limits, no reference period.
    QCOMPARE(t[3][2], std::string("10.000 mmol/l"));
    QCOMPARE(t[4][2], std::string("9.000  /  11.000"));
    QCOMPARE(t[5][2], std::string("8.500  /  11.500"));
    for (int r = 6; r <= 9; ++r) QCOMPARE(t[static_cast<size_t>(r)][2], std::string());
    // Mobile without a CV: target and N, no limits, no CV, no degrees of freedom.
    QCOMPARE(t[3][3], std::string("7.000 mmol/l"));
    QCOMPARE(t[4][3], std::string());
    QCOMPARE(t[5][3], std::string());
    QCOMPARE(t[6][3], std::string("01/05/2025 - 06/05/2025"));
    QCOMPARE(t[7][3], std::string("6"));
    QCOMPARE(t[8][3], std::string());
    QCOMPARE(t[9][3], std::string());
}

void TestShowLimits::allFixedHidesCommonCV() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    Settings.Password = "SECRET";
    TAnalyte a = MixedAnalyte();
    a.LimitMode[0] = lmFixed;
    a.LimitMode[2] = lmFixed;
    TWinShowLimits win;
    bool cvVisible = true, keyVisible = true;
    int columns = 0;
    PrnWhenModal([&] {
        cvVisible = win.CBCommonCV->isVisible();
        keyVisible = win.BtCle->isVisible();
        columns = win.Grid->columnCount();
        win.reject();
    });
    win.Execute(&a);
    QVERIFY(!cvVisible);
    QVERIFY(!keyVisible);
    QCOMPARE(columns, 4);
    QCOMPARE(win.windowTitle(), QString("Control limits for GLU"));

    QCOMPARE(win.Execute(nullptr), int(QDialog::Rejected));
    QCOMPARE(answers.LastText(), std::string("No analyte."));
    QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
}

void TestShowLimits::cancelRestoresCommonCVAndOKKeepsIt() {
    TGuiTempFolder folder;
    TAnalyte a = CommonCVAnalyte();
    QVERIFY(a.CommonCVOn());
    const long double pooledWarn = a.Limits[0].WarnDev;
    const float pooledCV = a.Limits[0].CV;
    TWinShowLimits win;
    int repaints = 0;
    win.RepaintChart = [&] { ++repaints; };
    long double ownWarn = 0;
    QString gridCV;
    PrnWhenModal([&] {
        QTest::mouseClick(win.CBCommonCV, Qt::LeftButton);
        ownWarn = a.Limits[0].WarnDev;
        gridCV = win.Grid->item(8, 1)->text();
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Rejected));
    QVERIFY(ownWarn != pooledWarn);
    // The grid was refilled with the level's own CV while the switch was off.
    QCOMPARE(gridCV, QString::fromStdString(FormatFixed(a.AllStats[0].CV, 5, 1) + " %"));
    QVERIFY(a.CommonCVOn());
    QCOMPARE(a.Limits[0].WarnDev, pooledWarn);
    QCOMPARE(a.Limits[0].CV, pooledCV);
    QCOMPARE(repaints, 2);

    PrnWhenModal([&] {
        QTest::mouseClick(win.CBCommonCV, Qt::LeftButton);
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    QVERIFY(!a.CommonCVOn());
    QCOMPARE(a.Limits[0].WarnDev, ownWarn);
    QCOMPARE(repaints, 3);
}

void TestShowLimits::keyButtonUnlocksCommonCV() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    Settings.Password = "SECRET";
    TAnalyte a = CommonCVAnalyte();
    TWinShowLimits win;
    bool lockedAtFirst = false, afterWrong = true, keyUp = false, afterRight = false, keyGone = false;
    answers.AnswerPassword(false);
    answers.AnswerPassword(true);
    PrnWhenModal([&] {
        lockedAtFirst = !win.CBCommonCV->isEnabled() && win.BtCle->isVisible();
        QTest::mouseClick(win.BtCle, Qt::LeftButton);
        afterWrong = win.CBCommonCV->isEnabled();
        keyUp = !win.BtCle->isChecked() && win.BtCle->isVisible();
        QTest::mouseClick(win.BtCle, Qt::LeftButton);
        afterRight = win.CBCommonCV->isEnabled();
        keyGone = !win.BtCle->isVisible();
        win.reject();
    });
    win.Execute(&a);
    QVERIFY(lockedAtFirst);
    QVERIFY(!afterWrong);
    QVERIFY(keyUp);
    QVERIFY(afterRight);
    QVERIFY(keyGone);
    QCOMPARE(answers.passwordQuestions, 2);
    // The next visit is locked again.
    bool relocked = false;
    PrnWhenModal([&] {
        relocked = !win.CBCommonCV->isEnabled() && win.BtCle->isVisible();
        win.reject();
    });
    win.Execute(&a);
    QVERIFY(relocked);
}

void TestShowLimits::printoutHasGreyFirstRowAndColumn() {
    TGuiTempFolder folder;
    TAnalyte a = MixedAnalyte();
    QString pdf = QString::fromStdString(folder.Path()) + "limits.pdf";
    TPrintJob::SetTestOutput(pdf);
    TWinShowLimits win;
    PrnWhenModal([&] {
        QTest::mouseClick(win.BtPrn, Qt::LeftButton);
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    TPrintJob::SetTestOutput(QString());
    std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnCount(text, "QC limits for GLU"), 2);
    QCOMPARE(PrnCount(text, "# degrees of freedom"), 1);
    QCOMPARE(PrnCount(text, "9.000 / 11.000"), 1);

    // The same table laid out on the same page, to find its cells in the rendered page.
    TTableLayout lay;
    TPrintJob::WritePdf(QString::fromStdString(folder.Path()) + "scratch.pdf", TPrintJob::LastSpec(),
                        [&](TPrintCanvas& c) {
                            lay = LayoutTable(TableMetrics(c), "QC limits for GLU", {"", ""}, LimitsCells(a),
                                              4, {20, 20, 20, 20}, false);
                        });
    const int dpi = 600;
    const QMarginsF m = TPrintJob::PdfPageLayout(TPrintJob::LastSpec()).margins(QPageLayout::Inch);
    QImage img = PrnRenderPage(
        pdf, 1, dpi, QRect(QPoint(int(m.left() * dpi), int(m.top() * dpi)), QSize(5000, lay.ResultY)));
    QVERIFY(!img.isNull());
    auto colourOf = [&](int row, int col) {
        for (const TLaidCell& c : lay.Pages[0].Cells)
            if (c.Row == row && c.Col == col)
                return img.pixelColor((c.Rect.Left + c.Rect.Right) / 2,
                                      c.Rect.Top + (c.Rect.Bottom - c.Rect.Top) / 8);
        return QColor();
    };
    const QColor grey(192, 192, 192), white(Qt::white);
    QCOMPARE(colourOf(0, 0), grey);
    QCOMPARE(colourOf(0, 2), grey);
    QCOMPARE(colourOf(0, 3), grey);
    QCOMPARE(colourOf(5, 0), grey);
    QCOMPARE(colourOf(9, 0), grey);
    QCOMPARE(colourOf(1, 1), white);
    QCOMPARE(colourOf(4, 2), white);
    QCOMPARE(colourOf(9, 3), white);
}

// Labels and date intervals are shown whole: columns widen to their longest text, the window with them.
void TestShowLimits::everyTextFitsItsCell() {
    TGuiTempFolder folder;
    TAnalyte a = MixedAnalyte();
    TWinShowLimits win;
    QStringList cut;
    int columnsWidth = 0;
    PrnWhenModal([&] {
        const QFontMetrics fm = win.Grid->fontMetrics();
        for (int c = 0; c < win.Grid->columnCount(); ++c) {
            columnsWidth += win.Grid->columnWidth(c);
            for (int r = 0; r < win.Grid->rowCount(); ++r)
                if (QTableWidgetItem* it = win.Grid->item(r, c))
                    if (fm.horizontalAdvance(it->text()) + 6 > win.Grid->columnWidth(c)) cut << it->text();
        }
        win.reject();
    });
    win.Execute(&a);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(" | "))));
    QVERIFY(win.Grid->width() >= columnsWidth);
    QVERIFY(win.width() >= win.Grid->width());
}

QTEST_MAIN(TestShowLimits)
#include "test_showlimits.moc"
