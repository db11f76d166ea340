// Server test fixtures: the throwaway cluster the test run started, a fresh database per test.
#pragma once

#include <string>
#include <vector>

#include "UPgConnection.h"

// The cluster's connection string, or empty with the reason in `why` (the tests then skip).
std::string ClusterConninfo(std::string& why);

// A new empty database on the cluster, dropped at the end.
class TServerDatabase {
public:
    TServerDatabase();
    ~TServerDatabase();
    bool Ready() const { return !conninfo_.empty(); }
    const std::string& Why() const { return why_; }
    const std::string& Conninfo() const { return conninfo_; }
    // A second connection for the test itself (row locks, counts, a server restart's effects).
    TPgConnection& Admin() { return admin_; }

private:
    std::string cluster_, name_, conninfo_, why_;
    TPgConnection admin_;
};

// Starts the program `argv` (argv[0] its path), waits until its transaction waits for a lock that
// `admin`'s open transaction holds, kills it (SIGKILL), ends admin's transaction and waits until the
// server has ended the killed one's. False when it never waited for the lock (within five seconds).
bool KillInsideItsTransaction(TPgConnection& admin, const std::string& conninfo,
                              const std::vector<std::string>& argv);

#define SKIP_WITHOUT_SERVER(db)                                                                              \
    if (!(db).Ready()) GTEST_SKIP() << "PostgreSQL test cluster: " << (db).Why()
