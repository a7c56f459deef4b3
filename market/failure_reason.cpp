#include "market/failure_reason.h"

#include <utility>

#include "platform/net_layer.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

// The text followed by the error's number where the system names its errors by number.
std::string WithErrorNumber(std::string text, unsigned long error) {
    const std::string label = net::ErrorNumberLabel(error);
    return label.empty() ? text : FillIn(Translate("{} ({})"), {text, label});
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
            return WithErrorNumber(FillIn(Translate("no answer from {} within {} s: run again"),
                                          {name, std::to_string(net::kStallTimeoutSeconds)}),
                                   error);
        case net::kErrorNameNotResolved:
            return WithErrorNumber(
                FillIn(Translate("{} could not be found: check the proxy settings"), {name}),
                error);
        case net::kErrorCannotConnect:
            return WithErrorNumber(
                FillIn(Translate("could not connect to {} (the proxy or the network refused the "
                                 "connection): check the proxy settings"),
                       {name}),
                error);
        case net::kErrorConnectionAborted:
        case net::kErrorConnectionReset:
            return WithErrorNumber(
                FillIn(Translate("the connection to {} was cut off: run again"), {name}), error);
        case net::kErrorCertCnInvalid:
        case net::kErrorInvalidCa:
        case net::kErrorCertRevocationFailed:
            return WithErrorNumber(
                FillIn(
                    Translate("the certificate of {} was not accepted: check the proxy settings"),
                    {name}),
                error);
        default:
            return WithErrorNumber(FillIn(Translate("the request to {} failed: run again"), {name}),
                                   error);
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
