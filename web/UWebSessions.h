// The web view's sessions and its lock-out of repeated failed sign-ins, kept in memory: a restart of
// the program signs everyone out.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "UServerStore.h"

struct TWebSession {
    std::string Id;   // the cookie's value: 32 random bytes as hex
    std::string Csrf; // sent back with every change
    TAccount Account;
    std::chrono::steady_clock::time_point Started, LastSeen;
};

class TWebSessions {
public:
    using TClock = std::chrono::steady_clock;
    // A session ends after `idle` without a request, and `longest` after its sign-in.
    explicit TWebSessions(std::chrono::seconds idle = std::chrono::minutes(30),
                          std::chrono::seconds longest = std::chrono::hours(12))
        : idle_(idle), longest_(longest) {}

    TWebSession Start(const TAccount& account);
    // The session of a cookie value, its LastSeen brought to now; nothing when unknown or expired.
    std::optional<TWebSession> Find(const std::string& id);
    void End(const std::string& id);

    // Failed sign-ins: `Failures` within `Window` for one account code, or `AddressFailures` from one
    // address, lock further sign-ins of that code or address for `Window`.
    static constexpr int Failures = 5, AddressFailures = 20;
    static constexpr std::chrono::minutes Window{15};
    bool LockedOut(const std::string& code, const std::string& address);
    // True when this failure locks the code or the address.
    bool Failed(const std::string& code, const std::string& address);
    void Succeeded(const std::string& code);

    // For tests: time moved on.
    void Advance(std::chrono::seconds by) { skew_ += by; }

private:
    struct TFailures {
        int Count = 0;
        TClock::time_point First;
    };
    TClock::time_point Now() const { return TClock::now() + skew_; }
    bool Locked(const std::string& key, int limit);
    // True when the count reaches `limit`.
    bool Count(const std::string& key, int limit);
    std::mutex mutex_;
    std::map<std::string, TWebSession> sessions_;
    std::map<std::string, TFailures> failures_;
    std::chrono::seconds idle_, longest_, skew_{0};
};

// Hex of `bytes` random bytes from the system's generator (libsodium).
std::string RandomToken(size_t bytes = 32);
// Compares in a time that does not depend on where the texts differ.
bool SameSecret(const std::string& a, const std::string& b);
