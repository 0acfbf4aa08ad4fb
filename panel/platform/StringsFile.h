// Localized strings tables in the .strings format of plug-in bundles:
//   /* comment */  // comment
//   "key" = "value";
//   "key";                      (the key stands for itself)
// Keys and values are quoted (\" \\ \n \t \r \' and \Uxxxx escapes) or plain words. The file is
// UTF-8, or UTF-16 with a byte-order mark; a file that is neither is refused with the line of its
// first malformed byte.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kordavine::platform {

struct StringsParse {
    std::map<std::string, std::string, std::less<>> table;
    std::optional<std::string> error;  // what is wrong, with the line; the table then holds nothing
};

StringsParse parseStringsFile(std::string_view bytes);

}  // namespace kordavine::platform
