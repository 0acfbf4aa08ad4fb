// In-memory job input and output for driving the filter core without processes.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "JobStreams.h"

namespace jobtypefilter::testing {

// Serves the bytes with buffered-stream semantics; optionally fails once a given number of
// bytes has been served.
class MemoryJobInput final : public JobInput {
public:
    explicit MemoryJobInput(std::string_view bytes, std::size_t failAfter = std::string::npos)
        : bytes_(bytes), failAfter_(failAfter) {}

    std::size_t read(unsigned char* into, std::size_t n) override {
        std::size_t available = std::min(n, bytes_.size() - position_);
        if (failAfter_ != std::string::npos && position_ + available >= failAfter_) {
            available = failAfter_ > position_ ? failAfter_ - position_ : 0;
            failed_ = true;
        }
        if (available > 0) std::memcpy(into, bytes_.data() + position_, available);
        position_ += available;
        ++reads_;
        if (available < n && !failed_) atEnd_ = true;
        return available;
    }
    bool atEnd() const override { return atEnd_; }
    bool failed() const override { return failed_; }
    int reads() const { return reads_; }

private:
    std::string bytes_;
    std::size_t failAfter_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    int reads_ = 0;
};

// Collects what is written; optionally refuses writes once it holds a given number of bytes,
// and optionally offers room to read into, as a buffered sink does.
class MemoryJobOutput final : public JobOutput {
public:
    explicit MemoryJobOutput(std::size_t capacity = std::string::npos, bool offersRoom = false)
        : capacity_(capacity), offersRoom_(offersRoom) {}

    // An odd size, so that reads into the room end at other places than 4096-byte reads.
    static constexpr std::size_t kRoomSize = 4096 + 1234;

    std::span<unsigned char> room(std::size_t atLeast) override {
        if (!offersRoom_ || atLeast > kRoomSize) return {};
        if (capacity_ != std::string::npos && written_.size() + atLeast > capacity_) return {};
        room_.assign(kRoomSize, '\0');
        return {reinterpret_cast<unsigned char*>(room_.data()), room_.size()};
    }
    void wrote(std::size_t n) override { written_.append(room_, 0, n); }

    bool write(const unsigned char* bytes, std::size_t n) override {
        if (capacity_ != std::string::npos && written_.size() + n > capacity_) return false;
        written_.append(reinterpret_cast<const char*>(bytes), n);
        return true;
    }
    bool finish() override { return !failFinish_; }

    void failOnFinish() { failFinish_ = true; }
    const std::string& written() const { return written_; }

private:
    std::size_t capacity_;
    bool offersRoom_;
    std::string room_;
    std::string written_;
    bool failFinish_ = false;
};

}  // namespace jobtypefilter::testing
