#include "market/redirect_chain.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "market/answer_reader.h"
#include "market/failure_reason.h"
#include "market/job_context.h"
#include "market/password_request.h"
#include "market/rate_limit.h"
#include "market/redirect_rules.h"
#include "market/url_split.h"
#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/fill_in.h"
#include "support/text_conversion.h"
#include "support/trace_log.h"

namespace kesto {

namespace {

int StatusOf(net::Request& request) {
    const std::optional<std::string> status = request.StatusText();
    return status ? std::atoi(status->c_str()) : 0;
}

// Opens and sends one hop: true when an answer came, false when the chain ends here.
bool SendHop(net::Session& session, JobContext& context, const RequestTarget& target,
             std::string_view verb, bool withBody, const HopSender& send, ChainEnd& end) {
    end.host = target.parts.host;
    end.request.reset();
    end.connection.reset();
    if (!context.timeBound.RequestMayStart(context.lastFailure) ||
        !context.loginWatch.LoginUnchanged(context.lastFailure)) {
        end.outcome = ChainEnd::Outcome::kNotStarted;
        return false;
    }
    end.connection = session.Connect(target.parts.host, target.parts.port, target.parts.user,
                                     target.parts.password);
    if (!end.connection) {
        ProcessTraceLog().Write("Connection fail,err=%d", static_cast<int>(session.LastError()));
        context.lastFailure = {DescribeNetError(session.LastError(), target.parts.host), false,
                               NetErrorCode(session.LastError())};
        end.outcome = ChainEnd::Outcome::kNotConnected;
        return false;
    }
    end.request = end.connection->OpenRequest(verb, target.parts.path, target.flags);
    if (!end.request) {
        context.lastFailure = {DescribeNetError(session.LastError(), target.parts.host), false,
                               NetErrorCode(session.LastError())};
        end.outcome = ChainEnd::Outcome::kNotOpened;
        return false;
    }
    context.timeBound.LimitToTimeLeft(*end.request);
    if (!send(*end.request, target.parts.host, withBody)) {
        end.outcome = ChainEnd::Outcome::kNotSent;
        return false;
    }
    end.status = StatusOf(*end.request);
    const std::vector<std::string> cookies = end.request->AnswerHeaders("Set-Cookie");
    if (context.loginWatch.AnswerEndsLogin(cookies, context.lastFailure)) {
        ProcessTraceLog().Write("Login cookies cleared by an answer from %s", end.host.c_str());
        end.outcome = ChainEnd::Outcome::kRefused;
        return false;
    }
    if (!context.loginWatch.AnswerKeepsLogin(cookies, context.lastFailure)) {
        ProcessTraceLog().Write("Login cookies changed by an answer from %s", end.host.c_str());
        end.outcome = ChainEnd::Outcome::kRefused;
        return false;
    }
    return true;
}

// Sends one hop, and again after each wait a busy marketplace asks for (market/rate_limit.h);
// waits counts the request's waits over all its hops. True when an answer came that is not such a
// refusal, or one that is no longer waited for (too many waits, too long a wait), which the
// caller judges by its status. False when the chain ends here, among others when the wait would
// pass the job's time bound: the request then fails as one the bound refused.
bool SendHopPastRateLimits(net::Session& session, JobContext& context, const RequestTarget& target,
                           std::string_view verb, bool withBody, const HopSender& send,
                           ChainEnd& end, int& waits) {
    for (;;) {
        if (!SendHop(session, context, target, verb, withBody, send, end)) {
            return false;
        }
        const std::optional<std::chrono::milliseconds> wait =
            RateLimitWait(end.status, end.request->AnswerHeader("Retry-After"), waits,
                          std::chrono::system_clock::now());
        if (!wait || waits >= kMaxRateLimitWaits || *wait > kLongestRateLimitWait) {
            return true;
        }
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(*wait);
        ProcessTraceLog().Write("Rate limited,statuscode=%d,wait=%d", end.status,
                                static_cast<int>(seconds.count()));
        if (!context.timeBound.WaitFits(*wait, context.lastFailure)) {
            end.outcome = ChainEnd::Outcome::kNotStarted;
            return false;
        }
        ++waits;
        if (context.rateLimitWaitMet) {
            context.rateLimitWaitMet(static_cast<int>(seconds.count()));
        }
        // The refused request's answer goes before the wait, its connection with it.
        end.request.reset();
        end.connection.reset();
        if (context.rateLimitWait) {
            context.rateLimitWait(*wait);
        }
    }
}

// The login entry a request was sent on to: a GET, without body, to learn which page it is. The
// transaction-password page is met as anywhere (the request fails with its reason); any other
// page there is the login form, so the marketplace no longer knows the login: the request fails,
// the login counts as expired, and no later request of the job starts.
ChainEnd AtLoginEntry(net::Session& session, JobContext& context, const RequestTarget& entry,
                      const HopSender& send, ChainEnd end) {
    ProcessTraceLog().Write("Redirect to the login entry,statuscode=%d", end.status);
    ++end.hop;
    if (!SendHop(session, context, entry, "GET", false, send, end)) {
        return end;
    }
    end.outcome = ChainEnd::Outcome::kRefused;
    const AnswerText page = ReadAnswer(session, context, *end.request, end.host);
    if (!page.whole()) {
        return end;
    }
    const std::string text =
        page.bytes.empty()
            ? std::string()
            : FromMarketplace(page.bytes.data(), static_cast<int>(page.bytes.size()));
    if (MeetsTransactionPassword(context, text)) {
        context.lastFailure = {TransactionPasswordReason(), false, "transaction-password"};
        return end;
    }
    ProcessTraceLog().Write("Login expired: the marketplace answered with its login page");
    context.loginWatch.NoteExpired(context.lastFailure);
    return end;
}

ChainEnd Refused(JobContext& context, ChainEnd end, std::string_view why,
                 bool outcomeUnknown = false) {
    ProcessTraceLog().Write("Redirect refused,statuscode=%d", end.status);
    context.lastFailure = {DescribeRefusedRedirect(end.host, why), outcomeUnknown,
                           "redirect-refused"};
    end.outcome = ChainEnd::Outcome::kRefused;
    return end;
}

}  // namespace

std::optional<RequestTarget> RedirectTarget(std::string_view url, std::uint32_t flags) {
    std::optional<net::UrlParts> parts = SplitUrl(url);
    if (!parts) {
        return std::nullopt;
    }
    const bool secure = StartsWithIgnoringAsciiCase(url, "https://");
    flags = secure ? flags | net::kFlagSecure : flags & ~net::kFlagSecure;
    return RequestTarget{std::string(url), std::move(*parts), flags};
}

ChainEnd SendFollowingRedirects(net::Session& session, JobContext& context,
                                const RequestTarget& first, std::string_view verb,
                                const HopSender& send) {
    ChainEnd end;
    RequestTarget target = first;
    std::string method(verb);
    bool withBody = true;
    int waits = 0;
    for (;; ++end.hop) {
        if (!SendHopPastRateLimits(session, context, target, method, withBody, send, end, waits)) {
            return end;
        }
        const RedirectKind kind = RedirectKindOf(end.status);
        const std::optional<std::string> location = end.request->AnswerHeader("Location");
        const std::optional<std::string> next = kind == RedirectKind::kNone || !location
                                                    ? std::nullopt
                                                    : ResolveLocation(target.url, *location);
        if (!next) {
            end.outcome = ChainEnd::Outcome::kAnswered;
            return end;
        }
        if (std::optional<RequestTarget> entry = RedirectTarget(*next, first.flags);
            entry && IsLoginEntry(entry->parts.host, entry->parts.path)) {
            return AtLoginEntry(session, context, *entry, send, std::move(end));
        }
        if (kind == RedirectKind::kAsGet && method == "POST") {
            // The page a changing request is sent on to tells nothing of the change, which the
            // marketplace may or may not have made.
            return Refused(
                context, std::move(end),
                Translate("instead of answering it (the change may or may not have been made)"),
                true);
        }
        if (end.hop == kMaxRedirects) {
            return Refused(
                context, std::move(end),
                FillIn(Translate("more than {} times"), {std::to_string(kMaxRedirects)}));
        }
        std::optional<RequestTarget> nextTarget = RedirectTarget(*next, first.flags);
        if (!nextTarget || !MayRedirectTo(first.parts.host, nextTarget->parts.host)) {
            return Refused(context, std::move(end),
                           FillIn(Translate("to another site: {}"), {*next}));
        }
        ProcessTraceLog().Write("Redirect,statuscode=%d", end.status);
        if (kind == RedirectKind::kAsGet) {
            method = "GET";
            withBody = false;
        }
        target = std::move(*nextTarget);
    }
}

}  // namespace kesto
