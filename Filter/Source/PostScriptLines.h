// Line assembly for the splice text: a line is some tabs, literal fragments and values that go
// between parentheses (escaped), followed by the job's line ending.
#pragma once

#include <string_view>

#include "BoundedText.h"

namespace jobtypefilter {

// A value written between PostScript parentheses.
struct Quoted {
    std::string_view text;
};

inline void appendPiece(BoundedText& text, std::string_view literal) {
    text.append(literal);
}
inline void appendPiece(BoundedText& text, const char* literal) {
    text.append(literal);
}
inline void appendPiece(BoundedText& text, Quoted value) {
    text.appendEscaped(value.text);
}
inline void appendPiece(BoundedText& text, long number) {
    text.appendNumber(number);
}
inline void appendPiece(BoundedText& text, int number) {
    text.appendNumber(number);
}

template <typename... Pieces>
void appendLine(BoundedText& text, std::string_view lineEnding, int tabs, const Pieces&... pieces) {
    for (int i = 0; i < tabs; ++i) text.append("\t");
    (appendPiece(text, pieces), ...);
    text.append(lineEnding);
}

}  // namespace jobtypefilter
