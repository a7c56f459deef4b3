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

LoginSession* SessionTable::Find(const std::string& key) {
    const auto session = sessions_.find(key);
    return session == sessions_.end() ? nullptr : &session->second;
}

}  // namespace kesto::sim
