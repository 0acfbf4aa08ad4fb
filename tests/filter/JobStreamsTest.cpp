// The descriptor streams the filter reads its job from and writes standard output through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include "FilterTestSupport.h"
#include "JobStreams.h"

namespace jobtypefilter {
namespace {

using testing::drain;
using testing::writeInPieces;

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

// The input hands out the bytes in order whatever the sizes asked for, while the writer sends
// them in dribbles; a read brings nothing only at the end, and only then does the end show. Jobs
// of no bytes and of whole multiples of the sizes asked for end the same way.
TEST(FdJobInput, ReadsInOrderAndNothingOnlyAtTheEnd) {
    for (const std::size_t size : {0u, 1u, 4096u, 8192u, 300000u}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::string sent(size, '\0');
        for (std::size_t i = 0; i < size; ++i) sent[i] = static_cast<char>(i * 7 + i / 4096);
        std::thread writer = writeInPieces(fds[1], sent, 9000);
        FdJobInput input(fds[0]);
        std::string received;
        const std::size_t sizes[] = {4096, 1, 499, 500, 501, 20000, 3, 999, 1000, 1001};
        for (std::size_t i = 0;; ++i) {
            const std::size_t want = sizes[i % std::size(sizes)];
            std::string chunk(want, '\0');
            const std::size_t got =
                input.readSome(reinterpret_cast<unsigned char*>(chunk.data()), want);
            if (got == 0) break;
            EXPECT_FALSE(input.atEnd()) << "the end before the last byte";
            received.append(chunk, 0, got);
        }
        writer.join();
        close(fds[0]);
        EXPECT_TRUE(input.atEnd());
        EXPECT_FALSE(input.failed());
        EXPECT_EQ(received.size(), sent.size());
        EXPECT_TRUE(received == sent) << size;
    }
}

TEST(FdJobInput, ReportsAFailedRead) {
    FdJobInput input(-1);
    unsigned char bytes[16];
    EXPECT_EQ(input.readSome(bytes, sizeof bytes), 0u);
    EXPECT_TRUE(input.failed());
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(input.descriptor(), -1);
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
