#pragma once
// Posting a job's progress messages to where its shop session says they go.

#include "job/progress.h"

namespace kesto {

struct ShopSession;

// Posts the message to the session's sink; nowhere when it has none.
void PostProgress(const ShopSession& session, ProgressMessage message);

}  // namespace kesto
