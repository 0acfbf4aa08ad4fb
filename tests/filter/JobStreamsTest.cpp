// The descriptor streams the filter reads its job from and writes standard output through.
#include "JobStreams.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

namespace jobtypefilter {
namespace {

using testing::drain;

// Writes of every size, mixed with bytes sent straight on, arrive whole and in order.
TEST(FdJobOutput, KeepsTheOrderOfWritesAndSends) {
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
            const auto* bytes = reinterpret_cast<const unsigned char*>(piece.data());
            if (size % 2 == 0) {
                ASSERT_TRUE(output.send(bytes, size));
                EXPECT_EQ(output.descriptor(), fds[1]);  // nothing left buffered
            } else {
                ASSERT_TRUE(output.write(bytes, size));
            }
            expected += piece;
        }
        EXPECT_TRUE(output.finish());
    }
    close(fds[1]);
    reader.join();
    close(fds[0]);
    EXPECT_EQ(received, expected);
}

// The input hands out the bytes in order with buffered-stream semantics whatever the sizes
// asked for, while the writer sends them in dribbles.
TEST(FdJobInput, ReadsInOrderAndShortOnlyAtTheEnd) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string sent(300000, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + i / 4096);
    std::thread writer([&] {
        for (std::size_t at = 0; at < sent.size();) {
            const std::size_t piece = std::min<std::size_t>(sent.size() - at, 1 + at % 9000);
            const ssize_t n = ::write(fds[1], sent.data() + at, piece);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        close(fds[1]);
    });
    FdJobInput input(fds[0], 1000);
    std::string received;
    const std::size_t sizes[] = {4096, 1, 499, 500, 501, 4096, 20000, 3, 999, 1000, 1001};
    for (std::size_t i = 0; !input.atEnd(); ++i) {
        const std::size_t want = sizes[i % std::size(sizes)];
        std::string chunk(want, '\0');
        const std::size_t got = input.read(reinterpret_cast<unsigned char*>(chunk.data()), want);
        if (got < want) {
            EXPECT_TRUE(input.atEnd()) << "short read of " << got << " before the end";
        }
        received.append(chunk, 0, got);
    }
    writer.join();
    close(fds[0]);
    EXPECT_FALSE(input.failed());
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent);
}

// As with a stdio stream, the end shows only once a read has come up short: a job of whole
// reads ends with one read that brings nothing.
TEST(FdJobInput, MeetsTheEndOnlyWithAShortRead) {
    for (const std::size_t size : {0u, 1u, 4096u, 8192u, 60000u}) {  // each fits the pipe
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const std::string sent(size, 'j');
        ASSERT_EQ(::write(fds[1], sent.data(), size), static_cast<ssize_t>(size));
        close(fds[1]);
        FdJobInput input(fds[0], 16384);
        std::string received;
        unsigned char chunk[4096];
        std::size_t got;
        while ((got = input.read(chunk, sizeof chunk)) == sizeof chunk) {
            EXPECT_FALSE(input.atEnd());
            received.append(reinterpret_cast<const char*>(chunk), got);
        }
        received.append(reinterpret_cast<const char*>(chunk), got);
        EXPECT_TRUE(input.atEnd());
        EXPECT_EQ(received, sent) << size;
        close(fds[0]);
    }
}

// After a full read has buffered more than it handed out, readSome gives those bytes first, then
// what the descriptor has, and nothing only at the end.
TEST(FdJobInput, ReadSomeHandsOutBufferedBytesFirst) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string sent(10000, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i % 251);
    ASSERT_EQ(::write(fds[1], sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
    close(fds[1]);
    FdJobInput input(fds[0], 4096);
    std::string received(100, '\0');
    ASSERT_EQ(input.read(reinterpret_cast<unsigned char*>(received.data()), 100), 100u);
    std::string chunk(8192, '\0');
    auto* bytes = reinterpret_cast<unsigned char*>(chunk.data());
    EXPECT_EQ(input.readSome(bytes, chunk.size()), 4096u - 100u);  // what the buffer held
    received.append(chunk, 0, 4096 - 100);
    std::size_t got;
    while ((got = input.readSome(bytes, chunk.size())) > 0) {
        EXPECT_FALSE(input.atEnd());
        received.append(chunk, 0, got);
    }
    EXPECT_TRUE(input.atEnd());
    EXPECT_FALSE(input.failed());
    EXPECT_TRUE(received == sent);
    close(fds[0]);
}

TEST(FdJobInput, ReportsAFailedRead) {
    FdJobInput input(-1, 64);
    unsigned char bytes[16];
    EXPECT_EQ(input.read(bytes, sizeof bytes), 0u);
    EXPECT_TRUE(input.failed());
    EXPECT_EQ(errno, EBADF);
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
    EXPECT_FALSE(output.send(bytes, 10));
    EXPECT_EQ(output.descriptor(), -1);
    close(fds[1]);
}

}  // namespace
}  // namespace jobtypefilter
