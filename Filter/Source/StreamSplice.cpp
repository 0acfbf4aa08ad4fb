#include "StreamSplice.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "BoundedText.h"
#include "DialogOptions.h"
#include "DirectTransfer.h"
#include "FilterStatus.h"
#include "JobOptions.h"
#include "OptionSpelling.h"
#include "PrintSettingsKeys.h"
#include "SpliceText.h"
#include "ZoneSetting.h"

namespace jobtypefilter {

namespace {
bool isLineEnd(unsigned char c) {
    return c == '\n' || c == '\r';
}
}  // namespace

TokenLine findTokenLine(const unsigned char* bytes, std::size_t from, std::size_t end,
                        bool lineEndBeforeFrom) {
    std::size_t at = from;
    while (at < end) {
        const auto* percent =
            static_cast<const unsigned char*>(std::memchr(bytes + at, '%', end - at));
        if (percent == nullptr) break;
        at = static_cast<std::size_t>(percent - bytes);
        const bool lineStart = at == from ? lineEndBeforeFrom : isLineEnd(bytes[at - 1]);
        if (lineStart) {
            const std::size_t n = std::min(end - at, kPrologTokenLength);
            if (std::memcmp(bytes + at, kPrologToken, n) == 0) {
                return {n == kPrologTokenLength ? TokenMatch::Found : TokenMatch::Partial, at};
            }
        }
        ++at;
    }
    return {TokenMatch::NoMatch, end};
}

namespace {

template <typename T>
std::unique_ptr<T[]> allocateZeroed(std::size_t n) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[n]());
}

// The search reads straight into this window and sends the searched bytes on from it: each byte
// is copied once in user space at most, as cat does.
constexpr std::size_t kWindowSize = 128 * 1024;
// Below this much free room the bytes still needed move to the window's front.
constexpr std::size_t kMinimumRoom = 64 * 1024;

using JobOffset = std::uint64_t;  // a position in the job

// Where the job's current filling begins. A filling begins where the previous one ended, or at a
// line start in its last bytes that holds a beginning of the token, which it carries.
class FillingTracker {
  public:
    JobOffset start() const { return start_; }
    JobOffset end() const { return start_ + kFillingSize; }

    // Follows the fillings through every boundary up to limit. window holds the job's bytes from
    // base on, at least from 13 bytes before each boundary passed.
    void followUpTo(JobOffset limit, const unsigned char* window, JobOffset base) {
        while (end() <= limit) start_ = nextStart(end(), window, base);
    }

  private:
    // A full filling ends at boundary; a line start in its last 12 bytes whose bytes up to the
    // boundary are a beginning of the token begins the next filling instead.
    static JobOffset nextStart(JobOffset boundary, const unsigned char* window, JobOffset base) {
        for (std::size_t n = 1; n < kPrologTokenLength; ++n) {
            const unsigned char* start = window + (boundary - n - base);
            if (isLineEnd(start[-1]) && std::memcmp(start, kPrologToken, n) == 0) {
                return boundary - n;
            }
        }
        return boundary;
    }

    JobOffset start_ = 0;
};

// The search, the one splice and the copy. Returns 0 at the normal end, 1 on failure.
//
// The token is tried at every true line start, wherever the reads end. The fillings of the job
// are followed alongside: the filling that holds the token is the one the line ending is
// detected over, and a job whose last filling ends exactly at its end waits once, as a read that
// brings nothing does.
class JobStreamer {
  public:
    JobStreamer(const JobOptions& options, JobInput& input, JobOutput& output,
                unsigned char* window, BoundedText& spliceText, const FilterHooks& hooks)
        : options_(options),
          input_(input),
          output_(output),
          window_(window),
          spliceText_(spliceText),
          hooks_(hooks) {}

    int run() {
        if (search() != 0) return 1;
        if (!output_.finish()) return fail(FilterStatus::WriteFailed);
        return 0;
    }

  private:
    using Offset = JobOffset;

    static int fail(FilterStatus code) {
        recordStop(code);
        return 1;
    }

    unsigned char* at(Offset offset) const { return window_ + (offset - base_); }

    // One read into the window's free room; got is 0 only at the end. False on a read error.
    bool fill(std::size_t& got) {
        if (kWindowSize - (end_ - base_) < kMinimumRoom) compact();
        got = input_.readSome(at(end_), kWindowSize - static_cast<std::size_t>(end_ - base_));
        if (input_.failed()) return false;
        end_ += got;
        return true;
    }

    // Keeps the bytes not yet sent, the current filling and the bytes not yet searched.
    void compact() {
        const Offset keep = std::min({sent_, fillings_.start(), scan_});
        std::memmove(window_, at(keep), static_cast<std::size_t>(end_ - keep));
        base_ = keep;
    }

    bool sendUpTo(Offset upTo) {
        if (upTo <= sent_) return true;
        const bool sent = output_.send(at(sent_), static_cast<std::size_t>(upTo - sent_));
        sent_ = upTo;
        return sent;
    }

    void followFillings(Offset limit) { fillings_.followUpTo(limit, window_, base_); }

    int search() {
        for (;;) {
            std::size_t got = 0;
            if (!fill(got)) return fail(FilterStatus::ReadFailed);
            const TokenLine line =
                findTokenLine(window_, static_cast<std::size_t>(scan_ - base_),
                              static_cast<std::size_t>(end_ - base_), lineEndBeforeScan_);
            const Offset lineAt = base_ + line.at;
            if (line.match == TokenMatch::Found) {
                followFillings(lineAt + kPrologTokenLength - 1);
                return splice(lineAt);
            }
            followFillings(end_);
            const Offset scanned = line.match == TokenMatch::Partial ? lineAt : end_;
            if (scanned > scan_) lineEndBeforeScan_ = isLineEnd(*at(scanned - 1));
            scan_ = scanned;
            if (got == 0) {
                // The end of the job without a token line.
                if (fillings_.start() == end_ && hooks_.waitForInput != nullptr) {
                    hooks_.waitForInput();
                }
                return sendUpTo(end_) ? 0 : fail(FilterStatus::WriteFailed);
            }
            // The current filling stays for the line ending; everything before it goes on.
            if (!sendUpTo(std::min(fillings_.start(), scan_))) {
                return fail(FilterStatus::WriteFailed);
            }
        }
    }

    int splice(Offset tokenAt) {
        if (!sendUpTo(tokenAt)) return fail(FilterStatus::WriteFailed);
        scan_ = tokenAt;
        // The line ending is detected over the whole filling that holds the token.
        while (end_ < fillings_.end()) {
            std::size_t got = 0;
            if (!fill(got)) return fail(FilterStatus::ReadFailed);
            if (got == 0) break;
        }
        const std::size_t held =
            static_cast<std::size_t>(std::min(end_, fillings_.end()) - fillings_.start());
        if (buildSpliceText(options_, spliceText_, at(fillings_.start()), held) != 0) {
            return fail(FilterStatus::SpliceFailed);
        }
        const std::string_view text = spliceText_.view();
        if (!output_.write(reinterpret_cast<const unsigned char*>(text.data()), text.size())) {
            return fail(FilterStatus::WriteFailed);
        }
        if (!sendUpTo(end_)) return fail(FilterStatus::WriteFailed);
        return copy();
    }

    // Everything after the splice, without looking at it: inside the kernel where it will, else
    // read into the window and sent on at once.
    int copy() {
        if (input_.atEnd()) return 0;
        if (!output_.push()) return fail(FilterStatus::WriteFailed);
        const int in = input_.descriptor();
        const int out = output_.descriptor();
        if (in >= 0 && out >= 0 && transferDirectly(in, out) == DirectTransfer::Finished) return 0;
        for (;;) {
            const std::size_t got = input_.readSome(window_, kWindowSize);
            if (input_.failed()) return fail(FilterStatus::ReadFailed);
            if (got == 0) return 0;
            if (!output_.send(window_, got)) return fail(FilterStatus::WriteFailed);
        }
    }

    const JobOptions& options_;
    JobInput& input_;
    JobOutput& output_;
    unsigned char* window_;
    BoundedText& spliceText_;
    const FilterHooks& hooks_;
    Offset base_ = 0;                // the job position of the window's first byte
    Offset end_ = 0;                 // one past the last byte read
    Offset sent_ = 0;                // one past the last byte sent on
    Offset scan_ = 0;                // the first byte not yet searched
    bool lineEndBeforeScan_ = true;  // the byte before scan_ ends a line (or scan_ is 0)
    FillingTracker fillings_;
};

}  // namespace

namespace {

// The options as the rest of the filter reads them, or false with the job refused: a key spelled
// in another letter case, or dialog options that do not pass.
bool takeOptions(const char* optionsString, const JobOrigin& origin, JobOptions& options) {
    if (const auto misspelled = findMisspelledKey(optionsString != nullptr ? optionsString : "")) {
        refuseJob("Job option " + misspelled->written + " differs from " + misspelled->ours +
                  " only in letter case; use the exact name");
        return false;
    }
    return translateDialogOptions(options, origin);
}

}  // namespace

int runJobTypeFilter(const char* optionsString, JobInput& input, JobOutput& output,
                     const FilterHooks& hooks) {
    return runJobTypeFilter(optionsString, JobOrigin{}, input, output, hooks);
}

int runJobTypeFilter(const char* optionsString, const JobOrigin& origin, JobInput& input,
                     JobOutput& output, const FilterHooks& hooks) {
    resetFilterStatus();
    JobOptions options(optionsString);
    if (!takeOptions(optionsString, origin, options)) {
        recordStop(FilterStatus::OptionRefused);
        return 1;
    }

    auto spliceStorage = allocateZeroed<char>(kSpliceBufferSize);
    if (!spliceStorage) {
        recordStop(FilterStatus::MemoryError);
        return 1;
    }
    BoundedText spliceText(std::span<char>(spliceStorage.get(), kSpliceBufferSize));

    if (const char* zone = options.get(varlo::printsettings::kTimeZone)) {
        if (!isSafeTimeZone(zone)) {
            reportWarning(std::string("job option ") + varlo::printsettings::kTimeZone +
                          " is neither a POSIX TZ rule nor the name of a zone file; the "
                          "filter's own time zone is used");
        } else if (hooks.setTimeZone != nullptr) {
            hooks.setTimeZone(zone);
        }
    }

    // On a page boundary, where the kernel's copies in and out run at full speed.
    StreamBuffer window = allocateStreamBuffer(kWindowSize);
    if (!window) {
        recordStop(FilterStatus::MemoryError);
        return 1;
    }
    if (hooks.installSignalHandling != nullptr) hooks.installSignalHandling();

    JobStreamer streamer(options, input, output, window.get(), spliceText, hooks);
    return streamer.run();
}

}  // namespace jobtypefilter
