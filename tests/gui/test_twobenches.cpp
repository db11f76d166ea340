// Two benches on one server: another bench renames or deletes the analyte whose data table and
// statistical-risks window are open on this one.
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "GuiTestHelpers.h"
#include "ServerHelpers.h"
#include "TestSeams.h"
#include "UMain.h"
#include "UOperations.h"
#include "UProgram.h"
#include "URisks.h"
#include "URowList.h"
#include "UServerStore.h"
#include "UShowData.h"
#include "support_prompt.h"

namespace {
// A first start on the server's database: the sample data.
void Prepare(const std::string& conninfo) {
    TGuiTempFolder station;
    TOpenOptions o;
    o.Server = conninfo;
    QVERIFY(Operations().Open(station.Path(), TOpenMode::Writer, o).Opened);
    QVERIFY(Operations().ChangeSettings([](TSettings& s) { s.ShowAboutAtStart = false; }).Ok());
    Operations().Close();
}

// The other bench: the analyte renamed to `renameTo`, or deleted when it is empty.
void OtherBenchChanges(const std::string& conninfo, const std::string& name, const std::string& renameTo) {
    TServerStore other(conninfo);
    other.Connect(true);
    TListSerum serum;
    TListAnalytes analytes;
    std::deque<TResu> queue;
    TSettings settings;
    std::vector<std::string> operators;
    bool has = false;
    other.Load(serum, analytes, queue, settings, operators, has);
    auto& items = analytes.Items;
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto& a) { return a->Name == name; });
    QVERIFY(it != items.end());
    if (renameTo.empty())
        items.erase(it);
    else
        (*it)->Name = renameTo;
    other.WriteData(serum, analytes, nullptr, {});
}

QStringList AnalyteRows(const TWinMain& main) {
    QStringList rows;
    for (int i = 0; i < main.LBAnalytes->count(); ++i) rows << main.LBAnalytes->item(i)->text();
    return rows;
}

int64_t StoredPoints(TServerDatabase& db, const std::string& name) {
    return db.Admin()
        .Exec("SELECT count(*) FROM point JOIN analyte ON point.analyte = analyte.id WHERE analyte.name = '" +
              name + "'")
        .Int(0, 0);
}
} // namespace

class TestTwoBenches : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InitTestResources();
        SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    }
    void cleanup() { qunsetenv("VARNHOLT_DB"); }

    void analyteChangedElsewhereUnderOpenWindows_data() {
        QTest::addColumn<QString>("renameTo");
        QTest::newRow("renamed") << QStringLiteral("Glycemia");
        QTest::newRow("deleted") << QString();
    }

    // The open windows keep what they show while the other bench changes the analyte (the poll waits
    // for them), the deletion of a point in the table is refused as made on an analyte changed
    // elsewhere, and once they have closed the main window shows what the server holds.
    void analyteChangedElsewhereUnderOpenWindows() {
        QFETCH(QString, renameTo);
        TServerDatabase db;
        if (!db.Ready()) QSKIP(qPrintable(QString::fromStdString("PostgreSQL test cluster: " + db.Why())));
        Prepare(db.Conninfo());
        TGuiFolder folder;
        qputenv("VARNHOLT_DB", QByteArray::fromStdString(db.Conninfo()));
        TProgram p;
        QVERIFY(p.Init());
        p.CreateWindows(0);
        p.Main->show();
        QVERIFY(CurrentAnalyte && CurrentAnalyte->Count() > 1);
        const std::string name = CurrentAnalyte->Name;
        const int points = CurrentAnalyte->Count();
        const int analytes = ListAnalytes.Count();
        const uint8_t alertRow = Settings.AlertRow;
        QCOMPARE(StoredPoints(db, name), int64_t(points));

        TScriptedAnswers answers;
        answers.Answer(mbOK); // the irreversible deletion confirmed
        answers.AnswerReason("Wrong tube");
        bool tableSeen = false, risksSeen = false;
        QString titleUnder;
        OnNextModal([&](QDialog* d) {
            auto* table = dynamic_cast<TWinShowData*>(d);
            QVERIFY(table);
            tableSeen = true;
            table->LB->SetCurrentRow(0, QItemSelectionModel::ClearAndSelect);
            table->BtDelete->click();
            QCOMPARE(table->PendingDeletions().size(), size_t(1));
            OnNextModal([&](QDialog* r) {
                auto* risks = dynamic_cast<TWinRisks*>(r);
                QVERIFY(risks);
                risksSeen = true;
                risks->findChild<QRadioButton*>(QStringLiteral("RGAlertItem1"))->click();
                OtherBenchChanges(db.Conninfo(), name, renameTo.toStdString());
                // The poll's timer fires meanwhile; the list stays as the windows show it.
                QTest::qWait(1500);
                QVERIFY(ListAnalytes.FindByName(name));
                QCOMPARE(ListAnalytes.Count(), analytes);
                risks->findChild<QRadioButton*>(QStringLiteral("RGAlertItem0"))->click();
                risks->BtCancel->click();
            });
            p.Main->MnuRisks->trigger();
            QTest::qWait(700);
            titleUnder = table->windowTitle();
            table->BtOK->click();
        });
        p.Main->BtData->click();
        QVERIFY(tableSeen && risksSeen);
        QVERIFY2(titleUnder.endsWith(QString::fromStdString(name)), qPrintable(titleUnder));
        // The rows tried in the risks window are put back on Cancel.
        QCOMPARE(Settings.AlertRow, alertRow);

        // Told that the deletion was refused, and why.
        const auto refusal = std::find_if(answers.shown.begin(), answers.shown.end(), [](const auto& s) {
            return s.text.find("another bench") != std::string::npos;
        });
        QVERIFY2(refusal != answers.shown.end(), answers.LastText().c_str());
        QCOMPARE(refusal->kind, mkError);
        const std::string said =
            renameTo.isEmpty() ? "was deleted on another bench" : "was changed on another bench";
        QVERIFY2(refusal->text.find(name + " " + said) != std::string::npos, refusal->text.c_str());

        // The server holds the other bench's change, nothing of this bench's stale table.
        if (renameTo.isEmpty()) {
            QCOMPARE(db.Admin().Exec("SELECT count(*) FROM analyte WHERE name = '" + name + "'").Int(0, 0),
                     int64_t(0));
            QCOMPARE(db.Admin().Exec("SELECT count(*) FROM analyte").Int(0, 0), int64_t(analytes - 1));
        } else {
            QCOMPARE(StoredPoints(db, renameTo.toStdString()), int64_t(points));
            QCOMPARE(StoredPoints(db, name), int64_t(0));
        }

        // Once the windows have closed, the poll brings the change in and the main window shows it.
        QTRY_VERIFY_WITH_TIMEOUT(!ListAnalytes.FindByName(name), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!AnalyteRows(*p.Main).contains(QString::fromStdString(name)), 1500);
        if (renameTo.isEmpty()) {
            QCOMPARE(ListAnalytes.Count(), analytes - 1);
        } else {
            QVERIFY(AnalyteRows(*p.Main).contains(renameTo));
            QCOMPARE(ListAnalytes.FindByName(renameTo.toStdString())->Count(), points);
        }
    }

    // The layer's poll run under an open risks window (the program's timer waits for the window; the
    // layer does not): the analyte tried live is found by its handle and is gone, so the rows still
    // change, nothing freed is recomputed, and Cancel puts the rows back.
    void analyteDeletedElsewhereUnderTheRisksWindowAtAPoll() {
        TServerDatabase db;
        if (!db.Ready()) QSKIP(qPrintable(QString::fromStdString("PostgreSQL test cluster: " + db.Why())));
        Prepare(db.Conninfo());
        TGuiTempFolder station;
        TOpenOptions o;
        o.Server = db.Conninfo();
        QVERIFY(Operations().Open(station.Path(), TOpenMode::Writer, o).Opened);
        struct TClosed {
            ~TClosed() { Operations().Close(); }
        } closed;
        QVERIFY(ListAnalytes.Count() > 1);
        TAnalyte& tried = ListAnalytes[0];
        const std::string name = tried.Name;
        const int analytes = ListAnalytes.Count();
        TWinRisks win;
        std::vector<std::shared_ptr<const TAnalyte>> previews;
        win.ShowPreview = [&](std::shared_ptr<const TAnalyte> copy) { previews.push_back(std::move(copy)); };
        bool gone = false;
        OnNextModal([&](QDialog*) {
            win.findChild<QRadioButton*>(QStringLiteral("RGAlertItem1"))->click();
            QCOMPARE(previews.size(), size_t(1));
            QVERIFY(previews[0] && previews[0]->Name == name);
            OtherBenchChanges(db.Conninfo(), name, "");
            // Polled until the other bench's notification has arrived.
            for (int k = 0; k < 60 && ListAnalytes.FindByName(name); ++k) {
                QTest::qWait(50);
                QVERIFY(Operations().PollServer().Ok());
            }
            gone = !ListAnalytes.FindByName(name) && ListAnalytes.Count() == analytes - 1;
            // The reload computed the list with the rows in force, never with the rows being tried.
            for (int i = 0; i < ListAnalytes.Count(); ++i) {
                TAnalyte again = ListAnalytes[i];
                again.RecalcAll(TRiskRows{0, 4});
                QCOMPARE(ListAnalytes[i].Limits[0].WarnDev, again.Limits[0].WarnDev);
            }
            win.findChild<QRadioButton*>(QStringLiteral("RGActionItem0"))->click();
            QVERIFY((win.Tried() == TRiskRows{1, 2}));
            QCOMPARE(Settings.ActionRow, uint8_t(4));
            win.BtCancel->click();
        });
        QCOMPARE(win.Execute(&tried), int(QDialog::Rejected));
        QVERIFY(gone);
        // With its analyte gone, the preview was dropped, not computed from freed memory.
        QCOMPARE(previews.size(), size_t(2));
        QVERIFY(!previews[1]);
        QCOMPARE(Settings.AlertRow, uint8_t(0));
        QCOMPARE(Settings.ActionRow, uint8_t(4));
        QCOMPARE(db.Admin().Exec("SELECT count(*) FROM analyte").Int(0, 0), int64_t(analytes - 1));
    }
};

QTEST_MAIN(TestTwoBenches)
#include "test_twobenches.moc"
