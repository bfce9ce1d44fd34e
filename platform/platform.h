#pragma once
// The services the program needs from its windowing platform: message boxes, choosers, the
// documents folder, the wait cursor, window texts, image encoding and ending the process.
// Everything outside platform/ reaches them only through Current(), so tests can script them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// An opaque window: a QWidget* in the Qt implementation, any tag in a test. Null means no owner.
using WindowHandle = void*;

enum class MessageKind {
  kPlain,  // OK button, no icon
  kStop,   // OK button, stop icon
};

struct FileFilter {
  std::string text;     // "CSV(*.csv)"
  std::string pattern;  // "*.csv", several separated by ';'
};

struct FileRequest {
  WindowHandle owner = nullptr;
  std::string title;
  std::vector<FileFilter> filters;
  std::string defaultExtension;  // without the dot, may be empty
  std::string proposed;          // proposed name or path
  bool save = false;             // false: open an existing file
};

struct FolderRequest {
  WindowHandle owner = nullptr;
  std::string title;
  std::string initial;  // folder to preselect, may be empty
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Shows a box with one OK button and returns when the user closed it.
  virtual void ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption,
                           MessageKind kind) = 0;
  // Asks with OK and Cancel; true for OK.
  virtual bool AskOkCancel(WindowHandle owner, const std::string& text,
                           const std::string& caption) = 0;
  // The chosen path, or nothing when the user cancelled. The chooser itself never asks about
  // overwriting: the program asks in its own words.
  virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
  virtual std::optional<std::string> ChooseFolder(const FolderRequest& request) = 0;
  // The user's documents folder, created when missing.
  virtual std::string DocumentsFolder() = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  // Window texts: a window's caption, and the text of a window's item by its id. False when the
  // window or the item does not exist.
  virtual bool SetWindowText(WindowHandle window, const std::string& text) = 0;
  virtual bool SetItemText(WindowHandle window, int itemId, const std::string& text) = 0;

  // Encodes a 24-bit image (B, G, R per pixel, rows bottom-up, no padding) in the format the
  // file name's extension selects and writes it. Empty on success, else the reason.
  virtual std::string EncodeImageFile(const std::string& path, const std::uint8_t* pixels,
                                      int width, int height) = 0;

  // Ends the process with the code; static objects are destroyed as by std::exit.
  [[noreturn]] virtual void ExitProcess(int code) = 0;
};

// The platform in use. Until one is installed, a fallback that writes boxes to standard error
// and answers every question with Cancel.
Platform& Current();
// Installs a platform (not owned); null restores the fallback. Returns the previous one.
Platform* Install(Platform* platform);

// The wait cursor for the life of the object.
class WaitCursor {
 public:
  WaitCursor() { Current().BeginWaitCursor(); }
  ~WaitCursor() { Current().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
