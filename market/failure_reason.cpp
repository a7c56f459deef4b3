#include "market/failure_reason.h"

#include <utility>

#include "platform/net_layer.h"

namespace kesto {

namespace {

// The text followed by the error's number where the system names its errors by number.
std::string WithErrorNumber(std::string text, unsigned long error) {
    const std::string label = net::ErrorNumberLabel(error);
    return label.empty() ? text : std::move(text) + " (" + label + ")";
}

}  // namespace

std::string DescribeNetError(unsigned long error, std::string_view host) {
    const std::string name(host);
    switch (error) {
        case net::kErrorTimeout:
            return WithErrorNumber("no answer from " + name + " within " +
                                       std::to_string(net::kStallTimeoutSeconds) + " s",
                                   error);
        case net::kErrorNameNotResolved:
            return WithErrorNumber(name + " could not be found: check the proxy settings", error);
        case net::kErrorCannotConnect:
            return WithErrorNumber("could not connect to " + name +
                                       ": the proxy or the network refused the connection",
                                   error);
        case net::kErrorConnectionAborted:
        case net::kErrorConnectionReset:
            return WithErrorNumber("the connection to " + name + " was cut off", error);
        case net::kErrorCertCnInvalid:
        case net::kErrorInvalidCa:
        case net::kErrorCertRevocationFailed:
            return WithErrorNumber("the certificate of " + name + " was not accepted", error);
        default:
            return WithErrorNumber("the request to " + name + " failed", error);
    }
}

std::string DescribeStatus(int status, std::string_view host) {
    if (status <= 0) {
        return std::string(host) + " sent no readable answer";
    }
    return std::string(host) + " answered " + std::to_string(status);
}

std::string DescribeOversizedAnswer(std::string_view host) {
    return std::string(host) + " answered more than " + std::to_string(net::kMaxAnswerBytes >> 20) +
           " MiB";
}

std::string DescribeCutOffAnswer(std::string_view host, std::uint64_t received,
                                 std::uint64_t announced) {
    return "the answer from " + std::string(host) + " broke off after " + std::to_string(received) +
           " of " + std::to_string(announced) + " bytes";
}

std::string DescribeRefusedRedirect(std::string_view host, std::string_view why) {
    return std::string(host) + " redirected the request " + std::string(why);
}

std::string WithReason(std::string_view step, std::string_view reason) {
    std::string text(step);
    if (!reason.empty()) {
        text.append(": ").append(reason);
    }
    return text;
}

}  // namespace kesto
