#pragma once
// The worker threads that are running, known by their objects.

#include <mutex>
#include <utility>
#include <vector>

#include "tools/vo_tools.h"

class VoThreadList final : public IVoThreadRegistry {
 public:
  void Register(const void* thread, const wchar_t* name) override;
  void Unregister(const void* thread, int option) override;
  // The names of the registered threads, oldest first.
  std::vector<VoString> Names() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<const void*, VoString>> threads_;
};
