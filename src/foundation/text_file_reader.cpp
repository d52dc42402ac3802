#include "text_file_reader.h"

#include <cstdio>
#include <memory>
#include <string>

namespace vo {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* OpenForReading(const VoString& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"rb");
#else
  return std::fopen(path.ToUtf8().c_str(), "rb");
#endif
}

}  // namespace

bool ReadFileBytes(const VoString& path, std::string& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
  if (!file) return false;
  std::string data;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) data.append(buffer, n);
  if (std::ferror(file.get())) return false;
  bytes = std::move(data);
  return true;
}

bool ReadTextFileUtf8(const VoString& path, VoString& text) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  text = VoString::FromUtf8(bytes);
  return true;
}

}  // namespace vo
