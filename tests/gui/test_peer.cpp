// The peer comparison window reached from the Quality menu, and Quality > Import peer statistics: a
// refused file listed in one box with nothing kept, a good one counted, the month's figures and chart.
// The EQA window beside it: results typed in and imported, the corrective action of an unacceptable one.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UEqaView.h"
#include "UGlobale.h"
#include "UMain.h"
#include "UOperations.h"
#include "UPeerView.h"
#include "support_print.h"

namespace {

// Glucose, two levels of materials Low (lot A1) and High (lot H1): 4, 5, 6 and 10, 12 in November 2026.
TAnalyte& Glucose() {
    auto& a = ListAnalytes.Add(std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2));
    a.MaterialId = {ListSerum.AddMaterial("Low", "A1"), ListSerum.AddMaterial("High", "H1"), -1};
    const TDateTime nov = EncodeDate(2026, 11, 2);
    PrnAddPoint(a, nov, {4, 10});
    PrnAddPoint(a, nov + 1, {5, 12});
    PrnAddPoint(a, nov + 2, {6, NAN}, {psInControl, psEmpty});
    a.RecalcAll();
    WriteAllData();
    return a;
}

const std::string Header = "analyte,material,lot,level,month,mean,sd,n,labs\n";

} // namespace

class TestPeer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitTestResources(); }

    void importFromTheQualityMenuAndShowTheMonth() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
        Glucose();
        TWinMain w;
        w.FillAnalyteList();
        // The command stands in the Quality menu right after the import of goals; File keeps its own.
        const QList<QAction*> quality = w.findChild<QMenu*>("MnuQuality")->actions();
        const auto goals = std::find_if(quality.begin(), quality.end(),
                                        [](QAction* a) { return a->objectName() == "MnuImportGoals"; });
        QVERIFY(goals != quality.end() && goals + 1 != quality.end());
        QCOMPARE((*(goals + 1))->objectName(), QString("MnuImportPeer"));

        AtomicWriteFile(folder.File("bad.csv"), Header + "Glucose,Low,A1,1,2026-11,4.5,0.5,40,12\n"
                                                         "Glucose,Low,A1,1,2026-10,4.5,0,40,12\n"
                                                         "Sodium,Na,N1,1,2026-11,140,1,40,12\n");
        AtomicWriteFile(folder.File("good.csv"), Header + "Glucose,Low,A1,1,2026-10,4.6,0.5,40,12\n"
                                                          "Glucose,Low,A1,1,2026-11,4.5,0.5,40,12\n"
                                                          "Glucose,High,H1,2,2026-11,10,0.4,38,11\n");
        TDialogScript::Reset();
        TDialogScript::FileNext(QString::fromStdString(folder.File("bad.csv")));
        w.findChild<QAction*>("MnuImportPeer")->trigger();
        QCOMPARE(ShownTexts(), std::vector<std::string>{"Refused lines: 2. Nothing was imported\n"
                                                        "Line 3: The SD must be above zero\n"
                                                        "Line 4: Unknown analyte: Sodium"});
        QVERIFY(Operations().PeerStats().empty());
        TDialogScript::Reset();
        TDialogScript::FileNext(QString::fromStdString(folder.File("good.csv")));
        w.findChild<QAction*>("MnuImportPeer")->trigger();
        QCOMPARE(ShownTexts(), std::vector<std::string>{"3 rows of peer statistics imported"});
        QCOMPARE(Operations().PeerStats().size(), size_t(3));

        QString title, months, note;
        QStringList november, october;
        QImage chart;
        bool buddy = false;
        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinPeer*>(d);
            QVERIFY(win);
            title = win->windowTitle();
            for (int k = 0; k < win->CBMonth->count(); ++k) months += win->CBMonth->itemText(k) + ' ';
            for (QLabel* l : win->findChildren<QLabel*>()) buddy = buddy || l->buddy() == win->CBMonth;
            for (int r = 0; r < win->Grid->rowCount(); ++r)
                for (int c : {0, 2, 3, 4, 5, 8, 9, 10}) november << win->Grid->item(r, c)->text();
            chart = win->PBoxPeer->grab().toImage();
            win->CBMonth->setCurrentIndex(0);
            for (int c : {0, 3, 4, 8, 10}) october << win->Grid->item(0, c)->text();
            note = win->LblNote->text();
            win->accept();
        });
        w.findChild<QAction*>("MnuPeer")->trigger();
        QCOMPARE(title, QString("Peer comparison of Glucose"));
        QCOMPARE(months, QString("2026-10 2026-11 "));
        QVERIFY(buddy);
        // The latest month first: lot A1 (mean 5, SD 1: SDI 1, CVR 0.2 / (0.5 / 4.5)) and lot H1 (mean 11,
        // SD 1.414: SDI 2.5, CVR 3.21).
        QCOMPARE(november, (QStringList{"1", "A1", "3", "5.000", "1.000", "1.00", "1.80", "good", "2", "H1",
                                        "2", "11.000", "1.414", "2.50", "3.21", "act"}));
        // October has no value of the lot: the peer's figures only, and why.
        QCOMPARE(october, (QStringList{"1", "0", "-", "-", "-"}));
        QCOMPARE(note, QString("Level 1: no value of Low lot A1 in the month"));
        // Both intervals drawn: the peer's grey, the laboratory's blue.
        int grey = 0, blue = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x) {
                const QColor c = chart.pixelColor(x, y);
                grey += c == QColor(160, 160, 160);
                blue += c == QColor(0, 0, 200);
            }
        QVERIFY(grey > 100);
        QVERIFY(blue > 100);
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }

    void eqaTypedImportedAndAnswered() {
        TGuiFolder folder;
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
        Glucose();
        TWinMain w;
        w.FillAnalyteList();
        AtomicWriteFile(folder.File("eqa.csv"), "scheme,distribution,sample,date,analyte,result,assigned,sd,"
                                                "participants\n"
                                                "Chem,2026-2,A,2026-06-01,Glucose,5.1,5.0,0.2,3\n"
                                                "Chem,2026-2,B,2026-06-01,Glucose,5.0,6.0,0.2,30\n");
        TDialogScript::Reset();
        // Typed: a refused SD first (the typing window comes back with its fields), then z = 4.
        auto type = [](TWinEqaAdd* add, const char* sd) {
            add->EdScheme->setText("Chem");
            add->EdDistribution->setText("2026-1");
            add->EdSample->setText("A");
            add->EdDate->setText("2026-03-02");
            add->EdResult->setText("5,8");
            add->EdAssigned->setText("5");
            add->EdSd->setText(sd);
            add->EdParticipants->setText("40");
            add->BtOk->click();
        };
        QStringList typed, imported, answered;
        QString emptyNote, openNote;
        bool actionOffered = true;
        int red = 0;
        OnNextModal([&](QDialog* d) {
            auto* win = dynamic_cast<TWinEqa*>(d);
            QVERIFY(win);
            emptyNote = win->LblNote->text();
            OnNextModal([&](QDialog* a) {
                type(dynamic_cast<TWinEqaAdd*>(a), "0");
                OnNextModal([&](QDialog* again) {
                    QCOMPARE(dynamic_cast<TWinEqaAdd*>(again)->EdResult->text(), QString("5,8"));
                    type(dynamic_cast<TWinEqaAdd*>(again), "0.2");
                });
            });
            TDialogScript::ReasonNext("Recalibrated");
            win->BtAdd->click();
            for (int c : {0, 4, 8, 9, 10, 11}) typed << win->Grid->item(0, c)->text();
            // Imported: no z-score with 3 participants; z = -5 asked for and not answered.
            TDialogScript::FileNext(QString::fromStdString(folder.File("eqa.csv")));
            TDialogScript::ReasonNext("");
            win->BtImport->click();
            for (int r = 1; r < win->Grid->rowCount(); ++r)
                for (int c : {3, 8, 9, 11}) imported << win->Grid->item(r, c)->text();
            openNote = win->LblNote->text();
            win->Grid->setCurrentCell(1, 0);
            actionOffered = win->BtAction->isEnabled();
            win->Grid->setCurrentCell(2, 0);
            TDialogScript::ReasonNext("Calibrator lot replaced");
            win->BtAction->click();
            answered << win->Grid->item(2, 11)->text() << win->LblNote->text();
            const QImage chart = win->PBoxEqa->grab().toImage();
            for (int y = 0; y < chart.height(); ++y)
                for (int x = 0; x < chart.width(); ++x) red += chart.pixelColor(x, y) == QColor(220, 0, 0);
            win->accept();
        });
        w.findChild<QAction*>("MnuEqa")->trigger();
        QCOMPARE(emptyNote,
                 QString("No EQA results for Glucose: add them as the scheme reports them, or import a "
                         "file."));
        QCOMPARE(ShownTexts(),
                 (std::vector<std::string>{"The SD must be above zero", "2 EQA results imported"}));
        QCOMPARE(TDialogScript::ReasonQuestions().size(), size_t(3));
        QCOMPARE(TDialogScript::ReasonQuestions()[0],
                 std::string(
                     "Glucose Chem / 2026-1 / A: the EQA result is unacceptable (z = 4.00). What was done?"));
        QCOMPARE(typed.mid(0, 5), (QStringList{"2026-03-02", "5.800", "4.00", "unacceptable", "16.0"}));
        QVERIFY(typed[5].endsWith("Recalibrated"));
        QCOMPARE(imported, (QStringList{"A", "-", "-", "", "B", "-5.00", "unacceptable", "none recorded"}));
        QCOMPARE(openNote,
                 QString("Unacceptable results without a corrective action: 1. Select one and choose "
                         "Corrective action."));
        QVERIFY(!actionOffered);
        QVERIFY(answered[0].endsWith("Calibrator lot replaced"));
        QVERIFY(answered[1].startsWith("z = (result - assigned) / SD"));
        QVERIFY(red > 40);
        TJournalFilter f;
        f.Kind = jk::EqaAction;
        QCOMPARE(Operations().Journal(f).size(), size_t(2));
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }
};

QTEST_MAIN(TestPeer)
#include "test_peer.moc"
