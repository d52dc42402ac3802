#include "resource_search.h"

#include <vector>

namespace vo {

namespace {

// The extension of the last path element, or empty.
std::wstring_view Extension(std::wstring_view name) {
  const size_t slash = name.find_last_of(L"\\/");
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash)) return {};
  return name.substr(dot);
}

}  // namespace

VoStringArray ResourceFolders(int kind) {
  static const wchar_t* const kNames[kResourceKindCount][2] = {
      {L"Custom Resources", L"Default Resources"},
      {L"Default Resources", nullptr},
      {L"Custom Resources", nullptr},
      {L"Custom Art", L"Default Art"},
      {L"Default Art", nullptr},
      {L"Custom Art", nullptr},
      {L"Custom Webpages", L"Default Webpages"},
      {L"Default Webpages", nullptr},
      {L"Custom Webpages", nullptr},
  };
  VoStringArray folders;
  if (kind < 0 || kind >= kResourceKindCount) return folders;
  for (const wchar_t* name : kNames[kind]) {
    if (name) folders.Add(VoString(name));
  }
  return folders;
}

VoStringArray ResourceFileCandidates(std::wstring_view name, std::wstring_view variant) {
  VoStringArray names;
  if (name.empty()) return names;
  const std::wstring_view extension = Extension(name);
  const std::wstring_view stem = name.substr(0, name.size() - extension.size());
  std::vector<std::wstring_view> extensions;
  if (!extension.empty()) extensions = {extension};
  else extensions = {L".png", L".jpg", L".gif", L".tif"};
  // Every variant form first: the variant matters more than the picture format.
  if (!variant.empty()) {
    for (const auto ext : extensions) names.Add(VoString(stem) + L" - " + variant + ext);
  }
  for (const auto ext : extensions) names.Add(VoString(stem) + ext);
  return names;
}

}  // namespace vo
