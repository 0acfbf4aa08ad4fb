// Zero-terminated text built in a fixed buffer the caller owns. An append that would not fit
// is refused whole and marks the text overflowed, so nothing is ever cut or written past the
// buffer; the builder checks overflowed() once at the end and refuses the whole text.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace jobtypefilter {

class BoundedText {
  public:
    // The buffer holds storage.size() - 1 bytes of text and the terminator.
    explicit BoundedText(std::span<char> storage);

    void append(std::string_view text);
    // Appends a value that goes between PostScript parentheses: backslash and both
    // parentheses get a backslash before them, every byte below 0x20 and 0x7F becomes a
    // three-digit octal escape (\ddd), every other byte stays as it is. The device receives
    // exactly the value's bytes, and no line of the job starts inside it.
    void appendEscaped(std::string_view value);
    void appendNumber(long number);

    std::string_view view() const { return {storage_.data(), length_}; }
    std::size_t size() const { return length_; }
    bool overflowed() const { return overflowed_; }
    // Empties the text; the overflow mark goes too.
    void clear();

  private:
    std::span<char> storage_;
    std::size_t length_ = 0;
    bool overflowed_ = false;
};

}  // namespace jobtypefilter
