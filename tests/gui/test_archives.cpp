// Tests of the archives list and viewer: pending deletions, missing files, lock, show and printouts.
#include "URowList.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "UArchive.h"
#include "UArchives.h"
#include "UAtomicFile.h"
#include "UGlobale.h"
#include "UPrintJob.h"
#include "UShowArchive.h"
#include "UStructures.h"
#include "support_exchange.h"
#include "support_print.h"
#include "support_prompt.h"
#include "support_reference.h"

namespace {
std::string Summary(int n) {
    return "0" + std::to_string(n) + "/01/2024\t1" + std::to_string(n) + "/01/2024\tLyphochek\tL" +
           std::to_string(n) + "\t5.250\t3.1\t" + std::to_string(10 + n);
}

// An archive file of `points` point lines.
void WriteArchive(int n, int points = 2, const std::string& summary = "") {
    std::string text = "Glucose\r\ng/L\r\n" + (summary.empty() ? Summary(n) : summary) + "\r\n";
    for (int i = 0; i < points; ++i)
        text += "0" + std::to_string(i + 1) + "/01/2024\t08:00:00\t5.2" + std::to_string(i) + "\tAB\tok\r\n";
    AtomicWriteFile(ArchiveFileName(n), text);
}

bool Exists(int n) {
    return std::filesystem::exists(ArchiveFileName(n));
}

void SelectRows(TRowList* l, std::initializer_list<int> rows) {
    l->clearSelection();
    for (int r : rows) l->SetRowSelected(r, true);
}
} // namespace

class TestArchives : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TScriptedAnswers answers; // reasons for deletions answered
    TWinArchives* w = nullptr;
    TAnalyte* a = nullptr;

private slots:
    void init() {
        RefResetLists();
        Settings.Password.clear();
        for (const auto& e : std::filesystem::directory_iterator(folder.Path())) std::filesystem::remove(e);
        a = &RefAddAnalyte("Glucose", 2);
        for (int n = 1; n <= 3; ++n) {
            WriteArchive(n);
            a->ArchiveNumbers.push_back(n);
        }
        w = new TWinArchives;
    }
    void cleanup() { delete w; }

    void cancelKeepsDeletedArchives() {
        w->Open(*a);
        QCOMPARE(w->windowTitle(), QStringLiteral("QC archives for Glucose"));
        QCOMPARE(w->LBArchi->Count(), 3);
        QCOMPARE(w->LBArchi->RowText(1).toStdString(), Summary(2));
        QVERIFY(w->BtDelete->isEnabled());
        QVERIFY(w->BtCle->isHidden());
        SelectRows(w->LBArchi, {0, 2});
        w->BtDeleteClick();
        QCOMPARE(w->LBArchi->Count(), 1);
        QCOMPARE(w->PendingDeletions(), std::vector<int32_t>({3, 1})); // visited from the last
        w->reject();
        QCOMPARE(a->ArchiveNumbers, std::vector<int32_t>({1, 2, 3}));
        QVERIFY(Exists(1) && Exists(2) && Exists(3));
        // The next visit starts afresh.
        w->Open(*a);
        QCOMPARE(w->LBArchi->Count(), 3);
        QVERIFY(w->PendingDeletions().empty());
    }

    void okDeletesInOrderOfDeletion() {
        w->Open(*a);
        SelectRows(w->LBArchi, {0});
        w->BtDeleteClick();
        SelectRows(w->LBArchi, {0}); // the entry that became first
        w->BtDeleteClick();
        QCOMPARE(w->LBArchi->RowText(0).toStdString(), Summary(3));
        w->BtOK->click();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(a->ArchiveNumbers, std::vector<int32_t>({3}));
        QVERIFY(!Exists(1) && !Exists(2) && Exists(3));
        QCOMPARE(answers.reasonQuestions.size(), size_t(1));
    }

    void deletionWithoutAReasonDeletesNothing() {
        w->Open(*a);
        SelectRows(w->LBArchi, {0});
        w->BtDeleteClick();
        answers.AnswerReason(""); // the reason window cancelled
        w->BtOK->click();
        QCOMPARE(a->ArchiveNumbers, std::vector<int32_t>({1, 2, 3}));
        QVERIFY(Exists(1));
    }

    void deletionActsOnTheListedArchiveWhenOneIsMissing() {
        std::filesystem::remove(ArchiveFileName(2));
        // A file shorter than three lines is left out too.
        AtomicWriteFile(ArchiveFileName(4), "Glucose\r\ng/L\r\n");
        a->ArchiveNumbers.push_back(4);
        TScriptedAnswers answers;
        w->Open(*a);
        QCOMPARE(w->LBArchi->Count(), 2);
        QVERIFY(answers.shown.empty());
        SelectRows(w->LBArchi, {1});
        QTest::keyClick(w, Qt::Key_Delete);
        QCOMPARE(w->LBArchi->Count(), 1);
        w->accept();
        // The unreadable ones are never deleted by this window.
        QCOMPARE(a->ArchiveNumbers, std::vector<int32_t>({1, 2, 4}));
        QVERIFY(Exists(1) && !Exists(3) && Exists(4));
        QVERIFY(answers.shown.empty());

        // An archive whose file cannot be deleted keeps its number, and the user is told.
        w->Open(*a);
        SelectRows(w->LBArchi, {0});
        w->BtDeleteClick();
        std::filesystem::remove(ArchiveFileName(1));
        std::filesystem::create_directories(ArchiveFileName(1) + "/inside");
        w->accept();
        QCOMPARE(a->ArchiveNumbers, std::vector<int32_t>({1, 2, 4}));
        QCOMPARE(answers.shown.size(), size_t(1));
        QVERIFY(answers.LastText().find(ArchiveFileName(1)) != std::string::npos);
        std::filesystem::remove_all(ArchiveFileName(1));
    }

    // The points of an archive are read when it is shown: a file gone since the list was filled
    // is reported, and no viewer opens.
    void showingAnArchiveGoneSinceTheList() {
        TScriptedAnswers answers;
        w->Open(*a);
        std::filesystem::remove(ArchiveFileName(1));
        int shown = 0;
        ExchWhenShown(w->WinShowArchive, [&] {
            ++shown;
            w->WinShowArchive->accept();
        });
        w->BtShowArchiveClick();
        QCOMPARE(shown, 0);
        QCOMPARE(answers.shown.size(), size_t(1));
        QVERIFY(answers.LastText().find(ArchiveFileName(1)) != std::string::npos);
    }

    void undoAndTheKeyButton() {
        Settings.Password = "SECRET";
        TScriptedAnswers answers;
        w->Open(*a);
        QVERIFY(!w->BtDelete->isEnabled());
        QVERIFY(!w->BtUndo->isEnabled());
        QVERIFY(!w->BtCle->isHidden());
        SelectRows(w->LBArchi, {0});
        QTest::keyClick(w, Qt::Key_Delete); // the key does nothing while locked
        QCOMPARE(w->LBArchi->Count(), 3);
        answers.AnswerPassword(false);
        w->BtCle->click();
        QVERIFY(!w->BtDelete->isEnabled());
        answers.AnswerPassword(true);
        w->BtCle->click();
        QCOMPARE(answers.passwordQuestions, 2);
        QVERIFY(w->BtDelete->isEnabled() && w->BtUndo->isEnabled() && w->BtCle->isHidden());
        SelectRows(w->LBArchi, {0, 1});
        w->BtDeleteClick();
        QCOMPARE(w->LBArchi->Count(), 1);
        w->BtUndoClick();
        QCOMPARE(w->LBArchi->Count(), 3);
        QVERIFY(w->PendingDeletions().empty());
        w->accept();
        QCOMPARE(a->ArchiveNumbers, std::vector<int32_t>({1, 2, 3}));
        QVERIFY(Exists(1) && Exists(2) && Exists(3));
        // Locked again at the next visit.
        w->Open(*a);
        QVERIFY(!w->BtDelete->isEnabled());
    }

    // With a month name in the date pattern, the dates the archive holds ("26 10 2026") are shown and
    // printed as every other window shows dates; a date that does not read back stays as written.
    void datesAsTheOtherWindowsShowThem() {
        Regional.ShortDateFormat = "d MMM yyyy";
        SetDateLocale(QLocale(QLocale::English));
        const std::string first = Regional.DateToText(EncodeDate(2026, 10, 26));
        QCOMPARE(first, std::string("26 10 2026"));
        AtomicWriteFile(ArchiveFileName(1),
                        "Glucose\r\ng/L\r\n" + first + "\t15 11 2026\tLyphochek\tL1\t5.250\t3.1\t12\r\n" +
                            first + "\t08:00:00\t5.20\tAB\tok\r\n31 02 2026\t09:00:00\t5.30\tAB\t\r\n");
        const QString shown = DateText(EncodeDate(2026, 10, 26));
        QCOMPARE(shown, QStringLiteral("26 Oct 2026"));
        std::vector<TTablePrintout> printed;
        w->PrintHook = [&printed](const TTablePrintout& t) { printed.push_back(t); };
        w->Open(*a);
        QVERIFY(w->LBArchi->RowText(0).startsWith(shown + QStringLiteral("\t15 Nov 2026\tLyphochek")));
        w->BtImprimer->click();
        QCOMPARE(printed.at(0).Cells[7].Text, std::string("26 Oct 2026"));
        TWinShowArchive* v = w->WinShowArchive;
        v->PrintHook = [&printed](const TTablePrintout& t) { printed.push_back(t); };
        QString from, line0, line1;
        ExchWhenShown(v, [&] {
            from = v->LblDateFrom->text();
            line0 = v->LB->RowText(0);
            line1 = v->LB->RowText(1);
            v->BtImprimer->click();
            v->accept();
        });
        w->BtShowArchive->click();
        QCOMPARE(from, shown);
        QVERIFY(line0.startsWith(shown + QStringLiteral("\t08:00:00")));
        QVERIFY(line1.startsWith(QStringLiteral("31 02 2026\t")));
        QCOMPARE(printed.at(1).HeaderLines.at(1), std::string("From 26 Oct 2026 to 15 Nov 2026"));
        QCOMPARE(printed.at(1).Cells[5].Text, std::string("26 Oct 2026"));
        Regional.ShortDateFormat = "dd/MM/yyyy";
        SetDateLocale(QLocale::system());
    }

    void printingTheList() {
        std::vector<TTablePrintout> printed;
        w->PrintHook = [&printed](const TTablePrintout& t) { printed.push_back(t); };
        // An empty statistics field prints an empty cell in its column.
        WriteArchive(2, 2, "01/02/2024\t\tLyphochek\tL2\t5.250\t\t12");
        w->Open(*a);
        w->BtImprimer->click();
        QCOMPARE(printed.size(), size_t(1));
        const TTablePrintout& t = printed[0];
        QCOMPARE(t.JobTitle, std::string("Printing QC archives"));
        QVERIFY(!t.KeepOrientation);
        QCOMPARE(t.Title, std::string("Archived statistics for Glucose"));
        QVERIFY(t.HeaderLines.empty());
        QCOMPARE(t.NCols, 7);
        QCOMPARE(t.Widths, std::vector<int>({9, 9, 18, 8, 10, 8, 8}));
        QVERIFY(!t.Archive);
        QCOMPARE(t.Cells.size(), size_t(28));
        QCOMPARE(t.Cells[6].Text, std::string("Number"));
        QCOMPARE(int(t.Cells[6].Mark), 1);
        QCOMPARE(t.Cells[7].Text, std::string("01/01/2024"));
        QCOMPARE(int(t.Cells[7].Mark), 0);
        QCOMPARE(t.Cells[14].Text, std::string("01/02/2024"));
        QCOMPARE(t.Cells[15].Text, std::string(""));
        QCOMPARE(t.Cells[19].Text, std::string(""));
        QCOMPARE(t.Cells[20].Text, std::string("12"));
        // Nothing listed: nothing printed.
        TScriptedAnswers answers;
        a->ArchiveNumbers = {7};
        w->Open(*a);
        w->BtImprimerClick();
        QCOMPARE(printed.size(), size_t(1));
        QCOMPARE(answers.LastText(), std::string("Nothing to print"));
        w->BtShowArchiveClick();
        QCOMPARE(answers.LastText(), std::string("Nothing to show"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
    }

    void printedThroughThePrintJob() {
        const QString pdf = QString::fromStdString(folder.Path()) + "archives.pdf";
        SetTestOutput(pdf);
        w->Open(*a);
        w->BtImprimerClick();
        SetTestOutput(QString());
        QCOMPARE(TPrintJob::LastSpec().JobTitle, QStringLiteral("Printing QC archives"));
        const std::string text = PrnPdfText(pdf);
        QVERIFY(text.find("Archived statistics for Glucose") != std::string::npos);
        QCOMPARE(PrnCount(text, "Lyphochek"), 3);
    }

    void showingAndPrintingOneArchive() {
        w->Open(*a);
        w->move(200, 150);
        TWinShowArchive* v = w->WinShowArchive;
        std::vector<TTablePrintout> printed;
        v->PrintHook = [&printed](const TTablePrintout& t) { printed.push_back(t); };
        int shown = 0;
        // The first entry until another is clicked.
        ExchWhenShown(v, [&] {
            ++shown;
            QCOMPARE(v->windowTitle(), QStringLiteral("Archived data for Glucose"));
            QCOMPARE(v->pos(), QPoint(300, 170));
            QCOMPARE(v->LB->Count(), 2);
            QCOMPARE(v->LblDateFrom->text(), QStringLiteral("01/01/2024"));
            QCOMPARE(v->PanelControlMaterial->text(), QStringLiteral("Lyphochek"));
            QCOMPARE(v->LblLot->text(), QStringLiteral("L1"));
            QCOMPARE(v->LblMean->text(), QStringLiteral("5.250"));
            QCOMPARE(v->LblUnite->text(), QStringLiteral("g/L"));
            QCOMPARE(v->LblNbre->text(), QStringLiteral("11"));
            v->BtImprimer->click();
            QTest::keyClick(v, Qt::Key_Escape);
        });
        w->BtShowArchive->click();
        QCOMPARE(shown, 1);
        QCOMPARE(printed.size(), size_t(1));
        const TTablePrintout& t = printed[0];
        QVERIFY(t.KeepOrientation);
        QCOMPARE(t.Title, std::string("Archived data for Glucose"));
        QCOMPARE(t.HeaderLines,
                 std::vector<std::string>({"Lyphochek (L1)", "From 01/01/2024 to 11/01/2024"}));
        QCOMPARE(t.NCols, 5);
        QCOMPARE(t.Widths, std::vector<int>({10, 10, 10, 10, 25}));
        QCOMPARE(t.Cells.size(), size_t(5 * (1 + 2 + 3)));
        QCOMPARE(t.Cells[7].Text, std::string("5.20"));
        QCOMPARE(t.Cells[15].Text, std::string("Statistics"));
        QCOMPARE(int(t.Cells[15].Mark), 1);
        QCOMPARE(t.Cells[18].Text, std::string("g/L"));

        // An archive without points: an empty list, still the three statistics rows; a damaged point
        // line keeps the columns in place.
        WriteArchive(3, 0);
        AtomicWriteFile(ArchiveFileName(2), "Glucose\r\ng/L\r\n" + Summary(2) +
                                                "\r\n01/01/2024\t08:00\r\n02/01/2024\ta\tb\tc\td\te\tf\r\n");
        w->Open(*a);
        w->LBArchi->SetCurrentRow(2);
        ExchWhenShown(v, [&] {
            QCOMPARE(v->LB->Count(), 0);
            v->BtImprimerClick();
            v->accept();
        });
        w->BtShowArchiveClick();
        QCOMPARE(printed.back().Cells.size(), size_t(5 * 4));
        QCOMPARE(printed.back().Cells[5].Text, std::string("Statistics"));
        w->LBArchi->SetCurrentRow(1);
        ExchWhenShown(v, [&] {
            v->BtImprimerClick();
            v->accept();
        });
        w->BtShowArchiveClick();
        const auto& c = printed.back().Cells;
        QCOMPARE(c.size(), size_t(5 * 6));
        QCOMPARE(c[7].Text, std::string(""));
        QCOMPARE(c[14].Text, std::string("d e f"));
        QCOMPARE(c[15].Text, std::string("Statistics"));
    }
};

QTEST_MAIN(TestArchives)
#include "test_archives.moc"
