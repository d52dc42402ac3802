#pragma once
// One HTTP request through WinHTTP: sends it, keeps the response's status and
// headers, and reads the body.

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "foundation/vo_string.h"
#include "toolslib/reader_options.h"

class VoHttpTransfer {
 public:
  struct Request {
    VoString url;
    VoString verb;  // "GET", "POST", "HEAD"
    vo::ReaderOptions options;
    std::string post_data;
  };

  VoHttpTransfer() = default;
  ~VoHttpTransfer();
  VoHttpTransfer(const VoHttpTransfer&) = delete;
  VoHttpTransfer& operator=(const VoHttpTransfer&) = delete;

  // True for a 2xx answer; the response's properties are kept either way.
  bool Open(const Request& request);
  // Fills the buffer unless the body ends first; -1 on a failure (after
  // the bytes that arrived before it).
  int Read(void* buffer, int size);
  // Reads and drops bytes up to `position` (a server that ignored the range
  // sends from the start).
  bool SkipTo(int64_t position);
  void Abort();
  bool IsFinished() const { return finished_ || aborted_; }
  bool TimedOut() const { return timed_out_; }

  // The position of the next byte in the whole resource and its whole
  // length (negative when not reported).
  int64_t Position() const { return position_; }
  int64_t Length() const { return length_; }

  VoString status_code, status_text, all_headers, location, content_encoding, last_modified;

 private:
  bool Fail(DWORD error);
  void ReadResponse(HINTERNET request);
  HINTERNET Handle();

  std::mutex lock_;  // guards the request handle against Abort() from another thread
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
  std::atomic<bool> aborted_{false};
  bool finished_ = true;
  bool failed_ = false;  // the body could not be read to its end
  bool timed_out_ = false;
  int64_t position_ = 0;
  int64_t length_ = -1;
  int64_t body_left_ = -1;  // bytes the server announced and has not sent yet
};
