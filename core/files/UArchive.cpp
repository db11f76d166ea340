// Archive files: numbering, the erase-and-archive of one QC level, and the reader of the archives window.
#include "UArchive.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UGlobale.h"
#include "UQcError.h"
#include "UTexts.h"

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return UpperCase(a) == UpperCase(b);
}

// The number of an archive name "QC" + at least six digits + ".qca"; -1 for any other name, including
// names of the pattern whose characters are not digits.
int64_t ArchiveNumberOf(std::string_view name) {
    if (name.size() < 12 || !SameLetters(name.substr(0, 2), "QC") ||
        !SameLetters(name.substr(name.size() - 4), ".qca"))
        return -1;
    std::string_view digits = name.substr(2, name.size() - 6);
    if (digits.size() > 10) return -1;
    int64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

int64_t LargestNumberHeld(const TAnalyte& a) {
    int64_t largest = 0;
    for (int32_t n : a.ArchiveNumbers) largest = std::max<int64_t>(largest, n);
    return largest;
}

int32_t NextAfter(int64_t largest) {
    if (largest >= INT32_MAX) throw EQcError(QT_TRANSLATE_NOOP("Core", "No archive number left"));
    return static_cast<int32_t>(largest + 1);
}

int64_t LargestNumberInUse() {
    int64_t largest = 0;
    std::error_code ec;
    std::filesystem::directory_iterator it(ProgramFolder, ec), end;
    // A folder that cannot be listed must not pass for one without archives: number 1 would then
    // replace an existing archive.
    if (ec)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot list %1: %2"), ProgramFolder, ec.message()));
    for (; it != end; it.increment(ec)) {
        int64_t n = ArchiveNumberOf(it->path().filename().string());
        if (n > 0 && n <= INT32_MAX) largest = std::max(largest, n);
    }
    if (ec)
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot list %1: %2"), ProgramFolder, ec.message()));
    // A number held by an analyte whose file is gone (an earlier failed write) is still that
    // analyte's: giving it to another archive would show and delete it as the first one's.
    for (const auto& a : ListAnalytes.Items) largest = std::max(largest, LargestNumberHeld(*a));
    return largest;
}

void CheckLevel(const TAnalyte& a, int level) {
    if (level < 0 || level >= a.NbLevels || level >= MaxLevels)
        throw EQcError(QT_TRANSLATE_NOOP("Core", "Nothing to archive"));
}

} // namespace

int32_t NextArchiveNumber() {
    return NextAfter(LargestNumberInUse());
}

std::string ArchiveText(const TAnalyte& a, int level) {
    CheckLevel(a, level);
    int first = -1, last = -1;
    for (int k = 0; k < a.Count(); ++k) {
        if (a.Points[static_cast<size_t>(k)].Levels[level].State == psEmpty) continue;
        if (first < 0) first = k;
        last = k;
    }
    if (first < 0) throw EQcError(QT_TRANSLATE_NOOP("Core", "Nothing to archive"));

    // The statistics of all points of the level, as RecalcLevel keeps them in AllStats.
    LevelStats all;
    a.ComputeStats(level, 0, a.Count() - 1, all);
    const TSerum& material = ListSerum.FindMaterial(a.MaterialId[level]);

    // Every text blanked of control characters, also those of files written before they were: each line
    // of the archive holds exactly what its place says.
    auto text = [](std::string_view t) { return BlankControlChars(t); };
    std::string out;
    out += text(a.Name) + "\r\n";
    out += text(a.Unit) + "\r\n";
    out += Regional.DateToText(a.Points[static_cast<size_t>(first)].DateTime) + '\t';
    out += Regional.DateToText(a.Points[static_cast<size_t>(last)].DateTime) + '\t';
    out += text(material.Name) + '\t' + text(material.Lot) + '\t';
    out += FormatFixed(all.Mean, 8, a.Decimals + 1) + '\t';
    out += FormatFixed(all.CV, 8, 1) + '\t';
    out += std::to_string(all.N) + "\r\n";
    for (int k = first; k <= last; ++k) {
        const ControlPoint& p = a.Points[static_cast<size_t>(k)];
        const LevelValue& lv = p.Levels[level];
        out += Regional.DateToText(p.DateTime) + '\t';
        out += Regional.TimeToText(p.DateTime) + '\t';
        if (lv.State == psDiscarded)
            out += "Discarded";
        else if (lv.State != psEmpty)
            out += FormatFixed(lv.Value, 8, a.Decimals);
        out += '\t';
        out += text(p.Operator.View());
        out += '\t';
        out += text(a.CommentText(p.CommentId));
        out += "\r\n";
    }
    return out;
}

int32_t ArchiveLevel(TAnalyte& a, int level) {
    std::string text = ArchiveText(a, level);
    int32_t n = NextAfter(std::max(LargestNumberInUse(), LargestNumberHeld(a)));
    // Never replace an archive that appeared since the folder was listed.
    while (FileExists(ArchiveFileName(n))) n = NextAfter(n);
    AtomicWriteFile(ArchiveFileName(n), text);
    a.ArchiveNumbers.push_back(n);
    EraseArchivedLevel(a, level);
    return n;
}

void EraseArchivedLevel(TAnalyte& a, int level) {
    for (ControlPoint& p : a.Points) p.Levels[level].State = psEmpty;
    for (int k = a.Count() - 1; k >= 0; --k) a.DeleteIfEmpty(k);
    a.LockFirst[level] = a.LockLast[level] = -1;
    a.LimitMode[level] = lmMobile;
    a.RecalcAll();
}

namespace {
// The length of the first three lines with their ends, or npos when `bytes`, the start of a file
// unless `whole`, does not hold them yet.
size_t HeadLength(std::string_view bytes, bool whole) {
    size_t lines = 0, i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i++];
        if (c != '\r' && c != '\n') continue;
        if (c == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
        if (++lines == 3) return i;
    }
    return whole ? bytes.size() : std::string_view::npos;
}
} // namespace

TArchiveFile ParseArchiveFile(std::string_view bytes, TArchiveParts parts) {
    if (parts == TArchiveParts::Head) bytes = bytes.substr(0, HeadLength(bytes, true));
    std::vector<std::string_view> lines;
    size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(bytes.substr(start, i - start));
        ++i;
        if (c == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
        start = i;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    if (lines.size() < 3) throw EQcError(QT_TRANSLATE_NOOP("Core", "Not an archive file"));

    TArchiveFile f;
    f.Name = lines[0];
    f.Unit = lines[1];
    f.SummaryLine = lines[2];
    std::vector<std::string> fields;
    SplitTabs(lines[2], fields);
    for (size_t k = 0; k < TArchiveFile::SummaryFieldCount && k < fields.size(); ++k)
        f.Summary[k] = fields[k];
    if (parts == TArchiveParts::Head) return f;
    f.PointLines.assign(lines.begin() + 3, lines.end());
    if (parts == TArchiveParts::Lines) return f;
    f.PointFields.resize(f.PointLines.size());
    for (size_t k = 0; k < f.PointLines.size(); ++k) SplitTabs(f.PointLines[k], f.PointFields[k]);
    return f;
}

TArchiveFile ReadArchiveFile(const std::string& path, TArchiveParts parts) {
    if (parts != TArchiveParts::Head) return ParseArchiveFile(ReadWholeFile(path), parts);
    // The list needs three lines: the start of the file, read until it holds them.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    auto fail = [&path](int err) {
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), path, std::strerror(err)), path,
                       std::strerror(err));
    };
    if (fd < 0) fail(errno);
    std::unique_ptr<const int, void (*)(const int*)> closer(&fd, [](const int* f) { ::close(*f); });
    std::string head;
    for (size_t piece = 4096;; piece *= 2) {
        const size_t had = head.size();
        head.resize(had + piece);
        ssize_t n;
        do n = ::read(fd, head.data() + had, piece);
        while (n < 0 && errno == EINTR);
        if (n < 0) fail(errno);
        head.resize(had + static_cast<size_t>(n));
        if (HeadLength(head, n == 0) != std::string_view::npos) return ParseArchiveFile(head, parts);
    }
}
