// The data file: the global control-material and analyte lists, their reader and writer, the sample
// data, and backup and restore to the backup folder.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "UBinary.h"
#include "UStructures.h"

// The program-wide lists, owned from loading to the end of the program.
extern TListAnalytes ListAnalytes;
extern TListSerum ListSerum;

// The two version characters of the data file being read ("30" files have 75-byte headers).
extern std::string FileVersion;

std::string DataFileName(); // BaseName + ".qcf"

// Layout sizes of the data file.
constexpr size_t MaterialRecordSize = 36;
constexpr size_t PointRecordSize = 44;
constexpr size_t HeaderSize = 133;
constexpr size_t HeaderSizeV30 = 75;
constexpr size_t LevelBlockSize = 30;

// One analyte's image (points, header, level blocks, archive numbers, comments, with their
// signatures), as ParseDataImage reads it back: out-of-range fields refused, statistics recomputed.
void WriteAnalyteImage(TByteWriter& w, const TAnalyte& a);

// The whole data file as bytes. ParseDataImage fills the given (empty) lists and sets FileVersion;
// it throws EQcError naming the damage and never reads beyond the bytes.
std::string DataImage(const TListSerum& serum, const TListAnalytes& analytes);
void ParseDataImage(std::string_view bytes, TListSerum& serum, TListAnalytes& analytes);

// Reads the file into new lists and installs them only when the whole file was read; throws
// EQcError naming the file and the reason, the lists in memory unchanged then.
void ReadDataFile(const std::string& path);
// Writes both global lists atomically (version "32"); throws EQcError naming the file and the reason.
void WriteDataFile(const std::string& path);

// Start: reads the data file; on failure keeps an unreadable file aside, then builds the sample data
// on a first run or reports "Cannot read data".
void LoadData();
// End: writes the data file ("Cannot save data" on failure), then frees both lists.
void SaveData();
// Three materials, Glucose, Calcium and Albumin with random points, five held Glucose results.
void BuildSampleData();

// Moves an existing file aside as path + ".unreadable-YYYYMMDD-HHMMSS" (a copy when it cannot be
// renamed); returns the new name, or an empty text when it could not be kept.
std::string KeepUnreadableFile(const std::string& path);

// The window layer shows its copy window while a backup or a restore runs.
class TCopyProgress {
public:
    virtual ~TCopyProgress() = default;
    virtual void Show(const std::string& warning) = 0;
    virtual void Close() = 0;
};
// Installs the copy window (not owned); nullptr shows nothing. Returns the previous one.
TCopyProgress* SetCopyProgress(TCopyProgress* progress);

std::string BackupFileName(const std::string& folder);     // folder + "Varnholt.Sav"
std::string OldBackupFileName(const std::string& folder);  // folder + "Varnholt.Old"
std::string TempBackupFileName(const std::string& folder); // folder + "Varnholt.tmp"

// Writes the backup into the folder; shows "Backup OK" and sets LastBackup to today on success.
// Throws EQcError ("Backup aborted" or the write error); earlier backups are then left as they were.
void BackupData(const std::string& folder);
// Replaces the lists by the backup's contents; throws EQcError ("Restore aborted",
// "No backup file to restore", "Impossible to restore"), the lists unchanged then.
void RestoreData(const std::string& folder);
