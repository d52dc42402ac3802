#include "text_file.h"

#include <atomic>
#include <cstdio>
#include <memory>

#include "path_rules.h"

namespace vo {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* Open(const VoString& path, bool write) {
#ifdef _WIN32
  return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
  return std::fopen(path.ToUtf8().c_str(), write ? "wb" : "rb");
#endif
}

std::atomic<TextResourceReader> g_reader{nullptr};

}  // namespace

bool ReadFileBytes(const VoString& path, std::string& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(Open(path, false));
  if (!file) return false;
  std::string data;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) data.append(buffer, n);
  if (std::ferror(file.get())) return false;
  bytes = std::move(data);
  return true;
}

bool ReadTextFile(const VoString& path, int mode, VoString& text) {
  const TextResourceReader reader = g_reader.load();
  return reader ? reader(path, mode, text) : ReadLocalTextFile(path, mode, text);
}

TextResourceReader SetTextResourceReader(TextResourceReader reader) { return g_reader.exchange(reader); }

bool ReadLocalTextFile(const VoString& path, int mode, VoString& text) {
  if (path.IsEmpty()) {
    text.Clear();
    return true;
  }
  if (IsUrl(path.View())) return false;
  std::string bytes;
  VoString decoded;
  if (!ReadFileBytes(path, bytes) || !DecodeText(bytes, mode, decoded)) return false;
  text = std::move(decoded);
  return true;
}

bool WriteTextFile(const VoString& path, std::wstring_view text, int mode) {
  std::string bytes;
  return EncodeText(text, mode, bytes) && WriteFileBytes(path, bytes);
}

bool WriteFileBytes(const VoString& path, std::string_view bytes) {
  std::FILE* raw = Open(path, true);
  if (!raw) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
  // Closing flushes: a full disk may only show up here.
  const bool closed = std::fclose(raw) == 0;
  return written && closed;
}

}  // namespace vo
