#pragma once
// Copies or moves whole folders: the items are collected first, then the
// folders are created, the files copied and, for a move, the sources
// removed, so a failed copy never loses its source.

#include "foundation/vo_array.h"
#include "foundation/vo_string.h"

class VoMoveCopyDirectory {
 public:
  struct CItem {
    int kind = 0;  // kFolder or kFile
    VoString source;
    VoString destination;
    bool done = false;  // copied or created
  };
  static constexpr int kFile = 0;
  static constexpr int kFolder = 1;

  // Records `source` to go to `destination`, with its sub-folders when
  // `recurse` is set. False (and nothing recorded) when a folder cannot be
  // listed.
  bool AddFolder(const VoString& source, const VoString& destination, bool recurse);

  // Creates, copies (overwriting) and, with `move`, removes the sources of
  // what was copied. Runs once; true only if every item succeeded.
  bool Execute(bool move);

  const VoArray<CItem>& Items() const { return items_; }

 private:
  bool Collect(const VoString& source, const VoString& destination, bool recurse, VoArray<CItem>& out);
  void RemoveCopiedSources();

  VoArray<CItem> items_;
  bool executed_ = false;
};
