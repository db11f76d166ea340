// Control-limits view: the table of each level's limits, the common-CV switch and its printout.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "TestSeams.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "URunPlanning.h"
#include "UShowLimits.h"
#include "USigmaView.h"
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

// The manual's worked example in the analyte list, its goal kept by the layer: TEa 10 %, targets 5
// and 15; two levels of five values, locked on the first four days and a fifth outside.
TAnalyte& WorkedExample() {
    ListSerum.Clear();
    ListAnalytes.Clear();
    auto& a = ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 3, 2));
    const double l1[] = {4.949, 4.949, 5.05, 5.151, 5.151};
    const double l2[] = {15.147, 15.147, 15.3, 15.453, 15.453};
    for (int k = 0; k < 5; ++k) PrnAddPoint(a, Day0 + k, {l1[k], l2[k]});
    PrnAddPoint(a, Day0 + 10, {6.0, 16.0});
    a.LimitMode = {lmLocked, lmLocked, lmMobile};
    a.LockFirst = {0, 0, -1};
    a.LockLast = {4, 4, -1};
    a.Options &= ~TAnalyte::OptCommonCV; // each level its own SD, as in the manual
    a.RecalcAll();
    WriteAllData();
    if (!Operations().ImportGoals("Glucose;10;5;15").Ok()) qFatal("goal not kept");
    return a;
}

// Pixels of an image that are not the given colour.
int PixelsOtherThan(const QImage& img, QColor colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) != colour;
    return n;
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
    void goalPagesShowTheFiguresAndWidenTheWindow();
    void sigmaPrintoutFollowsTheLimitsWhenAGoalIsSet();
    void useTheseRulesKeepsTheAdviceAsTheAnalytesRules();
    void sigmaPageShowsThePlanOfTheRulesInForce();
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
    std::vector<std::shared_ptr<const TAnalyte>> previews;
    win.ShowPreview = [&](std::shared_ptr<const TAnalyte> copy) { previews.push_back(std::move(copy)); };
    long double ownWarn = 0, liveWarn = 0;
    QString gridCV;
    PrnWhenModal([&] {
        QTest::mouseClick(win.CBCommonCV, Qt::LeftButton);
        // The method is tried on a copy; the analyte keeps its limits until OK.
        QVERIFY(previews.size() == 1 && previews[0] && !previews[0]->CommonCVOn());
        ownWarn = previews[0]->Limits[0].WarnDev;
        liveWarn = a.Limits[0].WarnDev;
        gridCV = win.Grid->item(8, 1)->text();
        QTest::mouseClick(win.BtCancel, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Rejected));
    QVERIFY(ownWarn != pooledWarn);
    QCOMPARE(liveWarn, pooledWarn);
    // The grid was refilled with the level's own CV while the switch was off.
    QCOMPARE(gridCV, QString::fromStdString(FormatFixed(a.AllStats[0].CV, 5, 1) + " %"));
    QVERIFY(a.CommonCVOn());
    QCOMPARE(a.Limits[0].WarnDev, pooledWarn);
    QCOMPARE(a.Limits[0].CV, pooledCV);
    QCOMPARE(previews.size(), size_t(2));
    QVERIFY(!previews[1]);

    PrnWhenModal([&] {
        QTest::mouseClick(win.CBCommonCV, Qt::LeftButton);
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    QVERIFY(!a.CommonCVOn());
    QCOMPARE(a.Limits[0].WarnDev, ownWarn);
    QCOMPARE(previews.size(), size_t(4));
    QVERIFY(previews[2] && !previews[3]);
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
    SetTestOutput(pdf);
    TWinShowLimits win;
    PrnWhenModal([&] {
        QTest::mouseClick(win.BtPrn, Qt::LeftButton);
        QTest::mouseClick(win.BtOK, Qt::LeftButton);
    });
    QCOMPARE(win.Execute(&a), int(QDialog::Accepted));
    SetTestOutput(QString());
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

void TestShowLimits::goalPagesShowTheFiguresAndWidenTheWindow() {
    TGuiTempFolder folder;
    TAnalyte& a = WorkedExample();
    TWinShowLimits win;
    QSize limits, goals, charts;
    QString sigma1, sigma2, bias1, period, advice, reference;
    QImage power, limitsImage;
    PrnWhenModal([&] {
        limits = win.size();
        limitsImage = win.grab().toImage();
        win.PageControl->setCurrentIndex(1);
        goals = win.size();
        sigma1 = win.Sigma->GridSigma->item(8, 1)->text();
        sigma2 = win.Sigma->GridSigma->item(8, 2)->text();
        bias1 = win.Sigma->GridSigma->item(6, 1)->text();
        advice = win.Sigma->MemoAdvice->toPlainText();
        // The same points chosen by dates give the same figures; a day of one point gives none.
        win.Sigma->RBDates->setChecked(true);
        win.Sigma->DateFrom->setDate(QDateOf(Day0 + 10));
        win.Sigma->DateTo->setDate(QDateOf(Day0 + 10));
        period = win.Sigma->GridSigma->item(8, 1)->text();
        win.Sigma->RBReference->setChecked(true);
        reference = win.Sigma->GridSigma->item(8, 1)->text();
        win.PageControl->setCurrentIndex(2);
        charts = win.size();
        power = win.Sigma->PBoxPower->grab().toImage();
        win.reject();
    });
    win.Execute(&a);
    // The limits keep their compact window; the goals' pages widen it within 800 x 600.
    QCOMPARE(limits.width(), win.Grid->width() + 6);
    QVERIFY(goals.width() > limits.width());
    QVERIFY(goals.width() <= 800 && goals.height() <= 600);
    QCOMPARE(charts, goals);
    QVERIFY(PixelsOtherThan(limitsImage, Qt::black) > limitsImage.width() * limitsImage.height() / 2);
    QCOMPARE(sigma1, QString("4.50"));
    QCOMPARE(sigma2, QString("8.00"));
    QCOMPARE(bias1, QString("1.00 %"));
    QCOMPARE(period, QString("n/a: fewer than two values"));
    QCOMPARE(reference, QString("4.50"));
    QVERIFY2(advice.contains("Level 2, Sigma 8.00:\nAdvised (Sigma >= 6): 1:3s with N=2, R=1."),
             qPrintable(advice));
    // The power function is drawn: blue of the program's rules, red of 1:3s.
    int blue = 0, red = 0;
    for (int y = 0; y < power.height(); ++y)
        for (int x = 0; x < power.width(); ++x) {
            const QColor c = power.pixelColor(x, y);
            blue += c == QColor(0, 0, 255);
            red += c == QColor(255, 0, 0);
        }
    QVERIFY(blue > 100);
    QVERIFY(red > 50);
}

void TestShowLimits::sigmaPrintoutFollowsTheLimitsWhenAGoalIsSet() {
    TGuiTempFolder folder;
    TAnalyte& a = WorkedExample();
    const QString pdf = QString::fromStdString(folder.Path()) + "sigma.pdf";
    SetTestOutput(pdf);
    TWinShowLimits win;
    PrnWhenModal([&] {
        QTest::mouseClick(win.BtPrn, Qt::LeftButton);
        win.reject();
    });
    win.Execute(&a);
    std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnCount(text, "QC limits for Glucose"), 2);
    QVERIFY(PrnCount(text, "Quality goals and Sigma for Glucose") >= 2);
    QCOMPARE(PrnCount(text, "Quality goal of Glucose: TEa 10.00 %; target 1: 5.00000; target 2: 15.00000"),
             1);
    QCOMPARE(PrnCount(text, "Sigma = (TEa % - |bias %|) / CV %"), 1);
    QVERIFY(PrnCount(text, "4.50") >= 2);
    QVERIFY(PrnCount(text, "Power function of the rules") == 1);
    QVERIFY(PrnCount(text, "Method decision chart") == 1);
    QCOMPARE(PrnCount(text, "Maximum run size, N=2"), 1);
    // One printout: its pages numbered through, each once.
    const int pages = PrnPdfPages(pdf);
    QVERIFY(pages >= 2);
    for (int k = 1; k <= pages; ++k)
        QVERIFY2(PrnCount(text, "Page " + std::to_string(k) + "/" + std::to_string(pages)) == 1,
                 qPrintable(QStringLiteral("page %1 of %2").arg(k).arg(pages)));
    // Everything within the program's 10 mm margin (28 pt) on every side.
    for (const TPdfWord& w : PrnPdfWords(pdf))
        QVERIFY2(
            w.X0 >= 27 && w.X1 <= w.PageWidth - 27 && w.Y0 >= 27 && w.Y1 <= w.PageHeight - 27,
            qPrintable(w.Text + QStringLiteral(" at %1, %2 on page %3").arg(w.X0).arg(w.Y0).arg(w.Page)));

    // Without a goal the printout is the table of limits alone.
    QVERIFY(Operations().ImportGoals("Glucose;10").Ok());
    QVERIFY(Operations().SetGoal(TQualityGoal{"Glucose", {}, teaPercent, "", {}}).Ok());
    PrnWhenModal([&] {
        QTest::mouseClick(win.BtPrn, Qt::LeftButton);
        win.reject();
    });
    win.Execute(&a);
    SetTestOutput(QString());
    text = PrnPdfText(pdf);
    QCOMPARE(PrnPdfPages(pdf), 1);
    QCOMPARE(PrnCount(text, "Sigma"), 0);
}

void TestShowLimits::useTheseRulesKeepsTheAdviceAsTheAnalytesRules() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    TAnalyte& a = WorkedExample();
    TWinShowLimits win;
    QString before, after;
    bool enabled = false;
    PrnWhenModal([&] {
        win.PageControl->setCurrentIndex(1);
        enabled = win.Sigma->BtUseRules->isEnabled();
        before = win.Sigma->MemoAdvice->toPlainText();
        // Declined: nothing kept. Confirmed: the advice of level 1 (Sigma 4.50, the lower) is kept.
        answers.Answer(mbNo);
        QTest::mouseClick(win.Sigma->BtUseRules, Qt::LeftButton);
        QVERIFY(Operations().RuleSet("Glucose").Empty());
        answers.Answer(mbYes);
        QTest::mouseClick(win.Sigma->BtUseRules, Qt::LeftButton);
        after = win.Sigma->MemoAdvice->toPlainText();
        QTest::mouseClick(win.Sigma->BtUseRules, Qt::LeftButton);
        win.reject();
    });
    win.Execute(&a);
    QVERIFY(enabled);
    QVERIFY2(before.contains("(multirules on)."), qPrintable(before));
    QVERIFY(answers.shown.size() >= 3);
    const std::string& question = answers.shown[1].text;
    QVERIFY2(question.find("rules advised for level 1 (Sigma 4.50): 1:3s, 2:2s, R:4s, 4:1s?") !=
                 std::string::npos,
             question.c_str());
    QVERIFY2(question.find("N=4, R=1 or N=2, R=2") != std::string::npos, question.c_str());
    QCOMPARE(answers.shown[1].kind, mkConfirmation);
    const TQcRuleSet kept = Operations().RuleSet("Glucose");
    QCOMPARE(QcRulesText(kept.Reject), std::string("1:3s, 2:2s, R:4s, 4:1s"));
    QVERIFY(kept.Warn.empty());
    TJournalFilter f;
    f.Kind = jk::GoalChanged;
    const std::vector<TJournalEntry> e = Operations().Journal(f);
    QVERIFY(!e.empty());
    QCOMPARE(e.back().After, std::string("rules 1:3s, 2:2s, R:4s, 4:1s"));
    // The page compares the advice with the rules now kept; a second use has nothing to change.
    QVERIFY2(after.contains("Applied: 1:3s/2:2s/R:4s/4:1s (the analyte's own rules).\nThe program applies "
                            "exactly the advised rules."),
             qPrintable(after));
    QCOMPARE(answers.LastText(), std::string("Glucose is already judged by these rules."));
    QCOMPARE(Operations().Journal(f).size(), e.size());
}

void TestShowLimits::sigmaPageShowsThePlanOfTheRulesInForce() {
    TGuiTempFolder folder;
    TAnalyte& a = WorkedExample();
    QVERIFY(Operations().SetRuleSet("Glucose", MakeQcRuleSet("", "1:3s", "")).Ok());
    TWinShowLimits win;
    QStringList rules, power, size;
    QString memo;
    QImage nomogram;
    PrnWhenModal([&] {
        win.PageControl->setCurrentIndex(1);
        for (int c = 1; c <= 2; ++c) {
            rules << win.Sigma->GridSigma->item(16, c)->text();
            power << win.Sigma->GridSigma->item(17, c)->text();
            size << win.Sigma->GridSigma->item(18, c)->text();
        }
        memo = win.Sigma->MemoAdvice->toPlainText();
        win.PageControl->setCurrentIndex(2);
        nomogram = win.Sigma->PBoxNomogram->grab().toImage();
        win.reject();
    });
    win.Execute(&a);
    QCOMPARE(win.Sigma->GridSigma->item(16, 0)->text(), QString("Rules in force"));
    QCOMPARE(rules, QStringList({"1:3s, N=2", "1:3s, N=2"}));
    // Level 1, Sigma 4.50: 1:3s with two values, closed forms.
    const TRulePlan p = PlanRuns(MakeQcRuleSet("", "1:3s", ""), 2, 4.5L);
    QVERIFY2(power[0].endsWith(" / 0.0054"), qPrintable(power[0]));
    QVERIFY2(power[0].startsWith(QString::fromStdString(FormatFixed(p.Ped.P, 12, 3))), qPrintable(power[0]));
    const QStringList parts = size[0].split(" / ");
    QCOMPARE(parts.size(), 2);
    QVERIFY2(std::abs(parts[1].toLongLong() - p.MaxRunSize) <= 1, qPrintable(size[0]));
    // Level 2, Sigma 8: many times the patients of level 1.
    QVERIFY2(size[1].split(" / ").value(1).toLongLong() > 100 * p.MaxRunSize, qPrintable(size[1]));
    QVERIFY2(memo.contains("Rules in force 1:3s, N=2: Ped, Pfr and run sizes exact."), qPrintable(memo));
    // The nomogram: the curve of the rules in force drawn bold blue, the others dashed in colours.
    int blue = 0, other = 0;
    for (int y = 0; y < nomogram.height(); ++y)
        for (int x = 0; x < nomogram.width(); ++x) {
            const QColor c = nomogram.pixelColor(x, y);
            blue += c == QColor(0, 0, 255);
            other += c.saturation() > 150 && std::abs(c.hue() - 240) > 30;
        }
    QVERIFY(blue > 200);
    QVERIFY(other > 50);
}

QTEST_MAIN(TestShowLimits)
#include "test_showlimits.moc"
