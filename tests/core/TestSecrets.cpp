// Secrets at rest: the program password kept as a hash in the database (the settings file keeps a
// marker), a password found in clear moved once, the modes of the database and its copies, and the
// station's server file refused when everyone can read its password.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UDatabase.h"
#include "UJournal.h"

namespace fs = std::filesystem;

namespace {
class Secrets : public ::testing::Test {
protected:
    TOpenFolder folder;
    TOperations& ops = Operations();
    void SetUp() override { folder.Reopen(TOpenMode::Program); }
    static unsigned ModeOf(const std::string& p) {
        struct stat st;
        return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0u;
    }
    static std::string FileField() {
        TSettings s;
        std::vector<std::string> operators;
        EXPECT_TRUE(ParseSettingsImage(ReadWholeFile(SettingsFileName()), s, operators));
        return s.Password;
    }
    int HashesKept() {
        TStatement st =
            ops.Database().Prepare("SELECT count(*) FROM meta WHERE key LIKE 'settings_password %'");
        st.Step();
        return static_cast<int>(st.Int(0));
    }
    std::vector<TJournalEntry> PasswordEntries() {
        TJournalFilter f;
        f.Kind = jk::PasswordChanged;
        return ops.Journal(f);
    }
};
} // namespace

TEST_F(Secrets, PasswordIsKeptAsAHashAndChecksAfterAReopen) {
    ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.Password = "LAB KEY"; }).Ok());
    const std::string bytes = ReadWholeFile(SettingsFileName());
    EXPECT_EQ(bytes.find("LAB KEY"), std::string::npos) << "no password in the settings file";
    EXPECT_TRUE(IsPasswordMarker(FileField()));
    EXPECT_EQ(bytes.size(), SettingsImage(Settings, Operators).size()) << "the legacy layout is kept";
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(ops.SettingsPasswordIs("LAB KEY"));
        EXPECT_TRUE(ops.PasswordMatches("lab key"));
        EXPECT_FALSE(ops.SettingsPasswordIs("LAB KEY "));
        EXPECT_FALSE(ops.SettingsPasswordIs(""));
        EXPECT_FALSE(ops.PasswordMatches("LAB"));
        folder.Reopen(TOpenMode::Program);
    }
    // A change leaves one hash; removing the password leaves none, and an empty field.
    ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.Password = "OTHER"; }).Ok());
    EXPECT_EQ(HashesKept(), 1);
    EXPECT_FALSE(ops.SettingsPasswordIs("LAB KEY"));
    EXPECT_TRUE(ops.SettingsPasswordIs("OTHER"));
    ASSERT_TRUE(ops.ChangeSettings([](TSettings& s) { s.Password.clear(); }).Ok());
    EXPECT_EQ(FileField(), "");
    EXPECT_EQ(HashesKept(), 0);
    EXPECT_TRUE(ops.SettingsPasswordIs(""));
}

// A settings file written with the password in clear (an older version, another copy) is moved to
// the database once, journaled; a marker whose hash went with a replaced database is removed, said.
TEST_F(Secrets, ClearPasswordMovedOnceAndLostHashSaid) {
    TSettings legacy = Settings;
    legacy.Password = "OLDPW";
    AtomicWriteFile(SettingsFileName(), SettingsImage(legacy, Operators));
    const size_t entriesBefore = PasswordEntries().size();
    folder.Reopen(TOpenMode::Program);
    EXPECT_TRUE(IsPasswordMarker(FileField()));
    EXPECT_EQ(ReadWholeFile(SettingsFileName()).find("OLDPW"), std::string::npos);
    EXPECT_TRUE(ops.PasswordMatches("oldpw"));
    folder.Reopen(TOpenMode::Program);
    auto entries = PasswordEntries();
    ASSERT_EQ(entries.size(), entriesBefore + 1) << "moved once";
    EXPECT_EQ(entries.back().After, "program password kept as a hash in the database");

    ops.Close();
    for (const char* side : {"", "-wal", "-shm"})
        fs::remove(folder.File(std::string(TDatabase::FileName) + side));
    TOpenReport report = folder.Reopen(TOpenMode::Program);
    ASSERT_TRUE(report.Opened);
    bool said = false;
    for (const std::string& n : report.Notes)
        said = said || n.find("could not be checked") != std::string::npos;
    EXPECT_TRUE(said);
    EXPECT_EQ(FileField(), "");
    EXPECT_TRUE(Settings.Password.empty());
}

// Without a database no new password is kept, neither as a hash nor in clear: the change is refused
// and the settings file stays as it was.
TEST_F(Secrets, WithoutTheDatabaseANewPasswordIsRefused) {
    folder.Reopen(TOpenMode::Program, true); // the files of a folder in use
    ops.Close();
    for (const char* side : {"", "-wal", "-shm"})
        fs::remove(folder.File(std::string(TDatabase::FileName) + side));
    fs::create_directory(folder.File(TDatabase::FileName)); // a database that cannot be opened
    ASSERT_TRUE(folder.Reopen(TOpenMode::Writer).Opened) << folder.report.Message;
    const std::string before = ReadWholeFile(SettingsFileName());
    EXPECT_FALSE(ops.ChangeSettings([](TSettings& s) { s.Password = "NEWPW"; }).Ok());
    EXPECT_TRUE(ReadWholeFile(SettingsFileName()) == before);
    EXPECT_TRUE(Settings.Password.empty());
    ops.Close();
    fs::remove(folder.File(TDatabase::FileName));
}

TEST_F(Secrets, DatabaseAndItsBackupsArePrivate) {
    const std::string db = folder.File(TDatabase::FileName);
    const std::string media = folder.File("media/");
    fs::create_directory(media);
    for (auto [mask, expected] : {std::pair{022u, 0600u}, std::pair{002u, 0660u}}) {
        SCOPED_TRACE(mask);
        mode_t old = ::umask(mask);
        ops.Close();
        for (const char* side : {"", "-wal", "-shm"}) fs::remove(db + side);
        fs::remove(SettingsFileName());
        for (const auto& e : fs::directory_iterator(media)) fs::remove(e.path());
        folder.Reopen(TOpenMode::Program);
        ASSERT_TRUE(ops.SetOperators({"AB"}).Ok());
        Settings.LastBackup = 1;
        ASSERT_TRUE(ops.Backup(media).Ok());
        EXPECT_EQ(ModeOf(db), expected);
        EXPECT_EQ(ModeOf(db + "-wal"), expected);
        EXPECT_EQ(ModeOf(SettingsFileName()), expected);
        EXPECT_EQ(ModeOf(media + "Varnholt.db.Sav"), expected);
        ::umask(old);
    }
    // A database made open to everyone by an earlier version is closed to others at the next open.
    ops.Close();
    ::chmod(db.c_str(), 0644);
    folder.Reopen(TOpenMode::Program);
    EXPECT_EQ(ModeOf(db), 0600u);
}

TEST(ServerFile, PasswordReadableByEveryoneIsRefused) {
    TTempFolder folder;
    const std::string path = folder.File("Varnholt.server");
    struct Case {
        const char* line;
        unsigned mode;
        bool refused;
    };
    for (const Case& c : {Case{"host=db dbname=qc password=S3cret", 0644, true},
                          Case{"postgresql://qc:S3cret@db/qc", 0604, true},
                          Case{"host=db dbname=qc PASSWORD=x", 0644, true}, // libpq cannot read it
                          Case{"host=db dbname=qc password=S3cret", 0640, false},
                          Case{"host=db dbname=qc password=S3cret", 0600, false},
                          Case{"host=db dbname=qc user=qc", 0644, false}}) {
        SCOPED_TRACE(c.line);
        std::ofstream(path, std::ios::trunc) << c.line << "\r\n";
        ::chmod(path.c_str(), c.mode);
        std::string refusal;
        const std::string line = ReadServerFile(path, refusal);
        EXPECT_EQ(refusal.empty(), !c.refused) << refusal;
        EXPECT_EQ(line, c.refused ? "" : c.line);
    }
}
