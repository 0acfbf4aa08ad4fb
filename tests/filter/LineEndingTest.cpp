#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "LineEnding.h"

namespace jobtypefilter {
namespace {

struct LineEndingCase {
    std::string held;
    std::string_view expected;
};

void PrintTo(const LineEndingCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.held);
}

class LineEndingTest : public ::testing::TestWithParam<LineEndingCase> {};

TEST_P(LineEndingTest, DecidesFromTheFirstLineEnd) {
    const auto& c = GetParam();
    EXPECT_EQ(
        detectLineEnding(reinterpret_cast<const unsigned char*>(c.held.data()), c.held.size()),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEndingTest,
    ::testing::Values(LineEndingCase{"%!PS\n%%BeginProlog\n", kLF},
                      LineEndingCase{"%!PS\r%%BeginProlog\r", kCR},
                      LineEndingCase{"%!PS\r\n%%BeginProlog\r\n", kCRLF}, LineEndingCase{"", kLF},
                      LineEndingCase{"no line end", kLF},
                      // An LF in the first byte does not count; the CR after it decides.
                      LineEndingCase{"\nab\r\nxy", kCRLF},
                      // A CR needs two more bytes behind it to decide.
                      LineEndingCase{"ab\r", kLF}, LineEndingCase{"ab\r\n", kLF},
                      LineEndingCase{"ab\r\nx", kCRLF}, LineEndingCase{"ab\rxy", kCR}));

}  // namespace
}  // namespace jobtypefilter
