#pragma once
// Settings files as bytes, made by hand and taken apart, so that tests can give start-up any
// file and look at exactly what the program wrote. A record is a 16-byte key (at most 15
// characters and a zero), a little-endian 32-bit length and that many bytes of data.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

inline std::string LittleEndian32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
  }
  return bytes;
}

// One record exactly as given: the length is data's size, not rounded, so that hand-made
// records of any length can be written.
inline std::string Record(const std::string& key, const std::string& data) {
  std::string head = key.substr(0, 15);
  head.resize(16, '\0');
  return head + LittleEndian32(static_cast<std::uint32_t>(data.size())) + data;
}

inline std::string IntRecord(const std::string& key, std::int32_t value) {
  return Record(key, LittleEndian32(static_cast<std::uint32_t>(value)));
}

inline std::string FloatRecord(const std::string& key, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return Record(key, LittleEndian32(bits));
}

// A text with its zero, padded to a multiple of 4 as the program writes it.
inline std::string TextRecord(const std::string& key, const std::string& text) {
  std::string data = text + '\0';
  data.resize((data.size() + 3) / 4 * 4, '\0');
  return Record(key, data);
}

using SettingsRecords = std::vector<std::pair<std::string, std::string>>;

// The records of a settings file, in file order: key (up to its first zero) and data. A file
// that does not end with a whole record fails the test.
inline SettingsRecords Records(const std::string& bytes) {
  SettingsRecords records;
  std::size_t at = 0;
  while (at + 20 <= bytes.size()) {
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) {
      length |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 16 + i]))
                << (8 * i);
    }
    if (at + 20 + length > bytes.size()) break;
    records.emplace_back(std::string(bytes.data() + at, strnlen(bytes.data() + at, 16)),
                         bytes.substr(at + 20, length));
    at += 20 + length;
  }
  EXPECT_EQ(at, bytes.size()) << "the file does not end with a whole record";
  return records;
}

}  // namespace apptest
