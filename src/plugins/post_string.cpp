#include "plugins/post_string.h"

#include <cstdint>
#include <string>

#include "foundation/string_format.h"
#include "foundation/win/file_system.h"
#include "tools/vo_tools.h"

namespace vo {

VoString PostMessageFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, temp)) return {};
  return VoString(temp) + L"PostMessage\\";
}

}  // namespace vo

namespace {

constexpr wchar_t kTitle[] = L"CPostString::Post";

std::u16string ToUtf16(const VoString& text) {
  std::u16string units;
  units.reserve(text.Length());
  for (wchar_t c : text.View()) units.push_back(static_cast<char16_t>(c));
  return units;
}

// Writes the text (UTF-16, no terminator) into a new file of the post
// folder; empty when that fails.
VoString WriteTextFile(const VoString& text) {
  const VoString folder = vo::PostMessageFolder();
  if (folder.IsEmpty() || !vo::CreateFolderTree(folder, false)) return {};
  // The channel lock keeps our own senders apart; CREATE_NEW guards
  // against anyone else taking the same name meanwhile.
  for (int attempt = 0; attempt < 10; ++attempt) {
    const VoString path = vo::MakeUniqueName(folder + L"Message.pmd");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return {};
    }
    const std::u16string units = ToUtf16(text);
    const DWORD bytes = static_cast<DWORD>(units.size() * sizeof(char16_t));
    DWORD written = 0;
    const bool ok = WriteFile(file, units.data(), bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    if (ok) return path;
    vo::ForceDeleteFile(path);
    return {};
  }
  return {};
}

class ChannelLock {
 public:
  explicit ChannelLock(HANDLE mutex) : mutex_(mutex) {
    const DWORD result = WaitForSingleObject(mutex_, INFINITE);
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  }
  ~ChannelLock() {
    if (held_) ReleaseMutex(mutex_);
  }
  bool Held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_ = false;
};

}  // namespace

CPostString::CPostString(const VoString& ipc_name) {
  lock_.Create((L"Post String Lock - " + ipc_name).c_str());
  memory_.Open(ipc_name, vo::kPostBlockBytes);
}

bool CPostString::Post(HWND window, int type, const VoString& text) {
  vo::Log(kTitle, L"CPostString::Post");
  vo::Log(kTitle, VoFormat(L"Sending <%s>, type %d to %x", text, type, reinterpret_cast<uintptr_t>(window)));
  if (!IsOpen()) return false;
  ChannelLock lock(lock_.Handle());
  if (!lock.Held()) return false;
  vo::PostRing ring(static_cast<unsigned char*>(memory_.GetAddress()));
  ring.Prepare();

  VoString sent = text;
  VoString file;
  if (vo::PostNeedsFile(text.Length(), ring.FreeBytes())) {
    vo::Log(kTitle, L"Using file to send string");
    file = WriteTextFile(text);
    if (file.IsEmpty()) return false;
    sent = file;
    type = static_cast<int>(vo::kPostTypeFile);
  }
  const WPARAM wparam = static_cast<WPARAM>((GetCurrentThreadId() & 0xFF) << 16 | (GetCurrentProcessId() & 0xFF));
  const LPARAM lparam = static_cast<LPARAM>(GetTickCount()) ^ reinterpret_cast<LPARAM>(this);
  const auto start =
      ring.Write({static_cast<uint64_t>(wparam), static_cast<uint64_t>(lparam)}, static_cast<uint32_t>(type),
                 ToUtf16(sent));
  if (!start) {
    vo::ForceDeleteFile(file);
    return false;
  }
  vo::Log(kTitle, VoFormat(L"Actual message, type %d, WParam %x, LParam %x, Window %x", type,
                           static_cast<uint64_t>(wparam), static_cast<uint64_t>(lparam),
                           reinterpret_cast<uintptr_t>(window)));
  if (PostMessageW(window, vo::kPostStringMessage, wparam, lparam)) return true;
  // Nobody will ever ask for this record: leave the room to later posts.
  ring.Unwrite(*start);
  vo::ForceDeleteFile(file);
  return false;
}
