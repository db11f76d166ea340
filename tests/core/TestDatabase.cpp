// Statements prepared once per connection and reused: each use starts afresh, nested uses of one text
// stay apart, and what another connection wrote is seen.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "UDatabase.h"

namespace {

std::vector<int64_t> Ids(const TDatabase& db, int64_t from) {
    TStatement st = db.Prepare("SELECT id FROM t WHERE id >= ? ORDER BY id");
    st.Bind(1, from);
    std::vector<int64_t> out;
    while (st.Step()) out.push_back(st.Int(0));
    return out;
}

} // namespace

TEST(Database, ReusedStatementsStartAfreshAndSeeOtherConnections) {
    TTempFolder folder;
    const std::string path = folder.Path() + "t.db";
    TDatabase db;
    db.Open(path);
    db.Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT)");
    for (int64_t k = 1; k <= 3; ++k)
        db.Prepare("INSERT INTO t(id, v) VALUES (?, ?)").Bind(1, k).Bind(2, "x").Step();
    EXPECT_EQ(Ids(db, 2), (std::vector<int64_t>{2, 3}));
    {
        // Left after one row: the next use of the text begins at the first row again.
        TStatement half = db.Prepare("SELECT id FROM t WHERE id >= ? ORDER BY id");
        half.Bind(1, int64_t{1});
        ASSERT_TRUE(half.Step());
    }
    EXPECT_EQ(Ids(db, 1), (std::vector<int64_t>{1, 2, 3}));
    // A parameter left unbound is NULL, not the value of the last use.
    {
        TStatement again = db.Prepare("SELECT id FROM t WHERE id >= ? ORDER BY id");
        EXPECT_FALSE(again.Step());
    }
    // Two uses of one text at once, each with its own rows.
    {
        TStatement outer = db.Prepare("SELECT id FROM t WHERE id >= ? ORDER BY id");
        outer.Bind(1, int64_t{1});
        std::vector<int64_t> seen;
        while (outer.Step()) {
            seen.push_back(outer.Int(0));
            EXPECT_EQ(Ids(db, outer.Int(0)).size(), static_cast<size_t>(4 - outer.Int(0)));
        }
        EXPECT_EQ(seen, (std::vector<int64_t>{1, 2, 3}));
    }
    // A reused statement holds no snapshot: another connection's row and a new table are seen.
    {
        TDatabase other;
        other.Open(path);
        other.Exec("INSERT INTO t(id, v) VALUES (4, 'y')");
    }
    EXPECT_EQ(Ids(db, 3), (std::vector<int64_t>{3, 4}));
    db.Exec("DROP TABLE t");
    db.Exec("CREATE TABLE t(id INTEGER PRIMARY KEY)");
    db.Exec("INSERT INTO t(id) VALUES (7)");
    EXPECT_EQ(Ids(db, 0), (std::vector<int64_t>{7}));

    // A statement that outlives its connection's close is finalized, not kept for the next connection.
    std::optional<TStatement> late;
    late.emplace(db.Prepare("SELECT id FROM t WHERE id >= ? ORDER BY id"));
    db.Close();
    db.Open(path);
    late.reset();
    EXPECT_EQ(Ids(db, 0), (std::vector<int64_t>{7}));
}
