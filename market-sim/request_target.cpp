#include "market-sim/request_target.h"

#include "support/ascii_text.h"

namespace kesto::sim {

std::string HostWithoutPort(std::string_view hostAndPort) {
    return AsciiLower(hostAndPort.substr(0, hostAndPort.find(':')));
}

std::optional<RequestTarget> SplitRequestTarget(std::string_view requestPath,
                                                std::string_view hostHeader) {
    constexpr std::string_view kScheme = "http://";
    if (AsciiLower(requestPath.substr(0, kScheme.size())) == kScheme) {
        const std::string_view rest = requestPath.substr(kScheme.size());
        const auto slash = rest.find('/');
        const std::string_view authority = rest.substr(0, slash);
        if (authority.empty()) {
            return std::nullopt;
        }
        return RequestTarget{
            HostWithoutPort(authority),
            slash == std::string_view::npos ? "/" : std::string(rest.substr(slash)), true};
    }
    if (requestPath.empty() || requestPath.front() != '/' || hostHeader.empty()) {
        return std::nullopt;
    }
    return RequestTarget{HostWithoutPort(hostHeader), std::string(requestPath), false};
}

}  // namespace kesto::sim
