#pragma once
// Turning the bytes of a text file into text and back. The mode numbers are
// the ones callers pass around (and store in configuration), so they are
// kept as they are, gaps included.

#include <string>
#include <string_view>

#include "vo_string.h"

namespace vo {

enum TextMode {
  kTextDetect = 0,       // reading only: decided from the bytes
  kTextAnsi = 1,         // the system's ANSI code page
  kTextUtf8 = 2,         // a byte-order mark stays in the text as U+FEFF
  kTextUtf16 = 3,        // little-endian; written with the mark FF FE
  kTextUtf8NoMark = 5,   // reading only: a leading mark is dropped
  kTextUtf32 = 6,        // reading only: four-byte little-endian units
};

// What mode 0 takes the bytes for.
enum class DetectedEncoding { kAnsi, kUtf8, kUtf16LittleEndian, kUtf16BigEndian, kUtf32 };
struct TextDetection {
  DetectedEncoding encoding;
  size_t mark_length;  // bytes of the byte-order mark to skip
};
TextDetection DetectTextEncoding(std::string_view bytes);

// False for a mode that reading does not know.
bool DecodeText(std::string_view bytes, int mode, VoString& text);
// Modes 1 to 3; false for any other.
bool EncodeText(std::wstring_view text, int mode, std::string& bytes);

}  // namespace vo
