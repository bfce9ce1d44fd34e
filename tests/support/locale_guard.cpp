#include "tests/support/locale_guard.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace nv4test {

ScopedLocale::ScopedLocale(const char* name) {
  const char* current = std::setlocale(LC_ALL, nullptr);
  previous_ = current ? current : "C";
  ok_ = std::setlocale(LC_ALL, name) != nullptr;
  if (!ok_) {
    ADD_FAILURE() << "locale " << name
                  << " cannot be set; scripts/test generates it (locale-gen)";
  }
}

ScopedLocale::~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "nv4test-XXXXXX").string();
  if (char* made = mkdtemp(pattern.data())) path_ = made;
  if (path_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace nv4test
