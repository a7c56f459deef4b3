#include "market/failure_reason.h"

#include <utility>

#include "platform/net_layer.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

// What went wrong, the system's number for the error where it names errors by number, then what
// the user can do about it: "the connection to x was cut off (error 12030): run again".
std::string Advised(std::string what, unsigned long error, std::string_view action) {
    const std::string number = net::ErrorNumberLabel(error);
    if (!number.empty()) {
        // TRANSLATORS: what went wrong, then the system's number for the error.
        what = FillIn(Translate("{} (error {})"), {what, number});
    }
    // TRANSLATORS: what went wrong, then what to do about it.
    return FillIn(Translate("{}: {}"), {what, action});
}

std::string RunAgain() {
    return Translate("run again");
}

std::string CheckTheProxy() {
    return Translate("check the proxy settings");
}

}  // namespace

const char* NetErrorCode(unsigned long error) {
    switch (error) {
        case net::kErrorTimeout:
            return "no-answer";
        case net::kErrorNameNotResolved:
            return "host-not-found";
        case net::kErrorCannotConnect:
            return "cannot-connect";
        case net::kErrorConnectionAborted:
        case net::kErrorConnectionReset:
            return "connection-cut";
        case net::kErrorCertCnInvalid:
        case net::kErrorInvalidCa:
        case net::kErrorCertRevocationFailed:
            return "certificate";
        default:
            return "request-failed";
    }
}

const char* StatusCode(int status) {
    return status <= 0 ? "unreadable-answer" : "status";
}

std::string DescribeNetError(unsigned long error, std::string_view host) {
    const std::string name(host);
    switch (error) {
        case net::kErrorTimeout:
            return Advised(FillIn(Translate("no answer from {} within {} s"),
                                  {name, std::to_string(net::kStallTimeoutSeconds)}),
                           error, RunAgain());
        case net::kErrorNameNotResolved:
            return Advised(FillIn(Translate("{} could not be found"), {name}), error,
                           CheckTheProxy());
        case net::kErrorCannotConnect:
            return Advised(FillIn(Translate("could not connect to {} (the proxy or the network "
                                            "refused the connection)"),
                                  {name}),
                           error, CheckTheProxy());
        case net::kErrorConnectionAborted:
        case net::kErrorConnectionReset:
            return Advised(FillIn(Translate("the connection to {} was cut off"), {name}), error,
                           RunAgain());
        case net::kErrorCertCnInvalid:
        case net::kErrorInvalidCa:
        case net::kErrorCertRevocationFailed:
            return Advised(FillIn(Translate("the certificate of {} was not accepted"), {name}),
                           error, CheckTheProxy());
        default:
            return Advised(FillIn(Translate("the request to {} failed"), {name}), error,
                           RunAgain());
    }
}

std::string DescribeStatus(int status, std::string_view host) {
    if (status <= 0) {
        return FillIn(Translate("{} sent no readable answer: run again"), {host});
    }
    return FillIn(Translate("{} answered {}"), {host, std::to_string(status)});
}

std::string DescribeOversizedAnswer(std::string_view host) {
    return FillIn(Translate("{} answered more than {} MiB"),
                  {host, std::to_string(net::kMaxAnswerBytes >> 20)});
}

std::string DescribeCutOffAnswer(std::string_view host, std::uint64_t received,
                                 std::uint64_t announced) {
    return FillIn(Translate("the answer from {} broke off after {} of {} bytes: run again"),
                  {host, std::to_string(received), std::to_string(announced)});
}

std::string DescribeRefusedRedirect(std::string_view host, std::string_view why) {
    return FillIn(Translate("{} redirected the request {}"), {host, why});
}

std::string WithReason(std::string_view step, std::string_view reason) {
    if (reason.empty()) {
        return std::string(step);
    }
    // TRANSLATORS: a step, then why it failed ("uploading the shop sign a.jpg: ...").
    return FillIn(Translate("{}: {}"), {step, reason});
}

}  // namespace kesto
