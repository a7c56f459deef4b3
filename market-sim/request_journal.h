#pragma once
// The requests the marketplace's hosts received, in order, with the status each was answered
// with, so that a test can check the order of a job's requests.

#include <string>

#include "market-sim/bounded_log.h"

namespace kesto::sim {

struct JournalEntry {
    std::string method;
    std::string host;
    std::string path;
    int status = 0;
};

using RequestJournal = BoundedLog<JournalEntry, 10000>;

}  // namespace kesto::sim
