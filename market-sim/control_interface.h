#pragma once
// The control interface for tests, on the server's own loopback address (no proxy host):
//   GET  /control/shops/<user number>                 the shop's state as JSON
//   POST /control/shops/<user number>/reset           back to the shop the server started with
//   POST /control/shops/<user number>/password?required=1|0   the transaction-password switch
//   GET  /control/violations                          the refused requests with their reasons
//   POST /control/violations/clear
//   GET  /control/faults                              the faults set
//   POST /control/faults?set=<endpoint>=<kind>[:seconds][*count][+skip][%every]
//        endpoint: the path's last segment, the whole path, or * for any request of the five
//        hosts; kind: error, errorpage, drop, cut, garbage, relogin, password, stall:SECONDS,
//        429[:SECONDS] (too many requests, with Retry-After when SECONDS are given), expire (the
//        login session ends: the request goes on to the login entry; "*=expire+N" ends it at the
//        request after N) (market-sim/fault_table.h)
//   POST /control/faults/clear
//   GET  /control/requests                            the hosts' requests in order, with status
//   POST /control/requests/clear
//   GET  /control/answers                             the answer mode: rich or documented
//   POST /control/answers?mode=rich|documented

#include <atomic>

#include "market-sim/answer_mode.h"
#include "market-sim/exchange.h"
#include "market-sim/fault_table.h"
#include "market-sim/request_journal.h"

namespace kesto::sim {

// What the control interface manages besides the marketplace's state.
struct ControlTargets {
    FaultTable& faults;
    RequestJournal& journal;
    std::atomic<AnswerMode>& answerMode;
};

void HandleControl(Exchange& exchange, const MarketContext& context, const ControlTargets& targets);

}  // namespace kesto::sim
