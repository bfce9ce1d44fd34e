#include "platform/c_locale.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace platform {
namespace {

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

}  // namespace

void UseCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

ScopedCLocale::ScopedCLocale() : previous_(uselocale(CLocale())) {}

ScopedCLocale::~ScopedCLocale() { uselocale(static_cast<locale_t>(previous_)); }

int VFormatC(char* buffer, std::size_t size, const char* format, std::va_list args) {
  ScopedCLocale c;
  return std::vsnprintf(buffer, size, format, args);
}

int FormatC(char* buffer, std::size_t size, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  int n = VFormatC(buffer, size, format, args);
  va_end(args);
  return n;
}

std::string StringPrintfC(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  char small[256];
  int n = VFormatC(small, sizeof small, format, args);
  va_end(args);
  std::string result;
  if (n < 0) {
    result.clear();
  } else if (static_cast<std::size_t>(n) < sizeof small) {
    result.assign(small, static_cast<std::size_t>(n));
  } else {
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    VFormatC(big.data(), big.size(), format, again);
    result.assign(big.data(), static_cast<std::size_t>(n));
  }
  va_end(again);
  return result;
}

double ParseDoubleC(const char* text, char** end) { return strtod_l(text, end, CLocale()); }

}  // namespace platform
