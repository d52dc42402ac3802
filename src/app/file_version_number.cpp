#include "app/file_version_number.h"

#include "app/version_number.h"
#include "foundation/win/version_info.h"

namespace vo {

uint64_t ReadFileVersionNumber(const VoString& path) {
  CVersionInfo info;
  VoString text;
  if (FAILED(info.Load(path)) || FAILED(info.GetFileVersion(text))) return 0;
  return ParseVersionNumber(text.View());
}

}  // namespace vo
