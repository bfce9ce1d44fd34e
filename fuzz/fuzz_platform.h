#pragma once
// The platform the fuzz targets and their regression cases run under: a scripted platform whose
// message boxes are recorded without a word on standard error (a fuzzer shows thousands of them
// a second), and on which a fatal error, or a broken promise that a run checks, ends the run as
// a finding: an abort that libFuzzer records with its input, or an exception that a test reports.

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/scripted_platform.h"

namespace fuzz {

enum class FindingMode {
  kAbort,  // libFuzzer: say what was found on standard error, then abort
  kThrow,  // tests: throw RunFinding
};

// A fatal error ("fatal exit: <the box's text>") or a broken promise ("<what>").
class RunFinding : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FuzzPlatform : public platform::ScriptedPlatform {
 public:
  explicit FuzzPlatform(FindingMode mode) : mode_(mode) {}

  struct Message {
    std::string caption;
    std::string text;
    platform::MessageKind kind = platform::MessageKind::kPlain;
  };
  // The boxes shown since the last ClearMessages, oldest first; the first kMaxMessages only.
  static constexpr std::size_t kMaxMessages = 64;
  const std::vector<Message>& Messages() const { return messages_; }
  std::vector<std::string> MessageTexts() const;
  void ClearMessages() { messages_.clear(); }
  // Every box shown so far, recorded or not.
  std::size_t MessageCount() const { return messageCount_; }

  FindingMode mode() const { return mode_; }

  void ShowMessage(platform::WindowHandle owner, const std::string& text,
                   const std::string& caption, platform::MessageKind kind) override;
  // A fatal error reached from a file: a finding.
  [[noreturn]] void ExitProcess(int code) override;

 private:
  FindingMode mode_;
  std::vector<Message> messages_;
  std::string lastText_;  // of the last box, recorded or not: a fatal error's own
  std::size_t messageCount_ = 0;
};

// The fuzz platform installed (for the life of the object, over whatever was installed before).
class ScopedFuzzPlatform {
 public:
  explicit ScopedFuzzPlatform(FindingMode mode);
  ~ScopedFuzzPlatform();
  ScopedFuzzPlatform(const ScopedFuzzPlatform&) = delete;
  ScopedFuzzPlatform& operator=(const ScopedFuzzPlatform&) = delete;
  FuzzPlatform& operator*() { return platform_; }
  FuzzPlatform* operator->() { return &platform_; }

 private:
  FuzzPlatform platform_;
  platform::Platform* previous_;
};

// The fuzz platform in use; null while none is installed.
FuzzPlatform* CurrentFuzzPlatform();

// Ends the run as a finding: what (one line) names the promise that a run broke. Without a fuzz
// platform installed it aborts.
[[noreturn]] void Finding(const std::string& what);

}  // namespace fuzz
