// Reads arbitrary text as property XML; whatever it reads must write and
// read back to the same map.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/property_map.h"
#include "round_trip_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VoString text = VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  VoPropertyMap map;
  if (!map.FromXmlText(text.View(), L"XMLPH", 1)) {
    if (map.GetCount() != 0) __builtin_trap();
    return 0;
  }
  (void)map.GetInt(L"Gain", 3);
  (void)map.GetDouble(L"Gain", 0.5);
  (void)map.GetPointer(L"Gain");
  (void)map.Dump(L"", L"\n");

  if (!WritesBackExactly(map)) return 0;

  const VoString written = map.ToXmlText(L"XMLPH", false, 1);
  VoPropertyMap again;
  if (!again.FromXmlText(written.View(), L"XMLPH", 1) || !again.Equals(map)) __builtin_trap();

  VoStringArray list;
  map.SaveToStringList(list, true);
  if (!again.LoadFromStringList(list) || !again.Equals(map)) __builtin_trap();
  return 0;
}
