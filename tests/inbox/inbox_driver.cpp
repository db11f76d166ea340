// Reads a program folder's inbox in a loop, a few files a pass, until nothing is left to read; the
// inbox crash test kills it at random moments. With VARNHOLT_DB set it works on that server.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "UOperations.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: inbox_driver FOLDER [FILES_PER_PASS]\n");
        return 2;
    }
    TOpenOptions open;
    open.CreateFolder = false;
    open.SampleOnFirstRun = false;
    open.WaitForLockMs = 5000;
    if (const char* db = std::getenv("VARNHOLT_DB")) open.Server = db;
    TOpenReport report = Operations().Open(argv[1], TOpenMode::Writer, open);
    if (!report.Opened) {
        std::fprintf(stderr, "inbox_driver: %s\n", report.Message.c_str());
        return 3;
    }
    TInboxReadOptions options;
    options.MaxFiles = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 2;
    for (;;) {
        TInboxReport pass;
        TOutcome out = Operations().ReadInbox(&pass, options);
        if (!out.Ok()) {
            std::fprintf(stderr, "inbox_driver: %s\n", out.Message.c_str());
            return 1;
        }
        bool more = false;
        for (const TInboxFileOutcome& f : pass.Files) more |= f.Kind != TInboxFileOutcome::Waiting;
        if (!more) break;
    }
    Operations().Close();
    return 0;
}
