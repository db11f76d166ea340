// varnholt-web: the web view of a server store, for supervisors at a browser.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>
#include <vector>

#include "UWebServer.h"

namespace {

constexpr int ExitUsage = 2;

const char* Usage =
    "usage: varnholt-web --db URL [--listen HOST:PORT] [--user CODE] [--cert FILE --key FILE]\n"
    "Serves the laboratory's QC data of a Varnholt server store to browsers: today's runs, each\n"
    "analyte's Levey-Jennings charts, the journal, and review sign-off by a supervisor; a JSON API\n"
    "under /api/ gives the same figures, with the same keys, as varnholt-cli prints.\n"
    "\n"
    "  --db URL            the PostgreSQL connection string of the server store (or VARNHOLT_DB)\n"
    "  --listen HOST:PORT  where to listen (or VARNHOLT_WEB_LISTEN; default 127.0.0.1:8470, [::1]:8470\n"
    "                      for IPv6)\n"
    "  --user CODE         the account the web view reads the store as (or VARNHOLT_OPERATOR); its\n"
    "                      password from VARNHOLT_PASSWORD or one line of standard input\n"
    "  --cert FILE         a PEM certificate: serve HTTPS (with --key FILE, its private key)\n"
    "  --key FILE          the certificate's private key\n"
    "  --help              this text\n"
    "  --version           the version\n"
    "\n"
    "People sign in with their server accounts (varnholt-cli account add); every sign-in is\n"
    "journaled, and five failed ones lock the code for 15 minutes. Without --cert, put it behind a\n"
    "reverse proxy that speaks HTTPS. Exit status 2: bad arguments, or the store cannot be opened.\n";

[[noreturn]] void Refuse(const std::string& message) {
    std::cerr << "varnholt-web: " << message << "\n";
    std::exit(ExitUsage);
}

} // namespace

int main(int argc, char** argv) {
    TWebOptions o;
    std::string listen = "127.0.0.1:8470";
    if (const char* v = std::getenv("VARNHOLT_DB")) o.Db = v;
    if (const char* v = std::getenv("VARNHOLT_OPERATOR")) o.ServiceCode = v;
    if (const char* v = std::getenv("VARNHOLT_WEB_LISTEN")) listen = v;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << Usage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "varnholt-web " VARNHOLT_VERSION "\n";
            return 0;
        }
        std::string* value = a == "--db"       ? &o.Db
                             : a == "--listen" ? &listen
                             : a == "--user"   ? &o.ServiceCode
                             : a == "--cert"   ? &o.Cert
                             : a == "--key"    ? &o.Key
                                               : nullptr;
        if (!value) Refuse("unknown argument: " + a + " (see --help)");
        if (i + 1 >= args.size()) Refuse(a + " needs a value");
        *value = args[++i];
    }
    if (o.Db.empty()) Refuse("give the server store: --db URL (or VARNHOLT_DB)");
    if (!ParseListen(listen, o.Host, o.Port)) Refuse("--listen takes HOST:PORT, not " + listen);
    if (o.Cert.empty() != o.Key.empty()) Refuse("--cert and --key go together");
    if (!o.ServiceCode.empty()) {
        if (const char* v = std::getenv("VARNHOLT_PASSWORD")) {
            o.ServicePassword = v;
        } else {
            std::getline(std::cin, o.ServicePassword);
            if (!o.ServicePassword.empty() && o.ServicePassword.back() == '\r') o.ServicePassword.pop_back();
        }
    }
    // SIGTERM and SIGINT end the serving; they are taken by one thread, the others never see them.
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGTERM);
    sigaddset(&stopping, SIGINT);
    sigaddset(&stopping, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    TWebView view(o);
    const std::string why = view.Open();
    if (!why.empty()) Refuse(why);
    std::thread watcher([&view, stopping] {
        int signal = 0;
        sigwait(&stopping, &signal);
        view.Stop();
    });
    std::string error;
    const bool served = view.Serve(error);
    if (!served) {
        std::cerr << "varnholt-web: " << error << "\n";
        pthread_kill(watcher.native_handle(), SIGTERM);
        watcher.join();
        return ExitUsage;
    }
    pthread_kill(watcher.native_handle(), SIGTERM);
    watcher.join();
    return 0;
}
