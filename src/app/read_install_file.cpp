#include "app/read_install_file.h"

#include "app/install_file.h"
#include "app/installer_folder.h"
#include "app/session.h"
#include "foundation/win/file_system.h"
#include "foundation/xml_document.h"

namespace vo {

bool ReadInstallFile() {
  InstallSession& session = Session();
  const VoString folder = InstallerFolder();
  session.SupportFolders.Add(folder + L"Support\\");
  session.LibraryFolder = folder + L"Library\\";

  // The parent's file is taken as it is: loading it is the existence test.
  VoString file = folder + L"Install.xml";
  if (!vo::FileExists(file)) file = folder + L"..\\Install.xml";
  XmlDocument document;
  if (!document.LoadFile(file)) return true;

  const VoString file_folder = file.Left(file.FindLast(L'\\') + 1);
  ApplyInstallDocument(document, file_folder.View(), [](const VoString& f) { return vo::FolderExists(f); }, session);
  return true;
}

}  // namespace vo
