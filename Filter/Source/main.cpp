// jobtypefilter: a CUPS filter that copies a PostScript job and splices the job-type and
// copy-control PostScript in front of its first "%%BeginProlog" line.
//
//   jobtypefilter job-id user title copies options [file]

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "CommandLine.h"
#include "FilterStatus.h"
#include "JobClock.h"
#include "JobStreams.h"
#include "StreamSplice.h"

namespace {

using namespace jobtypefilter;

// Stream buffer size for standard input and output.
constexpr std::size_t kStreamBufferSize = 128 * 1024;

extern "C" void onTerminateSignal(int) { _exit(1); }

void installSignalHandling() {
    struct sigaction terminate {};
    terminate.sa_handler = onTerminateSignal;
    sigemptyset(&terminate.sa_mask);
    sigaction(SIGTERM, &terminate, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void waitForInput() { sleep(1); }

}  // namespace

int main(int argc, char* argv[]) {
    // Run by hand: one line on standard error and status 1, as for any wrong argument count.
    switch (classifyCommandLine(argc, argv)) {
        case CommandLineAction::Usage:
            std::fprintf(stderr, "%s\n", kUsageLine);
            return 1;
        case CommandLineAction::Version:
            std::fprintf(stderr, "%s\n", versionLine());
            return 1;
        case CommandLineAction::RunJob:
            break;
    }
    FileHandle jobFile;
    if (argc > 6) {
        jobFile.reset(std::fopen(argv[6], "rb"));
        if (!jobFile) {
            recordStop(kStatusOpenFailed);
            reportFailure();
            return 1;
        }
    }
    // Large stream buffers save system calls; the bytes in and out stay the same.
    FdJobInput input(jobFile ? fileno(jobFile.get()) : STDIN_FILENO, kStreamBufferSize);
    FdJobOutput output(STDOUT_FILENO, kStreamBufferSize);
    FilterHooks hooks;
    hooks.setTimeZone = applyTimeZone;
    hooks.installSignalHandling = installSignalHandling;
    hooks.waitForInput = waitForInput;

    const char* optionsString = argv[5];
    const int result = runJobTypeFilter(optionsString, input, output, hooks);
    jobFile.reset();
    if (result != 0) {
        // Whatever was written before the failure still goes out.
        output.finish();
        reportFailure();
        return 1;
    }
    return 0;
}
