#pragma once
// The reader object of the tools library's reader module: reads one
// resource, a local file or an "http://" URL, as a stream of bytes. Made by
// the module's "CreateGenericReaderDLL" (local files and URLs) or
// "CreateInternetReaderDLL" (URLs only); Release() destroys it. Like the
// tools interface it is a plain abstract class: texts go in as wide strings,
// answers come back in caller-given VoStrings, nothing is thrown.

#include <cstdint>

#include "foundation/vo_string.h"

class IVoReader {
 public:
  // "GET" (the default), "POST" or "HEAD"; an "HTTPREQUEST_TYPE" option
  // given later wins.
  virtual void SetRequestType(const wchar_t* type) = 0;
  // Bytes sent with a request; the reader keeps its own copy.
  virtual void SetPostData(const void* data, int64_t length) = 0;
  // Request options as one text of keys and values joined by "|":
  // "HTTPREQUEST_TYPE", "INFO_HEADERS" (header lines joined by a line feed),
  // "RANGE_START" (decimal byte offset), "USE_CACHE" ("1"), and this
  // module's own "RECEIVE_TIMEOUT" (milliseconds a read may wait for data,
  // 30000 by default). Unknown keys are ignored.
  virtual void SetOptions(const wchar_t* options) = 0;

  // Opens the resource and, for a URL, sends the request and takes the
  // response. True only when data can be read (an HTTP status of 2xx); the
  // response's properties stay readable after a failure.
  virtual bool Open(const wchar_t* resource) = 0;
  // "Location" (the address finally answered), "AllHeaders" (the response
  // header block), "StatusCode", "StatusText", "ContentEncoding",
  // "Last-Modified". False with an empty value when there is none.
  virtual bool GetProperty(const wchar_t* name, VoString& value) = 0;

  // The resource's whole length in bytes; negative when it is not reported.
  virtual int64_t GetLength() = 0;
  // Moves the read position forward to `position` (a resumed request
  // already starts at its "RANGE_START"). False when it cannot.
  virtual bool Seek(int64_t position) = 0;
  // Fills `buffer` with up to `size` bytes; fewer only at the end of the
  // data or just before a failure, which the next call then reports.
  // Returns the count (0 at the end), or -1 on an error, a time-out or
  // after Abort().
  virtual int Read(void* buffer, int size) = 0;
  // Ends the transfer; may be called from another thread while Read() waits.
  // (Wine's WinHTTP lets a read that waits on a silent server go only at
  // the receive time-out.)
  virtual void Abort() = 0;
  // True once the data has been read to its end, the transfer failed or was
  // aborted, or nothing is open.
  virtual bool IsFinished() = 0;
  // Whether the last failure was a time-out of the network.
  virtual bool TimedOut() = 0;

  virtual void Release() = 0;

 protected:
  ~IVoReader() = default;
};

// Holds a reader and releases it.
struct VoReaderRelease {
  void operator()(IVoReader* reader) const {
    if (reader) reader->Release();
  }
};
