#pragma once
// Test helper: the text values of a registry key by name, each checked to
// be a REG_SZ stored with its terminator and nothing after it.

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <map>

#include "foundation/vo_string.h"

// Empty when the key does not exist. (Wine lists values by name, not in the
// order they were written.)
inline std::map<VoString, VoString> ReadTextValues(HKEY root, const VoString& path) {
  std::map<VoString, VoString> values;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD name_length = 256;
    wchar_t data[1024] = {};
    DWORD type = 0, size = sizeof(data) - sizeof(wchar_t);
    if (RegEnumValueW(key, i, name, &name_length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS) {
      break;
    }
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << VoString(name).ToUtf8();
    EXPECT_EQ(size, (wcslen(data) + 1) * sizeof(wchar_t)) << VoString(name).ToUtf8();
    values[VoString(name)] = VoString(data);
  }
  RegCloseKey(key);
  return values;
}
