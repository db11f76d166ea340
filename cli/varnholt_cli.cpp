// varnholt-cli: the program's data, figures and exchanges from the command line, computed by the
// same core operations as the windows.
#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QCommandLineParser>

#include "UArchive.h"
#include "UAtomicFile.h"
#include "UCliAssessment.h"
#include "UCliFigures.h"
#include "UCliJson.h"
#include "UCliPbrtqc.h"
#include "UCliPeer.h"
#include "UCliReport.h"
#include "UCliRules.h"
#include "UCodePage.h"
#include "UCompatibilityDrovanta.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UFolderLock.h"
#include "UGlobale.h"
#include "UImportText.h"
#include "UInbox.h"
#include "UListener.h"
#include "UMigrate.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UQcSummary.h"
#include "URegionalLocale.h"
#include "USigmaReport.h"
#include "UUtilitaires.h"
#include "UWestgard.h"

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitLocked = 3;
constexpr int ExitPartial = 4;
constexpr int ExitConflict = 5;
// How often a command that adds runs to a server is made in all when another bench's change conflicts.
constexpr int AppendAttempts = 4;

// A refusal of the command line or of the data: a one-line message and exit status 2.
struct ECliError {
    std::string message; // Windows-1252, as the program's texts, unless utf8
    int status = ExitUsage;
    bool utf8 = false;  // the message names a character Windows-1252 lacks
    bool retry = false; // a conflict with another bench where making the change again is safe
};

[[noreturn]] void Refuse(const std::string& message, int status = ExitUsage) {
    throw ECliError{message, status};
}

// A refusal carries the layer's message; a change saved with a later failure ends with status 4.
int Finish(const TOutcome& out) {
    for (const std::string& note : out.Notes)
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(note)) << "\n";
    // A change another bench made first: nothing was saved, and running the command again is safe.
    if (out.Conflict()) throw ECliError{out.Message, ExitConflict, false, out.Refusal == TRefusal::Conflict};
    if (out.Status == TStatus::Refused) Refuse(out.Message);
    if (out.Status == TStatus::Partial) {
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(out.Message)) << "\n";
        return ExitPartial;
    }
    return 0;
}

struct TArgs {
    std::string command; // the first argument that is no option
    std::vector<std::string> positional;
    // Where the data is: the folder, or a server and the operator who signs in.
    std::string home, inbox;
    std::optional<std::string> db, user;
    bool init = false, version = false;
    bool replaceUnencodable = false;
    std::string fromFolder, toFolder; // migrate
    std::vector<int> rejects;
    std::optional<bool> rules;
    // Rule sets: the reject and warning rules given, and plan's rules and values per run.
    std::optional<std::string> setRules, warnRules, planRules, perRun, trials;
    std::string op, comment;
    std::string pdf, printer, from, to;
    std::optional<std::string> tea;
    std::vector<std::pair<std::string, std::string>> targets; // --target LEVEL VALUE
    std::string importFile;
    bool clear = false;
    bool replace = false; // map add: in place of a mapping to another analyte or level
    std::string regional = "system";
    TTextEncoding encoding = TTextEncoding::Windows1252;
    std::string reason, action, reviewer;
    std::optional<std::string> head; // journal verify: the head printed on a printout
    bool help = false;
    bool force = false;
    bool future = false;    // import: runs dated after today are taken
    bool older = false;     // restore: take ".Old" when ".Sav" is damaged
    std::string name, role; // account
    // Inbox and mapping.
    std::optional<std::string> source, code, control, analyte, level, folder, window;
    std::optional<bool> autoAccept;
    bool once = false, watch = false;
    int interval = 5;
    // Measurement uncertainty and EQA.
    std::optional<std::string> k, maxU, cvi, bias, targetU;
    std::optional<std::string> month; // peer comparison
    TPbrtqcArgs pbrtqc;               // patient-based QC's options
};

// --inbox DIR: the inbox of this command, in place of the stored one.
std::string InboxOverride;

const char* Usage =
    "usage: varnholt-cli [--home DIR | --db URL [--user CODE]] [--init] [--inbox DIR]\n"
    "                    [--regional R] COMMAND [ARGS]\n"
    "       varnholt-cli --version | --help | COMMAND --help\n"
    "Options may stand before or after the command; \"--\" ends them.\n"
    "commands:\n"
    "  analytes                          list the analytes (JSON)\n"
    "  limits ANALYTE                    statistics and limits in force (JSON)\n"
    "  points ANALYTE                    stored points (JSON)\n"
    "  judge ANALYTE DATE TIME V1 [V2 [V3]] [--reject K]... [--rules on|off]\n"
    "                                    classify a run and evaluate the rules (JSON)\n"
    "  add ANALYTE DATE TIME V1 [V2 [V3]] [--operator X] [--comment T] [--reject K]...\n"
    "                                    accept a run and write the data file\n"
    "  queue list | add ... | recall     the held runs\n"
    "  import ANALYTE FILE [--future]    add the runs of an exchange text file\n"
    "  export ANALYTE [--encoding E]     print the exchange text (windows-1252 or utf-8)\n"
    "  import-predecessor FILE           import a predecessor data or backup file\n"
    "  archive ANALYTE LEVEL             erase a level into a new archive file\n"
    "  backup DIR [--force] | restore DIR [--older]\n"
    "                                    back up the data to / restore it from DIR\n"
    "  report ANALYTE --pdf FILE|- | --printer NAME [--from DATE] [--to DATE]\n"
    "                                    charts and data of an interval as one PDF\n"
    "  goal ANALYTE [--tea PCT] [--target LEVEL VALUE]... [--clear]\n"
    "  goal --import FILE                show, set or import quality goals (JSON)\n"
    "  sigma ANALYTE [--from DATE --to DATE]\n"
    "                                    figures, Sigma, rule advice, detection (JSON)\n"
    "  summary ANALYTE --from YYYY-MM --to YYYY-MM\n"
    "                                    monthly summary (JSON)\n"
    "  rules ANALYTE [--set RULES] [--warn RULES] [--clear]\n"
    "                                    show or set the analyte's own rule set (JSON)\n"
    "  plan ANALYTE [--rules RULES] [--n N] [--trials COUNT]\n"
    "                                    power and maximum run size per level (JSON)\n"
    "  migrate --from-folder DIR --to URL | migrate --from URL --to-folder DIR\n"
    "                                    copy a folder into an empty server database, or back\n"
    "  account list | add CODE --name N --role technologist|supervisor | remove CODE\n"
    "                                    the operators who sign in on the server\n"
    "  inbox --once | inbox --watch [--interval S] | inbox show | inbox set ...\n"
    "                                    read the instruments' files into the queue\n"
    "  map list | map add ... | map remove ...\n"
    "                                    (source, test code, control) -> (analyte, level)\n"
    "  source [ID [KEY=VALUE]...]        a source's reading options\n"
    "  journal [--analyte A] [--from DATE] [--to DATE] | journal verify [--head ID:HASH]\n"
    "                                    the journal of changes (JSON), or check its chain\n"
    "  review sign ANALYTE --from DATE --to DATE --reviewer XX | review list\n"
    "                                    sign a period as reviewed (password on standard input)\n"
    "  uncertainty ANALYTE [--from DATE] [--to DATE] [--k K] [--bias none|target|eqa] ...\n"
    "                                    measurement uncertainty per level (JSON); also mu\n"
    "  eqa add SCHEME ... PARTICIPANTS | eqa import FILE | eqa list [ANALYTE] | eqa ANALYTE\n"
    "                                    EQA results: record a CSV file, list with z-scores\n"
    "  peer import FILE | peer ANALYTE --month YYYY-MM | peer list [ANALYTE]\n"
    "                                    peer statistics: record a CSV file, SDI and CVR (JSON)\n"
    "  pbrtqc import ANALYTE FILE | pbrtqc set ANALYTE ... | pbrtqc retention [DAYS]\n"
    "  pbrtqc ANALYTE [--simulate BIAS_PCT [--runs R] [--seed S]]\n"
    "  pbrtqc ack ANALYTE DATETIME ACTION  acknowledge an alarm with the corrective action taken\n"
    "                                    patient-based QC: history, procedure, alarms (JSON)\n"
    "Writing commands take --operator X (who makes the change, written in the journal;\n"
    "the system user name cut to 4 characters by default) and --reason T (needed inside a\n"
    "signed review); add takes --action T, the corrective action of a run a rule rejects.\n"
    "Dates are ISO (2026-03-01), times HH:MM, values use a point; '-' is no value.\n"
    "Texts that go into the files (--comment, --operator, --reason...) are refused when they hold a\n"
    "character Windows-1252 cannot store; --replace-unencodable stores '?' in its place.\n"
    "Exchange text (export, import) is written and read in the regional formats of\n"
    "--regional: system (the default: the locale's, as the program on this station),\n"
    "iso (2026-03-01, 14:05:00, a point) or a locale name (de_DE, fr_FR, en_GB...).\n"
    "Levels are numbered 1 to 3. --init makes a missing or empty folder a program folder\n"
    "(with the sample data of a first start) before a writing command.\n"
    "Exit status: 0 done, 2 refused (nothing changed), 3 folder in use,\n"
    "4 saved, but a later step failed (the message says which), 5 another bench changed\n"
    "the same data first (nothing saved: run the command again).\n"
    "--db URL (or VARNHOLT_DB) works on a PostgreSQL server instead of a folder; --user CODE\n"
    "(or VARNHOLT_OPERATOR) signs in, the password from VARNHOLT_PASSWORD or standard input.\n";

const std::map<std::string, std::string> CommandHelp = {
    {"analytes", "varnholt-cli analytes\n  Prints {\"analytes\":[...]} in list order.\n"},
    {"limits",
     "varnholt-cli limits ANALYTE\n  Prints the statistics (AllStats) and limits in force of each level.\n"},
    {"points", "varnholt-cli points ANALYTE\n  Prints {\"points\":[...]}: every stored point.\n"},
    {"judge", "varnholt-cli judge ANALYTE DATE TIME V1 [V2 [V3]] [--reject K]... [--rules on|off]\n"
              "  Classifies the run and judges it as the validation window does: by the analyte's own\n"
              "  rule set when it has one, else by the multirules; stores nothing. --rules (multirules\n"
              "  only) defaults to the analyte's own switch.\n"},
    {"add", "varnholt-cli add ANALYTE DATE TIME V1 [V2 [V3]] [--operator X] [--comment T] [--reject K]...\n"
            "  Accepts the run (rejected levels stored as discarded) and writes the data file.\n"},
    {"queue",
     "varnholt-cli queue list\nvarnholt-cli queue recall [--reject K]...\n"
     "varnholt-cli queue add ANALYTE DATE TIME V1 [V2 [V3]] [--operator X] "
     "[--comment T]\n  Lists the held runs (reading only), accepts the oldest held run as the validation "
     "window's OK does,\n  or holds a run for validation in the program.\n"},
    {"import",
     "varnholt-cli import ANALYTE FILE [--regional R] [--future]\n  Adds the runs of an exchange text file "
     "(Windows-1252 or UTF-8); the three level\n  modes return to mobile limits. Dates and numbers are "
     "read in the regional formats of R\n  (system, iso or a locale name), and also written under "
     "another locale where unambiguous.\n  A file whose dates fit only the other order of day and month "
     "is refused whole; a run\n  dated after today is refused unless --future is given. Prints "
     "{\"imported\":N}, N the runs\n"
     "  added.\n"},
    {"export", "varnholt-cli export ANALYTE [--regional R] [--encoding windows-1252|utf-8]\n  Prints the "
               "exchange text the program's export writes (Windows-1252, no final zero byte;\n  UTF-8 with a "
               "byte order mark), in the regional formats of R (system, iso or a locale name).\n"},
    {"import-predecessor",
     "varnholt-cli import-predecessor FILE\n  Appends the analytes of a predecessor "
     "data (.dat) or backup (.sav) file. Prints {\"imported\":N},\n  N the analytes.\n"},
    {"archive", "varnholt-cli archive ANALYTE LEVEL\n  Writes the level to a new archive file, erases it and "
                "prints {\"archives\":[N]},\n  N the archive number.\n"},
    {"backup", "varnholt-cli backup DIR [--force]\n  Writes the backup Varnholt.Sav in DIR (the previous one "
               "kept as Varnholt.Old).\n  A backup holding more runs than the data is replaced only with "
               "--force.\n"},
    {"restore",
     "varnholt-cli restore DIR [--older]\n  Replaces the data by the backup Varnholt.Sav of DIR. When it is "
     "damaged, the older backup\n  Varnholt.Old is taken only with --older.\n"},
    {"goal",
     "varnholt-cli goal ANALYTE\nvarnholt-cli goal ANALYTE [--tea TEA] [--target LEVEL VALUE]... [--clear]\n"
     "varnholt-cli goal --import FILE\n"
     "  Shows the quality goal, or changes it: --tea sets the allowable total error in percent (\"10\" or\n"
     "  \"10%\") or in the analyte's unit (\"0.3 mmol/L\"); --target sets a level's target ('-' removes "
     "it);\n"
     "  other targets are kept. --clear removes the goal. --import reads a file of lines\n"
     "  analyte;TEa;target1;target2;target3, each replacing the whole goal of its analyte; a bad line\n"
     "  imports nothing. Prints the goal, or {\"imported\":N}.\n"
     "varnholt-cli goal ANALYTE --bias target|peer|eqa\n"
     "  Where Sigma takes the bias from: each level's mean against its target (the default), the peer\n"
     "  statistics or the EQA results of the six months to today.\n"},
    {"sigma",
     "varnholt-cli sigma ANALYTE [--from DATE --to DATE]\n"
     "  Per level: N, mean, SD, CV %, target, bias %, TEa %, Sigma, the advised rules and run plan, and\n"
     "  the error detection (Ped) and false rejection (Pfr) of the program's rules at Sigma - 1.65.\n"
     "  RulesInForce names the rules that judge the analyte (its own set, else the multirules), with N\n"
     "  values per run and the trials simulated; each level's Plan gives their Pfr, Ped, MaxENuf and\n"
     "  MaxRunSize as plan does.\n"
     "  Without dates each level's reference points (the locked interval, else every point). A figure\n"
     "  that is not available is null, its reason on standard error.\n"},
    {"rules",
     "varnholt-cli rules ANALYTE [--set RULES] [--warn RULES] [--clear]\n"
     "  Shows the analyte's own rule set, or changes it: --set gives the rules that reject a run, --warn\n"
     "  those that only warn (\"\" for none); the part not given is kept. --clear removes the set, and the\n"
     "  analyte is judged by the Westgard multirules again. RULES are names separated by commas: 1:2s,\n"
     "  1:2.5s, 1:3s, 1:3.5s, 2:2s, 2of3:2s, R:4s, 3:1s, 4:1s, 6:x, 8:x, 9:x, 10:x, 12:x. Prints\n"
     "  {\"Name\":...,\"Reject\":[...],\"Warn\":[...]} (empty lists: no set of its own).\n"},
    {"plan",
     "varnholt-cli plan ANALYTE [--rules RULES] [--n N] [--trials COUNT]\n"
     "  Per level: Sigma, the false rejection Pfr and the error detection Ped at Sigma - 1.65 of the rules\n"
     "  that reject (the analyte's own set by default, else the Westgard multirules), with N values per\n"
     "  run (1 to 6; the analyte's levels by default), MaxENuf, the expected unacceptable patient results\n"
     "  per 100 patients between QC events at the worst systematic error, and MaxRunSize, the most\n"
     "  patients between QC events keeping it at 1 or below (null: no limit). A set of several rules is\n"
     "  simulated over COUNT runs (20000) from a fixed seed; PfrSE and PedSE are the standard errors.\n"},
    {"summary", "varnholt-cli summary ANALYTE --from YYYY-MM --to YYYY-MM\n"
                "  Per month and level, and over all the months: N, mean, SD, CV %, bias %, Sigma and the\n"
                "  values judged warnings and rejects.\n"},
    {"report",
     "varnholt-cli report ANALYTE --pdf FILE [--from DATE] [--to DATE]\n"
     "varnholt-cli report ANALYTE --printer NAME [--from DATE] [--to DATE]\n  Prints the charts and "
     "the data table of the points from DATE to DATE (the first and last point's days by\n"
     "  default) into one PDF file (\"-\": standard output), or to the print queue NAME\n"
     "  (lpstat -p lists them), without a display.\n"},
    {"inbox",
     "varnholt-cli [--inbox DIR] inbox --once\n"
     "  Reads the inbox once: each file's results become runs in the queue (judged by the rules), or\n"
     "  stored directly with auto-accept; results without a mapping wait as \"not mapped\". Files go to\n"
     "  processed/YYYY-MM-DD/ or failed/ (with a .reason file); a file ending inside a message waits.\n"
     "  Prints what became of each file (JSON).\n"
     "varnholt-cli [--inbox DIR] inbox --watch [--interval SECONDS]\n"
     "  Keeps reading the inbox (every 5 seconds by default) until stopped. The folder is locked only\n"
     "  while a reading lasts; while the program is open it reads the inbox itself and this waits.\n"
     "  Between readings it serves the sources' live connections (listen=..., see source --help).\n"
     "varnholt-cli inbox show\n  Prints the inbox settings (JSON).\n"
     "varnholt-cli inbox set [--folder DIR] [--auto-accept on|off] [--window MINUTES]\n"
     "  Sets the inbox folder (empty: none), the direct acceptance of runs with no warning and no\n"
     "  reject (off by default) and the time window of one run (10 minutes by default).\n"},
    {"map", "varnholt-cli map list\n  Prints the mapping and the results waiting for one (JSON).\n"
            "varnholt-cli map add --source S --code C --control ID --analyte A --level K [--replace]\n"
            "  Maps the results of source S with test code C and control (material or lot) ID to level K\n"
            "  (1 to 3, or \"file\": the level the file gives) of analyte A, and brings in the results\n"
            "  waiting for it. The source of files directly in the inbox is \"default\"; a subfolder of\n"
            "  the inbox is the source of its name. A control mapped to another analyte or level is\n"
            "  moved only with --replace; runs already held from it stay in the queue as they were read.\n"
            "varnholt-cli map remove --source S --code C --control ID\n"},
    {"source",
     "varnholt-cli source\n  Lists the sources with stored reading options.\n"
     "varnholt-cli source ID\n  Prints the reading options of source ID (KEY=VALUE lines).\n"
     "varnholt-cli source ID KEY=VALUE...\n  Changes them, e.g. separator=semicolon column.test=Test\n"
     "  column.value=Result column.date=Date decimal=, dateformat=dd.MM.yyyy qc.prefixes=QC\n"
     "  Live connections, served by inbox --watch: listen=HOST:PORT (a port alone: on 127.0.0.1; empty:\n"
     "  none) protocol=mllp takes HL7 messages in MLLP blocks on TCP, each read as a file of the source\n"
     "  and acknowledged (AA) once recorded, AE or AR with the reason otherwise; protocol=astm takes\n"
     "  ASTM messages in E1381 frames, the last frame ACKed once recorded. allow=ADDR[,ADDR] the\n"
     "  peers allowed (empty: every peer); listen.maxbytes=1048576 the largest message,\n"
     "  listen.connections=8 at once, listen.idle=60 seconds of silence before a connection is closed,\n"
     "  listen.capture=yes every byte a connection sends kept as it came in the source's\n"
     "  processed/YYYY-MM-DD/ as capture-DATE-TIME-PEER-N.hl7 (.astm), readable again as a file.\n"},
    {"journal",
     "varnholt-cli journal [--analyte A] [--from DATE] [--to DATE]\n  Prints {\"entries\":[...]}: "
     "every change to the stored data, oldest first (dates of the changes, both included).\n"
     "varnholt-cli journal verify [--head ID:HASH]\n  Checks the hash chain: prints "
     "{\"whole\":...,\"entries\":N,\"head\":\"ID:HASH\",\"firstBad\":ID}; "
     "exit 0 when\n  whole, 1 naming the first entry that does not match. --head checks too that the "
     "head\n  printed on a printout is still in the journal.\n"},
    {"account", "varnholt-cli account list\n  Prints the server's operator accounts and their roles (JSON).\n"
                "varnholt-cli account add CODE --name N --role technologist|supervisor\n  Adds or changes an "
                "account; its password is read from VARNHOLT_NEW_PASSWORD or standard input.\n"
                "varnholt-cli account remove CODE\n  Removes an account. Needs --db URL and a supervisor's "
                "sign-in (--user).\n"},
    {"migrate", "varnholt-cli migrate --from-folder DIR --to URL\n  Copies a folder into an empty server "
                "database.\nvarnholt-cli migrate --from URL --to-folder DIR\n  Writes the server's data back "
                "as the folder's files.\n"},
    {"uncertainty", UncertaintyHelp},
    {"mu", UncertaintyHelp},
    {"eqa", EqaHelp},
    {"peer", PeerHelp},
    {"review", "varnholt-cli review sign ANALYTE --from DATE --to DATE --reviewer XX\n  Signs the period as "
               "reviewed; the reviewer's password is read from standard input.\nvarnholt-cli review list\n"
               "  Prints {\"reviews\":[...]}.\n"},
    {"pbrtqc", PbrtqcHelp},
};

// The options of every command, taken anywhere on the line. A value option takes the next argument
// whatever it looks like (a negative number, '-'); --target takes two.
struct TOptionSpec {
    const char* name;
    const char* value; // the value's name in messages; nullptr for a switch
};
// clang-format off
const TOptionSpec OptionSpecs[] = {
    {"home", "DIR"},       {"db", "URL"},
    {"user", "CODE"},      {"inbox", "DIR"},
    {"regional", "R"},     {"init", nullptr},
    {"help", nullptr},     {"version", nullptr},
    {"force", nullptr},    {"future", nullptr},
    {"older", nullptr},    {"replace", nullptr},
    {"reject", "K"},       {"rules", "on|off"},
    {"operator", "X"},     {"comment", "T"},
    {"reason", "T"},       {"action", "T"},
    {"reviewer", "XX"},    {"pdf", "FILE"},
    {"printer", "NAME"},   {"from", "DATE"},
    {"to", "DATE"},        {"tea", "TEA"},
    {"target", "LEVEL"},   {"import", "FILE"},
    {"clear", nullptr},    {"name", "N"},
    {"role", "R"},         {"encoding", "E"},
    {"source", "S"},       {"code", "C"},
    {"control", "ID"},     {"analyte", "A"},
    {"level", "K"},        {"folder", "DIR"},
    {"window", "MINUTES"}, {"auto-accept", "on|off"},
    {"once", nullptr},     {"watch", nullptr},
    {"interval", "S"},     {"from-folder", "DIR"},
    {"to-folder", "DIR"},  {"replace-unencodable", nullptr},
    {"procedure", "P"},    {"n", "N"},
    {"lambda", "L"},       {"truncate", "LOW"},
    {"truncation", "M"},   {"limits", "LOW"},
    {"simulate", "PCT"},   {"runs", "R"},
    {"seed", "S"},
    {"set", "RULES"},      {"warn", "RULES"},
    {"trials", "COUNT"},
    {"head", "ID:HASH"},
};
// clang-format on
// Those of the uncertainty and EQA commands.
const TOptionSpec AssessmentOptionSpecs[] = {{"k", "K"},         {"max-u", "PCT"},    {"cvi", "PCT"},
                                             {"bias", "SOURCE"}, {"target-u", "PCT"}, {"month", "YYYY-MM"}};

const TOptionSpec* FindOption(std::string_view name) {
    for (const TOptionSpec& o : OptionSpecs)
        if (name == o.name) return &o;
    for (const TOptionSpec& o : AssessmentOptionSpecs)
        if (name == o.name) return &o;
    return nullptr;
}

// Marks an argument that begins with '-' but is a value ("-0.5", "-"), which the parser would take
// for an option; taken off again after parsing.
constexpr char ValueMark = '\x01';

// The arguments as the parser takes them: bytes as Latin-1 characters, so that every byte (a file
// name in any encoding) comes back unchanged; a negative number marked; --target's two values as one.
QStringList PrepareArguments(const std::vector<std::string>& args) {
    QStringList out{QStringLiteral("varnholt-cli")};
    auto q = [](const std::string& s) {
        return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s == "--") {
            for (; i < args.size(); ++i) out << q(args[i]);
            break;
        }
        if (s.rfind("--", 0) == 0 && s.find('=') == std::string::npos) {
            const TOptionSpec* o = FindOption(std::string_view(s).substr(2));
            if (o && o->value) {
                const std::string_view name = o->name;
                const size_t values = name == "target" || name == "truncate" || name == "limits" ? 2 : 1;
                if (i + values >= args.size()) Refuse("missing value after " + s);
                std::string value = args[i + 1];
                if (values == 2) value += '\x1f' + args[i + 2];
                out << q(s) << q(value);
                i += values;
                continue;
            }
        }
        if (s == "-" ||
            (s.size() > 1 && s[0] == '-' && (std::isdigit(static_cast<unsigned char>(s[1])) || s[1] == '.')))
            out << q(ValueMark + s);
        else
            out << q(s);
    }
    return out;
}

std::string Bytes(const QString& s) {
    const QByteArray b = s.toLatin1();
    std::string out(b.constData(), static_cast<size_t>(b.size()));
    if (!out.empty() && out[0] == ValueMark) out.erase(0, 1);
    return out;
}

// A text stored in the program's Windows-1252 files: a character they cannot hold is refused, named, or
// with --replace-unencodable written as '?'.
std::string StoredText(const std::string& utf8, const std::string& option, bool replace) {
    if (!replace)
        if (const std::optional<std::string> bad = FirstUnencodable(utf8))
            throw ECliError{
                option + ": the character " + *bad +
                    " cannot be stored (the program's files hold Windows-1252 text); change it, or "
                    "give --replace-unencodable to store '?' in its place",
                ExitUsage, true};
    return Utf8ToCp1252(utf8);
}

// The command word and its arguments. Options may stand anywhere, before the command or after it, as
// in most tools; "--" ends them.
TArgs ParseArgs(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    auto add = [&parser](const TOptionSpec& o) {
        QStringList names{QString::fromLatin1(o.name)};
        if (std::string_view(o.name) == "help") names.prepend(QStringLiteral("h"));
        parser.addOption(o.value ? QCommandLineOption(names, QString(), QString::fromLatin1(o.value))
                                 : QCommandLineOption(names));
    };
    for (const TOptionSpec& o : OptionSpecs) add(o);
    for (const TOptionSpec& o : AssessmentOptionSpecs) add(o);
    if (!parser.parse(PrepareArguments(args))) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            Refuse("unknown option " + std::string(unknown[0].size() == 1 ? "-" : "--") + Bytes(unknown[0]) +
                   " (see --help)");
        Refuse(parser.errorText().toStdString());
    }
    TArgs a;
    auto text = [&](const char* name) { return Bytes(parser.value(QString::fromLatin1(name))); };
    auto optional = [&](const char* name) -> std::optional<std::string> {
        if (!parser.isSet(QString::fromLatin1(name))) return std::nullopt;
        return text(name);
    };
    auto onOff = [&](const char* name) -> std::optional<bool> {
        const std::optional<std::string> v = optional(name);
        if (!v) return std::nullopt;
        if (*v != "on" && *v != "off") Refuse("--" + std::string(name) + " takes on or off, not " + *v);
        return *v == "on";
    };
    a.replaceUnencodable = parser.isSet(QStringLiteral("replace-unencodable"));
    // Texts that go into the files; the others are names looked up (analytes, sources, accounts).
    auto stored = [&](const char* name) {
        return StoredText(text(name), "--" + std::string(name), a.replaceUnencodable);
    };
    auto storedOptional = [&](const char* name) -> std::optional<std::string> {
        if (!parser.isSet(QString::fromLatin1(name))) return std::nullopt;
        return stored(name);
    };

    for (const QString& p : parser.positionalArguments()) a.positional.push_back(Bytes(p));
    if (!a.positional.empty()) {
        a.command = a.positional.front();
        a.positional.erase(a.positional.begin());
    }
    a.home = text("home");
    a.db = optional("db");
    a.user = optional("user");
    a.inbox = text("inbox");
    a.init = parser.isSet(QStringLiteral("init"));
    a.version = parser.isSet(QStringLiteral("version"));
    a.help = parser.isSet(QStringLiteral("help"));
    a.force = parser.isSet(QStringLiteral("force"));
    a.future = parser.isSet(QStringLiteral("future"));
    a.older = parser.isSet(QStringLiteral("older"));
    a.replace = parser.isSet(QStringLiteral("replace"));
    for (const QString& q : parser.values(QStringLiteral("reject"))) {
        const std::string v = Bytes(q);
        if (v.size() != 1 || v[0] < '1' || v[0] > '3') Refuse("level out of range: " + v + " (1 to 3)");
        a.rejects.push_back(v[0] - '1');
    }
    // plan takes rule names after --rules, judge on or off.
    if (a.command == "plan")
        a.planRules = optional("rules");
    else
        a.rules = onOff("rules");
    a.setRules = optional("set");
    a.warnRules = optional("warn");
    a.perRun = optional("n");
    a.trials = optional("trials");
    a.op = stored("operator");
    a.comment = stored("comment");
    a.reason = stored("reason");
    a.action = stored("action");
    a.reviewer = stored("reviewer");
    a.head = optional("head");
    a.pdf = text("pdf");
    a.printer = text("printer");
    a.from = text("from");
    a.to = text("to");
    a.fromFolder = text("from-folder");
    a.toFolder = text("to-folder");
    a.tea = storedOptional("tea");
    for (const QString& q : parser.values(QStringLiteral("target"))) {
        const std::string v = Bytes(q);
        const size_t cut = v.find('\x1f');
        if (cut == std::string::npos) Refuse("--target takes a level and a value: --target LEVEL VALUE");
        std::string value = v.substr(cut + 1);
        if (!value.empty() && value[0] == ValueMark) value.erase(0, 1);
        a.targets.emplace_back(v.substr(0, cut), value);
    }
    a.importFile = text("import");
    a.clear = parser.isSet(QStringLiteral("clear"));
    if (const std::optional<std::string> r = optional("regional")) a.regional = *r;
    a.name = text("name");
    a.role = text("role");
    if (std::optional<std::string> v = optional("encoding")) {
        for (char& c : *v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (*v == "utf-8" || *v == "utf8")
            a.encoding = TTextEncoding::Utf8;
        else if (*v == "windows-1252" || *v == "cp1252")
            a.encoding = TTextEncoding::Windows1252;
        else
            Refuse("--encoding takes windows-1252 or utf-8, not " + *v);
    }
    a.source = storedOptional("source");
    a.code = storedOptional("code");
    a.control = storedOptional("control");
    if (const std::optional<std::string> v = optional("analyte")) a.analyte = Utf8ToCp1252(*v);
    a.level = optional("level");
    a.folder = optional("folder");
    a.window = optional("window");
    a.autoAccept = onOff("auto-accept");
    a.once = parser.isSet(QStringLiteral("once"));
    a.watch = parser.isSet(QStringLiteral("watch"));
    if (const std::optional<std::string> v = optional("interval")) {
        long double x = 0;
        if (!ParseDecimal(*v, '.', x) || x < 1 || x > 3600 || x != std::floor(x))
            Refuse("--interval takes whole seconds from 1 to 3600, not " + *v);
        a.interval = static_cast<int>(x);
    }
    a.k = optional("k");
    a.maxU = optional("max-u");
    a.cvi = optional("cvi");
    a.bias = optional("bias");
    a.targetU = optional("target-u");
    a.month = optional("month");
    // Patient-based QC: its command's own file reads them.
    a.pbrtqc.Positional = a.positional;
    a.pbrtqc.Procedure = optional("procedure");
    a.pbrtqc.N = optional("n");
    a.pbrtqc.Lambda = optional("lambda");
    a.pbrtqc.Truncation = optional("truncation");
    a.pbrtqc.Simulate = optional("simulate");
    a.pbrtqc.Runs = optional("runs");
    a.pbrtqc.Seed = optional("seed");
    for (const char* pair : {"truncate", "limits"})
        if (const std::optional<std::string> v = optional(pair)) {
            const size_t cut = v->find('\x1f');
            if (cut == std::string::npos) Refuse("--" + std::string(pair) + " takes two values: LOW HIGH");
            (std::string_view(pair) == "truncate" ? a.pbrtqc.Truncate : a.pbrtqc.Limits) =
                std::make_pair(v->substr(0, cut), v->substr(cut + 1));
        }
    return a;
}

TAssessmentArgs AssessmentArgs(const TArgs& a) {
    return {a.positional, a.from, a.to, a.k, a.maxU, a.cvi, a.bias, a.targetU};
}

TPeerArgs PeerArgs(const TArgs& a) {
    return {a.positional, a.month};
}

TAnalyte& FindAnalyte(const std::string& utf8Name) {
    TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(utf8Name));
    if (!a) Refuse("unknown analyte: " + utf8Name);
    return *a;
}

TDateTime ParseIsoDateTime(const std::string& date, const std::string& time) {
    const TRegional& iso = IsoRegional();
    auto d = iso.TextToDate(date);
    if (!d || date.size() != 10) Refuse("not an ISO date (YYYY-MM-DD): " + date);
    auto t = iso.TextToTime(time);
    if (!t) Refuse("not a time (HH:MM): " + time);
    return ComposeDateTime(*d, *t);
}

// The run of a judge, add or queue add command: ANALYTE DATE TIME V1 [V2 [V3]].
TResu RunFromArgs(const TArgs& a, const std::string& analyteName, size_t first) {
    if (a.positional.size() < first + 3) Refuse("expected DATE TIME and at least one value");
    if (a.positional.size() > first + 5) Refuse("at most three values");
    TResu r;
    r.AnalyteName = Utf8ToCp1252(analyteName);
    r.DateTime = ParseIsoDateTime(a.positional[first], a.positional[first + 1]);
    for (size_t k = first + 2; k < a.positional.size(); ++k) {
        const std::string& v = a.positional[k];
        int level = static_cast<int>(k - first - 2);
        if (v == "-") continue;
        long double x = 0;
        if (!ParseDecimal(v, '.', x) || !InValueRange(x))
            Refuse("level " + std::to_string(level + 1) + ": not a finite number: " + v);
        r.Levels[level] = {static_cast<float>(x), psInControl};
    }
    r.Operator = a.op;
    r.Comment = Trim(a.comment);
    return r;
}

void CheckRunFits(const TAnalyte& an, const TResu& r, const TArgs& a) {
    for (int i = an.NbLevels; i < MaxLevels; ++i)
        if (r.Levels[i].State != psEmpty)
            Refuse("level " + std::to_string(i + 1) + " is not in use for " + an.Name);
    bool any = false;
    for (int i = 0; i < an.NbLevels; ++i) any |= r.Levels[i].State != psEmpty;
    if (!any) Refuse("Enter data");
    for (int k : a.rejects)
        if (k >= an.NbLevels) Refuse("level out of range: " + std::to_string(k + 1));
}

// A rule's outcome in the words the inbox's verdicts use.
const char* RuleName(RuleStatus s) {
    switch (s) {
    case rsWarning:
        return "warning";
    case rsReject:
        return "reject";
    default:
        return "no warning";
    }
}

// ---------------------------------------------------------------- commands

// A password for the server: from the environment variable, else one line of standard input (never an
// argument, which other users of the machine could read).
std::string SecretFromEnvironment(const char* variable) {
    if (const char* v = std::getenv(variable)) return v;
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Moving in and out of a server: the folder's legacy files, archives and goals into an empty server
// database, or the server's data written back as the legacy files of a new folder.
int CmdMigrate(const TArgs& a) {
    if (a.help) {
        std::cout << CommandHelp.at("migrate");
        return 0;
    }
    if (!a.positional.empty())
        Refuse("usage: migrate --from-folder DIR --to URL | migrate --from URL --to-folder DIR");
    const std::string &fromFolder = a.fromFolder, &to = a.to, &from = a.from, &toFolder = a.toFolder;
    if (!fromFolder.empty() && !to.empty() && from.empty() && toFolder.empty()) {
        const TMigrateCount c = MigrateFolderToServer(fromFolder, to);
        std::cerr << "varnholt-cli: " << c.Analytes << " analytes, " << c.Archives << " archives and "
                  << c.Held << " held runs copied to " << c.Server << "\n";
        return 0;
    }
    if (!from.empty() && !toFolder.empty() && fromFolder.empty() && to.empty()) {
        const char* user = std::getenv("VARNHOLT_OPERATOR");
        const std::optional<std::string> code = user ? std::optional<std::string>(user) : std::nullopt;
        const TMigrateCount c = MigrateServerToFolder(from, toFolder, code,
                                                      user ? SecretFromEnvironment("VARNHOLT_PASSWORD") : "");
        const std::string dir = toFolder.back() == '/' ? toFolder : toFolder + "/";
        std::cerr << "varnholt-cli: " << c.Archives << " archives and the data written to " << dir << "\n";
        return 0;
    }
    Refuse("usage: migrate --from-folder DIR --to URL | migrate --from URL --to-folder DIR");
}

int CmdAnalytes(const TArgs&) {
    std::cout << AnalytesJson(ListAnalytes) << "\n";
    return 0;
}

int CmdLimits(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: limits ANALYTE");
    std::cout << LimitsJson(FindAnalyte(a.positional[0])) << "\n";
    return 0;
}

int CmdPoints(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: points ANALYTE");
    std::cout << PointsJson(FindAnalyte(a.positional[0])) << "\n";
    return 0;
}

int CmdJudge(const TArgs& a) {
    if (a.positional.empty()) Refuse("usage: judge ANALYTE DATE TIME V1 [V2 [V3]]");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    TResu r = RunFromArgs(a, a.positional[0], 1);
    CheckRunFits(an, r, a);
    an.ClassifyRun(r.Levels);
    TRejectToggles rejected{};
    for (int k : a.rejects) rejected[k] = true;
    bool rules = a.rules.value_or(an.MultirulesOn());
    const TRunVerdict verdict =
        JudgeAnalyteRun(an, Operations().RuleSet(an.Name), r, PreviousIndex(an, r.DateTime), rejected, rules);
    if (verdict.OwnRules) {
        std::cout << OwnJudgementJson(an, r, verdict) << "\n";
        return 0;
    }
    const TMultiruleResult& out = verdict.Multirules;

    TJsonWriter j;
    j.BeginObject().Key("States").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) j.Int(r.Levels[i].State);
    j.EndArray().Key("TakesPart").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) j.Bool(out.TakesPart[i]);
    j.EndArray().Key("n").Int(out.N).Key("PerLevel").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) {
        if (!out.TakesPart[i]) {
            j.Null();
            continue;
        }
        j.BeginArray();
        for (int k = 0; k < RuleCount; ++k) j.Text(RuleName(out.Level[i][k]));
        j.EndArray();
    }
    j.EndArray().Key("Across").BeginObject();
    if (out.AcrossShown())
        for (int k = FirstAcrossRule; k < RuleCount; ++k)
            j.Key(out.AcrossNames()[k]).Text(RuleName(out.Across[k]));
    j.EndObject().Key("AcrossNames").BeginArray();
    for (int k = FirstAcrossRule; k < RuleCount; ++k) j.Text(out.AcrossNames()[k]);
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

int CmdAdd(const TArgs& a) {
    if (a.positional.empty()) Refuse("usage: add ANALYTE DATE TIME V1 [V2 [V3]]");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    TResu r = RunFromArgs(a, a.positional[0], 1);
    CheckRunFits(an, r, a);
    an.ClassifyRun(r.Levels);
    for (int k : a.rejects)
        if (r.Levels[k].State != psEmpty) r.Levels[k].State = psDiscarded;
    TRunNote note;
    note.CorrectiveAction = a.action;
    note.Reason = a.reason;
    return Finish(Operations().AcceptRun(an, r, nullptr, note));
}

int CmdQueue(const TArgs& a) {
    if (a.positional.empty()) Refuse("usage: queue list | queue add ANALYTE DATE TIME V1 [V2 [V3]]");
    if (a.positional[0] == "list") {
        TJsonWriter j;
        j.BeginObject().Key("queue").BeginArray();
        for (const TResu& r : Fifo.Entries()) {
            j.BeginObject().Key("AnalyteName").Text(r.AnalyteName).Key("DateTime").DateTime(r.DateTime);
            j.Key("DayCount").DayCount(r.DateTime);
            j.Key("Levels").BeginArray();
            for (const LevelValue& v : r.Levels) WriteLevelValue(j, v);
            j.EndArray().Key("Comment").Text(r.Comment).Key("Operator").Text(r.Operator).EndObject();
        }
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.positional[0] == "recall") {
        // The oldest held run, accepted as the validation window's OK accepts it (rejected levels
        // stored as discarded); it leaves the queue once the data file holds it.
        if (a.positional.size() != 1) Refuse("usage: queue recall [--reject K]...");
        TAnalyte* an = nullptr;
        TResu r;
        TOutcome recalled = Operations().RecallRun(an, r);
        if (!recalled.Changed()) return Finish(recalled);
        for (int k : a.rejects) {
            if (k >= an->NbLevels) Refuse("level out of range: " + std::to_string(k + 1));
            if (r.Levels[k].State != psEmpty) r.Levels[k].State = psDiscarded;
        }
        return Finish(Operations().ConcludeRecall(*an, r, true));
    }
    if (a.positional[0] != "add" || a.positional.size() < 2)
        Refuse("usage: queue list | queue add ... | queue recall");
    TAnalyte& an = FindAnalyte(a.positional[1]);
    TResu r = RunFromArgs(a, a.positional[1], 2);
    r.AnalyteName = an.Name;
    CheckRunFits(an, r, a);
    an.ClassifyRun(r.Levels);
    return Finish(Operations().HoldRun(r));
}

int CmdImport(const TArgs& a) {
    if (a.positional.size() != 2) Refuse("usage: import ANALYTE FILE");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    std::string text;
    std::error_code ec;
    // Refused before it is read: a larger file would hold the folder for minutes.
    if (const auto size = std::filesystem::file_size(a.positional[1], ec); !ec && size > MaxImportBytes)
        Refuse(a.positional[1] + " is larger than an import takes (" + std::to_string(MaxImportBytes >> 20) +
               " MB at most)");
    try {
        text = ReadWholeFile(a.positional[1]);
    } catch (const EQcError& e) {
        Refuse(e.what());
    }
    TImportText parsed = ParseImportText(text, an.Decimals, an.NbLevels);
    // What was skipped, line by line, before what was done.
    for (const std::string& note : parsed.Notes) std::cerr << "varnholt-cli: " << Cp1252ToUtf8(note) << "\n";
    if (parsed.NotesLeftOut > 0)
        std::cerr << "varnholt-cli: " << parsed.NotesLeftOut << " more lines skipped\n";
    if (parsed.Refused) Refuse(parsed.NothingRead);
    if (parsed.LinesRead == 0)
        Refuse("no readable line in " + a.positional[1] +
               (parsed.NothingRead.empty() ? "" : ": " + parsed.NothingRead));
    // A date after today is a typing error or a wrong clock more often than not.
    for (size_t i = 0; i < parsed.Runs.size() && !a.future; ++i)
        if (DatePart(parsed.Runs[i].DateTime) > Today())
            Refuse("line " + std::to_string(parsed.Shapes[i].Line) + " is dated " +
                   Regional.DateToText(parsed.Runs[i].DateTime) +
                   ", after today; nothing imported (--future imports it)");
    TImportCount count;
    int status = Finish(Operations().ImportRuns(an, parsed.Runs, &count, a.reason));
    TJsonWriter j;
    j.BeginObject().Key("imported").Int(count.Added).EndObject();
    std::cout << j.Str() << "\n";
    return status;
}

int CmdExport(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: export ANALYTE");
    std::string text = EncodeExchangeText(FindAnalyte(a.positional[0]).PointsAsText(), a.encoding);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int CmdImportPredecessor(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: import-predecessor FILE");
    int imported = 0;
    TOutcome out = Operations().ImportPredecessor(a.positional[0], &imported);
    if (!out.Reason.empty())
        out.Message += ": " + out.Reason + " (" + std::to_string(imported) + " analytes imported)";
    int status = Finish(out);
    TJsonWriter j;
    j.BeginObject().Key("imported").Int(imported).EndObject();
    std::cout << j.Str() << "\n";
    return status;
}

int CmdArchive(const TArgs& a) {
    if (a.positional.size() != 2) Refuse("usage: archive ANALYTE LEVEL");
    TAnalyte& an = FindAnalyte(a.positional[0]);
    const std::string& l = a.positional[1];
    if (l.size() != 1 || l[0] < '1' || l[0] - '1' >= an.NbLevels)
        Refuse("level out of range: " + l + " (1 to " + std::to_string(an.NbLevels) + ")");
    std::array<bool, MaxLevels> levels{};
    levels[static_cast<size_t>(l[0] - '1')] = true;
    std::vector<int32_t> numbers;
    int status = Finish(Operations().EraseLevels(an, levels, &numbers, a.reason));
    TJsonWriter j;
    j.BeginObject().Key("archives").BeginArray();
    for (int32_t n : numbers) j.Int(n);
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return status;
}

int CmdBackup(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: backup DIR [--force]");
    TBackupChoice choice;
    choice.ReplaceLarger = a.force;
    return Finish(Operations().Backup(a.positional[0], choice));
}

std::string ModificationTimeText(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return "?";
    std::tm lt{};
    localtime_r(&st.st_mtime, &lt);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &lt);
    return text;
}

int CmdRestore(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: restore DIR [--older]");
    const std::string& dir = a.positional[0];
    const TRestorePlan plan = Operations().PlanRestore(dir);
    if (!plan.Damaged.empty() && !a.older)
        Refuse("the newest backup " + plan.Damaged + " is damaged; the older backup " + plan.Source + " (" +
               ModificationTimeText(plan.Source) + ", " + std::to_string(plan.Runs) +
               (plan.Runs == 1 ? " run" : " runs") + ") is restored only with --older");
    return Finish(Operations().Restore(dir, a.older));
}

int CmdReport(const TArgs& a) {
    if (a.positional.size() != 1 || a.pdf.empty() == a.printer.empty())
        Refuse("usage: report ANALYTE --pdf FILE|- [--from DATE] [--to DATE] | report ANALYTE --printer NAME "
               "...");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    if (an.Count() == 0) Refuse("Nothing to print");
    TDateTime d1 = a.from.empty() ? an.Points.front().DateTime : ParseIsoDateTime(a.from, "00:00");
    TDateTime d2 = a.to.empty() ? an.Points.back().DateTime : ParseIsoDateTime(a.to, "00:00");
    int n = WriteReport({a.pdf, a.printer}, an, d1, d2);
    // Standard output holds the PDF itself.
    if (a.pdf == "-") return 0;
    TJsonWriter j;
    j.BeginObject();
    if (!a.printer.empty())
        j.Key("printer").Text(Utf8ToCp1252(a.printer));
    else
        j.Key("pdf").Text(Utf8ToCp1252(a.pdf));
    j.Key("points").Int(n).EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

// ---------------------------------------------------------------- quality goals

void WriteOptionalReal(TJsonWriter& j, const std::optional<long double>& v) {
    if (v)
        j.Real(*v);
    else
        j.Null();
}

void WriteFigure(TJsonWriter& j, const TFigure& f) {
    if (f.Ok())
        j.Real(f.Value);
    else
        j.Null();
}

// The figures both the Sigma report and the monthly summary begin a level with: N, mean, SD and CV.
void WriteSpread(TJsonWriter& j, const TLevelFigures& f) {
    j.Key("N").Int(f.N).Key("Mean");
    WriteFigure(j, f.Mean);
    j.Key("SD");
    WriteFigure(j, f.SD);
    j.Key("CV");
    WriteFigure(j, f.CV);
}

void PrintGoal(const TAnalyte& an, const TQualityGoal& g) {
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(an.Name).Key("TEa");
    WriteOptionalReal(j, g.TEa);
    j.Key("TEaUnit").Text(g.TEaKind == teaUnit ? g.TEaUnit : "%").Key("Targets").BeginArray();
    for (int i = 0; i < an.NbLevels; ++i) WriteOptionalReal(j, g.Target[static_cast<size_t>(i)]);
    j.EndArray().Key("BiasFrom").Text(BiasFromName(g.BiasFrom)).EndObject();
    std::cout << j.Str() << "\n";
}

int CmdGoal(const TArgs& a) {
    if (!a.importFile.empty()) {
        if (!a.positional.empty() || a.tea || !a.targets.empty() || a.clear)
            Refuse("usage: goal --import FILE");
        std::string text;
        try {
            text = ReadWholeFile(a.importFile);
        } catch (const EQcError& e) {
            Refuse(e.what());
        }
        int count = 0;
        int status = Finish(Operations().ImportGoals(text, &count));
        TJsonWriter j;
        j.BeginObject().Key("imported").Int(count).EndObject();
        std::cout << j.Str() << "\n";
        return status;
    }
    if (a.positional.size() != 1)
        Refuse("usage: goal ANALYTE [--tea TEA] [--target LEVEL VALUE]... [--clear] | goal --import FILE");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    TQualityGoal g = Operations().Goal(an.Name);
    g.Analyte = an.Name;
    if (!a.tea && a.targets.empty() && !a.clear && !a.bias) {
        PrintGoal(an, g);
        return 0;
    }
    if (a.bias) {
        const std::optional<TBiasFrom> from = BiasFromOfName(*a.bias);
        if (!from) Refuse("--bias takes target, peer or eqa, not " + *a.bias);
        g.BiasFrom = *from;
    }
    if (a.clear) {
        if (a.tea || !a.targets.empty() || a.bias) Refuse("--clear takes no --tea, --target or --bias");
        g = TQualityGoal{};
        g.Analyte = an.Name;
    }
    if (a.tea) {
        // The TEa field of a goal line, read as the import reads it.
        TQualityGoal read;
        try {
            read = ParseGoalLine("x;" + *a.tea);
        } catch (const EQcError& e) {
            Refuse(e.what());
        }
        g.TEa = read.TEa;
        g.TEaKind = read.TEaKind;
        g.TEaUnit = read.TEaUnit;
    }
    for (const auto& [level, value] : a.targets) {
        if (level.size() != 1 || level[0] < '1' || level[0] - '1' >= an.NbLevels)
            Refuse("level out of range: " + level + " (1 to " + std::to_string(an.NbLevels) + ")");
        auto& target = g.Target[static_cast<size_t>(level[0] - '1')];
        if (value == "-") {
            target.reset();
            continue;
        }
        long double v = 0;
        if (!ParseDecimal(value, '.', v) || !InValueRange(v))
            Refuse("target of level " + level + ": not a number: " + value);
        if (v == 0) Refuse("target of level " + level + " is zero");
        target = v;
    }
    if (!g.TEa && !a.clear && std::any_of(g.Target.begin(), g.Target.end(), [](const auto& t) { return t; }))
        Refuse("no TEa for " + an.Name + " (give --tea)");
    int status = Finish(Operations().SetGoal(g));
    PrintGoal(an, Operations().Goal(an.Name));
    return status;
}

// ---------------------------------------------------------------- rule sets

int CmdRules(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: rules ANALYTE [--set RULES] [--warn RULES] [--clear]");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    const TQcRuleSet kept = Operations().RuleSet(an.Name);
    if (!a.setRules && !a.warnRules && !a.clear) {
        std::cout << RuleSetJson(an, kept) << "\n";
        return 0;
    }
    if (a.clear && (a.setRules || a.warnRules)) Refuse("--clear takes no --set or --warn");
    TQcRuleSet set;
    if (!a.clear) {
        try {
            set = ChangeRuleSet(kept, a.setRules, a.warnRules);
        } catch (const EQcError& e) {
            Refuse(e.what());
        }
    }
    int status = Finish(Operations().SetRuleSet(an.Name, set));
    std::cout << RuleSetJson(an, Operations().RuleSet(an.Name)) << "\n";
    return status;
}

int CmdPlan(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: plan ANALYTE [--rules RULES] [--n N] [--trials COUNT]");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    auto whole = [](const std::string& option, const std::string& text, long double low, long double high) {
        long double v = 0;
        if (!ParseDecimal(text, '.', v) || v != std::floor(v) || v < low || v > high)
            Refuse(option + " takes a whole number from " + std::to_string(static_cast<long long>(low)) +
                   " to " + std::to_string(static_cast<long long>(high)) + ", not " + text);
        return static_cast<int>(v);
    };
    const int n = a.perRun ? whole("--n", *a.perRun, 1, MaxRunValues) : PlanValuesPerRun(an);
    const int trials = a.trials ? whole("--trials", *a.trials, 100, 1000000) : 20000;
    TQcRuleSet set = Operations().RuleSet(an.Name);
    std::vector<std::string> notes;
    std::string json;
    try {
        if (a.planRules) set = MakeQcRuleSet("", *a.planRules, "");
        set = RulesInForce(an, set);
        json = PlanJson(an, Operations().Goal(an.Name), set, n, trials, notes);
    } catch (const EQcError& e) {
        Refuse(e.what());
    }
    for (const std::string& note : notes) std::cerr << "varnholt-cli: " << note << "\n";
    std::cout << json << "\n";
    return 0;
}

// Why a level's figure is missing, on standard error beside the JSON's null.
void NoteGap(int level, const char* what, const TFigure& f) {
    if (!f.Ok())
        std::cerr << "varnholt-cli: level " << level + 1 << ": " << what
                  << " not available: " << GapText(f.Gap) << "\n";
}

int CmdSigma(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: sigma ANALYTE [--from DATE --to DATE]");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    std::optional<TPeriod> period;
    if (!a.from.empty() || !a.to.empty()) {
        if (an.Count() == 0) Refuse("no point in " + an.Name);
        TDateTime d1 = a.from.empty() ? an.Points.front().DateTime : ParseIsoDateTime(a.from, "00:00");
        TDateTime d2 = a.to.empty() ? an.Points.back().DateTime : ParseIsoDateTime(a.to, "00:00");
        if (d2 < d1) Refuse("--to is before --from");
        period = PeriodOfDates(an, d1, d2);
    }
    // The companion has no chart: every point is in view.
    const TSigmaReport r = SigmaReport(an, Operations().Goal(an.Name), period, {0, an.Count() - 1}, {},
                                       Operations().RuleSet(an.Name));
    // The power and run size of the rules in force, as plan gives them by default.
    const TQcRuleSet inForce = RulesInForce(an, Operations().RuleSet(an.Name));
    const int perRun = PlanValuesPerRun(an), trials = 20000;
    std::vector<std::optional<long double>> sigmas;
    for (const TLevelSigma& l : r.Levels)
        sigmas.push_back(l.Figures.Sigma.Ok() ? std::optional(l.Figures.Sigma.Value) : std::nullopt);
    const auto plans = PlanLevels(inForce, perRun, sigmas, trials);
    TJsonWriter j;
    j.BeginObject().Key("Name").Text(an.Name).Key("BiasFrom").Text(BiasFromName(r.Goal.BiasFrom));
    j.Key("RulesInForce").BeginObject().Key("Reject");
    WriteRuleNames(j, inForce.Reject);
    j.Key("Warn");
    WriteRuleNames(j, inForce.Warn);
    j.Key("N").Int(perRun).Key("Trials").Int(trials).EndObject().Key("levels").BeginArray();
    for (size_t li = 0; li < r.Levels.size(); ++li) {
        const TLevelSigma& l = r.Levels[li];
        const TLevelFigures& f = l.Figures;
        j.BeginObject();
        WriteSpread(j, f);
        j.Key("Target");
        WriteFigure(j, f.Target);
        j.Key("BiasPct");
        WriteFigure(j, f.BiasPct);
        j.Key("TEaPct");
        WriteFigure(j, f.TEaPct);
        j.Key("Sigma");
        WriteFigure(j, f.Sigma);
        j.Key("BiasKnown").Bool(f.BiasKnown).Key("Rules").BeginArray();
        if (l.Advised)
            for (const std::string& rule : l.Advice.Rules) j.Text(rule);
        j.EndArray().Key("N_per_run");
        if (l.Advised)
            j.Int(l.Advice.Plans.front().N).Key("Runs").Int(l.Advice.Plans.front().R);
        else
            j.Null().Key("Runs").Null();
        j.Key("Ped");
        WriteFigure(j, l.Detection.Ped);
        j.Key("Pfr");
        WriteFigure(j, l.Detection.Pfr);
        j.Key("Plan").BeginObject();
        WritePlanFigures(j, plans[li]);
        j.EndObject().EndObject();
        NoteGap(f.Level, "bias", f.BiasPct);
        NoteGap(f.Level, "Sigma", f.Sigma);
        if (f.Sigma.Ok()) NoteGap(f.Level, "Ped", l.Detection.Ped);
        if (l.MissesGoal)
            std::cerr << "varnholt-cli: level " << f.Level + 1
                      << ": the method does not meet the quality goal; no QC rule can detect its errors in "
                         "time, no rules advised\n";
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

void WriteSummaryLevels(TJsonWriter& j, const std::vector<TMonthLevel>& levels) {
    j.Key("levels").BeginArray();
    for (const TMonthLevel& l : levels) {
        const TLevelFigures& f = l.Figures;
        j.BeginObject();
        WriteSpread(j, f);
        j.Key("BiasPct");
        WriteFigure(j, f.BiasPct);
        j.Key("Sigma");
        WriteFigure(j, f.Sigma);
        j.Key("Warnings").Int(l.Warnings).Key("Rejects").Int(l.Rejects).EndObject();
    }
    j.EndArray();
}

int CmdSummary(const TArgs& a) {
    if (a.positional.size() != 1 || a.from.empty() || a.to.empty())
        Refuse("usage: summary ANALYTE --from YYYY-MM --to YYYY-MM");
    const TAnalyte& an = FindAnalyte(a.positional[0]);
    TSummary s;
    try {
        s = MonthlySummary(an, Operations().Goal(an.Name), ParseMonth(a.from), ParseMonth(a.to),
                           Operations().RuleSet(an.Name));
    } catch (const EQcError& e) {
        Refuse(e.what());
    }
    TJsonWriter j;
    j.BeginObject().Key("months").BeginArray();
    for (const TMonthSummary& m : s.Months) {
        char month[16];
        std::snprintf(month, sizeof month, "%04d-%02d", m.Month.Year, m.Month.Month);
        j.BeginObject().Key("Month").Text(month);
        WriteSummaryLevels(j, m.Levels);
        j.EndObject();
    }
    j.EndArray().Key("cumulative").BeginObject();
    WriteSummaryLevels(j, s.Cumulative);
    j.EndObject().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

// ---------------------------------------------------------------- results from the instruments

const char* OutcomeName(TInboxFileOutcome::TKind k) {
    switch (k) {
    case TInboxFileOutcome::Read:
        return "read";
    case TInboxFileOutcome::ReadBefore:
        return "read before";
    case TInboxFileOutcome::Failed:
        return "failed";
    case TInboxFileOutcome::Waiting:
        return "waiting";
    }
    return "";
}

std::string ReportJson(const TInboxReport& r) {
    TJsonWriter j;
    j.BeginObject().Key("files").BeginArray();
    for (const TInboxFileOutcome& f : r.Files) {
        j.BeginObject().Key("name").Text(f.Name).Key("source").Text(f.Source).Key("outcome").Text(
            OutcomeName(f.Kind));
        j.Key("results").Int(f.Results).Key("notMapped").Int(f.NotMapped).Key("repeated").Int(f.Repeated);
        if (!f.MovedTo.empty()) j.Key("movedTo").Text(Utf8ToCp1252(f.MovedTo));
        if (!f.Detail.empty()) {
            std::string detail = f.Detail;
            std::replace(detail.begin(), detail.end(), '\r', ' ');
            std::replace(detail.begin(), detail.end(), '\n', ' ');
            j.Key("detail").Text(detail);
        }
        j.EndObject();
    }
    j.EndArray().Key("queued").Int(r.Queued).Key("accepted").Int(r.Accepted).Key("merged").Int(r.Merged);
    j.Key("notMapped").Int(r.NotMapped).Key("patientResults").Int(r.PatientResults).EndObject();
    return j.Str();
}

void WriteResult(TJsonWriter& j, const TInstrumentResult& r) {
    j.Key("source").Text(r.Source).Key("instrument").Text(r.Instrument).Key("code").Text(r.TestCode);
    j.Key("control").Text(r.Control).Key("level").Int(r.Level).Key("value").Text(r.ValueText);
    j.Key("units").Text(r.Units).Key("dateTime").DateTime(r.DateTime);
    j.Key("operator").Text(r.Operator).Key("line").Int(r.Line);
}

int CmdMap(const TArgs& a) {
    if (a.positional.size() != 1) Refuse("usage: map list | map add ... | map remove ...");
    const std::string& what = a.positional[0];
    if (what == "list") {
        TJsonWriter j;
        j.BeginObject().Key("mappings").BeginArray();
        for (const TInboxMapping& m : Operations().InboxMappings()) {
            j.BeginObject().Key("source").Text(m.Source).Key("code").Text(m.Code).Key("control").Text(
                m.Control);
            j.Key("analyte").Text(m.Analyte).Key("level");
            if (m.Level > 0)
                j.Int(m.Level);
            else
                j.Text("file");
            j.EndObject();
        }
        j.EndArray().Key("notMapped").BeginArray();
        for (const TWaitingResult& w : Operations().NotMappedResults()) {
            j.BeginObject();
            WriteResult(j, w.Result);
            j.Key("file").Text(w.File).Key("reason").Text(w.Reason).EndObject();
        }
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    auto need = [&](const std::optional<std::string>& v, const char* option) {
        if (!v) Refuse("map " + what + " needs " + option);
        return *v;
    };
    if (what == "remove")
        return Finish(Operations().RemoveInboxMapping(need(a.source, "--source"), need(a.code, "--code"),
                                                      need(a.control, "--control")));
    if (what != "add") Refuse("usage: map list | map add ... | map remove ...");
    TInboxMapping m{need(a.source, "--source"), need(a.code, "--code"), need(a.control, "--control"),
                    need(a.analyte, "--analyte"), 0};
    const std::string level = need(a.level, "--level");
    if (level == "file")
        m.Level = 0;
    else if (level.size() == 1 && level[0] >= '1' && level[0] <= '3')
        m.Level = level[0] - '0';
    else
        Refuse("--level takes 1 to 3, or file, not " + level);
    const TAnalyte* target = ListAnalytes.FindByName(m.Analyte);
    if (!a.replace && target)
        if (std::optional<TInboxMapping> former = Operations().InboxMappingOf(m.Source, m.Code, m.Control);
            former && (former->Analyte != target->Name || former->Level != m.Level))
            Refuse(m.Source + " " + m.Code + " " + m.Control + " is already mapped to " + former->Analyte +
                   " level " + (former->Level > 0 ? std::to_string(former->Level) : std::string("file")) +
                   ": give --replace to replace that mapping");
    TInboxReport report;
    int status = Finish(Operations().MapInstrumentResults(m, &report, a.replace));
    TJsonWriter j;
    j.BeginObject().Key("queued").Int(report.Queued).Key("accepted").Int(report.Accepted);
    j.Key("merged").Int(report.Merged).Key("stillNotMapped").Int(report.NotMapped).EndObject();
    std::cout << j.Str() << "\n";
    return status;
}

int CmdSource(const TArgs& a) {
    if (a.positional.empty()) {
        TJsonWriter j;
        j.BeginObject().Key("sources").BeginArray();
        for (const TInstrumentSource& s : Operations().InboxSources()) j.Text(s.Id);
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    const std::string id = Utf8ToCp1252(a.positional[0]);
    TInstrumentSource s = Operations().InboxSource(id);
    if (a.positional.size() == 1) {
        std::cout << Cp1252ToUtf8(s.ToText());
        return 0;
    }
    // The stored options with the given keys changed, read as the store reads them.
    std::string text = s.ToText();
    // The keys are those the store writes; one it does not know (a typing error) would be dropped.
    std::vector<std::string> known;
    const std::string every = TInstrumentSource{}.ToText();
    for (size_t at = 0; at < every.size(); at = every.find('\n', at) + 1)
        if (const std::string key = every.substr(at, every.find('=', at) - at); key != "id")
            known.push_back(key);
    for (size_t k = 1; k < a.positional.size(); ++k) {
        const std::string line = StoredText(a.positional[k], a.positional[k], a.replaceUnencodable);
        const size_t eq = line.find('=');
        if (eq == std::string::npos) Refuse("expected KEY=VALUE, not " + a.positional[k]);
        const std::string key = Trim(line.substr(0, eq));
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            std::string list;
            for (const std::string& n : known) list += (list.empty() ? "" : ", ") + n;
            Refuse("unknown key " + Cp1252ToUtf8(key) + " (the keys: " + list + ")");
        }
        text += line + "\n";
    }
    TInstrumentSource changed;
    try {
        changed = TInstrumentSource::FromText(text);
    } catch (const EQcError& e) {
        Refuse(e.what());
    }
    changed.Id = id;
    return Finish(Operations().SetInboxSource(changed));
}

void WriteInboxSettings() {
    TInboxSettings s = Operations().InboxSettings();
    TJsonWriter j;
    j.BeginObject().Key("folder").Text(Utf8ToCp1252(s.Folder)).Key("autoAccept").Bool(s.AutoAccept);
    j.Key("windowMinutes").Real(s.WindowMinutes).Key("heldFromInbox").Int(Operations().HeldFromInbox());
    j.Key("notMapped").Int(static_cast<long long>(Operations().NotMappedResults().size())).EndObject();
    std::cout << j.Str() << "\n";
}

int CmdInbox(const TArgs& a) {
    if (a.positional.size() == 1 && a.positional[0] == "show") {
        WriteInboxSettings();
        return 0;
    }
    if (a.positional.size() == 1 && a.positional[0] == "set") {
        TInboxSettings s = Operations().InboxSettings();
        if (a.folder) s.Folder = *a.folder;
        if (a.autoAccept) s.AutoAccept = *a.autoAccept;
        if (a.window) {
            long double w = 0;
            if (!ParseDecimal(*a.window, '.', w)) Refuse("--window takes minutes, not " + *a.window);
            s.WindowMinutes = static_cast<double>(w);
        }
        int status = Finish(Operations().SetInboxSettings(s));
        WriteInboxSettings();
        return status;
    }
    if (!a.positional.empty() || !a.once)
        Refuse("usage: inbox --once | inbox --watch | inbox show | inbox set ...");
    TInboxReadOptions options;
    options.Folder = InboxOverride;
    TInboxReport report;
    TOutcome out = Operations().ReadInbox(&report, options);
    if (out.Changed()) std::cout << ReportJson(report) << "\n";
    return Finish(out);
}

volatile std::sig_atomic_t StopWatching = 0;

// A message received live, recorded as the program does (TOperations::RecordLiveMessage) with the folder
// opened for it alone: the program may start in between, and while it is open it listens itself.
TLiveOutcome RecordLiveMessage(const std::string& home, const TOpenOptions& open,
                               const TInstrumentSource& source, const std::string& message) {
    TOpenReport r = Operations().Open(home, TOpenMode::Writer, open);
    if (!r.Opened)
        return {"AR", Cp1252ToUtf8(Flatten(r.LockedElsewhere
                                               ? "not recorded: the folder is in use, send again later"
                                               : "not recorded: " + r.Message))};
    struct TClose {
        ~TClose() { Operations().Close(); }
    } closing;
    if (r.FirstRun) return {"AR", "not recorded: no Varnholt data in " + home};
    TInboxReport report;
    const TLiveOutcome out = Operations().RecordLiveMessage(source, message, &report, InboxOverride);
    if (!report.Empty()) std::cout << ReportJson(report) << std::endl;
    return out;
}

// Reads the inbox again and again. The folder is opened, and its lock taken, only for each reading: the
// program can start in between, and while it is open it reads the inbox itself.
int WatchInbox(const std::string& home, const TArgs& a, const std::string& db, const std::string& user) {
    // On a server the bench signs in once; its password is asked for once.
    const std::string password =
        !db.empty() && !user.empty() ? SecretFromEnvironment("VARNHOLT_PASSWORD") : "";
    std::signal(SIGTERM, [](int) { StopWatching = 1; });
    std::signal(SIGINT, [](int) { StopWatching = 1; });
    std::string folder = InboxOverride, lastListing, lastError;
    bool listingKnown = false;
    auto openOptions = [&] {
        TOpenOptions open;
        open.CreateFolder = false;
        open.SampleOnFirstRun = false;
        open.Server = db;
        open.OperatorCode = db.empty() ? "" : user;
        open.OperatorPassword = password;
        return open;
    };
    TListeners listeners;
    listeners.Notice = [](const std::string& text) { std::cerr << "varnholt-cli: " << text << std::endl; };
    // What a connection sent and no message took is kept in its source's failed/, as a file is.
    listeners.Unread = [&folder](const TInstrumentSource& source, const std::string& peer,
                                 const std::string& bytes, const std::string& why) {
        try {
            const std::string kept = KeepConnectionBytes(folder, source, peer, bytes, why);
            std::cerr << "varnholt-cli: source " << source.Id << ": the connection from " << peer
                      << " ended with bytes not taken (" << why << "): kept as " << kept << std::endl;
        } catch (const EQcError& e) {
            std::cerr << "varnholt-cli: source " << source.Id << ": the connection from " << peer
                      << " ended with bytes not taken (" << why << "), which cannot be kept: " << e.what()
                      << std::endl;
        }
    };
    // listen.capture=yes: each connection's bytes as they came, beside the files read.
    TConnectionCaptures captures;
    listeners.Raw = [&folder, &captures](const TInstrumentSource& source, const std::string& peer,
                                         uint64_t connection, std::string_view bytes, bool ended) {
        if (ended) return captures.End(connection);
        try {
            captures.Append(folder, source, peer, connection, bytes);
        } catch (const EQcError& e) {
            std::cerr << "varnholt-cli: source " << source.Id << ": " << e.what() << std::endl;
        }
    };
    auto record = [&](const TInstrumentSource& source, const std::string&, const std::string& message) {
        return RecordLiveMessage(home, openOptions(), source, message);
    };
    auto lastFull = std::chrono::steady_clock::time_point{};
    bool portsLetGo = false;
    auto say = [&](const std::string& message) {
        if (message == lastError) return;
        lastError = message;
        if (!message.empty()) std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(message)) << std::endl;
    };
    while (!StopWatching) {
        // The program, opened on the folder, listens itself: the sources' ports are let go for it at once.
        if (listeners.Count() > 0 && TFolderLock::HeldByAnother(home)) {
            listeners.Configure({});
            say("the folder " + home + " is in use (the program listens while it is open); waiting");
            portsLetGo = true;
        } else if (portsLetGo && !TFolderLock::HeldByAnother(home)) {
            portsLetGo = false;
            lastFull = {}; // read at once, and listen again
        }
        // Only files that changed since the last reading call for another, and once a minute anyway.
        std::string listing;
        bool listed = false;
        if (!folder.empty()) try {
                for (const TInboxFile& f : ListInboxFiles(folder))
                    listing +=
                        f.Path + "\n" + std::to_string(f.Size) + " " + std::to_string(f.ModifiedNs) + "\n";
                listed = true;
            } catch (const EQcError&) {
            }
        const auto now = std::chrono::steady_clock::now();
        bool more = false;
        if (!listed || (listing != lastListing || !listingKnown) ||
            now - lastFull >= std::chrono::minutes(1)) {
            lastFull = now;
            TOpenReport r = Operations().Open(home, TOpenMode::Writer, openOptions());
            if (!r.Opened) {
                if (r.LockedElsewhere) {
                    listeners.Configure({});
                    portsLetGo = true;
                }
                say(r.LockedElsewhere
                        ? "the folder " + home +
                              " is in use (the program reads the inbox while it is open); waiting"
                        : r.Message);
            } else if (r.FirstRun) {
                Operations().Close();
                say("no Varnholt data in " + home + "; waiting");
            } else {
                for (const std::string& note : r.Notes) say(note);
                TInboxReadOptions options;
                options.Folder = InboxOverride;
                options.MaxFiles = 50; // then the lock is let go, so that the program can start
                options.SettleSeconds = 2;
                TInboxReport report;
                TOutcome out = Operations().ReadInbox(&report, options);
                if (folder.empty() || InboxOverride.empty())
                    folder = InboxOverride.empty() ? Operations().InboxSettings().Folder : InboxOverride;
                for (const std::string& fault : listeners.Configure(Operations().InboxSources())) say(fault);
                Operations().Close();
                say(out.Status == TStatus::Refused ? out.Message : "");
                // Files only waiting to settle are not worth a line.
                bool news = report.Queued + report.Accepted > 0;
                for (const TInboxFileOutcome& f : report.Files) news |= !f.Settling;
                if (out.Changed() && news) std::cout << ReportJson(report) << std::endl;
                if (out.Status == TStatus::Partial) say(out.Message);
                size_t left = 0;
                bool settling = false;
                for (const TInboxFileOutcome& f : report.Files) {
                    left += f.Kind != TInboxFileOutcome::Waiting;
                    settling |= f.Settling;
                }
                more = left >= options.MaxFiles || (out.Ok() && report.More);
                lastListing.clear();
                listingKnown = false;
                if (!folder.empty()) try {
                        for (const TInboxFile& f : ListInboxFiles(folder))
                            lastListing += f.Path + "\n" + std::to_string(f.Size) + " " +
                                           std::to_string(f.ModifiedNs) + "\n";
                        // A file still settling is read at the next round.
                        listingKnown = !settling;
                    } catch (const EQcError&) {
                    }
            }
        }
        if (more) continue;
        // Between readings the listeners are served; a message received is recorded at once.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(a.interval * 1000);
        while (!StopWatching && std::chrono::steady_clock::now() < until)
            if (listeners.Count() == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            else
                listeners.Serve(std::chrono::milliseconds(200), record);
    }
    return 0;
}

std::optional<TDateTime> IsoDay(const std::string& text, const char* option) {
    if (text.empty()) return std::nullopt;
    auto d = IsoTextToDate(text);
    if (!d) Refuse(std::string(option) + ": not an ISO date (YYYY-MM-DD): " + text);
    return d;
}

int CmdJournal(const TArgs& a) {
    if (!a.positional.empty() && a.positional[0] == "verify") {
        if (a.positional.size() != 1) Refuse("usage: journal verify [--head ID:HASH]");
        TJournalCheck check;
        try {
            // A printed head also shows entries changed and chained anew, or removed after it.
            check = a.head ? Operations().CheckJournalAnchor(*a.head) : Operations().CheckJournal();
        } catch (const EQcError& e) {
            Refuse(e.what());
        }
        TJsonWriter j;
        j.BeginObject().Key("whole").Bool(check.Whole).Key("entries").Int(check.Entries);
        j.Key("head").Text(Operations().JournalAnchor()).Key("firstBad");
        if (check.Whole)
            j.Null();
        else
            j.Int(check.FirstBad);
        j.EndObject();
        std::cout << j.Str() << "\n";
        if (!check.Whole) {
            std::cerr << "varnholt-cli: " << check.Message << "\n";
            return 1;
        }
        return 0;
    }
    if (!a.positional.empty())
        Refuse("usage: journal [--analyte A] [--from DATE] [--to DATE] | journal verify [--head ID:HASH]");
    TJournalFilter f;
    f.Analyte = Cp1252ToUtf8(a.analyte.value_or("")); // the journal keeps its texts in UTF-8
    f.From = IsoDay(a.from, "--from");
    f.To = IsoDay(a.to, "--to");
    TJsonWriter j;
    j.BeginObject().Key("entries").BeginArray();
    // The journal is UTF-8; the writer takes the program's Windows-1252, which every entry came from.
    for (const TJournalEntry& e : Operations().Journal(f)) {
        j.BeginObject().Key("id").Int(e.Id).Key("time").Text(e.TimeUtc).Key("operator");
        j.Text(Utf8ToCp1252(e.Operator))
            .Key("kind")
            .Text(e.Kind)
            .Key("analyte")
            .Text(Utf8ToCp1252(e.Analyte));
        j.Key("level");
        if (e.Level > 0)
            j.Int(e.Level);
        else
            j.Null();
        j.Key("point").DateTimeText(e.Point).Key("before").Text(Utf8ToCp1252(e.Before));
        j.Key("after").Text(Utf8ToCp1252(e.After)).Key("reason").Text(Utf8ToCp1252(e.Reason));
        j.Key("hash").Text(e.Hash).EndObject();
    }
    j.EndArray().EndObject();
    std::cout << j.Str() << "\n";
    return 0;
}

std::string IsoDayText(TDateTime d) {
    return JournalDateTime(d).substr(0, 10);
}

int CmdReview(const TArgs& a) {
    if (a.positional.empty())
        Refuse("usage: review sign ANALYTE --from DATE --to DATE --reviewer XX | review list");
    if (a.positional[0] == "list") {
        TJsonWriter j;
        j.BeginObject().Key("reviews").BeginArray();
        for (const TReview& r : Operations().Reviews(a.analyte.value_or(""))) {
            j.BeginObject().Key("id").Int(r.Id).Key("analyte").Text(r.Analyte).Key("from").Text(
                IsoDayText(r.First));
            j.Key("to")
                .Text(IsoDayText(r.Last))
                .Key("reviewer")
                .Text(r.Reviewer)
                .Key("signed")
                .DateTimeText(r.SignedLocal);
            j.Key("reopened").DateTimeText(r.ReopenedUtc).Key("reason").Text(r.ReopenedReason).EndObject();
        }
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (a.positional[0] != "sign" || a.positional.size() != 2 || a.from.empty() || a.to.empty() ||
        a.reviewer.empty())
        Refuse("usage: review sign ANALYTE --from DATE --to DATE --reviewer XX");
    const TAnalyte& an = FindAnalyte(a.positional[1]);
    std::string password;
    std::getline(std::cin, password);
    while (!password.empty() && (password.back() == '\r' || password.back() == '\n')) password.pop_back();
    const TDateTime from = *IsoDay(a.from, "--from"), to = *IsoDay(a.to, "--to");
    int runs = 0;
    Finish(Operations().CheckReviewSignature(an, from, to, a.reviewer, Utf8ToCp1252(password), &runs));
    const int status = Finish(Operations().SignReview(an, from, to, a.reviewer, Utf8ToCp1252(password)));
    // What was signed, for the signer to see.
    TJsonWriter j;
    j.BeginObject().Key("signed").BeginObject().Key("analyte").Text(an.Name).Key("from").Text(
        IsoDayText(from));
    j.Key("to").Text(IsoDayText(to)).Key("runs").Int(runs).Key("reviewer").Text(UpperCase(Trim(a.reviewer)));
    j.EndObject().EndObject();
    std::cout << j.Str() << "\n";
    return status;
}

// The operators who sign in on the server; the new password from VARNHOLT_NEW_PASSWORD or standard input.
int CmdAccount(const TArgs& a) {
    if (!Operations().KeepsAccounts()) Refuse("operator accounts are kept on a server: give --db URL");
    const std::string what = a.positional.empty() ? "" : a.positional[0];
    if (what == "list" && a.positional.size() == 1) {
        TJsonWriter j;
        j.BeginObject().Key("accounts").BeginArray();
        for (const TAccount& acc : Operations().Accounts())
            j.BeginObject()
                .Key("Code")
                .Text(acc.Code)
                .Key("Name")
                .Text(acc.Name)
                .Key("Role")
                .Text(RoleName(acc.Role))
                .EndObject();
        j.EndArray().EndObject();
        std::cout << j.Str() << "\n";
        return 0;
    }
    if (what == "remove" && a.positional.size() == 2)
        return Finish(Operations().RemoveAccount(a.positional[1]));
    if (what != "add" || a.positional.size() != 2)
        Refuse("usage: account list | account add CODE --name N --role technologist|supervisor | account "
               "remove CODE");
    std::optional<TRole> role = RoleByName(a.role.empty() ? "technologist" : a.role);
    if (!role) Refuse("--role takes technologist or supervisor, not " + a.role);
    return Finish(Operations().SetAccount({a.positional[1], a.name, *role},
                                          SecretFromEnvironment("VARNHOLT_NEW_PASSWORD")));
}

int CmdPbrtqc(const TArgs& a) {
    TPbrtqcResult r = RunPbrtqc(a.pbrtqc);
    const int status = Finish(r.Outcome);
    std::cout << r.Json << "\n";
    return status;
}

struct TCommand {
    std::function<int(const TArgs&)> run;
    // Whether the command changes the folder: it then takes the lock and writes what it changed.
    std::function<bool(const TArgs&)> writes;
    // Whether it shows stored data, which a folder without a data file does not have.
    bool needsData = false;
    // Whether it reads the database (a reading command opens it only then).
    bool database = false;
};

const auto Reads = [](const TArgs&) { return false; };
const auto Writes = [](const TArgs&) { return true; };

const std::map<std::string, TCommand> Commands = {
    {"analytes", {CmdAnalytes, Reads}},
    {"limits", {CmdLimits, Reads, true}},
    {"points", {CmdPoints, Reads, true}},
    {"judge", {CmdJudge, Reads, false, true}},
    {"add", {CmdAdd, Writes}},
    // Listing the held runs reads only: it works while the program runs.
    {"queue", {CmdQueue, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "list"; }}},
    {"import", {CmdImport, Writes}},
    {"export", {CmdExport, Reads, true}},
    {"import-predecessor", {CmdImportPredecessor, Writes}},
    {"archive", {CmdArchive, Writes}},
    {"backup", {CmdBackup, Writes}},
    {"restore", {CmdRestore, Writes}},
    {"report", {CmdReport, Reads, true, true}},
    {"goal",
     {CmdGoal,
      [](const TArgs& a) {
          return a.tea || !a.targets.empty() || a.clear || a.bias || !a.importFile.empty();
      },
      true, true}},
    {"sigma", {CmdSigma, Reads, true, true}},
    {"summary", {CmdSummary, Reads, true, true}},
    {"plan", {CmdPlan, Reads, true, true}},
    {"rules", {CmdRules, [](const TArgs& a) { return a.setRules || a.warnRules || a.clear; }, true, true}},
    {"account",
     {CmdAccount, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "list"; }, false,
      true}},
    {"inbox",
     {CmdInbox, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "show"; }, true,
      true}},
    {"map",
     {CmdMap, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "list"; }, true, true}},
    {"source", {CmdSource, [](const TArgs& a) { return a.positional.size() > 1; }, false, true}},
    {"journal", {CmdJournal, Reads, false, true}},
    {"uncertainty", {[](const TArgs& a) { return CliUncertainty(AssessmentArgs(a)); }, Reads, true, true}},
    {"mu", {[](const TArgs& a) { return CliUncertainty(AssessmentArgs(a)); }, Reads, true, true}},
    {"eqa",
     {[](const TArgs& a) { return CliEqa(AssessmentArgs(a)); },
      [](const TArgs& a) { return CliEqaWrites(AssessmentArgs(a)); }, false, true}},
    {"peer",
     {[](const TArgs& a) { return CliPeer(PeerArgs(a)); },
      [](const TArgs& a) { return CliPeerWrites(PeerArgs(a)); }, false, true}},
    {"review",
     {CmdReview, [](const TArgs& a) { return a.positional.empty() || a.positional[0] != "list"; }, false,
      true}},
    {"pbrtqc", {CmdPbrtqc, [](const TArgs& a) { return PbrtqcWrites(a.positional); }, true, true}},
};

// Opens the folder through the operations layer: writing commands take the lock; a missing folder, or a
// folder without the program's files, is refused unless --init makes it a program folder. A damaged or
// missing data file is refused rather than replaced, so that nothing on disk changes.
void OpenProgramFolder(const std::string& folder, bool writes, bool init, bool needsData, bool readsDatabase,
                       const std::string& db, const std::string& user) {
    TOpenOptions options;
    options.Server = db;
    if (!db.empty() && !user.empty()) {
        options.OperatorCode = user;
        options.OperatorPassword = SecretFromEnvironment("VARNHOLT_PASSWORD");
    }
    options.ReadDatabase = readsDatabase;
    options.CreateFolder = init;
    options.SampleOnFirstRun = init || !writes;
    TOpenReport report = Operations().Open(folder, writes ? TOpenMode::Writer : TOpenMode::Reader, options);
    if (!report.Opened) {
        if (report.SignInNeeded)
            Refuse(
                "the server asks for an operator: give --user CODE (the password from VARNHOLT_PASSWORD or "
                "standard input)");
        if (report.FolderMissing)
            Refuse("the folder " + folder + " does not exist" +
                   (writes ? " (--init makes it a program folder)" : ""));
        Refuse(report.Message.empty() ? "Cannot open " + folder : report.Message,
               report.LockedElsewhere ? ExitLocked : ExitUsage);
    }
    for (const std::string& note : report.Notes)
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(note)) << "\n";
    if (report.FirstRun && !init) {
        if (writes || needsData) {
            Operations().Close();
            Refuse("no Varnholt data in " + (db.empty() ? ProgramFolder : Operations().StoreWhere()) +
                   (writes ? " (--init makes it a program folder)" : ""));
        }
        std::cerr << "varnholt-cli: no data file in " << ProgramFolder
                  << ": the sample data of a first start is shown\n";
    }
}

int Run(const std::vector<std::string>& args) {
    TArgs a = ParseArgs(args);
    if (a.version) {
        std::cout << "varnholt-cli " VARNHOLT_VERSION "\n";
        return 0;
    }
    if (a.command.empty() || a.command == "help" || (a.help && a.command.empty())) {
        std::cout << Usage;
        return a.command.empty() && !a.help ? ExitUsage : 0;
    }
    if (a.command == "migrate") return CmdMigrate(a);
    auto it = Commands.find(a.command);
    if (it == Commands.end()) Refuse("unknown command: " + a.command + " (see --help)");
    if (a.help) {
        std::cout << CommandHelp.at(a.command);
        return 0;
    }
    InboxOverride = a.inbox;
    const char* envDb = std::getenv("VARNHOLT_DB");
    const char* envUser = std::getenv("VARNHOLT_OPERATOR");
    const std::string db = a.db.value_or(envDb ? envDb : "");
    const std::string user = a.user.value_or(envUser ? envUser : "");
    // The exchange text in the regional formats the program uses on this station, unless told others;
    // the other commands keep their fixed formats (the report's pages among them).
    // The uncertainty and the peer comparison read the archives, written in the program's regional formats.
    if (a.command == "export" || a.command == "import" || a.command == "uncertainty" || a.command == "mu" ||
        a.command == "peer") {
        if (a.encoding != TTextEncoding::Windows1252 && a.command != "export" && a.command != "import")
            Refuse("--encoding is an option of export and import");
        std::optional<TRegional> regional = RegionalByName(a.regional);
        if (!regional)
            Refuse("--regional takes system, iso or a locale name (de_DE, en_GB...), not " + a.regional);
        Regional = *regional;
    } else if (a.regional != "system" || a.encoding != TTextEncoding::Windows1252) {
        Refuse("--regional and --encoding are options of export and import");
    }
    const bool writes = it->second.writes(a);
    std::string home = a.home;
    if (home.empty()) home = FindProgramFolder(ExecutableFolder());
    if (home.empty()) Refuse("no program folder: HOME is not set (give --home DIR or set VARNHOLT_HOME)");
    // Before anything is opened or read (a password on standard input among them).
    if (a.command == "report") RunReportProgram(args, home, !a.home.empty());
    if (a.command == "inbox" && a.watch) {
        return WatchInbox(home, a, db, user);
    }
    // Runs added on a server meet other benches' runs without a conflict; what conflicts still (the
    // same moment's deadlock, the analyte list changed meanwhile) is tried again on what the server
    // holds then, a few times. A run judged otherwise there is the user's to decide.
    const bool appends =
        !db.empty() && (a.command == "add" || a.command == "import" || (a.command == "queue" && writes));
    for (int attempt = 1;; ++attempt) {
        OpenProgramFolder(home, writes, a.init, it->second.needsData, it->second.database, db, user);
        if (writes) Operations().SetOperator(a.op);
        try {
            int status = it->second.run(a);
            Operations().Close();
            return status;
        } catch (const ECliError& e) {
            Operations().Close();
            if (!appends || !e.retry || attempt >= AppendAttempts) throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + std::random_device{}() % (100 * attempt)));
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ECliError& e) {
        std::cerr << "varnholt-cli: " << (e.utf8 ? Flatten(e.message) : Cp1252ToUtf8(Flatten(e.message)))
                  << "\n";
        return e.status;
    } catch (const EQcError& e) {
        std::cerr << "varnholt-cli: " << Cp1252ToUtf8(Flatten(e.what())) << "\n";
        return ExitUsage;
    }
}
