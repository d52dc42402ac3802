// Reads arbitrary text as a resource name in either form; its text form must
// read back to the same path and properties.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/resource_name.h"
#include "round_trip_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VoString text = VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const ResourceName name(text.View());
  if (!WritesBackExactly(name.GetPath().View()) || !WritesBackExactly(name.Properties())) return 0;
  const ResourceName again(name.ToText().View());
  if (!(again.GetPath() == name.GetPath()) || !again.Properties().Equals(name.Properties())) __builtin_trap();
  return 0;
}
