#include "groundmap/ui/image_kind.h"

#include <cctype>
#include <string>

SavedImageKind SavedImageKindOf(const char* fileName) {
  if (fileName == nullptr) return SavedImageKind::kNone;
  const std::string name(fileName);
  const std::size_t slash = name.find_last_of('/');
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return SavedImageKind::kNone;
  }
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "bmp") return SavedImageKind::kBmp;
  if (extension == "jpg" || extension == "jpeg") return SavedImageKind::kJpeg;
  return SavedImageKind::kNone;
}
