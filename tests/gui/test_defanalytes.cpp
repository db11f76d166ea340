// Tests of the analyte definitions window: checks, level reductions, ordering, deletion, OK and Undo.
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "UDataLoadSave.h"
#include "UDefAnalytes.h"
#include "UGlobale.h"
#include "UOperations.h"
#include "support_prompt.h"
#include "support_reference.h"

namespace {
QStringList Names(const TWinDefAnalytes& w) {
    QStringList out;
    for (int i = 0; i < w.LBox->count(); ++i) out << w.LBox->item(i)->text().section('\t', 0, 0);
    return out;
}

std::vector<std::string> ListNames() {
    std::vector<std::string> out;
    for (const auto& a : ListAnalytes.Items) out.push_back(a->Name);
    return out;
}

void Fill(TWinDefAnalytes& w, const QString& name, int levels, const QString& unit = "g/L",
          int decimals = 1) {
    w.EditNom->setText(name);
    w.SELevels->setValue(levels);
    w.CBUnite->setEditText(unit);
    w.SEDecim->setValue(decimals);
}

void WriteFile(const std::string& path) {
    std::ofstream(path) << "archive\r\n";
}
} // namespace

class TestDefAnalytes : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinDefAnalytes* w = nullptr;

private slots:
    void init() {
        RefResetLists();
        Settings.Password.clear();
        w = new TWinDefAnalytes;
    }
    void cleanup() { delete w; }

    void namesAreCheckedAndNothingChangesOnRefusal() {
        RefAddAnalyte("GLUCOSE", 1);
        TScriptedAnswers answers;
        w->FormActivate();
        QCOMPARE(w->LBox->item(0)->text(), QStringLiteral("GLUCOSE\t1\tg/L\t2"));
        Fill(*w, "  glucose ", 2);
        w->BtAjouterClick();
        QCOMPARE(answers.LastText(), std::string("Duplicate names"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbOK));
        QCOMPARE(w->LBox->count(), 1);
        Fill(*w, "   ", 2);
        w->BtAjouterClick();
        QCOMPARE(answers.LastText(), std::string("Missing name"));
        QCOMPARE(w->LBox->count(), 1);
        // Replacing the selected line by the same name in another case is accepted.
        w->LBox->setCurrentRow(0);
        Fill(*w, "Glucose", 1, "mmol/L", 3);
        w->BtCorrigerClick();
        QCOMPARE(w->LBox->item(0)->text(), QStringLiteral("Glucose\t1\tmmol/L\t3"));
        QCOMPARE(w->EditNom->text(), QString()); // fields reset
        QCOMPARE(w->SELevels->value(), 3);
        QCOMPARE(w->CBUnite->currentText(), QStringLiteral("mmol/l"));
        // Nothing reached the analyte before OK.
        QCOMPARE(ListAnalytes[0].Name, std::string("GLUCOSE"));
        w->BtOKClick();
        QCOMPARE(ListAnalytes[0].Name, std::string("Glucose"));
        QCOMPARE(ListAnalytes[0].Unit, std::string("mmol/L"));
        QCOMPARE(ListAnalytes[0].Decimals, 3);
    }

    // OK (Enter) with an analyte typed but not added asks: Cancel stays, Yes adds, No drops it.
    void typedAnalyteIsNotDroppedUnasked() {
        TScriptedAnswers answers;
        w->FormActivate();
        w->show();
        Fill(*w, "NewOne", 2);
        answers.Answer(mbCancel);
        QTest::keyClick(w->EditNom, Qt::Key_Return);
        QCOMPARE(answers.LastText(),
                 std::string("NewOne is typed in the fields but not in the list.\rAdd it to "
                             "the list before closing ?"));
        QVERIFY(w->isVisible());
        QCOMPARE(ListAnalytes.Count(), 0);
        answers.Answer(mbYes);
        QTest::keyClick(w->EditNom, Qt::Key_Return);
        QVERIFY(!w->isVisible());
        QCOMPARE(ListNames(), std::vector<std::string>{"NewOne"});

        w->FormActivate();
        w->show();
        Fill(*w, "Dropped", 1);
        answers.Answer(mbNo);
        w->BtOKClick();
        QVERIFY(!w->isVisible());
        QCOMPARE(ListNames(), std::vector<std::string>{"NewOne"});
    }

    // Units reach the analyte as Windows-1252 text; a pasted tab cannot split a line's fields.
    void textsReachTheAnalyteIntact() {
        TScriptedAnswers answers;
        w->FormActivate();
        Fill(*w, QStringLiteral("Vit\tB12"), 1, QString::fromUtf8("\u00b5mol/L"), 2);
        w->BtAjouterClick();
        w->BtOKClick();
        QCOMPARE(ListAnalytes[0].Name, std::string("Vit B12"));
        QCOMPARE(ListAnalytes[0].Unit, std::string("\xB5mol/L"));
        QCOMPARE(ListAnalytes[0].Decimals, 2);
    }

    void selectionIsRequired() {
        RefAddAnalyte("A", 1);
        TScriptedAnswers answers;
        w->FormActivate();
        w->BtCorrigerClick();
        QCOMPARE(answers.LastText(), std::string("Select the analyte to replace"));
        w->BtSupprimerClick();
        QCOMPARE(answers.LastText(), std::string("Select the analyte to delete"));
        for (auto click : {&TWinDefAnalytes::BtUpClick, &TWinDefAnalytes::BtDownClick,
                           &TWinDefAnalytes::BtMoveTopClick, &TWinDefAnalytes::BtMoveBottomClick}) {
            answers.shown.clear();
            (w->*click)();
            QCOMPARE(answers.LastText(), std::string("Select the analyte to move"));
            QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        }
        QCOMPARE(w->LBox->count(), 1);
    }

    void levelReductionThatWouldDropDataIsRefused() {
        TAnalyte& a = RefAddAnalyte("Calcium", 3);
        RefAddPoint(a, 1, {NAN, 2.5f, NAN}); // only level 2 holds points
        TAnalyte& b = RefAddAnalyte("Urea", 3);
        RefAddPoint(b, 1, {NAN, NAN, 7.0f}, psDiscarded); // level 3 holds only a discarded point
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        Fill(*w, "Calcium", 1);
        w->BtCorrigerClick();
        QCOMPARE(answers.LastText(), std::string("You want to reduce the number of QC levels for Calcium\r"
                                                 "Cannot suppress QC3 and QC2 levels.\r"
                                                 "You must first erase/archive data."));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QCOMPARE(w->LBox->item(0)->text(), QStringLiteral("Calcium\t3\tg/L\t2"));
        w->LBox->setCurrentRow(1);
        Fill(*w, "Urea2", 2);
        w->BtCorrigerClick();
        QCOMPARE(answers.LastText(), std::string("You want to reduce the number of QC levels for Urea\r"
                                                 "Cannot suppress QC level 3.\r"
                                                 "You must first erase/archive data."));
        QCOMPARE(w->LBox->item(1)->text(), QStringLiteral("Urea\t3\tg/L\t2"));
        // Calcium may lose level 3, which is empty.
        w->LBox->setCurrentRow(0);
        Fill(*w, "Calcium", 2);
        w->BtCorrigerClick();
        w->BtOKClick();
        QCOMPARE(ListAnalytes[0].NbLevels, 2);
        QCOMPARE(ListAnalytes[1].NbLevels, 3);
        QCOMPARE(ListAnalytes[1].Name, std::string("Urea"));
        QCOMPARE(ListAnalytes[0].Count(), 1);
    }

    // Statistics not yet recomputed cannot let a level with data go.
    void reductionLooksAtThePoints() {
        TAnalyte& a = RefAddAnalyte("Iron", 2);
        TResu r;
        r.DateTime = EncodeDate(2024, 1, 1);
        r.Levels[1] = {3.5f, psInControl};
        a.AddPoint(r); // AllStats still count nothing
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        Fill(*w, "Iron", 1);
        w->BtCorrigerClick();
        QVERIFY(answers.LastText().find("Cannot suppress QC level 2.") != std::string::npos);
        w->BtOKClick();
        QCOMPARE(a.NbLevels, 2);
    }

    void raisingLevelsComputesTheNewLevels() {
        TAnalyte& a = RefAddAnalyte("Iron", 1);
        a.MaterialId = {4, 5, 6};
        // Values stored in level 2 from an earlier use of the level.
        RefAddPoint(a, 1, {1.0f, 2.0f});
        RefAddPoint(a, 2, {1.2f, 2.2f});
        QCOMPARE(a.AllStats[1].N, 0);
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        Fill(*w, "Iron", 3);
        w->BtCorrigerClick();
        QCOMPARE(a.MaterialId[1], -1);
        QCOMPARE(a.MaterialId[2], -1);
        QCOMPARE(a.MaterialId[0], 4);
        w->BtOKClick();
        QCOMPARE(a.NbLevels, 3);
        QCOMPARE(a.AllStats[1].N, 2);
        QCOMPARE(a.AllStats[2].N, 0);
        QVERIFY(std::fabs(static_cast<double>(a.AllStats[1].Mean) - 2.1) < 1e-6);
    }

    void deletionKeepsArchivesUntilOk() {
        TAnalyte& a = RefAddAnalyte("Sodium", 1);
        RefAddAnalyte("Potassium", 1);
        a.ArchiveNumbers = {7, 9};
        WriteFile(ArchiveFileName(7));
        WriteFile(ArchiveFileName(9));
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        answers.Answer(mbCancel);
        w->BtSupprimerClick();
        QCOMPARE(answers.LastText(),
                 std::string("Warning, you are about to clear all archived data and \r"
                             "current control points for SODIUM\rConfirm analyte deletion :"));
        QCOMPARE(w->LBox->count(), 2);
        answers.Answer(mbOK);
        w->BtSupprimerClick();
        QCOMPARE(Names(*w), QStringList({"Potassium"}));
        // Undo brings it back; Cancel applies nothing.
        w->FormActivate();
        QCOMPARE(w->LBox->count(), 2);
        w->LBox->setCurrentRow(0);
        answers.Answer(mbOK);
        w->BtSupprimerClick();
        w->reject();
        QCOMPARE(ListAnalytes.Count(), 2);
        QVERIFY(std::filesystem::exists(ArchiveFileName(7)));
        // OK removes the analyte and its archive files.
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        answers.Answer(mbOK);
        w->BtSupprimerClick();
        w->BtOKClick();
        QCOMPARE(ListNames(), std::vector<std::string>({"Potassium"}));
        QVERIFY(!std::filesystem::exists(ArchiveFileName(7)));
        QVERIFY(!std::filesystem::exists(ArchiveFileName(9)));
    }

    void addedThenDeletedLeavesNoTrace() {
        RefAddAnalyte("A", 1);
        TScriptedAnswers answers;
        w->FormActivate();
        Fill(*w, "New", 2);
        w->BtAjouterClick();
        QCOMPARE(w->LBox->currentRow(), 1);
        answers.Answer(mbOK);
        w->BtSupprimerClick();
        Fill(*w, "Kept", 2, "U/L", 0);
        w->BtAjouterClick();
        w->BtOKClick();
        QCOMPARE(ListNames(), std::vector<std::string>({"A", "Kept"}));
        QCOMPARE(ListAnalytes[1].NbLevels, 2);
        QCOMPARE(ListAnalytes[1].Unit, std::string("U/L"));
        QCOMPARE(ListAnalytes[1].MaterialId[0], -1);
    }

    void sortMovesAndDrops() {
        TAnalyte& beta = RefAddAnalyte("beta", 1);
        RefAddAnalyte("Alpha", 1);
        RefAddAnalyte("gamma", 1);
        TScriptedAnswers answers;
        w->FormActivate();
        w->BtSortClick();
        QCOMPARE(Names(*w), QStringList({"Alpha", "beta", "gamma"}));
        w->LBox->setCurrentRow(0);
        w->LBoxDragDrop(-1); // below the last line
        QCOMPARE(Names(*w), QStringList({"beta", "gamma", "Alpha"}));
        QCOMPARE(w->LBox->currentRow(), 2);
        w->LBoxDragDrop(0);
        QCOMPARE(Names(*w), QStringList({"Alpha", "beta", "gamma"}));
        w->BtMoveBottomClick();
        QCOMPARE(Names(*w), QStringList({"beta", "gamma", "Alpha"}));
        w->BtUpClick();
        QCOMPARE(Names(*w), QStringList({"beta", "Alpha", "gamma"}));
        w->BtMoveTopClick();
        QCOMPARE(Names(*w), QStringList({"Alpha", "beta", "gamma"}));
        w->BtUpClick(); // already first
        w->BtDownClick();
        QCOMPARE(Names(*w), QStringList({"beta", "Alpha", "gamma"}));
        QCOMPARE(w->LBox->currentRow(), 1);
        w->BtOKClick();
        QCOMPARE(ListNames(), std::vector<std::string>({"beta", "Alpha", "gamma"}));
        QCOMPARE(&ListAnalytes[0], &beta); // the same analyte, with its points
    }

    // A real drop below the last line, and the Delete key of the list.
    void dropEventAndDeleteKey() {
        RefAddAnalyte("A", 1);
        RefAddAnalyte("B", 1);
        RefAddAnalyte("C", 1);
        TScriptedAnswers answers;
        w->FormActivate();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->LBox->setCurrentRow(0);
        QMimeData mime;
        mime.setData("application/x-varnholt-analyte-line", QByteArray());
        const QPoint below(20, w->LBox->viewport()->height() - 5);
        QDragEnterEvent enter(below, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->LBox->viewport(), &enter);
        QDropEvent drop(below, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->LBox->viewport(), &drop);
        QCOMPARE(Names(*w), QStringList({"B", "C", "A"}));
        answers.Answer(mbOK);
        QTest::keyClick(w->LBox, Qt::Key_Delete);
        QCOMPARE(Names(*w), QStringList({"B", "C"}));
        // Locked by the password, the key deletes nothing.
        Settings.Password = "KEY";
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        QTest::keyClick(w->LBox, Qt::Key_Delete);
        QCOMPARE(w->LBox->count(), 3);
        Settings.Password.clear();
    }

    void goalsAreEditedWithTheLinesAndKeptAtOk() {
        RefAddAnalyte("Urea", 2);
        TQualityGoal urea;
        urea.Analyte = "Urea";
        urea.TEa = 8;
        urea.Target[0] = 5;
        QVERIFY(Operations().SetGoal(urea).Ok());
        auto stored = [](const std::string& name) {
            const TQualityGoal g = Operations().Goal(name);
            QString s = g.TEa ? QString::number(double(*g.TEa)) : QString("-");
            s += g.TEaKind == teaUnit ? " " + QString::fromStdString(g.TEaUnit) : QString(" %");
            for (const auto& t : g.Target) s += " " + (t ? QString::number(double(*t)) : QString("-"));
            return s;
        };
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        QCOMPARE(w->EditTEa->text(), QString("8"));
        QCOMPARE(w->EditTarget[0]->text(), QString("5"));
        QVERIFY(w->EditTarget[1]->isEnabled());
        QVERIFY(!w->EditTarget[2]->isEnabled());
        QCOMPARE(w->CBTEaKind->itemText(1), QString("g/L"));

        // Refused figures leave the line as it was.
        const QString line = w->LBox->item(0)->text();
        for (auto [tea, target, message] : {std::tuple{"0", "5", "TEa must be above zero, not 0"},
                                            std::tuple{"ten", "5", "TEa 'ten' is not a number"},
                                            std::tuple{"8", "0", "target of level 1 is zero"}}) {
            w->LBox->setCurrentRow(0);
            w->EditTEa->setText(tea);
            w->EditTarget[0]->setText(target);
            w->BtCorrigerClick();
            QCOMPARE(answers.LastText(), std::string(message));
            QCOMPARE(w->LBox->item(0)->text(), line);
        }
        // A cancelled visit keeps nothing.
        w->LBox->setCurrentRow(0);
        w->EditTEa->setText("9");
        w->BtCorrigerClick();
        w->reject();
        QCOMPARE(stored("Urea"), QString("8 % 5 - -"));

        // Renamed with a TEa in the unit and a second target; a new analyte with its goal.
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        w->EditNom->setText("Urea N");
        w->EditTEa->setText("0,4");
        w->CBTEaKind->setCurrentIndex(1);
        w->EditTarget[1]->setText("12.5");
        w->BtCorrigerClick();
        Fill(*w, "Lactate", 1, "mmol/L");
        w->EditTEa->setText("15");
        w->EditTarget[1]->setText("3"); // level 2 is not in use: not kept
        w->BtAjouterClick();
        w->BtOKClick();
        QCOMPARE(stored("Urea N"), QString("0.4 g/L 5 12.5 -"));
        QCOMPARE(stored("Urea"), QString("- % - - -"));
        QCOMPARE(stored("Lactate"), QString("15 % - - -"));
        // Shown again at the next visit.
        w->FormActivate();
        w->LBox->setCurrentRow(1);
        QCOMPARE(w->EditTEa->text(), QString("15"));
        w->LBox->setCurrentRow(0);
        QCOMPARE(w->EditTarget[1]->text(), QString("12.5"));
        QCOMPARE(w->CBTEaKind->currentIndex(), 1);
    }

    void biasSourceIsEditedWithTheGoalAndKeptAtOk() {
        RefAddAnalyte("Urea", 2);
        TQualityGoal urea;
        urea.Analyte = "Urea";
        urea.TEa = 8;
        QVERIFY(Operations().SetGoal(urea).Ok());
        TScriptedAnswers answers;
        w->FormActivate();
        QVERIFY(w->CBBiasFrom->isEnabled());
        w->LBox->setCurrentRow(0);
        QCOMPARE(w->CBBiasFrom->currentText(), QString("the target"));
        // Cancel keeps the stored source.
        w->CBBiasFrom->setCurrentIndex(w->CBBiasFrom->findData("eqa"));
        w->BtCorrigerClick();
        w->reject();
        QCOMPARE(Operations().Goal("Urea").BiasFrom, biasTarget);
        // OK keeps it with the line's other figures; a new analyte's goal takes its own.
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        w->CBBiasFrom->setCurrentIndex(w->CBBiasFrom->findData("eqa"));
        w->BtCorrigerClick();
        Fill(*w, "Lactate", 1, "mmol/L");
        w->EditTEa->setText("15");
        w->CBBiasFrom->setCurrentIndex(w->CBBiasFrom->findData("peer"));
        w->BtAjouterClick();
        w->BtOKClick();
        const TQualityGoal kept = Operations().Goal("Urea");
        QCOMPARE(kept.BiasFrom, biasEqa);
        QVERIFY(kept.TEa && *kept.TEa == 8);
        QCOMPARE(Operations().Goal("Lactate").BiasFrom, biasPeer);
        // Shown again at the next visit; the fields' reset goes back to the target.
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        QCOMPARE(w->CBBiasFrom->currentText(), QString("the EQA results"));
        w->LBox->setCurrentRow(1);
        QCOMPARE(w->CBBiasFrom->currentText(), QString("the peer data"));
        w->BtClearClick();
        QCOMPARE(w->CBBiasFrom->currentText(), QString("the target"));
    }

    void rulesAreEditedWithTheLinesAndRefusedWhenBad() {
        RefAddAnalyte("Urea", 2);
        QVERIFY(Operations().SetRuleSet("Urea", MakeQcRuleSet("", "1:3s", "1:2s")).Ok());
        auto stored = [](const std::string& name) {
            const TQcRuleSet s = Operations().RuleSet(name);
            return QcRulesText(s.Reject) + " | " + QcRulesText(s.Warn);
        };
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        QCOMPARE(w->EditRejectRules->text(), QString("1:3s"));
        QCOMPARE(w->EditWarnRules->text(), QString("1:2s"));

        // Refused sets leave the line as it was.
        for (auto [reject, warn, message] :
             {std::tuple{"", "1:2s", "A rule set needs at least one reject rule"},
              std::tuple{"1:3s, 7:x", "", "Unknown rule: 7:x"},
              std::tuple{"1:3s", "1:3S", "1:3s cannot both reject and warn"}}) {
            w->LBox->setCurrentRow(0);
            w->EditRejectRules->setText(reject);
            w->EditWarnRules->setText(warn);
            w->BtCorrigerClick();
            QCOMPARE(answers.LastText(), std::string(message));
            w->LBClick(0);
            QCOMPARE(w->EditRejectRules->text(), QString("1:3s"));
        }
        // Replaced, with the names put in order; a new analyte with a set of its own; kept at OK.
        w->LBox->setCurrentRow(0);
        w->EditRejectRules->setText("2of3:2s 1:3S");
        w->EditWarnRules->clear();
        w->BtCorrigerClick();
        w->LBClick(0);
        QCOMPARE(w->EditRejectRules->text(), QString("1:3s, 2of3:2s"));
        Fill(*w, "Lactate", 1, "mmol/L");
        w->EditRejectRules->setText("1:3.5s");
        w->BtAjouterClick();
        QCOMPARE(stored("Urea"), std::string("1:3s | 1:2s")); // nothing before OK
        w->BtOKClick();
        QCOMPARE(stored("Urea"), std::string("1:3s, 2of3:2s | "));
        QCOMPARE(stored("Lactate"), std::string("1:3.5s | "));
        TJournalFilter f;
        f.Kind = jk::GoalChanged;
        const std::vector<TJournalEntry> e = Operations().Journal(f);
        QVERIFY(e.size() >= 3);
        QCOMPARE(e[e.size() - 2].After, std::string("rules 1:3s, 2of3:2s"));

        // Empty fields give the multirules back.
        w->FormActivate();
        w->LBox->setCurrentRow(0);
        w->EditRejectRules->clear();
        w->BtCorrigerClick();
        w->BtOKClick();
        QVERIFY(Operations().RuleSet("Urea").Empty());
        QCOMPARE(stored("Lactate"), std::string("1:3.5s | "));
    }

    void passwordLocksDeletion() {
        RefAddAnalyte("A", 1);
        Settings.Password = "SECRET";
        TScriptedAnswers answers;
        w->FormActivate();
        QVERIFY(!w->BtSupprimer->isEnabled());
        QVERIFY(!w->BtCle->isHidden());
        answers.AnswerPassword(false);
        w->BtCleClick();
        QVERIFY(!w->BtSupprimer->isEnabled());
        answers.AnswerPassword(true);
        w->BtCleClick();
        QVERIFY(w->BtSupprimer->isEnabled());
        QVERIFY(w->BtCle->isHidden());
        w->FormActivate(); // locked again at the next activation
        QVERIFY(!w->BtSupprimer->isEnabled());
        Settings.Password.clear();
    }
};

QTEST_MAIN(TestDefAnalytes)
#include "test_defanalytes.moc"
