// Tests of the control-material register: checks, deletion, renaming, change-and-erase at OK.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "UArchive.h"
#include "UDataLoadSave.h"
#include "UDefSerum.h"
#include "UGlobale.h"
#include "support_prompt.h"
#include "support_reference.h"

namespace {
QStringList Lines(const TWinDefSerum& w) {
    QStringList out;
    for (int i = 0; i < w.LBSerum->count(); ++i) out << w.LBSerum->item(i)->text();
    return out;
}

int RowOf(const TWinDefSerum& w, const QString& line) {
    for (int i = 0; i < w.LBSerum->count(); ++i)
        if (w.LBSerum->item(i)->text() == line) return i;
    return -1;
}

void Fill(TWinDefSerum& w, const QString& name, const QString& lot) {
    w.EditNom->setText(name);
    w.EditLot->setText(lot);
}
} // namespace

class TestDefSerum : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinDefSerum* w = nullptr;
    int32_t lyph = -1, immuno = -1, spare = -1;

private slots:
    void init() {
        RefResetLists();
        Settings.Password.clear();
        lyph = ListSerum.AddMaterial("Lyphochek", "L1");
        immuno = ListSerum.AddMaterial("immuno", "I7");
        spare = ListSerum.AddMaterial("Spare", "");
        TAnalyte& glu = RefAddAnalyte("Glucose", 2);
        glu.MaterialId = {lyph, immuno, -1};
        RefAddPoint(glu, 1, {5.0f, NAN});
        RefAddPoint(glu, 2, {5.2f, NAN});
        TAnalyte& na = RefAddAnalyte("Sodium", 1);
        na.MaterialId = {lyph, -1, -1};
        w = new TWinDefSerum;
    }
    void cleanup() { delete w; }

    void registerIsSortedIgnoringCase() {
        TScriptedAnswers answers;
        w->FormActivate();
        QCOMPARE(Lines(*w), QStringList({"immuno\tI7", "Lyphochek\tL1", "Spare\t"}));
        QCOMPARE(w->LBSerum->currentRow(), -1);
        Fill(*w, " Bio ", "B2 ");
        w->BtAjouterClick();
        QCOMPARE(Lines(*w).first(), QStringLiteral("Bio\tB2"));
        QCOMPARE(w->LBSerum->currentRow(), 0);
        w->BtOKClick();
        QCOMPARE(ListSerum.Count(), 4);
        const int32_t bio = ListSerum.Items.front().Id;
        QCOMPARE(ListSerum.FindMaterial(bio).Name, std::string("Bio"));
        QCOMPARE(ListSerum.FindMaterial(bio).Lot, std::string("B2"));
    }

    // OK (Enter) with a material typed but not added asks: Cancel stays, Yes adds, No drops it.
    void typedMaterialIsNotDroppedUnasked() {
        TScriptedAnswers answers;
        w->FormActivate();
        w->show();
        Fill(*w, "NewOne", "N1");
        answers.Answer(mbCancel);
        QTest::keyClick(w->EditNom, Qt::Key_Return);
        QCOMPARE(answers.LastText(),
                 std::string("NewOne is typed in the fields but not in the list.\rAdd it to "
                             "the list before closing ?"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes | mbNo | mbCancel));
        QVERIFY(w->isVisible());
        QCOMPARE(ListSerum.Count(), 3);
        answers.Answer(mbYes);
        QTest::keyClick(w->EditNom, Qt::Key_Return);
        QVERIFY(!w->isVisible());
        QCOMPARE(ListSerum.Count(), 4);

        w->FormActivate();
        w->show();
        Fill(*w, "Dropped", "");
        answers.Answer(mbNo);
        w->BtOKClick();
        QVERIFY(!w->isVisible());
        QCOMPARE(ListSerum.Count(), 4);
        // An entry shown from the list is no typed entry.
        w->FormActivate();
        w->LBSerum->setCurrentRow(0);
        const size_t shown = answers.shown.size();
        w->BtOKClick();
        QCOMPARE(answers.shown.size(), shown);
    }

    void badInputChangesNothing() {
        TScriptedAnswers answers;
        w->FormActivate();
        Fill(*w, "  ", "X");
        w->BtAjouterClick();
        QCOMPARE(answers.LastText(), std::string("Missing name"));
        Fill(*w, "LYPHOCHEK", "l1");
        w->BtAjouterClick();
        QCOMPARE(answers.LastText(), std::string("Duplicates"));
        w->BtReplaceClick();
        QCOMPARE(answers.LastText(), std::string("Select the line to replace"));
        // The selected entry itself counts as a duplicate.
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        Fill(*w, "LYPHOCHEK", "l1");
        w->BtReplaceClick();
        QCOMPARE(answers.LastText(), std::string("Duplicates"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbOK));
        w->LBSerum->setCurrentRow(-1);
        w->LBSerum->clearSelection();
        w->BtSupprimerClick();
        QCOMPARE(answers.LastText(), std::string("Select the control material to delete"));
        w->BtUsedInClick();
        QCOMPARE(answers.LastText(), std::string("Select one control material"));
        QCOMPARE(Lines(*w), QStringList({"immuno\tI7", "Lyphochek\tL1", "Spare\t"}));
    }

    void materialInUseCannotBeDeleted() {
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        w->BtSupprimerClick();
        QCOMPARE(answers.LastText(), std::string("Impossible to delete Lyphochek (L1).\r"
                                                 "This control material is used by : \r- Glucose\r- Sodium"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QCOMPARE(w->LBSerum->count(), 3);
        w->BtUsedInClick();
        QCOMPARE(answers.LastText(),
                 std::string("Analytes controled by Lyphochek (L1) : \r   - Glucose\r   - Sodium"));
        w->LBSerum->setCurrentRow(RowOf(*w, "Spare\t"));
        w->BtUsedInClick();
        QCOMPARE(answers.LastText(), std::string("Analytes controled by Spare () : "));
    }

    void deletionUndoAndOk() {
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Spare\t"));
        answers.Answer(mbOK);
        w->BtSupprimerClick();
        QCOMPARE(answers.LastText(), std::string("Delete the control material Spare ()."));
        QCOMPARE(w->LBSerum->count(), 2);
        w->FormActivate(); // Undo
        w->BtOKClick();
        QCOMPARE(ListSerum.Count(), 3);
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Spare\t"));
        answers.Answer(mbOK);
        w->BtSupprimerClick();
        w->BtOKClick();
        QCOMPARE(ListSerum.Count(), 2);
        QCOMPARE(ListSerum.FindMaterial(spare).Name, std::string("Unknown"));
    }

    void renameKeepsDataAndAssignments() {
        TRefArchiveRecorder archive;
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        QCOMPARE(w->EditNom->text(), QStringLiteral("Lyphochek"));
        Fill(*w, "Lyphochek", "L2");
        w->BtReplaceClick();
        QVERIFY(RowOf(*w, "Lyphochek\tL2") >= 0);
        w->BtOKClick();
        QCOMPARE(ListSerum.FindMaterial(lyph).Lot, std::string("L2"));
        QCOMPARE(ListAnalytes[0].MaterialId[0], lyph);
        QCOMPARE(ListAnalytes[0].Count(), 2);
        QVERIFY(archive.Archived().empty());
        QVERIFY(answers.shown.empty());
    }

    // The erase cross of a marked material is drawn after its lot, not over it.
    void eraseMarkLeavesTheLotReadable() {
        TScriptedAnswers answers;
        const int32_t wide = ListSerum.AddMaterial("Wide", "WWWWWWWWWW");
        TAnalyte& urea = RefAddAnalyte("Urea", 1);
        urea.MaterialId = {wide, -1, -1};
        RefAddPoint(urea, 1, {5.0f});
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Wide\tWWWWWWWWWW"));
        Fill(*w, "Wide", "W2");
        w->BtEraseClick();
        QCOMPARE(ListSerum.FindMaterial(wide).EraseMark, 1);
        w->show();
        QListWidgetItem* item = nullptr;
        for (int i = 0; i < w->LBSerum->count(); ++i)
            if (w->LBSerum->item(i)->text().startsWith(QStringLiteral("Wide\t"))) item = w->LBSerum->item(i);
        QVERIFY(item);
        const QRect r = w->LBSerum->visualItemRect(item);
        const QString lot = item->text().section(QLatin1Char('\t'), 1);
        const int lotEnd = r.left() + 130 + QFontMetrics(w->LBSerum->font()).horizontalAdvance(lot);
        const QImage shot = w->LBSerum->viewport()->grab().toImage();
        int redLeft = -1;
        for (int x = r.left(); x <= r.right() && redLeft < 0; ++x)
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) {
                    redLeft = x;
                    break;
                }
            }
        QVERIFY2(redLeft >= lotEnd, qPrintable(QStringLiteral("%1 %2").arg(redLeft).arg(lotEnd)));
    }

    void changeAndEraseArchivesLevelsWithPoints() {
        TRefArchiveRecorder archive;
        TScriptedAnswers answers;
        w->FormActivate();
        // A material that no analyte uses cannot be marked.
        w->LBSerum->setCurrentRow(RowOf(*w, "Spare\t"));
        Fill(*w, "Spare", "S2");
        w->BtEraseClick();
        QCOMPARE(answers.LastText(),
                 std::string("The old control material Spare () is not used for any analyte.\r"
                             "No data to erase. Press the button <Replace in list>."));
        QCOMPARE(answers.shown.back().kind, mkWarning);
        QVERIFY(RowOf(*w, "Spare\t") >= 0);
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        Fill(*w, "Lyphochek", "L2");
        w->BtEraseClick();
        QCOMPARE(ListSerum.FindMaterial(lyph).EraseMark, 1);
        // Add another entry: it is applied whatever the confirmation.
        Fill(*w, "Bio", "B1");
        w->BtAjouterClick();
        answers.Answer(mbOK);
        w->BtOKClick();
        QCOMPARE(answers.LastText(),
                 std::string("Delete data and archive statistics of Lyphochek (L1) in the "
                             "analyte(s) :\r - Glucose\r - Sodium"));
        // Glucose level 1 holds points; Sodium's level does not.
        QCOMPARE(archive.Archived(),
                 (std::vector<std::pair<std::string, std::string>>{{"Glucose", "Lyphochek"}}));
        QCOMPARE(ListSerum.FindMaterial(lyph).Lot, std::string("L2"));
        QCOMPARE(ListSerum.FindMaterial(lyph).EraseMark, 0);
        QCOMPARE(ListSerum.Count(), 4);
    }

    // The archive file records the old lot; the level is erased and the material takes the new lot.
    void changeAndEraseWritesTheArchiveFile() {
        TScriptedAnswers answers;
        TAnalyte& glu = ListAnalytes[0];
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        Fill(*w, "Lyphochek", "L2");
        w->BtEraseClick();
        answers.Answer(mbOK);
        w->BtOKClick();
        QCOMPARE(glu.ArchiveNumbers.size(), size_t(1));
        const TArchiveFile f = ReadArchiveFile(ArchiveFileName(glu.ArchiveNumbers[0]));
        QCOMPARE(f.Name, std::string("Glucose"));
        QCOMPARE(f.Summary[2], std::string("Lyphochek"));
        QCOMPARE(f.Summary[3], std::string("L1"));
        QCOMPARE(f.PointLines.size(), size_t(2));
        QCOMPARE(glu.Count(), 0); // its points held no other value
        QCOMPARE(glu.MaterialId[0], lyph);
        QCOMPARE(ListSerum.FindMaterial(lyph).Lot, std::string("L2"));
        QVERIFY(ListAnalytes[1].ArchiveNumbers.empty());
    }

    void cancelledEraseKeepsOldLot() {
        TRefArchiveRecorder archive;
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        Fill(*w, "Lyphochek", "L2");
        w->BtEraseClick();
        w->LBSerum->setCurrentRow(RowOf(*w, "immuno\tI7"));
        Fill(*w, "Immuno", "I8");
        w->BtReplaceClick();
        answers.Answer(mbCancel);
        w->BtOKClick();
        QVERIFY(archive.Archived().empty());
        QCOMPARE(ListSerum.FindMaterial(lyph).Lot, std::string("L1"));
        QCOMPARE(ListAnalytes[0].Count(), 2);
        QCOMPARE(ListSerum.FindMaterial(immuno).Name, std::string("Immuno"));
        QCOMPARE(ListSerum.FindMaterial(immuno).Lot, std::string("I8"));
    }

    // A failed archive is reported and the material keeps its old lot: the data was not archived.
    void failedArchiveKeepsOldLot() {
        TRefArchiveRecorder archive(true);
        TScriptedAnswers answers;
        w->FormActivate();
        w->LBSerum->setCurrentRow(RowOf(*w, "Lyphochek\tL1"));
        Fill(*w, "Lyphochek", "L2");
        w->BtEraseClick();
        answers.Answer(mbOK);
        w->BtOKClick();
        QVERIFY(answers.LastText().find(".qca: No space left on device") != std::string::npos);
        QCOMPARE(answers.shown.back().kind, mkError);
        QCOMPARE(ListSerum.FindMaterial(lyph).Lot, std::string("L1"));
        QCOMPARE(ListAnalytes[0].Count(), 2);
    }

    void passwordLocksChangeAndErase() {
        Settings.Password = "KEY";
        TScriptedAnswers answers;
        w->FormActivate();
        QVERIFY(!w->BtErase->isEnabled());
        QVERIFY(!w->BtCle->isHidden());
        answers.AnswerPassword(true);
        w->BtCleClick();
        QVERIFY(w->BtErase->isEnabled());
        QVERIFY(w->BtCle->isHidden());
        Settings.Password.clear();
    }
};

QTEST_MAIN(TestDefSerum)
#include "test_defserum.moc"
