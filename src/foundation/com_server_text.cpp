#include "com_server_text.h"

#include "string_format.h"

namespace vo {

bool IsRegistrableFile(std::wstring_view path) {
  const VoString text(path);
  for (const wchar_t* extension : {L".dll", L".ocx", L".ax"}) {
    if (text.FindNoCase(extension) != VoString::npos) return true;
  }
  return false;
}

VoString RegSvr32Parameters(std::wstring_view path, bool unregister) {
  return VoFormat(L"/s %s\"%s\"", unregister ? L"/u " : L"", path);
}

}  // namespace vo
