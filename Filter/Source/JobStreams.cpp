#include "JobStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace jobtypefilter {

StreamBuffer allocateStreamBuffer(std::size_t size) {
    constexpr std::size_t kPage = 4096;
    const std::size_t rounded = (size + kPage - 1) / kPage * kPage;
    return StreamBuffer(static_cast<unsigned char*>(std::aligned_alloc(kPage, rounded)));
}

std::size_t FdJobInput::readSome(unsigned char* into, std::size_t n) {
    while (n > 0 && !atEnd_ && !failed_) {
        const ssize_t got = ::read(fd_, into, n);
        if (got > 0) return static_cast<std::size_t>(got);
        if (got == 0) {
            atEnd_ = true;
        } else if (errno != EINTR) {
            failed_ = true;
        }
    }
    return 0;
}

FdJobOutput::FdJobOutput(int fd, std::size_t bufferSize)
    : fd_(fd), buffer_(allocateStreamBuffer(bufferSize)), capacity_(buffer_ ? bufferSize : 0) {}

bool FdJobOutput::writeThrough(const unsigned char* bytes, std::size_t n) {
    std::size_t done = 0;
    while (!failed_ && done < n) {
        const ssize_t w = ::write(fd_, bytes + done, n - done);
        if (w < 0) {
            if (errno != EINTR) failed_ = true;
        } else {
            done += static_cast<std::size_t>(w);
        }
    }
    return !failed_;
}

bool FdJobOutput::flush() {
    const bool written = writeThrough(buffer_.get(), pending_);
    pending_ = 0;
    return written;
}

bool FdJobOutput::write(const unsigned char* bytes, std::size_t n) {
    if (failed_) return false;
    if (n > capacity_ - pending_) {
        if (!flush()) return false;
        // Too large for the buffer: straight out.
        if (n >= capacity_) return writeThrough(bytes, n);
    }
    std::memcpy(buffer_.get() + pending_, bytes, n);
    pending_ += n;
    return true;
}

bool FdJobOutput::send(const unsigned char* bytes, std::size_t n) {
    return flush() && writeThrough(bytes, n);
}

bool FdJobOutput::finish() {
    return flush();
}

}  // namespace jobtypefilter
