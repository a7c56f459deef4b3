#include "browser/proxy_route.h"

#include <string_view>

namespace kesto {

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitHosts(std::string_view list) {
    std::vector<std::string> hosts;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view host = Trim(list.substr(0, comma));
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
    const std::string_view proxy = httpProxy ? Trim(*httpProxy) : std::string_view();
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
