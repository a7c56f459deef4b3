// The net layer over WinINet. Sessions use the system's configured proxy settings; WinINet's own
// cookie store is the process's cookie store, shared by every session.

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <iterator>
#include <vector>

#include "platform/net_layer.h"
#include "platform/translation.h"
#include "platform/win32/wide_text.h"

namespace kesto::net {

static_assert(kFlagReload == INTERNET_FLAG_RELOAD);
static_assert(kFlagKeepConnection == INTERNET_FLAG_KEEP_CONNECTION);
static_assert(kFlagSecure == INTERNET_FLAG_SECURE);
static_assert(kSecurityIgnoreRevocation == SECURITY_FLAG_IGNORE_REVOCATION);
static_assert(kSecurityIgnoreUnknownCa == SECURITY_FLAG_IGNORE_UNKNOWN_CA);
static_assert(kSecurityIgnoreCertCnInvalid == SECURITY_FLAG_IGNORE_CERT_CN_INVALID);
static_assert(kErrorTimeout == ERROR_INTERNET_TIMEOUT);
static_assert(kErrorInvalidCa == ERROR_INTERNET_INVALID_CA);
static_assert(kErrorCertCnInvalid == ERROR_INTERNET_SEC_CERT_CN_INVALID);
static_assert(kErrorCertRevocationFailed == ERROR_INTERNET_SEC_CERT_REV_FAILED);
static_assert(kErrorCannotConnect == ERROR_INTERNET_CANNOT_CONNECT);

namespace {

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// The longest URL parts the splitter takes, in characters, with room for the terminator.
constexpr DWORD kSchemeChars = 32;
constexpr DWORD kHostChars = 256;
constexpr DWORD kUserChars = 260;
constexpr DWORD kPathChars = 2048;
// The longest answer header value read, in characters (a Location may hold a long address).
constexpr std::size_t kHeaderValueChars = 8192;
// The most headers of one name an answer is read for.
constexpr std::size_t kMaxSameHeaders = 64;

bool FitsDword(std::uint64_t size) {
    return size <= MAXDWORD;
}

void SetTimeout(HINTERNET handle, DWORD option, std::chrono::milliseconds time) {
    DWORD milliseconds = static_cast<DWORD>(time.count());
    InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
}

// A server that accepts and never answers must not hold a job for ever. Set on every handle:
// not every WinINet passes a session's time-outs on to its connections and requests. A limit
// shorter than a time-out replaces it.
void SetTimeouts(HINTERNET handle, long stallSeconds,
                 std::chrono::milliseconds limit = std::chrono::milliseconds::max()) {
    const auto atMost = [limit](long seconds) {
        return std::min<std::chrono::milliseconds>(std::chrono::seconds(seconds), limit);
    };
    SetTimeout(handle, INTERNET_OPTION_CONNECT_TIMEOUT, atMost(kConnectTimeoutSeconds));
    SetTimeout(handle, INTERNET_OPTION_SEND_TIMEOUT, atMost(stallSeconds));
    SetTimeout(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, atMost(stallSeconds));
}

// WinINet keeps one pool of idle connections for the whole process and sends any request, a
// POST too, on an idle one it finds there; when that connection has died meanwhile, it sends the
// request again on a new one, though the server may have carried it out already. It has no
// switch that makes one request take a new connection. So no request leaves its connection in
// the pool: each asks the server to close the connection after its answer ("Connection: close"),
// and every request, a POST above all, goes out on a connection of its own.
bool AskToCloseConnection(HINTERNET request) {
    static constexpr wchar_t kClose[] = L"Connection: close\r\n";
    return HttpAddRequestHeadersW(request, kClose, static_cast<DWORD>(std::size(kClose) - 1),
                                  HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE) != FALSE;
}

class WinInetRequest final : public Request {
  public:
    WinInetRequest(InternetHandle handle, long stallSeconds)
        : handle_(std::move(handle)), stallSeconds_(stallSeconds) {}

    bool AddHeader(std::string_view line, bool replace) override {
        const std::wstring wide = win32::Widen(line);
        const DWORD flags = HTTP_ADDREQ_FLAG_ADD | (replace ? HTTP_ADDREQ_FLAG_REPLACE : 0);
        return HttpAddRequestHeadersW(handle_.get(), wide.c_str(), static_cast<DWORD>(wide.size()),
                                      flags) != FALSE;
    }

    bool Send(std::string_view headerBlock, std::string_view body) override {
        if (!FitsDword(body.size())) {
            SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
            return false;
        }
        const std::wstring headers = win32::Widen(headerBlock);
        return HttpSendRequestW(handle_.get(), headers.empty() ? nullptr : headers.c_str(),
                                static_cast<DWORD>(headers.size()),
                                body.empty() ? nullptr : const_cast<char*>(body.data()),
                                static_cast<DWORD>(body.size())) != FALSE;
    }

    bool BeginSend(std::uint64_t totalLength) override {
        if (!FitsDword(totalLength)) {
            SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
            return false;
        }
        INTERNET_BUFFERSW buffers{};
        buffers.dwStructSize = sizeof buffers;
        buffers.dwBufferTotal = static_cast<DWORD>(totalLength);
        return HttpSendRequestExW(handle_.get(), &buffers, nullptr, 0, 0) != FALSE;
    }

    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
            DWORD written = 0;
            if (!InternetWriteFile(handle_.get(), bytes.data(), piece, &written) || written == 0) {
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }

    bool EndSend() override { return HttpEndRequestW(handle_.get(), nullptr, 0, 0) != FALSE; }

    std::optional<std::string> StatusText() override {
        wchar_t status[260] = {};
        DWORD size = sizeof status;
        if (!HttpQueryInfoW(handle_.get(), HTTP_QUERY_STATUS_CODE, status, &size, nullptr)) {
            return std::nullopt;
        }
        return win32::Narrow(status);
    }

    std::optional<std::string> AnswerHeader(std::string_view name) override {
        // HTTP_QUERY_CUSTOM takes the header's name in the buffer that receives its value.
        std::wstring buffer = win32::Widen(name);
        buffer.resize(std::max<std::size_t>(buffer.size() + 1, kHeaderValueChars));
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        if (!HttpQueryInfoW(handle_.get(), HTTP_QUERY_CUSTOM, buffer.data(), &size, nullptr)) {
            return std::nullopt;
        }
        buffer.resize(std::min<std::size_t>(size / sizeof(wchar_t), buffer.size()));
        return win32::Narrow(buffer.substr(0, buffer.find(L'\0')));
    }

    std::vector<std::string> AnswerHeaders(std::string_view name) override {
        std::vector<std::string> values;
        // Each call takes the header at the index and moves the index on to the next one.
        for (DWORD index = 0; values.size() < kMaxSameHeaders;) {
            std::wstring buffer = win32::Widen(name);
            buffer.resize(std::max<std::size_t>(buffer.size() + 1, kHeaderValueChars));
            DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            const DWORD asked = index;
            if (!HttpQueryInfoW(handle_.get(), HTTP_QUERY_CUSTOM, buffer.data(), &size, &index)) {
                break;
            }
            buffer.resize(std::min<std::size_t>(size / sizeof(wchar_t), buffer.size()));
            values.push_back(win32::Narrow(buffer.substr(0, buffer.find(L'\0'))));
            if (index == asked) {
                break;
            }
        }
        return values;
    }

    bool BytesAvailable(std::size_t& count) override {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(handle_.get(), &available, 0, 0)) {
            return false;
        }
        count = available;
        return true;
    }

    bool Read(std::span<char> buffer, std::size_t& count) override {
        const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
        DWORD read = 0;
        if (!InternetReadFile(handle_.get(), buffer.data(), size, &read)) {
            return false;
        }
        count = read;
        return true;
    }

    bool QuerySecurityFlags(std::uint32_t& flags) override {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (!InternetQueryOptionW(handle_.get(), INTERNET_OPTION_SECURITY_FLAGS, &value, &size)) {
            return false;
        }
        flags = value;
        return true;
    }

    bool SetSecurityFlags(std::uint32_t flags) override {
        DWORD value = flags;
        return InternetSetOptionW(handle_.get(), INTERNET_OPTION_SECURITY_FLAGS, &value,
                                  sizeof value) != FALSE;
    }

    void LimitTime(std::chrono::milliseconds limit) override {
        SetTimeouts(handle_.get(), stallSeconds_, std::max(limit, std::chrono::milliseconds(1)));
    }

  private:
    InternetHandle handle_;
    long stallSeconds_;
};

class WinInetConnection final : public Connection {
  public:
    WinInetConnection(InternetHandle handle, long stallSeconds)
        : handle_(std::move(handle)), stallSeconds_(stallSeconds) {}

    std::unique_ptr<Request> OpenRequest(std::string_view verb, std::string_view path,
                                         std::uint32_t flags) override {
        const std::wstring wideVerb = win32::Widen(verb);
        const std::wstring widePath = win32::Widen(path);
        const wchar_t* acceptTypes[] = {L"*/*", nullptr};
        // Redirects are the caller's to follow (market/redirect_rules.h), as on every backend.
        // The answers carry the user's shop and login: none is kept in the user's web cache.
        // No connection is kept for a later request (AskToCloseConnection).
        InternetHandle request(HttpOpenRequestW(
            handle_.get(), wideVerb.c_str(), widePath.c_str(), nullptr, nullptr, acceptTypes,
            (flags & ~std::uint32_t{INTERNET_FLAG_KEEP_CONNECTION}) |
                INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_CACHE_WRITE,
            0));
        if (!request || !AskToCloseConnection(request.get())) {
            return nullptr;
        }
        SetTimeouts(request.get(), stallSeconds_);
        return std::make_unique<WinInetRequest>(std::move(request), stallSeconds_);
    }

  private:
    InternetHandle handle_;
    long stallSeconds_;
};

class WinInetSession final : public Session {
  public:
    explicit WinInetSession(std::string_view agent) {
        const std::wstring wideAgent = win32::Widen(agent);
        handle_.reset(
            InternetOpenW(wideAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (handle_) {
            SetTimeouts(handle_.get(), stallSeconds_);
        }
    }

    std::unique_ptr<Connection> Connect(std::string_view host, int port, std::string_view user,
                                        std::string_view password) override {
        if (!handle_ || port <= 0 || port > 65535) {
            SetLastError(handle_ ? ERROR_INTERNET_INVALID_URL : ERROR_INTERNET_INTERNAL_ERROR);
            return nullptr;
        }
        const std::wstring wideHost = win32::Widen(host);
        const std::wstring wideUser = win32::Widen(user);
        const std::wstring widePassword = win32::Widen(password);
        InternetHandle connection(InternetConnectW(
            handle_.get(), wideHost.c_str(), static_cast<INTERNET_PORT>(port),
            wideUser.empty() ? nullptr : wideUser.c_str(),
            widePassword.empty() ? nullptr : widePassword.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) {
            return nullptr;
        }
        const long stallSeconds = stallSeconds_;
        SetTimeouts(connection.get(), stallSeconds);
        return std::make_unique<WinInetConnection>(std::move(connection), stallSeconds);
    }

    unsigned long LastError() const override { return GetLastError(); }

    void SetStallTimeout(long seconds) override {
        stallSeconds_ = seconds;
        if (handle_) {
            SetTimeouts(handle_.get(), seconds);
        }
    }

  private:
    InternetHandle handle_;
    std::atomic<long> stallSeconds_{kStallTimeoutSeconds};
};

// "Wdy, DD Mon YYYY HH:MM:SS GMT" for a cookie's expiry.
std::wstring CookieExpiry(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (gmtime_s(&parts, &time) != 0) {
        return {};
    }
    wchar_t text[64] = {};
    std::wcsftime(text, 64, L"%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

}  // namespace

std::optional<UrlParts> CrackUrl(std::string_view url) {
    const std::wstring wide = win32::Widen(url);
    std::vector<wchar_t> scheme(kSchemeChars), host(kHostChars), user(kUserChars),
        password(kUserChars), path(kPathChars);
    URL_COMPONENTSW components{};
    components.dwStructSize = sizeof components;
    components.lpszScheme = scheme.data();
    components.dwSchemeLength = kSchemeChars;
    components.lpszHostName = host.data();
    components.dwHostNameLength = kHostChars;
    components.lpszUserName = user.data();
    components.dwUserNameLength = kUserChars;
    components.lpszPassword = password.data();
    components.dwPasswordLength = kUserChars;
    components.lpszUrlPath = path.data();
    components.dwUrlPathLength = kPathChars;
    if (wide.empty() || !InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()),
                                           ICU_ESCAPE, &components)) {
        return std::nullopt;
    }
    UrlParts parts;
    parts.scheme = win32::Narrow(scheme.data());
    parts.host = win32::Narrow(host.data());
    parts.port = components.nPort;
    parts.user = win32::Narrow(user.data());
    parts.password = win32::Narrow(password.data());
    parts.path = win32::Narrow(path.data());
    return parts;
}

std::unique_ptr<Session> OpenSession(std::string_view agent) {
    return std::make_unique<WinInetSession>(agent);
}

std::string ProxySettingPlace() {
    return Translate("the Internet Settings proxy (Internet Options, Connections, LAN settings)");
}

bool StoreCookie(const Cookie& cookie) {
    std::string_view host = cookie.domain;
    if (!host.empty() && host.front() == '.') {
        host.remove_prefix(1);
    }
    const std::wstring url =
        win32::Widen((cookie.secure ? "https://" : "http://") + std::string(host) + cookie.path);
    std::wstring data = win32::Widen(cookie.value + "; path=" + cookie.path);
    if (cookie.includeSubdomains) {
        data += L"; domain=" + win32::Widen(cookie.domain);
    }
    if (cookie.expires > 0) {
        data += L"; expires=" + CookieExpiry(cookie.expires);
    }
    if (cookie.secure) {
        data += L"; secure";
    }
    const std::wstring name = win32::Widen(cookie.name);
    const DWORD flags = cookie.httpOnly ? INTERNET_COOKIE_HTTPONLY : 0;
    return InternetSetCookieExW(url.c_str(), name.c_str(), data.c_str(), flags, 0) != 0;
}

std::string ErrorNumberLabel(unsigned long error) {
    return std::to_string(error);
}

}  // namespace kesto::net
