#pragma once
// The net layer: the handful of internet operations the request layer and the uploader are
// written over (a session, a connection to one host, requests on it, the process's one cookie
// store). Backends beside this file: win32/net_wininet.cpp (WinINet), posix/net_curl.cpp
// (libcurl).
//
// Contract
// - Blocking: Connect may resolve a name; Send, EndSend and (WinINet) Write block on the network
//   up to kConnectTimeoutSeconds to connect and kStallTimeoutSeconds without progress, then fail
//   with kErrorTimeout; Request::LimitTime shortens both for one request. Nothing else blocks.
//   One request belongs to one thread at a time.
// - Limits: an answer is read whole into memory by the libcurl backend before Send returns, but
//   never more than kMaxAnswerBytes + 1 bytes of it: there the backend ends the transfer and the
//   reader finds the answer cut one byte past the limit, as a WinINet reader that stops at the
//   limit does. A body announced with BeginSend is collected in memory and sent at EndSend;
//   callers announce bodies of at most one upload chunk this way. WinINet streams both.
// - Answers: no backend follows a redirect; the caller reads the status and the Location header
//   and decides (market/redirect_rules.h). An answer that breaks off reads, on every backend, as
//   the bytes that arrived followed by its end, or as a failed read: the caller compares what it
//   read with the Content-Length header. Every backend sends the path as the caller gives it; the
//   caller escapes it (market/url_split.h).
// - Repeats: libcurl and WinINet send a request again by themselves when the kept-alive
//   connection they reused dies before the answer, though the server may have carried the request
//   out. So no backend sends anything but a GET on a reused connection: the libcurl backend takes
//   a fresh connection for every other request; WinINet has no such switch for one request and
//   keeps one pool of idle connections per process, so its backend keeps none there: every
//   request asks for its connection to close after the answer ("Connection: close"), and each
//   request, GET or not, goes out on a connection of its own. (Wine's WinINet pools a connection
//   by what the answer says alone; there the server's close, which HTTP/1.1 requires once a
//   request asks for it, keeps the connection out of the pool.)
// - Caching: no backend keeps an answer anywhere (WinINet is asked not to write its cache); what
//   the answers carry, the user's shop and login, stays in the program's memory.
// - Errors: a failed operation returns false (or null) and leaves an error number that
//   Session::LastError reads on the same thread. The numbers are WinINet's own (120xx): the
//   Windows backend passes them through unchanged, the other backends translate their errors to
//   the nearest of them, so trace lines and result codes read the same on every system.
// - Flags are WinINet's flag values for the same reason.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::net {

// Request flags.
inline constexpr std::uint32_t kFlagReload = 0x80000000;          // never from the cache
inline constexpr std::uint32_t kFlagKeepConnection = 0x00400000;  // keep-alive
inline constexpr std::uint32_t kFlagSecure = 0x00800000;          // TLS

// Security flags of a request, for the certificate errors below.
inline constexpr std::uint32_t kSecurityIgnoreRevocation = 0x00000080;
inline constexpr std::uint32_t kSecurityIgnoreUnknownCa = 0x00000100;
inline constexpr std::uint32_t kSecurityIgnoreCertCnInvalid = 0x00001000;

// Error codes a failed operation leaves behind.
inline constexpr unsigned long kErrorTimeout = 12002;
inline constexpr unsigned long kErrorInternal = 12004;
inline constexpr unsigned long kErrorInvalidUrl = 12005;
inline constexpr unsigned long kErrorNameNotResolved = 12007;
inline constexpr unsigned long kErrorIncorrectHandleState = 12019;
inline constexpr unsigned long kErrorCannotConnect = 12029;
inline constexpr unsigned long kErrorConnectionAborted = 12030;
inline constexpr unsigned long kErrorConnectionReset = 12031;
inline constexpr unsigned long kErrorCertCnInvalid = 12038;
inline constexpr unsigned long kErrorInvalidCa = 12045;
inline constexpr unsigned long kErrorCertRevocationFailed = 12057;

inline constexpr int kDefaultHttpPort = 80;
inline constexpr int kDefaultHttpsPort = 443;

// Limits no caller's connection may work without: a request that cannot connect within
// kConnectTimeoutSeconds, or that moves no byte for kStallTimeoutSeconds, fails with
// kErrorTimeout (or the platform's equivalent) instead of blocking its thread forever.
inline constexpr long kConnectTimeoutSeconds = 30;
inline constexpr long kStallTimeoutSeconds = 60;

// The most of one answer any reader takes: 16 MiB, far beyond the largest page or listing the
// marketplace sends, so that a runaway answer fails instead of filling memory.
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{16} << 20;

// The parts of an address, as the platform's URL splitter gives them. The query stays part of
// the path.
struct UrlParts {
    std::string scheme;
    std::string host;
    int port = kDefaultHttpPort;
    std::string user;
    std::string password;
    std::string path;
};

// Splits a full address (escaping unsafe characters of the path); nothing for an address the
// platform cannot split.
std::optional<UrlParts> CrackUrl(std::string_view url);

// One request, opened on a connection. Header lines and the header block end in CR LF.
class Request {
  public:
    virtual ~Request() = default;

    virtual bool AddHeader(std::string_view line, bool replace) = 0;
    // Sends the request with an optional header block and body, and waits for the answer's head.
    virtual bool Send(std::string_view headerBlock, std::string_view body) = 0;
    // Sends a body of announced length in pieces: BeginSend, Write as often as needed, EndSend.
    virtual bool BeginSend(std::uint64_t totalLength) = 0;
    virtual bool Write(std::string_view bytes) = 0;
    virtual bool EndSend() = 0;
    // The answer's status code as the platform writes it; nothing when it cannot be read.
    virtual std::optional<std::string> StatusText() = 0;
    // The value of the answer's first header with this name (any letter case), without its line
    // end; nothing when the answer has no such header.
    virtual std::optional<std::string> AnswerHeader(std::string_view name) = 0;
    // The values of every header of the answer with this name (any letter case), in order.
    virtual std::vector<std::string> AnswerHeaders(std::string_view name) = 0;
    // How many bytes of the answer can be read now; 0 at its end.
    virtual bool BytesAvailable(std::size_t& count) = 0;
    // Reads up to buffer.size() bytes; count 0 at the end of the answer.
    virtual bool Read(std::span<char> buffer, std::size_t& count) = 0;
    virtual bool QuerySecurityFlags(std::uint32_t& flags) = 0;
    virtual bool SetSecurityFlags(std::uint32_t flags) = 0;
    // Lets the request take at most this long, given before it is sent: the libcurl backend ends
    // the whole transfer after it, WinINet waits no longer than it for any one step (connecting,
    // sending, receiving). Either then fails with kErrorTimeout. A limit longer than the time-outs
    // above changes nothing.
    virtual void LimitTime(std::chrono::milliseconds limit) = 0;
};

// A connection to one host and port; requests opened on it may reuse its network connection.
class Connection {
  public:
    virtual ~Connection() = default;
    virtual std::unique_ptr<Request> OpenRequest(std::string_view verb, std::string_view path,
                                                 std::uint32_t flags) = 0;
};

// An internet session with an agent name, using the system's proxy settings and the process's
// one cookie store.
class Session {
  public:
    virtual ~Session() = default;
    virtual std::unique_ptr<Connection> Connect(std::string_view host, int port,
                                                std::string_view user,
                                                std::string_view password) = 0;
    // The error code the calling thread's last failed operation left behind.
    virtual unsigned long LastError() const = 0;
    // The time without progress after which the requests of connections made from now on fail
    // with kErrorTimeout: kStallTimeoutSeconds until changed. Tests shorten it to meet a stalled
    // server in seconds rather than minutes.
    virtual void SetStallTimeout(long seconds) = 0;
};

std::unique_ptr<Session> OpenSession(std::string_view agent);

// Where a user sets the proxy that sessions go through, in words for a help text: the
// http_proxy variable for libcurl, the Internet Settings for WinINet.
std::string ProxySettingPlace();

// One cookie as a Netscape cookie file holds it.
struct Cookie {
    std::string domain;  // ".kesto.example" reaches every host below kesto.example
    bool includeSubdomains = false;
    std::string path = "/";
    bool secure = false;
    std::int64_t expires = 0;  // seconds since 1970; 0 for a session cookie
    std::string name;
    std::string value;
    bool httpOnly = false;
};

// Puts one cookie into the process's cookie store, which every session's requests share.
bool StoreCookie(const Cookie& cookie);

// The error's number as a reason a person reads shows it ("12029"): the number where the numbers
// are the system's own (Windows), empty where they are only this layer's translation of the
// system's errors, which would mean nothing to its users.
std::string ErrorNumberLabel(unsigned long error);

}  // namespace kesto::net
