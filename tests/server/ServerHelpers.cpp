// Server test fixtures.
#include "ServerHelpers.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
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
