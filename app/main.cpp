// NortavelV4: the program takes no options; everything it keeps is in the settings file of the
// folder it is started in.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/cu_app.h"
#include "platform/c_locale.h"
#include "platform/platform.h"
#include "platform/qt/program_font.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/system_close_requests.h"
#include "ulib/messages.h"

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

int main(int argc, char** argv) {
  // Without a display Qt would abort with a message about platform plugins; a person needs to
  // know what to set instead. Never an offscreen window: nobody could close it.
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
    std::fputs("NortavelV4 needs a graphical display (set DISPLAY or WAYLAND_DISPLAY).\n", stderr);
    return 1;
  }
  QApplication app(argc, argv);
  platform::UseCNumericLocale();
  platform::UseProgramFont();
  platform::QtPlatform qtPlatform;
  platform::Install(&qtPlatform);
  // The system's requests to close (signals, the session's end) close the main dialog as its
  // close command does, so that they too end with the settings written.
  platform::SystemCloseRequests closeRequests(
      [] { return static_cast<QWidget*>(MainDialog); });
  CUApp().InitInstance();
  platform::Install(nullptr);
  return 0;
}
