#include "toolslib/resource_reader.h"

#include "foundation/internet_date.h"
#include "foundation/path_rules.h"

VoResourceReader::~VoResourceReader() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void VoResourceReader::SetPostData(const void* data, int64_t length) {
  if (data && length > 0) post_data_.assign(static_cast<const char*>(data), static_cast<size_t>(length));
  else post_data_.clear();
}

bool VoResourceReader::Refuse(const wchar_t* reason) {
  status_text_ = reason;
  return false;
}

bool VoResourceReader::Open(const wchar_t* resource) {
  if (opened_) return Refuse(L"The reader is already open");
  opened_ = true;
  const VoString name(resource);
  if (!vo::IsUrl(name.View())) {
    if (internet_only_) return Refuse(L"Only internet resources can be read here");
    return OpenLocal(name);
  }
  if (!name.StartsWithNoCase(L"http://") && !name.StartsWithNoCase(L"https://")) {
    return Refuse(L"Only http and https addresses can be read");
  }
  VoHttpTransfer::Request request;
  request.url = name;
  request.options = vo::ParseReaderOptions(options_.View());
  request.verb = !request.options.request_type.IsEmpty() ? request.options.request_type
                 : !request_type_.IsEmpty()              ? request_type_
                 : !post_data_.empty()                   ? VoString(L"POST")
                                                         : VoString(L"GET");
  request.post_data = post_data_;
  VoHttpTransfer* transfer;
  {
    // Abort() may come from another thread at any time; one that came
    // before the transfer existed still counts.
    std::lock_guard<std::mutex> hold(lock_);
    http_ = std::make_unique<VoHttpTransfer>();
    transfer = http_.get();
    if (aborted_) transfer->Abort();
  }
  return transfer->Open(request);
}

bool VoResourceReader::OpenLocal(const VoString& path) {
  location_ = path;
  file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    return Refuse((L"The file cannot be opened (error " + std::to_wstring(GetLastError()) + L")").c_str());
  }
  LARGE_INTEGER size;
  FILETIME written;
  if (!GetFileSizeEx(file_, &size)) return Refuse(L"The file's size cannot be read");
  file_length_ = size.QuadPart;
  if (GetFileTime(file_, nullptr, nullptr, &written)) {
    // 100 ns ticks since 1601 to seconds since 1970.
    const int64_t ticks = (static_cast<int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    last_modified_ = vo::FormatInternetDate(ticks / 10000000 - 11644473600LL);
  }
  return true;
}

bool VoResourceReader::GetProperty(const wchar_t* name, VoString& value) {
  const VoString key(name);
  value.Clear();
  if (http_) {
    if (key.EqualsNoCase(L"Location")) value = http_->location;
    else if (key.EqualsNoCase(L"AllHeaders")) value = http_->all_headers;
    else if (key.EqualsNoCase(L"StatusCode")) value = http_->status_code;
    else if (key.EqualsNoCase(L"StatusText")) value = http_->status_text;
    else if (key.EqualsNoCase(L"ContentEncoding")) value = http_->content_encoding;
    else if (key.EqualsNoCase(L"Last-Modified")) value = http_->last_modified;
  } else {
    if (key.EqualsNoCase(L"Location")) value = location_;
    else if (key.EqualsNoCase(L"StatusText")) value = status_text_;
    else if (key.EqualsNoCase(L"Last-Modified")) value = last_modified_;
  }
  return !value.IsEmpty();
}

int64_t VoResourceReader::GetLength() {
  if (http_) return http_->Length();
  return file_length_;
}

bool VoResourceReader::Seek(int64_t position) {
  if (position < 0) return false;
  if (http_) return http_->SkipTo(position);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER to;
  to.QuadPart = position;
  if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return false;
  file_position_ = position;
  return true;
}

int VoResourceReader::Read(void* buffer, int size) {
  if (http_) return http_->Read(buffer, size);
  if (file_ == INVALID_HANDLE_VALUE || size < 0) return -1;
  int got = 0;
  while (got < size) {
    if (aborted_) return -1;
    DWORD read = 0;
    if (!ReadFile(file_, static_cast<char*>(buffer) + got, static_cast<DWORD>(size - got), &read, nullptr)) return -1;
    if (read == 0) break;
    got += static_cast<int>(read);
  }
  file_position_ += got;
  return got;
}

void VoResourceReader::Abort() {
  std::lock_guard<std::mutex> hold(lock_);
  aborted_ = true;
  if (http_) http_->Abort();
}

bool VoResourceReader::IsFinished() {
  if (aborted_) return true;
  if (http_) return http_->IsFinished();
  return file_ == INVALID_HANDLE_VALUE || file_position_ >= file_length_;
}
