#include "CopyControl.h"

#include <array>
#include <string>

#include "CopyControlValues.h"
#include "FilterStatus.h"
#include "MarkingText.h"
#include "PostScriptLines.h"
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

// A required read of a value that goes into the PostScript as a bare token: null when the key
// is absent (status recorded by the read) or the value is not token-safe.
const char* readBareToken(const JobOptions& options, const char* key) {
    const char* value = getRequiredOption(options, key);
    if (value == nullptr || !isPostScriptNumber(value)) return nullptr;
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
    s.font = getRequiredOption(options, keys::kCCPFont);
    if (s.font == nullptr) return failBlock(area);
    s.size = readBareToken(options, keys::kCCPSize);
    if (s.size == nullptr) return failBlock(area);

    std::array<char, kMarkingTextSize> textStorage{};
    BoundedText text(textStorage);
    if (!composeMarkingText(options, text)) return failBlock(area);

    s.position = stringPositionCode(options);
    s.angle = readBareToken(options, keys::kCCPAngle);
    if (s.angle == nullptr) return failBlock(area);
    // The line space is required whatever the repeat mode; it is written, and so must be a
    // safe token, only with the loop attributes.
    s.lineSpace = getRequiredOption(options, keys::kCCPLineSpace);
    if (s.lineSpace == nullptr) return failBlock(area);
    s.repeat = stringRepeatMode(options);
    if (s.repeat != 0 && !isPostScriptNumber(s.lineSpace)) return failBlock(area);

    writeBlock(area, L, markingType, withPattern, s, text.view());
    if (area.overflowed()) return failBlock(area);
    return 0;
}

}  // namespace

namespace {

bool isDigitIn(char c, int base) {
    int digit;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (c >= 'a' && c <= 'z') {
        digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'Z') {
        digit = c - 'A' + 10;
    } else {
        return false;
    }
    return digit < base;
}

// Consumes a run of decimal digits from the front of text; answers how many.
std::size_t takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
    text.remove_prefix(n);
    return n;
}

bool isRadixNumber(std::string_view value) {
    const std::size_t hash = value.find('#');
    if (hash == std::string_view::npos || hash == 0 || hash > 2) return false;
    std::string_view baseText = value.substr(0, hash);
    if (takeDigits(baseText) != hash) return false;
    const int base = std::stoi(std::string(value.substr(0, hash)));
    const std::string_view digits = value.substr(hash + 1);
    if (base < 2 || base > 36 || digits.empty()) return false;
    for (char c : digits) {
        if (!isDigitIn(c, base)) return false;
    }
    return true;
}

}  // namespace

bool isPostScriptNumber(std::string_view value) {
    if (isRadixNumber(value)) return true;
    std::string_view rest = value;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
    const std::size_t whole = takeDigits(rest);
    std::size_t fraction = 0;
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        fraction = takeDigits(rest);
    }
    if (whole == 0 && fraction == 0) return false;
    if (!rest.empty() && (rest.front() == 'e' || rest.front() == 'E')) {
        rest.remove_prefix(1);
        if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
        if (takeDigits(rest) == 0) return false;
    }
    return rest.empty();
}

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
