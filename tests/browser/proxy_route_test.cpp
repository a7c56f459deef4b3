#include "browser/proxy_route.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(ProxyRoute, FollowsTheRequestLayersVariables) {
    using Hosts = std::vector<std::string>;
    const struct {
        std::optional<std::string> httpProxy;
        std::optional<std::string> noProxy;
        std::string proxyUri;
        Hosts ignoreHosts;
    } cases[] = {
        {std::nullopt, std::nullopt, "", {}},
        {"", "localhost", "", {}},
        {"  ", std::nullopt, "", {}},
        {"127.0.0.1:8080", std::nullopt, "http://127.0.0.1:8080", {}},
        {"http://proxy.example:3128/", std::nullopt, "http://proxy.example:3128/", {}},
        {"socks5://127.0.0.1:1080", "", "socks5://127.0.0.1:1080", {}},
        {"127.0.0.1:8080", " localhost, .internal ,,", "http://127.0.0.1:8080",
         Hosts{"localhost", ".internal"}},
        {"127.0.0.1:8080", "localhost,*", "", {}},
    };
    for (const auto& c : cases) {
        const ProxyRoute route = ProxyRouteFromVariables(c.httpProxy, c.noProxy);
        EXPECT_EQ(route.proxyUri, c.proxyUri) << c.httpProxy.value_or("(unset)");
        EXPECT_EQ(route.ignoreHosts, c.ignoreHosts) << c.noProxy.value_or("(unset)");
    }
}

}  // namespace
}  // namespace kesto
