// The stream search against a literal model of the 4096-byte fillings: the token tried at each
// filling's first byte when it truly begins a line and at every line start after a run of CR and
// LF bytes, a token beginning split between two fillings carried to the front of the next, the
// line ending detected over the filling that holds the token, and the one-second wait when a
// filling's read brings nothing. Random jobs, rich in line ends and token pieces around the
// filling boundaries, must give the model's bytes, result and waits, whatever sizes the input
// hands its bytes out in.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "FilterTestSupport.h"
#include "JobOptions.h"
#include "SpliceText.h"

namespace jobtypefilter::testing {
namespace {

constexpr std::size_t kFilling = 4096;
constexpr std::string_view kToken = "%%BeginProlog";

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

struct ModelRun {
    int result = 0;
    std::string output;
    int waits = 0;
};

class FillingModel {
  public:
    FillingModel(const std::string& options, std::string_view job)
        : options_(options.c_str()), job_(job) {}

    ModelRun run() {
        ModelRun run;
        bool lineStartAhead = true;
        for (;;) {
            if (atEnd_) return run;
            std::string held = readUpTo(kFilling);
            if (held.empty()) {
                ++run.waits;
                continue;
            }
            std::size_t candidate = 0;
            bool tryIt = lineStartAhead;
            for (;;) {
                const int match = tryIt ? compare(held, candidate) : 0;
                tryIt = true;
                if (match == 0) {
                    if (auto next = nextLineStart(held, candidate)) {
                        candidate = *next;
                        continue;
                    }
                    run.output += held;
                    lineStartAhead = isLineEnd(held.back());
                    break;
                }
                if (match == 1) return splice(run, held, candidate);
                run.output += held.substr(0, candidate);
                std::string carried = held.substr(candidate);
                const std::string more = readUpTo(kFilling - carried.size());
                if (more.empty()) {
                    run.output += carried;
                    break;
                }
                held = carried + more;
                candidate = 0;
            }
        }
    }

  private:
    std::string readUpTo(std::size_t n) {
        const std::string_view got = job_.substr(std::min(position_, job_.size()), n);
        position_ += got.size();
        if (got.size() < n) atEnd_ = true;
        return std::string(got);
    }

    // 0 no match, 1 found, 2 partial.
    static int compare(const std::string& held, std::size_t candidate) {
        for (std::size_t i = 0; i < kToken.size(); ++i) {
            if (held[candidate + i] != kToken[i]) return 0;
            if (candidate + i == held.size() - 1 && i + 1 < kToken.size()) return 2;
        }
        return 1;
    }

    static std::optional<std::size_t> nextLineStart(const std::string& held, std::size_t from) {
        const std::size_t last = held.size() - 1;
        std::size_t at = from;
        while (at < last && !isLineEnd(held[at])) ++at;
        if (at >= last) return std::nullopt;
        while (isLineEnd(held[at])) {
            if (at == last) return std::nullopt;
            ++at;
        }
        return at;
    }

    ModelRun& splice(ModelRun& run, const std::string& held, std::size_t candidate) {
        run.output += held.substr(0, candidate);
        char storage[kSpliceBufferSize];
        BoundedText text(storage);
        if (buildSpliceText(options_, text, reinterpret_cast<const unsigned char*>(held.data()),
                            held.size()) != 0) {
            run.result = 1;
            return run;
        }
        run.output += text.view();
        run.output += held.substr(candidate);
        run.output += job_.substr(std::min(position_, job_.size()));
        return run;
    }

    const JobOptions options_;
    std::string_view job_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
};

// The first token that truly begins a line, the mended rule in one sentence.
std::size_t firstTokenLine(std::string_view job) {
    for (std::size_t at = job.find(kToken); at != std::string_view::npos;
         at = job.find(kToken, at + 1)) {
        if (at == 0 || isLineEnd(job[at - 1])) return at;
    }
    return std::string_view::npos;
}

// Pieces that make line starts, CR LF pairs split over boundaries and token beginnings.
std::string randomJob(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"\n",
                                                    "\r",
                                                    "\r\n",
                                                    "\n\n",
                                                    "%",
                                                    "%%",
                                                    "%%Begin",
                                                    "%%BeginProlog",
                                                    "Prolog",
                                                    "x",
                                                    " %%BeginProlog",
                                                    "%!PS\n",
                                                    "%%BeginPrologue",
                                                    "%%BeginProlo"};
    std::string job;
    const std::size_t target = random() % (4 * kFilling + 200);
    while (job.size() < target) {
        switch (random() % 4) {
            case 0: {
                // Filler up to just short of the next filling boundary, so that the next piece
                // straddles it.
                const std::size_t toBoundary = kFilling - job.size() % kFilling;
                const std::size_t back = random() % 16;
                job.append(toBoundary > back ? toBoundary - back : toBoundary, 'a');
                break;
            }
            case 1:
                job.append(1 + random() % 300, 'b');
                break;
            default:
                job += pieces[random() % pieces.size()];
                break;
        }
    }
    return job;
}

int waits = 0;
void countWait() {
    ++waits;
}

class FillingEquivalenceTest : public FixedClockTest {};

TEST_F(FillingEquivalenceTest, RandomJobsGiveTheFillingModelsBytes) {
    // The second options set fails the splice (Locked Print without a password).
    const std::string optionSets[] = {"com.varlo.printsettings.UserID=u",
                                      "com.varlo.printsettings.JobType=\"Locked Print\""};
    std::mt19937 random(20261208);
    FilterHooks hooks;
    hooks.waitForInput = countWait;
    int splices = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string job = randomJob(random);
        const std::string& options = optionSets[round % 2];
        const ModelRun model = FillingModel(options, job).run();
        // The model tries exactly the true line starts.
        const std::size_t tokenLine = firstTokenLine(job);
        if (model.result == 0 && tokenLine != std::string_view::npos) {
            ASSERT_EQ(model.output.substr(0, tokenLine), job.substr(0, tokenLine));
            ASSERT_NE(model.output, job);
            ++splices;
        } else if (model.result == 0) {
            ASSERT_EQ(model.output, job) << "round " << round;
        } else {
            ASSERT_EQ(model.output, job.substr(0, tokenLine)) << "round " << round;
        }

        waits = 0;
        // Reads of the whole job, of random sizes, or byte by byte.
        std::vector<std::size_t> pieces;
        if (round % 3 == 1) pieces = {1 + random() % 5000, 1 + random() % 64, 4096};
        if (round % 3 == 2 && job.size() < 6000) pieces = {1};
        const FilterRun run = runFilter(options, job, hooks, pieces);
        ASSERT_EQ(run.result, model.result) << "round " << round;
        // Compared by the first byte that differs: the jobs are too long to print.
        const auto differ = std::mismatch(run.output.begin(), run.output.end(),
                                          model.output.begin(), model.output.end());
        ASSERT_TRUE(run.output == model.output)
            << "round " << round << ", job of " << job.size() << ": output of " << run.output.size()
            << " bytes, model's " << model.output.size() << ", first difference at "
            << (differ.first - run.output.begin());
        ASSERT_EQ(waits, model.waits) << "round " << round << ", job of " << job.size();
    }
    EXPECT_GT(splices, 300);  // the jobs do reach the splice, not only the copy
}

}  // namespace
}  // namespace jobtypefilter::testing
