#include "platform/qt/program_font.h"

#include <QApplication>
#include <QFont>

namespace platform {

void UseProgramFont() {
  QFont font(QString::fromLatin1(kProgramFontFamily), kProgramFontPoints);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
}

}  // namespace platform
