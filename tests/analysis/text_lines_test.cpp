#include "analysis/text_lines.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/locale_guard.h"

namespace {

struct Read {
  std::vector<std::string> lines;
  std::vector<bool> tooLong;
};

Read ReadAll(const std::string& bytes, int maxChars) {
  nv4test::TempDir dir;
  std::string path = dir.File("t.csv");
  nv4test::WriteFileBytes(path, bytes);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  Read read;
  TextLines lines(file, maxChars);
  TextLines::Line line;
  int expectedNumber = 0;
  while (lines.Next(&line)) {
    EXPECT_EQ(line.number, ++expectedNumber);
    EXPECT_EQ(line.length, static_cast<int>(std::string(line.text).size()));
    read.lines.emplace_back(line.text);
    read.tooLong.push_back(line.tooLong);
  }
  std::fclose(file);
  return read;
}

using Lines = std::vector<std::string>;

TEST(TextLines, EveryLineEndIsOneLineEnd) {
  struct Case {
    const char* what;
    std::string bytes;
    Lines lines;
  };
  const Case kCases[] = {
      {"LF", "a\nb\n", {"a", "b"}},
      {"CR LF, as written on Windows", "a\r\nb\r\n", {"a", "b"}},
      {"lone CR", "a\rb\r", {"a", "b"}},
      {"mixed", "a\r\n\nb\rc\n", {"a", "", "b", "c"}},
      {"no end on the last line", "a\nb", {"a", "b"}},
      {"empty file", "", {}},
      {"only a line end", "\r\n", {""}},
      {"CR CR is two ends", "a\r\rb", {"a", "", "b"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadAll(c.bytes, 100).lines, c.lines);
  }
}

TEST(TextLines, CrLfSplitAcrossReadBlocksIsOneLineEnd) {
  // The reader takes the file in blocks of 256 KiB; put the CR last in the first block.
  const size_t block = 256 * 1024;
  std::string bytes;
  while (bytes.size() + 10 < block) bytes += "123456789\n";
  bytes += std::string(block - 1 - bytes.size(), 'x') + "\r\nlast\r\n";
  Read read = ReadAll(bytes, 1000);
  ASSERT_GE(read.lines.size(), 2u);
  EXPECT_EQ(read.lines.back(), "last");
  EXPECT_NE(read.lines[read.lines.size() - 2], "");
  for (const std::string& line : read.lines) EXPECT_EQ(line.find('\r'), std::string::npos);
}

TEST(TextLines, OverLongLinesAreCutAndMarked) {
  Read read = ReadAll("abcdef\nabc\r\nabcd", 4);
  EXPECT_EQ(read.lines, (Lines{"abcd", "abc", "abcd"}));
  EXPECT_EQ(read.tooLong, (std::vector<bool>{true, false, false}));
}

}  // namespace
