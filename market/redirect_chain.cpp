#include "market/redirect_chain.h"

#include <cstdlib>

#include "market/failure_reason.h"
#include "market/job_context.h"
#include "market/redirect_rules.h"
#include "market/url_split.h"
#include "support/ascii_text.h"
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
        context.lastFailure = {DescribeNetError(session.LastError(), target.parts.host)};
        end.outcome = ChainEnd::Outcome::kNotConnected;
        return false;
    }
    end.request = end.connection->OpenRequest(verb, target.parts.path, target.flags);
    if (!end.request) {
        context.lastFailure = {DescribeNetError(session.LastError(), target.parts.host)};
        end.outcome = ChainEnd::Outcome::kNotOpened;
        return false;
    }
    context.timeBound.LimitToTimeLeft(*end.request);
    if (!send(*end.request, target.parts.host, withBody)) {
        end.outcome = ChainEnd::Outcome::kNotSent;
        return false;
    }
    end.status = StatusOf(*end.request);
    if (!context.loginWatch.AnswerKeepsLogin(end.request->AnswerHeaders("Set-Cookie"),
                                             context.lastFailure)) {
        ProcessTraceLog().Write("Login cookies changed by an answer from %s", end.host.c_str());
        end.outcome = ChainEnd::Outcome::kRefused;
        return false;
    }
    return true;
}

ChainEnd Refused(JobContext& context, ChainEnd end, std::string_view why,
                 bool outcomeUnknown = false) {
    ProcessTraceLog().Write("Redirect refused,statuscode=%d", end.status);
    context.lastFailure = {DescribeRefusedRedirect(end.host, why), outcomeUnknown};
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
    for (;; ++end.hop) {
        if (!SendHop(session, context, target, method, withBody, send, end)) {
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
        if (kind == RedirectKind::kAsGet && method == "POST") {
            // The page a changing request is sent on to tells nothing of the change, which the
            // marketplace may or may not have made.
            return Refused(context, std::move(end),
                           "instead of answering it (the change may or may not have been made)",
                           true);
        }
        if (end.hop == kMaxRedirects) {
            return Refused(context, std::move(end),
                           "more than " + std::to_string(kMaxRedirects) + " times");
        }
        std::optional<RequestTarget> nextTarget = RedirectTarget(*next, first.flags);
        if (!nextTarget || !MayRedirectTo(first.parts.host, nextTarget->parts.host)) {
            return Refused(context, std::move(end), "to another site: " + *next);
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
