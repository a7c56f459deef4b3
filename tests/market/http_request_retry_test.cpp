// The certificate-error retries, over a scripted net layer: the errors cannot be provoked on
// plain HTTP.

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "market/failure_reason.h"
#include "market/http_request.h"
#include "market/job_context.h"

namespace kesto {
namespace {

// Fails the sends with the scripted errors, then answers 200 with "done"; records the security
// flags of every send.
struct Script {
    std::deque<unsigned long> errors;
    std::vector<std::uint32_t> securityAtSend;
    unsigned long lastError = 0;
};

class ScriptedRequest final : public net::Request {
  public:
    explicit ScriptedRequest(Script& script) : script_(script) {}
    bool AddHeader(std::string_view, bool) override { return true; }
    bool Send(std::string_view, std::string_view) override {
        script_.securityAtSend.push_back(security_);
        if (script_.errors.empty()) {
            return true;
        }
        script_.lastError = script_.errors.front();
        script_.errors.pop_front();
        return false;
    }
    bool BeginSend(std::uint64_t) override { return false; }
    bool Write(std::string_view) override { return false; }
    bool EndSend() override { return false; }
    std::optional<std::string> StatusText() override { return "200"; }
    std::optional<std::string> AnswerHeader(std::string_view) override { return std::nullopt; }
    std::vector<std::string> AnswerHeaders(std::string_view) override { return {}; }
    bool BytesAvailable(std::size_t& count) override {
        count = answer_.size();
        return true;
    }
    bool Read(std::span<char> buffer, std::size_t& count) override {
        count = std::min(buffer.size(), answer_.size());
        std::copy_n(answer_.begin(), count, buffer.begin());
        answer_.erase(0, count);
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
    void LimitTime(std::chrono::milliseconds) override {}

  private:
    Script& script_;
    std::uint32_t security_ = 0;
    std::string answer_ = "done";
};

class ScriptedConnection final : public net::Connection {
  public:
    explicit ScriptedConnection(Script& script) : script_(script) {}
    std::unique_ptr<net::Request> OpenRequest(std::string_view, std::string_view,
                                              std::uint32_t) override {
        return std::make_unique<ScriptedRequest>(script_);
    }

  private:
    Script& script_;
};

class ScriptedSession final : public net::Session {
  public:
    explicit ScriptedSession(Script& script) : script_(script) {}
    std::unique_ptr<net::Connection> Connect(std::string_view, int, std::string_view,
                                             std::string_view) override {
        return std::make_unique<ScriptedConnection>(script_);
    }
    unsigned long LastError() const override { return script_.lastError; }
    void SetStallTimeout(long) override {}

  private:
    Script& script_;
};

TEST(HttpRequestRetry, EachCertificateErrorAddsItsIgnoreFlagOnce) {
    constexpr auto kCa = net::kSecurityIgnoreUnknownCa;
    constexpr auto kCn = net::kSecurityIgnoreCertCnInvalid;
    constexpr auto kRevocation = net::kSecurityIgnoreRevocation;
    const struct {
        std::deque<unsigned long> errors;
        int code;
        std::vector<std::uint32_t> securityAtSend;
    } cases[] = {
        {{net::kErrorInvalidCa, net::kErrorCertCnInvalid}, 1, {0, kCa, kCa | kCn}},
        {{net::kErrorCertRevocationFailed}, 1, {0, kRevocation}},
        {{net::kErrorCannotConnect}, -1, {0}},
        // The same error after its flag is set would repeat for ever: the request fails.
        {{net::kErrorInvalidCa, net::kErrorInvalidCa}, -1, {0, kCa}},
    };
    for (const auto& c : cases) {
        Script script{c.errors, {}, 0};
        ScriptedSession session(script);
        RequestOptions options;
        std::string result;
        EXPECT_EQ(HttpRequest(session, result, "https://manage.kesto.example/x", options,
                              kMethodGet, nullptr, false),
                  c.code);
        EXPECT_EQ(script.securityAtSend, c.securityAtSend);
        EXPECT_EQ(result, c.code == 1 ? "done" : "");
    }
}

TEST(HttpRequestRetry, OnlyATimeOutLeavesTheOutcomeUnknown) {
    const struct {
        std::deque<unsigned long> errors;
        bool unknown;
    } cases[] = {
        {{net::kErrorTimeout}, true},
        {{net::kErrorCannotConnect}, false},
        {{net::kErrorConnectionReset}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        JobContext context;
        context.lastFailure = {"an earlier failure", true};
        Script script{c.errors, {}, 0};
        ScriptedSession session(script);
        RequestOptions options;
        options.context = &context;
        std::string result;
        HttpRequest(session, result, "http://manage.kesto.example/x", options, kMethodGet, nullptr,
                    false);
        EXPECT_EQ(options.failure.outcomeUnknown, c.unknown) << options.failure.reason;
        EXPECT_EQ(context.lastFailure.outcomeUnknown, c.unknown) << context.lastFailure.reason;
    }
}

}  // namespace
}  // namespace kesto
