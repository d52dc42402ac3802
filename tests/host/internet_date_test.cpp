#include "foundation/internet_date.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatInternetDate, FromSecondsSince1970) {
  struct Case { int64_t seconds; const wchar_t* want; } cases[] = {
      {0, L"Thu, 1 Jan 1970 00:00:00 GMT"},
      {-1, L"Wed, 31 Dec 1969 23:59:59 GMT"},
      {951782400, L"Tue, 29 Feb 2000 00:00:00 GMT"},
      {1078012800, L"Sun, 29 Feb 2004 00:00:00 GMT"},
      {1709251200, L"Fri, 1 Mar 2024 00:00:00 GMT"},
      {1700000000, L"Tue, 14 Nov 2023 22:13:20 GMT"},
      {2147483648, L"Tue, 19 Jan 2038 03:14:08 GMT"},
      {4107585909, L"Mon, 1 Mar 2100 12:05:09 GMT"},
      {-2203891201, L"Wed, 28 Feb 1900 23:59:59 GMT"},
      {-2203891200, L"Thu, 1 Mar 1900 00:00:00 GMT"},
      {253402300799, L"Fri, 31 Dec 9999 23:59:59 GMT"},
  };
  for (const auto& c : cases) EXPECT_EQ(vo::FormatInternetDate(c.seconds), c.want) << c.seconds;
}

TEST(FormatInternetDate, FromFieldsWithCarries) {
  struct Case { int year, month, day, hour, minute, second; const wchar_t* want; } cases[] = {
      {2023, 11, 14, 22, 13, 20, L"Tue, 14 Nov 2023 22:13:20 GMT"},
      {2024, 2, 29, 9, 5, 7, L"Thu, 29 Feb 2024 09:05:07 GMT"},
      {2023, 2, 29, 0, 0, 0, L"Wed, 1 Mar 2023 00:00:00 GMT"},
      {2023, 13, 1, 0, 0, 0, L"Mon, 1 Jan 2024 00:00:00 GMT"},
      {2024, 0, 1, 0, 0, 0, L"Fri, 1 Dec 2023 00:00:00 GMT"},
      {2023, 12, 31, 23, 59, 60, L"Mon, 1 Jan 2024 00:00:00 GMT"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vo::FormatInternetDate(c.year, c.month, c.day, c.hour, c.minute, c.second), c.want)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(UtcTime, DaysFollowEachOtherOverAFullLeapCycle) {
  // 400 years from 1800-01-01, a Wednesday: both conversions agree, days and
  // weekdays advance by one, and months restart at day 1.
  const int64_t start = vo::SecondsFromUtcFields(1800, 1, 1, 1, 1, 1);
  int previous_day = 0, previous_month = 12;
  for (int64_t day = 0; day < 146097; ++day) {
    const int64_t seconds = start + day * 86400;
    const VoUtcTime t = vo::UtcTimeFromSeconds(seconds);
    ASSERT_EQ(vo::SecondsFromUtcFields(static_cast<int>(t.year), t.month, t.day, t.hour, t.minute, t.second),
              seconds);
    ASSERT_EQ(t.weekday, (3 + day) % 7) << seconds;
    ASSERT_TRUE(t.day == previous_day + 1 || (t.day == 1 && t.month == previous_month % 12 + 1)) << seconds;
    previous_day = t.day;
    previous_month = t.month;
  }
  EXPECT_EQ(vo::UtcTimeFromSeconds(start + 146097 * int64_t{86400}).year, 2200);
}

}  // namespace
