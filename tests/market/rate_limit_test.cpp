// A busy marketplace's refusals (429, 503 with Retry-After) and its login page, met by the request
// layer over a scripted net layer: what is waited, what is sent again, what fails and why. No
// test sleeps: the job context's wait is a recorder.

#include "market/rate_limit.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <vector>

#include "market/http_request.h"
#include "market/job_context.h"
#include "market/login_watch.h"
#include "market/password_request.h"
#include "support/http_date.h"
#include "support/text_conversion.h"

namespace kesto {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

// 1994-11-06 08:49:37 UTC.
const Clock::time_point kNov6 =
    std::chrono::sys_days(std::chrono::year(1994) / std::chrono::November / 6) + 8h + 49min + 37s;

TEST(RateLimitTest, RetryAfterIsSecondsOrADate) {
    const struct {
        const char* value;
        std::optional<std::chrono::milliseconds> wait;
    } cases[] = {
        {"0", 0ms},
        {"120", 120s},
        {" 7 ", 7s},
        {"99999999999999999999", std::chrono::hours(24 * 365)},  // as good as for ever
        {"Sun, 06 Nov 1994 08:49:47 GMT", 10s},
        {"Sunday, 06-Nov-94 08:50:37 GMT", 60s},
        {"Sun Nov  6 08:49:39 1994", 2s},
        {"Sun, 06 Nov 1994 08:49:00 GMT", 0ms},  // passed already
        {"", std::nullopt},
        {"-5", std::nullopt},
        {"1.5", std::nullopt},
        {"soon", std::nullopt},
        {"Sun, 31 Feb 1994 08:49:47 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 25:49:47 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:47 CET", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseRetryAfter(c.value, kNov6), c.wait) << c.value;
    }
}

TEST(RateLimitTest, OnlyATooManyOrABusyAnswerWithRetryAfterIsWaitedFor) {
    const struct {
        int status;
        std::optional<std::string> retryAfter;
        int waitsSoFar;
        std::optional<std::chrono::milliseconds> wait;
    } cases[] = {
        {429, "3", 0, 3s},
        {429, std::nullopt, 0, 1s},
        {429, std::nullopt, 1, 2s},
        {429, std::nullopt, 3, 8s},
        {429, std::nullopt, 9, 60s},  // the growing wait stops growing
        {429, "later", 2, 4s},        // unreadable: as if none were given
        {503, "2", 0, 2s},
        {503, "later", 0, 1s},
        {503, std::nullopt, 0, std::nullopt},  // an outage, not a refusal to wait out
        {500, "2", 0, std::nullopt},
        {200, "2", 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RateLimitWait(c.status, c.retryAfter, c.waitsSoFar, kNov6), c.wait)
            << c.status << " " << c.retryAfter.value_or("none") << " " << c.waitsSoFar;
    }
}

// One scripted answer: its status, its header lines, its body.
struct ScriptedAnswer {
    int status = 200;
    std::multimap<std::string, std::string> headers;
    std::string body;
};

// What a request went out as.
struct SentRequest {
    std::string verb;
    std::string host;
    std::string path;
    std::string body;
};

struct Script {
    std::deque<ScriptedAnswer> answers;
    std::vector<SentRequest> sent;
};

class ScriptedRequest final : public net::Request {
  public:
    ScriptedRequest(Script& script, SentRequest request)
        : script_(script), request_(std::move(request)) {}
    bool AddHeader(std::string_view, bool) override { return true; }
    bool Send(std::string_view, std::string_view body) override {
        request_.body = body;
        script_.sent.push_back(request_);
        if (script_.answers.empty()) {
            return false;
        }
        answer_ = script_.answers.front();
        script_.answers.pop_front();
        return true;
    }
    bool BeginSend(std::uint64_t) override { return false; }
    bool Write(std::string_view) override { return false; }
    bool EndSend() override { return false; }
    std::optional<std::string> StatusText() override { return std::to_string(answer_.status); }
    std::optional<std::string> AnswerHeader(std::string_view name) override {
        const auto found = answer_.headers.find(std::string(name));
        return found == answer_.headers.end() ? std::nullopt
                                              : std::optional<std::string>(found->second);
    }
    std::vector<std::string> AnswerHeaders(std::string_view name) override {
        std::vector<std::string> values;
        const auto [first, last] = answer_.headers.equal_range(std::string(name));
        for (auto header = first; header != last; ++header) {
            values.push_back(header->second);
        }
        return values;
    }
    bool BytesAvailable(std::size_t& count) override {
        count = answer_.body.size();
        return true;
    }
    bool Read(std::span<char> buffer, std::size_t& count) override {
        count = std::min(buffer.size(), answer_.body.size());
        std::copy_n(answer_.body.begin(), count, buffer.begin());
        answer_.body.erase(0, count);
        return true;
    }
    bool QuerySecurityFlags(std::uint32_t&) override { return false; }
    bool SetSecurityFlags(std::uint32_t) override { return false; }
    void LimitTime(std::chrono::milliseconds) override {}

  private:
    Script& script_;
    SentRequest request_;
    ScriptedAnswer answer_;
};

class ScriptedConnection final : public net::Connection {
  public:
    ScriptedConnection(Script& script, std::string host)
        : script_(script), host_(std::move(host)) {}
    std::unique_ptr<net::Request> OpenRequest(std::string_view verb, std::string_view path,
                                              std::uint32_t) override {
        return std::make_unique<ScriptedRequest>(
            script_, SentRequest{std::string(verb), host_, std::string(path), {}});
    }

  private:
    Script& script_;
    std::string host_;
};

class ScriptedSession final : public net::Session {
  public:
    explicit ScriptedSession(Script& script) : script_(script) {}
    std::unique_ptr<net::Connection> Connect(std::string_view host, int, std::string_view,
                                             std::string_view) override {
        return std::make_unique<ScriptedConnection>(script_, std::string(host));
    }
    unsigned long LastError() const override { return net::kErrorCannotConnect; }
    void SetStallTimeout(long) override {}

  private:
    Script& script_;
};

ScriptedAnswer TooMany(std::optional<std::string> retryAfter = std::nullopt) {
    ScriptedAnswer answer{429, {}, "<h1>429 Too Many Requests</h1>"};
    if (retryAfter) {
        answer.headers.emplace("Retry-After", *retryAfter);
    }
    return answer;
}

// A request through the scripted answers, with a context whose waits are recorded, not slept.
struct Outcome {
    int code = 0;
    std::string result;
    std::vector<std::chrono::milliseconds> waits;
    std::vector<int> waitLines;  // the seconds the job was told of
    Script script;
    RequestFailure failure;
    bool expired = false;
    bool passwordMet = false;
};

Outcome Send(std::deque<ScriptedAnswer> answers, int method = kMethodPost,
             std::chrono::milliseconds timeBound = 0ms) {
    Outcome run;
    run.script.answers = std::move(answers);
    ScriptedSession session(run.script);
    JobContext context;
    if (timeBound > 0ms) {
        context.timeBound = RequestTimeBound(timeBound);
    }
    context.rateLimitWait = [&run](std::chrono::milliseconds wait) { run.waits.push_back(wait); };
    context.rateLimitWaitMet = [&run](int seconds) { run.waitLines.push_back(seconds); };
    RequestOptions options;
    options.context = &context;
    run.code = HttpRequest(session, run.result, "http://manage.kesto.example/cgi-bin/x", options,
                           method, "a=1", false);
    run.failure = options.failure;
    run.expired = context.loginWatch.LoginExpired();
    run.passwordMet = context.transactionPasswordPage;
    return run;
}

// Refusals are waited out and the very request, body and all, goes again; a refusal ends the
// request after ten waits, when it asks for too long a wait, or when its wait would pass the
// job's time bound (the request then fails as one the bound refused, and no wait begins).
TEST(RateLimitTest, ARefusedRequestGoesAgainAfterTheWaitItAsksFor) {
    const ScriptedAnswer done{200, {}, "ok"};
    std::deque<ScriptedAnswer> endless(kMaxRateLimitWaits + 1, TooMany("0"));
    endless.push_back(done);
    const struct {
        const char* name;
        std::deque<ScriptedAnswer> answers;
        std::chrono::milliseconds timeBound;
        int code;
        std::vector<std::chrono::milliseconds> waits;
        std::size_t sent;
        std::string reason;
    } cases[] = {
        {"waited out",
         {TooMany("3"), TooMany(), {503, {{"Retry-After", "0"}}, ""}, done},
         0ms,
         1,
         {3s, 2s, 0ms},
         4,
         ""},
        {"ten waits", endless, 0ms, -1, std::vector(10, 0ms), 11, "answered 429"},
        {"too long", {TooMany("86400"), done}, 0ms, -1, {}, 1, "answered 429"},
        {"past the bound", {TooMany("30"), done}, 10s, -1, {}, 1, DescribeMissedTimeBound(10s)},
    };
    for (const auto& c : cases) {
        const Outcome run = Send(c.answers, kMethodPost, c.timeBound);
        EXPECT_EQ(run.code, c.code) << c.name;
        EXPECT_EQ(run.waits, c.waits) << c.name;
        EXPECT_EQ(run.waitLines.size(), c.waits.size()) << c.name;
        ASSERT_EQ(run.script.sent.size(), c.sent) << c.name;
        for (const SentRequest& sent : run.script.sent) {
            EXPECT_EQ(sent.verb, "POST") << c.name;
            EXPECT_EQ(sent.body, "a=1") << c.name;
        }
        EXPECT_NE(run.failure.reason.find(c.reason), std::string::npos) << run.failure.reason;
    }
}

// The login entry a request is sent on to is read with a GET: the login form means the login
// expired (and nothing more goes out), the transaction-password page is met as anywhere.
TEST(RateLimitTest, ARedirectToTheLoginEntryTellsAnExpiredLoginFromThePasswordPage) {
    // The pages come in the marketplace's code page.
    const std::string entry = "http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2";
    const ScriptedAnswer loginForm{200, {}, ToMarketplace("<h1>Kesto 用户登录</h1><form></form>")};
    const ScriptedAnswer passwordPage{
        200, {}, ToMarketplace("<h1>交易密码验证</h1><p>请输入交易密码</p>")};
    const struct {
        int method;
        int redirect;
        ScriptedAnswer page;
        bool expired;
        const char* reason;
    } cases[] = {
        {kMethodPost, 302, loginForm, true, kLoginExpiredReason},
        {kMethodGet, 302, loginForm, true, kLoginExpiredReason},
        // Not the body again to the login page, whose answer no caller's rule could judge.
        {kMethodPost, 307, loginForm, true, kLoginExpiredReason},
        {kMethodPost, 302, passwordPage, false, kTransactionPasswordReason},
        {kMethodGet, 302, passwordPage, false, kTransactionPasswordReason},
    };
    for (const auto& c : cases) {
        const ScriptedAnswer redirect{c.redirect, {{"Location", entry}}, ""};
        const Outcome run = Send({redirect, c.page, {200, {}, "never sent"}}, c.method);
        EXPECT_EQ(run.code, -1) << c.reason;
        EXPECT_EQ(run.failure.reason, c.reason);
        EXPECT_EQ(run.expired, c.expired) << c.reason;
        EXPECT_EQ(run.passwordMet, !c.expired) << c.reason;
        ASSERT_EQ(run.script.sent.size(), 2u) << c.reason;
        EXPECT_EQ(run.script.sent[1].verb, "GET");
        EXPECT_EQ(run.script.sent[1].host, "member.kesto.example");
        EXPECT_TRUE(run.script.sent[1].body.empty());
        EXPECT_TRUE(run.result.empty());
    }
}

}  // namespace
}  // namespace kesto
