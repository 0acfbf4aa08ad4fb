// Reading the scripted dialog's JSON documents (the script and the initial print settings) from
// a file, standard input or a command-line argument, within bounds: whatever the input, memory
// and stack stay small and a document out of bounds gets an error that says which bound.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kordavine::driver {

// The largest document read: many times what a dialog script needs, and small enough that its
// parsed tree stays small.
inline constexpr std::size_t kMaxDocumentBytes = 1024 * 1024;
// How deep arrays and objects may lie inside each other. A script is a list of step objects
// whose arguments are plain values, so three levels are all it needs.
inline constexpr int kMaxNesting = 64;

// A document that cannot be read, is not JSON or is out of bounds.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The bytes of the file at path, or of standard input for "-". An InputError naming what (for
// example "the script") when it cannot be read or holds more than kMaxDocumentBytes; no more
// than that is ever read.
std::string readDocument(const std::string& path, std::string_view what);

// text as JSON. An InputError naming what when it is not JSON, is longer than
// kMaxDocumentBytes or nests arrays and objects deeper than kMaxNesting; the check comes while
// parsing, before a deep tree is built.
nlohmann::json parseDocument(std::string_view text, std::string_view what);

}  // namespace kordavine::driver
