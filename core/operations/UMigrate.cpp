// Moving a folder's data into a server database and a server's data out into a new folder.
#include "UMigrate.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UGlobale.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UServerStore.h"

TMigrateCount MigrateFolderToServer(const std::string& folder, const std::string& url) {
    TOpenOptions options;
    options.ReadDatabase = true;
    options.CreateFolder = false;
    options.SampleOnFirstRun = false;
    TOpenReport report = Operations().Open(folder, TOpenMode::Reader, options);
    if (!report.Opened) throw EQcError(report.Message.empty() ? "Cannot open " + folder : report.Message);
    if (report.FirstRun) throw EQcError("no Varnholt data in " + folder);
    TStoreContents c;
    std::swap(c.Serum, ListSerum);
    std::swap(c.Analytes, ListAnalytes);
    c.Queue = Fifo.Entries();
    c.HasSettings = FileExists(SettingsFileName());
    c.Settings = Settings;
    // The program password goes as the hash the folder keeps, under the same marker.
    if (IsPasswordMarker(c.Settings.Password)) {
        const std::optional<std::string> hash = Operations().SettingsPasswordHash();
        if (!hash) {
            Operations().Close();
            throw EQcError("the program password of " + folder +
                           " cannot be read from its database: set it again (Configuration menu) before the "
                           "migration");
        }
        c.Records.ProgramPassword = {c.Settings.Password, *hash};
    }
    c.Operators = Operators;
    c.Goals = Operations().Goals();
    c.RuleSets = Operations().RuleSets();
    auto password = std::move(c.Records.ProgramPassword);
    c.Records = Operations().Records();
    c.Records.ProgramPassword = std::move(password);
    for (const auto& e : std::filesystem::directory_iterator(ProgramFolder)) {
        const std::string name = e.path().filename();
        if (name.size() == 12 && name.rfind("QC", 0) == 0 && name.substr(8) == ".qca" &&
            std::all_of(name.begin() + 2, name.begin() + 8, [](char ch) { return ch >= '0' && ch <= '9'; }))
            c.Archives[std::stoi(name.substr(2, 6))] = ReadWholeFile(e.path());
    }
    Operations().Close();
    TServerStore store(url);
    store.Connect(true);
    store.ImportContents(c);
    return {static_cast<size_t>(c.Analytes.Count()), c.Archives.size(), c.Queue.size(), store.Redacted()};
}

TMigrateCount MigrateServerToFolder(const std::string& url, const std::string& folder,
                                    const std::optional<std::string>& operatorCode,
                                    const std::string& password) {
    std::error_code ec;
    for (const char* name : {"Varnholt.qcf", "Varnholt.cfr", "Varnholt.fif", "Varnholt.db"})
        if (std::filesystem::exists(std::filesystem::path(folder) / name, ec))
            throw EQcError("the folder " + folder +
                           " already holds Varnholt data: give a new or empty folder");
    TOpenOptions options;
    options.Server = url;
    options.SampleOnFirstRun = false;
    if (operatorCode) {
        options.OperatorCode = *operatorCode;
        options.OperatorPassword = password;
    }
    TOpenReport report = Operations().Open(folder, TOpenMode::Reader, options);
    if (!report.Opened)
        throw EQcError(report.SignInNeeded
                           ? "the server asks for an operator: set VARNHOLT_OPERATOR and VARNHOLT_PASSWORD"
                           : report.Message);
    const std::vector<TQualityGoal> goals = Operations().Goals();
    const std::vector<TAnalyteRules> ruleSets = Operations().RuleSets();
    const TStoreRecords records = Operations().Records();
    // A password kept as a hash is taken in once the folder's database is there to hold it.
    const std::string marker = Settings.Password;
    if (IsPasswordMarker(marker) && (!records.ProgramPassword || records.ProgramPassword->first != marker)) {
        Operations().Close();
        throw EQcError("the program password is kept as a hash on the server, which this connection may not "
                       "read: migrate as the database's owner");
    }
    std::filesystem::create_directories(folder, ec);
    if (ec) throw EQcError("Cannot create the folder " + folder + ": " + ec.message());
    const std::string dir = folder.back() == '/' ? folder : folder + "/";
    TMigrateCount count;
    // The archives first: the data file names them.
    const std::map<int32_t, std::string> archives = Operations().StoreArchives();
    for (const auto& [n, bytes] : archives) {
        char name[16];
        std::snprintf(name, sizeof name, "QC%06d.qca", n);
        AtomicWriteFile(dir + name, bytes);
    }
    count.Archives = archives.size();
    count.Analytes = static_cast<size_t>(ListAnalytes.Count());
    count.Held = Fifo.Entries().size();
    AtomicWriteFile(dir + "Varnholt.fif", QueueImage(Fifo.Entries()));
    TSettings settings = Settings;
    if (IsPasswordMarker(marker)) settings.Password.clear();
    if (!FirstRun)
        AtomicWriteFile(dir + "Varnholt.cfr", SettingsImage(settings, Operators), {.NoOthers = true});
    AtomicWriteFile(dir + "Varnholt.qcf", DataImage(ListSerum, ListAnalytes));
    Operations().Close();
    // The journal, reviews and passwords into the folder's own database, as they were; the goals after
    // them, through the layer as the program keeps them.
    TOpenOptions local;
    local.SampleOnFirstRun = false;
    TOpenReport opened = Operations().Open(folder, TOpenMode::Writer, local);
    if (!opened.Opened) throw EQcError(opened.Message);
    TOutcome out = Operations().PutRecords(records);
    if (out.Changed() && !goals.empty()) out = Operations().SetGoals(goals);
    for (const TAnalyteRules& r : ruleSets)
        if (out.Changed() && !r.Set.Empty()) out = Operations().SetRuleSet(r.Analyte, r.Set);
    if (out.Changed() && IsPasswordMarker(marker))
        out = Operations().AdoptSettingsPassword(marker, records.ProgramPassword->second);
    Operations().Close();
    if (!out.Changed()) throw EQcError(out.Message);
    return count;
}
