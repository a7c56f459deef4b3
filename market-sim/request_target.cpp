#include "market-sim/request_target.h"

#include <algorithm>
#include <cctype>

namespace kesto::sim {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

std::string HostWithoutPort(std::string_view hostAndPort) {
    std::string host(hostAndPort.substr(0, hostAndPort.find(':')));
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return host;
}

std::optional<RequestTarget> SplitRequestTarget(std::string_view requestPath,
                                                std::string_view hostHeader) {
    constexpr std::string_view kScheme = "http://";
    if (StartsWithNoCase(requestPath, kScheme)) {
        const std::string_view rest = requestPath.substr(kScheme.size());
        const auto slash = rest.find('/');
        const std::string_view authority = rest.substr(0, slash);
        if (authority.empty()) {
            return std::nullopt;
        }
        return RequestTarget{HostWithoutPort(authority), slash == std::string_view::npos
                                                             ? "/"
                                                             : std::string(rest.substr(slash))};
    }
    if (requestPath.empty() || requestPath.front() != '/' || hostHeader.empty()) {
        return std::nullopt;
    }
    return RequestTarget{HostWithoutPort(hostHeader), std::string(requestPath)};
}

}  // namespace kesto::sim
