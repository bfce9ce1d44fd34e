#pragma once
// A platform for tests: every call is recorded with its arguments, and questions and choosers
// take their answers from a queue the test fills. A question with no answer queued is a test
// failure (through the missing-answer handler), answered with Cancel; nothing ever blocks.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace platform {

class ScriptedPlatform : public Platform {
 public:
  enum class CallKind {
    kMessage,
    kQuestion,
    kChooseFile,
    kChooseFolder,
    kSetWindowText,
    kSetItemText,
    kEncodeImage,
  };
  struct Call {
    CallKind kind = CallKind::kMessage;
    WindowHandle owner = nullptr;  // the owner, or the window whose text was set
    std::string caption;
    std::string text;  // message text, window or item text, image path
    MessageKind messageKind = MessageKind::kPlain;
    FileRequest file;
    FolderRequest folder;
    int itemId = 0;
  };

  ScriptedPlatform();

  // Answers, consumed in order by AskOkCancel, ChooseFile and ChooseFolder.
  void AnswerOk() { answers_.push_back(Answer{true, std::nullopt}); }
  void AnswerCancel() { answers_.push_back(Answer{false, std::nullopt}); }
  void AnswerPath(std::string path) { answers_.push_back(Answer{true, std::move(path)}); }
  size_t PendingAnswers() const { return answers_.size(); }

  const std::vector<Call>& Calls() const { return calls_; }
  std::vector<Call> CallsOf(CallKind kind) const;
  void ClearCalls() { calls_.clear(); }

  // Called with a description of the call that found no answer; the test support library makes
  // it a test failure. The default prints and aborts.
  void SetMissingAnswerHandler(std::function<void(const std::string&)> handler) {
    missingAnswer_ = std::move(handler);
  }
  // Images are encoded by this function when set; otherwise EncodeImageFile fails.
  void SetImageEncoder(
      std::function<std::string(const std::string&, const std::uint8_t*, int, int)> encoder) {
    encoder_ = std::move(encoder);
  }

  std::string documentsFolder = "/tmp";
  int waitDepth = 0;       // open wait cursors
  int waitCursorsShown = 0;  // BeginWaitCursor calls so far
  // Texts set so far; only windows that are not null exist.
  std::map<WindowHandle, std::string> windowTexts;
  std::map<std::pair<WindowHandle, int>, std::string> itemTexts;

  void ShowMessage(WindowHandle owner, const std::string& text, const std::string& caption,
                   MessageKind kind) override;
  bool AskOkCancel(WindowHandle owner, const std::string& text,
                   const std::string& caption) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  std::optional<std::string> ChooseFolder(const FolderRequest& request) override;
  std::string DocumentsFolder() override { return documentsFolder; }
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool SetWindowText(WindowHandle window, const std::string& text) override;
  bool SetItemText(WindowHandle window, int itemId, const std::string& text) override;
  std::string EncodeImageFile(const std::string& path, const std::uint8_t* pixels, int width,
                              int height) override;
  [[noreturn]] void ExitProcess(int code) override;

 private:
  struct Answer {
    bool ok;
    std::optional<std::string> path;
  };
  static Call NewCall(CallKind kind);
  std::optional<Answer> NextAnswer(const std::string& what);

  std::vector<Call> calls_;
  std::deque<Answer> answers_;
  std::function<void(const std::string&)> missingAnswer_;
  std::function<std::string(const std::string&, const std::uint8_t*, int, int)> encoder_;
};

// Installs a fresh scripted platform for the life of the object (tests' fixtures).
class ScopedScriptedPlatform {
 public:
  ScopedScriptedPlatform();
  ~ScopedScriptedPlatform();
  ScopedScriptedPlatform(const ScopedScriptedPlatform&) = delete;
  ScopedScriptedPlatform& operator=(const ScopedScriptedPlatform&) = delete;
  ScriptedPlatform& operator*() { return platform_; }
  ScriptedPlatform* operator->() { return &platform_; }

  // The handler every new scripted platform starts with (set once by the test main).
  static void SetDefaultMissingAnswerHandler(std::function<void(const std::string&)> handler);

 private:
  ScriptedPlatform platform_;
  Platform* previous_;
};

}  // namespace platform
