// The peer comparison window reached from the Quality menu, and Quality > Import peer statistics: a
// refused file listed in one box with nothing kept, a good one counted, the month's figures and chart.
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QtTest>

#include "GuiTestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
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
};

QTEST_MAIN(TestPeer)
#include "test_peer.moc"
