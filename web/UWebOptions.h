// varnholt-web's settings: the command line over the environment over the server file's [web] section.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "UWebServer.h"

// What a server file gives the web view: its first line (the store, as the benches read it) and the
// settings of its [web] section; a setting not given is empty.
struct TWebFile {
    std::string Db;
    std::string Listen, Cert, Key, User, Password;
};
// Reads the server file; the reason it cannot be used, or empty. Cert and key are taken relative to
// the file's folder; a password in a file every user can read is refused.
std::string ReadWebFile(const std::string& path, TWebFile& file);

enum class TWebStart { Serve, Help, Version, Refused };
// The options from the arguments (without the program's name), the environment (`env` gives a
// variable's value, or nullptr) and the server file given by --server. On Refused, `message` says
// why. `passwordNeeded` is set when an account is given without its password (the caller reads it).
TWebStart WebOptions(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env,
                     TWebOptions& options, std::string& message, bool& passwordNeeded);
