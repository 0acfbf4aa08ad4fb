#include "PrinterAttributes.h"

namespace kordavine::joblog {

bool isTrue(const std::optional<std::string>& value) { return value && *value == "true"; }

bool isNotFalse(const std::optional<std::string>& value) { return value && *value != "false"; }

}  // namespace kordavine::joblog
