#pragma once
// The decoration job's area steps as the marketplace client performs them, over one job's shop
// session.

#include <memory>

#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

// The steps of one real job; the session they share reports to the given sink.
std::unique_ptr<DecorationSteps> MakeMarketplaceSteps(std::shared_ptr<ProgressSink> progress);

}  // namespace kesto
