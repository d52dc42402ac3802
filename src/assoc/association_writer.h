#pragma once
// Makes the product the handler of file extensions, MIME types, URL
// protocols and discs, registers it with Default Programs, and undoes an
// association by putting back what was there before: every replaced value
// keeps its old text in a backup value beside it. Registry failures are
// silent; each key and value is attempted on its own.

#include <string_view>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

class IVoRegistryKey;

class AssociationWriter {
 public:
  // Takes the product's names, programs and own extension from the tools
  // library's product information.
  AssociationWriter();
  // Runs Finish() when it has not run yet.
  ~AssociationWriter();
  AssociationWriter(const AssociationWriter&) = delete;
  AssociationWriter& operator=(const AssociationWriter&) = delete;

  void SetApplyTemplate(bool on) { apply_template_ = on; }
  void SetNotify(bool on) { notify_ = on; }

  // One file extension ("mp3" or ".mp3"): associated with the product, or
  // restored to what it was before when it is the product's.
  void AssociateExtension(const VoString& extension, bool associate);
  // One MIME database entry; without an extension the own extension.
  void RegisterMimeType(const VoString& type, bool associate, const VoString& extension = VoString());
  void RegisterProtocol(const VoString& name, const VoString& argument);
  // "cdaudiodisc", "dvdvideodisc" or "bluraydisc".
  void RegisterDiscHandler(const VoString& disc_kind, bool associate);
  // The capabilities of Default Programs: the extensions, protocols and MIME
  // types this writer associated, and the own extension.
  void RegisterDefaultPrograms();

  // With the apply-template flag: the built-in template, the own extension,
  // the product's MIME types and protocols and Default Programs; with the
  // notify flag the shell is told that associations changed. Runs once.
  void Finish();

  const VoString& ProgIdStem() const { return stem_; }
  const VoString& LauncherPath() const { return launcher_path_; }
  const VoString& OwnExtension() const { return own_extension_; }
  VoString ProgIdFor(std::wstring_view extension) const;

  // Writes `text` into `name` (deletes the value when `text` is null); with
  // `keep_old`, a different old text goes to the backup value first unless
  // a backup exists already.
  void SetWithBackup(IVoRegistryKey& key, const wchar_t* name, const VoString* text, bool keep_old) const;
  // Puts the backup of `name` back and removes the backup; without a backup
  // the value is deleted when `delete_without_backup`.
  void RestoreFromBackup(IVoRegistryKey& key, const wchar_t* name, bool delete_without_backup) const;
  bool IsOwnProgId(std::wstring_view value) const;

 private:
  void Remember(VoStringArray& list, const VoString& entry);

  bool apply_template_ = false;
  bool notify_ = false;
  bool finished_ = false;
  VoString stem_;
  VoString launcher_path_;
  VoString launcher_name_;
  VoString own_extension_;
  // What this writer associated, for the Default Programs capabilities.
  VoStringArray extensions_;
  VoStringArray protocols_;
  VoStringArray mime_types_;
  VoStringArray mime_extensions_;
};
