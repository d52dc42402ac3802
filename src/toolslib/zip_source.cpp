#include "toolslib/zip_source.h"

#include <cstring>

namespace {

int Seek(std::FILE* file, uint64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<int64_t>(offset), origin);
#else
  return fseeko(file, static_cast<off_t>(offset), origin);
#endif
}

int64_t Tell(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

}  // namespace

bool ZipMemorySource::Read(uint64_t offset, void* buffer, size_t count) {
  if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
  if (count) std::memcpy(buffer, bytes_.data() + offset, count);
  return true;
}

ZipFileSource::~ZipFileSource() {
  if (file_) std::fclose(file_);
}

bool ZipFileSource::Open(const VoString& path) {
  if (file_) std::fclose(file_);
  size_ = 0;
#ifdef _WIN32
  file_ = _wfopen(path.c_str(), L"rb");
#else
  file_ = std::fopen(path.ToUtf8().c_str(), "rb");
#endif
  if (!file_) return false;
  const int64_t size = Seek(file_, 0, SEEK_END) == 0 ? Tell(file_) : -1;
  if (size < 0) {
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  size_ = static_cast<uint64_t>(size);
  return true;
}

bool ZipFileSource::Read(uint64_t offset, void* buffer, size_t count) {
  if (!file_ || offset > size_ || count > size_ - offset) return false;
  if (Seek(file_, offset, SEEK_SET) != 0) return false;
  return std::fread(buffer, 1, count, file_) == count;
}
