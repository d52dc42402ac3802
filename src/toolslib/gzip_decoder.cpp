#include "toolslib/gzip_decoder.h"

#include <windows.h>
#include <zlib.h>

#include <vector>

namespace {

constexpr size_t kInputBlock = 64 * 1024;
constexpr size_t kOutputPiece = 16 * 1024;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  bool Close() {
    const bool closed = handle_ == INVALID_HANDLE_VALUE || CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, const unsigned char* data, size_t length) {
  DWORD written = 0;
  return WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

// Inflates every gzip member of `in` into `out`; false unless the input is a
// whole stream (trailing bytes must start another member).
bool Inflate(HANDLE in, HANDLE out, const std::atomic<bool>* cancel) {
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return false;
  std::vector<unsigned char> input(kInputBlock), output(kOutputPiece);
  bool at_end_of_input = false;
  bool ended = false;  // the current member's end was seen
  bool ok = true;
  while (ok) {
    if (z.avail_in == 0 && !at_end_of_input) {
      DWORD read = 0;
      if (!ReadFile(in, input.data(), static_cast<DWORD>(input.size()), &read, nullptr)) {
        ok = false;
        break;
      }
      z.next_in = input.data();
      z.avail_in = read;
      at_end_of_input = read == 0;
    }
    if (z.avail_in == 0 && at_end_of_input) {
      ok = ended;
      break;
    }
    if (ended) {
      // Another member follows; anything else after a member is damage.
      if (inflateReset(&z) != Z_OK) ok = false;
      ended = false;
      continue;
    }
    z.next_out = output.data();
    z.avail_out = static_cast<uInt>(output.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
      ok = false;
      break;
    }
    const size_t produced = output.size() - z.avail_out;
    if (produced && !WriteAll(out, output.data(), produced)) ok = false;
    if (cancel && *cancel) ok = false;
    if (result == Z_STREAM_END) ended = true;
    // No progress with input left and room for output: the data is broken.
    if (result == Z_BUF_ERROR && produced == 0 && z.avail_in > 0) ok = false;
  }
  inflateEnd(&z);
  return ok;
}

}  // namespace

bool VoGzipDecoder::GzipDecodeFile(const wchar_t* source, const wchar_t* target, const std::atomic<bool>* cancel) {
  if (!source || !target || !*target) return false;
  Handle in(CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                        nullptr));
  if (!in.IsOpen()) return false;
  // Decoded beside the target first, so a failure leaves neither a partial
  // target nor a damaged earlier one.
  const std::wstring partial = std::wstring(target) + L".partial";
  Handle out(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.IsOpen()) return false;
  const bool decoded = Inflate(in.Get(), out.Get(), cancel);
  const bool closed = out.Close();
  in.Close();
  if (decoded && closed && MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    return true;
  }
  DeleteFileW(partial.c_str());
  return false;
}
