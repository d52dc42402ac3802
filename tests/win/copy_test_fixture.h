#pragma once
// Shared by the copy tests: the built test components, a copy environment
// pointing at the test's folders, and a guard that puts the system's list
// of moves pending for the next restart back as it was.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "engine/copy_environment.h"
#include "foundation/vo_string.h"
#include "foundation/win/known_folders.h"
#include "scratch_folder.h"

namespace copy_test {

// A program or component built beside the tests ("component_2_0_0_0.dll").
inline VoString Built(const wchar_t* name) { return vo::GetExecutableFolder() + name; }

inline constexpr const wchar_t* kV1 = L"component_1_0_0_0.dll";
inline constexpr const wchar_t* kV2 = L"component_2_0_0_0.dll";
inline constexpr const wchar_t* kV201 = L"component_2_0_0_1.dll";

// The environment of a test: the distribution, the two system folders and
// the font folder are the test's own.
inline vo::CopyEnvironment Environment(const VoString& source, const VoString& system, const VoString& system32,
                                       const VoString& fonts, bool windows_64bit) {
  vo::CopyEnvironment environment;
  environment.source_folder = [source] { return source; };
  environment.system_folder = [system, system32](int pass) { return pass == 0 ? system : system32; };
  environment.fonts_folder = [fonts] { return fonts; };
  environment.is_windows_64bit = [windows_64bit] { return windows_64bit; };
  return environment;
}

// Restores "PendingFileRenameOperations" at the end of the test.
class PendingRenamesGuard {
 public:
  static constexpr const wchar_t* kKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  static constexpr const wchar_t* kValue = L"PendingFileRenameOperations";

  PendingRenamesGuard() { had_value_ = Read(saved_); }
  ~PendingRenamesGuard() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (had_value_) {
      RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(saved_.data()),
                     static_cast<DWORD>(saved_.size() * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key, kValue);
    }
    RegCloseKey(key);
  }
  PendingRenamesGuard(const PendingRenamesGuard&) = delete;
  PendingRenamesGuard& operator=(const PendingRenamesGuard&) = delete;

  // The pending moves as (from, to) pairs, the "\??\" prefixes removed.
  static std::vector<std::pair<VoString, VoString>> Moves() {
    std::vector<wchar_t> data;
    std::vector<std::pair<VoString, VoString>> moves;
    if (!Read(data)) return moves;
    // Pairs of strings, the second empty for a deletion; the list ends with
    // one more empty string.
    std::vector<VoString> parts;
    for (size_t at = 0; at + 1 < data.size();) {
      const VoString part(&data[at]);
      at += part.Length() + 1;
      // "!" marks a move that replaces an existing file.
      const size_t skip = part.At(0) == L'!' ? 1 : 0;
      parts.push_back(part.View().substr(skip, 4) == L"\\??\\" ? part.Mid(skip + 4) : part.Mid(skip));
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) moves.emplace_back(parts[i], parts[i + 1]);
    return moves;
  }

 private:
  static bool Read(std::vector<wchar_t>& data) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
      return false;
    }
    // One unit more than asked for, so the last string is always ended.
    data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    return RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &bytes) ==
           ERROR_SUCCESS;
  }

  bool had_value_ = false;
  std::vector<wchar_t> saved_;
};

}  // namespace copy_test
