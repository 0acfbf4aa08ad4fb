#include "StreamSplice.h"

#include <cstring>
#include <memory>
#include <new>

#include "BoundedText.h"
#include "FilterStatus.h"
#include "JobOptions.h"
#include "PrintSettingsKeys.h"
#include "SpliceText.h"

namespace jobtypefilter {

TokenMatch findPrologToken(const unsigned char* held, std::size_t candidate, std::size_t last) {
    for (std::size_t i = 0; i < kPrologTokenLength; ++i) {
        const std::size_t at = candidate + i;
        if (held[at] != static_cast<unsigned char>(kPrologToken[i])) return TokenMatch::NoMatch;
        if (at == last && i + 1 < kPrologTokenLength) return TokenMatch::Partial;
    }
    return TokenMatch::Found;
}

std::optional<std::size_t> nextTokenCandidate(const unsigned char* held, std::size_t candidate,
                                              std::size_t last) {
    // A '%' behind a CR or LF is a line start: the run of line ends before it stops at it.
    std::size_t from = candidate + 1;
    while (from <= last) {
        const auto* percent =
            static_cast<const unsigned char*>(std::memchr(held + from, '%', last - from + 1));
        if (percent == nullptr) return std::nullopt;
        const std::size_t at = static_cast<std::size_t>(percent - held);
        const unsigned char before = held[at - 1];
        if (before == '\n' || before == '\r') return at;
        from = at + 1;
    }
    return std::nullopt;
}

namespace {

template <typename T>
std::unique_ptr<T[]> allocateZeroed(std::size_t n) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[n]());
}

// The search, the one splice and the copy. Returns 0 at the normal end, 1 on failure.
class JobStreamer {
public:
    JobStreamer(const JobOptions& options, JobInput& input, JobOutput& output,
                unsigned char* readBuffer, BoundedText& spliceText, const FilterHooks& hooks)
        : options_(options),
          input_(input),
          output_(output),
          buffer_(readBuffer),
          spliceText_(spliceText),
          hooks_(hooks) {}

    int run() {
        if (searchPhase() != 0) return 1;
        if (!output_.finish()) return fail(kStatusWriteFailed);
        return 0;
    }

private:
    static int fail(int code) {
        recordStop(code);
        return 1;
    }

    bool write(const unsigned char* bytes, std::size_t n) {
        return n == 0 || output_.write(bytes, n);
    }

    std::size_t readInto(unsigned char* into, std::size_t n, bool& failed) {
        const std::size_t got = input_.read(into, n);
        failed = input_.failed();
        return got;
    }

    int searchPhase() {
        for (;;) {
            if (input_.atEnd()) return 0;
            bool readFailed = false;
            std::size_t held = readInto(buffer_, kReadBufferSize, readFailed);
            if (readFailed) return fail(kStatusReadFailed);
            if (held == 0) {
                if (hooks_.waitForInput != nullptr) hooks_.waitForInput();
                continue;
            }
            // The filling's first byte is a line start only when the byte before it, the last
            // of the previous filling, ends a line (or it is the job's first byte); a token in
            // the middle of a line that a read boundary happens to cut is no token line.
            std::size_t candidate = 0;
            bool tryCandidate = lineStartAhead_;
            for (;;) {
                const TokenMatch match = tryCandidate
                                             ? findPrologToken(buffer_, candidate, held - 1)
                                             : TokenMatch::NoMatch;
                tryCandidate = true;
                if (match == TokenMatch::NoMatch) {
                    if (auto next = nextTokenCandidate(buffer_, candidate, held - 1)) {
                        candidate = *next;
                        continue;
                    }
                    if (!write(buffer_, held)) return fail(kStatusWriteFailed);
                    lineStartAhead_ = buffer_[held - 1] == '\n' || buffer_[held - 1] == '\r';
                    break;
                }
                if (match == TokenMatch::Found) return splice(candidate, held);

                // Partial: keep the token's beginning and read the rest in behind it.
                if (!write(buffer_, candidate)) return fail(kStatusWriteFailed);
                const std::size_t carried = held - candidate;
                std::memmove(buffer_, buffer_ + candidate, carried);
                const std::size_t got =
                    readInto(buffer_ + carried, kReadBufferSize - carried, readFailed);
                if (readFailed) return fail(kStatusReadFailed);
                if (got == 0) {
                    if (!write(buffer_, carried)) return fail(kStatusWriteFailed);
                    break;
                }
                held = carried + got;
                candidate = 0;
            }
        }
    }

    int splice(std::size_t candidate, std::size_t held) {
        if (!write(buffer_, candidate)) return fail(kStatusWriteFailed);
        if (buildSpliceText(options_, spliceText_, buffer_, held) != 0) {
            return fail(kStatusSpliceFailed);
        }
        const std::string_view text = spliceText_.view();
        if (!write(reinterpret_cast<const unsigned char*>(text.data()), text.size())) {
            return fail(kStatusWriteFailed);
        }
        if (!write(buffer_ + candidate, held - candidate)) return fail(kStatusWriteFailed);
        return copyPhase();
    }

    // Everything after the splice, copied without looking at it. The copy finds no token, so
    // where the output has a buffer of its own the bytes at hand are read straight into its free
    // room (at least one 4096-byte read's worth) and sent on at once, as cat does: each byte is
    // moved once and a pipe's bytes flow on as they come. Otherwise the copy goes through the
    // read buffer in 4096-byte reads.
    int copyPhase() {
        for (;;) {
            if (input_.atEnd()) return 0;
            const std::span<unsigned char> room = output_.room(kReadBufferSize);
            bool readFailed = false;
            if (!room.empty()) {
                const std::size_t got = input_.readSome(room.data(), room.size());
                if (input_.failed()) return fail(kStatusReadFailed);
                output_.wrote(got);
                if (!output_.push()) return fail(kStatusWriteFailed);
                continue;
            }
            const std::size_t got = readInto(buffer_, kReadBufferSize, readFailed);
            if (readFailed) return fail(kStatusReadFailed);
            if (!write(buffer_, got)) return fail(kStatusWriteFailed);
        }
    }

    const JobOptions& options_;
    JobInput& input_;
    JobOutput& output_;
    unsigned char* buffer_;
    BoundedText& spliceText_;
    const FilterHooks& hooks_;
    bool lineStartAhead_ = true;  // the next filling's first byte begins a line
};

}  // namespace

int runJobTypeFilter(const char* optionsString, JobInput& input, JobOutput& output,
                     const FilterHooks& hooks) {
    resetFilterStatus();
    const JobOptions options(optionsString);

    auto spliceStorage = allocateZeroed<char>(kSpliceBufferSize);
    if (!spliceStorage) {
        recordStop(kStatusMemoryError);
        return 1;
    }
    BoundedText spliceText(std::span<char>(spliceStorage.get(), kSpliceBufferSize));

    if (const char* zone = options.get(varlo::printsettings::kTimeZone)) {
        if (hooks.setTimeZone != nullptr) hooks.setTimeZone(zone);
    }

    // On a page boundary like the stream buffers, so the copies between them run at full speed.
    StreamBuffer readBuffer = allocateStreamBuffer(kReadBufferSize);
    if (!readBuffer) {
        recordStop(kStatusMemoryError);
        return 1;
    }
    if (hooks.installSignalHandling != nullptr) hooks.installSignalHandling();

    JobStreamer streamer(options, input, output, readBuffer.get(), spliceText, hooks);
    return streamer.run();
}

}  // namespace jobtypefilter
