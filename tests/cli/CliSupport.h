// The command-line companion run from the tests as a separate program, through the shell.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "UAtomicFile.h"

struct TRun {
    int status = -1;
    std::string out, err;
};

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Standard output of a shell command and its exit status.
inline TRun Shell(const std::string& cmd) {
    TRun r;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// The companion on a program folder, its standard error kept apart; `prefix` goes before it on
// the command line (an env call, say). `program` is the installed companion unless told otherwise.
inline TRun RunCompanion(const std::string& prefix, const std::string& home,
                         const std::vector<std::string>& args, const char* program = VARNHOLT_CLI) {
    std::string errFile = home + "cli-stderr.txt";
    std::string cmd = prefix + Quote(program) + " --home " + Quote(home);
    for (const std::string& a : args) cmd += " " + Quote(a);
    TRun r = Shell(cmd + " 2>" + Quote(errFile));
    r.err = ReadWholeFile(errFile);
    std::filesystem::remove(errFile);
    return r;
}

#ifdef VARNHOLT_EIO_PRELOAD
// The companion with opening the files whose path ends with `failing` giving EIO, after `skip` such
// opens that succeed.
inline TRun CliWithReadError(const std::string& home, const std::string& failing,
                             const std::vector<std::string>& args, int skip = 0) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string prefix =
        "env LD_PRELOAD=" + Quote(VARNHOLT_EIO_PRELOAD) + " VARNHOLT_TEST_EIO=" + Quote(failing) +
        " VARNHOLT_TEST_EIO_SKIP=" + std::to_string(skip) +
        " ASAN_OPTIONS=" + Quote(std::string(asan ? asan : "") + ":verify_asan_link_order=0") + " ";
    return RunCompanion(prefix, home, args);
}
#endif
