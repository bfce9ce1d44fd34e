#include "fuzz/fuzz_platform.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {
namespace {

FuzzPlatform* installed = nullptr;

}  // namespace

std::vector<std::string> FuzzPlatform::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& message : messages_) texts.push_back(message.text);
  return texts;
}

void FuzzPlatform::ShowMessage(platform::WindowHandle, const std::string& text,
                               const std::string& caption, platform::MessageKind kind) {
  lastText_ = text;
  ++messageCount_;
  // A file that makes a message per line must not make the run hold thousands.
  if (messages_.size() < kMaxMessages) messages_.push_back(Message{caption, text, kind});
}

void FuzzPlatform::ExitProcess(int code) {
  Finding("fatal exit " + std::to_string(code) + ": " + lastText_);
}

ScopedFuzzPlatform::ScopedFuzzPlatform(FindingMode mode)
    : platform_(mode), previous_(platform::Install(&platform_)) {
  installed = &platform_;
}

ScopedFuzzPlatform::~ScopedFuzzPlatform() {
  platform::Install(previous_);
  installed = nullptr;
}

FuzzPlatform* CurrentFuzzPlatform() { return installed; }

void Finding(const std::string& what) {
  if (installed != nullptr && installed->mode() == FindingMode::kThrow) throw RunFinding(what);
  // libFuzzer keeps the input of a run that aborts, with the stack of this call.
  std::fprintf(stderr, "==nv4 finding== %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace fuzz
