#pragma once
// InstallSession: the one record of switches, user choices, resolved folders,
// earlier-installation findings and the engine's pending work. Every reader
// and writer runs on the user-interface thread, so it needs no lock.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

struct InstallSession {
  bool Silent = false;
  bool Upgrade = false;
  bool AutoInstall = false;
  bool Portable = false;
  bool AutoInstallRan = false;
  bool EarlierInstallFound = false;
  bool AllowDowngrade = true;
  bool NoAssociations = false;
  bool NoDependencies = false;
  bool NoUpgrade = false;
  bool NoRun = false;
  bool NoDriver = false;
  bool RestartRequired = false;
  VoString InstallDirectory;
  VoString EarlierUninstallKey;
  VoStringArray SupportFolders;
  VoString LibraryFolder;
  VoString ShippedMediaFolder;
  VoString DistributorID;
  VoStringArray PendingFileOperations;  // "%s|%s" each
  VoStringArray EarlierInstallLocations;
  VoStringArray PendingRegistrations;  // "%s|%s" each
  bool ShellExtensionRegistrable = true;

  VoString GetInstallDirectory() const { return InstallDirectory; }
  VoString GetEarlierUninstallKey() const { return EarlierUninstallKey; }
  VoString GetDistributorID() const { return DistributorID; }
};

// The process's record. Tests start afresh with `Session() = InstallSession{}`.
InstallSession& Session();
