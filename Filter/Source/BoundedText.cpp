#include "BoundedText.h"

#include <cstdio>
#include <cstring>

namespace jobtypefilter {

BoundedText::BoundedText(std::span<char> storage) : storage_(storage) {
    if (!storage_.empty()) storage_[0] = '\0';
}

void BoundedText::append(std::string_view text) {
    if (overflowed_ || text.empty()) return;
    if (storage_.empty() || text.size() > storage_.size() - 1 - length_) {
        overflowed_ = true;
        return;
    }
    std::memcpy(storage_.data() + length_, text.data(), text.size());
    length_ += text.size();
    storage_[length_] = '\0';
}

namespace {

// A byte the string must carry as an escape: a raw line end would reach the device as LF and
// would start a new line of the job, and the other control bytes (ESC, ^D) speak to the
// printer's job language or the channel rather than to PostScript.
bool needsOctalEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

}  // namespace

void BoundedText::appendEscaped(std::string_view value) {
    std::size_t needed = value.size();
    for (char c : value) {
        if (c == '\\' || c == '(' || c == ')') {
            needed += 1;
        } else if (needsOctalEscape(static_cast<unsigned char>(c))) {
            needed += 3;
        }
    }
    if (overflowed_) return;
    if (storage_.empty() || needed > storage_.size() - 1 - length_) {
        overflowed_ = true;
        return;
    }
    char* out = storage_.data() + length_;
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '(' || c == ')') {
            *out++ = '\\';
            *out++ = c;
        } else if (needsOctalEscape(byte)) {
            // Always three digits, so that a digit after the escape is not taken into it.
            *out++ = '\\';
            *out++ = static_cast<char>('0' + (byte >> 6));
            *out++ = static_cast<char>('0' + ((byte >> 3) & 7));
            *out++ = static_cast<char>('0' + (byte & 7));
        } else {
            *out++ = c;
        }
    }
    length_ += needed;
    storage_[length_] = '\0';
}

void BoundedText::appendNumber(long number) {
    char digits[24];
    const int n = std::snprintf(digits, sizeof digits, "%ld", number);
    append(std::string_view(digits, static_cast<std::size_t>(n)));
}

void BoundedText::clear() {
    length_ = 0;
    overflowed_ = false;
    if (!storage_.empty()) storage_[0] = '\0';
}

}  // namespace jobtypefilter
