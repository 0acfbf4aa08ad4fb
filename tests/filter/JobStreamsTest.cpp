// The descriptor sink the filter writes standard output through.
#include "JobStreams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>
#include <thread>

namespace jobtypefilter {
namespace {

std::string drain(int fd) {
    std::string all;
    char chunk[65536];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0) all.append(chunk, static_cast<std::size_t>(n));
    return all;
}

// Writes of every size, mixed with bytes placed into the room, arrive whole and in order.
TEST(FdJobOutput, KeepsTheOrderOfWritesAndRoom) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string expected;
    std::string received;
    std::thread reader([&] { received = drain(fds[0]); });
    {
        FdJobOutput output(fds[1], 1000);
        unsigned char value = 0;
        for (const std::size_t size : {1u, 999u, 1000u, 1001u, 5000u, 0u, 3u, 700u, 300u, 2u}) {
            std::string piece(size, '\0');
            for (char& c : piece) c = static_cast<char>(value++);
            if (size % 2 == 0 && size <= 1000) {
                unsigned char* room = output.room(size);
                ASSERT_NE(room, nullptr);
                std::memcpy(room, piece.data(), size);
                output.wrote(size);
            } else {
                ASSERT_TRUE(output.write(reinterpret_cast<const unsigned char*>(piece.data()),
                                         size));
            }
            expected += piece;
        }
        EXPECT_EQ(output.room(1001), nullptr);  // more than the buffer holds
        EXPECT_TRUE(output.finish());
    }
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_EQ(received, expected);
}

TEST(FdJobOutput, FailsOnceTheReaderHasGone) {
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    FdJobOutput output(fds[1], 64);
    const unsigned char bytes[100] = {};
    EXPECT_TRUE(output.write(bytes, 10));  // still buffered
    EXPECT_FALSE(output.finish());
    EXPECT_EQ(errno, EPIPE);
    EXPECT_FALSE(output.write(bytes, 100));
    EXPECT_EQ(output.room(10), nullptr);
    close(fds[1]);
}

}  // namespace
}  // namespace jobtypefilter
