#include "file_size_text.h"

#include "string_format.h"

namespace vo {

VoString FormatFileSize(int64_t bytes) {
  // Unsigned magnitude so that the most negative value has one as well.
  const uint64_t magnitude = bytes < 0 ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
  const wchar_t* sign = bytes < 0 ? L"-" : L"";
  struct Unit {
    uint64_t size;
    const wchar_t* name;
  };
  static constexpr Unit kUnits[] = {
      {uint64_t{1} << 50, L"PB"}, {uint64_t{1} << 40, L"TB"}, {uint64_t{1} << 30, L"GB"},
      {uint64_t{1} << 20, L"MB"}, {uint64_t{1} << 10, L"KB"},
  };
  for (const Unit& unit : kUnits) {
    if (magnitude < unit.size) continue;
    const double value = static_cast<double>(magnitude) / static_cast<double>(unit.size);
    return VoString(sign) + VoFormat(value >= 100 ? L"%.0f %s" : L"%.1f %s", value, unit.name).View();
  }
  return VoString(sign) + VoFormat(L"%d bytes", magnitude).View();
}

}  // namespace vo
