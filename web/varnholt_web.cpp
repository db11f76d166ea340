// varnholt-web: the web view of a server store, for supervisors at a browser.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>
#include <vector>

#include "UWebOptions.h"
#include "UWebServer.h"

namespace {

constexpr int ExitUsage = 2;

const char* Usage =
    "usage: varnholt-web [--server FILE] [--db URL] [--listen HOST:PORT] [--user CODE]\n"
    "                    [--cert FILE --key FILE]\n"
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
    "  --server FILE       a server file: its first line is the store's connection string, its [web]\n"
    "                      section may set listen, cert, key, user and password (NAME = VALUE); the\n"
    "                      options and the environment above take precedence\n"
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
    std::string message;
    bool passwordNeeded = false;
    switch (WebOptions(
        std::vector<std::string>(argv + 1, argv + argc), [](const char* v) { return std::getenv(v); }, o,
        message, passwordNeeded)) {
    case TWebStart::Help:
        std::cout << Usage;
        return 0;
    case TWebStart::Version:
        std::cout << "varnholt-web " VARNHOLT_VERSION "\n";
        return 0;
    case TWebStart::Refused:
        Refuse(message);
    case TWebStart::Serve:
        break;
    }
    if (passwordNeeded) {
        std::getline(std::cin, o.ServicePassword);
        if (!o.ServicePassword.empty() && o.ServicePassword.back() == '\r') o.ServicePassword.pop_back();
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
