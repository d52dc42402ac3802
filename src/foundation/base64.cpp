#include "base64.h"

namespace vo {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned SextetOf(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<unsigned>(c - L'A');
  if (c >= L'a' && c <= L'z') return static_cast<unsigned>(c - L'a') + 26;
  if (c >= L'0' && c <= L'9') return static_cast<unsigned>(c - L'0') + 52;
  if (c == L'+') return 62;
  if (c == L'/') return 63;
  return 0;
}

}  // namespace

VoString EncodeBase64(const void* data, size_t size) {
  const auto* in = static_cast<const uint8_t*>(data);
  std::wstring out;
  out.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const uint32_t v = (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2];
    out.push_back(static_cast<wchar_t>(kAlphabet[v >> 18]));
    out.push_back(static_cast<wchar_t>(kAlphabet[(v >> 12) & 63]));
    out.push_back(static_cast<wchar_t>(kAlphabet[(v >> 6) & 63]));
    out.push_back(static_cast<wchar_t>(kAlphabet[v & 63]));
  }
  if (i < size) {
    const bool two = i + 1 < size;
    const uint32_t v = (uint32_t{in[i]} << 16) | (two ? uint32_t{in[i + 1]} << 8 : 0);
    out.push_back(static_cast<wchar_t>(kAlphabet[v >> 18]));
    out.push_back(static_cast<wchar_t>(kAlphabet[(v >> 12) & 63]));
    out.push_back(two ? static_cast<wchar_t>(kAlphabet[(v >> 6) & 63]) : L'=');
    out.push_back(L'=');
  }
  return VoString(std::move(out));
}

std::vector<uint8_t> DecodeBase64(std::wstring_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  uint32_t acc = 0;
  int sextets = 0;
  for (const wchar_t c : text) {
    if (c == L'\r' || c == L'\n') continue;
    if (c == L'=') break;
    acc = (acc << 6) | SextetOf(c);
    if (++sextets == 4) {
      out.push_back(static_cast<uint8_t>(acc >> 16));
      out.push_back(static_cast<uint8_t>(acc >> 8));
      out.push_back(static_cast<uint8_t>(acc));
      acc = 0;
      sextets = 0;
    }
  }
  // A partial group: two characters carry one byte, three carry two.
  if (sextets == 2) {
    out.push_back(static_cast<uint8_t>(acc >> 4));
  } else if (sextets == 3) {
    out.push_back(static_cast<uint8_t>(acc >> 10));
    out.push_back(static_cast<uint8_t>(acc >> 2));
  }
  return out;
}

}  // namespace vo
