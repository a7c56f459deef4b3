#include "market-sim/fault_table.h"

#include <charconv>

namespace kesto::sim {
namespace {

constexpr int kMaxStallSeconds = 3600;

std::optional<int> ParseNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

// Takes "<mark>N" off the end of the setting's text into value, when the text has the mark;
// false when N is not a number (or is 0 where zero is not allowed).
bool TakeSuffix(std::string_view& rest, char mark, int& value, bool zeroAllowed) {
    const auto at = rest.find(mark);
    if (at == std::string_view::npos) {
        return true;
    }
    const auto number = ParseNumber(rest.substr(at + 1));
    if (!number || (*number == 0 && !zeroAllowed)) {
        return false;
    }
    value = *number;
    rest = rest.substr(0, at);
    return true;
}

std::optional<FaultKind> ParseKind(std::string_view name) {
    if (name == "error") {
        return FaultKind::kError;
    }
    if (name == "drop") {
        return FaultKind::kDrop;
    }
    if (name == "stall") {
        return FaultKind::kStall;
    }
    if (name == "password") {
        return FaultKind::kPassword;
    }
    if (name == "errorpage") {
        return FaultKind::kErrorPage;
    }
    if (name == "cut") {
        return FaultKind::kCut;
    }
    if (name == "garbage") {
        return FaultKind::kGarbage;
    }
    if (name == "relogin") {
        return FaultKind::kRelogin;
    }
    if (name == "429") {
        return FaultKind::kRateLimit;
    }
    if (name == "expire") {
        return FaultKind::kExpire;
    }
    return std::nullopt;
}

std::string_view LastSegment(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string_view FaultKindName(FaultKind kind) {
    switch (kind) {
        case FaultKind::kError:
            return "error";
        case FaultKind::kDrop:
            return "drop";
        case FaultKind::kStall:
            return "stall";
        case FaultKind::kPassword:
            return "password";
        case FaultKind::kErrorPage:
            return "errorpage";
        case FaultKind::kCut:
            return "cut";
        case FaultKind::kGarbage:
            return "garbage";
        case FaultKind::kRelogin:
            return "relogin";
        case FaultKind::kRateLimit:
            return "429";
        case FaultKind::kExpire:
            return "expire";
    }
    return "error";
}

std::optional<FaultSetting> ParseFaultSetting(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return std::nullopt;
    }
    FaultSetting setting;
    setting.endpoint = std::string(text.substr(0, equals));
    std::string_view rest = text.substr(equals + 1);
    if (!TakeSuffix(rest, '%', setting.fault.every, false) ||
        !TakeSuffix(rest, '+', setting.fault.skip, true) ||
        !TakeSuffix(rest, '*', setting.fault.count, false)) {
        return std::nullopt;
    }
    const auto colon = rest.find(':');
    const auto kind = ParseKind(rest.substr(0, colon));
    if (!kind) {
        return std::nullopt;
    }
    setting.fault.kind = *kind;
    const bool takesSeconds = *kind == FaultKind::kStall || *kind == FaultKind::kRateLimit;
    if (colon != std::string_view::npos) {
        const auto seconds = ParseNumber(rest.substr(colon + 1));
        if (!seconds || *seconds > kMaxStallSeconds || !takesSeconds) {
            return std::nullopt;
        }
        setting.fault.seconds = *seconds;
    } else if (*kind == FaultKind::kStall) {
        return std::nullopt;
    } else if (*kind == FaultKind::kRateLimit) {
        setting.fault.seconds = -1;
    }
    return setting;
}

void FaultTable::Set(FaultSetting setting) {
    const std::lock_guard lock(mutex_);
    faults_[setting.endpoint] = setting.fault;
}

void FaultTable::Clear() {
    const std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<FaultSetting> FaultTable::Snapshot() const {
    const std::lock_guard lock(mutex_);
    std::vector<FaultSetting> settings;
    for (const auto& [endpoint, fault] : faults_) {
        settings.push_back({endpoint, fault});
    }
    return settings;
}

std::optional<Fault> FaultTable::Take(std::string_view path) {
    const std::lock_guard lock(mutex_);
    auto entry = faults_.find(std::string(path));
    if (entry == faults_.end()) {
        entry = faults_.find(std::string(LastSegment(path)));
    }
    if (entry == faults_.end()) {
        entry = faults_.find(kAnyEndpoint);
    }
    if (entry == faults_.end()) {
        return std::nullopt;
    }
    if (entry->second.skip > 0) {
        --entry->second.skip;
        return std::nullopt;
    }
    if (++entry->second.passed < entry->second.every) {
        return std::nullopt;
    }
    entry->second.passed = 0;
    const Fault fault = entry->second;
    if (entry->second.count > 0 && --entry->second.count == 0) {
        faults_.erase(entry);
    }
    return fault;
}

void FaultTable::Stall(int seconds) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping_; });
}

void FaultTable::WakeStalls() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
}

}  // namespace kesto::sim
