#include "DirectTransfer.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <initializer_list>

namespace jobtypefilter {

namespace {

// Up to this much per call: a pipe takes what it has room for, a file to file move the lot.
constexpr std::size_t kChunk = std::size_t{1} << 30;

using Move = ssize_t (*)(int in, int out);

ssize_t spliceMove(int in, int out) {
    return ::splice(in, nullptr, out, nullptr, kChunk, SPLICE_F_MOVE);
}

ssize_t sendfileMove(int in, int out) {
    return ::sendfile(out, in, nullptr, kChunk);
}

}  // namespace

DirectTransfer transferDirectly(int in, int out) {
    // splice needs a pipe on one side; sendfile needs an input it can map, like a regular file.
    // The first that takes the first call moves the whole job.
    for (const Move move : {spliceMove, sendfileMove}) {
        bool movedAny = false;
        for (;;) {
            const ssize_t moved = move(in, out);
            if (moved > 0) {
                movedAny = true;
                continue;
            }
            if (moved == 0) return DirectTransfer::Finished;
            if (errno == EINTR) continue;
            if (movedAny) return DirectTransfer::Refused;
            break;  // refused at once: the other way may take it
        }
    }
    return DirectTransfer::Refused;
}

}  // namespace jobtypefilter
