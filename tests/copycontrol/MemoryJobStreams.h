// In-memory job streams with the buffered-stream semantics the core expects: a read brings
// fewer bytes than asked only at the end, and atEnd() holds once a read has met the end.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "JobStreams.h"

namespace jobtypefilter::testing {

class MemoryJobInput final : public JobInput {
public:
    explicit MemoryJobInput(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(unsigned char* into, std::size_t n) override {
        const std::size_t got = std::min(n, bytes_.size() - position_);
        if (got > 0) std::memcpy(into, bytes_.data() + position_, got);
        position_ += got;
        if (got < n) atEnd_ = true;
        return got;
    }
    bool atEnd() const override { return atEnd_; }
    bool failed() const override { return false; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
};

class MemoryJobOutput final : public JobOutput {
public:
    bool write(const unsigned char* bytes, std::size_t n) override {
        bytes_.append(reinterpret_cast<const char*>(bytes), n);
        return true;
    }
    bool finish() override { return true; }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

}  // namespace jobtypefilter::testing
