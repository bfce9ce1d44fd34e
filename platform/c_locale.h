#pragma once
// Numbers in files and labels are always written and read in the C locale, whatever the user's
// locale: Qt sets the C library's locale from the environment at start-up, after which "%f"
// could write "1,500000".

#include <cstdarg>
#include <cstddef>
#include <string>

namespace platform {

// Sets the process's numeric locale back to "C"; the program calls it right after creating the
// application object.
void UseCNumericLocale();

// Switches this thread to the C locale for the life of the object, whatever the process's locale
// is, so that printf, scanf and strtod inside the scope read and write numbers the C way.
class ScopedCLocale {
 public:
  ScopedCLocale();
  ~ScopedCLocale();
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  void* previous_;
};

// snprintf in the C locale. Returns what snprintf returns.
int FormatC(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int VFormatC(char* buffer, std::size_t size, const char* format, std::va_list args)
    __attribute__((format(printf, 3, 0)));
// The same into a string of any length.
std::string StringPrintfC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// strtod in the C locale.
double ParseDoubleC(const char* text, char** end);

}  // namespace platform
