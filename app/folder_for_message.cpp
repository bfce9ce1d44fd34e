#include "app/folder_for_message.h"

namespace {

// Each end of a long folder: with a map name of up to 255 characters beside it, a message
// still holds both ends.
constexpr std::size_t kKeptEnds = 300;

}  // namespace

std::string FolderForMessage(std::string_view folder) {
  if (folder.size() <= 2 * kKeptEnds) return std::string(folder);
  std::string text(folder.substr(0, kKeptEnds));
  text += "...";
  text += folder.substr(folder.size() - kKeptEnds);
  return text;
}
