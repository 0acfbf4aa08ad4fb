#include "SpliceText.h"

#include <array>
#include <string>

#include "CopyControl.h"
#include "FilterStatus.h"
#include "JobTypeBlocks.h"
#include "LineEnding.h"

namespace jobtypefilter {

namespace {

std::string spliceTooLongReason() {
    return "the inserted PostScript with its values escaped is longer than its " +
           std::to_string(kSpliceBufferSize - 1) + " bytes";
}

}  // namespace

int buildSpliceText(const JobOptions& options, BoundedText& spliceText, const unsigned char* first,
                    std::size_t heldCount) {
    const std::string_view L = detectLineEnding(first, heldCount);
    appendProcedureDefinitions(spliceText, L);

    if (appendJobTypeBlock(options, jobTypeFromOptions(options), spliceText, L) != 0) {
        recordFilterStatus(FilterStatus::SpliceFailed);
        return 1;
    }
    if (spliceText.overflowed()) {
        // Nothing after this could fit; the copy-control options are not read.
        refuseJob(spliceTooLongReason());
        recordFilterStatus(FilterStatus::SpliceFailed);
        return 1;
    }

    // The copy-control part: the marking block, or an empty line without copy control.
    std::array<char, kCopyControlAreaSize> areaStorage{};
    BoundedText area(areaStorage);
    const CopyControlSettings copyControl = readCopyControlSettings(options);
    if (copyControl.type == CopyControlType::Off) {
        area.append(L);
    } else if (buildMarkingBlock(options, copyControl, area, L) != 0) {
        recordFilterStatus(FilterStatus::SpliceFailed);
        return 1;
    }
    spliceText.append(area.view());
    if (spliceText.overflowed()) {
        refuseJob(spliceTooLongReason());
        recordFilterStatus(FilterStatus::SpliceFailed);
        return 1;
    }
    return 0;
}

}  // namespace jobtypefilter
