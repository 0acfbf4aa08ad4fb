// jobtypefilter: a CUPS filter that copies a PostScript job and splices the job-type and
// copy-control PostScript in front of its first "%%BeginProlog" line.
//
//   jobtypefilter job-id user title copies options [file]

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "CommandLine.h"
#include "FilterStatus.h"
#include "JobClock.h"
#include "JobStreams.h"
#include "StreamSplice.h"

namespace {

using namespace jobtypefilter;

// Buffer size for standard output.
constexpr std::size_t kStreamBufferSize = 128 * 1024;

extern "C" void onTerminateSignal(int) {
    _exit(1);
}

void installSignalHandling() {
    struct sigaction terminate {};
    terminate.sa_handler = onTerminateSignal;
    sigemptyset(&terminate.sa_mask);
    sigaction(SIGTERM, &terminate, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void waitForInput() {
    sleep(1);
}

// How long the end of a failed job waits for its error lines to be read.
constexpr int kReportReadTimeoutMs = 5000;

// cupsd reads the filters' standard error through a pipe and handles a filter's exit apart from
// it: when the exit comes first, the job's state message becomes "Filter failed" and the error
// lines arriving after it no longer count. So a failed filter stays until the pipe holds nothing
// more (cupsd has taken its lines), or a few seconds at most.
void waitUntilReportIsRead() {
    struct stat info {};
    if (fstat(STDERR_FILENO, &info) != 0 || !S_ISFIFO(info.st_mode)) return;
    for (int waited = 0; waited < kReportReadTimeoutMs; waited += 10) {
        int unread = 0;
        if (ioctl(STDERR_FILENO, FIONREAD, &unread) != 0 || unread <= 0) return;
        usleep(10 * 1000);
    }
}

void failJob() {
    reportFailure();
    waitUntilReportIsRead();
}

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
            recordStop(FilterStatus::OpenFailed);
            failJob();
            return 1;
        }
    }
    // The input is read straight into the streaming splice's window; a large output buffer saves
    // system calls for the small writes. The bytes in and out stay the same.
    FdJobInput input(jobFile ? fileno(jobFile.get()) : STDIN_FILENO);
    FdJobOutput output(STDOUT_FILENO, kStreamBufferSize);
    FilterHooks hooks;
    hooks.setTimeZone = applyTimeZone;
    hooks.installSignalHandling = installSignalHandling;
    hooks.waitForInput = waitForInput;

    const char* optionsString = argv[5];
    const JobOrigin origin{argv[2], std::getenv("PPD")};
    const int result = runJobTypeFilter(optionsString, origin, input, output, hooks);
    jobFile.reset();
    if (result != 0) {
        // Whatever was written before the failure still goes out.
        output.finish();
        failJob();
        return 1;
    }
    return 0;
}
