#pragma once
// The archive service of the tools library: zip archives unpacked into a
// folder on disk.

#include "tools/vo_tools.h"

class VoArchiveService final : public IVoArchive {
 public:
  bool Unpack(const wchar_t* archive, const wchar_t* folder, bool keep_structure, VoString& failure) override;
};
