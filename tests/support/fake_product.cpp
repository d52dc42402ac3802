#include "fake_product.h"

#include "foundation/number_text.h"

void FakeProduct::GetConfigString(const wchar_t* path, const wchar_t* default_value, VoString& out) {
  const auto it = config.find(path);
  out = it == config.end() ? VoString(default_value) : it->second;
}

int FakeProduct::GetConfigInt(const wchar_t* path, int default_value) {
  const auto it = config.find(path);
  return it == config.end() ? default_value : vo::ParseInt(it->second.View());
}
