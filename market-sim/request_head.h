#pragma once
// Corrections to a request head before the HTTP library parses it.

#include <string>

namespace kesto::sim {

// A request without Content-Length and Transfer-Encoding has no body (RFC 9112, 6.3), but the
// HTTP library reads the body of such a POST, PUT, PATCH or DELETE until the connection closes:
// a plain `curl -X POST` would wait for the body time-out and be refused. This adds
// "Content-Length: 0" to the first head in `received` (a whole head, as the connection gate
// hands it on) when it is such a request; any other head is left as it is.
void DeclareEmptyBodies(std::string& received);

}  // namespace kesto::sim
