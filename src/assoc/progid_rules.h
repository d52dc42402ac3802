#pragma once
// The naming rules of the product's association entries: ProgIDs, backup
// value names, the own-ProgID test, and how a stored selection names file
// extensions.

#include <string_view>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// The product's name with its version, spaces removed ("Halvora23").
VoString ProgIdStem(std::wstring_view name_with_version);

// The ProgID for `extension` (with its "."): the stem and a suffix by kind.
VoString ProgIdForExtension(std::wstring_view stem, std::wstring_view extension, std::wstring_view own_extension);

// Where the old text of `value_name` is kept: stem, ".", the name ("Default"
// for the unnamed value), ".BAK", without any spaces.
VoString BackupValueName(std::wstring_view stem, std::wstring_view value_name);

// Whether `value` is one of the product's ProgIDs: its text before the last
// "." is the stem (case ignored).
bool IsOwnProgId(std::wstring_view stem, std::wstring_view value);

// "." in front when the text has none.
VoString DottedExtension(std::wstring_view extension);

// A protocol name without "://" and what follows it.
VoString ProtocolName(std::wstring_view name);

// MIME types of a ";"-separated list; with `wildcards` each type is cut
// after its "/" and followed by "*" (duplicates dropped).
VoStringArray SplitMimeTypes(std::wstring_view types, bool wildcards);

// The extensions (lower case, without ".") that one selection entry names:
// a description such as "JPEG Image (jpg)" names those in its last
// parentheses, anything else is an extension itself.
VoStringArray SelectionEntryExtensions(std::wstring_view entry);

}  // namespace vo
