#pragma once
// What the regression cases of the fuzz entries share: a fuzz platform that throws its
// findings, and runs of an entry over bytes that report a finding as a test failure.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_platform.h"
#include "tests/support/locale_guard.h"

namespace fuzz_test {

inline std::string SourcePath(const std::string& relative) {
  return std::string(NV4_SOURCE_DIR) + "/" + relative;
}

inline std::string Fixture(const std::string& relative) {
  return nv4test::ReadFileBytes(SourcePath("tests/fixtures/fuzz/" + relative));
}

inline const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

class FuzzEntryTest : public ::testing::Test {
 protected:
  // The entry's result; a finding fails the test with its words, and the result is then empty.
  template <typename Entry>
  auto Run(Entry entry, const std::string& bytes) -> decltype(entry(nullptr, 0)) {
    platform->ClearMessages();
    try {
      return entry(Bytes(bytes), bytes.size());
    } catch (const fuzz::RunFinding& finding) {
      ADD_FAILURE() << "finding: " << finding.what();
    }
    return {};
  }
  std::vector<std::string> Messages() const { return platform->MessageTexts(); }

  fuzz::ScopedFuzzPlatform platform_{fuzz::FindingMode::kThrow};
  fuzz::FuzzPlatform* platform = &*platform_;
};

}  // namespace fuzz_test
