#include "analysis/local_stamp.h"

#include "geo/calendar.h"

namespace {

constexpr double kFirstMjd = 15020.0;  // 1900-01-01
constexpr double kEndMjd = 88069.0;    // 2100-01-01

void PutDigits(char* out, int32_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

bool MakeLocalStamp(double utMjd, int32_t tzSeconds, LocalStamp* stamp) {
  double localMjd = utMjd + tzSeconds / 24.0 / 3600.0;
  if (!(localMjd >= kFirstMjd && localMjd < kEndMjd)) return false;
  LocalStamp s{};
  float second = 0;
  MjdToDateTime(localMjd, &s.year, &s.month, &s.day, &s.hour, &s.minute, &second);
  s.second = static_cast<int32_t>(static_cast<double>(second) + 0.5);
  if (s.second >= 60) {
    s.second -= 60;
    ++s.minute;
  }
  if (s.minute >= 60) {
    s.minute -= 60;
    ++s.hour;
  }
  if (s.hour >= 24) {
    s.hour -= 24;
    ++s.day;
  }
  if (s.day > DaysInMonth(s.year, s.month)) {
    s.day = 1;
    ++s.month;
  }
  if (s.month > 12) {
    s.month = 1;
    ++s.year;
  }
  if (s.year < 1900 || s.year > 2099) return false;
  *stamp = s;
  return true;
}

void FormatLocalStamp(const LocalStamp& stamp, char text[16]) {
  PutDigits(text, stamp.year, 4);
  PutDigits(text + 4, stamp.month, 2);
  PutDigits(text + 6, stamp.day, 2);
  text[8] = '_';
  PutDigits(text + 9, stamp.hour, 2);
  PutDigits(text + 11, stamp.minute, 2);
  PutDigits(text + 13, stamp.second, 2);
  text[15] = '\0';
}
