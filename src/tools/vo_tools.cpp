#include "tools/vo_tools.h"

#include <atomic>

#include "foundation/text_search.h"

namespace {

std::atomic<IVoTools*> g_tools{nullptr};

size_t RoutedFindNoCase(std::wstring_view text, std::wstring_view what, size_t from) {
  IVoTools* tools = g_tools.load();
  // The library takes NUL-terminated texts and int positions.
  const VoString t(text), w(what);
  const int at = tools->Text()->Find(t.c_str(), w.c_str(), static_cast<int>(from), 3);
  return at < 0 ? VoString::npos : static_cast<size_t>(at);
}

int RoutedCompare(std::wstring_view a, std::wstring_view b, unsigned options) {
  const VoString sa(a), sb(b);
  return g_tools.load()->Text()->Compare(sa.c_str(), sb.c_str(), options);
}

}  // namespace

IVoTools* VoTools() { return g_tools.load(); }

void SetVoTools(IVoTools* tools) {
  g_tools = tools;
  // The foundation's case-insensitive search and sort comparison go through
  // the library while it is there.
  if (tools && tools->Text()) vo::RouteTextSearch(RoutedFindNoCase, RoutedCompare);
  else vo::RouteTextSearch(nullptr, nullptr);
}

namespace vo {

void Log(const wchar_t* title, const VoString& text, int category) {
  if (IVoTools* tools = VoTools()) {
    if (IVoLogService* log = tools->Log()) log->Write(category, title, text.c_str());
  }
}

VoString Localize(const wchar_t* text) {
  VoString out;
  if (IVoTools* tools = VoTools()) {
    if (IVoLocalization* l = tools->Localization()) {
      l->Translate(text, out);
      return out;
    }
  }
  return VoString(text);
}

}  // namespace vo

namespace vo {

IVoProduct* Product() {
  IVoTools* tools = VoTools();
  return tools ? tools->Product(0) : nullptr;
}

VoString ProductName(int form) {
  VoString name;
  if (IVoProduct* product = Product()) product->GetProductName(form, name);
  return name;
}

VoString ConfigString(const wchar_t* path, const wchar_t* default_value) {
  VoString value(default_value);
  if (IVoProduct* product = Product()) product->GetConfigString(path, default_value, value);
  return value;
}

int ConfigInt(const wchar_t* path, int default_value) {
  IVoProduct* product = Product();
  return product ? product->GetConfigInt(path, default_value) : default_value;
}

bool HasProductFeature(int feature) {
  IVoProduct* product = Product();
  return product && product->HasProductFeature(feature);
}

namespace {

IVoRegistry* Registry() {
  IVoTools* tools = VoTools();
  return tools ? tools->Registry() : nullptr;
}

}  // namespace

VoRegistryKeyPtr OpenStore(const wchar_t* name, int flag) {
  IVoRegistry* registry = Registry();
  return VoRegistryKeyPtr(registry ? registry->OpenStore(name, flag) : nullptr);
}

VoRegistryKeyPtr OpenRegistryKey(VoRegistryRoot root, const wchar_t* path, bool create) {
  IVoRegistry* registry = Registry();
  return VoRegistryKeyPtr(registry ? registry->OpenKey(root, path, create) : nullptr);
}

}  // namespace vo
