#pragma once
// The library's registry key object: one key of any root, opened for reading
// and writing with the program's own registry view (a 64-bit program sees the
// 64-bit keys).

#include <windows.h>

#include "tools/vo_tools.h"

class VoRegistryKey final : public IVoRegistryKey {
 public:
  // The key `path` below `root`, created when `create`; null when it can be
  // neither opened nor created. A key that may be read but not written (a
  // machine key without administrator rights) opens for reading only, and
  // its writes fail.
  static VoRegistryKey* Open(HKEY root, const VoString& path, bool create);
  // A key that is opened when it exists and created by the first write;
  // until then reads give the defaults. Never null.
  static VoRegistryKey* OpenOnWrite(HKEY root, const VoString& path);

  void Release() override;
  void ReadString(const wchar_t* name, const wchar_t* default_value, VoString& out) override;
  int ReadInt(const wchar_t* name, int default_value) override;
  bool WriteString(const wchar_t* name, const wchar_t* value, int kind) override;
  bool WriteInt(const wchar_t* name, int value) override;
  bool ValueExists(const wchar_t* name) override;
  bool DeleteValue(const wchar_t* name) override;
  bool DeleteSubkey(const wchar_t* name) override;
  void GetSubkeyNames(VoStringArray& names) override;
  void GetValueNames(VoStringArray& names) override;
  bool ReadRaw(const wchar_t* name, unsigned& type, std::vector<unsigned char>& data) override;
  bool WriteRaw(const wchar_t* name, unsigned type, const std::vector<unsigned char>& data) override;

 private:
  VoRegistryKey(HKEY root, const VoString& path, HKEY key) : root_(root), path_(path), key_(key) {}
  ~VoRegistryKey();
  // The open key, or null when it does not exist (yet); `for_writing`
  // creates it.
  HKEY Key(bool for_writing);
  bool SetValue(const wchar_t* name, DWORD type, const void* data, size_t size);

  HKEY root_;
  VoString path_;
  HKEY key_;
};
