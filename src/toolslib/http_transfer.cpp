#include "toolslib/http_transfer.h"

#include <vector>

#include "foundation/number_text.h"
#include "foundation/vo_string_array.h"

namespace {

// A read blocked on a silent server wakes only at the receive time-out,
// which then fails with either of these.
constexpr DWORD kTimeoutErrors[] = {ERROR_WINHTTP_TIMEOUT, 10060 /* WSAETIMEDOUT */};
constexpr int kTimeoutMs = 30000;

bool QueryText(HINTERNET request, DWORD info, VoString& out) {
  out.Clear();
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return false;
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  text.resize(bytes / sizeof(wchar_t));
  out = VoString(std::move(text));
  return true;
}

// "bytes 100-199/1000": the first byte and the whole length (-1 for "*").
bool ParseContentRange(const VoString& text, int64_t& first, int64_t& total) {
  const size_t space = text.Find(L' ');
  const size_t dash = text.Find(L'-');
  const size_t slash = text.Find(L'/');
  if (space == VoString::npos || dash == VoString::npos || slash == VoString::npos || dash < space || slash < dash) {
    return false;
  }
  if (!vo::ParseByteCount(text.View().substr(space + 1, dash - space - 1), first)) return false;
  const std::wstring_view whole = text.View().substr(slash + 1);
  if (whole == L"*") {
    total = -1;
    return true;
  }
  return vo::ParseByteCount(whole, total);
}

}  // namespace

VoHttpTransfer::~VoHttpTransfer() {
  if (request_) WinHttpCloseHandle(request_);
  if (connection_) WinHttpCloseHandle(connection_);
  if (session_) WinHttpCloseHandle(session_);
}

bool VoHttpTransfer::Fail(DWORD error) {
  for (DWORD timeout : kTimeoutErrors) {
    if (error == timeout) timed_out_ = true;
  }
  // The failure's reason replaces the server's words; its status code and
  // headers stay for diagnosis.
  if (timed_out_) status_text = L"The connection timed out";
  else if (error == ERROR_WINHTTP_CONNECTION_ERROR) status_text = L"The connection was closed before the end of the data";
  else if (error == ERROR_WINHTTP_OPERATION_CANCELLED) status_text = L"The transfer was aborted";
  else status_text = VoString(L"Network error ") + std::to_wstring(error);
  finished_ = true;
  return false;
}

HINTERNET VoHttpTransfer::Handle() {
  std::lock_guard<std::mutex> hold(lock_);
  return request_;
}

bool VoHttpTransfer::Open(const Request& request) {
  finished_ = false;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(request.url.c_str(), 0, 0, &parts)) return Fail(GetLastError());
  const VoString host(parts.lpszHostName, parts.dwHostNameLength);
  VoString path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.Append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.IsEmpty()) path = L"/";

  // This machine itself is never reached through a proxy.
  const bool loopback = host.EqualsNoCase(L"localhost") || host == L"127.0.0.1" || host == L"[::1]" || host == L"::1";
  session_ = WinHttpOpen(L"Vortala Reader/1.0", loopback ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session_) return Fail(GetLastError());
  WinHttpSetTimeouts(session_, kTimeoutMs, kTimeoutMs, kTimeoutMs, request.options.receive_timeout_ms);
  connection_ = WinHttpConnect(session_, host.c_str(), parts.nPort, 0);
  if (!connection_) return Fail(GetLastError());
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (aborted_) return Fail(ERROR_WINHTTP_OPERATION_CANCELLED);
    request_ = WinHttpOpenRequest(connection_, request.verb.c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                  WINHTTP_DEFAULT_ACCEPT_TYPES,
                                  parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  }
  HINTERNET handle = Handle();
  if (!handle) return Fail(GetLastError());

  VoString headers;
  for (const VoString& line : VoStringArray::Split(request.options.header_lines.View(), L"\n")) {
    VoString clean = line;
    if (clean.EndsWith(L'\r')) clean.Truncate(clean.Length() - 1);
    if (!clean.IsEmpty()) headers += clean + L"\r\n";
  }
  if (request.options.range_start > 0) {
    headers += L"Range: bytes=" + VoString(std::to_wstring(request.options.range_start)) + L"-\r\n";
  }
  if (!request.options.use_cache) headers += L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
  if (!headers.IsEmpty() &&
      !WinHttpAddRequestHeaders(handle, headers.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD)) {
    return Fail(GetLastError());
  }

  const DWORD post_length = static_cast<DWORD>(request.post_data.size());
  void* post = post_length ? const_cast<char*>(request.post_data.data()) : WINHTTP_NO_REQUEST_DATA;
  if (!WinHttpSendRequest(handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0, post, post_length, post_length, 0) ||
      !WinHttpReceiveResponse(handle, nullptr)) {
    return Fail(GetLastError());
  }
  ReadResponse(handle);
  const int status = vo::ParseInt(status_code.View());
  if (aborted_) return Fail(ERROR_WINHTTP_OPERATION_CANCELLED);
  if (status < 200 || status > 299) {
    finished_ = true;
    return false;
  }
  if (request.verb.EqualsNoCase(L"HEAD")) body_left_ = 0;
  finished_ = body_left_ == 0;
  return true;
}

void VoHttpTransfer::ReadResponse(HINTERNET request) {
  QueryText(request, WINHTTP_QUERY_STATUS_CODE, status_code);
  QueryText(request, WINHTTP_QUERY_STATUS_TEXT, status_text);
  QueryText(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, all_headers);
  QueryText(request, WINHTTP_QUERY_CONTENT_ENCODING, content_encoding);
  QueryText(request, WINHTTP_QUERY_LAST_MODIFIED, last_modified);
  // After redirects the address that answered.
  DWORD bytes = 0;
  WinHttpQueryOption(request, WINHTTP_OPTION_URL, nullptr, &bytes);
  if (bytes) {
    std::wstring url(bytes / sizeof(wchar_t) + 1, L'\0');
    if (WinHttpQueryOption(request, WINHTTP_OPTION_URL, url.data(), &bytes)) {
      url.resize(bytes / sizeof(wchar_t));
      while (!url.empty() && url.back() == L'\0') url.pop_back();
      location = VoString(std::move(url));
    }
  }

  VoString text;
  int64_t content_length = -1;
  if (QueryText(request, WINHTTP_QUERY_CONTENT_LENGTH, text) && !vo::ParseByteCount(text.View(), content_length)) {
    content_length = -1;
  }
  body_left_ = content_length;
  position_ = 0;
  length_ = content_length;
  int64_t first = 0, total = -1;
  if (status_code == L"206" && QueryText(request, WINHTTP_QUERY_CONTENT_RANGE, text) &&
      ParseContentRange(text, first, total)) {
    position_ = first;
    length_ = total >= 0 ? total : (content_length >= 0 ? first + content_length : -1);
  }
}

int VoHttpTransfer::Read(void* buffer, int size) {
  if (failed_) return -1;
  int got = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (got < size && !finished_) {
    HINTERNET handle = aborted_ ? nullptr : Handle();
    DWORD read = 0;
    const bool ok = handle && WinHttpReadData(handle, bytes + got, static_cast<DWORD>(size - got), &read);
    if (aborted_) {
      failed_ = true;
      Fail(ERROR_WINHTTP_OPERATION_CANCELLED);
      return -1;
    }
    DWORD error = ok ? 0 : GetLastError();
    // A body that ends before its announced length was cut off.
    if (ok && read == 0 && body_left_ > 0) error = ERROR_WINHTTP_CONNECTION_ERROR;
    if (error) {
      // What arrived before the failure is handed out first; the failure
      // shows at the next read.
      failed_ = true;
      Fail(error);
      if (got == 0) return -1;
      break;
    }
    if (read == 0) {
      finished_ = true;
      break;
    }
    got += static_cast<int>(read);
    if (body_left_ > 0) {
      body_left_ -= read;
      if (body_left_ <= 0) finished_ = true;
    }
  }
  position_ += got;
  return got;
}

bool VoHttpTransfer::SkipTo(int64_t position) {
  if (position < position_) return false;
  std::vector<char> scrap(64 * 1024);
  while (position_ < position) {
    const int want = static_cast<int>(std::min<int64_t>(position - position_, static_cast<int64_t>(scrap.size())));
    const int got = Read(scrap.data(), want);
    if (got < want) return false;
  }
  return true;
}

void VoHttpTransfer::Abort() {
  std::lock_guard<std::mutex> hold(lock_);
  aborted_ = true;
  // Closing the request handle cancels a transfer in progress; the reading
  // thread then finds the handle gone.
  if (request_) WinHttpCloseHandle(request_);
  request_ = nullptr;
}
