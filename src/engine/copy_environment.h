#pragma once
// Where the copy phase reads and writes besides the install folder, and
// what it knows of the system: each answer is a replaceable provider so the
// phase can be run against scratch folders.

#include <functional>

#include "foundation/vo_string.h"

namespace vo {

struct CopyEnvironment {
  // The distribution: the running installer's folder.
  std::function<VoString()> source_folder;
  // The system folder of a system-files pass: pass 0 is the native one,
  // pass 1 (64-bit Windows only) the one of 32-bit programs. Empty when it
  // cannot be found.
  std::function<VoString(int pass)> system_folder;
  // The Windows font folder; empty when it cannot be found.
  std::function<VoString()> fonts_folder;
  // Whether the installer runs on 64-bit Windows.
  std::function<bool()> is_windows_64bit;

  // The real machine.
  static CopyEnvironment System();
};

}  // namespace vo
