#pragma once
// Where a request is going. Requests reach the server as a proxy, so the target is usually an
// absolute address ("http://host[:port]/path?query"); a request sent straight to the server has
// the origin form ("/path?query") and names its host in the Host header.

#include <optional>
#include <string>
#include <string_view>

namespace kesto::sim {

struct RequestTarget {
    std::string host;           // lower case, without the port
    std::string path;           // from the first "/", without the query
    bool absoluteForm = false;  // the target named its host ("http://host/..."), as through a proxy
};

// Splits the library's request path (which holds the whole absolute address for absolute-form
// requests, and never the query) together with the Host header. Nothing usable: no value.
std::optional<RequestTarget> SplitRequestTarget(std::string_view requestPath,
                                                std::string_view hostHeader);

// Where the request whose raw head (request line and header lines) this is goes: its request
// line's target, without the query, split with its Host header.
std::optional<RequestTarget> TargetOfHead(std::string_view head);

// The host without a ":port" suffix, lower case.
std::string HostWithoutPort(std::string_view hostAndPort);

}  // namespace kesto::sim
