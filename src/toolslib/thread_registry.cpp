#include "toolslib/thread_registry.h"

#include <algorithm>

void VoThreadList::Register(const void* thread, const wchar_t* name) {
  if (!thread) return;
  std::lock_guard lock(mutex_);
  // A thread object restarted without leaving keeps one entry, with its new name.
  for (auto& entry : threads_) {
    if (entry.first == thread) {
      entry.second = VoString(name ? name : L"");
      return;
    }
  }
  threads_.emplace_back(thread, VoString(name ? name : L""));
}

void VoThreadList::Unregister(const void* thread, int) {
  std::lock_guard lock(mutex_);
  std::erase_if(threads_, [thread](const auto& entry) { return entry.first == thread; });
}

std::vector<VoString> VoThreadList::Names() const {
  std::lock_guard lock(mutex_);
  std::vector<VoString> names;
  for (const auto& entry : threads_) names.push_back(entry.second);
  return names;
}
