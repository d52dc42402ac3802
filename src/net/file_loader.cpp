#include "net/file_loader.h"

#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "foundation/file_size_text.h"
#include "foundation/internet_date.h"
#include "foundation/path_rules.h"
#include "foundation/string_format.h"
#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "net/file_times.h"
#include "tools/vo_tools.h"

namespace {

constexpr size_t kInternetBlock = 64 * 1024;
constexpr size_t kLocalBlock = 1024 * 1024;

bool IsInternet(const ResourceName& resource) { return vo::IsUrl(resource.GetPath().View()); }

// "Accept-Encoding: gzip" and friends as one text without empty or repeated
// lines.
VoString JoinHeaderLines(const std::vector<VoString>& lines) {
  std::vector<VoString> kept;
  for (const VoString& line : lines) {
    if (line.IsEmpty()) continue;
    if (std::find(kept.begin(), kept.end(), line) == kept.end()) kept.push_back(line);
  }
  VoString joined;
  for (const VoString& line : kept) {
    if (!joined.IsEmpty()) joined += L'\n';
    joined += line;
  }
  return joined;
}

VoString TempFolder() {
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return length && length <= MAX_PATH ? VoString(std::wstring_view(path, length)) : VoString();
}

bool ContainsBytes(std::string_view data, std::string_view what) {
  return !what.empty() && data.find(what) != std::string_view::npos;
}

// The expected text as the ANSI bytes and as the UTF-16 bytes of the data.
bool ContainsText(std::string_view data, const VoString& text) {
  std::string ansi;
  std::string utf16;
  return (vo::EncodeText(text.View(), vo::kTextAnsi, ansi) && ContainsBytes(data, ansi)) ||
         (vo::EncodeText(text.View(), vo::kTextUtf16, utf16) && ContainsBytes(data, std::string_view(utf16).substr(2)));
}

}  // namespace

// Where the loaded bytes go.
class CFileLoader::Sink {
 public:
  virtual ~Sink() = default;
  virtual bool Append(const char* data, size_t length) = 0;
  virtual bool CanWrite() { return true; }
  // Replaces the content by its gzip decoding.
  virtual bool GzipDecode(IVoCompression& compression, const std::atomic<bool>& cancel) = 0;
};

class CFileLoader::MemorySink final : public Sink {
 public:
  explicit MemorySink(std::string& buffer) : buffer_(buffer) {}
  bool Append(const char* data, size_t length) override {
    buffer_.append(data, length);
    return true;
  }
  bool GzipDecode(IVoCompression& compression, const std::atomic<bool>& cancel) override {
    // The service decodes files: the buffer goes out and comes back.
    const VoString packed = VoFormat(L"%sFile Loader Decompress - %d.dat", TempFolder(), GetCurrentThreadId());
    const VoString unpacked = packed + L".out";
    std::string decoded;
    const bool ok = vo::WriteFileBytes(packed, buffer_) &&
                    compression.GzipDecodeFile(packed.c_str(), unpacked.c_str(), &cancel) &&
                    vo::ReadFileBytes(unpacked, decoded);
    vo::ForceDeleteFile(packed);
    vo::ForceDeleteFile(unpacked);
    if (ok) buffer_ = std::move(decoded);
    return ok;
  }

 private:
  std::string& buffer_;
};

class CFileLoader::StreamSink final : public Sink {
 public:
  explicit StreamSink(IFileLoaderStream& stream) : stream_(stream) {}
  bool Append(const char* data, size_t length) override { return stream_.Write(data, length); }
  bool CanWrite() override { return stream_.CanWrite(); }
  // A stream cannot be read back.
  bool GzipDecode(IVoCompression&, const std::atomic<bool>&) override { return false; }

 private:
  IFileLoaderStream& stream_;
};

// A download target, created only when the first bytes arrive so that an
// answer without data leaves an existing file alone. A resumed download
// continues at its start offset.
class CFileLoader::FileSink final : public Sink {
 public:
  FileSink(const VoString& path, int64_t start) : path_(path), start_(start) {}
  ~FileSink() override { Close(); }
  bool Append(const char* data, size_t length) override {
    if (!Open()) return false;
    DWORD written = 0;
    return WriteFile(file_, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
  }
  bool CanWrite() override { return Open(); }
  bool Close() {
    const bool closed = file_ == INVALID_HANDLE_VALUE || CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return closed;
  }
  bool Touched() const { return touched_; }
  bool GzipDecode(IVoCompression& compression, const std::atomic<bool>& cancel) override {
    if (!Close()) return false;
    // Decoded next to the file, which is then replaced safely.
    const VoString decoded = path_ + L".tmp";
    if (!compression.GzipDecodeFile(path_.c_str(), decoded.c_str(), &cancel)) {
      vo::ForceDeleteFile(decoded);
      return false;
    }
    return VoFileSystem::SafeReplaceFile(path_, decoded);
  }

 private:
  bool Open() {
    if (file_ != INVALID_HANDLE_VALUE) return true;
    touched_ = true;
    file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, start_ > 0 ? OPEN_ALWAYS : CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = start_;
    return start_ == 0 || (SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) && SetEndOfFile(file_));
  }

  VoString path_;
  int64_t start_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool touched_ = false;
};

struct CFileLoader::Progress {
  bool reported = false;
  double last_fraction = 0;
  std::chrono::steady_clock::time_point last_time;
};

CFileLoader::CFileLoader() {
  InitializeCriticalSection(&lock_);
  // "Accept-Encoding: gzip" from the start.
  SetPostData(nullptr, 0);
}

CFileLoader::~CFileLoader() { DeleteCriticalSection(&lock_); }

void CFileLoader::SetRequestOption(std::wstring_view key, std::wstring_view value) {
  for (auto& option : options_) {
    if (option.first.EqualsNoCase(key)) {
      option.second = VoString(value);
      return;
    }
  }
  options_.emplace_back(VoString(key), VoString(value));
}

VoString CFileLoader::GetRequestOption(std::wstring_view key) const {
  for (const auto& option : options_) {
    if (option.first.EqualsNoCase(key)) return option.second;
  }
  return VoString();
}

void CFileLoader::RemoveRequestOption(std::wstring_view key) {
  std::erase_if(options_, [&](const auto& option) { return option.first.EqualsNoCase(key); });
}

VoString CFileLoader::GetRequestOptionsText() const {
  VoString text;
  for (const auto& option : options_) {
    if (!text.IsEmpty()) text += L'|';
    text += option.first + L"|" + option.second.View();
  }
  return text;
}

void CFileLoader::SetPostData(const void* data, size_t length) {
  if (data && length) post_data_.assign(static_cast<const char*>(data), length);
  else post_data_.clear();
  if (!post_data_.empty()) SetRequestOption(L"HTTPREQUEST_TYPE", L"POST");
  bool has_headers = false;
  for (const auto& option : options_) has_headers = has_headers || option.first.EqualsNoCase(L"INFO_HEADERS");
  if (has_headers) return;
  SetRequestOption(L"INFO_HEADERS", JoinHeaderLines({post_data_.empty() ? VoString() : VoString(L"Content-Type: text/xml"),
                                                     VoString(L"Accept-Encoding: gzip")}));
}

void CFileLoader::AddHeader(std::wstring_view name, std::wstring_view value) {
  VoString lines = GetRequestOption(L"INFO_HEADERS");
  if (!lines.IsEmpty()) lines += L'\n';
  lines += VoString(name) + L": " + value;
  SetRequestOption(L"INFO_HEADERS", lines.View());
}

void CFileLoader::SetMaximumBytes(int64_t maximum, bool skip_if_larger) {
  maximum_bytes_ = maximum;
  skip_if_larger_ = skip_if_larger;
}

void CFileLoader::SetFirstBlockCheck(size_t size, FirstBlockCheck check) {
  first_block_size_ = size;
  first_block_check_ = std::move(check);
}

void CFileLoader::SetDisplayName(const VoString& name, bool show_name) {
  display_name_ = name;
  show_name_ = show_name;
}

void CFileLoader::SetProgressWindow(bool use, HWND parent, const VoString& title, int delay_ms) {
  progress_window_ = use;
  progress_parent_ = parent;
  progress_title_ = title;
  progress_delay_ms_ = delay_ms;
}

void CFileLoader::SetCancelled(bool cancelled) {
  Lock();
  cancelled_ = cancelled;
  if (cancelled && active_reader_ && !active_reader_->IsFinished()) active_reader_->Abort();
  Unlock();
}

bool CFileLoader::LoadToMemory(const ResourceName& resource, std::string& buffer, const LocalCopy* local_copy,
                               IFileLoaderProgress* progress, bool check_only) {
  buffer.clear();
  MemorySink sink(buffer);
  return Load(resource, sink, local_copy, progress, check_only);
}

bool CFileLoader::LoadToStream(const ResourceName& resource, IFileLoaderStream& stream, const LocalCopy* local_copy,
                               IFileLoaderProgress* progress, bool check_only) {
  StreamSink sink(stream);
  return Load(resource, sink, local_copy, progress, check_only);
}

bool CFileLoader::Load(const ResourceName& resource, Sink& sink, const LocalCopy* local_copy,
                       IFileLoaderProgress* progress, bool check_only) {
  const bool internet = IsInternet(resource);
  Lock();
  // One request at a time: a second caller must not touch the running
  // request's state either.
  if (busy_) {
    Unlock();
    return false;
  }
  location_.Clear();
  all_headers_.Clear();
  status_code_.Clear();
  status_text_.Clear();
  last_modified_.Clear();
  length_ = -1;
  VoReaderPtr reader;
  if (!internet || allow_internet_) reader = vo::CreateGenericReader();
  if (!reader || cancelled_) {
    Unlock();
    return false;
  }
  if (internet) {
    reader->SetRequestType(post_data_.empty() ? L"GET" : L"POST");
    reader->SetPostData(post_data_.data(), static_cast<int64_t>(post_data_.size()));
    reader->SetOptions(GetRequestOptionsText().c_str());
  }
  busy_ = true;
  active_reader_ = reader.get();
  Unlock();

  const bool opened = reader->Open(resource.GetPath().c_str());
  reader->GetProperty(L"Location", location_);
  reader->GetProperty(L"AllHeaders", all_headers_);
  reader->GetProperty(L"StatusCode", status_code_);
  reader->GetProperty(L"StatusText", status_text_);
  reader->GetProperty(L"Last-Modified", last_modified_);
  if (opened) length_ = reader->GetLength();

  bool ok = opened;
  if (ok && local_copy) {
    // A server that ignores If-Modified-Since still must not make us read
    // what we already have.
    int64_t modified = 0;
    if (vo::ParseHttpTime(last_modified_, modified) && local_copy->modified >= modified &&
        reader->GetLength() == local_copy->size) {
      status_code_ = L"304";
      ok = false;
    }
  }
  if (ok && check_only) ok = sink.CanWrite();
  else if (ok) ok = Transfer(*reader, internet, sink, progress);
  if (ok) ok = DecodeContent(*reader, sink);
  // A transfer that failed after the answer says why.
  if (!ok && opened) reader->GetProperty(L"StatusText", status_text_);

  Lock();
  active_reader_ = nullptr;
  busy_ = false;
  reader.reset();
  Unlock();
  return ok;
}

bool CFileLoader::Transfer(IVoReader& reader, bool internet, Sink& sink, IFileLoaderProgress* progress) {
  const int64_t length = reader.GetLength();
  int64_t start = 0;
  int64_t expected = length;
  if (range_start_ > 0) {
    start = length >= 0 ? std::min(range_start_, length) : range_start_;
    if (!reader.Seek(start)) return false;
    if (length >= 0) expected = length - start;
  }
  int64_t limit = expected;
  if (maximum_bytes_ >= 0 && (expected < 0 || expected > maximum_bytes_)) {
    if (expected >= 0 && skip_if_larger_) return false;
    limit = maximum_bytes_;
  }

  const size_t block = internet || length < 0 ? kInternetBlock : kLocalBlock;
  std::string data(block, '\0');
  std::string first_block;
  bool first_checked = false;
  int64_t read = 0;
  Progress state;
  for (;;) {
    if (cancelled_) return false;
    size_t want = block;
    if (limit >= 0) want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(want), limit - read));
    const size_t first_size = first_block_size_ ? first_block_size_ : block;
    if (!first_checked) want = std::min(want, first_size - first_block.size());
    const int got = want ? reader.Read(data.data(), static_cast<int>(want)) : 0;
    if (got < 0 || cancelled_) return false;
    if (got > 0 && !sink.Append(data.data(), static_cast<size_t>(got))) return false;
    read += got;
    const bool short_read = static_cast<size_t>(got) < want;
    // A short block ends data of unknown length, unless the reader says
    // on the next read that the transfer failed.
    char probe;
    const bool complete =
        (limit >= 0 && read >= limit) || (short_read && expected < 0 && reader.Read(&probe, 1) == 0);
    if (progress) {
      ReportProgress(state, internet, start + read, length, *progress);
      if (!cancelled_ && progress->ShouldCancel()) {
        SetCancelled(true);
        if (cancel_callback_) cancel_callback_->Cancel();
        return false;
      }
    }
    if (!first_checked) {
      first_block.append(data.data(), static_cast<size_t>(got));
      if (first_block.size() >= first_size || short_read || complete) {
        first_checked = true;
        if (!PassesFirstBlock(first_block)) return false;
      }
    }
    if (complete) return true;
    // The reader fills every block until the data ends: a short block of
    // data with a known length came from a cut connection.
    if (short_read) return false;
  }
}

bool CFileLoader::PassesFirstBlock(std::string_view first_block) {
  if (first_block_check_ && !first_block_check_(first_block)) return false;
  return expected_leading_text_.IsEmpty() || ContainsText(first_block, expected_leading_text_);
}

void CFileLoader::ReportProgress(Progress& state, bool internet, int64_t done, int64_t total,
                                 IFileLoaderProgress& progress) {
  VoString text;
  if (show_name_ && !display_name_.IsEmpty()) {
    text = VoFormat(L"%s  (%s", display_name_, vo::FormatFileSize(done));
  } else {
    VoString name = display_name_;
    if (name.IsEmpty() && progress_window_) name = vo::Localize(internet ? L"Internet resource" : L"Local resource");
    text = VoFormat(L"%s '%s'  (%s", vo::Localize(internet ? L"Downloading" : L"Reading"), name,
                    vo::FormatFileSize(done));
  }
  int percent = -1;
  if (total >= 0) {
    text += L" " + vo::Localize(L"of") + L" " + vo::FormatFileSize(total).View();
    percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
  }
  text += L")";
  progress.SetProgress(text, percent);

  if (!progress.WantsFraction() || total <= 0) return;
  const double fraction = static_cast<double>(done) / static_cast<double>(total);
  const auto now = std::chrono::steady_clock::now();
  const bool edge = (fraction == 0 || fraction == 1) && fraction != state.last_fraction;
  const bool moved = std::fabs(fraction - state.last_fraction) >= 0.005 &&
                     now - state.last_time > std::chrono::milliseconds(500);
  if (!state.reported || edge || moved) {
    progress.SetFraction(fraction);
    state.reported = true;
    state.last_fraction = fraction;
    state.last_time = now;
  }
}

bool CFileLoader::DecodeContent(IVoReader& reader, Sink& sink) {
  VoString encoding;
  reader.GetProperty(L"ContentEncoding", encoding);
  if (encoding.IsEmpty() || encoding[0] == L'\x0001') return true;
  IVoTools* tools = VoTools();
  IVoCompression* compression = tools ? tools->Compression() : nullptr;
  return compression && sink.GzipDecode(*compression, cancelled_) && !cancelled_;
}

int64_t CFileLoader::QueryLength(const ResourceName& resource) {
  if (!IsInternet(resource)) return vo::FileSize(resource.GetPath());
  const VoString previous = GetRequestOption(L"HTTPREQUEST_TYPE");
  SetRequestOption(L"HTTPREQUEST_TYPE", L"HEAD");
  int64_t length = -1;
  struct Nowhere final : IFileLoaderStream {
    bool Write(const void*, size_t) override { return true; }
  } nowhere;
  // Opening is all a HEAD request does; the length is the reader's answer.
  if (LoadToStream(resource, nowhere, nullptr, nullptr, true)) length = length_;
  if (previous.IsEmpty()) RemoveRequestOption(L"HTTPREQUEST_TYPE");
  else SetRequestOption(L"HTTPREQUEST_TYPE", previous.View());
  return length;
}

bool CFileLoader::DownloadToFile(const ResourceName& source, VoString& target, int mode,
                                 IFileLoaderProgress* progress) {
  if (mode == 1) target = vo::MakeUniqueName(target);
  // The options this download adds are its own: the loader's stay as they were.
  const auto saved_options = options_;
  const int64_t saved_range = range_start_;
  const int64_t existing = vo::FileSize(target);
  LocalCopy local_copy;
  bool conditional = false;
  bool ok = true;
  bool complete = false;
  if ((mode == 2 || mode == 4) && existing > 0) {
    if (QueryLength(source) == existing) {
      complete = true;
    } else {
      range_start_ = existing;
      SetRequestOption(L"RANGE_START", std::to_wstring(existing));
    }
  } else if (mode == 3 && existing > 0 && vo::FileModifiedTime(target, local_copy.modified)) {
    local_copy.size = existing;
    conditional = true;
    AddHeader(L"If-Modified-Since", vo::FormatInternetDate(local_copy.modified).View());
    SetRequestOption(L"USE_CACHE", L"1");
  }
  bool touched = false;
  if (!complete) {
    FileSink sink(target, range_start_ > 0 ? range_start_ : 0);
    ok = Load(source, sink, conditional ? &local_copy : nullptr, progress, false);
    // An empty resource still makes an (empty) file.
    if (ok && !sink.Touched()) ok = sink.CanWrite();
    touched = sink.Touched();
    if (!sink.Close()) ok = false;
  }
  options_ = saved_options;
  range_start_ = saved_range;
  if (complete) return true;

  if (ok && mode == 3) {
    int64_t modified = 0;
    if (vo::ParseHttpTime(last_modified_, modified)) vo::SetFileModifiedTime(target, modified);
  }
  // Not modified: the copy we have is the right one.
  if (!ok && mode == 3 && status_code_ == L"304") return true;
  if (!ok) {
    // A conditional download that wrote nothing keeps the copy it had.
    const bool keep = mode == 4 || (mode == 3 && !touched);
    if (!keep) {
      vo::ForceDeleteFile(target);
      target.Clear();
    }
  }
  return ok;
}

bool CFileLoader::ReadText(const ResourceName& resource, int mode, VoString& text) {
  if (resource.GetPath().IsEmpty()) {
    text.Clear();
    return true;
  }
  const bool window = progress_window_;
  progress_window_ = false;
  std::string bytes;
  const bool loaded = LoadToMemory(resource, bytes);
  progress_window_ = window;
  VoString decoded;
  if (!loaded || !vo::DecodeText(bytes, mode, decoded)) return false;
  text = std::move(decoded);
  return true;
}

bool CFileLoader::WriteText(const VoString& file, std::wstring_view text, int mode) {
  return vo::WriteTextFile(file, text, mode);
}
