#pragma once
// The request options a reader is given: "KEY|value|KEY|value".

#include <cstdint>
#include <string_view>

#include "foundation/vo_string.h"

namespace vo {

struct ReaderOptions {
  VoString request_type;  // empty: the reader's own choice
  VoString header_lines;  // joined by line feeds
  int64_t range_start = 0;
  bool use_cache = false;
  int receive_timeout_ms = 30000;  // "RECEIVE_TIMEOUT", this reader's own key
};

// Later keys win over earlier ones; unknown keys are skipped, a key without
// a value counts as empty.
ReaderOptions ParseReaderOptions(std::wstring_view text);

// Decimal digits only (surrounding spaces allowed) that fit 63 bits; false
// otherwise.
bool ParseByteCount(std::wstring_view text, int64_t& value);

}  // namespace vo
