#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "foundation/file_size_text.h"

namespace {

TEST(FileSizeText, FormatFileSize) {
  struct Case {
    int64_t bytes;
    const wchar_t* expected;
  } cases[] = {
      {0, L"0 bytes"},
      {1023, L"1023 bytes"},
      {1024, L"1.0 KB"},
      {1536, L"1.5 KB"},
      {102400, L"100 KB"},
      {157286400, L"150 MB"},
      {(int64_t{1} << 30) * 5 / 2, L"2.5 GB"},
      {int64_t{1} << 40, L"1.0 TB"},
      {int64_t{3} << 50, L"3.0 PB"},
      {-1536, L"-1.5 KB"},
      {-5, L"-5 bytes"},
      {std::numeric_limits<int64_t>::max(), L"8192 PB"},
      {std::numeric_limits<int64_t>::min(), L"-8192 PB"},
  };
  for (const auto& c : cases) EXPECT_EQ(vo::FormatFileSize(c.bytes), c.expected) << c.bytes;
}

}  // namespace
