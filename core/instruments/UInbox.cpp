// The inbox of instrument files: listing, moving read files away, judging and describing runs.
#include "UInbox.h"
#include "UInboxJudge.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UQcError.h"
#include "URegional.h"
#include "UTexts.h"

namespace fs = std::filesystem;

bool IsIgnoredInboxName(std::string_view name) {
    if (name.empty() || name.front() == '.' || name.back() == '~') return true;
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::string_view end : {".tmp", ".part", ".partial", ".crdownload", ".swp", ".reason"})
        if (lower.size() > end.size() && std::string_view(lower).ends_with(end)) return true;
    return IsOwnTemporaryName(name);
}

bool IsValidSourceId(std::string_view id) {
    if (id.empty() || id == "." || id == ".." || id == ProcessedFolderName || id == FailedFolderName)
        return false;
    return std::none_of(id.begin(), id.end(),
                        [](char c) { return c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// The regular files of one source folder, oldest first.
void ListSourceFolder(const std::string& folder, const std::string& source, std::vector<TInboxFile>& out) {
    std::error_code ec;
    std::vector<TInboxFile> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsIgnoredInboxName(name)) continue;
        struct stat st {};
        const std::string path = folder + name;
        // Links are not followed: nothing outside the inbox is read or moved.
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        files.push_back({path, name, folder, source, static_cast<int64_t>(st.st_size),
                         static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
    }
    if (ec)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot read the inbox folder %1: %2"), folder, ec.message()),
            folder, ec.message());
    std::sort(files.begin(), files.end(), [](const TInboxFile& a, const TInboxFile& b) {
        return a.ModifiedNs != b.ModifiedNs ? a.ModifiedNs < b.ModifiedNs : a.Name < b.Name;
    });
    out.insert(out.end(), files.begin(), files.end());
}

void MakeFolder(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot create the folder %1: %2"), folder, ec.message()), folder,
            ec.message());
}

// "name.ext" as "name-2.ext" for the second try, and so on.
std::string Numbered(const std::string& name, int n) {
    if (n < 2) return name;
    size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos) return name + "-" + std::to_string(n);
    return name.substr(0, dot) + "-" + std::to_string(n) + name.substr(dot);
}

// Moves without ever replacing a file: rename with RENAME_NOREPLACE, or a link and an unlink where the
// file system has no such rename. 0 or errno.
int MoveNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
}

std::string MoveInto(const TInboxFile& file, const std::string& target,
                     const std::function<void(const std::string&)>& beforeMove = {}) {
    MakeFolder(target);
    for (int n = 1; n < 10000; ++n) {
        const std::string to = target + Numbered(file.Name, n);
        // A reason file left without its file by an interrupted move is written over; a file is not.
        if (FileExists(to)) continue;
        if (beforeMove) beforeMove(to);
        int err = MoveNoReplace(file.Path, to);
        if (err == EEXIST) continue;
        if (err != 0)
            throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "Cannot move %1 to %2: %3"), file.Path, target,
                                std::strerror(err)),
                           file.Path, std::strerror(err));
        // The folders are not synced: a move lost with the power leaves the file in the inbox, where its
        // recorded fingerprint moves it again without reading it.
        return to;
    }
    throw EQcError(
        Fill(QT_TRANSLATE_NOOP("Core", "Cannot move %1: every name in %2 is taken"), file.Path, target),
        file.Path, "every name is taken");
}

const char* StatusName(RuleStatus s) {
    return s == rsReject ? "reject" : s == rsWarning ? "warning" : "no warning";
}

} // namespace

std::vector<TInboxFile> ListInboxFiles(const std::string& inbox) {
    const std::string root = WithSlash(inbox);
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "The inbox folder %1 does not exist"), root), root,
                       "does not exist");
    std::vector<TInboxFile> out;
    ListSourceFolder(root, DefaultSourceId, out);
    std::vector<std::string> folders;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code dirEc;
        if (name.empty() || name.front() == '.' || !fs::is_directory(it->symlink_status(dirEc))) continue;
        const std::string id = Utf8ToCp1252(name);
        if (!IsValidSourceId(id) || id == DefaultSourceId) continue;
        folders.push_back(name);
    }
    // A folder that could not be listed whole is said so, not taken for one without sources.
    if (ec)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot read the inbox folder %1: %2"), root, ec.message()), root,
            ec.message());
    std::sort(folders.begin(), folders.end());
    for (const std::string& name : folders) ListSourceFolder(root + name + "/", Utf8ToCp1252(name), out);
    return out;
}

std::vector<TFailedInboxFile> ListFailedInboxFiles(const std::string& inbox) {
    const std::string root = WithSlash(inbox);
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        throw EQcError(Fill(QT_TRANSLATE_NOOP("Core", "The inbox folder %1 does not exist"), root), root,
                       "does not exist");
    std::vector<std::pair<std::string, std::string>> sources = {{root, DefaultSourceId}};
    std::vector<std::string> folders;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code dirEc;
        if (name.empty() || name.front() == '.' || !it->is_directory(dirEc)) continue;
        const std::string id = Utf8ToCp1252(name);
        if (IsValidSourceId(id) && id != DefaultSourceId) folders.push_back(name);
    }
    std::sort(folders.begin(), folders.end());
    for (const std::string& name : folders) sources.emplace_back(root + name + "/", Utf8ToCp1252(name));
    std::vector<TFailedInboxFile> out;
    for (const auto& [folder, source] : sources) {
        const std::string failed = folder + FailedFolderName + "/";
        std::vector<std::string> names;
        for (fs::directory_iterator it(failed, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            std::error_code fileEc;
            if (name.ends_with(".reason") || IsOwnTemporaryName(name) || !it->is_regular_file(fileEc))
                continue;
            names.push_back(name);
        }
        ec.clear(); // a source without failed/
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            TFailedInboxFile f{source, folder, name, failed + name, ""};
            try {
                if (FileExists(f.Path + ".reason")) f.Reason = ReadWholeFile(f.Path + ".reason");
            } catch (const EQcError& e) {
                f.Reason = e.what();
            }
            out.push_back(std::move(f));
        }
    }
    return out;
}

std::string MoveBackFromFailed(const TFailedInboxFile& file) {
    const std::string to =
        MoveInto({file.Path, file.Name, file.Folder + FailedFolderName + "/", file.Source}, file.Folder);
    ::unlink((file.Path + ".reason").c_str());
    return to;
}

void RemoveFailedFile(const TFailedInboxFile& file) {
    if (::unlink(file.Path.c_str()) != 0 && errno != ENOENT)
        throw EQcError(
            Fill(QT_TRANSLATE_NOOP("Core", "Cannot remove %1: %2"), file.Path, std::strerror(errno)),
            file.Path, std::strerror(errno));
    ::unlink((file.Path + ".reason").c_str());
}

std::string DayFolderName(TDateTime day) {
    TDateParts d = DecodeDate(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
    return text;
}

std::string MoveToProcessed(const TInboxFile& file, const std::string& day) {
    return MoveInto(file, file.Folder + ProcessedFolderName + "/" + day + "/");
}

std::string MoveToFailed(const TInboxFile& file, const std::string& reasonUtf8) {
    // The reason first: a file in failed/ always has its reason beside it.
    return MoveInto(file, file.Folder + FailedFolderName + "/",
                    [&](const std::string& to) { AtomicWriteFile(to + ".reason", reasonUtf8); });
}

std::string SourceFolderOf(const std::string& inboxFolder, const TInstrumentSource& source) {
    std::string folder = inboxFolder;
    if (folder.empty()) throw EQcError("no inbox folder is set");
    if (folder.back() != '/') folder += '/';
    if (source.Id != DefaultSourceId) folder += Cp1252ToUtf8(source.Id) + "/";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw EQcError("cannot create " + folder + ": " + ec.message());
    return folder;
}

std::string ReceivedFileName(const std::string& folder, const std::string& prefix, const std::string& tag,
                             const std::string& ext) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::gmtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    static unsigned made = 0;
    std::string name;
    do name = prefix + "-" + stamp + "-" + tag + "-" + std::to_string(++made) + ext;
    while (FileExists(folder + name) || FileExists(folder + "." + name) ||
           FileExists(folder + FailedFolderName + "/" + name));
    return name;
}

namespace {
// The peer's address in a name, its colons (IPv6) and anything else but digits and letters made dashes.
std::string PeerTag(const std::string& peer) {
    std::string from = peer.substr(0, 64);
    for (char& ch : from)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '.') ch = '-';
    return from;
}
} // namespace

void TConnectionCaptures::Append(const std::string& inboxFolder, const TInstrumentSource& source,
                                 const std::string& peer, uint64_t connection, std::string_view bytes) {
    TFile& f = files_[connection];
    if (f.Path.empty() || f.Bytes + bytes.size() > static_cast<uintmax_t>(MaxInboxFileSize)) {
        const std::string folder =
            SourceFolderOf(inboxFolder, source) + ProcessedFolderName + "/" + DayFolderName(Today()) + "/";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        f = {folder + ReceivedFileName(folder, "capture", PeerTag(peer),
                                       source.Protocol == "astm" ? ".astm" : ".hl7"),
             0};
        // What a connection sends may name patients: no access for others.
        AtomicWriteFile(f.Path, {}, {.NoOthers = true});
    }
    AppendToFile(f.Path, f.Bytes, bytes);
    f.Bytes += bytes.size();
}

std::string TConnectionCaptures::PathOf(uint64_t connection) const {
    const auto it = files_.find(connection);
    return it == files_.end() ? std::string() : it->second.Path;
}

std::string KeepConnectionBytes(const std::string& inboxFolder, const TInstrumentSource& source,
                                const std::string& peer, const std::string& bytes, const std::string& why,
                                size_t maxKept, uintmax_t maxBytes) {
    const std::string folder = SourceFolderOf(inboxFolder, source);
    size_t held = 0;
    uintmax_t size = bytes.size();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder + FailedFolderName, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("connection-", 0) != 0 || name.ends_with(".reason")) continue;
        ++held;
        std::error_code sizeError;
        const uintmax_t n = it->file_size(sizeError);
        if (!sizeError) size += n;
    }
    if (held >= maxKept || size > maxBytes)
        throw EQcError("the failed folder of source " + Cp1252ToUtf8(source.Id) + " holds " +
                       std::to_string(held) + " connections' bytes already (" + std::to_string(size >> 20) +
                       " MB): these are not kept until some are removed");
    const std::string name =
        ReceivedFileName(folder, "connection", PeerTag(peer), source.Protocol == "astm" ? ".astm" : ".hl7");
    // Written under a name no reading takes, then moved to failed/ beside its reason.
    const TInboxFile file{folder + "." + name, name, folder, source.Id, 0, 0};
    AtomicWriteFile(file.Path, bytes);
    return MoveToFailed(file, "the connection from " + peer + " ended with bytes not taken: " + why + "\n");
}

// ---------------------------------------------------------------- judging

TInboxVerdict JudgeInboxRun(const TAnalyte& a, TResu& run) {
    return JudgeInboxRun(a, run, {});
}

TInboxVerdict JudgeInboxRun(const TAnalyte& a, TResu& run, const TQcRuleSet& own) {
    TInboxVerdict v;
    const int levels = std::clamp(a.NbLevels, 0, MaxLevels);
    for (int k = levels; k < MaxLevels; ++k) run.Levels[static_cast<size_t>(k)] = {};
    for (int k = 0; k < levels; ++k) {
        LevelValue& lv = run.Levels[static_cast<size_t>(k)];
        if (lv.State != psEmpty) lv.State = psInControl;
    }
    a.ClassifyRun(run.Levels);
    const int previous = PreviousIndex(a, run.DateTime);
    const TRunVerdict r = JudgeAnalyteRun(a, own, run, previous, {}, a.MultirulesOn());
    std::vector<std::string> found, unjudged;
    auto note = [&](RuleStatus s, const std::string& what) {
        v.Worst = std::max(v.Worst, s);
        found.push_back(what);
    };
    for (int k = 0; k < levels; ++k) {
        const size_t ki = static_cast<size_t>(k);
        const PointState s = run.Levels[ki].State;
        if (s == psEmpty) continue;
        const std::string level = "L" + std::to_string(k + 1);
        if (a.LimitMode[ki] != lmFixed && a.Limits[ki].State == 6) {
            unjudged.push_back(level);
            continue;
        }
        bool ruled = false, rejects = false;
        for (const TRunMark& m : r.MarksOf(k)) {
            note(m.Status, m.Rule + " " + level);
            ruled = true;
            rejects = rejects || m.Status == rsReject;
        }
        const bool action = s == psHighAction || s == psLowAction;
        // Without the rules (switched off, or fixed limits) the warning and action limits still judge.
        // An own rule set decides alone on the levels it reads, but the action limits always reject.
        if (!r.OwnRules || !r.TakesPart[ki]) {
            if (!ruled && s != psInControl)
                note(action ? rsReject : rsWarning,
                     std::string(action ? "action" : "warning") + " limit " + level);
        } else if (action && !rejects)
            note(rsReject, "action limit " + level);
    }
    for (const TRunMark& m : r.MarksOf(-1)) note(m.Status, m.Rule + " across");
    v.AllJudged = unjudged.empty();
    v.Text = StatusName(v.Worst);
    if (!found.empty()) {
        v.Text += " (";
        for (size_t i = 0; i < found.size(); ++i) v.Text += (i ? "; " : "") + found[i];
        v.Text += ")";
    }
    if (!unjudged.empty()) {
        v.Text += ", not judged: no limits for";
        for (const std::string& l : unjudged) v.Text += " " + l;
    }
    return v;
}

std::string InboxComment(const std::string& source, const TInboxVerdict& verdict) {
    return "Inbox " + source + ": " + verdict.Text;
}

bool IsMapped(const std::vector<TInboxMapping>& mappings, const TInstrumentResult& r) {
    for (const TInboxMapping& m : mappings)
        if (m.Source == r.Source && m.Code == r.TestCode && m.Control == r.Control) return true;
    return false;
}
