// The lock, fix and erase pages: limit modes, refusals, snapshot, archives and the data file.
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UArchive.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UMain.h"
#include "USpecialComponents.h"

namespace {
void Show(TWinMain& w) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

void Close(TWinMain& w) {
    TDialogScript::AnswerNext(mbOK);
    w.close();
}

// Gives the analyte's levels named materials, so that captions and messages can be told apart.
void NameMaterials(TAnalyte& a) {
    const char* names[] = {"Control N", "Control P", "Control H"};
    for (int k = 0; k < MaxLevels; ++k)
        a.MaterialId[static_cast<size_t>(k)] = ListSerum.AddMaterial(names[k], "L1");
}

// Selects the interval [from, to] of visible columns with a click and a Shift+click on the date axis.
void SelectInterval(TWinMain& w, int from, int to) {
    QTest::mouseClick(w.PBox, Qt::LeftButton, {}, QPoint(40 + 15 * from, w.DateAxisY + 5));
    QTest::mouseClick(w.PBox, Qt::LeftButton, Qt::ShiftModifier, QPoint(40 + 15 * to, w.DateAxisY + 5));
}

QString Cell(const TWinMain& w, int row, int column) {
    QTableWidgetItem* item = w.GrilleLock->item(row, column);
    return item ? item->text() : QString();
}

QString DateOf(const TAnalyte& a, int index) {
    return QString::fromStdString(Regional.DateToText(a.Points[static_cast<size_t>(index)].DateTime));
}

double D(long double v) {
    return static_cast<double>(v);
}

// The analytes as the data file on disk holds them.
std::unique_ptr<TAnalyte> SavedAnalyte(const std::string& name) {
    TListSerum serum;
    TListAnalytes analytes;
    ParseDataImage(ReadWholeFile(DataFileName()), serum, analytes);
    for (auto& a : analytes.Items)
        if (a->Name == name) return std::move(a);
    return nullptr;
}

QStringList ArchiveFiles() {
    return QDir(QString::fromStdString(ProgramFolder)).entryList({QStringLiteral("*.qca")}, QDir::Files);
}

int NavyPixels(TWinMain& w, int top, int bottom) {
    QImage img = w.PBox->grab().toImage();
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 31; x < 500; ++x)
            if (img.pixelColor(x, y) == QColor(0, 0, 128)) ++n;
    return n;
}
} // namespace

class TestLimitPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void lockUndoCancelAndOk() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Glucose", 3, 20);
        NameMaterials(a);
        const LevelStats before = a.Limits[0], before1 = a.Limits[1];
        TWinMain w;
        Show(w);
        w.MnuLock->trigger();
        QCOMPARE(w.CurrentPage(), int(ptLock));
        for (int k = 0; k < 3; ++k) {
            TGBLockedParam* g = w.GBLocked[static_cast<size_t>(k)];
            QVERIFY(g->isVisible());
            QCOMPARE(g->Lbl1->text(), QStringLiteral("Mobile limits"));
            QVERIFY(!g->BtUnLock->isEnabled());
        }
        QCOMPARE(w.GBLocked[1]->title(), QStringLiteral("Control P"));
        QCOMPARE(w.GrilleLock->rowCount(), 4);
        QCOMPARE((QStringList{Cell(w, 0, 0), Cell(w, 0, 1), Cell(w, 0, 2), Cell(w, 0, 3), Cell(w, 3, 0)}),
                 (QStringList{"#", "m", "CV", "N", "C3"}));
        QCOMPARE(Cell(w, 1, 3), QStringLiteral("0"));
        QVERIFY(Cell(w, 1, 1).isEmpty());

        // Without an interval nothing is locked.
        w.GBLocked[0]->BtLock->click();
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
        QVERIFY(ShownTexts()[0].rfind("Define a date interval at the bottom of the charts\r - click", 0) ==
                0);
        QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbYes));
        QCOMPARE(a.LimitMode[0], lmMobile);
        QCOMPARE(a.LockFirst[0], -1);

        // The interval's dates and partial statistics.
        SelectInterval(w, 2, 11);
        QCOMPARE(w.PanelFirstDate->text(), DateOf(a, 2));
        QCOMPARE(w.PanelLastDate->text(), DateOf(a, 11));
        LevelStats part;
        a.ComputeStats(1, 2, 11, part);
        QCOMPARE(Cell(w, 2, 1), QString::fromStdString(FormatFixed(part.Mean, 8, a.Decimals + 1)));
        QCOMPARE(Cell(w, 2, 2), QString::fromStdString(FormatFixed(part.CV, 8, 1)));
        QCOMPARE(Cell(w, 2, 3), QStringLiteral("10"));

        // Two levels locked on the same interval, then Undo: back to the state at entry, on the page.
        w.GBLocked[0]->BtLock->click();
        w.GBLocked[1]->BtLock->click();
        for (size_t k : {size_t(0), size_t(1)}) {
            QCOMPARE(w.LimitTrial->LimitMode[k], lmLocked);
            QCOMPARE(w.LimitTrial->LockFirst[k], 2);
            QCOMPARE(w.LimitTrial->LockLast[k], 11);
        }
        QCOMPARE(D(w.LimitTrial->Limits[1].Mean), D(part.Mean));
        // The analyte in the list is left alone until OK; the charts draw the trial, and the server's
        // news waits meanwhile.
        QCOMPARE(a.LimitMode[0], lmMobile);
        QCOMPARE(D(a.Limits[1].Mean), D(before1.Mean));
        QCOMPARE(w.ChartAnalyte(), static_cast<const TAnalyte*>(w.LimitTrial.get()));
        QVERIFY(LimitPageOpen());
        QCOMPARE(w.GBLocked[0]->Lbl1->text(),
                 QStringLiteral("Locked from ") + DateOf(a, 2) + QStringLiteral(" to ") + DateOf(a, 11));
        QVERIFY(w.GBLocked[0]->BtUnLock->isEnabled());
        QTest::mouseClick(w.BtUndoLock, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptLock));
        QCOMPARE(w.LimitTrial->LimitMode[0], lmMobile);
        QCOMPARE(w.LimitTrial->LimitMode[1], lmMobile);
        QCOMPARE(w.LimitTrial->LockFirst[1], -1);
        QCOMPARE(D(w.LimitTrial->Limits[0].Mean), D(before.Mean));
        QCOMPARE(D(w.LimitTrial->Limits[0].ActionDev), D(before.ActionDev));
        QCOMPARE(w.GBLocked[0]->Lbl1->text(), QStringLiteral("Mobile limits"));

        // Cancel drops the locks and writes nothing.
        w.GBLocked[0]->BtLock->click();
        w.GBLocked[1]->BtLock->click();
        QTest::mouseClick(w.BtCancelLock, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        QVERIFY(!w.LimitTrial && !LimitPageOpen());
        QCOMPARE(w.ChartAnalyte(), static_cast<const TAnalyte*>(&a));
        QCOMPARE(a.LimitMode[0], lmMobile);
        QCOMPARE(a.LimitMode[1], lmMobile);
        QVERIFY(!FileExists(DataFileName()));

        // Locking then unlocking changes nothing, so OK writes nothing either.
        w.MnuLock->trigger();
        QVERIFY(w.IntervalStart < 0);
        SelectInterval(w, 2, 11);
        w.GBLocked[2]->BtLock->click();
        w.GBLocked[2]->BtUnLock->click();
        QCOMPARE(w.LimitTrial->LimitMode[2], lmMobile);
        QVERIFY(!w.GBLocked[2]->BtUnLock->isEnabled());
        QTest::mouseClick(w.BtOKLock, Qt::LeftButton);
        QVERIFY(!FileExists(DataFileName()));

        // OK keeps a lock and writes it to the data file at once.
        w.MnuLock->trigger();
        SelectInterval(w, 5, 9);
        w.GBLocked[2]->BtLock->click();
        QTest::mouseClick(w.BtOKLock, Qt::LeftButton);
        QCOMPARE(a.LimitMode[2], lmLocked);
        auto saved = SavedAnalyte("Glucose");
        QVERIFY(saved);
        QCOMPARE(saved->LimitMode[2], lmLocked);
        QCOMPARE(saved->LockFirst[2], 5);
        QCOMPARE(saved->LockLast[2], 9);
        QCOMPARE(saved->LimitMode[0], lmMobile);
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
        Close(w);
    }

    void refusedLockKeepsTheLevel() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Calcium", 3, 12);
        NameMaterials(a);
        for (int i = 0; i < 12; ++i) {
            if (i <= 5) a.Points[static_cast<size_t>(i)].Levels[1].Value = 7.0f;
            a.Points[static_cast<size_t>(i)].Levels[2] = LevelValue{0, psEmpty};
        }
        a.LimitMode[0] = lmLocked;
        a.LockFirst[0] = 6;
        a.LockLast[0] = 11;
        a.LimitMode[1] = lmFixed;
        a.Limits[1].Mean = 50;
        a.Limits[1].WarnDev = 1;
        a.Limits[1].ActionDev = 2;
        a.RecalcAll();
        const LevelStats locked0 = a.Limits[0];
        TWinMain w;
        Show(w);
        w.MnuLock->trigger();
        // A level without any value has no lock group.
        QVERIFY(w.GBLocked[0]->isVisible());
        QVERIFY(!w.GBLocked[2]->isVisible());
        QCOMPARE(w.GBLocked[1]->Lbl1->text(), QStringLiteral("Fixed limits"));
        QVERIFY(!w.GBLocked[1]->BtUnLock->isEnabled());
        QVERIFY(w.GBLocked[0]->BtUnLock->isEnabled());

        // Only equal values in the interval: no usable statistics, no CV shown.
        SelectInterval(w, 0, 5);
        QCOMPARE(Cell(w, 2, 1), QStringLiteral("7.000"));
        QVERIFY(Cell(w, 2, 2).isEmpty());
        QCOMPARE(Cell(w, 2, 3), QStringLiteral("6"));
        QCOMPARE(Cell(w, 3, 3), QStringLiteral("0"));
        w.GBLocked[1]->BtLock->click();
        QCOMPARE(ShownTexts(),
                 std::vector<std::string>{"Not enough QC points in the dates interval for Control P"});
        QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbYes));
        // The fixed level keeps its typed limits, not the trial's statistics.
        QCOMPARE(w.LimitTrial->LimitMode[1], lmFixed);
        QCOMPARE(D(w.LimitTrial->Limits[1].Mean), 50.0);
        QCOMPARE(D(w.LimitTrial->Limits[1].WarnDev), 1.0);
        QCOMPARE(D(w.LimitTrial->Limits[1].ActionDev), 2.0);
        QCOMPARE(w.GBLocked[1]->Lbl1->text(), QStringLiteral("Fixed limits"));

        // A one-point interval is refused too; the locked level keeps its interval and limits.
        SelectInterval(w, 3, 3);
        w.GBLocked[0]->BtLock->click();
        QCOMPARE(ShownTexts().back(),
                 std::string("Not enough QC points in the dates interval for Control N"));
        QCOMPARE(w.LimitTrial->LimitMode[0], lmLocked);
        QCOMPARE(w.LimitTrial->LockFirst[0], 6);
        QCOMPARE(w.LimitTrial->LockLast[0], 11);
        QCOMPARE(D(w.LimitTrial->Limits[0].Mean), D(locked0.Mean));
        QCOMPARE(D(w.LimitTrial->Limits[0].WarnDev), D(locked0.WarnDev));
        QTest::mouseClick(w.BtOKLock, Qt::LeftButton);
        QVERIFY(!FileExists(DataFileName()));
        Close(w);
    }

    void fixChecksTheFields() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Albumin", 2, 10);
        NameMaterials(a);
        const LevelStats before0 = a.Limits[0], before1 = a.Limits[1];
        TWinMain w;
        Show(w);
        w.MnuFix->trigger();
        QCOMPARE(w.CurrentPage(), int(ptFix));
        TGBFixedParam* g0 = w.GBFixed[0];
        TGBFixedParam* g1 = w.GBFixed[1];
        QVERIFY(g0->isVisible() && g1->isVisible() && !w.GBFixed[2]->isVisible());
        QCOMPARE(g0->title(), QStringLiteral("Control N"));
        QCOMPARE(g0->LblUnite->text(), QStringLiteral("mmol/l"));
        QVERIFY(!g0->BtUnfix->isEnabled());
        QVERIFY(g0->EditTarget->text().isEmpty());

        // Each refusal: its message, and the level as it was.
        struct Refusal {
            const char *target, *warning, *action, *text;
            unsigned buttons;
        };
        for (const Refusal& r :
             {Refusal{"abc", "1", "2", "'abc' is not a valid floating point value", mbOK},
              Refusal{"", "1", "2", "'' is not a valid floating point value", mbOK},
              // Beyond what a stored value holds, as the entry page refuses it.
              Refusal{"1e309", "0.2", "0.3", "'1e309' is not a valid floating point value", mbOK},
              Refusal{"100", "1", "4e38", "'4e38' is not a valid floating point value", mbOK},
              Refusal{"100", "-1", "2", "-1 is a negative value (not allowed)", mbOK},
              Refusal{"100", "1", "-2,5", "-2.5 is a negative value (not allowed)", mbOK},
              Refusal{"100", "2", "1", "Action < Warning", mbYes}}) {
            TDialogScript::Reset();
            g0->EditTarget->setText(QString::fromLatin1(r.target));
            g0->EditWarning->setText(QString::fromLatin1(r.warning));
            g0->EditAction->setText(QString::fromLatin1(r.action));
            g0->BtFix->click();
            QCOMPARE(ShownTexts(), std::vector<std::string>{r.text});
            QCOMPARE(TDialogScript::Shown()[0].kind, mkError);
            QCOMPARE(TDialogScript::Shown()[0].buttons, r.buttons);
            QCOMPARE(w.LimitTrial->LimitMode[0], lmMobile);
            QCOMPARE(D(w.LimitTrial->Limits[0].Mean), D(before0.Mean));
            QCOMPARE(D(w.LimitTrial->Limits[0].WarnDev), D(before0.WarnDev));
            QVERIFY(!g0->BtUnfix->isEnabled());
        }

        // Equal deviations (even zero) and a negative target are accepted.
        TDialogScript::Reset();
        g0->EditTarget->setText(QStringLiteral(" 100 "));
        g0->EditWarning->setText(QStringLiteral("0"));
        g0->EditAction->setText(QStringLiteral("0"));
        g0->BtFix->click();
        g1->EditTarget->setText(QStringLiteral("-5,5"));
        g1->EditWarning->setText(QStringLiteral("1"));
        g1->EditAction->setText(QStringLiteral("2"));
        g1->BtFix->click();
        QVERIFY(TDialogScript::Shown().empty());
        QCOMPARE(w.LimitTrial->LimitMode[0], lmFixed);
        QCOMPARE(D(w.LimitTrial->Limits[0].Mean), 100.0);
        QCOMPARE(D(w.LimitTrial->Limits[0].ActionDev), 0.0);
        QCOMPARE(w.LimitTrial->LimitMode[1], lmFixed);
        QCOMPARE(D(w.LimitTrial->Limits[1].Mean), -5.5);
        QCOMPARE(D(w.LimitTrial->Limits[1].ActionDev), 2.0);
        QVERIFY(g1->BtUnfix->isEnabled());
        QCOMPARE(a.LimitMode[0], lmMobile); // the list's analyte waits for OK

        // Cancel puts the former modes and limits back.
        QTest::mouseClick(w.BtCancelFix, Qt::LeftButton);
        QCOMPARE(a.LimitMode[0], lmMobile);
        QCOMPARE(a.LimitMode[1], lmMobile);
        QCOMPARE(D(a.Limits[1].Mean), D(before1.Mean));
        QVERIFY(!FileExists(DataFileName()));

        // OK keeps a fixed level and writes it; the page shows it when entered again.
        w.MnuFix->trigger();
        QVERIFY(g0->EditTarget->text().isEmpty());
        g0->EditTarget->setText(QStringLiteral("98.5"));
        g0->EditWarning->setText(QStringLiteral("2"));
        g0->EditAction->setText(QStringLiteral("3"));
        g0->BtFix->click();
        QTest::mouseClick(w.BtOKFix, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        auto saved = SavedAnalyte("Albumin");
        QVERIFY(saved);
        QCOMPARE(saved->LimitMode[0], lmFixed);
        QCOMPARE(D(saved->Limits[0].Mean), 98.5);
        QCOMPARE(D(saved->Limits[0].ActionDev), 3.0);
        w.MnuFix->trigger();
        QCOMPARE(g0->EditTarget->text(), QStringLiteral("98.50"));
        QCOMPARE(g0->EditWarning->text(), QStringLiteral("2.000"));
        QCOMPARE(g0->EditAction->text(), QStringLiteral("3.000"));
        QVERIFY(g0->BtUnfix->isEnabled());
        // Unfix, then Undo: fixed again and still on the page.
        g0->BtUnfix->click();
        QCOMPARE(w.LimitTrial->LimitMode[0], lmMobile);
        QTest::mouseClick(w.BtUndoFix, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptFix));
        QCOMPARE(w.LimitTrial->LimitMode[0], lmFixed);
        QCOMPARE(D(w.LimitTrial->Limits[0].Mean), 98.5);
        QCOMPARE(g0->EditTarget->text(), QStringLiteral("98.50"));

        // Limits with more digits than the analyte's decimals are shown whole, so that fixing the level
        // again leaves them exactly as they were.
        g0->EditTarget->setText(QStringLiteral("98.505"));
        g0->EditWarning->setText(QStringLiteral("2.0625"));
        g0->EditAction->setText(QStringLiteral("3"));
        g0->BtFix->click();
        const LevelStats exact = w.LimitTrial->Limits[0];
        QTest::mouseClick(w.BtOKFix, Qt::LeftButton);
        w.MnuFix->trigger();
        QCOMPARE(g0->EditTarget->text(), QStringLiteral("98.505"));
        QCOMPARE(g0->EditWarning->text(), QStringLiteral("2.0625"));
        QCOMPARE(g0->EditAction->text(), QStringLiteral("3.000"));
        g0->BtFix->click();
        QVERIFY(w.LimitTrial->Limits[0].Mean == exact.Mean);
        QVERIFY(w.LimitTrial->Limits[0].WarnDev == exact.WarnDev);
        QVERIFY(w.LimitTrial->Limits[0].ActionDev == exact.ActionDev);
        Close(w);
    }

    void okSaveFailureIsReported() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Albumin", 1, 10);
        TWinMain w;
        Show(w);
        w.MnuFix->trigger();
        w.GBFixed[0]->EditTarget->setText(QStringLiteral("40"));
        w.GBFixed[0]->EditWarning->setText(QStringLiteral("1"));
        w.GBFixed[0]->EditAction->setText(QStringLiteral("2"));
        w.GBFixed[0]->BtFix->click();
        WriteFaults() = {true, TWriteStep::Rename, 0};
        QTest::mouseClick(w.BtOKFix, Qt::LeftButton);
        WriteFaults() = {};
        QCOMPARE(TDialogScript::Shown().size(), size_t(1));
        QVERIFY(ShownTexts()[0].rfind("Cannot save data\r", 0) == 0);
        QVERIFY(ShownTexts()[0].find("Varnholt.qcf") != std::string::npos);
        // Nothing changed: the former limits are back, as in the file.
        QCOMPARE(a.LimitMode[0], lmMobile);
        QVERIFY(!FileExists(DataFileName()));
        Close(w);
    }

    void eraseMarksConfirmsAndArchives() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Glucose", 3, 10);
        NameMaterials(a);
        // Level 2 holds values on the first five points only; it is locked on them.
        for (int i = 5; i < 10; ++i) a.Points[static_cast<size_t>(i)].Levels[2] = LevelValue{0, psEmpty};
        a.LimitMode[2] = lmLocked;
        a.LockFirst[2] = 0;
        a.LockLast[2] = 4;
        a.LimitMode[0] = lmFixed;
        a.RecalcAll();
        TWinMain w;
        Show(w);
        SelectedPoint = 3;
        w.MnuErase->trigger();
        QCOMPARE(w.CurrentPage(), int(ptArchi));
        QCOMPARE(SelectedPoint, -1);
        for (int k = 0; k < 3; ++k) {
            TGBArchivage* g = w.GBArchi[static_cast<size_t>(k)];
            QVERIFY(g->isVisible());
            QCOMPARE(g->BtArchi->text(), QStringLiteral("Erase/archive data"));
            QVERIFY(g->BtArchi->isEnabled());
        }

        // Nothing marked.
        QTest::mouseClick(w.BtOKErase, Qt::LeftButton);
        QCOMPARE(ShownTexts(), std::vector<std::string>{"Nothing to erase"});
        QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbYes));
        QCOMPARE(w.CurrentPage(), int(ptArchi));

        // Marking draws the level in silver; a second click unmarks it.
        int navy = NavyPixels(w, w.ChartsTop, w.ChartsTop + 120);
        QVERIFY(navy > 0);
        w.GBArchi[0]->BtArchi->click();
        QVERIFY(w.EraseMarks[0]);
        QCOMPARE(w.GBArchi[0]->BtArchi->text(), QStringLiteral("Un-erase data"));
        QVERIFY(NavyPixels(w, w.ChartsTop, w.ChartsTop + 120) < navy);
        w.GBArchi[0]->BtArchi->click();
        QVERIFY(!w.EraseMarks[0]);
        QCOMPARE(w.GBArchi[0]->BtArchi->text(), QStringLiteral("Erase/archive data"));

        // Marks on levels 0 and 1; the confirmation cancelled keeps the page, the marks and the data.
        w.GBArchi[0]->BtArchi->click();
        w.GBArchi[1]->BtArchi->click();
        TDialogScript::Reset();
        TDialogScript::AnswerNext(mbCancel);
        QTest::mouseClick(w.BtOKErase, Qt::LeftButton);
        QCOMPARE(ShownTexts(), std::vector<std::string>{
                                   "You are going to erase/archive the data of 2 QC level(s) for Glucose\r"});
        QCOMPARE(TDialogScript::Shown()[0].kind, mkConfirmation);
        QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbOK | mbCancel));
        QCOMPARE(w.CurrentPage(), int(ptArchi));
        QVERIFY(w.EraseMarks[0] && w.EraseMarks[1]);
        QVERIFY(ArchiveFiles().isEmpty());
        QCOMPARE(a.Count(), 10);

        // Confirmed: both archived in level order, the third level kept, back to the entry page.
        TDialogScript::AnswerNext(mbOK);
        QTest::mouseClick(w.BtOKErase, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        QCOMPARE(ArchiveFiles(), (QStringList{"QC000001.qca", "QC000002.qca"}));
        QCOMPARE(a.ArchiveNumbers, (std::vector<int32_t>{1, 2}));
        TArchiveFile first = ReadArchiveFile(ArchiveFileName(1));
        QCOMPARE(first.Summary[2], std::string("Control N"));
        QCOMPARE(first.PointLines.size(), size_t(10));
        QCOMPARE(ReadArchiveFile(ArchiveFileName(2)).Summary[2], std::string("Control P"));
        // Points left without values are gone; the locked level keeps its interval.
        QCOMPARE(a.Count(), 5);
        QCOMPARE(a.AllStats[0].N, 0);
        QCOMPARE(a.AllStats[2].N, 5);
        QCOMPARE(a.LimitMode[0], lmMobile);
        QCOMPARE(a.LimitMode[2], lmLocked);
        QCOMPARE(a.LockLast[2], 4);
        QVERIFY(!w.EraseMarks[0] && !w.EraseMarks[1]);
        QCOMPARE(SelectedPoint, -1);
        QCOMPARE(w.LastVisible, 4);
        // The data file follows at once.
        auto saved = SavedAnalyte("Glucose");
        QVERIFY(saved);
        QCOMPARE(saved->Count(), 5);
        QCOMPARE(saved->ArchiveNumbers, (std::vector<int32_t>{1, 2}));
        QCOMPARE(saved->LimitMode[0], lmMobile);

        // Now levels 0 and 1 are empty: their buttons are disabled and marking them is refused.
        w.MnuErase->trigger();
        QVERIFY(!w.GBArchi[0]->BtArchi->isEnabled());
        QVERIFY(w.GBArchi[2]->BtArchi->isEnabled());
        TDialogScript::Reset();
        w.EraseToggleClick(0);
        QCOMPARE(ShownTexts(), std::vector<std::string>{"Nothing to archive"});
        QCOMPARE(TDialogScript::Shown()[0].buttons, unsigned(mbYes));
        QVERIFY(!w.EraseMarks[0]);
        QTest::mouseClick(w.BtCancelArchi, Qt::LeftButton);
        QCOMPARE(w.CurrentPage(), int(ptEnter));
        Close(w);
    }

    void failedArchiveChangesNothing() {
        TGuiFolder folder;
        TAnalyte& a = AddTestAnalyte("Urea", 2, 8);
        TWinMain w;
        Show(w);
        w.MnuErase->trigger();
        QVERIFY(!w.GBArchi[2]->isVisible());
        w.GBArchi[0]->BtArchi->click();
        TDialogScript::AnswerNext(mbOK);
        WriteFaults() = {true, TWriteStep::Write, 0};
        QTest::mouseClick(w.BtOKErase, Qt::LeftButton);
        WriteFaults() = {};
        QCOMPARE(TDialogScript::Shown().size(), size_t(2));
        QVERIFY(ShownTexts()[1].find("QC000001.qca") != std::string::npos);
        QCOMPARE(w.CurrentPage(), int(ptArchi));
        QVERIFY(w.EraseMarks[0]);
        QCOMPARE(a.Count(), 8);
        QCOMPARE(a.AllStats[0].N, 8);
        QVERIFY(a.ArchiveNumbers.empty());
        QVERIFY(ArchiveFiles().isEmpty());
        QVERIFY(!FileExists(DataFileName()));
        Close(w);
    }
};

QTEST_MAIN(TestLimitPages)
#include "test_limitpages.moc"
