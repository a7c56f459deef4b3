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
// kRateLimit ("429"): the request is refused as too many, not carried out: status 429, with a
// Retry-After header of the seconds when they are given, without one otherwise.
// kExpire: the login session the request names ends; the request is not carried out but sent on
// to the member host's login entry, which shows the login form; in the rich answer mode the
// answer also clears the login cookies. Later requests of that session are refused, as those of
// any session that has ended.
enum class FaultKind {
    kError,
    kDrop,
    kStall,
    kPassword,
    kErrorPage,
    kCut,
    kGarbage,
    kRelogin,
    kRateLimit,
    kExpire,
};

struct Fault {
    FaultKind kind = FaultKind::kError;
    int seconds = 0;  // how long a stall lasts; the Retry-After of a 429, -1 for none
    int count = -1;   // how many requests it hits; -1 for all
    int skip = 0;     // how many requests pass untouched before it hits
    int every = 1;    // after the skip, it hits one request in every (the every-th, ...)
    int passed = 0;   // requests passed since its last hit, towards every
};

// The endpoint that stands for every request of the five hosts, for a fault that hits the n-th
// request whatever it is ("*=expire+12": the thirteenth request ends the login). A fault set for
// the request's own endpoint comes first.
inline constexpr char kAnyEndpoint[] = "*";

struct FaultSetting {
    std::string endpoint;  // the last segment of the path ("picbanneredit"), the whole path, or *
    Fault fault;
};

// "endpoint=kind[:seconds][*count][+skip][%every]", for example "picbanneredit=error",
// "UpReq=stall:5", "photomanage=password", "moduleedit=drop*1", "picbanneredit=errorpage",
// "update=error*3+1" (the first request passes, the next three fail), "UploadPicActivex=429:2*1"
// (one 429 asking for a wait of 2 s), "showjson=429*2" (two without Retry-After), "*=expire+5" (the
// sixth request ends the login), "UploadPicActivex=429:0%5" (every fifth picture refused once: the
// fifth, the tenth, ...; a count then counts the hits). Seconds go with stall (required) and 429
// (optional) only. No value when malformed.
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
