#include "app/version_number.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "foundation/vo_string.h"

namespace {

constexpr uint64_t Version(uint64_t a, uint64_t b, uint64_t c, uint64_t d) { return a << 48 | b << 32 | c << 16 | d; }

TEST(VersionNumber, ReadsFourSixteenBitParts) {
  struct Case {
    const wchar_t* text;
    uint64_t version;
  };
  const Case cases[] = {
      {L"6.0.2900.2180", Version(6, 0, 2900, 2180)},
      {L"7,0", Version(7, 0, 0, 0)},             // commas stand for points when there is no point
      {L"1,2.3", Version(1, 3, 0, 0)},           // with a point the comma is just text
      {L"65537.1", Version(1, 1, 0, 0)},         // only the low 16 bits of a part stay
      {L"99999999999", Version(0xFFFF, 0, 0, 0)},  // the integer reader clamps first
      {L"-1.2", Version(0xFFFF, 2, 0, 0)},
      {L"1.2.3.4.5", Version(1, 2, 3, 4)},
      {L"1..2", Version(1, 0, 2, 0)},
      {L" 5 . x7", Version(5, 0, 0, 0)},
      {L"11", Version(11, 0, 0, 0)},
      {L"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.text).ToUtf8());
    EXPECT_EQ(vo::ParseVersionNumber(c.text), c.version);
  }
  // The first part outweighs all the others.
  EXPECT_GT(vo::ParseVersionNumber(L"1.0.0.0"), vo::ParseVersionNumber(L"0.65535.65535.65535"));
}

TEST(VersionNumber, BrowserGateNeedsTheControlAndTheMinimumVersion) {
  struct Case {
    bool control;
    const wchar_t* installed;
    const wchar_t* minimum;
    bool passes;
  };
  const Case cases[] = {
      {true, L"6.0.2900.2180", L"", true},  // empty minimum: 5.0.0.0
      {true, L"5.0.0.0", L"", true},
      {true, L"4.72.3110.0", L"", false},
      {true, L"7.0.0.0", L"7,0", true},  // equal versions pass
      {true, L"6.99.9999.9999", L"7,0", false},
      {true, L"65541.0", L"5.0", true},  // 65541 is read as 5
      {true, L"1.0.0.0", L"1.0.0.1", false},
      {false, L"11.0.9600.0", L"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.installed).ToUtf8() + " against " + VoString(c.minimum).ToUtf8());
    EXPECT_EQ(vo::BrowserGatePasses(c.control, c.installed, c.minimum), c.passes);
  }
}

}  // namespace
