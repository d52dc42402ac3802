#pragma once
// CInstallPackage: installs one package file (".kvp", ".kvs"). It reads the
// description, fetches the content (downloaded or a local file), runs the
// package-level action that decides where the content goes, then each
// file's actions, and records what it put in place so the component can be
// removed later. A package can come from anywhere, so every path it names
// must stay inside the folder it is joined to; one that does not fails the
// package before anything is changed.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"
#include "plugins/package_description.h"

class CInstallPackage {
 public:
  // Reads the package file: the XML layout when the file parses as XML,
  // otherwise the older initialization-file layout. True when the package
  // names at least one package-level action, a name and a URL.
  bool Load(const VoString& path);

  const VoString& GetName() const { return package_.name; }

  // Quiet installations (the installer's plug-ins phase, "/Q") show no
  // message box; plug-in registrations then only log their refusals.
  void SetQuiet(bool quiet) { quiet_ = quiet; }

  // Installs the loaded package. On failure the shared memory block
  // "InstallPackageError" is set to 1 and GetFailure() tells why.
  bool Install();

  // Removes the working folder with its content, unless the package-level
  // actions hold "DONT_CLEANUP" or "NONE" or the working folder is not one
  // this object made for the installation. Returns true.
  bool Cleanup();

  // The text of the last failure; empty after a success.
  const VoString& GetFailure() const { return failure_; }
  // The folder the file entries were taken from.
  const VoString& GetWorkingFolder() const { return working_folder_; }
  // The uninstall entries of the last installation, in recorded order.
  const VoStringArray& GetRecorded() const { return recorded_; }

 private:
  bool HasAction(const wchar_t* action) const;
  bool Fail(const VoString& text);
  bool CheckPaths();
  bool FetchContent();
  bool RunPackageAction(bool& content_used);
  bool Unpack(const VoString& folder);
  bool InstallSkin();
  bool RunFileEntries();
  bool RunFileEntry(const PackageFileEntry& entry);
  bool RunFileAction(const PackageFileAction& action, const PackageFileEntry& entry, VoString& file);
  bool CopyInto(const VoString& folder, VoString& file);
  bool CopyDirectory(const VoString& relative);
  bool WriteRegistryValue(const VoString& parameter);
  void WriteRecords();
  void DeleteDownloadedContent();

  VoString package_path_;
  VoString package_folder_;
  PackageDescription package_;
  bool quiet_ = false;

  VoString working_folder_;
  bool working_folder_is_temporary_ = false;
  VoString content_file_;
  bool content_downloaded_ = false;
  VoStringArray recorded_;
  VoString failure_;
};
