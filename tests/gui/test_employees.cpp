// Tests of the operators window: row counts, growth while typing, deletion confirmation, sorted result.
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "UEmployees.h"
#include "UGlobale.h"
#include "support_prompt.h"

namespace {
void SetCell(TWinEmployees& w, int row, const QString& text) {
    w.Grid->SetCode(row, text);
}
} // namespace

class TestEmployees : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinEmployees* w = nullptr;

private slots:
    void init() {
        Operators.clear();
        w = new TWinEmployees;
    }
    void cleanup() { delete w; }

    void rowCountFollowsTheCodes() {
        AddOperator("AB");
        AddOperator("CD");
        w->FormActivate();
        QCOMPARE(w->Grid->RowCount(), 16);
        QCOMPARE(w->Grid->CellText(0, 1), QStringLiteral("AB"));
        QCOMPARE(w->Grid->CellText(1, 1), QStringLiteral("CD"));
        QCOMPARE(w->Grid->CellText(15, 0), QStringLiteral("16"));
        QVERIFY(!(w->Grid->model()->flags(w->Grid->model()->index(0, 0)) & Qt::ItemIsEditable));
        for (int i = 0; i < 13; ++i) AddOperator("X" + std::to_string(i));
        w->FormActivate();
        QCOMPARE(w->Grid->RowCount(), 16); // 15 codes and one empty row
        AddOperator("ZZ");
        w->FormActivate();
        QCOMPARE(w->Grid->RowCount(), 17);
        QCOMPARE(w->Grid->CurrentRow(), 0);
    }

    void typingInTheLastRowAddsARow() {
        w->show();
        w->FormActivate();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->Grid->SetCurrentCell(15, 1);
        // Keys go to the focused widget: the grid, then the cell editor it opens.
        for (char c : std::string("zy")) QTest::keyClick(QApplication::focusWidget(), c);
        QCOMPARE(w->Grid->RowCount(), 17);
        QCOMPARE(w->Grid->CellText(16, 0), QStringLiteral("17"));
        // The editor takes four characters at most.
        for (char c : std::string("xwvu")) QTest::keyClick(QApplication::focusWidget(), c);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Enter acts as OK
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(Operators, std::vector<std::string>({"zyxw"}));
    }

    // Tab goes from one code to the next, never into the read-only row numbers.
    void tabGoesFromCodeToCode() {
        w->FormActivate(); // as Execute does, before the window shows
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto type = [](const QString& text) {
            for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        };
        type(QStringLiteral("ZZ"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        type(QStringLiteral("JD"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        type(QStringLiteral("ABCDEF"));
        QCOMPARE(w->Grid->CurrentColumn(), 1);
        // Shift+Tab goes back to the code above.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(w->Grid->CurrentRow(), 1);
        QCOMPARE(w->Grid->CurrentColumn(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(Operators, (std::vector<std::string>{"ABCD", "JD", "ZZ"}));
    }

    void emptiedCodeAsksBeforeDeletion() {
        AddOperator("AB");
        AddOperator("CD");
        AddOperator("EF");
        TScriptedAnswers answers;
        w->FormActivate();
        SetCell(*w, 1, "  ");
        answers.Answer(mbCancel);
        w->BtOKClick();
        QCOMPARE(answers.LastText(), std::string("Deletion of :\r\r   CD\r"));
        QCOMPARE(Operators, std::vector<std::string>({"AB", "CD", "EF"}));
        QCOMPARE(w->result(), int(QDialog::Rejected));
        w->FormActivate();
        SetCell(*w, 1, "");
        answers.Answer(mbOK);
        w->BtOKClick();
        QCOMPARE(Operators, std::vector<std::string>({"AB", "EF"}));
    }

    void replacedCodesAndDuplicatesComeBackSorted() {
        AddOperator("AB");
        TScriptedAnswers answers;
        w->FormActivate();
        SetCell(*w, 0, "MM");
        SetCell(*w, 3, " zz ");
        SetCell(*w, 5, "CC");
        SetCell(*w, 7, "CC");
        w->BtOKClick();
        QVERIFY(answers.shown.empty());
        QCOMPARE(Operators, std::vector<std::string>({"CC", "CC", "MM", "zz"}));
        w->FormActivate();
        QCOMPARE(w->Grid->CellText(3, 1), QStringLiteral("zz"));
        // Cancel and Undo drop what was typed.
        SetCell(*w, 0, "QQ");
        w->FormActivate();
        QCOMPARE(w->Grid->CellText(0, 1), QStringLiteral("CC"));
        SetCell(*w, 0, "QQ");
        w->reject();
        QCOMPARE(Operators.front(), std::string("CC"));
    }
};

QTEST_MAIN(TestEmployees)
#include "test_employees.moc"
