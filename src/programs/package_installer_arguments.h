#pragma once
// The command line of the product's package installer program:
//   /RegFileAssociations         associate the stored selection of file types
//   /RegDLL <path>, /UnRegDLL <path>
//                                register or unregister a COM server, or every
//                                server in a folder
//   /FinishInstall               complete the finalize list of an installation
//   /Install <file>              install a package (".kvp", ".kvs")
//   /InstallWDMDriver <inf>, /RemoveWDMDriver
//                                install or remove the product's audio driver
//   /Q                           quiet: no message boxes, failures are logged
// A path may be quoted or follow unquoted over several arguments; it ends
// at the next argument that begins with "/".

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

enum class PackageInstallerCommand {
  kNone,
  kRegFileAssociations,
  kRegisterServers,
  kUnregisterServers,
  kFinishInstall,
  kInstallPackage,
  kInstallDriver,
  kRemoveDriver,
};

struct PackageInstallerArguments {
  PackageInstallerCommand command = PackageInstallerCommand::kNone;
  VoString path;  // for the server, package and driver commands
  bool quiet = false;
  // Why the arguments cannot be carried out; empty when they can.
  VoString error;
};

PackageInstallerArguments ParsePackageInstallerArguments(const VoStringArray& arguments);

// The text that tells how to call the program.
VoString PackageInstallerUsage();

}  // namespace vo
