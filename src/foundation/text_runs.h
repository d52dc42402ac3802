#pragma once
// Leading runs of one character class, taken from a position that then moves
// past the run. A run may be empty (the position stays; a position past the
// end moves to the end).

#include <cstddef>
#include <string_view>

#include "vo_string.h"

namespace vo {

// White space of the current locale.
VoString TakeSpaceRun(std::wstring_view text, size_t& pos);

// Alphabetic characters of the current locale.
VoString TakeAlphaRun(std::wstring_view text, size_t& pos);

// A word: letters, with an apostrophe inside it ("don't") when a letter
// follows and it does not open the run, and a hyphen or U+2012 when a letter
// follows ("well-known").
VoString TakeWordRun(std::wstring_view text, size_t& pos);

// Decimal digits as ParseInt reads them (ASCII and the accepted Unicode digit
// blocks), so a digit run always parses to the number it shows.
VoString TakeDigitRun(std::wstring_view text, size_t& pos);

}  // namespace vo
