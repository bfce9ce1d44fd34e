#pragma once
// The platform of the running program, on Qt Widgets. Window handles are QWidget pointers; a
// window's items are its direct children whose "itemId" property holds the id (a child's own
// children are items of that child, not of the window).

#include "platform/platform.h"

class QImage;
class QWidget;

namespace platform {

inline constexpr const char* kItemIdProperty = "itemId";

// Gives a window's child the item id that SetItemText finds it by.
void SetItemId(QWidget* item, int itemId);
// The window's direct child with the item id, or null.
QWidget* FindItem(QWidget* window, int itemId);

class QtPlatform final : public Platform {
 public:
  void ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption,
                   MessageKind kind) override;
  bool AskOkCancel(WindowHandle owner, const std::string& text,
                   const std::string& caption) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  std::optional<std::string> ChooseFolder(const FolderRequest& request) override;
  std::string DocumentsFolder() override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool SetWindowText(WindowHandle window, const std::string& text) override;
  bool SetItemText(WindowHandle window, int itemId, const std::string& text) override;
  std::string EncodeImageFile(const std::string& path, const std::uint8_t* pixels, int width,
                              int height) override;
  [[noreturn]] void ExitProcess(int code) override;
};

// Turns a 24-bit bottom-up B, G, R buffer into a QImage (top row first).
QImage ImageFromBgrBottomUp(const std::uint8_t* pixels, int width, int height);

}  // namespace platform
