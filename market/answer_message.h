#pragma once
// The marketplace's own words in an answer that refuses a request: the "msg" (or "message")
// member of a JSON answer, or the <msg> (or <message>) element of an XML one. A refusal's reason
// quotes them, so that the shop owner reads why ("the album is full"), not only the status.

#include <string>
#include <string_view>

namespace kesto {

// The answer's message on one line: white space and control characters run together as one
// blank, trimmed, at most 200 bytes (cut between characters, "..." added); empty when the answer
// carries none.
std::string AnswerMessage(std::string_view answer);

// reason followed by the message of the answer (its bytes as they came, in the marketplace's code
// page) in parentheses and quotes, or reason alone.
std::string WithAnswerMessage(std::string reason, std::string_view answerBytes);

}  // namespace kesto
