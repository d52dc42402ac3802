// Reads arbitrary text as a resource name in either form; its text form must
// read back to the same path and properties.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/resource_name.h"

namespace {

// The writer turns control characters into "?", so such texts cannot come back.
bool WritesBackExactly(std::wstring_view text) {
  for (wchar_t c : text) {
    const auto u = static_cast<unsigned>(c);
    if (u < 32 && u != 1 && u != 9 && u != 10 && u != 13) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VoString text = VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const ResourceName name(text.View());
  bool exact = WritesBackExactly(name.GetPath().View());
  name.Properties().ForEach([&](const VoString& k, const VoString& v) { exact = exact && WritesBackExactly(k.View()) && WritesBackExactly(v.View()); });
  if (!exact) return 0;
  const ResourceName again(name.ToText().View());
  if (!(again.GetPath() == name.GetPath()) || !again.Properties().Equals(name.Properties())) __builtin_trap();
  return 0;
}
