// Decodes arbitrary bytes the way an unmarked text file is read; whatever
// comes out must survive being written as UTF-16 and detected again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/text_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  VoString text;
  if (!vo::DecodeText(bytes, vo::kTextDetect, text)) __builtin_trap();
  for (int mode : {vo::kTextAnsi, vo::kTextUtf8, vo::kTextUtf16, vo::kTextUtf8NoMark, vo::kTextUtf32}) {
    VoString other;
    if (!vo::DecodeText(bytes, mode, other)) __builtin_trap();
  }

  std::string written;
  if (!vo::EncodeText(text.View(), vo::kTextUtf16, written)) __builtin_trap();
  VoString again;
  if (!vo::DecodeText(written, vo::kTextDetect, again)) __builtin_trap();
  // The written mark is taken off again; a mark the text itself began with
  // stays, and trailing zero units never survive detection.
  if (!(again == text)) __builtin_trap();
  return 0;
}
