// Tests of the QC data table: entries and layout, pending deletions, Edit, Print, and the edit helper.
#include "URowList.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <functional>

#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UPrintJob.h"
#include "UShowData.h"
#include "support_prompt.h"
#include "support_reference.h"

namespace {
// The days (after 1 January 2024) of the analyte's points, which tell the points apart.
std::vector<int> Days(const TAnalyte& a) {
    std::vector<int> out;
    for (const ControlPoint& p : a.Points)
        out.push_back(static_cast<int>(std::lround(p.DateTime - EncodeDate(2024, 1, 1))));
    return out;
}

TAnalyte& SixPoints() {
    TAnalyte& a = RefAddAnalyte("Glucose", 2);
    for (int d = 0; d < 6; ++d) RefAddPoint(a, d, {5.0f + 0.1f * d, 10.0f});
    return a;
}
} // namespace

class TestShowData : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinShowData* w = nullptr;

private slots:
    void init() {
        RefResetLists();
        Settings.Password.clear();
        Regional.ShortDateFormat = "dd/MM/yyyy";
        Regional.TimeFormat = "HH:mm:ss";
        w = new TWinShowData;
    }
    void cleanup() { delete w; }

    void entriesAndLayout() {
        TAnalyte& a = RefAddAnalyte("Urea", 1, 2);
        RefAddPoint(a, 0, {7.5f}, psInControl, "new lot", "JD");
        RefAddPoint(a, 1, {NAN});
        a.Points[1].DateTime += EncodeTime(8, 30, 0);
        w->Open(a, -1);
        QCOMPARE(w->windowTitle(), QStringLiteral("QC data for Urea"));
        QCOMPARE(w->LB->RowText(0), QStringLiteral("01/01/2024\t7.50\tJD\tnew lot"));
        QCOMPARE(w->LB->RowText(1), QStringLiteral("02/01/2024 08:30:00\t\tAB\t"));
        QVERIFY(w->LB->x() >= 0 && w->LB->geometry().right() < w->PanelList->width());
        QVERIFY(!w->LblQC[0]->isHidden());
        QVERIFY(w->LblQC[1]->isHidden());
        QVERIFY(w->LblQC[2]->isHidden());
        QCOMPARE(w->LB->CurrentRow(), -1);
        QVERIFY(w->LB->SelectedRows().empty());
        // The selected point of the charts is current and selected.
        w->Open(a, 1);
        QCOMPARE(w->LB->CurrentRow(), 1);
        QVERIFY(w->LB->IsRowSelected(1));
    }

    // Each level's state mark lies after the text before it: the longest date and time, an 8-digit value.
    void marksLeaveTheTextsBeforeThemFree() {
        Regional.ShortDateFormat = "d MMMM yyyy";
        SetDateLocale(QLocale(QLocale::English));
        TAnalyte& a = RefAddAnalyte("Urea", 3, 3);
        RefAddPoint(a, 0, {-1234.567f, 12345.678f, 1.0f});
        a.Points[0].DateTime = EncodeDate(2024, 9, 28) + EncodeTime(20, 58, 58);
        w->Open(a, -1);
        const QFontMetrics fm(w->LB->font());
        const QStringList fields = w->LB->RowText(0).split(QLatin1Char('\t'));
        QCOMPARE(fields[0], QStringLiteral("28 September 2024 20:58:58"));
        QVERIFY(fm.horizontalAdvance(fields[0]) < w->MarkLeft(0));
        for (int k = 0; k < 2; ++k)
            QVERIFY(w->MarkLeft(k) + TWinShowData::MarkRoom + fm.horizontalAdvance(fields[k + 1]) <
                    w->MarkLeft(k + 1));
        QVERIFY(w->LB->geometry().right() < w->PanelList->width());
        Regional.ShortDateFormat = "dd/MM/yyyy";
        SetDateLocale(QLocale::system());
    }

    void deletionsApplyInRecordedOrder() {
        TAnalyte& a = SixPoints();
        TScriptedAnswers answers;
        w->Open(a, -1);
        w->LB->SetCurrentRow(3, QItemSelectionModel::ClearAndSelect);
        w->BtDeleteClick();
        w->LB->SetCurrentRow(3, QItemSelectionModel::ClearAndSelect); // the entry that took its place
        w->BtDeleteClick();
        QCOMPARE(w->PendingDeletions(), std::vector<int>({3, 4}));
        QCOMPARE(a.Count(), 6); // nothing before OK
        answers.Answer(mbOK);
        w->BtOKClick();
        QCOMPARE(answers.LastText(), std::string("Irreversible deletion of 2 lines ?"));
        QCOMPARE(Days(a), std::vector<int>({0, 1, 2, 5}));
        QCOMPARE(w->PointToEdit(), -1);
    }

    // A point marked for deletion is the one deleted whatever happened to the list meanwhile: a run
    // added before it moves it, a changed point or a replaced analyte deletes nothing and says so.
    void pendingDeletionsNamePointsNotRows() {
        struct TCase {
            const char* what;
            std::function<void(TAnalyte&)> meanwhile;
            std::vector<int> stored; // the days stored after OK
            std::string said;        // the start of the last message
        };
        const std::vector<TCase> cases = {
            {"a run added before",
             [](TAnalyte& a) {
                 RefAddPoint(a, -30, {4.0f, 9.0f});
             },
             {-30, 0, 1, 2, 4, 5},
             "Irreversible deletion"},
            {"the point changed",
             [](TAnalyte& a) { a.Points[3].Levels[0].Value = 7.0f; },
             {0, 1, 2, 3, 4, 5},
             "The points of Glucose were changed meanwhile: nothing was deleted."},
            {"the analyte replaced",
             [](TAnalyte&) {
                 ListAnalytes.Items.clear();
                 SixPoints();
             },
             {0, 1, 2, 3, 4, 5},
             "Glucose was deleted or replaced on another bench meanwhile: nothing was changed."},
        };
        for (const TCase& c : cases) {
            RefResetLists();
            TScriptedAnswers answers;
            w->Open(SixPoints(), -1);
            w->LB->SetCurrentRow(3, QItemSelectionModel::ClearAndSelect);
            w->BtDeleteClick();
            c.meanwhile(ListAnalytes[0]);
            // The table still shows its own copy.
            QCOMPARE(w->LB->RowText(3).left(10), QStringLiteral("05/01/2024"));
            answers.Answer(mbOK);
            w->BtOKClick();
            QVERIFY2(answers.LastText().rfind(c.said, 0) == 0, c.what);
            QVERIFY2(Days(ListAnalytes[0]) == c.stored, c.what);
        }
    }

    // The analyte's list replaced under the open table (a restore, another bench's reload): the table
    // shows and scrolls its own copy, every row drawn, and changes nothing.
    void tableSurvivesTheListReplacedUnderIt() {
        TAnalyte& a = RefAddAnalyte("Glucose", 2);
        for (int d = 0; d < 400; ++d) RefAddPoint(a, d, {5.0f + 0.01f * d, 10.0f});
        w->Open(a, -1);
        w->show();
        const QString last = w->LB->RowText(399);
        ListAnalytes.Items.clear(); // the analyte the table was opened on is gone
        SixPoints();
        for (int row : {0, 200, 399}) {
            w->LB->SetCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            QVERIFY(!w->grab().isNull());
        }
        QCOMPARE(w->LB->Count(), 400);
        QCOMPARE(w->LB->RowText(399), last);
        w->hide();
    }

    void multipleSelectionAndCancelledConfirmation() {
        TAnalyte& a = SixPoints();
        TScriptedAnswers answers;
        w->Open(a, -1);
        w->LB->SetRowSelected(1, true);
        w->LB->SetRowSelected(4, true);
        w->BtDeleteClick();
        QCOMPARE(w->LB->Count(), 4);
        QCOMPARE(w->LB->CurrentRow(), -1);
        QCOMPARE(w->PendingDeletions(), std::vector<int>({1, 4}));
        answers.Answer(mbCancel);
        w->BtOKClick();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(a.Count(), 6);
        // Deleted entries come back with Undo; Cancel drops them.
        w->Open(a, -1);
        w->BtDeleteAllClick();
        QCOMPARE(w->LB->Count(), 0);
        w->FormActivate();
        QCOMPARE(w->LB->Count(), 6);
        w->BtDeleteAllClick();
        w->reject();
        QCOMPARE(a.Count(), 6);
        w->Open(a, -1);
        w->BtDeleteAllClick();
        answers.Answer(mbOK);
        w->BtOKClick();
        QCOMPARE(a.Count(), 0);
    }

    // Each row draws the marks of its own point, also once rows above it are deleted; odd rows are
    // light cyan.
    void marksFollowTheirPoints() {
        TAnalyte& a = RefAddAnalyte("Urea", 1, 2);
        RefAddPoint(a, 0, {7.5f}, psInControl);
        RefAddPoint(a, 1, {9.9f}, psHighAction);
        RefAddPoint(a, 2, {8.8f}, psHighWarning);
        w->Open(a, -1);
        w->show();
        auto mark = [this](int row) {
            return w->LB->viewport()->grab().toImage().pixelColor(w->MarkLeft(0) + 5, 16 * row + 2 + 5);
        };
        auto red = [](QColor c) { return c.red() > 200 && c.green() < 100 && c.blue() < 100; };
        auto yellow = [](QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() < 100; };
        QVERIFY(!red(mark(0)) && !yellow(mark(0)));
        QVERIFY(red(mark(1)));
        QVERIFY(yellow(mark(2)));
        QCOMPARE(w->LB->viewport()->grab().toImage().pixelColor(300, 16 + 8), QColor(192, 255, 255));
        w->LB->SetCurrentRow(0);
        w->BtDeleteClick();
        QVERIFY(red(mark(0)));
        QVERIFY(yellow(mark(1)));
        w->hide();
    }

    void editHandsBackThePointAfterTheDeletions() {
        TAnalyte& a = SixPoints();
        TScriptedAnswers answers;
        w->Open(a, -1);
        w->BtEditClick();
        QCOMPARE(answers.LastText(), std::string("Select the line to edit."));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        w->LB->SetCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        w->BtDeleteClick();
        w->LB->SetCurrentRow(1, QItemSelectionModel::ClearAndSelect); // day 2
        w->BtDeleteClick();
        w->LB->SetCurrentRow(2, QItemSelectionModel::ClearAndSelect); // day 4
        answers.Answer(mbCancel);
        w->BtEditClick();
        QCOMPARE(answers.LastText(),
                 std::string("Irreversible deletion of 2 lines.\r+ Edit and validate again the "
                             "control point on 05/01/2024"));
        QCOMPARE(a.Count(), 6);
        QCOMPARE(w->result(), 0);
        answers.Answer(mbOK);
        w->BtEditClick();
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(Days(a), std::vector<int>({1, 3, 4, 5}));
        QCOMPARE(w->PointToEdit(), 2);
        QCOMPARE(Days(a)[2], 4);
    }

    // Editing a line with nothing deleted asks no deletion reason; deletions whose reason is refused
    // are not made, and the point to edit is then the one chosen, where it stands.
    void editAsksForADeletionReasonOnlyForDeletions() {
        TAnalyte& a = SixPoints();
        TScriptedAnswers answers;
        w->Open(a, -1);
        w->LB->SetCurrentRow(3, QItemSelectionModel::ClearAndSelect);
        answers.Answer(mbOK);
        w->BtEditClick();
        QVERIFY(answers.reasonQuestions.empty());
        QCOMPARE(w->PointToEdit(), 3);

        w->Open(a, -1);
        w->LB->SetCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        w->BtDeleteClick();
        w->LB->SetCurrentRow(2, QItemSelectionModel::ClearAndSelect); // day 3
        answers.Answer(mbOK);
        answers.AnswerReason("");
        w->BtEditClick();
        // One question, the deletion's (its plural forms are the translations' test).
        QCOMPARE(answers.reasonQuestions.size(), size_t(1));
        QVERIFY(answers.reasonQuestions[0].find(" of Glucose deleted?") != std::string::npos);
        QCOMPARE(a.Count(), 6);
        QCOMPARE(w->PointToEdit(), 3);
    }

    void deleteKeyWhileUnlocked() {
        TAnalyte& a = SixPoints();
        w->Open(a, 2);
        QTest::keyClick(w->LB, Qt::Key_Delete);
        QCOMPARE(w->PendingDeletions(), std::vector<int>({2}));
        Settings.Password = "KEY";
        w->Open(a, 2);
        QTest::keyClick(w->LB, Qt::Key_Delete);
        QVERIFY(w->PendingDeletions().empty());
        Settings.Password.clear();
    }

    void editOfAnEmptyTable() {
        TAnalyte& a = RefAddAnalyte("Empty", 1);
        TScriptedAnswers answers;
        w->Open(a, -1);
        w->BtEditClick();
        QCOMPARE(answers.LastText(), std::string("Nothing to edit."));
        w->BtPrintClick();
        QCOMPARE(answers.LastText(), std::string("Nothing to print"));
    }

    void printGoesThroughTheHook() {
        TAnalyte& a = SixPoints();
        std::string caption;
        w->PrintHook = [&caption](TAnalyte&, const std::string& c) { caption = c; };
        w->Open(a, -1);
        w->BtDeleteAllClick();
        w->BtPrintClick(); // prints the stored points, not the pending deletions
        QCOMPARE(caption, std::string("Print QC data for Glucose"));
    }

    void passwordLocksTheChanges() {
        TAnalyte& a = SixPoints();
        Settings.Password = "KEY";
        TScriptedAnswers answers;
        w->Open(a, 2);
        for (QPushButton* b : {w->BtDelete, w->BtDeleteAll, w->BtUndo, w->BtEdit}) QVERIFY(!b->isEnabled());
        QVERIFY(!w->BtCle->isHidden());
        // A double click asks for the password and does nothing while locked.
        answers.AnswerPassword(false);
        w->LBDblClick();
        QCOMPARE(answers.passwordQuestions, 1);
        QVERIFY(answers.shown.empty());
        answers.AnswerPassword(true);
        answers.Answer(mbOK);
        w->LBDblClick();
        QCOMPARE(w->PointToEdit(), 2);
        QCOMPARE(a.Count(), 6); // the main window removes the point it takes back
        Settings.Password.clear();
    }

    void valueTextKeepsTheStoredValue() {
        QCOMPARE(ValueTextForEdit(5.0f, 1), std::string("5.0"));
        QCOMPARE(ValueTextForEdit(5.04f, 1), std::string("5.04"));
        QCOMPARE(ValueTextForEdit(5.04f, 3), std::string("5.040"));
        QCOMPARE(ValueTextForEdit(0.1234567f, 2), std::string("0.1234567"));
        QCOMPARE(ValueTextForEdit(-12.5f, 0), std::string("-12.5"));
        QCOMPARE(ValueTextForEdit(1234.0f, 0), std::string("1234"));
        Regional.DecimalSeparator = ',';
        QCOMPARE(ValueTextForEdit(5.04f, 1), std::string("5,04"));
        Regional.DecimalSeparator = '.';
        // At most 8 significant digits.
        const std::string t = ValueTextForEdit(1.0f / 3.0f, 1);
        QCOMPARE(t, std::string("0.33333334"));
    }

    void editFieldsOfAPoint() {
        TAnalyte& a = RefAddAnalyte("Calcium", 3, 1);
        const std::string longComment = "control vial opened late, recheck tomorrow";
        RefAddPoint(a, 0, {2.04f, NAN, 3.1f}, psDiscarded, longComment, "MK");
        const TEditFields f = EditFieldsOfPoint(a, 0);
        QCOMPARE(f.DateTime, EncodeDate(2024, 1, 1));
        QCOMPARE(f.Operator, std::string("MK"));
        QCOMPARE(f.Values[0], std::string("2.0"));
        QCOMPARE(f.Exact[0], std::string("2.04"));
        QCOMPARE(f.Values[1], std::string());
        QCOMPARE(f.Exact[1], std::string());
        QCOMPARE(f.Values[2], std::string("3.1"));
        QCOMPARE(f.Comment, longComment);
        QCOMPARE(f.CommentMaxLength, static_cast<int>(longComment.size()));
        RefAddPoint(a, 1, {2.0f, 2.0f, 2.0f}, psInControl, "short");
        QCOMPARE(EditFieldsOfPoint(a, 1).CommentMaxLength, 20);
        // Validating the texts again gives back the stored values.
        for (int k : {0, 2})
            QCOMPARE(ReadValueText(f.Exact[static_cast<size_t>(k)]).Value, a.Points[0].Levels[k].Value);
    }
};

QTEST_MAIN(TestShowData)
#include "test_showdata.moc"
