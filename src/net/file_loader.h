#pragma once
// CFileLoader: reads a resource, a local file or an internet URL, into
// memory, into a stream or into a local file, through a reader of the
// tools library's reader module. Request options, resuming, conditional
// downloads, gzip decoding, progress texts and cancellation from another
// thread. One request at a time per loader.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/resource_name.h"
#include "foundation/vo_string.h"
#include "net/reader_factory.h"

// Stops a running operation; may be called from any thread.
class ICancelHelperCallback {
 public:
  virtual void Cancel() = 0;

 protected:
  ~ICancelHelperCallback() = default;
};

// Receives a load's progress after every block.
class IFileLoaderProgress {
 public:
  // The progress text and the percentage, -1 while the total is not known.
  virtual void SetProgress(const VoString& text, int percent) = 0;
  // Asked after every block: true stops the load.
  virtual bool ShouldCancel() = 0;
  // A fractional progress interface answers true and gets the share done
  // (0 to 1), reported sparingly.
  virtual bool WantsFraction() { return false; }
  virtual void SetFraction(double) {}

 protected:
  ~IFileLoaderProgress() = default;
};

// Where a stream load writes.
class IFileLoaderStream {
 public:
  // True only when every byte was taken.
  virtual bool Write(const void* data, size_t length) = 0;
  // Whether data could be written now (the check-only mode asks this).
  virtual bool CanWrite() { return true; }

 protected:
  ~IFileLoaderStream() = default;
};

// A local copy against which a server's answer is compared: its time
// (seconds since 1970, UTC) and its size.
struct LocalCopy {
  int64_t modified = 0;
  int64_t size = -1;
};

class CFileLoader : public ICancelHelperCallback {
 public:
  // Checks the first block of data; false stops the load.
  using FirstBlockCheck = std::function<bool(std::string_view first_block)>;

  CFileLoader();
  ~CFileLoader();
  CFileLoader(const CFileLoader&) = delete;
  CFileLoader& operator=(const CFileLoader&) = delete;

  // Request options, in order; setting a key again replaces its value.
  void SetRequestOption(std::wstring_view key, std::wstring_view value);
  VoString GetRequestOption(std::wstring_view key) const;
  void RemoveRequestOption(std::wstring_view key);
  // Keys and values joined by "|", as the reader takes them.
  VoString GetRequestOptionsText() const;
  // Stored beside the options and sent as a POST request. Without header
  // lines yet, they become "Content-Type: text/xml" (with data) and
  // "Accept-Encoding: gzip".
  void SetPostData(const void* data, size_t length);
  // Appends "name: value" to the "INFO_HEADERS" lines.
  void AddHeader(std::wstring_view name, std::wstring_view value);

  void SetAllowInternet(bool allow) { allow_internet_ = allow; }
  void SetRangeStart(int64_t start) { range_start_ = start; }
  // A negative maximum reads everything.
  void SetMaximumBytes(int64_t maximum, bool skip_if_larger);
  void SetFirstBlockCheck(size_t size, FirstBlockCheck check);
  // The content must contain this text (as ANSI or as UTF-16) in its first
  // block.
  void SetExpectedLeadingText(const VoString& text) { expected_leading_text_ = text; }
  void SetDisplayName(const VoString& name, bool show_name);
  // A progress window of the tools library; the loader only keeps the
  // settings and names the resource for it.
  void SetProgressWindow(bool use, HWND parent, const VoString& title, int delay_ms = 4000);
  void SetMessage(const VoString& text) { message_ = text; }
  const VoString& GetMessage() const { return message_; }
  // Run when the progress interface asks to cancel.
  void SetCancelCallback(ICancelHelperCallback* callback) { cancel_callback_ = callback; }

  // Loads into `buffer` (replaced) or writes to `stream`. With `local_copy`
  // a server copy that is not newer and has the same size is not read: the
  // status code becomes "304" and the load fails. With `check_only` only the
  // opening is tried. Gzip-encoded content is decoded in memory; a stream
  // cannot be decoded, so such a stream load fails.
  bool LoadToMemory(const ResourceName& resource, std::string& buffer, const LocalCopy* local_copy = nullptr,
                    IFileLoaderProgress* progress = nullptr, bool check_only = false);
  bool LoadToStream(const ResourceName& resource, IFileLoaderStream& stream, const LocalCopy* local_copy = nullptr,
                    IFileLoaderProgress* progress = nullptr, bool check_only = false);

  // Modes: 0 plain, 1 unique target name, 2 resume, 3 conditional (only
  // when the server has a newer copy), 4 resume keeping the part on failure.
  // On failure the target is deleted (but see the modes) and `target`
  // cleared.
  bool DownloadToFile(const ResourceName& source, VoString& target, int mode,
                      IFileLoaderProgress* progress = nullptr);

  // The resource as text in a vo::TextMode; an empty name is an empty text.
  bool ReadText(const ResourceName& resource, int mode, VoString& text);
  // Modes 1 (ANSI), 2 (UTF-8), 3 (UTF-16 with its mark); every byte must
  // reach the file.
  static bool WriteText(const VoString& file, std::wstring_view text, int mode);

  // The size of a resource: a local file's, or what a HEAD request reports;
  // -1 when not known.
  int64_t QueryLength(const ResourceName& resource);

  // Cancels the running load from any thread.
  void Cancel() override { SetCancelled(true); }
  void SetCancelled(bool cancelled);
  bool IsCancelled() const { return cancelled_; }

  // The last response.
  const VoString& GetLocation() const { return location_; }
  const VoString& GetAllHeaders() const { return all_headers_; }
  const VoString& GetStatusCode() const { return status_code_; }
  const VoString& GetStatusText() const { return status_text_; }
  const VoString& GetLastModified() const { return last_modified_; }
  // The resource's length as the reader reported it; -1 when not.
  int64_t GetLength() const { return length_; }

 private:
  class Sink;
  class MemorySink;
  class StreamSink;
  class FileSink;
  struct Progress;

  bool Load(const ResourceName& resource, Sink& sink, const LocalCopy* local_copy, IFileLoaderProgress* progress,
            bool check_only);
  bool Transfer(IVoReader& reader, bool internet, Sink& sink, IFileLoaderProgress* progress);
  bool PassesFirstBlock(std::string_view first_block);
  void ReportProgress(Progress& state, bool internet, int64_t done, int64_t total, IFileLoaderProgress& progress);
  bool DecodeContent(IVoReader& reader, Sink& sink);
  void Lock() { EnterCriticalSection(&lock_); }
  void Unlock() { LeaveCriticalSection(&lock_); }

  CRITICAL_SECTION lock_;
  bool busy_ = false;
  IVoReader* active_reader_ = nullptr;  // guarded by lock_
  std::atomic<bool> cancelled_{false};
  ICancelHelperCallback* cancel_callback_ = nullptr;

  std::vector<std::pair<VoString, VoString>> options_;
  std::string post_data_;
  bool allow_internet_ = true;
  int64_t range_start_ = 0;
  int64_t maximum_bytes_ = -1;
  bool skip_if_larger_ = false;
  size_t first_block_size_ = 0;
  FirstBlockCheck first_block_check_;
  VoString expected_leading_text_;
  VoString display_name_;
  bool show_name_ = false;
  bool progress_window_ = false;
  HWND progress_parent_ = nullptr;
  VoString progress_title_;
  int progress_delay_ms_ = 4000;
  VoString message_ = L"Working...";

  VoString location_, all_headers_, status_code_, status_text_, last_modified_;
  int64_t length_ = -1;
};
