#include "plugins/uninstall_record.h"

#include "foundation/number_text.h"
#include "tools/vo_tools.h"

namespace vo {

bool WriteUninstallRecord(const VoString& name, const VoStringArray& entries) {
  // An empty name or one with a separator would land on another record.
  if (entries.IsEmpty() || name.Trimmed().IsEmpty() || name.Find(L'\\') != VoString::npos) return false;
  VoRegistryKeyPtr record = OpenStore((VoString(L"Plugins\\Uninstall\\") + name.View()).c_str(), 1);
  if (!record) return false;
  bool written = true;
  const size_t count = entries.GetCount();
  for (size_t i = 0; i < count; ++i) {
    written = record->WriteString(FormatInt(static_cast<int>(i)).c_str(), entries[count - 1 - i].c_str(),
                                  kVoValuePlain) &&
              written;
  }
  return written;
}

}  // namespace vo
