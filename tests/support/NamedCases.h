// Table-driven cases that carry a `name`: gtest prints each by that name. A test file brings the
// printer into its cases' namespace (`using testsupport::PrintTo;`) for gtest to find it.
#pragma once

#include <ostream>

namespace testsupport {

template <typename Case>
concept NamedCase = requires(const Case& c) {
    c.name;
};

template <NamedCase Case>
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

}  // namespace testsupport
