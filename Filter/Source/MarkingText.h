// The text of the copy-control marking: a custom text, or the login user name, the print job
// name and the print time joined by " + ", within a running budget of 64.
#pragma once

#include <cstddef>
#include <string_view>

#include "BoundedText.h"
#include "CopyControlValues.h"
#include "JobOptions.h"

namespace jobtypefilter {

// The buffer the marking text is composed in (1023 bytes of text and a terminator).
inline constexpr std::size_t kMarkingTextSize = 1024;
// The longest job name the filter takes (4095 bytes); a longer one is refused, never cut.
inline constexpr std::size_t kJobNameLimit = 4095;
inline constexpr int kMarkingTextBudget = 64;

// Appends the source byte by byte while count stays under the budget, one per byte, and
// returns the new count (at most 64). A count of 64 appends nothing; a negative count
// (budget already exceeded) appends nothing and stays -1.
int appendCharsLimited(std::string_view source, BoundedText& text, int count);

// Appends the comma-separated fields of source without the commas, skipping empty fields.
// A field counts its length divided by 4 and is appended whole when the count stays within
// the budget; the first field that does not fit sets the count to -1 and ends the appends.
// A count of 64 or more on entry appends nothing and is returned unchanged.
int appendJobNameTokens(std::string_view source, BoundedText& text, int count);

// Composes the marking text textType asks for into text (expected empty). An exceeded
// budget records the splice-failed status and keeps what was appended before; the text is
// still usable. Returns false, with the reason for the refusal recorded, when the text cannot
// stand whole: a job name longer than kJobNameLimit, or a text that does not fit the buffer.
bool composeMarkingText(const JobOptions& options, MarkingTextType textType, BoundedText& text);

}  // namespace jobtypefilter
