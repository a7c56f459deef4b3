#include "market-sim/connection_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace kesto::sim::testing {
namespace {

// Everything the peer receives until the other end closes.
std::string ReadToEnd(int socket) {
    std::string bytes;
    char buffer[8192];
    ssize_t got = 0;
    while ((got = recv(socket, buffer, sizeof(buffer), 0)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

// What the library writes for an answer (its head, then its body in pieces) reaches the client
// unchanged, and nothing of it before the stream is flushed, so that a small answer leaves in
// one send; a large one is sent as it is written and waits for a client that reads slowly.
TEST(ConnectionStreamTest, AnAnswerLeavesWholeAndOnlyWhenFlushedOrLarge) {
    struct Case {
        const char* name;
        std::vector<std::size_t> pieces;  // sizes of the writes after the head
        bool heldUntilFlushed;
    };
    const Case cases[] = {
        {"head only", {}, true},
        {"head and body", {132}, true},
        {"body in pieces", {100, 1, 4000}, true},
        {"a body larger than the socket takes at once", {3 * 1024 * 1024}, false},
    };
    for (const Case& test : cases) {
        int ends[2] = {-1, -1};
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        // The server's end does not block, as the connections the gate accepts; the client's does.
        ASSERT_EQ(fcntl(ends[0], F_SETFL, O_NONBLOCK), 0);
        FileDescriptor client(ends[1]);
        std::atomic<std::size_t> open{1};
        Connection connection{FileDescriptor(ends[0]), open};
        const ConnectionLimits limits;

        std::string expected = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
        std::string received;
        std::thread reader;
        {
            ConnectionStream stream(connection, limits);
            ASSERT_TRUE(stream.is_writable());
            ASSERT_EQ(stream.write(expected.data(), expected.size()),
                      static_cast<ssize_t>(expected.size()));
            if (!test.heldUntilFlushed) {
                // A reader on a thread of its own: the body fills the socket before it is read.
                reader = std::thread([&received, &client] { received = ReadToEnd(client.get()); });
            }
            char fill = 'a';
            for (const std::size_t size : test.pieces) {
                const std::string piece(size, fill++);
                ASSERT_EQ(stream.write(piece.data(), piece.size()),
                          static_cast<ssize_t>(piece.size()))
                    << test.name;
                expected += piece;
            }
            if (test.heldUntilFlushed) {
                char byte = 0;
                EXPECT_EQ(recv(client.get(), &byte, 1, MSG_DONTWAIT), -1) << test.name;
            }
            EXPECT_TRUE(stream.Flush()) << test.name;
        }
        connection.Close();
        if (reader.joinable()) {
            reader.join();
        } else {
            received = ReadToEnd(client.get());
        }
        EXPECT_EQ(received.size(), expected.size()) << test.name;
        EXPECT_TRUE(received == expected) << test.name;
    }
}

// A client gone before the answer is sent: the flush fails and the stream takes no more bytes.
TEST(ConnectionStreamTest, AFailedSendEndsTheAnswer) {
    int ends[2] = {-1, -1};
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends), 0);
    std::atomic<std::size_t> open{1};
    Connection connection{FileDescriptor(ends[0]), open};
    FileDescriptor(ends[1]).Close();
    const ConnectionLimits limits;
    ConnectionStream stream(connection, limits);
    const std::string head = "HTTP/1.1 200 OK\r\n\r\n";
    EXPECT_EQ(stream.write(head.data(), head.size()), static_cast<ssize_t>(head.size()));
    EXPECT_FALSE(stream.Flush());
    EXPECT_FALSE(stream.is_writable());
    EXPECT_EQ(stream.write(head.data(), head.size()), -1);
}

}  // namespace
}  // namespace kesto::sim::testing
