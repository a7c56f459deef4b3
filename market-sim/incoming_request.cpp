#include "market-sim/incoming_request.h"

#include "market-sim/request_head.h"

namespace kesto::sim {
namespace {

constexpr std::string_view kHeadEnd = "\r\n\r\n";
constexpr std::string_view kTooLarge = "413 Content Too Large";

std::string TooLargeReason(std::size_t maxBytes) {
    return "the request body is larger than " + std::to_string(maxBytes) + " bytes";
}

}  // namespace

IncomingRequest::Progress IncomingRequest::Update(const std::string& received) {
    if (progress_ == Progress::kHead) {
        FindHead(received);
    }
    if (progress_ == Progress::kBody) {
        FindBodyEnd(received);
    }
    return progress_;
}

void IncomingRequest::FindHead(const std::string& received) {
    // The head's end may straddle what came before and what came now.
    const std::size_t from = searched_ >= kHeadEnd.size() ? searched_ - (kHeadEnd.size() - 1) : 0;
    const std::size_t end = received.find(kHeadEnd, from);
    searched_ = received.size();
    if (end == std::string::npos || end > limits_->maxHeadBytes) {
        if (received.size() > limits_->maxHeadBytes) {
            Refuse("431 Request Header Fields Too Large",
                   "the request's head is larger than " + std::to_string(limits_->maxHeadBytes) +
                       " bytes");
        }
        return;
    }
    headBytes_ = end + kHeadEnd.size();
    const BodyFraming framing = FrameOfBody(std::string_view(received).substr(0, end));
    continueExpected_ = framing.continueExpected;
    switch (framing.kind) {
        case BodyFraming::Kind::kRefused:
            Refuse("400 Bad Request", framing.problem);
            return;
        case BodyFraming::Kind::kNone:
            size_ = headBytes_;
            progress_ = Progress::kWhole;
            return;
        case BodyFraming::Kind::kLength:
            if (framing.length > limits_->maxBodyBytes) {
                Refuse(kTooLarge, TooLargeReason(limits_->maxBodyBytes));
                return;
            }
            size_ = headBytes_ + static_cast<std::size_t>(framing.length);
            break;
        case BodyFraming::Kind::kChunked:
            chunked_.emplace(limits_->maxBodyBytes);
            break;
    }
    progress_ = Progress::kBody;
}

void IncomingRequest::FindBodyEnd(const std::string& received) {
    if (!chunked_) {
        if (received.size() >= size_) {
            progress_ = Progress::kWhole;
        }
        return;
    }
    switch (chunked_->Scan(std::string_view(received).substr(headBytes_))) {
        case ChunkedBody::State::kIncomplete:
            return;
        case ChunkedBody::State::kComplete:
            size_ = headBytes_ + chunked_->size();
            progress_ = Progress::kWhole;
            return;
        case ChunkedBody::State::kMalformed:
            Refuse("400 Bad Request", "the request's chunked body is malformed");
            return;
        case ChunkedBody::State::kTooLarge:
            Refuse(kTooLarge, TooLargeReason(limits_->maxBodyBytes));
            return;
    }
}

void IncomingRequest::Refuse(std::string_view status, std::string reason) {
    progress_ = Progress::kRefused;
    refusalStatus_ = status;
    refusalReason_ = std::move(reason);
}

}  // namespace kesto::sim
