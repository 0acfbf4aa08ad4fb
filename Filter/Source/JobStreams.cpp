#include "JobStreams.h"

namespace jobtypefilter {

std::size_t StdioJobInput::read(unsigned char* into, std::size_t n) {
    return fread_unlocked(into, 1, n, file_);
}

bool StdioJobInput::atEnd() const { return std::feof(file_) != 0; }

bool StdioJobInput::failed() const { return std::ferror(file_) != 0; }

bool StdioJobOutput::write(const unsigned char* bytes, std::size_t n) {
    return fwrite_unlocked(bytes, 1, n, file_) == n;
}

bool StdioJobOutput::finish() { return std::fflush(file_) == 0 && std::ferror(file_) == 0; }

}  // namespace jobtypefilter
