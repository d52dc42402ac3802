#include "engine/copy_rules.h"

#include <algorithm>

#include "foundation/vo_string.h"

namespace vo {

namespace {

bool Contains(std::wstring_view text, std::wstring_view what) { return text.find(what) != std::wstring_view::npos; }

bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

bool HasVersionedExtension(std::wstring_view source) {
  return Contains(source, L".dll") || Contains(source, L".exe") || Contains(source, L".ocx") ||
         Contains(source, L".ax");
}

bool NeedsSelfRegistration(std::wstring_view source) {
  return Contains(source, L".dll") || Contains(source, L".ocx") || Contains(source, L".ax");
}

bool IsShellExtension(std::wstring_view source) { return EndsWithNoCase(source, L"VoShellExt.dll"); }

bool IsSixtyFourBitFile(std::wstring_view destination, std::wstring_view install_folder) {
  if (EndsWithNoCase(destination, L"\\VortalaASIODriver64.dll")) return true;
  if (install_folder.empty()) return false;
  const VoString prefix = VoString(install_folder) + L"x64\\";
  return StartsWithNoCase(destination, prefix.View());
}

bool IsInFontsFolder(std::wstring_view destination) {
  return VoString(destination).FindNoCase(L"Windows\\Fonts") != VoString::npos;
}

bool IsServerProgram(std::wstring_view destination) { return EndsWithNoCase(destination, L"OdrixServer.exe"); }

int CopyProgress(uint64_t bytes_done, uint64_t total_bytes, size_t files_done, size_t file_count) {
  if (total_bytes > 0) {
    if (bytes_done >= total_bytes) return 100;
    // Below the total, so bytes_done * 100 only overflows past 2^57 bytes;
    // divide first there.
    if (bytes_done <= UINT64_MAX / 100) return static_cast<int>(bytes_done * 100 / total_bytes);
    return static_cast<int>(std::min<uint64_t>(bytes_done / (total_bytes / 100), 100));
  }
  if (file_count == 0) return 0;
  return static_cast<int>(static_cast<uint64_t>(files_done) * 100 / file_count);
}

}  // namespace vo
