#include "market_fixture.h"

#include <cctype>
#include <stdexcept>

#include "market/request_token.h"

namespace kesto::sim::testing {

MarketFixture::MarketFixture(const std::string& charset, const ConnectionLimits& limits)
    : server_(charset, limits) {
    port_ = server_.Bind(0);
    if (port_ < 0) {
        throw std::runtime_error("cannot bind");
    }
    server_.Start();
}

MarketFixture::~MarketFixture() {
    server_.Stop();
}

std::unique_ptr<httplib::Client> MarketFixture::Client() {
    // The host in the address does not matter: every request goes to the proxy.
    auto client = std::make_unique<httplib::Client>("127.0.0.1", port_);
    client->set_proxy("127.0.0.1", port_);
    client->set_read_timeout(10, 0);
    return client;
}

void MarketFixture::Login(const std::string& userNumber, const std::string& password) {
    httplib::Client client("member.kesto.example", 80);
    client.set_proxy("127.0.0.1", port_);
    const auto result = client.Post("/cgi-bin/login_submit", "u=" + userNumber + "&p=" + password,
                                    "application/x-www-form-urlencoded");
    if (!result || result->status != 302) {
        throw std::runtime_error("login failed");
    }
    cookie.clear();
    for (auto [it, end] = result->headers.equal_range("Set-Cookie"); it != end; ++it) {
        const std::string pair = it->second.substr(0, it->second.find(';'));
        cookie += (cookie.empty() ? "" : "; ") + pair;
        if (pair.rfind("skey=", 0) == 0) {
            sessionKey_ = pair.substr(5);
        }
    }
}

std::string MarketFixture::Token() const {
    return GetRequestToken(sessionKey_);
}

namespace {

// "http://host/path?query" split for the library's client, which takes a host and a path.
std::pair<std::string, std::string> SplitAddress(const std::string& address) {
    const std::string rest = address.substr(std::string("http://").size());
    const auto slash = rest.find('/');
    return {rest.substr(0, slash), slash == std::string::npos ? "/" : rest.substr(slash)};
}

// A client for the address's host that goes through the server as its proxy.
void ThroughProxy(httplib::Client& client, int port) {
    client.set_proxy("127.0.0.1", port);
    client.set_read_timeout(10, 0);
}

httplib::Headers WithCookie(httplib::Headers headers, const std::string& cookie) {
    if (!cookie.empty()) {
        headers.emplace("Cookie", cookie);
    }
    return headers;
}

}  // namespace

httplib::Result MarketFixture::Get(const std::string& address, const httplib::Headers& extra) {
    const auto [host, path] = SplitAddress(address);
    httplib::Client client(host, 80);
    ThroughProxy(client, port_);
    return client.Get(path.c_str(), WithCookie(extra, cookie));
}

httplib::Result MarketFixture::Post(const std::string& address, const std::string& body,
                                    const std::string& contentType, const httplib::Headers& extra) {
    const auto [host, path] = SplitAddress(address);
    httplib::Client client(host, 80);
    ThroughProxy(client, port_);
    return client.Post(path.c_str(), WithCookie(extra, cookie), body, contentType.c_str());
}

httplib::Result MarketFixture::Control(const std::string& method, const std::string& path) {
    httplib::Client client("127.0.0.1", port_);
    return method == "POST" ? client.Post(path.c_str()) : client.Get(path.c_str());
}

std::string MarketFixture::LastViolation() {
    const auto violations = server_.violations().Snapshot();
    return violations.empty() ? std::string() : violations.back().reason;
}

std::string FormEncode(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte)) {
            encoded += c;
        } else {
            encoded += {'%', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return encoded;
}

std::string UploadRequestBody(const std::string& userNumber, const std::string& sessionKey) {
    std::string body = "--hellworld\r\n";
    const std::pair<const char*, std::string> fields[] = {
        {"ClientVersion", "120"}, {"ExtendID", "/"},   {"PicCount", "1"},
        {"TotalSize", "248"},     {"uin", userNumber}, {"skey", sessionKey}};
    bool first = true;
    for (const auto& [name, value] : fields) {
        if (!first) {
            body += "\r\n--hellworld\r\n";
        }
        first = false;
        body +=
            std::string("Content-Disposition: form-data; name=\"") + name + "\"\r\n\r\n" + value;
    }
    return body + "\r\n--hellworld--";
}

}  // namespace kesto::sim::testing
