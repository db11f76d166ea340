// Tests of the assignment of control materials: level buttons and panels, drops, Alt keys, the two OKs.
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "UArchive.h"
#include "UArrowBtn.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "USerumByAnal.h"
#include "support_prompt.h"
#include "support_reference.h"

namespace {
void SelectMaterial(TWinSerumByAnal& w, int32_t id) {
    for (int i = 0; i < w.LBSerum->count(); ++i)
        if (w.LBSerum->item(i)->data(Qt::UserRole + 1).toInt() == id) w.LBSerum->setCurrentRow(i);
}

QColor PanelColour(const TWinSerumByAnal& w, int level) {
    return w.LevelPanels[static_cast<size_t>(level)]->palette().color(QPalette::Window);
}

void Drop(QWidget* target) {
    QMimeData mime;
    mime.setData("application/x-varnholt-material", QByteArray());
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}
} // namespace

class TestSerumByAnal : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinSerumByAnal* w = nullptr;
    int32_t m1 = -1, m2 = -1;
    TAnalyte* glu = nullptr;

private slots:
    void init() {
        RefResetLists();
        Settings.Password.clear();
        m1 = ListSerum.AddMaterial("Lyphochek", "L1");
        m2 = ListSerum.AddMaterial("Bio", "B4");
        glu = &RefAddAnalyte("Glucose", 2);
        glu->MaterialId = {m1, -1, -1};
        RefAddPoint(*glu, 1, {5.0f, NAN});
        w = new TWinSerumByAnal;
    }
    void cleanup() { delete w; }

    void showsTheLevelsInUse() {
        w->Open(*glu);
        QCOMPARE(w->Panel9->text(), QStringLiteral("QC materials for Glucose"));
        QVERIFY(!w->LevelButtons[0]->isHidden());
        QVERIFY(!w->LevelButtons[1]->isHidden());
        QVERIFY(w->LevelButtons[2]->isHidden());
        QVERIFY(w->LevelPanels[2]->isHidden());
        QCOMPARE(w->LevelButtons[1]->Caption(), QStringLiteral("Level &2"));
        QCOMPARE(w->LevelButtons[0]->geometry(), QRect(5, 35, 60, 40));
        QCOMPARE(w->LevelPanels[1]->geometry(), QRect(75, 90, 110, 31));
        QCOMPARE(w->LevelBoxes[0]->name, QStringLiteral("Lyphochek"));
        QCOMPARE(w->LevelBoxes[0]->lot, QStringLiteral("L1"));
        QCOMPARE(w->LevelBoxes[1]->name, QStringLiteral("Unknown"));
        QCOMPARE(w->LevelBoxes[1]->lot, QString());
        QCOMPARE(PanelColour(*w, 0), QColor(255, 255, 255));
        QCOMPARE(w->LBSerum->item(0)->text(), QStringLiteral("Bio\tB4"));
    }

    // The title with a name of 15 characters fits its panel.
    void longNameFitsTheTitle() {
        TAnalyte& a = RefAddAnalyte("WMWMWMWMWMWMWMW", 1);
        w->Open(a);
        QCOMPARE(w->Panel9->text(), QStringLiteral("QC materials for WMWMWMWMWMWMWMW"));
        const QRect room = w->Panel9->contentsRect();
        const QRect need = QFontMetrics(w->Panel9->font())
                               .boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, w->Panel9->text());
        QVERIFY2(room.contains(need),
                 qPrintable(QStringLiteral("%1x%2").arg(need.width()).arg(need.height())));
    }

    void assignWithoutSelectionIsRefused() {
        TScriptedAnswers answers;
        w->Open(*glu);
        w->AssignLevel(1);
        QCOMPARE(answers.LastText(), std::string("No control material selected"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        QCOMPARE(w->Working(1), -1);
    }

    void sameMaterialStaysWhiteAndNothingChanges() {
        TScriptedAnswers answers;
        w->Open(*glu);
        SelectMaterial(*w, m1);
        Drop(w->LevelBoxes[0]);
        QCOMPARE(w->Working(0), m1);
        QCOMPARE(PanelColour(*w, 0), QColor(255, 255, 255));
        w->BtChangeClick();
        QCOMPARE(answers.LastText(), std::string("Nothing Changed"));
        QCOMPARE(w->result(), int(QDialog::Accepted));
    }

    void changeOnlyTheAssignment() {
        TRefArchiveRecorder archive;
        TScriptedAnswers answers;
        w->show();
        w->Open(*glu);
        SelectMaterial(*w, m2);
        // The arrow button of level 1 (a click inside its shape), then Alt+2.
        QTest::mouseClick(w->LevelButtons[0], Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(w->Working(0), m2);
        QCOMPARE(PanelColour(*w, 0), QColor(255, 255, 0));
        QCOMPARE(w->LevelBoxes[0]->name, QStringLiteral("Bio"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_2, Qt::AltModifier);
        QCOMPARE(w->Working(1), m2);
        // Level 3 is not in use: Alt+3 assigns nothing.
        QTest::keyClick(w, Qt::Key_3, Qt::AltModifier);
        QCOMPARE(w->Working(2), -1);
        w->BtChangeClick();
        QCOMPARE(glu->MaterialId, (std::array<int32_t, 3>{m2, m2, -1}));
        QVERIFY(archive.Archived().empty());
        QCOMPARE(glu->Count(), 1);
        QVERIFY(answers.shown.empty());
        QCOMPARE(w->result(), int(QDialog::Accepted));
    }

    void undoRestoresTheStoredAssignment() {
        w->Open(*glu);
        SelectMaterial(*w, m2);
        w->AssignLevel(0);
        w->BtUndoClick();
        QCOMPARE(w->Working(0), m1);
        QCOMPARE(PanelColour(*w, 0), QColor(255, 255, 255));
        QCOMPARE(w->LBSerum->currentRow(), -1);
    }

    void changeAndEraseArchivesOnlyLevelsWithPoints() {
        TRefArchiveRecorder archive;
        TScriptedAnswers answers;
        w->Open(*glu);
        w->BtEraseClick();
        QCOMPARE(answers.LastText(), std::string("Nothing Changed"));
        QCOMPARE(w->result(), 0); // stays open
        SelectMaterial(*w, m2);
        w->AssignLevel(0);
        w->AssignLevel(1); // level 2 holds no points
        answers.Answer(mbOK);
        w->BtEraseClick();
        QCOMPARE(answers.LastText(),
                 std::string("Delete and archive Glucose QC data for control material(s) : "
                             "\r  - Lyphochek (L1)\r  - Unknown ()"));
        QCOMPARE(archive.Archived(),
                 (std::vector<std::pair<std::string, std::string>>{{"Glucose", "Lyphochek"}}));
        QCOMPARE(glu->MaterialId, (std::array<int32_t, 3>{m2, m2, -1}));
        QCOMPARE(w->result(), int(QDialog::Accepted));
    }

    void changeAndEraseWritesTheArchiveFile() {
        TScriptedAnswers answers;
        TAnalyte& two = RefAddAnalyte("Calcium", 2);
        two.MaterialId = {m1, m1, -1};
        RefAddPoint(two, 1, {2.1f, 3.1f});
        RefAddPoint(two, 2, {2.2f, 3.2f});
        w->Open(two);
        SelectMaterial(*w, m2);
        w->AssignLevel(1);
        answers.Answer(mbOK);
        w->BtEraseClick();
        QCOMPARE(two.ArchiveNumbers.size(), size_t(1));
        const TArchiveFile f = ReadArchiveFile(ArchiveFileName(two.ArchiveNumbers[0]));
        QCOMPARE(f.Name, std::string("Calcium"));
        QCOMPARE(f.Summary[2], std::string("Lyphochek"));
        QCOMPARE(f.PointLines.size(), size_t(2));
        // Level 2 is erased, level 1 keeps its values.
        QCOMPARE(two.Count(), 2);
        QCOMPARE(two.Points[0].Levels[1].State, psEmpty);
        QCOMPARE(two.Points[1].Levels[0].Value, 2.2f);
        QCOMPARE(two.MaterialId, (std::array<int32_t, 3>{m1, m2, -1}));
    }

    void cancelledEraseChangesNothing() {
        TRefArchiveRecorder archive;
        TScriptedAnswers answers;
        w->Open(*glu);
        SelectMaterial(*w, m2);
        w->AssignLevel(0);
        answers.Answer(mbCancel);
        w->BtEraseClick();
        QVERIFY(archive.Archived().empty());
        QCOMPARE(glu->MaterialId, (std::array<int32_t, 3>{m1, -1, -1}));
        QCOMPARE(w->result(), int(QDialog::Accepted));
    }

    // A level whose archive fails keeps its former material.
    void failedArchiveKeepsTheFormerMaterial() {
        TRefArchiveRecorder archive(true);
        TScriptedAnswers answers;
        w->Open(*glu);
        SelectMaterial(*w, m2);
        w->AssignLevel(0);
        w->AssignLevel(1);
        answers.Answer(mbOK);
        w->BtEraseClick();
        QVERIFY(answers.LastText().find(".qca: No space left on device") != std::string::npos);
        QCOMPARE(glu->MaterialId, (std::array<int32_t, 3>{m1, m2, -1}));
        QCOMPARE(glu->Count(), 1);
    }

    void passwordLocksChangeAndErase() {
        Settings.Password = "KEY";
        TScriptedAnswers answers;
        w->Open(*glu);
        QVERIFY(!w->BtErase->isEnabled());
        answers.AnswerPassword(false);
        w->BtCleClick();
        QVERIFY(!w->BtErase->isEnabled());
        QVERIFY(!w->BtCle->isHidden());
        Settings.Password.clear();
    }
};

QTEST_MAIN(TestSerumByAnal)
#include "test_serumbyanal.moc"
