#include "MarkingText.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>

#include "FilterStatus.h"
#include "JobClock.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

enum class TextPart { UserName, JobName, PrintTime };

// The parts each text type joins with " + ", in the order of MarkingTextType; the user-defined
// text has none.
const std::array<std::initializer_list<TextPart>, 8> kTextParts{{
    {},
    {TextPart::UserName},
    {TextPart::JobName},
    {TextPart::PrintTime},
    {TextPart::UserName, TextPart::JobName},
    {TextPart::UserName, TextPart::PrintTime},
    {TextPart::JobName, TextPart::PrintTime},
    {TextPart::UserName, TextPart::JobName, TextPart::PrintTime},
}};

constexpr std::string_view kSeparator = " + ";

std::string_view plainValue(const JobOptions& options, const char* key) {
    const char* value = options.get(key);
    return value != nullptr ? std::string_view(value) : std::string_view("");
}

}  // namespace

int appendCharsLimited(std::string_view source, BoundedText& text, int count) {
    if (count < 0) return -1;
    if (count < kMarkingTextBudget) {
        const std::size_t room = static_cast<std::size_t>(kMarkingTextBudget - count);
        const std::size_t taken = std::min(source.size(), room);
        if (taken > 0) text.append(source.substr(0, taken));
        count += static_cast<int>(taken);
    }
    return count <= kMarkingTextBudget ? count : -1;
}

int appendJobNameTokens(std::string_view source, BoundedText& text, int count) {
    if (count >= kMarkingTextBudget) return count;
    std::size_t start = 0;
    while (count >= 0 && start <= source.size()) {
        std::size_t comma = source.find(',', start);
        if (comma == std::string_view::npos) comma = source.size();
        const std::string_view field = source.substr(start, comma - start);
        start = comma + 1;
        if (field.empty()) continue;
        // A field may be far longer than the budget; compare before adding so the count
        // cannot overflow.
        const std::size_t weight = field.size() / 4;
        if (weight > static_cast<std::size_t>(kMarkingTextBudget - count)) {
            count = -1;
        } else {
            count += static_cast<int>(weight);
            text.append(field);
        }
    }
    return count;
}

namespace {

// The text stands whole, or the job is refused for its length.
bool textStandsWhole(const BoundedText& text) {
    if (!text.overflowed()) return true;
    refuseJob("the marking text is longer than its " + std::to_string(kMarkingTextSize - 1) +
              " bytes");
    return false;
}

}  // namespace

bool composeMarkingText(const JobOptions& options, MarkingTextType textType, BoundedText& text) {
    if (textType == MarkingTextType::UserDefined) {
        if (const char* custom = options.get(keys::kCCPCustomText)) text.append(custom);
        return textStandsWhole(text);
    }

    int count = 0;
    bool first = true;
    for (const TextPart part : kTextParts[static_cast<std::size_t>(textType)]) {
        if (!first) count = appendCharsLimited(kSeparator, text, count);
        first = false;
        switch (part) {
            case TextPart::UserName:
                count = appendCharsLimited(plainValue(options, keys::kCCPUserName), text, count);
                break;
            case TextPart::JobName: {
                const std::string_view jobName = plainValue(options, keys::kCCPJobName);
                if (jobName.size() > kJobNameLimit) {
                    refuseJob(std::string("job option ") + keys::kCCPJobName + " is longer than " +
                              std::to_string(kJobNameLimit) + " bytes");
                    return false;
                }
                count = appendJobNameTokens(jobName, text, count);
                break;
            }
            case TextPart::PrintTime: {
                char stamp[kTimeStampSize];
                formatDisplayTime(stamp);
                count = appendCharsLimited(stamp, text, count);
                break;
            }
        }
        if (count < 0) {
            // A note, not a refusal: the block is written with the text composed so far.
            recordFilterStatus(FilterStatus::SpliceFailed);
            break;
        }
    }
    return textStandsWhole(text);
}

}  // namespace jobtypefilter
