#pragma once
// Reading a whole text file as UTF-8. The file loader takes this over once it
// exists; until then this small reader keeps its behaviour: the bytes are
// decoded as they stand, so a byte-order mark becomes a leading U+FEFF.

#include "vo_string.h"

namespace vo {

bool ReadFileBytes(const VoString& path, std::string& bytes);
bool ReadTextFileUtf8(const VoString& path, VoString& text);

}  // namespace vo
