#include "market-sim/request_target.h"

#include <algorithm>

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

std::optional<RequestTarget> TargetOfHead(std::string_view head) {
    constexpr std::string_view kLineEnd = "\r\n";
    const std::string_view requestLine = head.substr(0, head.find(kLineEnd));
    const std::size_t start = requestLine.find(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view target = requestLine.substr(start + 1);
    target = target.substr(0, std::min(target.find(' '), target.find('?')));
    std::string_view host;
    for (std::size_t line = head.find(kLineEnd); line != std::string_view::npos;
         line = head.find(kLineEnd, line)) {
        line += kLineEnd.size();
        const std::string_view field = head.substr(line, head.find(kLineEnd, line) - line);
        if (StartsWithIgnoringAsciiCase(field, "host:")) {
            host = field.substr(std::min(field.find_first_not_of(" \t", 5), field.size()));
            break;
        }
    }
    return SplitRequestTarget(target, host);
}

}  // namespace kesto::sim
