#pragma once
// kesto-market: the five marketplace hosts behind one HTTP proxy address on loopback. Requests
// arrive in absolute form (through the proxy setting) or in origin form with a Host header;
// requests in origin form for the server's own address go to the control interface.
// Connections wait in a gate until a request has arrived whole, head and body; a pool of workers
// answers each with the HTTP library's parsing and routing, reading the request from memory.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "market-sim/answer_mode.h"
#include "market-sim/connection_gate.h"
#include "market-sim/connection_limits.h"
#include "market-sim/exchange.h"
#include "market-sim/fault_table.h"
#include "market-sim/marketplace.h"
#include "market-sim/request_journal.h"
#include "market-sim/violation_log.h"
#include "market-sim/wire_charset.h"

namespace kesto::sim {

class MarketServer {
  public:
    explicit MarketServer(const std::string& charset = "UTF-8",
                          const ConnectionLimits& limits = {});
    ~MarketServer();
    MarketServer(const MarketServer&) = delete;
    MarketServer& operator=(const MarketServer&) = delete;

    // Binds 127.0.0.1 to the port (0 for any free one); the port bound, or -1.
    int Bind(int port);
    // Serves until Stop (blocking).
    void Listen();
    // Serves on a thread of its own; the bound port accepts connections at once.
    void Start();
    // Ends Listen, closes every connection waiting for a request and lets the workers finish
    // the requests in hand. Any thread may call it, more than once.
    void Stop();

    // Delays every answer of the five hosts (not of the control interface) by this long after
    // its request arrived, as a distant server would; for measuring how the client fares
    // against latency.
    void SetAnswerDelay(std::chrono::milliseconds delay) { answerDelayMs_ = delay.count(); }

    // What later success answers carry (rich until set); any thread may change it.
    void SetAnswerMode(AnswerMode mode) { answerMode_ = mode; }
    AnswerMode answerMode() const { return answerMode_; }

    // Whether a category update that would give two top-level categories the same name is
    // refused (409) rather than taken, as it is by default.
    void SetRefuseDuplicateCategoryNames(bool refuse) {
        market_.SetRefuseDuplicateCategoryNames(refuse);
    }

    // Connections open now, waiting for a request or being answered.
    std::size_t OpenConnections() const { return gate_.OpenConnections(); }

    Marketplace& market() { return market_; }
    FaultTable& faults() { return faults_; }
    ViolationLog& violations() { return violations_; }
    RequestJournal& journal() { return journal_; }

  private:
    // The library's request handling (parsing, routing, writing the answer) for one request on
    // a connection the server manages itself.
    class RequestRouter : public httplib::Server {
      public:
        // False when the connection is to close after the answer (or has failed).
        bool Serve(httplib::Stream& stream, bool closeAfter) {
            bool closed = false;
            return process_request(stream, closeAfter, closed, nullptr) && !closed && !closeAfter;
        }
    };

    // On a worker: answers the connection's request, then gives it back to the gate.
    void Serve(Connection connection);
    void Handle(const httplib::Request& request, httplib::Response& response, std::string body);
    // Serves one of the five hosts.
    void Dispatch(Exchange& exchange, const MarketContext& context);
    // Applies a fault set for the path on the host; true when it has answered the request.
    bool ApplyFault(const httplib::Request& request, httplib::Response& response,
                    const std::string& host, const std::string& path);
    // Sets the login cookies of the other demo account on the answer.
    void SetOtherLogin(httplib::Response& response);
    // Ends the login session the request names and sends it on to the login entry.
    void ExpireLogin(const httplib::Request& request, httplib::Response& response);

    ConnectionLimits limits_;
    RequestRouter router_;
    Marketplace market_;
    ViolationLog violations_;
    RequestJournal journal_;
    FaultTable faults_;
    WireCharset charset_;
    std::atomic<long long> answerDelayMs_{0};
    std::atomic<AnswerMode> answerMode_{AnswerMode::kRich};
    std::unique_ptr<httplib::ThreadPool> workers_;
    std::once_flag workersStopped_;
    ConnectionGate gate_;
    std::thread thread_;
};

}  // namespace kesto::sim
