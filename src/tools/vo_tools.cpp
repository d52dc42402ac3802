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
