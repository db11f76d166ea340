// The operations layer: backup and restore of the data and its database.
#include "UOperations.h"
#include "UOperationsCommon.h"
#include "UOperationsStores.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <xxhash.h>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UJournalTexts.h"
#include "URandom.h"
#include "UTexts.h"
#include "UUtilitaires.h"

using namespace ops_common;

namespace {
int64_t RunsIn(const TListAnalytes& list) {
    int64_t n = 0;
    for (const auto& a : list.Items) n += a->Count();
    return n;
}

// The runs of a data file image, -1 when it is not one.
int64_t RunsInFile(const std::string& path) {
    if (!FileExists(path)) return -1;
    try {
        TListSerum serum;
        TListAnalytes analytes;
        ParseDataImage(ReadWholeFile(path), serum, analytes);
        return RunsIn(analytes);
    } catch (const EQcError&) {
        return -1;
    }
}

// For messages, in the user's language.
std::string ShownRunsText(int64_t n) {
    return Fill(n == 1 ? QT_TRANSLATE_NOOP("Core", "%1 run") : QT_TRANSLATE_NOOP("Core", "%1 runs"),
                std::to_string(n));
}
} // namespace

// ---------------------------------------------------------------- backup

TBackupPlan TOperations::PlanBackup(const std::string& folder) const {
    TBackupPlan plan;
    std::error_code ec;
    plan.FolderPresent = !folder.empty() && std::filesystem::is_directory(folder, ec);
    plan.RunsInData = RunsIn(ListAnalytes);
    if (plan.FolderPresent) plan.RunsInBackup = RunsInFile(BackupFileName(folder));
    return plan;
}

namespace {
// Space left for files on the folder's file system, or -1 when unknown.
int64_t FreeBytes(const std::string& folder) {
    struct statvfs vfs;
    if (::statvfs(folder.c_str(), &vfs) != 0) return -1;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

[[noreturn]] void RotationFailed(const std::string& sav, int err) {
    throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), sav, std::strerror(err)), sav,
                   std::strerror(err));
}

// Puts a complete new generation in place: bytes become `sav`, the former `sav` becomes `old`. At every
// moment a complete backup is named `sav` or `old`, and a failure at any step leaves both earlier
// generations as they were. Where the file system has hard links, the former generation is linked to
// its new name before the new one replaces it; elsewhere (FAT media) only renames are used, the older
// generation set aside until the new one is in place.
void Rotate(const std::string& folder, const std::string& sav, const std::string& old, const std::string& tmp,
            std::string_view bytes, TWriteOptions options = {}) {
    AtomicWriteFile(tmp, bytes, options);
    auto abandon = [&](int err) {
        ::unlink(tmp.c_str());
        RotationFailed(sav, err);
    };
    if (!FileExists(sav)) {
        if (int err = RenameFile(tmp, sav)) abandon(err);
        SyncFolder(folder);
        return;
    }
    const std::string next = old + ".next", prev = old + ".prev";
    ::unlink(next.c_str());
    if (LinkFile(sav, next) == 0) {
        if (int err = RenameFile(tmp, sav)) {
            ::unlink(next.c_str());
            abandon(err);
        }
        // The new generation is in place; the former one only moves to its name.
        if (RenameFile(next, old) != 0) ::unlink(next.c_str());
        SyncFolder(folder);
        return;
    }
    const bool hadOld = FileExists(old);
    if (hadOld) {
        if (int err = RenameFile(old, prev)) abandon(err);
    }
    if (int err = RenameFile(sav, old)) {
        if (hadOld) RenameFile(prev, old);
        abandon(err);
    }
    if (int err = RenameFile(tmp, sav)) {
        RenameFile(old, sav);
        if (hadOld) RenameFile(prev, old);
        abandon(err);
    }
    ::unlink(prev.c_str());
    SyncFolder(folder);
}

std::string DatabaseBackupName(const std::string& folder, const char* extension) {
    return WithSlash(folder) + "Varnholt.db." + extension;
}

// The hash of the data backup a database backup was made with.
constexpr const char* MetaBackupOf = "backup.data";

// True when the database backup at `path` was made with the data backup of hash `dataHash`. A backup of
// an earlier version has no such record: the hash of the data file it last wrote tells.
bool DatabaseBackupBelongs(const std::string& path, const std::string& dataHash,
                           const std::string& dataName) {
    if (!TDatabase::LooksLikeDatabase(path)) return false;
    try {
        TDatabase backup;
        backup.OpenUnchanging(path);
        if (auto of = backup.Meta(MetaBackupOf)) return *of == dataHash;
        TStatement st = backup.Prepare("SELECT hash FROM file_state WHERE name = ?");
        st.Bind(1, dataName);
        return st.Step() && st.Text(0).compare(0, dataHash.size(), dataHash) == 0;
    } catch (const EQcError&) {
        return false;
    }
}
} // namespace

TOutcome TOperations::BackupData(const std::string& folder, const TBackupChoice& choice) {
    TBackupPlan plan = PlanBackup(folder);
    if (!plan.FolderPresent) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Backup aborted"));
    if (plan.RunsInBackup > plan.RunsInData && !choice.ReplaceLarger)
        return TOutcome::Refuse(
            Fill(QT_TRANSLATE_NOOP("Core", "The backup in %1 holds %2, more than the %3 of the data now: it "
                                           "was not replaced. Backup aborted"),
                 WithSlash(folder), ShownRunsText(plan.RunsInBackup), ShownRunsText(plan.RunsInData)));
    const std::string sav = BackupFileName(folder), old = OldBackupFileName(folder),
                      tmp = TempBackupFileName(folder);
    std::string image;
    try {
        image = DataImage(ListSerum, ListAnalytes);
    } catch (const EQcError& e) {
        return TOutcome::FromError(
            EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot write %1: %2"), tmp, e.what()), tmp, e.what()));
    }
    // A backup identical to the newest one is not written again: rotating it would only push the
    // previous generation out (a retry after a failure that came once the backup was in place).
    bool same = false;
    try {
        same = FileExists(sav) && ReadWholeFile(sav) == image;
    } catch (const EQcError&) {
    }
    const std::string dbSav = DatabaseBackupName(folder, "Sav"), dbOld = DatabaseBackupName(folder, "Old"),
                      dbTmp = DatabaseBackupName(folder, "tmp");
    // Unfinished temporary files of a killed backup only take room.
    RemoveLeftoverTemporaryFiles(folder);
    TOutcome out;
    std::optional<std::string> dbImage;
    std::string dbError;
    const bool records = store_->BacksUpRecords();
    if (records) try {
            dbImage = store_->RecordsBackupImage(HashText(image));
        } catch (const EQcError& e) {
            dbError = e.what();
        }
    // A medium with room for two generations keeps working: the older ones make room for the new ones,
    // but only when the room is then enough for both copies.
    const int64_t free = FreeBytes(WithSlash(folder));
    const int64_t needed = (same ? 0 : static_cast<int64_t>(image.size()) + 65536) +
                           (dbImage ? static_cast<int64_t>(dbImage->size()) + 65536 : 0);
    if (free >= 0 && free < needed) {
        auto sizeOf = [](const std::string& path) {
            struct stat st;
            return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
        };
        std::vector<std::string> older;
        if (!same && FileExists(old) && FileExists(sav)) older.push_back(old);
        if (dbImage && !same && FileExists(dbOld) && FileExists(dbSav)) older.push_back(dbOld);
        int64_t reclaimed = 0;
        for (const std::string& o : older) reclaimed += sizeOf(o);
        if (free + reclaimed < needed)
            return TOutcome::Refuse(
                Fill(QT_TRANSLATE_NOOP("Core",
                                       "There is not enough room in %1 for the backup (%2 KB needed, %3 KB "
                                       "free). Backup aborted"),
                     WithSlash(folder), std::to_string((needed + 1023) / 1024),
                     std::to_string((free + reclaimed) / 1024)));
        for (const std::string& o : older) {
            ::unlink(o.c_str());
            out.Notes.push_back(Fill(
                QT_TRANSLATE_NOOP("Core", "The older backup %1 was removed to make room for the new one."),
                o));
        }
    }
    if (!same) {
        try {
            Rotate(folder, sav, old, tmp, image);
        } catch (const EQcError& e) {
            ::unlink(tmp.c_str());
            return TOutcome::FromError(e);
        }
    }
    bool dbWritten = false;
    if (dbImage) {
        try {
            // The database's generations go in step with the data's: ".db.Sav" is made with ".Sav",
            // ".db.Old" with ".Old". Data not rewritten keeps its generation, and the database backup is
            // replaced in it.
            // The copies hold the password hashes as the database does: private too.
            if (same)
                AtomicWriteFile(dbSav, *dbImage, {.NoOthers = true});
            else
                Rotate(folder, dbSav, dbOld, dbTmp, *dbImage, {.NoOthers = true});
            dbWritten = true;
        } catch (const EQcError& e) {
            dbError = e.what();
        }
    }
    if (!dbWritten && !same) {
        // The database backup of the former ".Sav" follows it to ".Old"; none is left beside the new one.
        ::unlink(dbOld.c_str());
        if (FileExists(dbSav) && RenameFile(dbSav, dbOld) != 0) ::unlink(dbSav.c_str());
    }
    if (records && !dbWritten) {
        out.Status = TStatus::Partial;
        out.Message =
            Fill(QT_TRANSLATE_NOOP("Core", "The data was backed up, but not the database:\r%1"), dbError);
    }
    // What a killed backup left beside the generations: the new ones are in place.
    for (const std::string& left : {old + ".next", old + ".prev", dbOld + ".next", dbOld + ".prev"})
        ::unlink(left.c_str());
    ::unlink(tmp.c_str());
    if (dbWritten) ::unlink(dbTmp.c_str());
    TSettings before = Settings;
    Settings.LastBackup = Today();
    // What was written, not what was meant to be.
    Log(jk::Backup, nullptr, 0, std::nullopt, "",
        "data" + std::string(dbWritten ? " and database" : "") + " backed up to " + WithSlash(folder) + " (" +
            RunsText(plan.RunsInData) + ")");
    try {
        WriteSettings();
    } catch (const EQcError& e) {
        Settings = before;
        out.Status = TStatus::Partial;
        out.Message += (out.Message.empty() ? "" : "\r");
        out.Message +=
            Fill(QT_TRANSLATE_NOOP(
                     "Core", "The data was backed up, but the date of the backup could not be saved:\r%1"),
                 e.what());
    }
    Notify(ckSettings);
    return out;
}

std::string TOperations::NewestBackup(const std::string& folder) const {
    for (const std::string& candidate :
         {BackupFileName(folder), TempBackupFileName(folder), OldBackupFileName(folder)})
        if (RunsInFile(candidate) >= 0) return candidate;
    return "";
}

TRestorePlan TOperations::PlanRestore(const std::string& folder) const {
    TRestorePlan plan;
    plan.Source = NewestBackup(folder);
    if (plan.Source.empty()) return plan;
    plan.Runs = RunsInFile(plan.Source);
    if (plan.Source == OldBackupFileName(folder) && FileExists(BackupFileName(folder)))
        plan.Damaged = BackupFileName(folder);
    return plan;
}

TOutcome TOperations::RestoreData(const std::string& folder, bool older) {
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Restore aborted"));
    if (!FileExists(BackupFileName(folder)) && !FileExists(OldBackupFileName(folder)) &&
        !FileExists(TempBackupFileName(folder)))
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "No backup file to restore"));
    const TRestorePlan plan = PlanRestore(folder);
    const std::string& source = plan.Source;
    if (source.empty()) return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Impossible to restore"));
    // Older data never replaces the data unasked.
    if (!plan.Damaged.empty() && !older)
        return TOutcome::Refuse(Fill(
            QT_TRANSLATE_NOOP("Core", "The newest backup %1 is damaged. Restore aborted"), plan.Damaged));
    TListSerum serum;
    TListAnalytes analytes;
    std::string bytes;
    try {
        bytes = ReadWholeFile(source);
        ParseDataImage(bytes, serum, analytes);
    } catch (const EQcError&) {
        return TOutcome::Refuse(QT_TRANSLATE_NOOP("Core", "Impossible to restore"));
    }
    const TAnalyte* shown = Current();
    const std::string shownName = shown ? shown->Name : "";
    Log(jk::Restore, nullptr, 0, std::nullopt, RunsText(RunsIn(ListAnalytes)),
        RunsText(RunsIn(analytes)) + " restored from " + source);
    std::swap(serum, ListSerum);
    std::swap(analytes, ListAnalytes);
    currentIndex_ = -1;
    try {
        WriteData();
    } catch (const EQcError& e) {
        std::swap(serum, ListSerum);
        std::swap(analytes, ListAnalytes);
        currentIndex_ = -1;
        TOutcome out = TOutcome::FromError(e);
        out.Message = Fill(QT_TRANSLATE_NOOP("Core", "Impossible to restore\r%1"), e.what());
        return out;
    }
    TOutcome out;
    if (source != BackupFileName(folder))
        out.Notes.push_back(
            Fill(QT_TRANSLATE_NOOP("Core", "Restored from %1, the newest complete backup."), source));
    if (store_->BacksUpRecords()) try {
            store_->RestoreRecords(folder, bytes, source);
        } catch (const EQcError& e) {
            out.Status = TStatus::Partial;
            out.Message =
                Fill(QT_TRANSLATE_NOOP("Core", "The data was restored, but not the database:\r%1"), e.what());
        }
    // The analyte shown before stays shown when the backup has it.
    const TAnalyte* same = ListAnalytes.FindByName(shownName);
    SetCurrent(same ? same : ListAnalytes.Count() > 0 ? &ListAnalytes[0] : nullptr);
    Notify(ckEverything);
    return out;
}

// ---------------------------------------------------------------- the folder store's database backup

bool TFolderStore::BacksUpRecords() const {
    return ops_.db_.IsOpen();
}

std::string TFolderStore::RecordsBackupImage(const std::string& dataHash) {
    // The database backup names the data backup it belongs to.
    ops_.db_.SetMeta(MetaBackupOf, dataHash);
    return ops_.db_.Image();
}

void TFolderStore::RestoreRecords(const std::string& folder, const std::string& dataBytes,
                                  const std::string& source) {
    // Only the database backup made with the data taken: a database of another backup would not match
    // its data.
    const std::string hash = HashText(dataBytes), name = FileNameOf(DataFileName());
    std::string database;
    bool any = false;
    for (const char* extension : {"Sav", "Old"}) {
        const std::string candidate = DatabaseBackupName(folder, extension);
        any = any || FileExists(candidate);
        if (database.empty() && DatabaseBackupBelongs(candidate, hash, name)) database = candidate;
    }
    if (!database.empty()) {
        // What happened, who reviewed what and the operators' passwords are not rolled back; the record
        // of the data file is the one of the file just written.
        // The hash the settings file names stays beside the backup's own.
        std::vector<std::string> keepMeta = {"journal_head"};
        if (IsPasswordMarker(Settings.Password)) keepMeta.push_back(PasswordMarkerKey(Settings.Password));
        ops_.db_.ReplaceFrom(
            database, {"journal", "journal_pending", "review", "operator_password", "file_state"}, keepMeta);
        ops_.RestoreJournalHead();
    } else if (any)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "No database backup in %1 was made with %2."),
                            WithSlash(folder), source));
}
