#include "analysis/text_lines.h"

#include <fcntl.h>
#include <unistd.h>

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
  const int fd = ::open(path.c_str(), O_RDONLY);
  Read read;
  TextLines::Room room;
  TextLines lines(fd, maxChars, &room);
  TextLines::Line line;
  int expectedNumber = 0;
  while (lines.Next(&line)) {
    EXPECT_EQ(line.number, ++expectedNumber);
    EXPECT_EQ(line.length, static_cast<int>(std::string(line.text).size()));
    read.lines.emplace_back(line.text);
    read.tooLong.push_back(line.tooLong);
  }
  ::close(fd);
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

// The parts of a file cut at any two offsets hand out the file's lines once each, in order, as
// the reading of the whole file gives them: whatever line end or over-long line a cut falls in.
TEST(TextLines, PartsCutAnywhereHandOutEveryLineOnce) {
  const std::string kTexts[] = {
      "ab\ncd\r\nef\rgh\r\r\n\nij", "\r\n\r\nx\r", "abcdefgh\nab\r\nabcdefghij\n", "", "\n\n"};
  constexpr int kMaxChars = 5;
  nv4test::TempDir dir;
  for (const std::string& text : kTexts) {
    SCOPED_TRACE(testing::PrintToString(text));
    const std::string path = dir.File("t.csv");
    nv4test::WriteFileBytes(path, text);
    const Read whole = ReadAll(text, kMaxChars);
    const long long size = static_cast<long long>(text.size());
    for (long long first = 0; first <= size + 1; ++first) {
      for (long long second = first; second <= size + 1; ++second) {
        SCOPED_TRACE(testing::Message() << "cut at " << first << " and " << second);
        Read parts;
        const long long cuts[][2] = {{0, first}, {first, second}, {second, -1}};
        for (const auto& cut : cuts) {
          const int fd = open(path.c_str(), O_RDONLY);
          ASSERT_GE(fd, 0);
          TextLines::Room room;
          TextLines lines(fd, kMaxChars, &room, cut[0], cut[1]);
          TextLines::Line line;
          int expectedNumber = 0;
          while (lines.Next(&line)) {
            EXPECT_EQ(line.number, ++expectedNumber);
            parts.lines.emplace_back(line.text);
            parts.tooLong.push_back(line.tooLong);
          }
          EXPECT_FALSE(lines.readFailed());
          close(fd);
        }
        EXPECT_EQ(parts.lines, whole.lines);
        EXPECT_EQ(parts.tooLong, whole.tooLong);
      }
    }
  }
}

// A file cut into many parts is read about once between them, however its lines fall: a part
// lying wholly inside a line begun before it reads no further than its own end. Only the part
// that owns a long line reads past its end, once, to the line's end.
TEST(TextLines, PartsReadTheFileAboutOnceBetweenThem) {
  constexpr long long kSize = 1 << 20;
  constexpr long long kPartBytes = 64 * 1024;
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t lines;
  };
  const Case kCases[] = {
      {"zero bytes, no line end", std::string(kSize, '\0'), 1},
      {"one line of text, no line end", std::string(kSize, 'x'), 1},
      {"a line end only at the very end", std::string(kSize - 2, 'x') + "\r\n", 1},
      {"a long line between short ones",
       "a\nb\n" + std::string(kSize - 8, 'x') + "\nc\nd", 5},
      {"short lines", [] {
         std::string text;
         while (text.size() < kSize) text += "1,2,3\r\n";
         return text;
       }(), kSize / 7 + 1},
  };
  nv4test::TempDir dir;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.File("t.csv");
    nv4test::WriteFileBytes(path, c.bytes);
    const long long size = static_cast<long long>(c.bytes.size());
    long long bytesRead = 0;
    std::size_t lineCount = 0;
    long long parts = 0;
    for (long long from = 0; from < size; from += kPartBytes, ++parts) {
      const int fd = open(path.c_str(), O_RDONLY);
      ASSERT_GE(fd, 0);
      TextLines::Room room;
      TextLines lines(fd, 100, &room, from, from + kPartBytes < size ? from + kPartBytes : -1);
      TextLines::Line line;
      while (lines.Next(&line)) ++lineCount;
      EXPECT_FALSE(lines.readFailed());
      bytesRead += lines.bytesRead();
      close(fd);
    }
    EXPECT_EQ(lineCount, c.lines);
    // Each part's own bytes and the one before them, and a long line's bytes once more.
    EXPECT_LE(bytesRead, 2 * size + parts);
  }
}

// A part's last line runs on into the next part, read there a little at a time and then in whole
// blocks: a CR LF split between two of those reads is still one line end, for both parts.
TEST(TextLines, CrLfSplitBetweenReadsPastAPartsEndIsOneLineEnd) {
  constexpr long long kCut = 1000;
  // The CR last in the first, second, third and sixth read past the cut.
  const long long kCrAfterCut[] = {4095, 12287, 28671, 258047};
  nv4test::TempDir dir;
  for (const long long crAfterCut : kCrAfterCut) {
    SCOPED_TRACE(crAfterCut);
    const std::string text =
        "a\n" + std::string(static_cast<std::size_t>(kCut + crAfterCut - 2), 'x') + "\r\nb\rc";
    ASSERT_EQ(text[static_cast<std::size_t>(kCut + crAfterCut)], '\r');
    const std::string path = dir.File("t.csv");
    nv4test::WriteFileBytes(path, text);
    std::vector<std::string> lines;
    for (const long long cut : {kCut, -1LL}) {
      const int fd = open(path.c_str(), O_RDONLY);
      ASSERT_GE(fd, 0);
      TextLines::Room room;
      TextLines part(fd, 100, &room, cut < 0 ? kCut : 0, cut);
      TextLines::Line line;
      while (part.Next(&line)) lines.emplace_back(line.text);
      close(fd);
    }
    EXPECT_EQ(lines, ReadAll(text, 100).lines);
    EXPECT_EQ(lines.size(), 4u);
  }
}

}  // namespace
