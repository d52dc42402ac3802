#pragma once
// Reading the version block of a file through the system's "Version.dll".

#include <windows.h>

#include <cstdint>
#include <vector>

#include "foundation/vo_string.h"

class CVersionInfo {
 public:
  CVersionInfo();
  ~CVersionInfo();
  CVersionInfo(const CVersionInfo&) = delete;
  CVersionInfo& operator=(const CVersionInfo&) = delete;

  // Reads the version block of `path`; E_FAIL when it has none.
  HRESULT Load(const VoString& path);
  // "a.b.c.d" from the fixed file information, or "a.b.c" without the
  // fourth part; E_FAIL when no version block is loaded.
  HRESULT GetFileVersion(VoString& version, bool four_parts = true) const;
  // The fixed file version as one number, most significant part in the top
  // 32 bits, so that plain comparison orders versions.
  HRESULT GetFileVersionNumber(uint64_t& version) const;
  // Whether "Version.dll" and its entry points could be found at all.
  bool CanRead() const { return get_size_ && get_info_ && query_; }

 private:
  // The fixed file information of the loaded block, or null.
  const VS_FIXEDFILEINFO* Fixed() const;

  using SizeFn = DWORD(APIENTRY*)(LPCWSTR, LPDWORD);
  using ReadFn = BOOL(APIENTRY*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(APIENTRY*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

  HMODULE library_ = nullptr;
  SizeFn get_size_ = nullptr;
  ReadFn get_info_ = nullptr;
  QueryFn query_ = nullptr;
  std::vector<BYTE> block_;
};
