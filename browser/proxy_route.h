#pragma once
// The route the embedded browser takes to the marketplace: the same proxy the request layer
// uses (the lower-case http_proxy and no_proxy variables, as libcurl reads them), so that the
// login and the decoration job always reach the same servers.

#include <optional>
#include <string>
#include <vector>

namespace kesto {

struct ProxyRoute {
    std::string proxyUri;                  // empty: connect directly
    std::vector<std::string> ignoreHosts;  // hosts reached directly even with a proxy
};

// The route for the given variable values (nothing when a variable is not set). A proxy given
// without a scheme is an HTTP proxy; a no_proxy of "*" means no proxy at all.
ProxyRoute ProxyRouteFromVariables(const std::optional<std::string>& httpProxy,
                                   const std::optional<std::string>& noProxy);

}  // namespace kesto
