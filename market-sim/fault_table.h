#pragma once
// Misbehaviour on demand: an endpoint can be told to answer 500, to answer a gateway's 502 page,
// to drop the connection, to cut it off after the answer's first line, to stall before answering
// (and then answer), or to ask for the transaction password.

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::sim {

// kErrorPage: a proxy's or gateway's "502 Bad Gateway" page, which carries no error code of
// the marketplace's own. kDrop: the connection closes before a byte of answer, which an HTTP
// client may take for a kept-alive connection the server had closed, and send the request again
// on another one. kCut: the connection closes after the answer's status line, which no client
// sends again.
// kGarbage: status 200 with a body no reader of the marketplace's answers can make sense of.
// kRelogin: the request is answered as usual, and the answer logs the client in as the other
// demo account (10002), setting its login cookies.
enum class FaultKind { kError, kDrop, kStall, kPassword, kErrorPage, kCut, kGarbage, kRelogin };

struct Fault {
    FaultKind kind = FaultKind::kError;
    int seconds = 0;  // how long a stall lasts
    int count = -1;   // how many requests it hits; -1 for all
    int skip = 0;     // how many requests pass untouched before it hits
};

struct FaultSetting {
    std::string endpoint;  // the last segment of the path ("picbanneredit") or the whole path
    Fault fault;
};

// "endpoint=kind[:seconds][*count][+skip]", for example "picbanneredit=error", "UpReq=stall:5",
// "photomanage=password", "moduleedit=drop*1", "picbanneredit=errorpage", "update=error*3+1"
// (the first request passes, the next three fail). No value when malformed.
std::optional<FaultSetting> ParseFaultSetting(std::string_view text);
std::string_view FaultKindName(FaultKind kind);

class FaultTable {
  public:
    void Set(FaultSetting setting);
    void Clear();
    std::vector<FaultSetting> Snapshot() const;
    // The fault that hits this request's path, counting it down; no value when none does.
    std::optional<Fault> Take(std::string_view path);
    // Waits out a stall; returns early when the server stops.
    void Stall(int seconds);
    void WakeStalls();

  private:
    mutable std::mutex mutex_;
    std::map<std::string, Fault> faults_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

}  // namespace kesto::sim
