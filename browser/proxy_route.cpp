#include "browser/proxy_route.h"

#include <string_view>

#include "support/ascii_text.h"

namespace kesto {

namespace {

std::vector<std::string> SplitHosts(std::string_view list) {
    std::vector<std::string> hosts;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view host = TrimmedAscii(list.substr(0, comma));
        if (!host.empty()) {
            hosts.emplace_back(host);
        }
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return hosts;
}

}  // namespace

ProxyRoute ProxyRouteFromVariables(const std::optional<std::string>& httpProxy,
                                   const std::optional<std::string>& noProxy) {
    ProxyRoute route;
    const std::string_view proxy = httpProxy ? TrimmedAscii(*httpProxy) : std::string_view();
    if (proxy.empty()) {
        return route;
    }
    route.ignoreHosts = noProxy ? SplitHosts(*noProxy) : std::vector<std::string>();
    for (const std::string& host : route.ignoreHosts) {
        if (host == "*") {
            return {};
        }
    }
    route.proxyUri = proxy.find("://") == std::string_view::npos ? "http://" + std::string(proxy)
                                                                 : std::string(proxy);
    return route;
}

}  // namespace kesto
