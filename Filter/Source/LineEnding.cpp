#include "LineEnding.h"

namespace jobtypefilter {

std::string_view detectLineEnding(const unsigned char* first, std::size_t heldCount) {
    for (std::size_t i = 0; i < heldCount; ++i) {
        const unsigned char byte = first[i];
        if (byte == '\n') {
            if (i == 0) continue;
            return kLF;
        }
        if (byte == '\r') {
            if (i + 2 >= heldCount) return kLF;
            return first[i + 1] == '\n' ? kCRLF : kCR;
        }
    }
    return kLF;
}

}  // namespace jobtypefilter
