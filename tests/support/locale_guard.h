#pragma once
// Runs a test under a named locale of the C library (LC_ALL), restoring the previous one after.
// The locale must exist: a machine without it fails the test rather than skipping it.

#include <string>

namespace nv4test {

inline constexpr const char* kGermanLocale = "de_DE.UTF-8";

class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name);
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string previous_;
  bool ok_ = false;
};

// A fresh, empty folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace nv4test
