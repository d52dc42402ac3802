#pragma once
// Posting texts to the running product's main window. The text goes into a
// ring in shared memory that the product reads when the window message
// naming its record arrives; texts too long for the ring travel in a
// temporary file whose path is posted instead.

#include <windows.h>

#include "foundation/vo_string.h"
#include "foundation/win/named_mutex.h"
#include "foundation/win/vo_shared_memory.h"
#include "plugins/post_string_ring.h"

// The post channel of one IPC name: the lock "Post String Lock - " + name
// and the shared block of that name.
class CPostString {
 public:
  explicit CPostString(const VoString& ipc_name);
  CPostString(const CPostString&) = delete;
  CPostString& operator=(const CPostString&) = delete;

  bool IsOpen() const { return lock_.Handle() && memory_.GetAddress(); }

  // Posts one text to `window`; returns the result of PostMessageW. A text
  // that cannot be placed, or a channel that could not be opened, fails
  // without a message. A failed post takes its record (and file) back.
  bool Post(HWND window, int type, const VoString& text);

 private:
  NamedMutex lock_;
  VoSharedMemory memory_;
};

namespace vo {

// "<folder>PostMessage\" in the temporary folder, where long texts wait
// for the product to read and delete them.
VoString PostMessageFolder();

}  // namespace vo
