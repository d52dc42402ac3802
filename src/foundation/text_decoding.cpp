#include "text_decoding.h"

#include <cstdint>

#include "ansi_code_page.h"

namespace vo {
namespace {

uint8_t Byte(std::string_view b, size_t i) { return static_cast<uint8_t>(b[i]); }

bool IsContinuation(std::string_view b, size_t i) { return i < b.size() && (Byte(b, i) & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at `i` (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view b, size_t i) {
  const uint8_t lead = Byte(b, i);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return IsContinuation(b, i + 1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!IsContinuation(b, i + 1) || !IsContinuation(b, i + 2)) return 0;
    const uint8_t second = Byte(b, i + 1);
    if (lead == 0xE0 && second < 0xA0) return 0;
    if (lead == 0xED && second > 0x9F) return 0;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!IsContinuation(b, i + 1) || !IsContinuation(b, i + 2) || !IsContinuation(b, i + 3)) return 0;
    const uint8_t second = Byte(b, i + 1);
    if (lead == 0xF0 && second < 0x90) return 0;
    if (lead == 0xF4 && second > 0x8F) return 0;
    return 4;
  }
  return 0;
}

// UTF-8 only when the bytes hold at least one multi-byte sequence and no
// malformed one; plain ASCII stays with the code page, which reads it alike.
bool LooksLikeUtf8(std::string_view b) {
  bool multi_byte = false;
  for (size_t i = 0; i < b.size();) {
    const size_t length = Utf8SequenceLength(b, i);
    if (length == 0) return false;
    multi_byte = multi_byte || length > 1;
    i += length;
  }
  return multi_byte;
}

VoString DecodeUtf16(std::string_view b, bool big_endian) {
  std::wstring out;
  out.reserve(b.size() / 2);
  for (size_t i = 0; i + 1 < b.size(); i += 2) {
    const unsigned low = big_endian ? Byte(b, i + 1) : Byte(b, i);
    const unsigned high = big_endian ? Byte(b, i) : Byte(b, i + 1);
    out.push_back(static_cast<wchar_t>(low | (high << 8)));
  }
  return VoString(std::move(out));
}

VoString DecodeUtf32(std::string_view b) {
  std::wstring out;
  out.reserve(b.size() / 4);
  for (size_t i = 0; i + 3 < b.size(); i += 4) {
    const uint32_t c = Byte(b, i) | (Byte(b, i + 1) << 8) | (Byte(b, i + 2) << 16) | (uint32_t{Byte(b, i + 3)} << 24);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(static_cast<wchar_t>(0xFFFD));
    } else if (c > 0xFFFF) {
      out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(c));
    }
  }
  return VoString(std::move(out));
}

bool StartsWith(std::string_view b, std::string_view prefix) { return b.substr(0, prefix.size()) == prefix; }

}  // namespace

TextDetection DetectTextEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE")) return {DetectedEncoding::kUtf16LittleEndian, 2};
  // Big-endian by its mark: read as such rather than as swapped units.
  if (StartsWith(bytes, "\xFE\xFF")) return {DetectedEncoding::kUtf16BigEndian, 2};
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return {DetectedEncoding::kUtf8, 3};

  // Zero padding at the end says nothing about the encoding.
  size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == '\0') --end;
  const std::string_view data = bytes.substr(0, end);
  const size_t zero = data.find('\0');
  if (zero != std::string_view::npos) {
    const bool run_of_three = zero + 2 < data.size() && data[zero + 1] == '\0' && data[zero + 2] == '\0';
    return {run_of_three ? DetectedEncoding::kUtf32 : DetectedEncoding::kUtf16LittleEndian, 0};
  }
  return {LooksLikeUtf8(data) ? DetectedEncoding::kUtf8 : DetectedEncoding::kAnsi, 0};
}

bool DecodeText(std::string_view bytes, int mode, VoString& text) {
  switch (mode) {
    case kTextDetect: {
      const TextDetection detection = DetectTextEncoding(bytes);
      const std::string_view body = bytes.substr(detection.mark_length);
      switch (detection.encoding) {
        case DetectedEncoding::kAnsi: text = AnsiToText(body); break;
        case DetectedEncoding::kUtf8: text = VoString::FromUtf8(body); break;
        case DetectedEncoding::kUtf16LittleEndian: text = DecodeUtf16(body, false); break;
        case DetectedEncoding::kUtf16BigEndian: text = DecodeUtf16(body, true); break;
        case DetectedEncoding::kUtf32: text = DecodeUtf32(body); break;
      }
      // The padding that detection ignored is not part of the text either.
      size_t length = text.Length();
      while (length > 0 && text[length - 1] == L'\0') --length;
      text.Truncate(length);
      return true;
    }
    case kTextAnsi: text = AnsiToText(bytes); return true;
    case kTextUtf8: text = VoString::FromUtf8(bytes); return true;
    case kTextUtf16: text = DecodeUtf16(bytes, false); return true;
    case kTextUtf8NoMark:
      text = VoString::FromUtf8(StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
      return true;
    case kTextUtf32: text = DecodeUtf32(bytes); return true;
    default: return false;
  }
}

bool EncodeText(std::wstring_view text, int mode, std::string& bytes) {
  switch (mode) {
    case kTextAnsi: bytes = TextToAnsi(text); return true;
    case kTextUtf8: bytes = VoString(text).ToUtf8(); return true;
    case kTextUtf16: {
      std::string out = "\xFF\xFE";
      out.reserve(2 + text.size() * 2);
      for (wchar_t c : text) {
        const auto unit = static_cast<uint16_t>(c);
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
      }
      bytes = std::move(out);
      return true;
    }
    default: return false;
  }
}

}  // namespace vo
