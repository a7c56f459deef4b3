#pragma once
// The marketplace's whole state: accounts, login sessions and shops. One lock guards it; the
// handlers take it for the length of one request's work.

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "market-sim/session_table.h"
#include "market-sim/shop.h"

namespace kesto::sim {

struct Account {
    std::string userNumber;
    std::string password;
    std::string tradePassword;  // the transaction password
    std::string nickname;
};

// The demo accounts every server starts with.
const std::vector<Account>& DemoAccounts();

class Marketplace {
  public:
    // Live sessions kept per account (the table's bound is this times the accounts).
    static constexpr std::size_t kSessionsPerAccount = 10000;

    Marketplace();

    std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }

    // Whether category updates may not give two top-level categories one name (off by default,
    // as the marketplace takes such updates). Needs no lock.
    void SetRefuseDuplicateCategoryNames(bool refuse) { refuseDuplicateCategoryNames_ = refuse; }
    bool RefusesDuplicateCategoryNames() const { return refuseDuplicateCategoryNames_; }

    // All below expect the lock to be held.
    // A new session key for a good user number and password, else no value. The account's
    // oldest session ends when it has kSessionsPerAccount already.
    std::optional<std::string> Login(std::string_view userNumber, std::string_view password);
    bool CheckTradePassword(std::string_view userNumber, std::string_view password) const;
    LoginSession* FindSession(const std::string& sessionKey);
    // Ends the session of the key (its login expires); nothing for a key without one.
    void EndSession(const std::string& sessionKey) { sessions_.End(sessionKey); }
    Shop* FindShop(const std::string& userNumber);
    std::vector<std::string> UserNumbers() const;
    // Puts the shop back as it was when the server started; false for an unknown shop.
    bool ResetShop(const std::string& userNumber);
    // A fresh identity for a module, folder, picture or category.
    std::string NewId();

  private:
    Shop InitialShop(const Account& account);

    std::mutex mutex_;
    std::map<std::string, Account> accounts_;
    SessionTable sessions_{kSessionsPerAccount};
    std::map<std::string, Shop> shops_;
    unsigned long nextId_ = 2001;
    unsigned long sessionCount_ = 0;
    std::atomic<bool> refuseDuplicateCategoryNames_{false};
};

}  // namespace kesto::sim
