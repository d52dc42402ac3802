// Reads arbitrary UTF-8 as an Install.xml document and applies its settings
// with every folder pretended to exist: at most one support folder is added,
// and every folder taken ends in a backslash.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/install_file.h"
#include "app/session.h"
#include "foundation/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XmlDocument document(VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
  InstallSession session;
  session.SupportFolders.Add(VoString(L"C:\\Kit\\Support\\"));
  vo::ApplyInstallDocument(document, L"C:\\Kit\\..\\", [](const VoString&) { return true; }, session);

  if (session.SupportFolders.GetCount() > 2) __builtin_trap();
  for (const VoString& folder : session.SupportFolders) {
    if (!folder.EndsWith(L'\\')) __builtin_trap();
  }
  if (!session.ShippedMediaFolder.IsEmpty() && !session.ShippedMediaFolder.EndsWith(L'\\')) __builtin_trap();
  return 0;
}
