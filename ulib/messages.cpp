#include "ulib/messages.h"

#include <cstdarg>
#include <cstdlib>

#include "platform/c_locale.h"

platform::WindowHandle MainDialog = nullptr;

namespace {

std::string VFormatMessage(const char* format, std::va_list args) {
  char buffer[kMaxMessageChars + 1];
  int n = platform::VFormatC(buffer, sizeof buffer, format, args);
  if (n < 0) return std::string();
  return std::string(buffer);
}

}  // namespace

#define NV4_FORMAT_ARGS(text, format)  \
  std::va_list args;                   \
  va_start(args, format);              \
  std::string text = VFormatMessage(format, args); \
  va_end(args)

std::string FormatMessageText(const char* format, ...) {
  NV4_FORMAT_ARGS(text, format);
  return text;
}

void FatalError(const char* format, ...) {
  NV4_FORMAT_ARGS(text, format);
  platform::Current().ShowMessage(nullptr, text, "HalvexV2 Fatal Error",
                                  platform::MessageKind::kStop);
  platform::Current().ExitProcess(-9);
  std::exit(-9);  // in case a platform's ExitProcess came back
}

void ReportError(const char* format, ...) {
  NV4_FORMAT_ARGS(text, format);
  platform::Current().ShowMessage(MainDialog, text, "NortavelV4", platform::MessageKind::kPlain);
}

void SetDlgItemTextF(platform::WindowHandle window, int itemId, const char* format, ...) {
  NV4_FORMAT_ARGS(text, format);
  if (window) platform::Current().SetItemText(window, itemId, text);
}

void SetMainCaptionF(const char* format, ...) {
  NV4_FORMAT_ARGS(text, format);
  if (MainDialog) platform::Current().SetWindowText(MainDialog, text);
}
