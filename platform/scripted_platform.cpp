#include "platform/scripted_platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

std::function<void(const std::string&)>& DefaultMissingAnswerHandler() {
  static std::function<void(const std::string&)> handler = [](const std::string& what) {
    std::fprintf(stderr, "scripted platform: no answer for %s\n", what.c_str());
    std::abort();
  };
  return handler;
}

}  // namespace

ScriptedPlatform::Call ScriptedPlatform::NewCall(CallKind kind) {
  Call call;
  call.kind = kind;
  return call;
}

ScriptedPlatform::ScriptedPlatform() : missingAnswer_(DefaultMissingAnswerHandler()) {}

std::vector<ScriptedPlatform::Call> ScriptedPlatform::CallsOf(CallKind kind) const {
  std::vector<Call> found;
  for (const Call& call : calls_) {
    if (call.kind == kind) found.push_back(call);
  }
  return found;
}

std::optional<ScriptedPlatform::Answer> ScriptedPlatform::NextAnswer(const std::string& what) {
  if (answers_.empty()) {
    missingAnswer_(what);
    return std::nullopt;
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedPlatform::ShowMessage(WindowHandle owner, const std::string& text,
                                   const std::string& caption, MessageKind kind) {
  // Written out as well, so that death tests can match the box of a fatal error.
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  Call call = NewCall(CallKind::kMessage);
  call.owner = owner;
  call.caption = caption;
  call.text = text;
  call.messageKind = kind;
  calls_.push_back(call);
}

bool ScriptedPlatform::AskOkCancel(WindowHandle owner, const std::string& text,
                                   const std::string& caption) {
  Call call = NewCall(CallKind::kQuestion);
  call.owner = owner;
  call.caption = caption;
  call.text = text;
  calls_.push_back(call);
  std::optional<Answer> answer = NextAnswer("the question \"" + text + "\"");
  return answer && answer->ok;
}

std::optional<std::string> ScriptedPlatform::ChooseFile(const FileRequest& request) {
  Call call = NewCall(CallKind::kChooseFile);
  call.owner = request.owner;
  call.caption = request.title;
  call.text = request.proposed;
  call.file = request;
  calls_.push_back(call);
  std::optional<Answer> answer = NextAnswer("the file chooser \"" + request.title + "\"");
  if (!answer || !answer->ok) return std::nullopt;
  return answer->path;
}

std::optional<std::string> ScriptedPlatform::ChooseFolder(const FolderRequest& request) {
  Call call = NewCall(CallKind::kChooseFolder);
  call.owner = request.owner;
  call.caption = request.title;
  call.text = request.initial;
  call.folder = request;
  calls_.push_back(call);
  std::optional<Answer> answer = NextAnswer("the folder chooser \"" + request.title + "\"");
  if (!answer || !answer->ok) return std::nullopt;
  return answer->path;
}

void ScriptedPlatform::BeginWaitCursor() {
  ++waitDepth;
  ++waitCursorsShown;
}

void ScriptedPlatform::EndWaitCursor() { --waitDepth; }

bool ScriptedPlatform::SetWindowText(WindowHandle window, const std::string& text) {
  Call call = NewCall(CallKind::kSetWindowText);
  call.owner = window;
  call.text = text;
  calls_.push_back(call);
  if (!window) return false;
  windowTexts[window] = text;
  return true;
}

bool ScriptedPlatform::SetItemText(WindowHandle window, int itemId, const std::string& text) {
  Call call = NewCall(CallKind::kSetItemText);
  call.owner = window;
  call.itemId = itemId;
  call.text = text;
  calls_.push_back(call);
  if (!window) return false;
  itemTexts[{window, itemId}] = text;
  return true;
}

std::string ScriptedPlatform::EncodeImageFile(const std::string& path, const std::uint8_t* pixels,
                                              int width, int height) {
  Call call = NewCall(CallKind::kEncodeImage);
  call.text = path;
  calls_.push_back(call);
  if (!encoder_) return "no image encoder";
  return encoder_(path, pixels, width, height);
}

void ScriptedPlatform::ExitProcess(int code) { std::exit(code); }

ScopedScriptedPlatform::ScopedScriptedPlatform() : previous_(Install(&platform_)) {}

ScopedScriptedPlatform::~ScopedScriptedPlatform() { Install(previous_); }

void ScopedScriptedPlatform::SetDefaultMissingAnswerHandler(
    std::function<void(const std::string&)> handler) {
  DefaultMissingAnswerHandler() = std::move(handler);
}

}  // namespace platform
