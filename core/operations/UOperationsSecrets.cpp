// The program password kept as a hash in the database; the settings file holds a marker naming it.
#include "UOperations.h"
#include "UOperationsStores.h"

#include <fstream>
#include <libpq-fe.h>
#include <sodium.h>
#include <sys/stat.h>

#include "UJournal.h"
#include "UJournalTexts.h"
#include "UTexts.h"
#include "UUtilitaires.h"

namespace {
// A control character no keyboard types: an older reader of the settings file sees a password that
// nobody can give, and stays locked.
constexpr char MarkerLead = '\x01';
constexpr size_t MarkerTagSize = 8;

std::string NewMarker() {
    unsigned char bytes[MarkerTagSize / 2];
    randombytes_buf(bytes, sizeof bytes);
    static const char* digits = "0123456789ABCDEF";
    std::string marker(1, MarkerLead);
    for (unsigned char b : bytes) {
        marker += digits[b >> 4];
        marker += digits[b & 15];
    }
    return marker;
}
} // namespace

bool IsPasswordMarker(std::string_view field) {
    return field.size() == 1 + MarkerTagSize && field[0] == MarkerLead;
}

std::string PasswordMarkerKey(std::string_view marker) {
    return "settings_password " + std::string(marker.substr(1));
}

bool TOperations::SettingsPasswordIs(const std::string& upper) const {
    const std::string& kept = Settings.Password;
    if (kept.empty()) return upper.empty();
    if (!IsPasswordMarker(kept)) return upper == kept;
    try {
        if (std::optional<bool> checked = store_->SettingsPasswordIs(kept, upper)) return *checked;
        if (!db_.IsOpen()) return false;
        const std::optional<std::string> hash = db_.Meta(PasswordMarkerKey(kept));
        return hash && PasswordHashMatches(*hash, upper);
    } catch (const EQcError&) {
        return false;
    }
}

std::optional<std::string> TOperations::SettingsPasswordHash() const {
    if (!IsPasswordMarker(Settings.Password) || !db_.IsOpen()) return std::nullopt;
    return db_.Meta(PasswordMarkerKey(Settings.Password));
}

TOutcome TOperations::AdoptSettingsPassword(const std::string& marker, const std::string& hash) {
    try {
        EnsureDatabase();
        if (!db_.IsOpen())
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: the password is kept in the "
                                               "database, which is not open"),
                     SettingsFileName()));
        db_.SetMeta(PasswordMarkerKey(marker), hash);
        // Moved with the records as they were: nothing new to journal.
        Settings.Password = marker;
        WriteSettings();
    } catch (const EQcError& e) {
        return TOutcome::FromError(e);
    }
    return {};
}

std::string TOperations::HashedSettingsPassword() {
    const std::string& password = Settings.Password;
    if (password.empty() || IsPasswordMarker(password)) return password;
    EnsureDatabase();
    if (!db_.IsOpen())
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: the password is kept in the "
                                                      "database, which is not open"),
                            SettingsFileName()));
    const std::string marker = NewMarker();
    // Stored before the file names it: a crash in between leaves the file with the former password.
    db_.SetMeta(PasswordMarkerKey(marker), HashPassword(password));
    return marker;
}

void TOperations::DropOtherSettingsPasswords(const std::string& marker) {
    if (!db_.IsOpen()) return;
    try {
        TStatement st = db_.Prepare("DELETE FROM meta WHERE key LIKE 'settings_password %' AND key <> ?");
        st.Bind(1, IsPasswordMarker(marker) ? PasswordMarkerKey(marker) : std::string());
        st.Step();
    } catch (const EQcError&) {
        // A hash left over names no file: the next change removes it.
    }
}

void TOperations::KeepSettingsPasswordHashed(TOpenReport& report) {
    if (Settings.Password.empty() || !db_.IsOpen()) return;
    try {
        if (IsPasswordMarker(Settings.Password)) {
            if (db_.Meta(PasswordMarkerKey(Settings.Password))) return;
            // The database that held the hash was replaced: the password cannot be checked any more.
            Log(jk::PasswordChanged, nullptr, 0, std::nullopt, "program password set",
                "program password removed: its hash is not in the database");
            Settings.Password.clear();
            WriteSettings();
            report.Notes.push_back(TranslatedText(QT_TRANSLATE_NOOP(
                "Core", "The program password could not be checked (the database does not hold it) and "
                        "was removed: set it again in the Configuration menu.")));
            return;
        }
        // A settings file written with the password in clear: moved to the database once.
        Log(jk::PasswordChanged, nullptr, 0, std::nullopt, "program password set (in the settings file)",
            "program password kept as a hash in the database");
        WriteSettings();
    } catch (const EQcError& e) {
        report.Notes.push_back(e.what());
    }
}

std::string ReadServerFile(const std::string& path, std::string& refusal) {
    refusal.clear();
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty()) return line;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || (st.st_mode & 0004) == 0) return line;
    // Readable by every user of the machine: refused when it gives a password (as ssh refuses such a
    // key). A text libpq cannot read may hold one too.
    bool password = true;
    if (PQconninfoOption* options = PQconninfoParse(line.c_str(), nullptr)) {
        password = false;
        for (PQconninfoOption* o = options; o->keyword; ++o)
            if (std::string_view(o->keyword) == "password" && o->val && *o->val) password = true;
        PQconninfoFree(options);
    }
    if (!password) return line;
    refusal = Fill(QT_TRANSLATE_NOOP("Core", "%1 holds a password and every user of this computer can read "
                                             "it: make it readable by its owner only (chmod 600 %1)."),
                   path);
    return {};
}
