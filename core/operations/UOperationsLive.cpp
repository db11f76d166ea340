// A message received live by a source's listener, recorded as a file of that source would be.
#include <algorithm>
#include <unistd.h>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UInbox.h"
#include "UListener.h"
#include "UOperations.h"
#include "UUtilitaires.h"

TLiveOutcome TOperations::RecordLiveMessage(const TInstrumentSource& source, const std::string& message,
                                            TInboxReport* into, const std::string& inboxFolder) {
    auto outcome = [](const char* code, const std::string& why) {
        return TLiveOutcome{code, Cp1252ToUtf8(Flatten(why))};
    };
    std::string folder;
    try {
        folder = SourceFolderOf(inboxFolder.empty() ? InboxSettings().Folder : inboxFolder, source);
    } catch (const EQcError& e) {
        return outcome("AR", "not recorded: " + std::string(e.what()));
    }
    const bool astm = source.Protocol == "astm";
    const std::string name =
        ReceivedFileName(folder, "live", std::to_string(::getpid()), astm ? ".astm" : ".hl7");
    const TInboxFile file{folder + name, name, folder, source.Id, 0, 0};
    // Kept in failed/ with its reason; the sender is asked for the message again.
    auto keep = [&](const TInboxFile& f, const std::string& why) {
        try {
            MoveToFailed(f, why + "\n");
        } catch (const EQcError&) {
            ::unlink(f.Path.c_str());
        }
        return outcome("AR", why);
    };
    // An HL7 message as a closed MLLP block is read as one whole message; ASTM records as they are.
    const std::string bytes = astm ? message : MllpStart + message + MllpEnd + '\r';
    if (astm ? !AstmHasHeader(message) : !Hl7HasHeader(message)) {
        // Written under a name the reading passes over, then moved to failed/ beside its reason.
        TInboxFile hidden = file;
        hidden.Path = folder + "." + name;
        try {
            AtomicWriteFile(hidden.Path, bytes);
        } catch (const EQcError& e) {
            return outcome("AR", "not recorded: " + std::string(e.what()));
        }
        return keep(hidden, astm ? "not an ASTM message: it does not begin with a header record"
                                 : "not an HL7 message: it does not begin with an MSH segment");
    }
    try {
        AtomicWriteFile(file.Path, bytes);
    } catch (const EQcError& e) {
        return outcome("AR", "not recorded: " + std::string(e.what()));
    }
    TInboxReadOptions options;
    options.Folder = inboxFolder;
    options.OnlySource = source.Id;
    options.OnlyName = name;
    TInboxReport own;
    TInboxReport& report = into ? *into : own;
    const TOutcome out = ReadInbox(&report, options);
    const auto mine = std::find_if(report.Files.begin(), report.Files.end(),
                                   [&](const TInboxFileOutcome& f) { return f.Name == name; });
    if (mine == report.Files.end())
        return keep(file, "not recorded: " +
                              (out.Message.empty() ? std::string("the message was not read") : out.Message));
    const bool inFailed = mine->MovedTo.find("/" + std::string(FailedFolderName) + "/") != std::string::npos;
    switch (mine->Kind) {
    case TInboxFileOutcome::Read:
    case TInboxFileOutcome::ReadBefore:
        // Recorded; a message with faults was taken but for the lines its reason names.
        return inFailed ? outcome("AE", mine->Detail) : outcome("AA", "");
    case TInboxFileOutcome::Failed:
        return outcome("AE", mine->Detail);
    case TInboxFileOutcome::Waiting:
        break;
    }
    return keep(file, "not recorded: " + (mine->Detail.empty() ? out.Message : mine->Detail));
}
