#include "path_rules.h"

#include <string>
#include <vector>

#include "path_text.h"

namespace vo {
namespace {

constexpr size_t kMaxValidPath = 252;

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool HasDrive(std::wstring_view p) { return p.size() >= 2 && p[1] == L':' && IsAsciiLetter(p[0]); }

// "X:" or "\\server\share" (without a trailing backslash), or empty.
std::wstring_view RootOf(std::wstring_view p) {
  if (HasDrive(p)) return p.substr(0, 2);
  if (p.size() >= 2 && p[0] == L'\\' && p[1] == L'\\') {
    size_t server_end = p.find(L'\\', 2);
    if (server_end == std::wstring_view::npos) return p;
    size_t share_end = p.find(L'\\', server_end + 1);
    return share_end == std::wstring_view::npos ? p : p.substr(0, share_end);
  }
  return {};
}

void SplitInto(std::wstring_view text, std::vector<std::wstring_view>& parts) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\\', start);
    if (end == std::wstring_view::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// Start of the extension's dot in the last component, or npos. A name that
// only begins with a dot (".config") has no extension.
size_t ExtensionDot(std::wstring_view path, size_t name_start, size_t name_end) {
  for (size_t i = name_end; i > name_start + 1; --i) {
    if (path[i - 1] == L'.') return i - 1;
  }
  return std::wstring_view::npos;
}

}  // namespace

VoString MakeValidFileName(std::wstring_view name) {
  // The ninth character, the backslash, is deliberately not replaced.
  static constexpr wchar_t kInvalid[] = L":/*?\"<>|\\";
  VoString out(name);
  std::wstring& s = out.Std();
  for (wchar_t& c : s) {
    if (static_cast<unsigned>(c) < 32) {
      c = L' ';
    } else if (std::wstring_view(kInvalid, 8).find(c) != std::wstring_view::npos) {
      c = L'_';
    }
  }
  return out;
}

VoString MakeValidPath(std::wstring_view path) {
  static constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
  VoString s(path);
  const bool long_prefix = s.StartsWithNoCase(kLongPrefix);
  if (long_prefix) s.Erase(0, kLongPrefix.size());
  s = s.Trimmed();

  // Windows drops trailing spaces and dots of names and leading spaces are
  // almost always typing slips: fold them into the separator.
  for (bool changed = true; changed;) {
    changed = false;
    for (std::wstring_view pattern : {std::wstring_view(L" \\"), std::wstring_view(L".\\"), std::wstring_view(L"\\ ")}) {
      size_t at;
      while ((at = s.Find(pattern)) != VoString::npos) {
        s.Std().replace(at, pattern.size(), L"\\");
        changed = true;
      }
    }
  }

  const bool drive = HasDrive(s.View());
  s = MakeValidFileName(s.View());
  if (drive) {
    s.Std()[1] = L':';
    if (s.Length() == 2 || s[2] != L'\\') s.Insert(2, L"\\");
  }

  if (s.Length() > kMaxValidPath) {
    const size_t excess = s.Length() - kMaxValidPath;
    size_t name_end = s.Length();
    while (name_end > 0 && s[name_end - 1] == L'\\') --name_end;
    const size_t slash = name_end == 0 ? VoString::npos : s.View().rfind(L'\\', name_end - 1);
    const size_t name_start = slash == VoString::npos ? 0 : slash + 1;
    const size_t dot = ExtensionDot(s.View(), name_start, name_end);
    const size_t base_end = dot == std::wstring_view::npos ? name_end : dot;
    // The base name keeps at least one character; a path still too long
    // then fails where it is used rather than losing its last component.
    const size_t base_length = base_end - name_start;
    const size_t cut = std::min(excess, base_length > 0 ? base_length - 1 : 0);
    s.Erase(base_end - cut, cut);
  }

  if (long_prefix) s.Insert(0, kLongPrefix);
  return s;
}

VoString ExpandInstallDrive(std::wstring_view path, std::wstring_view install_folder) {
  static constexpr std::wstring_view kPrefix = L"(Install Drive):";
  if (path.size() < kPrefix.size() || !EqualsNoCase(path.substr(0, kPrefix.size()), kPrefix)) return VoString(path);
  const std::wstring_view root = RootOf(install_folder);
  if (root.empty()) return VoString(path);
  VoString out(root);
  out += path.substr(kPrefix.size());
  return out;
}

VoString MakeAbsolutePath(std::wstring_view base, std::wstring_view path) {
  if (path.empty() || base.empty()) return VoString(path);
  if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') return VoString(path);
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return VoString(path);
  if (IsUrl(path)) return VoString(path);

  const std::wstring_view root = RootOf(base);
  const bool base_rooted = !root.empty() || base[0] == L'\\';
  std::vector<std::wstring_view> parts;
  if (path[0] != L'\\') {
    std::wstring_view folder = base.substr(root.size());
    if (!folder.empty() && folder.back() != L'\\') {
      const size_t slash = folder.rfind(L'\\');
      const std::wstring_view last = slash == std::wstring_view::npos ? folder : folder.substr(slash + 1);
      if (last.find(L'.') != std::wstring_view::npos) {
        folder = slash == std::wstring_view::npos ? std::wstring_view() : folder.substr(0, slash);
      }
    }
    SplitInto(folder, parts);
  }
  SplitInto(path, parts);

  std::vector<std::wstring_view> kept;
  for (std::wstring_view part : parts) {
    if (part == L".") continue;
    if (part == L"..") {
      if (!kept.empty() && kept.back() != L"..") {
        kept.pop_back();
      } else if (!base_rooted) {
        kept.push_back(part);  // a relative base can still climb further
      }
      // At the root there is nothing to climb to: the drive stays.
      continue;
    }
    kept.push_back(part);
  }

  VoString out(root);
  if (base_rooted) out += L'\\';
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += L'\\';
    out += kept[i];
  }
  if (path.back() == L'\\' && !out.EndsWith(L'\\')) out += L'\\';
  return out;
}

VoString NextUniqueName(std::wstring_view path) {
  size_t name_end = path.size();
  while (name_end > 0 && path[name_end - 1] == L'\\') --name_end;
  const size_t slash = name_end == 0 ? std::wstring_view::npos : path.rfind(L'\\', name_end - 1);
  const size_t name_start = slash == std::wstring_view::npos ? 0 : slash + 1;
  const size_t dot = ExtensionDot(path, name_start, name_end);
  const size_t base_end = dot == std::wstring_view::npos ? name_end : dot;
  VoString out = NextNumberedName(path.substr(0, base_end));
  out += path.substr(base_end);
  return out;
}

bool IsUrl(std::wstring_view resource) { return resource.find(L"://") != std::wstring_view::npos; }

}  // namespace vo
