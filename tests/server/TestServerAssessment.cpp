// Peer statistics and EQA results on a server: recorded by a technologist's bench, read on another,
// the same figures as a folder's for the same rows, a refused file keeping nothing, and the rights the
// server itself enforces on their tables.
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

#include "ServerHelpers.h"
#include "TestHelpers.h"
#include "TestSeams.h"
#include "UMigrate.h"
#include "UOperations.h"
#include "UServerRights.h"

namespace {

const std::string PeerHeader = "analyte,material,lot,level,month,mean,sd,n,labs\n";
const std::string EqaHeader = "scheme,distribution,sample,date,analyte,result,assigned,sd,participants\n";

// Every figure the assessment gives for Glucose, as one text: equal texts, equal figures.
std::string Figures(TOperations& ops, const std::string& month) {
    std::string out;
    auto put = [&out](const std::optional<long double>& v) {
        char text[64] = "-";
        if (v) std::snprintf(text, sizeof text, "%.18Lg", *v);
        out += text;
        out += ' ';
    };
    const TAnalyte& a = *ListAnalytes.FindByName("Glucose");
    std::vector<TOperations::TPeerComparison> rows;
    EXPECT_TRUE(ops.PeerComparison(a, month, rows).Ok());
    for (const auto& r : rows) {
        out += r.Peer.Lot + ' ' + std::to_string(r.Lab.LabN) + ' ';
        for (const auto& v : {r.Lab.LabMean, r.Lab.LabSD, r.Lab.Sdi, r.Lab.Cvr, r.Lab.BiasPct}) put(v);
        out += PeerBandName(r.Lab.Band);
        out += '|';
    }
    for (const TEqaResult& r : ops.EqaResults("glucose")) {
        const TEqaFigures f = EqaFigures(r);
        for (const auto& v : {f.Z, f.BiasPct, f.UAssignedPct}) put(v);
        out += EqaBandName(f.Band);
        out += '|';
    }
    TUncertaintyRequest request = DefaultUncertaintyRequest(Today());
    request.BiasSource = TBiasSource::Eqa;
    std::vector<TLevelUncertainty> levels;
    EXPECT_TRUE(ops.Uncertainty(a, request, levels).Ok());
    for (const TLevelUncertainty& l : levels) {
        out += std::to_string(l.N) + ' ';
        for (const auto& v : {l.URwPct, l.UBiasPct, l.UcPct, l.UPct}) put(v);
        out += '|';
    }
    for (TBiasFrom from : {biasPeer, biasEqa}) {
        TQualityGoal g = ops.Goal("Glucose");
        g.BiasFrom = from;
        ops.MeasureBias(a, g);
        for (const auto& v : g.MeasuredBiasPct) put(v);
        out += '|';
    }
    return out;
}

class ServerAssessment_ : public ::testing::Test {
protected:
    TServerDatabase db;
    TTempFolder lab, station, other;
    TOperations& ops = Operations();
    std::string month, peerFile, eqaFile;
    void TearDown() override { ops.Close(); }

    TOpenReport Open(const std::string& folder, const std::string& code = "",
                     const std::string& password = "") {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        o.Server = db.Conninfo();
        o.OperatorCode = code;
        o.OperatorPassword = password;
        return ops.Open(folder, TOpenMode::Writer, o);
    }

    // A folder with Glucose (lots Low A1 and High H1) in a month inside the last six months and Sodium,
    // and the peer and EQA files of the month, moved to the server with the accounts boss and tech. The
    // folder keeps the files' rows, recorded after it moved (or before, when `rowsMove`); returns the
    // figures the folder gives.
    std::string MakeLab(bool rowsMove = false) {
        TOpenOptions o;
        o.SampleOnFirstRun = false;
        EXPECT_TRUE(ops.Open(lab.Path(), TOpenMode::Writer, o).Opened);
        auto a = std::make_unique<TAnalyte>("Glucose", "mmol/L", 2, 2);
        a->MaterialId = {ListSerum.AddMaterial("Low", "A1"), ListSerum.AddMaterial("High", "H1"), -1};
        const TDateParts m = DecodeDate(Today() - 45);
        const TDateTime first = EncodeDate(m.Year, m.Month, 1);
        month = IsoRegional().DateToText(first).substr(0, 7);
        const double values[][2] = {{4, 10}, {5, 12}, {6, 11.5}, {5.5, NAN}};
        for (int k = 0; k < 4; ++k) a->AddPoint(MakeRun(first + 1 + k, {values[k][0], values[k][1]}));
        a->RecalcAll();
        ListAnalytes.Add(std::move(a));
        ListAnalytes.Add(std::make_unique<TAnalyte>("Sodium", "mmol/L", 0, 1));
        WriteAllData(ops);
        EXPECT_TRUE(ops.ImportGoals("Glucose;50;4.5;11").Ok());
        const std::string day = IsoRegional().DateToText(first + 5);
        peerFile = PeerHeader + "Glucose,Low,A1,1," + month + ",4.6,0.5,40,12\n" + "glucose,High,H1,2," +
                   month + ",11.9,0.4,38,11\n";
        eqaFile = EqaHeader + "S,1,A," + day + ",Glucose,10.2,10,0.2,30\n" + "S,1,B," + day +
                  ",Glucose,9.9,10,0.2,4\n" + "S,2,A," + day + ",Glucose,7.0,6.2,0.25,30\n";
        std::string figures;
        auto record = [&] {
            EXPECT_TRUE(ops.ImportPeer(peerFile).Ok());
            EXPECT_TRUE(ops.ImportEqa(eqaFile).Ok());
            figures = Figures(ops, month);
        };
        if (rowsMove) record();
        ops.Close();
        EXPECT_NO_THROW(MigrateFolderToServer(lab.Path(), db.Conninfo()));
        if (!rowsMove) {
            EXPECT_TRUE(ops.Open(lab.Path(), TOpenMode::Writer, o).Opened);
            record();
            ops.Close();
        }

        EXPECT_TRUE(Open(station.Path()).Opened);
        EXPECT_TRUE(ops.SetAccount({"boss", "B. Boss", TRole::Supervisor}, "pw-boss").Ok());
        ops.Close();
        EXPECT_TRUE(Open(station.Path(), "boss", "pw-boss").Opened);
        EXPECT_TRUE(ops.SetAccount({"tech", "T. Tech", TRole::Technologist}, "pw-tech").Ok());
        ops.Close();
        return figures;
    }

    int64_t Count(const std::string& sql) { return db.Admin().Exec(sql).Int(0, 0); }
};

// The error state of `sql` run in one transaction on `c` as the session `token` (none when empty).
std::string RefusalAs(TPgConnection& c, const std::string& token, const std::vector<std::string>& sql) {
    c.Exec("BEGIN");
    try {
        c.Exec("SELECT set_config('varnholt.session', $1, true)", {token});
        for (const std::string& s : sql) c.Exec(s);
        c.Exec("COMMIT");
    } catch (const EServerError& e) {
        try {
            c.Exec("ROLLBACK");
        } catch (const EQcError&) {
        }
        return e.State;
    }
    return "";
}

} // namespace

TEST_F(ServerAssessment_, RecordedByATechnologistReadOnAnotherBenchWithTheFolderFigures) {
    SKIP_WITHOUT_SERVER(db);
    const std::string folderFigures = MakeLab();
    ASSERT_NE(folderFigures.find("A1 4 "), std::string::npos) << folderFigures;
    ASSERT_TRUE(Open(station.Path(), "tech", "pw-tech").Opened);
    EXPECT_TRUE(ops.KeepsAssessment());
    int count = 0;
    TOutcome out = ops.ImportPeer(peerFile, &count);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(count, 2);
    out = ops.ImportEqa(eqaFile, &count);
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_EQ(count, 3);
    // Sample S 2 A (z = 3.2) answered with its corrective action, journaled on the server.
    const TEqaResult unacceptable = ops.EqaResults("Glucose").back();
    ASSERT_EQ(EqaFigures(unacceptable).Band, TEqaBand::Unacceptable);
    out = ops.RecordEqaAction(unacceptable, "Recalibrated");
    ASSERT_TRUE(out.Ok()) << out.Message;
    EXPECT_TRUE(ops.CheckJournal().Whole);
    ops.Close();
    EXPECT_EQ(Count("SELECT count(*) FROM journal WHERE operator = 'tech' AND kind IN ('" +
                    std::string(jk::PeerRecorded) + "', '" + jk::EqaRecorded + "')"),
              5);

    // Another bench, another account: the same rows and, on the same data, the same figures.
    ASSERT_TRUE(Open(other.Path(), "boss", "pw-boss").Opened);
    const std::vector<TPeerStat> peer = ops.PeerStats();
    ASSERT_EQ(peer.size(), 2u);
    EXPECT_EQ(peer[1].Analyte, "Glucose");
    EXPECT_EQ(peer[1].Lot, "H1");
    EXPECT_EQ(peer[1].Labs, 11);
    EXPECT_EQ(ops.EqaResults("GLUCOSE").size(), 3u);
    EXPECT_TRUE(ops.EqaResults("Sodium").empty());
    EXPECT_EQ(ops.EqaActions("Glucose"),
              (std::map<std::string, std::string>{{EqaSampleKey(unacceptable), "Recalibrated"}}));
    EXPECT_EQ(Figures(ops, month), folderFigures);
    // The goal's bias source is kept on the server now, with its figures.
    TQualityGoal g = ops.Goal("Glucose");
    EXPECT_EQ(g.BiasFrom, biasTarget);
    g.BiasFrom = biasPeer;
    out = ops.SetGoal(g);
    ASSERT_TRUE(out.Ok()) << out.Message;
    ops.Close();
    ASSERT_TRUE(Open(station.Path(), "tech", "pw-tech").Opened);
    g = ops.Goal("Glucose");
    EXPECT_EQ(g.BiasFrom, biasPeer);
    ASSERT_TRUE(g.MeasuredBiasPct[0].has_value());
    EXPECT_NEAR(static_cast<double>(*g.MeasuredBiasPct[0]), (5.125 - 4.6) / 4.6 * 100, 1e-6);

    // Sent again, every row is refused as kept already, and nothing more is stored.
    for (const auto& [file, peerRows] : {std::pair{peerFile, true}, std::pair{eqaFile, false}}) {
        std::vector<TRefusedLine> refused;
        out = peerRows ? ops.ImportPeer(file, nullptr, &refused) : ops.ImportEqa(file, nullptr, &refused);
        EXPECT_EQ(out.Status, TStatus::Refused);
        EXPECT_EQ(refused.size(), peerRows ? 2u : 3u);
    }
    EXPECT_EQ(Count("SELECT (SELECT count(*) FROM peer_stat) + (SELECT count(*) FROM eqa_result)"), 5);
}

// The rows move with a folder to the server and back, their figures unchanged.
TEST_F(ServerAssessment_, AFolderMovesItsRowsToTheServerAndBack) {
    SKIP_WITHOUT_SERVER(db);
    const std::string folderFigures = MakeLab(true);
    EXPECT_EQ(Count("SELECT (SELECT count(*) FROM peer_stat) + (SELECT count(*) FROM eqa_result)"), 5);
    ASSERT_TRUE(Open(station.Path(), "tech", "pw-tech").Opened);
    EXPECT_EQ(Figures(ops, month), folderFigures);
    ops.Close();
    const std::string back = lab.Path() + "back";
    ASSERT_NO_THROW(MigrateServerToFolder(db.Conninfo(), back, std::string("boss"), "pw-boss"));
    TOpenOptions o;
    o.SampleOnFirstRun = false;
    ASSERT_TRUE(ops.Open(back, TOpenMode::Writer, o).Opened);
    EXPECT_EQ(ops.PeerStats().size(), 2u);
    EXPECT_EQ(ops.EqaResults().size(), 3u);
    EXPECT_EQ(Figures(ops, month), folderFigures);
}

TEST_F(ServerAssessment_, ARefusedFileStoresNothing) {
    SKIP_WITHOUT_SERVER(db);
    MakeLab();
    ASSERT_TRUE(Open(station.Path(), "tech", "pw-tech").Opened);
    const int64_t entries = Count("SELECT count(*) FROM journal");
    const struct {
        bool peer;
        std::string text;
        int refused;
    } cases[] = {
        {true,
         PeerHeader + "Glucose,Low,A1,1," + month + ",4.6,0.5,40,12\nGlucose,Low,A1,2," + month +
             ",4,0,40,12\n",
         1},
        {true,
         PeerHeader + "Potassium,Low,A1,1," + month + ",4.6,0.5,40,12\nSodium,Na,N1,2," + month +
             ",140,1,40,12\n",
         2},
        {false, EqaHeader + "S,1,A,2026-01-05,Glucose,10.2,10,0.2,30\nS,1,B,2026-01-05,Glucose,x,10,0.2,30\n",
         1},
        {false, EqaHeader + "S,1,A,2026-01-05,Urea,10.2,10,0.2,30\n", 1},
    };
    for (const auto& c : cases) {
        std::vector<TRefusedLine> refused;
        const TOutcome out =
            c.peer ? ops.ImportPeer(c.text, nullptr, &refused) : ops.ImportEqa(c.text, nullptr, &refused);
        EXPECT_EQ(out.Status, TStatus::Refused) << c.text;
        EXPECT_EQ(static_cast<int>(refused.size()), c.refused) << c.text;
    }
    EXPECT_EQ(Count("SELECT (SELECT count(*) FROM peer_stat) + (SELECT count(*) FROM eqa_result)"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM journal"), entries);
}

// A bench's role records rows only as an account signed in, with their journal entry; only a supervisor
// changes or removes one. The program's own path above works through the same checks.
TEST_F(ServerAssessment_, TheBenchRoleRecordsRowsOnlyAsTheProgramDoes) {
    SKIP_WITHOUT_SERVER(db);
    MakeLab();
    const std::string& c0 = db.Conninfo();
    const std::string name = c0.substr(c0.find("dbname=") + 7);
    db.Admin().Exec("DROP ROLE IF EXISTS " + name + "_t");
    db.Admin().Exec("CREATE ROLE " + name + "_t LOGIN IN ROLE " + name + "_bench");
    const size_t user = c0.find("user=");
    const std::string bench = c0.substr(0, user) + "user=" + name + "_t" + c0.substr(c0.find(' ', user));

    TOpenOptions o;
    o.Server = bench;
    o.OperatorCode = "tech";
    o.OperatorPassword = "pw-tech";
    ASSERT_TRUE(ops.Open(station.Path(), TOpenMode::Writer, o).Opened);
    TOutcome out = ops.ImportPeer(peerFile);
    ASSERT_TRUE(out.Ok()) << out.Message;
    out = ops.ImportEqa(eqaFile);
    ASSERT_TRUE(out.Ok()) << out.Message;
    ops.Close();

    TPgConnection c;
    c.Connect(bench);
    auto session = [&](const std::string& code, const std::string& password) {
        const std::string setting = c.Exec("SELECT varnholt_password_setting($1, false)", {code}).Text(0, 0);
        const std::string proof = Argon2idWithSetting(setting, password).value();
        return c.Exec("SELECT token FROM varnholt_sign_in($1, $2)", {code, proof}).Text(0, 0);
    };
    const std::string tech = session("tech", "pw-tech"), boss = session("boss", "pw-boss");
    const std::string addPeer =
        "INSERT INTO peer_stat(analyte_key, analyte, material_key, material, lot_key, lot, level, month, "
        "mean, "
        "sd, n, labs) VALUES('GLUCOSE', 'Glucose', 'LOW', 'Low', 'A2', 'A2', 1, '2026-01', 4, 0.5, 40, 12)";
    const std::string addEqa =
        "INSERT INTO eqa_result(scheme_key, scheme, distribution_key, distribution, "
        "sample_key, sample, day, analyte_key, analyte, result, assigned, sd, participants) "
        "VALUES('S', 'S', '9', '9', 'A', 'A', 46000, 'GLUCOSE', 'Glucose', 1, 1, 1, 5)";
    const std::string entry =
        "INSERT INTO journal SELECT head_last + 1, '', '', 'x', 'x', '', 0, '', '', '', '', "
        "repeat('0', 64) FROM varnholt_journal_head()";
    const struct {
        const char* who;
        std::string token;
        std::vector<std::string> sql;
        const char* state;
    } cases[] = {
        {"no session", "", {addPeer, entry}, "42501"},
        {"no session", "", {addEqa, entry}, "42501"},
        {"tech, no entry", tech, {addPeer}, "42501"},
        {"tech, no entry", tech, {addEqa}, "42501"},
        {"tech", tech, {"UPDATE peer_stat SET mean = 9", entry}, "42501"},
        {"tech", tech, {"DELETE FROM eqa_result", entry}, "42501"},
        {"tech", tech, {"TRUNCATE peer_stat"}, "42501"},
        {"boss, no entry", boss, {"DELETE FROM eqa_result"}, "42501"},
        {"a row twice",
         tech,
         {"INSERT INTO peer_stat(analyte_key, analyte, material_key, material, lot_key, "
          "lot, level, month, mean, sd, n, labs) SELECT analyte_key, analyte, material_key, "
          "material, lot_key, lot, level, month, 1, 1, 2, 1 FROM peer_stat LIMIT 1",
          entry},
         "23505"},
        {"an SD of 0", boss, {"UPDATE peer_stat SET sd = 0", entry}, "23514"},
    };
    const int64_t rows = Count("SELECT (SELECT count(*) FROM peer_stat) + (SELECT count(*) FROM eqa_result)");
    for (const auto& k : cases) EXPECT_EQ(RefusalAs(c, k.token, k.sql), k.state) << k.who << ": " << k.sql[0];
    EXPECT_EQ(Count("SELECT (SELECT count(*) FROM peer_stat) + (SELECT count(*) FROM eqa_result)"), rows);
    // With its entry, a technologist records a row; a supervisor removes one.
    EXPECT_EQ(RefusalAs(c, tech, {addPeer, entry}), "");
    EXPECT_EQ(RefusalAs(c, boss, {"DELETE FROM peer_stat WHERE lot = 'A2'", entry}), "");
    EXPECT_EQ(Count("SELECT (SELECT count(*) FROM peer_stat) + (SELECT count(*) FROM eqa_result)"), rows);
}
