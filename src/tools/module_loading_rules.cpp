#include "tools/module_loading_rules.h"

#include "foundation/path_text.h"
#include "foundation/string_format.h"

namespace vo {

VoString ToolsModuleFileName(int pointer_bits) { return VoFormat(L"VoTools%d.dll", pointer_bits); }

bool IsFullModulePath(std::wstring_view name) {
  return (name.size() >= 3 && name.substr(1, 2) == L":\\") || (!name.empty() && name[0] == L'\\');
}

VoString ModuleLoadPath(std::wstring_view name, std::wstring_view tools_folder) {
  if (IsFullModulePath(name) || tools_folder.empty()) return VoString(name);
  return WithTrailingBackslash(tools_folder) + name;
}

VoString CriticalErrorText(std::wstring_view module_path, std::wstring_view reason) {
  return VoFormat(
      L"The following module has failed to load:\r\n%s\r\n\r\nIt has reported the following error:\r\n\r\n%s\r\n\r\n"
      L"Please reinstall the latest version of the program.",
      module_path, reason);
}

}  // namespace vo
