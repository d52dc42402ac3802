#include "foundation/win/version_info.h"

#include "foundation/file_version_text.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/library_loader.h"

namespace {

template <typename Fn>
Fn Entry(HMODULE library, const char* name) {
  return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace

CVersionInfo::CVersionInfo() {
  // From the system folder only, never from beside the installer.
  const VoString system = vo::GetSystemFolder();
  if (!system.IsEmpty()) vo::VoLoadLibrary(library_, (system + L"Version.dll").c_str(), vo::kLogLoadFailure);
  get_size_ = Entry<SizeFn>(library_, "GetFileVersionInfoSizeW");
  get_info_ = Entry<ReadFn>(library_, "GetFileVersionInfoW");
  query_ = Entry<QueryFn>(library_, "VerQueryValueW");
}

CVersionInfo::~CVersionInfo() { vo::VoLoadLibrary(library_, nullptr); }

HRESULT CVersionInfo::Load(const VoString& path) {
  block_.clear();
  if (!get_size_ || !get_info_) return E_FAIL;
  DWORD handle = 0;
  const DWORD size = get_size_(path.c_str(), &handle);
  if (size == 0) return E_FAIL;
  block_.resize(size);
  if (!get_info_(path.c_str(), 0, size, block_.data())) {
    block_.clear();
    return E_FAIL;
  }
  return S_OK;
}

const VS_FIXEDFILEINFO* CVersionInfo::Fixed() const {
  if (block_.empty() || !query_) return nullptr;
  void* data = nullptr;
  UINT length = 0;
  if (!query_(block_.data(), L"\\", &data, &length) || !data || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
  return static_cast<const VS_FIXEDFILEINFO*>(data);
}

HRESULT CVersionInfo::GetFileVersion(VoString& version, bool four_parts) const {
  const VS_FIXEDFILEINFO* fixed = Fixed();
  if (!fixed) return E_FAIL;
  version = vo::FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS, four_parts);
  return S_OK;
}

HRESULT CVersionInfo::GetFileVersionNumber(uint64_t& version) const {
  const VS_FIXEDFILEINFO* fixed = Fixed();
  if (!fixed) return E_FAIL;
  version = (static_cast<uint64_t>(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
  return S_OK;
}
