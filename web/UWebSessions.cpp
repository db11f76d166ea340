// Sessions and lock-out of the web view.
#include "UWebSessions.h"

#include <sodium.h>

std::string RandomToken(size_t bytes) {
    std::string raw(bytes, '\0');
    randombytes_buf(raw.data(), raw.size());
    std::string hex(bytes * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
    hex.pop_back();
    return hex;
}

bool SameSecret(const std::string& a, const std::string& b) {
    return a.size() == b.size() && !a.empty() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

TWebSession TWebSessions::Start(const TAccount& account) {
    std::lock_guard lock(mutex_);
    // Sessions left to expire go now and then, so that abandoned ones do not pile up.
    const TClock::time_point now = Now();
    if (sessions_.size() >= 1000)
        std::erase_if(sessions_, [&](const auto& s) {
            return now - s.second.LastSeen > idle_ || now - s.second.Started > longest_;
        });
    TWebSession s{RandomToken(), RandomToken(), account, Now(), Now()};
    sessions_[s.Id] = s;
    return s;
}

std::optional<TWebSession> TWebSessions::Find(const std::string& id) {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return std::nullopt;
    const TClock::time_point now = Now();
    if (now - it->second.LastSeen > idle_ || now - it->second.Started > longest_) {
        sessions_.erase(it);
        return std::nullopt;
    }
    it->second.LastSeen = now;
    return it->second;
}

void TWebSessions::End(const std::string& id) {
    std::lock_guard lock(mutex_);
    sessions_.erase(id);
}

bool TWebSessions::Locked(const std::string& key, int limit) {
    auto it = failures_.find(key);
    if (it == failures_.end()) return false;
    if (Now() - it->second.First > Window) {
        failures_.erase(it);
        return false;
    }
    return it->second.Count >= limit;
}

bool TWebSessions::Count(const std::string& key, int limit) {
    // Counts of many codes or addresses: those past the window go.
    if (failures_.size() >= 10000)
        std::erase_if(failures_, [this](const auto& f) { return Now() - f.second.First > Window; });
    TFailures& f = failures_[key];
    if (f.Count == 0 || Now() - f.First > Window) f = {0, Now()};
    return ++f.Count == limit;
}

bool TWebSessions::LockedOut(const std::string& code, const std::string& address) {
    std::lock_guard lock(mutex_);
    return Locked("code " + code, Failures) || Locked("address " + address, AddressFailures);
}

bool TWebSessions::Failed(const std::string& code, const std::string& address) {
    std::lock_guard lock(mutex_);
    const bool codeLocked = Count("code " + code, Failures);
    return Count("address " + address, AddressFailures) || codeLocked;
}

void TWebSessions::Succeeded(const std::string& code) {
    std::lock_guard lock(mutex_);
    failures_.erase("code " + code);
}
