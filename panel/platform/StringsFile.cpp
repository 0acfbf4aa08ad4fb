#include "StringsFile.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace kordavine::platform {

namespace {

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

class ParseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// UTF-16 text (after its byte-order mark) as UTF-8.
std::string utf8FromUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) throw ParseError("odd number of bytes in UTF-16 text");
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[at]);
        const auto b1 = static_cast<unsigned char>(bytes[at + 1]);
        std::uint32_t unit = bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
        if (isHighSurrogate(unit)) {
            if (at + 3 >= bytes.size()) throw ParseError("unpaired surrogate in UTF-16 text");
            const auto c0 = static_cast<unsigned char>(bytes[at + 2]);
            const auto c1 = static_cast<unsigned char>(bytes[at + 3]);
            const std::uint32_t low = bigEndian ? (c0 << 8 | c1) : (c1 << 8 | c0);
            if (!isLowSurrogate(low)) throw ParseError("unpaired surrogate in UTF-16 text");
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        } else if (isLowSurrogate(unit)) {
            throw ParseError("unpaired surrogate in UTF-16 text");
        }
        appendUtf8(out, unit);
    }
    return out;
}

// The offset of the first byte that does not start or continue a well-formed UTF-8 sequence
// (no overlong forms, no surrogates, nothing beyond U+10FFFF); none when the text is well formed.
std::optional<std::size_t> firstMalformedUtf8(std::string_view text) {
    auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char lead = byteAt(at);
        std::size_t length = 0;
        // The range the second byte must lie in; it also excludes overlong forms, surrogates
        // and values beyond U+10FFFF.
        unsigned char low = 0x80, high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return at;
        }
        for (std::size_t i = 1; i < length; ++i) {
            if (at + i >= text.size()) return at;
            const unsigned char next = byteAt(at + i);
            if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return at;
        }
        at += length;
    }
    return std::nullopt;
}

std::size_t lineAt(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n';
    return line;
}

class StringsParser {
  public:
    explicit StringsParser(std::string_view text) : text_(text) {}

    std::map<std::string, std::string, std::less<>> parse() {
        std::map<std::string, std::string, std::less<>> table;
        for (skipSpaceAndComments(); !atEnd(); skipSpaceAndComments()) {
            std::string key = readString();
            skipSpaceAndComments();
            std::string value = key;
            if (peek() == '=') {
                ++at_;
                skipSpaceAndComments();
                value = readString();
                skipSpaceAndComments();
            }
            if (peek() != ';') fail("expected ';'");
            ++at_;
            table.insert_or_assign(std::move(key), std::move(value));
        }
        return table;
    }

  private:
    bool atEnd() const { return at_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[at_]; }

    [[noreturn]] void fail(const std::string& what) const {
        throw ParseError("line " + std::to_string(lineAt(text_, at_)) + ": " + what);
    }

    void skipSpaceAndComments() {
        while (!atEnd()) {
            if (std::isspace(static_cast<unsigned char>(peek()))) {
                ++at_;
            } else if (text_.substr(at_, 2) == "/*") {
                const auto end = text_.find("*/", at_ + 2);
                if (end == std::string_view::npos) fail("unterminated comment");
                at_ = end + 2;
            } else if (text_.substr(at_, 2) == "//") {
                const auto end = text_.find('\n', at_);
                at_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    static bool isWordCharacter(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' ||
               c == ':' || c == '/' || c == '-';
    }

    std::string readString() {
        if (peek() == '"') return readQuoted();
        const std::size_t start = at_;
        while (!atEnd() && isWordCharacter(peek())) ++at_;
        if (at_ == start) fail("expected a string");
        return std::string(text_.substr(start, at_ - start));
    }

    std::uint32_t readHex(std::size_t digits) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            const char c = peek();
            if (!std::isxdigit(static_cast<unsigned char>(c))) fail("bad \\U escape");
            value = value * 16 + static_cast<std::uint32_t>(
                                     std::isdigit(static_cast<unsigned char>(c))
                                         ? c - '0'
                                         : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
            ++at_;
        }
        return value;
    }

    std::string readQuoted() {
        ++at_;  // the opening quote
        std::string out;
        while (true) {
            if (atEnd()) fail("unterminated string");
            const char c = text_[at_++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd()) fail("unterminated string");
            const char escaped = text_[at_++];
            switch (escaped) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case '"':
                    out += '"';
                    break;
                case '\'':
                    out += '\'';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case 'U':
                case 'u': {
                    std::uint32_t unit = readHex(4);
                    if (isHighSurrogate(unit)) {
                        if (text_.substr(at_, 2) != "\\U" && text_.substr(at_, 2) != "\\u")
                            fail("unpaired surrogate");
                        at_ += 2;
                        const std::uint32_t low = readHex(4);
                        if (!isLowSurrogate(low)) fail("unpaired surrogate");
                        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    } else if (isLowSurrogate(unit)) {
                        fail("unpaired surrogate");
                    }
                    appendUtf8(out, unit);
                    break;
                }
                default:
                    fail(std::string("unknown escape \\") + escaped);
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

StringsParse parseStringsFile(std::string_view bytes) {
    StringsParse result;
    try {
        std::string utf8;
        if (bytes.starts_with("\xFF\xFE")) {
            utf8 = utf8FromUtf16(bytes.substr(2), false);
        } else if (bytes.starts_with("\xFE\xFF")) {
            utf8 = utf8FromUtf16(bytes.substr(2), true);
        } else {
            utf8 = std::string(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
            // Checked here, so that a table in another encoding (Latin-1, say) is refused with
            // its line when it is read, not met later as text no one can show.
            if (const auto bad = firstMalformedUtf8(utf8)) {
                char byte[8];
                std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(utf8[*bad]));
                throw ParseError("line " + std::to_string(lineAt(utf8, *bad)) +
                                 ": not UTF-8 (byte " + byte + ")");
            }
        }
        result.table = StringsParser(utf8).parse();
    } catch (const ParseError& error) {
        result.table.clear();
        result.error = error.what();
    }
    return result;
}

}  // namespace kordavine::platform
