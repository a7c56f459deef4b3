#pragma once
// How long and how much the server waits for its clients. Waiting for a request (its head, then
// its body) costs a poll entry, not a worker, so many slow or idle clients cannot keep the others
// from an answer; a request gets a worker only once it is whole, and the worker waits for the
// client to take the answer no longer than the limits below.

#include <chrono>
#include <cstddef>

namespace kesto::sim {

struct ConnectionLimits {
    // Connections open at once. A new one beyond this ends the connection that has waited longest
    // for its next request; with none waiting, the new one is closed at once.
    std::size_t maxConnections = 512;
    // A request's head (request line and header lines) must have arrived this long after the
    // connection opened or answered its previous request; else it is closed (with 408 when part
    // of a head came).
    std::chrono::milliseconds headTime{10000};
    // A head larger than this is refused with 431.
    std::size_t maxHeadBytes = 64 * 1024;
    // A request body larger than this (as announced, or as its chunks add up) is refused with 413.
    std::size_t maxBodyBytes = 8 * 1024 * 1024;
    // Bytes of requests held at once by all the connections still waiting for a body; a
    // connection whose bytes would take the total beyond this is refused with 503.
    std::size_t maxBufferedBytes = 256 * 1024 * 1024;
    // A request's body must have arrived this long after its head, and its answer be written
    // within this; else the connection is closed (with 408 for the body).
    std::chrono::milliseconds exchangeTime{30000};
    // No single wait for the client to take bytes of an answer lasts longer.
    std::chrono::milliseconds ioTime{10000};
    // Threads that answer requests that have arrived whole.
    std::size_t workers = 32;
    // Requests answered on one connection before it is closed.
    std::size_t requestsPerConnection = 100;
};

}  // namespace kesto::sim
