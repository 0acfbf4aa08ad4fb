// The job's input and output as the streaming splice sees them, and their stdio forms.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

namespace jobtypefilter {

// Buffered-stream semantics: a read of up to n bytes brings fewer only when the input has ended
// or failed, and atEnd() holds once a read has met the end.
class JobInput {
public:
    virtual ~JobInput() = default;
    virtual std::size_t read(unsigned char* into, std::size_t n) = 0;
    virtual bool atEnd() const = 0;
    virtual bool failed() const = 0;
};

class JobOutput {
public:
    virtual ~JobOutput() = default;
    // False when the bytes could not be written.
    virtual bool write(const unsigned char* bytes, std::size_t n) = 0;
    // Pushes out whatever is still buffered; false when that fails.
    virtual bool finish() = 0;
    // A sink with a buffer of its own can take bytes read straight into it: room for n bytes,
    // or null when it has none (the caller then reads into its own buffer and writes).
    virtual unsigned char* room(std::size_t /*n*/) { return nullptr; }
    // Counts n bytes placed into the room as written.
    virtual void wrote(std::size_t /*n*/) {}
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

class StdioJobInput final : public JobInput {
public:
    explicit StdioJobInput(std::FILE* file) : file_(file) {}
    std::size_t read(unsigned char* into, std::size_t n) override;
    bool atEnd() const override;
    bool failed() const override;

private:
    std::FILE* file_;
};

// Writes to a file descriptor through a buffer of its own, so that the copy can read straight
// into it: one copy of each byte in user space, as few system calls as a large stdio buffer.
class FdJobOutput final : public JobOutput {
public:
    explicit FdJobOutput(int fd, std::size_t bufferSize = 128 * 1024);
    bool write(const unsigned char* bytes, std::size_t n) override;
    bool finish() override;
    unsigned char* room(std::size_t n) override;
    void wrote(std::size_t n) override { pending_ += n; }

private:
    bool flush();

    int fd_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t capacity_;
    std::size_t pending_ = 0;
    bool failed_ = false;
};

}  // namespace jobtypefilter
