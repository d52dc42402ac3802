#pragma once
// The installer's command line: split into arguments by the process entry,
// joined again into one normalised text, and parsed for the switches.

#include <string_view>

#include "app/session.h"
#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// Spaces outside quotes separate arguments; a double quote after an odd
// number of backslashes is an ordinary character (the backslashes stay);
// any other double quote opens quoting or, when open, closes it and ends the
// argument at once, even an empty one. Quote characters are dropped.
VoStringArray SplitArguments(std::wstring_view text);

// Every double quote becomes backslash + quote; an argument holding a space
// or a single quote is then enclosed in double quotes; one space between
// arguments.
VoString JoinArguments(const VoStringArray& arguments);

// Sets the switch fields of `session` from a joined command line: each piece
// after a "/" is one switch, recognised by its leading keyword (any case).
// Text before the first "/" is ignored. Returns true always.
bool ParseCommandLine(std::wstring_view text, InstallSession& session);
bool ParseCommandLine(std::wstring_view text);

}  // namespace vo
