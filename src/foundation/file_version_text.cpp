#include "file_version_text.h"

#include "string_format.h"

namespace vo {

VoString FileVersionText(uint32_t most_significant, uint32_t least_significant, bool four_parts) {
  const int a = static_cast<int>(most_significant >> 16), b = static_cast<int>(most_significant & 0xFFFF);
  const int c = static_cast<int>(least_significant >> 16), d = static_cast<int>(least_significant & 0xFFFF);
  return four_parts ? VoFormat(L"%d.%d.%d.%d", a, b, c, d) : VoFormat(L"%d.%d.%d", a, b, c);
}

}  // namespace vo
