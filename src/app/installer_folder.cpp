#include "app/installer_folder.h"

#include "foundation/path_text.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"

namespace vo {

VoString InstallerFolder() {
  const VoString program = vo::GetProcessPath(ProcessPath::kExecutable);
  const size_t slash = program.FindLast(L'\\');
  // Without a record the running module still knows where it lies.
  if (slash == VoString::npos) return vo::GetExecutableFolder();
  return vo::WithTrailingBackslash(program.Left(slash + 1).View());
}

}  // namespace vo
