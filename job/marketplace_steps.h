#pragma once
// The decoration job's area steps as the marketplace client performs them, over one job's shop
// session.

#include <memory>

#include "job/decoration_job.h"
#include "job/progress.h"

namespace kesto {

// The steps of one real job; the session they share reports to the given sink.
// parallelUploads: how many picture uploads of an area may be under way at once.
std::unique_ptr<DecorationSteps> MakeMarketplaceSteps(std::shared_ptr<ProgressSink> progress,
                                                      int parallelUploads = 1);

}  // namespace kesto
