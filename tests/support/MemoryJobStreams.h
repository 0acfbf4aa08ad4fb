// In-memory job input and output for driving the filter core without processes.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "JobStreams.h"

namespace jobtypefilter::testing {

// Serves the bytes; optionally fails once a given number of bytes has been served.
class MemoryJobInput final : public JobInput {
  public:
    explicit MemoryJobInput(std::string_view bytes, std::size_t failAfter = std::string::npos)
        : bytes_(bytes), failAfter_(failAfter) {}

    // Hands out at most the next of the piece sizes (they repeat), as a pipe does; without
    // pieces, as many bytes as asked for. Nothing only at the end or on the failure.
    std::size_t readSome(unsigned char* into, std::size_t n) override {
        if (!pieces_.empty()) n = std::min(n, pieces_[nextPiece_++ % pieces_.size()]);
        std::size_t available = std::min(n, bytes_.size() - position_);
        if (failAfter_ != std::string::npos && position_ + available >= failAfter_) {
            available = failAfter_ > position_ ? failAfter_ - position_ : 0;
            failed_ = true;
        }
        if (available > 0) std::memcpy(into, bytes_.data() + position_, available);
        position_ += available;
        // A short piece is no end: the end shows only when nothing is left.
        atEnd_ = !failed_ && available == 0;
        return available;
    }
    void serveInPieces(std::vector<std::size_t> pieces) { pieces_ = std::move(pieces); }
    bool atEnd() const override { return atEnd_; }
    bool failed() const override { return failed_; }

  private:
    std::string bytes_;
    std::size_t failAfter_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    std::vector<std::size_t> pieces_;
    std::size_t nextPiece_ = 0;
};

// Collects what is written; optionally refuses writes once it holds a given number of bytes.
class MemoryJobOutput final : public JobOutput {
  public:
    explicit MemoryJobOutput(std::size_t capacity = std::string::npos) : capacity_(capacity) {}

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
    std::string written_;
    bool failFinish_ = false;
};

}  // namespace jobtypefilter::testing
