#include "internet_date.h"

#include "string_format.h"

namespace vo {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1970-01-01 to the given civil date (Howard Hinnant's algorithm,
// eras of 400 years).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, VoUtcTime& t) {
  z += 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2);
}

}  // namespace

VoUtcTime UtcTimeFromSeconds(int64_t seconds) {
  VoUtcTime t;
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t rest = seconds - days * kSecondsPerDay;
  CivilFromDays(days, t);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  const int64_t weekday = (days + 4) % 7;  // 1970-01-01 was a Thursday
  t.weekday = static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
  return t;
}

int64_t SecondsFromUtcFields(int year, int month, int day, int hour, int minute, int second) {
  const int64_t month0 = int64_t{month} - 1;
  const int64_t y = year + FloorDiv(month0, 12);
  const int m = static_cast<int>(month0 - FloorDiv(month0, 12) * 12) + 1;
  const int64_t days = DaysFromCivil(y, m, 1) + (int64_t{day} - 1);
  return days * kSecondsPerDay + int64_t{hour} * 3600 + int64_t{minute} * 60 + second;
}

VoString FormatInternetDate(int64_t seconds) {
  static constexpr const wchar_t* kDays[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
  static constexpr const wchar_t* kMonths[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                               L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  const VoUtcTime t = UtcTimeFromSeconds(seconds);
  return VoFormat(L"%s, %d %s %d %02d:%02d:%02d GMT", kDays[t.weekday], t.day, kMonths[t.month - 1], t.year,
                  t.hour, t.minute, t.second);
}

VoString FormatInternetDate(int year, int month, int day, int hour, int minute, int second) {
  return FormatInternetDate(SecondsFromUtcFields(year, month, day, hour, minute, second));
}

}  // namespace vo
