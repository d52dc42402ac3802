#pragma once
// Character classes and case folding of the C runtime in the current locale.
// Code units 0-255 are classified once and cached; higher units are asked on
// the fly, so the answers match the runtime's everywhere.

namespace vo {

bool IsDigitChar(wchar_t c);
bool IsAlphaChar(wchar_t c);
bool IsSpaceChar(wchar_t c);
wchar_t ToLowerChar(wchar_t c);

// Classifies 0-255 afresh after the C locale changed. Call it before other
// threads use the tables (start-up does).
void RebuildCharacterTables();

}  // namespace vo
