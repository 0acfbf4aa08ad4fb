#include "CopyControl.h"

#include <array>
#include <string>

#include "CopyControlValues.h"
#include "FilterStatus.h"
#include "MarkingText.h"
#include "PostScriptLines.h"
#include "PostScriptNumber.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

constexpr std::array<ValueCode, 2> kCopyControlTypes{{
    {"Copy Guard", 1},
    {"Prevention Copy Pattern", 2},
}};

// Everything a block writes besides the marking text.
struct MarkingSettings {
    int color = 0;
    int density = 0;
    int mask = 0;
    int effect = 0;
    const char* font = nullptr;
    const char* size = nullptr;
    int position = 0;
    const char* angle = nullptr;
    const char* lineSpace = nullptr;
    int repeat = 0;
};

// A value written into the PostScript as a bare token must be a number an interpreter holds;
// false (with the reason the job is refused) when it is not.
bool acceptBareNumber(const char* key, const char* value) {
    switch (checkPostScriptNumber(value)) {
        case NumberCheck::Number:
            return true;
        case NumberCheck::NotANumber:
            refuseJob(std::string("job option ") + key + " is not a PostScript number");
            return false;
        case NumberCheck::OutOfRange:
            refuseJob(std::string("job option ") + key +
                      " is a number beyond a PostScript interpreter's limits (0 or 1e-38 to "
                      "3.4e38 in magnitude, at most 64 characters, radix numbers up to 31 bits)");
            return false;
    }
    return false;
}

// A required read whose absence stops the job.
const char* readMarkingOption(const JobOptions& options, const char* key) {
    const char* value = getRequiredOption(options, key);
    if (value == nullptr) refuseJob(missingOptionReason(key));
    return value;
}

// A required read of a value that goes into the PostScript as a bare token: null when the key
// is absent or the value is no number an interpreter holds (the reason recorded).
const char* readBareNumber(const JobOptions& options, const char* key) {
    const char* value = readMarkingOption(options, key);
    if (value == nullptr || !acceptBareNumber(key, value)) return nullptr;
    return value;
}

int failBlock(BoundedText& area) {
    area.clear();
    recordFilterStatus(kStatusSpliceFailed);
    return 1;
}

void writeBlock(BoundedText& area, std::string_view L, int markingType, bool withPattern,
                const MarkingSettings& s, std::string_view text) {
    area.append(L);
    appendLine(area, L, 0, "mark {");
    appendLine(area, L, 0, "<< /MarkingType ", markingType);
    if (withPattern) {
        appendLine(area, L, 0, "/MarkingColor ", s.color);
        appendLine(area, L, 0, "/MarkingDensity ", s.density);
        appendLine(area, L, 0, "/MaskPattern ", s.mask);
    }
    appendLine(area, L, 0, "/StringEffect ", s.effect);
    appendLine(area, L, 0, "/StringAttributes <<");
    appendLine(area, L, 0, "/FontName (", Quoted{s.font}, ")");
    appendLine(area, L, 0, "/FontSize ", s.size);
    appendLine(area, L, 0, "/String (", Quoted{text}, ")");
    appendLine(area, L, 0, "/StringPosition ", s.position);
    appendLine(area, L, 0, "/StringAngle ", s.angle);
    if (s.repeat != 0) {
        appendLine(area, L, 0, "/StringLoopAttributes <<");
        appendLine(area, L, 0, "/StringLoopInterval ", s.lineSpace);
        appendLine(area, L, 0, s.repeat == 1 ? "/StringLoopToggle false" : "/StringLoopToggle true");
        appendLine(area, L, 0, ">>");
    }
    // Closes the string attributes only: the "<<" opened with the marking type stays open
    // for SetMarkingType, which takes the pairs from the stack itself.
    appendLine(area, L, 0, ">>");
    appendLine(area, L, 0, "/ZDeviceProcSet /ProcSet findresource /SetMarkingType get exec");
    appendLine(area, L, 0, "} stopped cleartomark");
    area.append(L);
}

// The reads come first, in the device's order; the block is written only when all succeeded.
int buildMarkingBlock(const JobOptions& options, int markingType, bool withPattern,
                      BoundedText& area, std::string_view L) {
    area.clear();
    MarkingSettings s;
    if (withPattern) {
        s.color = markingColorCode(options);
        s.density = markingDensityCode(options);
        s.mask = maskPatternCode(options);
    }
    s.effect = stringEffectCode(options, markingType);
    s.font = readMarkingOption(options, keys::kCCPFont);
    if (s.font == nullptr) return failBlock(area);
    s.size = readBareNumber(options, keys::kCCPSize);
    if (s.size == nullptr) return failBlock(area);

    std::array<char, kMarkingTextSize> textStorage{};
    BoundedText text(textStorage);
    if (!composeMarkingText(options, text)) return failBlock(area);

    s.position = stringPositionCode(options);
    s.angle = readBareNumber(options, keys::kCCPAngle);
    if (s.angle == nullptr) return failBlock(area);
    // The line space is required whatever the repeat mode; it is written, and so must be a
    // number, only with the loop attributes.
    s.lineSpace = readMarkingOption(options, keys::kCCPLineSpace);
    if (s.lineSpace == nullptr) return failBlock(area);
    s.repeat = stringRepeatMode(options);
    if (s.repeat != 0 && !acceptBareNumber(keys::kCCPLineSpace, s.lineSpace)) {
        return failBlock(area);
    }

    writeBlock(area, L, markingType, withPattern, s, text.view());
    if (area.overflowed()) {
        refuseJob("the copy-control block with its values escaped is longer than its " +
                  std::to_string(kCopyControlAreaSize - 1) + " bytes");
        return failBlock(area);
    }
    return 0;
}

}  // namespace

int copyControlType(const JobOptions& options) {
    return codeForOption(options, keys::kCCPCopyControlType, kCopyControlTypes, 0);
}

int buildCopyGuardBlock(const JobOptions& options, int markingType, BoundedText& area,
                        std::string_view lineEnding) {
    return buildMarkingBlock(options, markingType, false, area, lineEnding);
}

int buildCopyPatternBlock(const JobOptions& options, int markingType, BoundedText& area,
                          std::string_view lineEnding) {
    return buildMarkingBlock(options, markingType, true, area, lineEnding);
}

}  // namespace jobtypefilter
