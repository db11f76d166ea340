// Program folder, settings file and operators.
#include "UGlobale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UBinary.h"
#include "UQcError.h"
#include "UUtilitaires.h"

std::string ProgramFolder;
std::string BaseName;
std::vector<std::string> Operators;
bool FirstRun = false;

bool SignatureMagicMatches(const uint8_t* b) {
    return std::equal(b + 3, b + 9, ProgramSignature.begin() + 3);
}

bool SignatureMagicMatches(std::string_view b) {
    return b.size() >= SignatureSize && SignatureMagicMatches(reinterpret_cast<const uint8_t*>(b.data()));
}

namespace {
std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}
} // namespace

std::string ExecutableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return WithSlash(std::filesystem::current_path().string());
    return WithSlash(exe.parent_path().string());
}

std::string FindProgramFolder(const std::string& executableFolder) {
    if (const char* home = std::getenv("VARNHOLT_HOME"); home && *home) return WithSlash(home);
    std::string exe = WithSlash(executableFolder);
    for (const char* marker : {"Varnholt.cfr", "Varnholt.qcf", "portable"})
        if (std::filesystem::exists(exe + marker)) return exe;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && xdg[0] == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        return ""; // no home: a shared temporary folder is no place for a laboratory's records
    return WithSlash(base + "/Varnholt");
}

void SetProgramFolder(const std::string& folder) {
    ProgramFolder = WithSlash(folder);
    BaseName = ProgramFolder + "Varnholt";
    std::error_code ec;
    std::filesystem::create_directories(ProgramFolder, ec);
}

std::string SettingsFileName() {
    return BaseName + ".cfr";
}

std::string ArchiveFileName(int32_t n) {
    std::string digits = std::to_string(n);
    while (digits.size() < 6) digits = "0" + digits;
    return ProgramFolder + "QC" + digits + ".qca";
}

void DefaultSettings() {
    Settings = TSettings{};
    Settings.LastBackup = Today();
}

void AddOperator(const std::string& typed) {
    const std::string name = BlankControlChars(typed);
    std::string key = UpperCase(name);
    auto pos = std::upper_bound(Operators.begin(), Operators.end(), key,
                                [](const std::string& k, const std::string& o) { return k < UpperCase(o); });
    Operators.insert(pos, name);
}

std::string SettingsImage(const TSettings& s, const std::vector<std::string>& operators) {
    TByteWriter w;
    w.U8(s.ShowAboutAtStart ? 1 : 0);
    w.U8(s.ColourPrint ? 1 : 0);
    w.ShortString(s.Password, 10);
    w.U8(static_cast<uint8_t>(s.BackupDrive));
    w.Zeros(2);
    w.I32(s.BackupInterval);
    w.Double(s.LastBackup);
    w.U8(s.AlertRow);
    w.U8(s.ActionRow);
    w.Bytes(std::string_view(reinterpret_cast<const char*>(s.Signature.data()), SignatureSize));
    w.Zeros(1);
    w.I32(static_cast<int32_t>(operators.size()));
    for (const std::string& op : operators) w.LongText(op);
    w.LongText(s.BackupFolder);
    w.I32(ValidDisplaySize(s.DisplaySize) ? s.DisplaySize : 0);
    return w.Data();
}

bool ParseSettingsImage(std::string_view bytes, TSettings& s, std::vector<std::string>& operators) {
    try {
        TByteReader r(bytes);
        std::string_view rec = r.Bytes(SettingsRecordSize);
        if (!SignatureMagicMatches(rec.substr(30, SignatureSize))) return false;
        TByteReader f(rec);
        s.ShowAboutAtStart = f.U8() != 0;
        s.ColourPrint = f.U8() != 0;
        s.Password = f.ShortString(10);
        s.BackupDrive = static_cast<char>(f.U8());
        f.Skip(2);
        s.BackupInterval = f.I32();
        s.LastBackup = f.Double();
        s.AlertRow = f.U8();
        s.ActionRow = f.U8();
        // Out-of-range values from a damaged record fall back to their defaults.
        if (s.AlertRow > 1) s.AlertRow = 0;
        if (s.ActionRow < 2 || s.ActionRow > 4) s.ActionRow = 4;
        if (s.BackupInterval < 1 || s.BackupInterval > 1000) s.BackupInterval = 7;
        if (!std::isfinite(s.LastBackup)) s.LastBackup = Today();
        size_t count = r.Count(4);
        for (size_t i = 0; i < count; ++i) operators.push_back(r.LongText());
        // The fields after the operators are optional: older files end before them. A damaged one
        // takes its default and ends the reading.
        s.BackupFolder.clear();
        s.DisplaySize = 0;
        if (r.Remaining() >= 4) {
            try {
                s.BackupFolder = r.LongText();
                if (r.Remaining() >= 4) {
                    const int32_t size = r.I32();
                    if (ValidDisplaySize(size)) s.DisplaySize = size;
                }
            } catch (const EQcError&) {
                s.BackupFolder.clear();
            }
        }
        return true;
    } catch (const EQcError&) {
        return false;
    }
}

bool ValidDisplaySize(int32_t percent) {
    return percent == 0 || (percent >= MinDisplaySize && percent <= MaxDisplaySize);
}

int32_t DisplaySizeOfSettingsImage(std::string_view bytes) {
    TSettings s;
    std::vector<std::string> operators;
    return ParseSettingsImage(bytes, s, operators) ? s.DisplaySize : 0;
}

void LoadSettings() {
    Operators.clear();
    std::vector<std::string> ops;
    TSettings s;
    bool ok = false;
    try {
        ok = ParseSettingsImage(ReadWholeFile(SettingsFileName()), s, ops);
    } catch (const EQcError&) {
        ok = false;
    }
    for (const std::string& op : ops) AddOperator(op);
    if (ok) {
        Settings = s;
        FirstRun = false;
    } else {
        DefaultSettings();
        FirstRun = true;
    }
    Settings.Signature = ProgramSignature;
}

void SaveSettings() {
    AtomicWriteFile(SettingsFileName(), SettingsImage(Settings, Operators));
}
