#pragma once
// kesto-market: the five marketplace hosts behind one HTTP proxy address on loopback. Requests
// arrive in absolute form (through the proxy setting) or in origin form with a Host header;
// requests for the server's own address go to the control interface.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "market-sim/exchange.h"
#include "market-sim/fault_table.h"
#include "market-sim/marketplace.h"
#include "market-sim/request_journal.h"
#include "market-sim/violation_log.h"
#include "market-sim/wire_charset.h"

namespace kesto::sim {

class MarketServer {
  public:
    explicit MarketServer(const std::string& charset = "UTF-8");
    ~MarketServer();
    MarketServer(const MarketServer&) = delete;
    MarketServer& operator=(const MarketServer&) = delete;

    // Binds 127.0.0.1 to the port (0 for any free one); the port bound, or -1.
    int Bind(int port);
    // Serves until Stop (blocking).
    void Listen();
    // Serves on a thread of its own; the bound port accepts connections at once.
    void Start();
    void Stop();

    // Delays every answer of the five hosts (not of the control interface) by this long, as a
    // distant server would; for measuring how the client fares against latency.
    void SetAnswerDelay(std::chrono::milliseconds delay) { answerDelayMs_ = delay.count(); }

    Marketplace& market() { return market_; }
    FaultTable& faults() { return faults_; }
    ViolationLog& violations() { return violations_; }
    RequestJournal& journal() { return journal_; }

  private:
    void Handle(const httplib::Request& request, httplib::Response& response, std::string body);
    // Serves one of the five hosts.
    void Dispatch(Exchange& exchange, const MarketContext& context);
    // Applies a fault set for the path; true when it has answered the request.
    bool ApplyFault(const httplib::Request& request, httplib::Response& response,
                    const std::string& path);

    httplib::Server server_;
    Marketplace market_;
    ViolationLog violations_;
    RequestJournal journal_;
    FaultTable faults_;
    WireCharset charset_;
    std::atomic<long long> answerDelayMs_{0};
    std::thread thread_;
};

}  // namespace kesto::sim
