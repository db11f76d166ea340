// Records for accreditation in the windows: the corrective action on OK, the journal window's filters,
// export and printout, the review sign-off, and what the chart and limits printouts add.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>
#include <map>

#include "GuiTestHelpers.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UDatabase.h"
#include "UDrawChart.h"
#include "UEmployees.h"
#include "UJournal.h"
#include "UOperations.h"
#include "UPrintJob.h"
#include "UPrnCharts.h"
#include "UReview.h"
#include "UShowJournal.h"
#include "UShowLimits.h"
#include "UValidCQ.h"
#include "support_print.h"

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void okOnARejectedRunAsksTheCorrectiveActionAndCancelStaysInTheWindow() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 25);
        TResu r = TestRun(a.Points.back().DateTime + 1,
                          {static_cast<double>(a.Limits[0].Mean + 10 * a.Limits[0].ActionDev)});
        r.AnalyteName = a.Name;
        a.ClassifyRun(r.Levels);
        TWinValidCQ w;
        w.PrepareValidation(a, r);
        w.FormActivate();
        w.show();
        TDialogScript::ReasonNext(QString()); // cancelled
        w.done(QDialog::Accepted);
        QVERIFY(w.isVisible());
        QCOMPARE(TDialogScript::ReasonQuestions().size(), size_t(1));
        TDialogScript::ReasonNext(QStringLiteral("new vial gave 101"));
        w.done(QDialog::Accepted);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.Note().CorrectiveAction, std::string("Repeated the control and it was in range"));
        QCOMPARE(w.Note().Text, std::string("new vial gave 101"));
        QVERIFY(Operations().AcceptRun(a, r, nullptr, w.Note()).Ok());
        TJournalFilter f;
        f.Kind = jk::RunWithViolations;
        const std::vector<TJournalEntry> e = Operations().Journal(f);
        QCOMPARE(e.size(), size_t(1));
        QCOMPARE(
            e[0].Reason,
            std::string("Corrective action: Repeated the control and it was in range; new vial gave 101"));

        // A run in control is accepted without a question.
        TDialogScript::ReasonQuestions().clear();
        TResu fine = TestRun(r.DateTime + 1, {static_cast<double>(a.Limits[0].Mean)});
        fine.AnalyteName = a.Name;
        a.ClassifyRun(fine.Levels);
        w.PrepareValidation(a, fine);
        w.FormActivate();
        w.show();
        w.done(QDialog::Accepted);
        QVERIFY(TDialogScript::ReasonQuestions().empty());
    }

    void journalWindowFiltersExportsAndPrints() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 10);
        TAnalyte& b = AddTestAnalyte("Ur\xe9"
                                     "e",
                                     1, 10); // Windows-1252, as the model keeps names
        QVERIFY(Operations().DeletePoints(a, {0}, "duplicate").Ok());
        QVERIFY(Operations().DeletePoints(b, {0, 0}, "wrong tube").Ok());
        TWinShowJournal w;
        w.FormActivate();
        QCOMPARE(w.Model->rowCount(), 4); // the journal's start and three deletions
        w.CBAnalyte->setCurrentText(QStringLiteral("Urée"));
        QCOMPARE(w.Model->rowCount(), 2);
        for (const TJournalEntry& e : w.Model->Entries()) QCOMPARE(e.Reason, std::string("wrong tube"));
        w.CBAnalyte->setCurrentIndex(0);
        w.CBKind->setCurrentText(QString::fromLatin1(jk::PointDeleted));
        QCOMPARE(w.Model->rowCount(), 3);
        w.CBFrom->setChecked(true);
        w.DateFrom->setDate(QDateOf(Today() + 1));
        QCOMPARE(w.Model->rowCount(), 0);
        w.CBFrom->setChecked(false);

        const QString csv = QString::fromStdString(folder.File("journal.csv"));
        TDialogScript::FileNext(csv);
        w.BtExportClick();
        const std::string text = ReadWholeFile(csv.toStdString());
        QVERIFY(text.rfind("id,time (UTC),", 0) == 0);
        QCOMPARE(PrnCount(text, "point deleted"), 3);
        QVERIFY(text.find(",Urée,") != std::string::npos); // UTF-8

        const QString pdf = QString::fromStdString(folder.File("journal.pdf"));
        SetTestOutput(pdf);
        const std::string head = Operations().JournalAnchor();
        w.BtPrintClick();
        SetTestOutput(QString());
        const std::string printed = PrnPdfText(pdf);
        QCOMPARE(PrnCount(printed, "Journal of changes"), 2); // title and footer
        QVERIFY(!head.empty());
        QVERIFY(printed.find("Journal " + head) != std::string::npos); // the head in the footer
        QVERIFY(printed.find("Hash chain whole (4 entries)") != std::string::npos);
        QVERIFY(printed.find("wrong tube") != std::string::npos);

        // A tampered entry: the check names it.
        Operations().Database().Exec("UPDATE journal SET reason = 'none' WHERE id = 3");
        TDialogScript::Reset();
        w.BtVerifyClick();
        QCOMPARE(ShownTexts().size(), size_t(1));
        QVERIFY(ShownTexts()[0].find("Journal entry 3 does not match") == 0);
    }

    // Years of entries: the window counts them at once and reads only the rows it shows; a filter
    // keeps the same entries as the journal's own.
    void journalWindowPagesALongJournal() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 10);
        QVERIFY(Operations().DeletePoints(a, {0}, "duplicate").Ok());
        TDatabase& db = Operations().Database();
        db.Exec("BEGIN");
        TStatement last = db.Prepare("SELECT id, hash FROM journal ORDER BY id DESC LIMIT 1");
        QVERIFY(last.Step());
        int64_t id = last.Int(0);
        std::string previous = last.Text(1);
        TStatement insert = db.Prepare("INSERT INTO journal VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int k = 0; k < 30000; ++k) {
            TJournalEntry e;
            e.Id = ++id;
            e.TimeUtc = "2026-03-01T08:30:00Z";
            e.TimeLocal = "2026-03-01 09:30:00 +01:00";
            e.Operator = k % 3 ? "QCAA" : "QCBB";
            e.Kind = jk::RunAccepted;
            e.Analyte = "GLU";
            e.After = "L1 5.12 in control";
            e.Hash = JournalHash(previous, e);
            previous = e.Hash;
            insert.Reset();
            insert.Bind(1, e.Id).Bind(2, e.TimeUtc).Bind(3, e.TimeLocal).Bind(4, e.Operator).Bind(5, e.Kind);
            insert.Bind(6, e.Analyte)
                .Bind(7, int64_t{0})
                .Bind(8, e.Point)
                .Bind(9, e.Before)
                .Bind(10, e.After);
            insert.Bind(11, e.Reason).Bind(12, e.Hash);
            insert.Step();
        }
        db.SetMeta("journal_head", std::to_string(id) + " " + previous);
        db.Exec("COMMIT");

        TWinShowJournal w;
        w.FormActivate();
        QCOMPARE(w.CBOperator->findText(QStringLiteral("QCBB")) > 0, true);
        QCOMPARE(w.Model->rowCount(), static_cast<int>(id));
        for (int64_t row : {int64_t{0}, id / 2, id - 1, int64_t{5}})
            QCOMPARE(w.Model->data(w.Model->index(static_cast<int>(row), 0), Qt::DisplayRole).toString(),
                     QString::number(row + 1));
        w.CBOperator->setCurrentText(QStringLiteral("QCBB"));
        TJournalFilter f;
        f.Operator = "QCBB";
        const std::vector<TJournalEntry> expected = Operations().Journal(f);
        QCOMPARE(w.Model->rowCount(), static_cast<int>(expected.size()));
        for (size_t row : {size_t{0}, expected.size() / 2, expected.size() - 1})
            QCOMPARE(w.Model->data(w.Model->index(static_cast<int>(row), 0), Qt::DisplayRole).toString(),
                     QString::number(expected[row].Id));
        QCOMPARE(w.Model->Entries().size(), expected.size());
        QVERIFY(w.Model->Entries().back().Hash == expected.back().Hash);
    }

    void journalPrintoutWrapsOverTheWholeWidthAndRepeatsItsHeading() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 40);
        const std::string reason =
            "the control vial was left open on the bench over the weekend and gave values "
            "far above the usual ones, so every point of it is taken out";
        for (int k = 0; k < 30; ++k) QVERIFY(Operations().DeletePoints(a, {0}, reason).Ok());
        TWinShowJournal w;
        w.FormActivate();
        const QString pdf = QString::fromStdString(folder.File("journal.pdf"));
        SetTestOutput(pdf);
        w.BtPrintClick();
        SetTestOutput(QString());
        const std::vector<TPdfWord> words = PrnPdfWords(pdf);
        QVERIFY(!words.empty());
        const int pages = words.back().Page;
        QVERIFY(pages >= 2);
        // The heading "Reason" starts the last column.
        double reasonLeft = 0;
        for (const TPdfWord& word : words)
            if (word.Text == QStringLiteral("Reason")) reasonLeft = word.X0;
        QVERIFY(reasonLeft > 0.8 * words.front().PageWidth); // the table spans the page
        std::map<int, int> headings;
        std::map<std::pair<int, int>, double> lineStarts; // the reason column's lines: (page, y) to left x
        int weekends = 0, outs = 0;
        for (const TPdfWord& word : words) {
            QVERIFY2(word.X1 <= word.PageWidth && word.X0 >= 0, qPrintable(word.Text));
            if (word.Text == QStringLiteral("Reason")) ++headings[word.Page];
            if (word.X0 < reasonLeft - 1 || word.Text == QStringLiteral("Reason")) continue;
            if (word.Y1 > word.PageHeight - 30) continue; // the footer
            weekends += word.Text == QStringLiteral("weekend");
            outs += word.Text == QStringLiteral("out");
            auto [it, added] = lineStarts.try_emplace({word.Page, qRound(word.Y0)}, word.X0);
            if (!added) it->second = std::min(it->second, word.X0);
        }
        // Every reason whole, each over several lines that all start at the column's left edge.
        QCOMPARE(weekends, 30);
        QCOMPARE(outs, 30);
        QVERIFY(lineStarts.size() >= 30 * 3);
        double left = 1e9, right = 0;
        for (const auto& [line, x] : lineStarts) left = std::min(left, x), right = std::max(right, x);
        QVERIFY2(right - left < 1.0, qPrintable(QStringLiteral("%1 to %2").arg(left).arg(right)));
        // The heading row on every page.
        QCOMPARE(static_cast<int>(headings.size()), pages);
        for (const auto& [page, n] : headings) QCOMPARE(n, 1);
    }

    void reviewWindowShowsThePeriodAndSignsWithTheOperatorsPassword() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 20);
        QVERIFY(Operations().SetOperators({"RV"}).Ok());
        QVERIFY(Operations().SetOperatorPassword("RV", "s3cret").Ok());
        TWinReview w;
        w.FormActivate(&a);
        w.DateFrom->setDate(QDateOf(a.Points.front().DateTime));
        w.DateTo->setDate(QDateOf(a.Points.back().DateTime));
        w.BtShowClick();
        const QString report = w.Report->toPlainText();
        QVERIFY(report.startsWith(QStringLiteral("GLU (mmol/l)")));
        QVERIFY(report.contains(QStringLiteral(": 20 runs")));
        w.CBReviewer->setCurrentText(QStringLiteral("RV"));
        w.EditPassword->setText(QStringLiteral("wrong"));
        QVERIFY(!w.BtSignClick());
        QCOMPARE(ShownTexts().back(), std::string("Wrong password for RV"));
        QVERIFY(w.EditPassword->text().isEmpty());
        // The signature is confirmed: Cancel signs nothing.
        w.EditPassword->setText(QStringLiteral("s3cret"));
        QVERIFY(!w.BtSignClick());
        QVERIFY(ShownTexts().back().find("Sign as RV the review from ") == 0);
        QVERIFY(ShownTexts().back().find("GLU: 20 runs in the period") != std::string::npos);
        QVERIFY(Operations().Reviews("GLU").empty());
        TDialogScript::AnswerNext(mbOK);
        QVERIFY(w.BtSignClick());
        QCOMPARE(Operations().Reviews("GLU").size(), size_t(1));
        QVERIFY(w.Report->toPlainText().contains(QStringLiteral("signed by RV")));
        // A second signature of the period is refused before any question.
        const size_t shown = ShownTexts().size();
        w.EditPassword->setText(QStringLiteral("s3cret"));
        QVERIFY(!w.BtSignClick());
        QCOMPARE(ShownTexts().size(), shown + 1);
        QVERIFY(ShownTexts().back().find("already reviewed and signed by RV") != std::string::npos);
        // The printout carries the report and the sign-off.
        const QString pdf = QString::fromStdString(folder.File("review.pdf"));
        SetTestOutput(pdf);
        const std::string head = Operations().JournalAnchor();
        w.BtPrintClick();
        SetTestOutput(QString());
        const std::string printed = PrnPdfText(pdf);
        QVERIFY(printed.find("20 runs") != std::string::npos);
        QVERIFY(printed.find("Reviewed by RV on ") != std::string::npos);
        QVERIFY(printed.find("Journal " + head) != std::string::npos); // the head the review saw
    }

    void operatorsOwnPasswordIsTypedTwiceAndKeptOutOfTheSettings() {
        TGuiFolder folder;
        QVERIFY(Operations().SetOperators({"RV"}).Ok());
        TWinEmployees w;
        w.FormActivate();
        // Two different texts: said in a box with OK, the window stays open for the repeat, then a
        // matching repeat sets the password; cancel sets none.
        bool stayed = false;
        OnNextModal([&stayed](QDialog* d) {
            auto* p = static_cast<TWinOperatorPassword*>(d);
            p->EditPassword->setText(QStringLiteral("abc"));
            p->EditRepeat->setText(QStringLiteral("abd"));
            p->BtOK->click();
            stayed = p->isVisible() && p->EditRepeat->text().isEmpty() && p->EditPassword->text() == "abc";
            p->BtCancel->click();
        });
        w.BtPasswordClick();
        QVERIFY(stayed);
        QCOMPARE(TDialogScript::Shown().back().text, std::string("The two passwords differ."));
        QCOMPARE(TDialogScript::Shown().back().buttons, unsigned(mbOK));
        QVERIFY(!Operations().OperatorHasPassword("RV"));
        OnNextModal([](QDialog* d) {
            auto* p = static_cast<TWinOperatorPassword*>(d);
            p->EditPassword->setText(QStringLiteral("abc"));
            p->EditRepeat->setText(QStringLiteral("abd"));
            p->BtOK->click();
            p->EditRepeat->setText(QStringLiteral("abc"));
            p->BtOK->click();
        });
        w.BtPasswordClick();
        QVERIFY(Operations().OperatorPasswordMatches("RV", "abc"));
        QVERIFY(!Operations().OperatorPasswordMatches("RV", ""));
        QVERIFY(ReadWholeFile(SettingsFileName()).find("abc") == std::string::npos);
    }

    void theSignedStretchIsABandUnderTheDates() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 10); // one point a day from 1 March 2024
        QImage img(600, 120, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        const TDateTime third = DatePart(a.Points[2].DateTime), fifth = DatePart(a.Points[4].DateTime);
        DrawReviewBand(p, a, 0, 9, 0, {{third, fifth}});
        p.end();
        int y = -1;
        for (int row = 0; row < img.height() && y < 0; ++row)
            if (img.pixelColor(ChartLeft + 3 * PointStep, row) != Qt::white) y = row;
        QVERIFY(y > 0);
        for (int k = 0; k < 10; ++k)
            QCOMPARE(img.pixelColor(ChartLeft + k * PointStep, y) == chartcolour::Green, k >= 2 && k <= 4);
    }

    void chartAndLimitsPrintoutsCarryWhatAnAuditorAsksFor() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("GLU", 1, 25);
        // A far value: flagged on the chart with the rule it breaks.
        TResu far = TestRun(a.Points.back().DateTime + 1,
                            {static_cast<double>(a.Limits[0].Mean + 10 * a.Limits[0].ActionDev)});
        far.AnalyteName = a.Name;
        a.ClassifyRun(far.Levels);
        TRunNote note;
        note.CorrectiveAction = "Recalibrated";
        QVERIFY(Operations().AcceptRun(a, far, nullptr, note).Ok());
        auto print = [&](const std::string& name) {
            const QString pdf = QString::fromStdString(folder.File(name));
            TChartPrintOptions o;
            TPrintJob::WritePdf(pdf, TPrintJobSpec{},
                                [&](TPrintCanvas& c) { PrintCharts(c, a, 0, a.Count() - 1, o); });
            return PrnPdfText(pdf);
        };
        std::string text = print("unsigned.pdf");
        for (const char* expected :
             {"Limits in force", "Limit mode and reference period", "Target (mmol/l)", "Warning limits",
              "Action limits", "Mobile limits, 01/03/2024 to", "Legend:", "discarded", "reviewed and signed",
              "1:3s", "Reviewed by ____"})
            QVERIFY2(text.find(expected) != std::string::npos, expected);

        QVERIFY(Operations().SetOperators({"RV"}).Ok());
        QVERIFY(Operations().SetOperatorPassword("RV", "pw").Ok());
        QVERIFY(
            Operations().SignReview(a, a.Points.front().DateTime, a.Points.back().DateTime, "RV", "pw").Ok());
        text = print("signed.pdf");
        QVERIFY(text.find("Reviewed by RV on ") != std::string::npos);
        QVERIFY(text.find("Reviewed by ____") == std::string::npos);

        const QString limits = QString::fromStdString(folder.File("limits.pdf"));
        TPrintJob::WritePdf(limits, TPrintJobSpec{}, [&](TPrintCanvas& c) { PrintLimits(c, a); });
        text = PrnPdfText(limits);
        for (const char* expected : {"Risks: alert limits 5% ( m ± 1.96s ), action limits 0.2% ( m ± 3.09s )",
                                     "Common CV: on", "Westgard multirules: on", "Reviewed by RV on "})
            QVERIFY2(text.find(expected) != std::string::npos, expected);
    }
};

QTEST_MAIN(TestRecords)
#include "test_records.moc"
