#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

// Used before any platform is installed (tools, early start-up): nothing is asked of a person.
class FallbackPlatform final : public Platform {
 public:
  void ShowMessage(WindowHandle, const std::string& text, const std::string& caption,
                   MessageKind) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  bool AskOkCancel(WindowHandle, const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s [Cancel]\n", caption.c_str(), text.c_str());
    return false;
  }
  std::optional<std::string> ChooseFile(const FileRequest&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(const FolderRequest&) override { return std::nullopt; }
  std::string DocumentsFolder() override {
    const char* home = std::getenv("HOME");
    return home ? home : ".";
  }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  bool SetWindowText(WindowHandle, const std::string&) override { return false; }
  bool SetItemText(WindowHandle, int, const std::string&) override { return false; }
  std::string EncodeImageFile(const std::string&, const std::uint8_t*, int, int) override {
    return "no image encoder";
  }
  [[noreturn]] void ExitProcess(int code) override { std::exit(code); }
};

FallbackPlatform& Fallback() {
  static FallbackPlatform fallback;
  return fallback;
}

Platform* installed = nullptr;

}  // namespace

Platform& Current() { return installed ? *installed : Fallback(); }

Platform* Install(Platform* platform) {
  Platform* previous = installed;
  installed = platform;
  return previous;
}

}  // namespace platform
