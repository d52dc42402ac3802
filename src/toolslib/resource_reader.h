#pragma once
// The reader object of the reader module: a local file through the file
// system, an "http://" or "https://" URL through WinHTTP. Other schemes
// ("ftp://" among them) are refused at Open with a status text saying so.

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "tools/vo_reader_interface.h"
#include "toolslib/http_transfer.h"

class VoResourceReader final : public IVoReader {
 public:
  // `internet_only`: local resources are refused (the internet reader).
  explicit VoResourceReader(bool internet_only) : internet_only_(internet_only) {}
  ~VoResourceReader();

  void SetRequestType(const wchar_t* type) override { request_type_ = VoString(type); }
  void SetPostData(const void* data, int64_t length) override;
  void SetOptions(const wchar_t* options) override { options_ = VoString(options); }
  bool Open(const wchar_t* resource) override;
  bool GetProperty(const wchar_t* name, VoString& value) override;
  int64_t GetLength() override;
  bool Seek(int64_t position) override;
  int Read(void* buffer, int size) override;
  void Abort() override;
  bool IsFinished() override;
  bool TimedOut() override { return http_ && http_->TimedOut(); }
  void Release() override { delete this; }

 private:
  bool OpenLocal(const VoString& path);
  bool Refuse(const wchar_t* reason);

  const bool internet_only_;
  VoString request_type_;
  std::string post_data_;
  VoString options_;

  std::mutex lock_;  // guards the transfer's creation against Abort()
  std::unique_ptr<VoHttpTransfer> http_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  int64_t file_length_ = -1;
  int64_t file_position_ = 0;
  std::atomic<bool> aborted_{false};
  bool opened_ = false;
  VoString location_, status_text_, last_modified_;
};
