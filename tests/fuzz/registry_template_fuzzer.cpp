// Reads arbitrary UTF-8 as one registry template line: replaces its
// placeholders and splits it. Only the AutoPlay key grows when the other
// values are empty, the "|" count stays, an art file name never holds a double quote,
// and a line splits into an entry exactly when it has four bars.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "assoc/registry_template.h"

namespace {

size_t Bars(std::wstring_view text) { return static_cast<size_t>(std::count(text.begin(), text.end(), L'|')); }

size_t Occurrences(std::wstring_view text, std::wstring_view what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::wstring_view::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

constexpr std::wstring_view kAutoplayKey = L"[AUTOPLAYKEY]";
constexpr std::wstring_view kAutoplayPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VoString line = VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  vo::ParseTemplateRootLine(line.View());
  vo::NeedsBothRegistryViews(line.View());

  vo::TemplatePlaceholders empty;
  empty.find_art = [](std::wstring_view name) {
    if (name.find(L'"') != std::wstring_view::npos) __builtin_trap();
    return VoString();
  };
  const VoString shrunk = vo::ReplaceTemplatePlaceholders(line.View(), empty);
  const size_t growth = Occurrences(line.View(), kAutoplayKey) * (kAutoplayPath.size() - kAutoplayKey.size());
  if (shrunk.View().size() > line.View().size() + growth) __builtin_trap();
  if (Bars(shrunk.View()) > Bars(line.View())) __builtin_trap();

  vo::TemplatePlaceholders filled;
  filled.install_dir = L"C:\\Program Files\\[INSTALLDIR]\\";
  filled.product_name = L"[CUSTOMART]x";
  filled.progid_stem = L"Stem";
  filled.find_art = [](std::wstring_view name) { return VoString(L"C:\\Art\\") + name; };
  const VoString replaced = vo::ReplaceTemplatePlaceholders(line.View(), filled);
  if (Bars(replaced.View()) != Bars(line.View())) __builtin_trap();

  const auto entry = vo::ParseTemplateEntry(replaced.View());
  if (entry.has_value() != (Bars(replaced.View()) == 4)) __builtin_trap();
  if (entry) {
    for (std::wstring_view field : {entry->key_path.View(), entry->value_name.View(), entry->text.View()}) {
      if (field.find(L'|') != std::wstring_view::npos) __builtin_trap();
    }
  }
  return 0;
}
