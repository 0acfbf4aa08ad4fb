#include "CopyControl.h"

#include <array>
#include <string>

#include "FilterStatus.h"
#include "MarkingText.h"
#include "PostScriptLines.h"
#include "PostScriptNumber.h"
#include "PrintSettingsKeys.h"

namespace jobtypefilter {

namespace keys = varlo::printsettings;

namespace {

// The required values, written as they stand (the font between parentheses).
struct RequiredValues {
    const char* font = nullptr;
    const char* size = nullptr;
    const char* angle = nullptr;
    const char* lineSpace = nullptr;
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

// A required read of a value that goes into the PostScript as a bare token: null when the key
// is absent or the value is no number an interpreter holds (the reason recorded).
const char* readBareNumber(const JobOptions& options, const char* key) {
    const char* value = readStoppingOption(options, key);
    if (value == nullptr || !acceptBareNumber(key, value)) return nullptr;
    return value;
}

int failBlock(BoundedText& area) {
    area.clear();
    recordFilterStatus(FilterStatus::SpliceFailed);
    return 1;
}

void writeBlock(BoundedText& area, std::string_view L, const CopyControlSettings& s,
                const RequiredValues& v, std::string_view text) {
    area.append(L);
    appendLine(area, L, 0, "mark {");
    appendLine(area, L, 0, "<< /MarkingType ", static_cast<int>(s.type));
    if (s.type == CopyControlType::PreventionCopyPattern) {
        appendLine(area, L, 0, "/MarkingColor ", s.color);
        appendLine(area, L, 0, "/MarkingDensity ", s.density);
        appendLine(area, L, 0, "/MaskPattern ", s.mask);
    }
    appendLine(area, L, 0, "/StringEffect ", s.effect);
    appendLine(area, L, 0, "/StringAttributes <<");
    appendLine(area, L, 0, "/FontName (", Quoted{v.font}, ")");
    appendLine(area, L, 0, "/FontSize ", v.size);
    appendLine(area, L, 0, "/String (", Quoted{text}, ")");
    appendLine(area, L, 0, "/StringPosition ", s.position);
    appendLine(area, L, 0, "/StringAngle ", v.angle);
    if (s.repeat != RepeatMode::Off) {
        appendLine(area, L, 0, "/StringLoopAttributes <<");
        appendLine(area, L, 0, "/StringLoopInterval ", v.lineSpace);
        appendLine(
            area, L, 0,
            s.repeat == RepeatMode::Repeat ? "/StringLoopToggle false" : "/StringLoopToggle true");
        appendLine(area, L, 0, ">>");
    }
    // Closes the string attributes only: the "<<" opened with the marking type stays open
    // for SetMarkingType, which takes the pairs from the stack itself.
    appendLine(area, L, 0, ">>");
    appendLine(area, L, 0, "/ZDeviceProcSet /ProcSet findresource /SetMarkingType get exec");
    appendLine(area, L, 0, "} stopped cleartomark");
    area.append(L);
}

}  // namespace

// The required reads come in the device's order; the block is written only when all succeeded.
int buildMarkingBlock(const JobOptions& options, const CopyControlSettings& settings,
                      BoundedText& area, std::string_view L) {
    area.clear();
    RequiredValues v;
    v.font = readStoppingOption(options, keys::kCCPFont);
    if (v.font == nullptr) return failBlock(area);
    v.size = readBareNumber(options, keys::kCCPSize);
    if (v.size == nullptr) return failBlock(area);

    std::array<char, kMarkingTextSize> textStorage{};
    BoundedText text(textStorage);
    if (!composeMarkingText(options, settings.textType, text)) return failBlock(area);

    v.angle = readBareNumber(options, keys::kCCPAngle);
    if (v.angle == nullptr) return failBlock(area);
    // The line space is required whatever the repeat mode; it is written, and so must be a
    // number, only with the loop attributes.
    v.lineSpace = readStoppingOption(options, keys::kCCPLineSpace);
    if (v.lineSpace == nullptr) return failBlock(area);
    if (settings.repeat != RepeatMode::Off && !acceptBareNumber(keys::kCCPLineSpace, v.lineSpace)) {
        return failBlock(area);
    }

    writeBlock(area, L, settings, v, text.view());
    if (area.overflowed()) {
        refuseJob("the copy-control block with its values escaped is longer than its " +
                  std::to_string(kCopyControlAreaSize - 1) + " bytes");
        return failBlock(area);
    }
    return 0;
}

}  // namespace jobtypefilter
