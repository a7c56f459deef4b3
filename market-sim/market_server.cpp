#include "market-sim/market_server.h"

#include <string>

#include "market-sim/album_handlers.h"
#include "market-sim/connection_drop.h"
#include "market-sim/connection_stream.h"
#include "market-sim/control_interface.h"
#include "market-sim/login_pages.h"
#include "market-sim/manage_handlers.h"
#include "market-sim/request_target.h"
#include "market-sim/session_cookies.h"
#include "market-sim/shop_front.h"
#include "market/hosts.h"
#include "support/ascii_text.h"

namespace kesto::sim {
namespace {

// Where a multipart request's real content type is kept while the library reads it raw.
constexpr char kMultipartTypeHeader[] = "X-Kesto-Multipart-Type";

bool IsLoopback(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost";
}

bool IsMultipart(const std::string& contentType) {
    return AsciiLower(std::string_view(contentType).substr(0, 10)) == "multipart/";
}

// The query as sent: the text after the first "?" of the request target.
std::string RawQuery(const std::string& target) {
    const auto mark = target.find('?');
    return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

// Answers a request whose body the library could not read whole: too large (it has set 413), or
// framed in a way it does not follow. The connection closes after the answer.
void RefuseUnreadBody(const httplib::Request& request, httplib::Response& response,
                      std::size_t maxBodyBytes, ViolationLog& violations) {
    const bool tooLarge = response.status == 413;
    const std::string reason =
        tooLarge ? "the request body is larger than " + std::to_string(maxBodyBytes) + " bytes"
                 : "the request body could not be read as its head frames it";
    const auto target = SplitRequestTarget(request.path, request.get_header_value("Host"));
    violations.Record(
        {target ? target->host : std::string(), target ? target->path : request.path, reason});
    response.status = tooLarge ? 413 : 400;
    response.set_content(reason, "text/plain");
}

}  // namespace

MarketServer::MarketServer(const std::string& charset, const ConnectionLimits& limits)
    : limits_(limits),
      charset_(charset),
      // Requests reach the workers whole, but a stall fault holds a worker; enough workers keep
      // the other hosts and the control interface answering meanwhile.
      workers_(std::make_unique<httplib::ThreadPool>(limits_.workers)),
      gate_(
          limits_,
          [this](Connection connection) {
              // The pool takes copyable tasks only.
              auto shared = std::make_shared<Connection>(std::move(connection));
              workers_->enqueue([this, shared] { Serve(std::move(*shared)); });
          },
          [this](std::string_view head, const std::string& reason) {
              const auto target = TargetOfHead(head);
              violations_.Record({target ? target->host : std::string(),
                                  target ? target->path : std::string(), reason});
          }) {
    router_.set_payload_max_length(limits_.maxBodyBytes);
    // What the answers' Keep-Alive header announces.
    router_.set_keep_alive_timeout(
        std::chrono::duration_cast<std::chrono::seconds>(limits_.headTime).count());
    router_.set_keep_alive_max_count(limits_.requestsPerConnection);
    // Uploads are checked byte for byte, so the library must not parse multipart bodies itself:
    // their content type is set aside before it reads the body (the request object is the
    // library's own, not a constant, so it may be changed here).
    router_.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        const std::string type = request.get_header_value("Content-Type");
        if (IsMultipart(type)) {
            auto& editable = const_cast<httplib::Request&>(request);
            editable.headers.erase("Content-Type");
            editable.headers.emplace("Content-Type", "application/octet-stream");
            editable.headers.emplace(kMultipartTypeHeader, type);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    router_.Get(R"(.*)", [this](const httplib::Request& request, httplib::Response& response) {
        Handle(request, response, {});
    });
    router_.Post(R"(.*)", [this](const httplib::Request& request, httplib::Response& response,
                                 const httplib::ContentReader& reader) {
        std::string body;
        const bool complete = reader([&](const char* data, std::size_t length) {
            body.append(data, length);
            return true;
        });
        if (!complete) {
            RefuseUnreadBody(request, response, limits_.maxBodyBytes, violations_);
            return;
        }
        Handle(request, response, std::move(body));
    });
}

MarketServer::~MarketServer() {
    Stop();
}

int MarketServer::Bind(int port) {
    return gate_.Bind(port);
}

void MarketServer::Listen() {
    gate_.Run();
}

void MarketServer::Start() {
    thread_ = std::thread([this] { Listen(); });
}

void MarketServer::Stop() {
    faults_.WakeStalls();
    gate_.Stop();
    if (thread_.joinable()) {
        thread_.join();
    }
    std::call_once(workersStopped_, [this] { workers_->shutdown(); });
}

void MarketServer::Serve(Connection connection) {
    const bool last = ++connection.requestsServed >= limits_.requestsPerConnection;
    bool keepOpen = false;
    {
        // The delay counts from the request's arrival, so that the hand-over to this worker and
        // the answer's making take none of it; the answer is held until then.
        ConnectionStream::Clock::time_point sendFrom{};
        if (const long long delay = answerDelayMs_; delay > 0) {
            const std::string_view request =
                std::string_view(connection.received).substr(0, connection.requestBytes);
            const auto target = TargetOfHead(request.substr(0, request.find("\r\n\r\n")));
            if (target && !IsLoopback(target->host)) {
                sendFrom = connection.arrived + std::chrono::milliseconds(delay);
            }
        }
        ConnectionStream stream(connection, limits_, sendFrom);
        keepOpen = router_.Serve(stream, last);
        // What follows a request the library did not read to its end (it refused the request
        // early or ignored its body) is never parsed as a request of its own.
        keepOpen = keepOpen && stream.RequestReadWhole();
        keepOpen = stream.Flush() && keepOpen;
    }
    if (keepOpen) {
        gate_.Return(std::move(connection));
    }
}

void MarketServer::SetOtherLogin(httplib::Response& response) {
    static constexpr char kOtherUser[] = "10002";
    const std::optional<std::string> sessionKey = [this] {
        const auto lock = market_.Lock();
        return market_.Login(kOtherUser, "kesto456");
    }();
    const auto cookie = [&response](const std::string& name, const std::string& value) {
        response.set_header("Set-Cookie",
                            name + "=" + value + "; Domain=" + hosts::kCookieDomain + "; Path=/");
    };
    cookie("uin", EncodeUinCookie(kOtherUser));
    cookie("ptui_loginuin", kOtherUser);
    cookie("skey", sessionKey.value_or(""));
}

void MarketServer::ExpireLogin(const httplib::Request& request, httplib::Response& response) {
    const auto cookies = ParseCookieHeader(request.get_header_value("Cookie"));
    if (const auto skey = cookies.find("skey"); skey != cookies.end()) {
        const auto lock = market_.Lock();
        market_.EndSession(skey->second);
    }
    const std::string entry = hosts::Address(hosts::kMember, hosts::kLoginEntryPath);
    response.status = 302;
    response.set_header("Location", entry);
    if (answerMode_ == AnswerMode::kRich) {
        for (const char* name : {"uin", "ptui_loginuin", "skey"}) {
            response.set_header("Set-Cookie", std::string(name) + "=; Domain=" +
                                                  hosts::kCookieDomain + "; Path=/; Max-Age=0");
        }
    }
    response.set_content("<html><body><a href=\"" + entry + "\">登录</a></body></html>",
                         "text/html; charset=UTF-8");
}

bool MarketServer::ApplyFault(const httplib::Request& request, httplib::Response& response,
                              const std::string& host, const std::string& path) {
    const auto fault = faults_.Take(path);
    if (!fault) {
        return false;
    }
    if (fault->kind == FaultKind::kDrop || fault->kind == FaultKind::kCut) {
        // What the client sees of these is the connection's end, not an answer held back: it
        // comes after the delay all the same.
        std::this_thread::sleep_for(std::chrono::milliseconds(answerDelayMs_.load()));
    }
    switch (fault->kind) {
        case FaultKind::kError:
            response.status = 500;
            response.set_content("<html><body><h1>500 Internal Server Error</h1></body></html>",
                                 "text/html");
            return true;
        case FaultKind::kDrop:
            DropConnection(request.remote_addr, request.remote_port);
            response.status = 500;
            return true;
        case FaultKind::kCut:
            DropConnection(request.remote_addr, request.remote_port, "HTTP/1.1 200 OK\r\n");
            response.status = 500;
            return true;
        case FaultKind::kStall:
            faults_.Stall(fault->seconds);
            return false;
        case FaultKind::kRelogin:
            SetOtherLogin(response);
            return false;
        case FaultKind::kGarbage:
            response.status = 200;
            response.set_content("{\"data\":[\"unfinished", "text/plain");
            return true;
        case FaultKind::kErrorPage:
            response.status = 502;
            response.set_content(
                "<html><head><title>502 Bad Gateway</title></head><body><center><h1>502 Bad "
                "Gateway</h1></center></body></html>",
                "text/html");
            return true;
        case FaultKind::kRateLimit:
            response.status = 429;
            if (fault->seconds >= 0) {
                response.set_header("Retry-After", std::to_string(fault->seconds));
            }
            response.set_content("<html><body><h1>429 Too Many Requests</h1></body></html>",
                                 "text/html");
            return true;
        case FaultKind::kExpire:
            // The login pages themselves stay open to everyone.
            if (host == hosts::kPortal || host == hosts::kMember) {
                return false;
            }
            ExpireLogin(request, response);
            return true;
        case FaultKind::kPassword:
            response.status = 200;
            response.set_content(charset_.ToWire(TradePasswordRequiredPage()),
                                 "text/html; charset=" + charset_.Name());
            return true;
    }
    return false;
}

void MarketServer::Handle(const httplib::Request& request, httplib::Response& response,
                          std::string body) {
    const auto target = SplitRequestTarget(request.path, request.get_header_value("Host"));
    if (!target) {
        response.status = 400;
        response.set_content("bad request target", "text/plain");
        return;
    }
    const std::string multipartType = request.get_header_value(kMultipartTypeHeader);
    Exchange exchange{
        request,
        response,
        target->host,
        target->path,
        RawQuery(request.target),
        std::move(body),
        multipartType.empty() ? request.get_header_value("Content-Type") : multipartType};
    const MarketContext context{market_, violations_, charset_, answerMode_};
    if (IsLoopback(exchange.host)) {
        // Only a request sent straight to the server reaches the control interface: a request
        // handed to the proxy for a loopback address could come from any page a browser shows.
        if (target->absoluteForm) {
            Refuse(exchange, context, 403,
                   "the control interface answers only requests sent straight to it, not through "
                   "the proxy",
                   HtmlErrorBody);
            return;
        }
        HandleControl(exchange, context, ControlTargets{faults_, journal_, answerMode_});
        return;
    }
    Dispatch(exchange, context);
    journal_.Record({request.method, exchange.host, exchange.path, response.status});
}

void MarketServer::Dispatch(Exchange& exchange, const MarketContext& context) {
    const httplib::Request& request = exchange.request;
    httplib::Response& response = exchange.response;
    const std::string& host = exchange.host;
    const bool known = host == hosts::kPortal || host == hosts::kMember || host == hosts::kManage ||
                       host == hosts::kShop || host == hosts::kAlbum;
    if (!known) {
        response.status = 502;
        response.set_content("kesto-market serves only the marketplace's hosts", "text/plain");
        return;
    }
    if (ApplyFault(request, response, host, exchange.path)) {
        return;
    }
    if (host == hosts::kPortal) {
        HandlePortal(exchange, context);
    } else if (host == hosts::kMember) {
        HandleMember(exchange, context);
    } else if (host == hosts::kManage) {
        HandleManage(exchange, context);
    } else if (host == hosts::kShop) {
        HandleShopFront(exchange, context);
    } else {
        HandleAlbum(exchange, context);
    }
}

}  // namespace kesto::sim
