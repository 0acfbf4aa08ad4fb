#include "JobStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <new>

namespace jobtypefilter {

StreamBuffer allocateStreamBuffer(std::size_t size) {
    constexpr std::size_t kPage = 4096;
    const std::size_t rounded = (size + kPage - 1) / kPage * kPage;
    return StreamBuffer(static_cast<unsigned char*>(std::aligned_alloc(kPage, rounded)));
}

FdJobInput::FdJobInput(int fd, std::size_t bufferSize)
    : fd_(fd), buffer_(allocateStreamBuffer(bufferSize)), capacity_(buffer_ ? bufferSize : 0) {}

std::size_t FdJobInput::readFully(unsigned char* into, std::size_t n) {
    std::size_t done = 0;
    while (done < n && !descriptorAtEnd_ && !failed_) {
        const ssize_t got = ::read(fd_, into + done, n - done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got == 0) {
            descriptorAtEnd_ = true;
        } else if (errno != EINTR) {
            failed_ = true;
        }
    }
    return done;
}

std::size_t FdJobInput::read(unsigned char* into, std::size_t n) {
    std::size_t done = std::min(n, end_ - start_);
    std::memcpy(into, buffer_.get() + start_, done);
    start_ += done;
    if (done < n && n - done >= capacity_ / 2) {
        done += readFully(into + done, n - done);
    }
    while (done < n && !descriptorAtEnd_ && !failed_) {
        start_ = 0;
        end_ = readFully(buffer_.get(), capacity_);
        const std::size_t take = std::min(n - done, end_);
        std::memcpy(into + done, buffer_.get(), take);
        start_ = take;
        done += take;
    }
    if (done < n) atEnd_ = true;
    return done;
}

std::size_t FdJobInput::readSome(unsigned char* into, std::size_t n) {
    if (start_ < end_) {
        const std::size_t take = std::min(n, end_ - start_);
        std::memcpy(into, buffer_.get() + start_, take);
        start_ += take;
        return take;
    }
    while (n > 0 && !descriptorAtEnd_ && !failed_) {
        const ssize_t got = ::read(fd_, into, n);
        if (got > 0) return static_cast<std::size_t>(got);
        if (got == 0) {
            descriptorAtEnd_ = true;
        } else if (errno != EINTR) {
            failed_ = true;
        }
    }
    atEnd_ = descriptorAtEnd_;
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

bool FdJobOutput::finish() { return flush(); }

}  // namespace jobtypefilter
