// The job's input and output as the streaming splice sees them, and their stdio forms.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>

namespace jobtypefilter {

class JobInput {
  public:
    virtual ~JobInput() = default;
    // Up to n bytes, as many as are at hand: fewer than asked is no sign of the end, none is
    // (then atEnd() holds), or a failure (then failed() does). The job's bytes move on as they
    // come.
    virtual std::size_t readSome(unsigned char* into, std::size_t n) = 0;
    virtual bool atEnd() const = 0;
    virtual bool failed() const = 0;
    // The descriptor the rest of the job can be moved from inside the kernel, or -1.
    virtual int descriptor() const { return -1; }
};

class JobOutput {
  public:
    virtual ~JobOutput() = default;
    // False when the bytes could not be written. They may wait in a buffer.
    virtual bool write(const unsigned char* bytes, std::size_t n) = 0;
    // Pushes out whatever is still buffered; false when that fails.
    virtual bool finish() = 0;
    // Sends on what is buffered now; false when that fails.
    virtual bool push() { return true; }
    // What is buffered, then these bytes, sent on at once (a sink with a buffer passes them
    // straight to its descriptor: no copy into the buffer).
    virtual bool send(const unsigned char* bytes, std::size_t n) {
        return write(bytes, n) && push();
    }
    // The descriptor the rest of the job can be moved to inside the kernel, or -1: none, or
    // bytes are still buffered here.
    virtual int descriptor() const { return -1; }
};

// Stream buffers start on a page boundary, as the kernel's page cache does: a copy between
// buffers of different alignment within a page runs several times slower.
struct PageAlignedFree {
    void operator()(unsigned char* bytes) const { std::free(bytes); }
};
using StreamBuffer = std::unique_ptr<unsigned char[], PageAlignedFree>;
StreamBuffer allocateStreamBuffer(std::size_t size);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Reads a file descriptor: each readSome is one read straight into place, as cat does.
class FdJobInput final : public JobInput {
  public:
    explicit FdJobInput(int fd) : fd_(fd) {}
    std::size_t readSome(unsigned char* into, std::size_t n) override;
    bool atEnd() const override { return atEnd_; }
    bool failed() const override { return failed_; }
    int descriptor() const override { return failed_ ? -1 : fd_; }

  private:
    int fd_;
    bool atEnd_ = false;
    bool failed_ = false;
};

// Writes to a file descriptor: small writes gather in a buffer of its own (as few system calls
// as a large stdio buffer), sent bytes go straight to the descriptor after what is buffered.
class FdJobOutput final : public JobOutput {
  public:
    explicit FdJobOutput(int fd, std::size_t bufferSize = 128 * 1024);
    bool write(const unsigned char* bytes, std::size_t n) override;
    bool finish() override;
    bool push() override { return flush(); }
    bool send(const unsigned char* bytes, std::size_t n) override;
    int descriptor() const override { return pending_ > 0 || failed_ ? -1 : fd_; }

  private:
    bool flush();
    bool writeThrough(const unsigned char* bytes, std::size_t n);

    int fd_;
    StreamBuffer buffer_;
    std::size_t capacity_;
    std::size_t pending_ = 0;
    bool failed_ = false;
};

}  // namespace jobtypefilter
