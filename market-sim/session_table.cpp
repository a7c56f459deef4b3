#include "market-sim/session_table.h"

namespace kesto::sim {

void SessionTable::Add(const std::string& key, const std::string& userNumber) {
    auto& keys = keysByAccount_[userNumber];
    while (!keys.empty() && keys.size() >= perAccount_) {
        sessions_.erase(keys.front());
        keys.pop_front();
    }
    sessions_[key] = LoginSession{userNumber, false};
    keys.push_back(key);
}

void SessionTable::End(const std::string& key) {
    const auto session = sessions_.find(key);
    if (session == sessions_.end()) {
        return;
    }
    std::deque<std::string>& keys = keysByAccount_[session->second.userNumber];
    std::erase(keys, key);
    sessions_.erase(session);
}

LoginSession* SessionTable::Find(const std::string& key) {
    const auto session = sessions_.find(key);
    return session == sessions_.end() ? nullptr : &session->second;
}

}  // namespace kesto::sim
