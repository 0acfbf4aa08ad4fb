// The copy after the splice moved inside the kernel: every kind of input and output the filter
// meets, the kernel's refusals falling back to the buffered copy, and every byte delivered once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "DirectTransfer.h"
#include "FilterTestSupport.h"
#include "JobStreams.h"
#include "NamedCases.h"

namespace jobtypefilter::testing {
namespace {

using testsupport::PrintTo;

// A temporary file holding bytes, opened for reading; removed again at the end of the test.
struct TempFile {
    explicit TempFile(const std::string& bytes, int flags = O_RDONLY) {
        char name[] = "/tmp/jobtypefilter-transfer-XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(fd);
        descriptor = open(name, flags);
    }
    ~TempFile() {
        close(descriptor);
        std::remove(path.c_str());
    }
    std::string contents() const {
        const int fd = open(path.c_str(), O_RDONLY);
        std::string all = drain(fd);
        close(fd);
        return all;
    }
    std::string path;
    int descriptor;
};

enum class Source { File, Pipe };
enum class Sink { Pipe, File, AppendFile, Socket };

struct TransferCase {
    const char* name;
    Source source;
    Sink sink;
};

class DirectTransferTest : public FixedClockTest,
                           public ::testing::WithParamInterface<TransferCase> {};

// A job of several MiB with the token near its top and bytes that tell every position apart.
std::string largeJob() {
    std::string job = "%!PS-Adobe-3.0\n%%BeginProlog\n/x 1 def\n%%EndProlog\n";
    for (std::size_t i = 0; job.size() < 3 * 1024 * 1024 + 77; ++i) {
        job += std::to_string(i * 2654435761u % 1000003u) + " pop\n";
    }
    return job;
}

TEST_P(DirectTransferTest, DeliversTheJobWithItsSpliceExactlyOnce) {
    std::signal(SIGPIPE, SIG_IGN);
    const TransferCase& c = GetParam();
    const std::string options = "com.varlo.printsettings.UserID=u";
    const std::string job = largeJob();
    const std::string expected = runFilter(options, job).output;
    ASSERT_GT(expected.size(), job.size());

    // The input.
    std::unique_ptr<TempFile> inputFile;
    int in = -1;
    std::thread writer;
    int inputPipe[2] = {-1, -1};
    if (c.source == Source::File) {
        inputFile = std::make_unique<TempFile>(job);
        in = inputFile->descriptor;
    } else {
        ASSERT_EQ(pipe(inputPipe), 0);
        in = inputPipe[0];
        writer = writeInPieces(inputPipe[1], job, 70001);
    }

    // The output, and what arrived there.
    std::unique_ptr<TempFile> outputFile;
    int out = -1;
    int ends[2] = {-1, -1};
    std::string received;
    std::thread reader;
    if (c.sink == Sink::File || c.sink == Sink::AppendFile) {
        outputFile = std::make_unique<TempFile>(
            "", c.sink == Sink::File ? O_WRONLY | O_TRUNC : O_WRONLY | O_APPEND);
        out = outputFile->descriptor;
    } else {
        ASSERT_EQ(c.sink == Sink::Pipe ? pipe(ends) : socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        out = ends[1];
        reader = std::thread([&] { received = drain(ends[0]); });
    }

    int result;
    {
        FdJobInput input(in);
        FdJobOutput output(out, 128 * 1024);
        result = runJobTypeFilter(options.c_str(), input, output, {});
    }
    if (writer.joinable()) writer.join();
    if (reader.joinable()) {
        close(ends[1]);
        reader.join();
        close(ends[0]);
    } else {
        received = outputFile->contents();
    }
    if (inputPipe[0] >= 0) close(inputPipe[0]);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected) << "the bytes differ";
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, DirectTransferTest,
    ::testing::Values(TransferCase{"FileToPipe", Source::File, Sink::Pipe},
                      TransferCase{"PipeToPipe", Source::Pipe, Sink::Pipe},
                      TransferCase{"FileToFile", Source::File, Sink::File},
                      TransferCase{"PipeToFile", Source::Pipe, Sink::File},
                      TransferCase{"FileToSocket", Source::File, Sink::Socket},
                      // splice and sendfile both refuse a file opened for appending.
                      TransferCase{"FileToAppendedFile", Source::File, Sink::AppendFile},
                      TransferCase{"PipeToAppendedFile", Source::Pipe, Sink::AppendFile}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DirectTransfer, RefusesWithoutLosingAByteAndTheBufferedCopyGoesOn) {
    const std::string bytes(300000, 'r');
    TempFile source(bytes);
    TempFile appended("", O_WRONLY | O_APPEND);
    EXPECT_EQ(transferDirectly(source.descriptor, appended.descriptor), DirectTransfer::Refused);
    // Nothing moved: the input still stands at its start.
    EXPECT_EQ(lseek(source.descriptor, 0, SEEK_CUR), 0);
    EXPECT_EQ(appended.contents(), "");
    // A descriptor that is no input at all is refused too.
    EXPECT_EQ(transferDirectly(-1, appended.descriptor), DirectTransfer::Refused);
}

// Bytes that the output still holds keep its descriptor from the kernel's move: they go first.
// The input reads straight into place and holds nothing back.
TEST(DirectTransfer, StreamsOfferTheirDescriptorOnlyWithNothingBuffered) {
    TempFile source(std::string(10000, 'b'));
    FdJobInput input(source.descriptor);
    unsigned char bytes[100];
    ASSERT_EQ(input.readSome(bytes, sizeof bytes), sizeof bytes);
    EXPECT_EQ(input.descriptor(), source.descriptor);

    TempFile sink("", O_WRONLY);
    FdJobOutput output(sink.descriptor, 4096);
    ASSERT_TRUE(output.write(bytes, 10));
    EXPECT_EQ(output.descriptor(), -1);
    ASSERT_TRUE(output.push());
    EXPECT_EQ(output.descriptor(), sink.descriptor);
}

}  // namespace
}  // namespace jobtypefilter::testing
