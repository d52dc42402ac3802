#pragma once
// Unpacking a whole zip archive into a folder, without touching the disk
// itself: every entry name is checked before anything is written, so an
// archive with one unsafe or unreadable entry leaves nothing behind, then
// the folders and files go to a target (the archive service's writes them
// to disk, tests record them).

#include <cstddef>
#include <vector>

#include "foundation/vo_string.h"
#include "toolslib/zip_directory.h"
#include "toolslib/zip_source.h"

class ZipUnpackTarget {
 public:
  virtual ~ZipUnpackTarget() = default;
  // Paths are relative to the target folder, steps joined by "\"; a folder
  // carries a trailing "\". Parents are always created first. Each
  // operation returns false with the reason in `failure`.
  virtual bool CreateFolder(const VoString& relative, VoString& failure) = 0;
  // Replaces an existing file of that name.
  virtual bool BeginFile(const VoString& relative, VoString& failure) = 0;
  virtual bool Write(const char* data, size_t size, VoString& failure) = 0;
  // With `complete` false the file is incomplete and is removed.
  virtual bool EndFile(bool complete, VoString& failure) = 0;
};

struct ZipUnpackStep {
  VoString relative;  // a folder ends in "\"
  const ZipEntry* entry = nullptr;  // the file's entry; null for a folder
};

// The folders and files that unpacking `entries` makes, in archive order,
// each folder before what it holds. With `keep_structure` false every file
// goes directly into the target folder under its last name and folders are
// not made. False, naming the entry, when an entry would land outside the
// target folder or cannot be read by this reader.
bool PlanZipUnpack(const std::vector<ZipEntry>& entries, bool keep_structure, std::vector<ZipUnpackStep>& steps,
                   VoString& failure);

// Makes the planned folders and files of the archive in `source`. False
// with the reason when an entry's data is damaged or the target fails; a
// file that was not completed is removed.
bool WriteZipSteps(ZipSource& source, const std::vector<ZipUnpackStep>& steps, ZipUnpackTarget& target,
                   VoString& failure);

// Reads the directory, plans and writes. False with the reason, which
// names the entry when one is at fault.
bool UnpackZip(ZipSource& source, bool keep_structure, ZipUnpackTarget& target, VoString& failure);
