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

int buildSpliceText(const JobOptions& options, BoundedText& spliceText,
                    const unsigned char* first, std::size_t heldCount) {
    const std::string_view L = detectLineEnding(first, heldCount);
    appendProcedureDefinitions(spliceText, L);

    const BlockOperation appendJobTypeBlock = jobTypeFromOptions(options);
    if (appendJobTypeBlock(options, spliceText, L) != 0) {
        recordFilterStatus(kStatusSpliceFailed);
        return 1;
    }
    if (spliceText.overflowed()) {
        // Nothing after this could fit; the copy-control options are not read.
        refuseJob(spliceTooLongReason());
        recordFilterStatus(kStatusSpliceFailed);
        return 1;
    }

    std::array<char, kCopyControlAreaSize> areaStorage{};
    BoundedText area(areaStorage);
    int blockResult = 0;
    switch (copyControlType(options)) {
        case 1:
            blockResult = buildCopyGuardBlock(options, 1, area, L);
            break;
        case 2:
            blockResult = buildCopyPatternBlock(options, 2, area, L);
            break;
        default:
            area.append(L);
            break;
    }
    if (blockResult != 0 || area.overflowed()) {
        recordFilterStatus(kStatusSpliceFailed);
        return 1;
    }
    spliceText.append(area.view());
    if (spliceText.overflowed()) {
        refuseJob(spliceTooLongReason());
        recordFilterStatus(kStatusSpliceFailed);
        return 1;
    }
    return 0;
}

}  // namespace jobtypefilter
