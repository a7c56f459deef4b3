// The net layer over libcurl. Every easy handle joins one process-wide share that holds the
// cookie store (so the login's cookies reach every request), the DNS cache and the connection
// cache (so keep-alive works across the requests of a connection). The system's proxy comes from
// the http_proxy variable, which libcurl reads by itself.

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/net_layer.h"
#include "platform/translation.h"

namespace kesto::net {

namespace {

// The error code of the calling thread's last failed operation, like the platform's own.
thread_local unsigned long lastError = 0;

bool Fail(unsigned long code) {
    lastError = code;
    return false;
}

unsigned long ErrorFromCurl(CURLcode code, const char* message) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return kErrorNameNotResolved;
        case CURLE_COULDNT_CONNECT:
            return kErrorCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return kErrorTimeout;
        case CURLE_PEER_FAILED_VERIFICATION:
            return std::strstr(message, "name") != nullptr ? kErrorCertCnInvalid : kErrorInvalidCa;
        case CURLE_SSL_CACERT_BADFILE:
            return kErrorInvalidCa;
        case CURLE_URL_MALFORMAT:
            return kErrorInvalidUrl;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
            return kErrorConnectionReset;
        case CURLE_SEND_ERROR:
        case CURLE_ABORTED_BY_CALLBACK:
        case CURLE_PARTIAL_FILE:
            return kErrorConnectionAborted;
        default:
            return kErrorInternal;
    }
}

// The process's share: cookies, DNS and connections, each under its own lock.
class ProcessShare {
  public:
    static ProcessShare& Instance() {
        static ProcessShare share;
        return share;
    }
    CURLSH* handle() const { return share_; }

    ProcessShare(const ProcessShare&) = delete;
    ProcessShare& operator=(const ProcessShare&) = delete;

  private:
    ProcessShare() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        share_ = curl_share_init();
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &ProcessShare::Lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &ProcessShare::Unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    }
    ~ProcessShare() {
        curl_share_cleanup(share_);
        curl_global_cleanup();
    }

    static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<ProcessShare*>(self)->LockFor(data).lock();
    }
    static void Unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<ProcessShare*>(self)->LockFor(data).unlock();
    }
    std::mutex& LockFor(curl_lock_data data) {
        const auto index = static_cast<std::size_t>(data);
        return locks_[index < locks_.size() ? index : 0];
    }

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

// A fresh easy handle joined to the process's share.
EasyHandle NewSharedHandle() {
    EasyHandle easy(curl_easy_init());
    if (easy) {
        curl_easy_setopt(easy.get(), CURLOPT_SHARE, ProcessShare::Instance().handle());
        // An empty cookie file switches the cookie engine on, so stored cookies are sent.
        curl_easy_setopt(easy.get(), CURLOPT_COOKIEFILE, "");
    }
    return easy;
}

std::string_view HeaderName(std::string_view line) {
    return line.substr(0, line.find(':'));
}

// Header names compare without regard to ASCII letter case.
bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&lower](char x, char y) { return lower(x) == lower(y); });
}

// Header lines of a block separated by CR LF, without their line ends.
std::vector<std::string> SplitHeaderBlock(std::string_view block) {
    std::vector<std::string> lines;
    while (!block.empty()) {
        const std::size_t end = block.find_first_of("\r\n");
        const std::string_view line = block.substr(0, end);
        if (!line.empty()) {
            lines.emplace_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        block.remove_prefix(end + 1);
    }
    return lines;
}

struct Endpoint {
    std::string host;
    int port = kDefaultHttpPort;
    std::string user;
    std::string password;
    std::string agent;
    long stallSeconds = kStallTimeoutSeconds;
};

class CurlRequest final : public Request {
  public:
    CurlRequest(const Endpoint& endpoint, std::string_view verb, std::string_view path,
                std::uint32_t flags)
        : endpoint_(endpoint), verb_(verb), flags_(flags) {
        const bool secure = (flags & kFlagSecure) != 0;
        const bool bracket =
            endpoint.host.find(':') != std::string::npos && endpoint.host.front() != '[';
        url_ = secure ? "https://" : "http://";
        if (bracket) {
            url_.append("[").append(endpoint.host).append("]");
        } else {
            url_.append(endpoint.host);
        }
        url_.append(":").append(std::to_string(endpoint.port));
        if (path.empty() || path.front() != '/') {
            url_.append("/");
        }
        url_.append(path);
    }

    bool AddHeader(std::string_view line, bool replace) override {
        for (const std::string& header : SplitHeaderBlock(line)) {
            if (replace) {
                std::erase_if(headers_, [&](const std::string& kept) {
                    return SameName(HeaderName(kept), HeaderName(header));
                });
            }
            headers_.push_back(header);
        }
        return true;
    }

    bool Send(std::string_view headerBlock, std::string_view body) override {
        return Perform(SplitHeaderBlock(headerBlock), body);
    }

    bool BeginSend(std::uint64_t totalLength) override {
        if (totalLength > pending_.max_size()) {
            return Fail(kErrorInternal);
        }
        announced_ = totalLength;
        streaming_ = true;
        pending_.clear();
        pending_.reserve(static_cast<std::size_t>(totalLength));
        return true;
    }

    // The announced body is collected and goes out when the request ends; the callers stream
    // only small bodies this way.
    bool Write(std::string_view bytes) override {
        if (!streaming_ || bytes.size() > announced_ - pending_.size()) {
            return Fail(kErrorIncorrectHandleState);
        }
        pending_.append(bytes);
        return true;
    }

    bool EndSend() override {
        if (!streaming_ || pending_.size() != announced_) {
            return Fail(kErrorIncorrectHandleState);
        }
        streaming_ = false;
        const std::string body = std::move(pending_);
        pending_.clear();
        return Perform({}, body);
    }

    std::optional<std::string> StatusText() override {
        if (!easy_) {
            return std::nullopt;
        }
        long status = 0;
        if (curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status) != CURLE_OK ||
            status == 0) {
            return std::nullopt;
        }
        return std::to_string(status);
    }

    std::optional<std::string> AnswerHeader(std::string_view name) override {
        curl_header* header = nullptr;
        if (!easy_ || curl_easy_header(easy_.get(), std::string(name).c_str(), 0, CURLH_HEADER, -1,
                                       &header) != CURLHE_OK) {
            return std::nullopt;
        }
        return std::string(header->value);
    }

    std::vector<std::string> AnswerHeaders(std::string_view name) override {
        std::vector<std::string> values;
        const std::string key(name);
        curl_header* header = nullptr;
        for (std::size_t index = 0;
             easy_ && curl_easy_header(easy_.get(), key.c_str(), index, CURLH_HEADER, -1,
                                       &header) == CURLHE_OK;
             ++index) {
            values.emplace_back(header->value);
            if (index + 1 >= header->amount) {
                break;
            }
        }
        return values;
    }

    bool BytesAvailable(std::size_t& count) override {
        if (!easy_) {
            return Fail(kErrorIncorrectHandleState);
        }
        count = answer_.size() - readOffset_;
        return count > 0 || readError_ == 0 || Fail(readError_);
    }

    bool Read(std::span<char> buffer, std::size_t& count) override {
        if (!easy_) {
            return Fail(kErrorIncorrectHandleState);
        }
        if (readOffset_ == answer_.size() && readError_ != 0) {
            return Fail(readError_);
        }
        count = std::min(buffer.size(), answer_.size() - readOffset_);
        std::memcpy(buffer.data(), answer_.data() + readOffset_, count);
        readOffset_ += count;
        return true;
    }

    bool QuerySecurityFlags(std::uint32_t& flags) override {
        flags = security_;
        return true;
    }
    bool SetSecurityFlags(std::uint32_t flags) override {
        security_ = flags;
        return true;
    }

    void LimitTime(std::chrono::milliseconds limit) override {
        timeLimit_ = std::max<std::chrono::milliseconds::rep>(1, limit.count());
    }

  private:
    // Keeps the answer up to one byte past kMaxAnswerBytes; returning less than it was handed
    // ends the transfer there.
    static std::size_t Collect(char* data, std::size_t size, std::size_t count, void* self) {
        auto* request = static_cast<CurlRequest*>(self);
        std::string& answer = request->answer_;
        const std::size_t bytes = size * count;
        const std::size_t room = kMaxAnswerBytes + 1 - answer.size();
        try {
            answer.append(data, std::min(bytes, room));
        } catch (const std::bad_alloc&) {
            return 0;
        }
        if (bytes >= room) {
            request->cutShort_ = true;
            return 0;
        }
        return bytes;
    }

    HeaderList BuildHeaderList(const std::vector<std::string>& block, bool post) const {
        std::vector<std::string> lines = block;
        lines.insert(lines.end(), headers_.begin(), headers_.end());
        const bool hasContentType = std::any_of(lines.begin(), lines.end(), [](const auto& l) {
            return SameName(HeaderName(l), "Content-Type");
        });
        if (post && !hasContentType) {
            lines.emplace_back("Content-Type:");  // no type of libcurl's own
        }
        lines.emplace_back("Expect:");  // the body follows the head at once
        HeaderList list;
        for (const std::string& line : lines) {
            curl_slist* grown = curl_slist_append(list.get(), line.c_str());
            if (grown == nullptr) {
                return nullptr;
            }
            static_cast<void>(list.release());
            list.reset(grown);
        }
        return list;
    }

    void SetVerb(CURL* easy, std::string_view body) const {
        if (verb_ == "GET") {
            curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
            return;
        }
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
        if (verb_ != "POST") {
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb_.c_str());
        }
    }

    void SetSecurity(CURL* easy) const {
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER,
                         (security_ & kSecurityIgnoreUnknownCa) != 0 ? 0L : 1L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST,
                         (security_ & kSecurityIgnoreCertCnInvalid) != 0 ? 0L : 2L);
        if ((security_ & kSecurityIgnoreRevocation) != 0) {
            curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NO_REVOKE));
        }
    }

    // Notes the blank line that ends the answer's head.
    static std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* self) {
        const std::string_view line(data, size * count);
        if (line == "\r\n" || line == "\n") {
            static_cast<CurlRequest*>(self)->headArrived_ = true;
        }
        return size * count;
    }

    // Sends the request and takes the answer. A failure after the answer's head arrived is left
    // for the reader, as WinINet leaves it: the bytes that came are read first, then the read
    // fails (an answer that ended before its announced length or its last chunk with
    // kErrorConnectionAborted).
    bool Perform(const std::vector<std::string>& block, std::string_view body) {
        easy_ = NewSharedHandle();
        answer_.clear();
        readOffset_ = 0;
        readError_ = 0;
        headArrived_ = false;
        if (!easy_) {
            return Fail(kErrorInternal);
        }
        CURL* easy = easy_.get();
        const bool post = verb_ != "GET";
        HeaderList headerList = BuildHeaderList(block, post);
        if (!headerList) {
            return Fail(kErrorInternal);
        }
        char message[CURL_ERROR_SIZE] = {};
        curl_easy_setopt(easy, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, message);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy, CURLOPT_USERAGENT, endpoint_.agent.c_str());
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, endpoint_.stallSeconds);
        if (timeLimit_ > 0) {
            curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(timeLimit_));
        }
        curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, (flags_ & kFlagKeepConnection) != 0 ? 0L : 1L);
        // Redirects are the caller's to follow (market/redirect_rules.h).
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        // libcurl sends a request again, unasked, when a kept-alive connection it reused dies
        // before the answer: a POST that changes the shop could be carried out twice. A fresh
        // connection is never repeated, so a request that may change something takes one.
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, verb_ == "GET" ? 0L : 1L);
        if (!endpoint_.user.empty()) {
            curl_easy_setopt(easy, CURLOPT_USERNAME, endpoint_.user.c_str());
            curl_easy_setopt(easy, CURLOPT_PASSWORD, endpoint_.password.c_str());
        }
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList.get());
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlRequest::Collect);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeaderLine);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        SetVerb(easy, body);
        SetSecurity(easy);
        cutShort_ = false;
        const CURLcode code = curl_easy_perform(easy);
        // The list must not outlive its use by the handle.
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
        if (code == CURLE_WRITE_ERROR && cutShort_) {
            return true;  // the reader finds the answer longer than it takes
        }
        if (code == CURLE_OK && headArrived_) {
            return true;
        }
        if (code == CURLE_OK) {
            // libcurl ends without an error when the connection closes inside the head; no
            // blank line ended it, so nothing says the answer is whole.
            answer_.clear();
            return Fail(kErrorConnectionAborted);
        }
        if (headArrived_) {
            readError_ = ErrorFromCurl(code, message);
            return true;
        }
        answer_.clear();
        return Fail(ErrorFromCurl(code, message));
    }

    Endpoint endpoint_;
    std::string verb_;
    std::uint32_t flags_;
    std::string url_;
    std::vector<std::string> headers_;
    std::uint32_t security_ = 0;
    EasyHandle easy_;
    std::string answer_;
    bool cutShort_ = false;  // the answer went past kMaxAnswerBytes and its transfer was ended
    std::chrono::milliseconds::rep timeLimit_ = 0;  // 0: the time-outs alone
    std::size_t readOffset_ = 0;
    unsigned long readError_ = 0;  // the failure a read meets once the bytes that came are read
    bool headArrived_ = false;     // the answer's whole head came
    bool streaming_ = false;
    std::uint64_t announced_ = 0;
    std::string pending_;
};

class CurlConnection final : public Connection {
  public:
    explicit CurlConnection(Endpoint endpoint) : endpoint_(std::move(endpoint)) {}

    std::unique_ptr<Request> OpenRequest(std::string_view verb, std::string_view path,
                                         std::uint32_t flags) override {
        return std::make_unique<CurlRequest>(endpoint_, verb, path, flags);
    }

  private:
    Endpoint endpoint_;
};

class CurlSession final : public Session {
  public:
    explicit CurlSession(std::string_view agent) : agent_(agent) {
        static_cast<void>(ProcessShare::Instance());
    }

    std::unique_ptr<Connection> Connect(std::string_view host, int port, std::string_view user,
                                        std::string_view password) override {
        if (host.empty() || port <= 0 || port > 65535) {
            Fail(kErrorInvalidUrl);
            return nullptr;
        }
        return std::make_unique<CurlConnection>(Endpoint{std::string(host), port, std::string(user),
                                                         std::string(password), agent_,
                                                         stallSeconds_.load()});
    }

    unsigned long LastError() const override { return lastError; }

    void SetStallTimeout(long seconds) override { stallSeconds_ = seconds; }

  private:
    std::string agent_;
    std::atomic<long> stallSeconds_{kStallTimeoutSeconds};
};

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::optional<std::string> UrlPart(CURLU* url, CURLUPart part, unsigned int flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK) {
        return std::nullopt;
    }
    std::string copy(text);
    curl_free(text);
    return copy;
}

}  // namespace

std::optional<UrlParts> CrackUrl(std::string_view url) {
    std::unique_ptr<CURLU, UrlDeleter> handle(curl_url());
    const std::string text(url);
    if (!handle || text.find('\0') != std::string::npos ||
        curl_url_set(handle.get(), CURLUPART_URL, text.c_str(),
                     CURLU_URLENCODE | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return std::nullopt;
    }
    UrlParts parts;
    const auto scheme = UrlPart(handle.get(), CURLUPART_SCHEME);
    const auto host = UrlPart(handle.get(), CURLUPART_HOST);
    const auto port = UrlPart(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host) {
        return std::nullopt;
    }
    parts.scheme = *scheme;
    parts.host = *host;
    if (parts.host.size() > 2 && parts.host.front() == '[' && parts.host.back() == ']') {
        parts.host = parts.host.substr(1, parts.host.size() - 2);
    }
    parts.port = port ? std::atoi(port->c_str()) : kDefaultHttpPort;
    parts.user = UrlPart(handle.get(), CURLUPART_USER).value_or("");
    parts.password = UrlPart(handle.get(), CURLUPART_PASSWORD).value_or("");
    parts.path = UrlPart(handle.get(), CURLUPART_PATH).value_or("/");
    if (const auto query = UrlPart(handle.get(), CURLUPART_QUERY)) {
        parts.path.append("?").append(*query);
    }
    return parts;
}

std::unique_ptr<Session> OpenSession(std::string_view agent) {
    return std::make_unique<CurlSession>(agent);
}

std::string ProxySettingPlace() {
    return Translate("the http_proxy environment variable (http_proxy=http://HOST:PORT)");
}

bool StoreCookie(const Cookie& cookie) {
    EasyHandle easy = NewSharedHandle();
    std::string line = cookie.httpOnly ? "#HttpOnly_" : "";
    line.append(cookie.domain).append("\t");
    line.append(cookie.includeSubdomains ? "TRUE" : "FALSE").append("\t");
    line.append(cookie.path).append("\t");
    line.append(cookie.secure ? "TRUE" : "FALSE").append("\t");
    line.append(std::to_string(cookie.expires)).append("\t");
    line.append(cookie.name).append("\t").append(cookie.value);
    return easy && curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, line.c_str()) == CURLE_OK;
}

std::string ErrorNumberLabel(unsigned long /*error*/) {
    return {};
}

}  // namespace kesto::net
