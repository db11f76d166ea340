// The data file: the global control-material and analyte lists, their reader and writer, the sample
// data, and backup and restore to the backup folder.
#pragma once

#include <functional>
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

// Receives a data file's bytes piece by piece, in order.
using TPieceSink = std::function<void(std::string_view)>;

// Layout sizes of the data file.
constexpr size_t MaterialRecordSize = 36;
constexpr size_t PointRecordSize = 44;
constexpr size_t HeaderSize = 133;
constexpr size_t HeaderSizeV30 = 75;
constexpr size_t LevelBlockSize = 30;

// One analyte's image (points, header, level blocks, archive numbers, comments, with their
// signatures), as ParseDataImage reads it back: out-of-range fields refused, statistics recomputed.
// Throws EUnwritable for an analyte the reader would refuse.
void WriteAnalyteImage(TByteWriter& w, const TAnalyte& a);

// Thrown by the writers for lists that the reader would refuse, naming the analyte and the fault: the
// file on disk then stays the last readable one.
class EUnwritable : public EQcError {
public:
    using EQcError::EQcError;
};

// Throws EUnwritable when the data file's reader would refuse the analyte (levels, decimals or limit
// modes out of range, fixed limits, dates or values that are not numbers). Every store refuses such an
// analyte, so none holds what a folder could not.
void CheckWritable(const TAnalyte& a);
// Its checks of the analyte's header alone (levels, decimals, limits), not of its points.
void CheckWritableHeader(const TAnalyte& a);

// The whole data file as bytes. ParseDataImage fills the given (empty) lists and sets FileVersion;
// it throws EQcError naming the damage and never reads beyond the bytes.
std::string DataImage(const TListSerum& serum, const TListAnalytes& analytes);
// The bytes of DataImage handed to `sink` in order, in pieces of a few hundred kilobytes made in one
// buffer that the next call reuses. EUnwritable may come after some pieces: the receiver then drops
// what it was given.
void WriteDataImage(const TListSerum& serum, const TListAnalytes& analytes, const TPieceSink& sink);
void ParseDataImage(std::string_view bytes, TListSerum& serum, TListAnalytes& analytes);

// Reads the file into new lists and installs them only when the whole file was read; throws
// EQcError naming the file and the reason, the lists in memory unchanged then. The file is read in
// pieces through one buffer; `seen`, when given, is handed each piece in order as it is read.
void ReadDataFile(const std::string& path, const TPieceSink& seen = {});
// Writes both global lists atomically (version "32"); throws EQcError naming the file and the reason.
// The program writes through the operations layer, which also keeps an unreadable file from being
// written over; this is for tests and tools.
void WriteDataFile(const std::string& path);

// Three materials, Glucose, Calcium and Albumin with random points, five held Glucose results.
void BuildSampleData();

// Moves an existing file aside as path + ".unreadable-YYYYMMDD-HHMMSS" (a copy when it cannot be
// renamed); returns the new name, or an empty text when it could not be kept.
std::string KeepUnreadableFile(const std::string& path);

std::string BackupFileName(const std::string& folder);     // folder + "Varnholt.Sav"
std::string OldBackupFileName(const std::string& folder);  // folder + "Varnholt.Old"
std::string TempBackupFileName(const std::string& folder); // folder + "Varnholt.tmp"
