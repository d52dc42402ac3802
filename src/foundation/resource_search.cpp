#include "resource_search.h"

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
  auto add = [&](std::wstring_view ext) {
    if (!variant.empty()) names.Add(VoString(stem) + L" - " + variant + ext);
    names.Add(VoString(stem) + ext);
  };
  if (!extension.empty()) {
    add(extension);
  } else {
    for (const wchar_t* ext : {L".png", L".jpg", L".gif", L".tif"}) add(ext);
  }
  return names;
}

}  // namespace vo
