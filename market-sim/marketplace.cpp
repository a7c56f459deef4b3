#include "market-sim/marketplace.h"

#include <random>

namespace kesto::sim {
namespace {

std::string RandomSessionKey(unsigned long salt) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::mt19937 generator(device() ^ static_cast<unsigned>(salt));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kLetters) - 2);
    std::string key = "@";
    for (int i = 0; i < 9; ++i) {
        key += kLetters[pick(generator)];
    }
    return key;
}

LayoutModule Module(std::string area, std::string mid, std::string fsid, std::string order,
                    std::string mindex) {
    LayoutModule module;
    module.area = std::move(area);
    module.mid = std::move(mid);
    module.name = ModuleName(module.mid);
    module.fsid = std::move(fsid);
    module.order = std::move(order);
    module.mindex = std::move(mindex);
    return module;
}

}  // namespace

const std::vector<Account>& DemoAccounts() {
    static const std::vector<Account> accounts = {
        {"10001", "kesto123", "888888", "演示小店"},
        {"10002", "kesto456", "666666", "第二家店"},
    };
    return accounts;
}

Marketplace::Marketplace() {
    for (const auto& account : DemoAccounts()) {
        accounts_.emplace(account.userNumber, account);
        shops_.emplace(account.userNumber, InitialShop(account));
    }
}

Shop Marketplace::InitialShop(const Account& account) {
    // A fresh shop: a banner with a navigation module but no shop header, a main frame with the
    // shop's information and an old custom-content module, and an empty second frame.
    Shop shop;
    shop.userNumber = account.userNumber;
    shop.nickname = account.nickname;
    auto& banner = shop.layout.banner;
    banner.sid = "1";
    banner.segnumber = "0";
    banner.fsid = NewId();
    banner.modules.push_back(Module("0", "7", NewId(), "0", "0"));
    LayoutSegment main;
    main.sid = "2";
    main.segnumber = "1";
    main.order = "0";
    main.fid = "2";
    main.fsid = banner.fsid;
    main.modules.push_back(Module("0", "3", NewId(), "0", "0"));
    main.modules.push_back(Module("1", kCustomContentMid, NewId(), "100", "1"));
    main.modules.back().content = "<p>欢迎光临本店。</p>";
    LayoutSegment side;
    side.sid = "3";
    side.segnumber = "2";
    side.order = "1";
    side.fid = "2";
    side.fsid = banner.fsid;
    shop.layout.frames = {main, side};
    shop.categories.push_back({NewId(), "0", "旧分类", ""});
    return shop;
}

std::optional<std::string> Marketplace::Login(std::string_view userNumber,
                                              std::string_view password) {
    const auto account = accounts_.find(std::string(userNumber));
    if (account == accounts_.end() || account->second.password != password) {
        return std::nullopt;
    }
    std::string key;
    do {
        key = RandomSessionKey(++sessionCount_);
    } while (sessions_.Contains(key));
    sessions_.Add(key, account->second.userNumber);
    return key;
}

bool Marketplace::CheckTradePassword(std::string_view userNumber, std::string_view password) const {
    const auto account = accounts_.find(std::string(userNumber));
    return account != accounts_.end() && account->second.tradePassword == password;
}

LoginSession* Marketplace::FindSession(const std::string& sessionKey) {
    return sessions_.Find(sessionKey);
}

Shop* Marketplace::FindShop(const std::string& userNumber) {
    const auto shop = shops_.find(userNumber);
    return shop == shops_.end() ? nullptr : &shop->second;
}

std::vector<std::string> Marketplace::UserNumbers() const {
    std::vector<std::string> numbers;
    for (const auto& entry : shops_) {
        numbers.push_back(entry.first);
    }
    return numbers;
}

bool Marketplace::ResetShop(const std::string& userNumber) {
    const auto account = accounts_.find(userNumber);
    if (account == accounts_.end()) {
        return false;
    }
    shops_[userNumber] = InitialShop(account->second);
    return true;
}

std::string Marketplace::NewId() {
    return std::to_string(nextId_++);
}

}  // namespace kesto::sim
