// Server test fixtures.
#include "ServerHelpers.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

std::string ClusterConninfo(std::string& why) {
    // ctest starts the cluster in the build's folder; VARNHOLT_TEST_PG_DIR names another.
    const char* dir = std::getenv("VARNHOLT_TEST_PG_DIR");
    if (!dir) dir = VARNHOLT_TEST_PG_DIR;
    std::ifstream in(std::string(dir) + "/status");
    std::string status;
    std::getline(in, status);
    if (status.rfind("ready ", 0) != 0) {
        why = status.empty() ? "the cluster did not start" : status;
        return "";
    }
    return status.substr(6);
}

TServerDatabase::TServerDatabase() {
    cluster_ = ClusterConninfo(why_);
    if (cluster_.empty()) return;
    static std::atomic<int> serial{0};
    name_ = "vt_" + std::to_string(::getpid()) + "_" + std::to_string(serial++);
    try {
        TPgConnection c;
        c.Connect(cluster_);
        c.Exec("DROP DATABASE IF EXISTS " + name_);
        c.Exec("CREATE DATABASE " + name_);
        conninfo_ = cluster_.substr(0, cluster_.find("dbname=")) + "dbname=" + name_;
        admin_.Connect(conninfo_);
    } catch (const EQcError& e) {
        why_ = e.what();
        conninfo_.clear();
    }
}

TServerDatabase::~TServerDatabase() {
    admin_.Close();
    if (name_.empty() || cluster_.empty()) return;
    try {
        TPgConnection c;
        c.Connect(cluster_);
        c.Exec("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const EQcError&) {
    }
}

bool KillInsideItsTransaction(TPgConnection& admin, const std::string& conninfo,
                              const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    // Seen from outside admin's transaction, whose view of the activity stays as it was at its start.
    TPgConnection watch;
    watch.Connect(conninfo);
    std::string backend;
    for (int k = 0; k < 250 && backend.empty(); ++k) {
        TPgResult r = watch.Exec("SELECT pid FROM pg_stat_activity WHERE application_name = 'varnholt' AND "
                                 "wait_event_type = 'Lock'");
        if (r.Rows() == 1)
            backend = r.Text(0, 0);
        else
            ::usleep(20000);
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    admin.Exec("ROLLBACK");
    for (int k = 0; k < 250 && !backend.empty() &&
                    watch.Exec("SELECT 1 FROM pg_stat_activity WHERE pid = $1", {backend}).Rows();
         ++k)
        ::usleep(20000);
    return !backend.empty();
}
