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

class StdioJobOutput final : public JobOutput {
public:
    explicit StdioJobOutput(std::FILE* file) : file_(file) {}
    bool write(const unsigned char* bytes, std::size_t n) override;
    bool finish() override;

private:
    std::FILE* file_;
};

}  // namespace jobtypefilter
