#pragma once
// Dates in the form HTTP headers use: "Tue, 14 Nov 2023 22:13:20 GMT".

#include <cstdint>

#include "vo_string.h"

struct VoUtcTime {
  int64_t year = 1970;
  int month = 1;    // 1-12
  int day = 1;      // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int weekday = 4;  // 0 = Sunday
};

namespace vo {

// Proleptic Gregorian calendar, computed here so both builds agree and no
// thread-unsafe C runtime call is needed.
VoUtcTime UtcTimeFromSeconds(int64_t seconds_since_1970);
// Fields out of range carry over (month 13 is January of the next year,
// second 60 the next minute), as timegm does.
int64_t SecondsFromUtcFields(int year, int month, int day, int hour, int minute, int second);

// "%s, %d %s %d %02d:%02d:%02d GMT" with English day and month names; the
// day of the month has no leading zero.
VoString FormatInternetDate(int64_t seconds_since_1970);
VoString FormatInternetDate(int year, int month, int day, int hour, int minute, int second);

}  // namespace vo
