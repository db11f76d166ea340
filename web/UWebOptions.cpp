// varnholt-web's settings from its command line, its environment and the server file.
#include "UWebOptions.h"

#include <fstream>
#include <map>
#include <sys/stat.h>

#include "UOperations.h"

namespace {

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string Folder(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

std::string ReadWebFile(const std::string& path, TWebFile& file) {
    file = {};
    std::ifstream in(path);
    if (!in) return "cannot read the server file " + path;
    std::string line;
    int number = 0;
    bool inWeb = false;
    std::map<std::string, std::string*> fields{{"listen", &file.Listen},
                                               {"cert", &file.Cert},
                                               {"key", &file.Key},
                                               {"user", &file.User},
                                               {"password", &file.Password}};
    std::map<std::string, int> seen;
    while (std::getline(in, line)) {
        ++number;
        const std::string t = Trimmed(line);
        const std::string where = path + ", line " + std::to_string(number) + ": ";
        if (number == 1 && (t.empty() || t.front() != '[')) {
            file.Db = t;
            continue;
        }
        if (t.empty() || t.front() == '#' || t.front() == ';') continue;
        if (t.front() == '[') {
            if (t.back() != ']') return where + "a section's name ends with ]";
            inWeb = Trimmed(t.substr(1, t.size() - 2)) == "web";
            continue;
        }
        // Other sections belong to other programs.
        if (!inWeb) continue;
        const size_t equals = t.find('=');
        if (equals == std::string::npos) return where + "expected NAME = VALUE";
        const std::string name = Trimmed(t.substr(0, equals)), value = Trimmed(t.substr(equals + 1));
        const auto field = fields.find(name);
        if (field == fields.end())
            return where + "unknown setting " + name + " (listen, cert, key, user, password)";
        if (seen.count(name)) return where + name + " is already set on line " + std::to_string(seen[name]);
        seen[name] = number;
        if (value.empty()) return where + name + " has no value";
        *field->second = value;
    }
    if (!file.Listen.empty()) {
        std::string host;
        int port = 0;
        if (!ParseListen(file.Listen, host, port))
            return path + ": listen takes HOST:PORT, not " + file.Listen;
    }
    if (file.Cert.empty() != file.Key.empty()) return path + ": cert and key go together";
    for (std::string* p : {&file.Cert, &file.Key})
        if (!p->empty() && p->front() != '/') *p = Folder(path) + *p;
    // As ssh refuses such a key: a password every user of the machine can read is no secret.
    struct stat st;
    const bool everyone = ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0004);
    std::string refusal;
    if (everyone && !file.Db.empty()) ReadServerFile(path, refusal);
    if (everyone && (!file.Password.empty() || !refusal.empty()))
        return path +
               " holds a password and every user of this computer can read it: make it readable by "
               "its owner only (chmod 600 " +
               path + ")";
    return "";
}

TWebStart WebOptions(const std::vector<std::string>& args, const std::function<const char*(const char*)>& env,
                     TWebOptions& o, std::string& message, bool& passwordNeeded) {
    passwordNeeded = false;
    std::string db, listen, user, cert, key, server;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") return TWebStart::Help;
        if (a == "--version") return TWebStart::Version;
        std::string* value = a == "--db"       ? &db
                             : a == "--listen" ? &listen
                             : a == "--user"   ? &user
                             : a == "--cert"   ? &cert
                             : a == "--key"    ? &key
                             : a == "--server" ? &server
                                               : nullptr;
        if (!value) {
            message = "unknown argument: " + a + " (see --help)";
            return TWebStart::Refused;
        }
        if (i + 1 >= args.size()) {
            message = a + " needs a value";
            return TWebStart::Refused;
        }
        *value = args[++i];
    }
    if (cert.empty() != key.empty()) {
        message = "--cert and --key go together";
        return TWebStart::Refused;
    }
    TWebFile file;
    if (!server.empty()) {
        message = ReadWebFile(server, file);
        if (!message.empty()) return TWebStart::Refused;
    }
    // The first given of: the command line, the environment, the server file.
    auto first = [&env](const std::string& given, const char* variable, const std::string& fromFile) {
        if (!given.empty()) return given;
        if (variable)
            if (const char* v = env(variable); v && *v) return std::string(v);
        return fromFile;
    };
    o.Db = first(db, "VARNHOLT_DB", file.Db);
    listen = first(listen, "VARNHOLT_WEB_LISTEN", file.Listen);
    o.ServiceCode = first(user, "VARNHOLT_OPERATOR", file.User);
    if (cert.empty()) {
        cert = file.Cert;
        key = file.Key;
    }
    o.Cert = cert;
    o.Key = key;
    if (o.Db.empty()) {
        message = "give the server store: --db URL (or VARNHOLT_DB, or the first line of the --server file)";
        return TWebStart::Refused;
    }
    if (listen.empty()) listen = "127.0.0.1:8470";
    if (!ParseListen(listen, o.Host, o.Port)) {
        message = "--listen takes HOST:PORT, not " + listen;
        return TWebStart::Refused;
    }
    o.ServicePassword.clear();
    if (!o.ServiceCode.empty()) {
        // The file's password is its own account's, not that of a code given elsewhere.
        if (const char* v = env("VARNHOLT_PASSWORD"))
            o.ServicePassword = v;
        else if (o.ServiceCode == file.User && !file.Password.empty())
            o.ServicePassword = file.Password;
        else
            passwordNeeded = true;
    }
    return TWebStart::Serve;
}
