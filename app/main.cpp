// Placeholder until the application's start-up is built.
#include <QApplication>

#include "platform/c_locale.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::UseCNumericLocale();
  return 0;
}
