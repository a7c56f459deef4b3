#pragma once
// The live login sessions by session key. Each account keeps at most a fixed number of them: a
// login beyond that ends the same account's oldest session, so one account logging in over and
// over never logs another one out. The table holds at most that number times the accounts.

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <unordered_map>

namespace kesto::sim {

struct LoginSession {
    std::string userNumber;
    bool uploadRequested = false;  // the album's upload request was made in this session
};

class SessionTable {
  public:
    explicit SessionTable(std::size_t sessionsPerAccount) : perAccount_(sessionsPerAccount) {}

    // Adds a session under a key not in use yet; ends the account's oldest one when it already
    // has as many as the bound allows.
    void Add(const std::string& key, const std::string& userNumber);
    // The session of the key, or null when it never existed or has ended.
    LoginSession* Find(const std::string& key);
    bool Contains(const std::string& key) const { return sessions_.contains(key); }
    // Ends the session of the key, as the marketplace does when a login expires; nothing for a
    // key without one.
    void End(const std::string& key);
    std::size_t size() const { return sessions_.size(); }

  private:
    std::size_t perAccount_;
    std::unordered_map<std::string, LoginSession> sessions_;
    std::map<std::string, std::deque<std::string>> keysByAccount_;  // each oldest first
};

}  // namespace kesto::sim
