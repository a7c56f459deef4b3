#pragma once
// Reading one answer whole: the one reader of the request layer and the uploader, so that both
// take the same bytes, stop at the same cap and call the same answers broken.

#include <string>
#include <string_view>

#include "platform/net_layer.h"

namespace kesto {

struct JobContext;

// An answer as read: its bytes, and the net error number of a failed read (0 when it was read
// whole). Bytes of an answer that was not read whole are never used.
struct AnswerText {
    std::string bytes;
    unsigned long error = 0;

    bool whole() const { return error == 0; }
};

// Reads the answer in the pieces the request reports as available. It is not whole, with the
// reason recorded as the context's lastFailure and a trace line for the first two, when it is
// longer than net::kMaxAnswerBytes, when it breaks off (a failed read, or fewer bytes than its
// Content-Length header announced: a cut page may hold half an address), or when it is still
// arriving as the job's time bound runs out.
AnswerText ReadAnswer(net::Session& session, JobContext& context, net::Request& request,
                      std::string_view host);

}  // namespace kesto
