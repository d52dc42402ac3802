#include "foundation/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(Base64, StandardVectorsBothWays) {
  struct Case { const char* bytes; const wchar_t* text; } cases[] = {
      {"", L""}, {"f", L"Zg=="}, {"fo", L"Zm8="}, {"foo", L"Zm9v"},
      {"foob", L"Zm9vYg=="}, {"fooba", L"Zm9vYmE="}, {"foobar", L"Zm9vYmFy"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vo::EncodeBase64(std::string_view(c.bytes)), c.text) << c.bytes;
    EXPECT_EQ(AsText(vo::DecodeBase64(c.text)), c.bytes) << c.bytes;
  }
}

TEST(Base64, EveryByteValueRoundTrips) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(255 - i));
  for (size_t n = 0; n <= bytes.size(); n += 85) {  // lengths of every remainder modulo 3
    const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n));
    EXPECT_EQ(vo::DecodeBase64(vo::EncodeBase64(part)), part) << n;
  }
  EXPECT_EQ(vo::EncodeBase64(std::vector<uint8_t>{0xFB, 0xFF}), L"+/8=");
}

TEST(Base64, LenientDecoding) {
  struct Case { const wchar_t* text; std::string bytes; } cases[] = {
      {L"Zm9v\r\nYmFy\r\n", "foobar"},                 // line breaks skipped
      {L"Zm\n9vYg==", "foob"},
      {L"Zm9vYg==Zm9v", "foob"},                       // the fill ends the data
      {L"Zm9v!!!!", std::string("foo\0\0\0", 6)},      // other characters count as 0
      {L"Zm9v YmFy", "foo\x01\x89\x85"},             // a space too, shifting the rest
      {L"Zm9vY", "foo"},                               // a lone last character holds no byte
  };
  for (const auto& c : cases) EXPECT_EQ(AsText(vo::DecodeBase64(c.text)), c.bytes) << VoString(c.text).ToUtf8();
}

}  // namespace
