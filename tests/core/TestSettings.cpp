// The settings file: its 40-byte record, the operators, damaged files and failed writes.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UQcError.h"

namespace {
void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
} // namespace

class SettingsFile : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(SettingsFile, RecordLayoutIsByteExact) {
    TSettings s;
    s.ShowAboutAtStart = false;
    s.ColourPrint = true;
    s.Password = "SECRET";
    s.BackupDrive = 'B';
    s.BackupInterval = 30;
    s.LastBackup = 45000.5;
    s.AlertRow = 1;
    s.ActionRow = 3;
    std::string img = SettingsImage(s, {"AB", "Zed"});
    ASSERT_GE(img.size(), 40u);
    EXPECT_EQ(img[0], 0);
    EXPECT_EQ(img[1], 1);
    EXPECT_EQ(img[2], 6);
    EXPECT_EQ(img.substr(3, 6), "SECRET");
    EXPECT_EQ(img[13], 'B');
    EXPECT_EQ(static_cast<uint8_t>(img[16]), 30);
    double d;
    std::memcpy(&d, img.data() + 20, 8);
    EXPECT_EQ(d, 45000.5);
    EXPECT_EQ(img[28], 1);
    EXPECT_EQ(img[29], 3);
    EXPECT_EQ(img.substr(30, 9), std::string("\x08"
                                             "32\xB5\xFE\x70\x6F\x34\x35",
                                             9));
    EXPECT_EQ(img[39], 0);
    // Operators follow as a count and long texts, then the backup folder and the display size.
    EXPECT_EQ(img.substr(40, 4), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(img.substr(44, 6), std::string("\x02\0\0\0AB", 6));
    EXPECT_EQ(img.size(), 40u + 4 + 6 + 7 + 4 + 4);
    s.DisplaySize = 150;
    EXPECT_EQ(SettingsImage(s, {}).substr(48), std::string("\x96\0\0\0", 4));
}

TEST_F(SettingsFile, RoundTripKeepsEverythingAndSortsOperators) {
    DefaultSettings();
    Settings.Password = "PW";
    Settings.BackupInterval = 12;
    Settings.BackupFolder = "/media/usb/qc";
    Settings.DisplaySize = 175;
    Operators.clear();
    for (const char* op : {"zoe", "Anna", "bob", "anna"}) AddOperator(op);
    EXPECT_EQ(Operators, (std::vector<std::string>{"Anna", "anna", "bob", "zoe"}));
    SaveSettings();
    Settings = TSettings{};
    Operators.clear();
    LoadSettings();
    EXPECT_FALSE(FirstRun);
    EXPECT_EQ(Settings.Password, "PW");
    EXPECT_EQ(Settings.BackupInterval, 12);
    EXPECT_EQ(Settings.BackupFolder, "/media/usb/qc");
    EXPECT_EQ(Settings.DisplaySize, 175);
    EXPECT_EQ(Operators.size(), 4u);
    EXPECT_EQ(Operators.front(), "Anna");
}

TEST_F(SettingsFile, OtherVersionWithSameMagicIsAccepted) {
    TSettings s;
    s.BackupInterval = 99;
    std::string img = SettingsImage(s, {});
    img[31] = '3';
    img[32] = '0';
    img.resize(44); // an older file: no backup folder after the operators
    WriteBytes(SettingsFileName(), img);
    LoadSettings();
    EXPECT_FALSE(FirstRun);
    EXPECT_EQ(Settings.BackupInterval, 99);
    EXPECT_EQ(Settings.BackupFolder, "");
    EXPECT_EQ(Settings.DisplaySize, 0);
    EXPECT_EQ(Settings.Signature, ProgramSignature);
}

// The display size is the last field: a file that ends before it, or holds a size the program cannot
// apply, gives "follow the desktop" and keeps everything before it.
TEST_F(SettingsFile, DisplaySizeMissingOrWrongFollowsTheDesktop) {
    TSettings s;
    s.BackupFolder = "/media/usb";
    s.DisplaySize = 125;
    const std::string full = SettingsImage(s, {"JD"});
    const std::string withoutSize = full.substr(0, full.size() - 4);
    auto withSize = [&](int32_t v) {
        std::string img = withoutSize;
        img.append(reinterpret_cast<const char*>(&v), 4);
        return img;
    };
    const struct {
        std::string image;
        int32_t expected;
    } cases[] = {{full, 125},        {withoutSize, 0},  {withoutSize + "\x01", 0}, {withSize(99), 0},
                 {withSize(201), 0}, {withSize(-5), 0}, {withSize(200), 200},      {withSize(0), 0}};
    for (const auto& c : cases) {
        WriteBytes(SettingsFileName(), c.image);
        Settings.DisplaySize = 777;
        LoadSettings();
        EXPECT_FALSE(FirstRun);
        EXPECT_EQ(Settings.DisplaySize, c.expected);
        EXPECT_EQ(Settings.BackupFolder, "/media/usb");
        EXPECT_EQ(Operators, std::vector<std::string>{"JD"});
        EXPECT_EQ(DisplaySizeOfSettingsImage(c.image), c.expected);
    }
    // A value the program cannot apply is never written.
    s.DisplaySize = 300;
    EXPECT_EQ(DisplaySizeOfSettingsImage(SettingsImage(s, {})), 0);
}

TEST_F(SettingsFile, MissingShortForeignOrDamagedGivesDefaultsAndFirstRun) {
    LoadSettings();
    EXPECT_TRUE(FirstRun);
    EXPECT_EQ(Settings.BackupInterval, 7);
    EXPECT_EQ(Settings.LastBackup, Today());

    std::string good = SettingsImage(TSettings{}, {"OPA", "OPB"});
    std::string foreign = good;
    foreign[35] = 0;
    std::string hugeCount = good.substr(0, 40) + std::string("\xFF\xFF\xFF\x7F", 4);
    std::string damagedOperator =
        good.substr(0, 44) + std::string("\x03\0\0\0OPA", 7) + std::string("\x50\0\0\0", 4);
    for (const std::string& bad : {std::string(), good.substr(0, 39), foreign, hugeCount, damagedOperator}) {
        WriteBytes(SettingsFileName(), bad);
        Settings.BackupInterval = 555;
        LoadSettings();
        EXPECT_TRUE(FirstRun);
        EXPECT_EQ(Settings.BackupInterval, 7);
    }
    // Operators read before the damage stay.
    EXPECT_EQ(Operators, std::vector<std::string>{"OPA"});
}

TEST_F(SettingsFile, FailedWriteKeepsThePreviousFileAndSaysWhy) {
    Settings.BackupInterval = 21;
    SaveSettings();
    std::string before = ReadWholeFile(SettingsFileName());
    Settings.BackupInterval = 22;
    for (TWriteStep step : {TWriteStep::Open, TWriteStep::Write, TWriteStep::Sync, TWriteStep::Rename}) {
        WriteFaults() = {true, step, 10};
        try {
            SaveSettings();
            ADD_FAILURE() << "write reported success";
        } catch (const EQcError& e) {
            EXPECT_NE(std::string(e.what()).find(SettingsFileName()), std::string::npos);
        }
        WriteFaults() = {};
        EXPECT_EQ(ReadWholeFile(SettingsFileName()), before);
    }
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder.Path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsFile, FolderThatCannotBeWrittenIsReported) {
    BaseName = folder.Path() + "gone/Varnholt";
    try {
        SaveSettings();
        ADD_FAILURE() << "write reported success";
    } catch (const EQcError& e) {
        EXPECT_NE(std::string(e.what()).find("gone/Varnholt.cfr"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos);
    }
}

TEST(ProgramFolder, PortableInstallAndOverride) {
    TTempFolder exe;
    unsetenv("VARNHOLT_HOME");
    setenv("HOME", "/home/someone", 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(FindProgramFolder(exe.Path()), "/home/someone/.local/share/Varnholt/");
    WriteBytes(exe.File("portable"), "");
    EXPECT_EQ(FindProgramFolder(exe.Path()), exe.Path());
    std::filesystem::remove(exe.File("portable"));
    WriteBytes(exe.File("Varnholt.qcf"), "x");
    EXPECT_EQ(FindProgramFolder(exe.Path()), exe.Path());
    setenv("VARNHOLT_HOME", "/srv/qc", 1);
    EXPECT_EQ(FindProgramFolder(exe.Path()), "/srv/qc/");
    unsetenv("VARNHOLT_HOME");
}
