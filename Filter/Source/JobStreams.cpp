#include "JobStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace jobtypefilter {

std::size_t StdioJobInput::read(unsigned char* into, std::size_t n) {
    return fread_unlocked(into, 1, n, file_);
}

bool StdioJobInput::atEnd() const { return std::feof(file_) != 0; }

bool StdioJobInput::failed() const { return std::ferror(file_) != 0; }

FdJobOutput::FdJobOutput(int fd, std::size_t bufferSize)
    : fd_(fd), buffer_(new (std::nothrow) unsigned char[bufferSize]), capacity_(buffer_ ? bufferSize : 0) {}

bool FdJobOutput::flush() {
    std::size_t done = 0;
    while (!failed_ && done < pending_) {
        const ssize_t n = ::write(fd_, buffer_.get() + done, pending_ - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    pending_ = 0;
    return !failed_;
}

bool FdJobOutput::write(const unsigned char* bytes, std::size_t n) {
    if (failed_) return false;
    if (n > capacity_ - pending_) {
        if (!flush()) return false;
        if (n >= capacity_) {
            // Too large for the buffer: straight out.
            std::size_t done = 0;
            while (done < n) {
                const ssize_t w = ::write(fd_, bytes + done, n - done);
                if (w < 0) {
                    if (errno == EINTR) continue;
                    failed_ = true;
                    return false;
                }
                done += static_cast<std::size_t>(w);
            }
            return true;
        }
    }
    std::memcpy(buffer_.get() + pending_, bytes, n);
    pending_ += n;
    return true;
}

unsigned char* FdJobOutput::room(std::size_t n) {
    if (failed_ || n > capacity_) return nullptr;
    if (n > capacity_ - pending_ && !flush()) return nullptr;
    return buffer_.get() + pending_;
}

bool FdJobOutput::finish() { return flush(); }

}  // namespace jobtypefilter
