#include "ulib/settings_store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ulib/messages.h"

CAppUty theAppUty;

namespace {

inline constexpr std::size_t kMaxPathChars = 1023;

// The file's path, empty when it would not fit in kMaxPathChars characters. A name that is a
// path of its own ("/..." here, "C:..." where drive letters exist) is taken as it is.
std::string SettingsPath(const char* dir, const char* name) {
  std::string path;
  if (name[0] == '/' || (name[0] != '\0' && name[1] == ':')) {
    path = name;
  } else {
    path = std::string(dir) + "/" + name;
  }
  if (path.size() > kMaxPathChars) path.clear();
  return path;
}

std::uint32_t ReadLittleEndian32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void WriteLittleEndian32(char* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Writes the bytes to a new file beside path and renames it over path, so that the old file
// is replaced whole or stays as it was. False on any failure, with the new file removed.
bool ReplaceFile(const std::string& path, const char* data, std::size_t size) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  // mkstemp creates the file for its owner alone; give it the mode a new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0;
  std::size_t done = 0;
  while (ok && done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) {
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

}  // namespace

int CAppUty::Load(const char* dir, const char* name) {
  const std::string path = SettingsPath(dir, name);
  if (path.empty()) return 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return 0;
  const std::size_t count = std::fread(buffer, 1, sizeof buffer, file);
  std::fclose(file);
  dataEnd = buffer + count;
  return static_cast<int>(count);
}

int CAppUty::ReadRecord(const char* key, void* dest, std::int32_t size) {
  if (!dataEnd) FatalError("UE0104: rp invalid");
  const std::size_t loaded = static_cast<std::size_t>(dataEnd - buffer);
  std::size_t at = 0;
  // A record that does not lie wholly inside the loaded data is where a damaged or truncated
  // file stops making sense: it and everything after it count as absent.
  while (loaded - at >= static_cast<std::size_t>(kSettingsHeaderBytes)) {
    const char* record = buffer + at;
    const std::uint32_t length = ReadLittleEndian32(record + kSettingsKeyBytes);
    if (length > loaded - at - kSettingsHeaderBytes) return 0;
    if (std::strncmp(key, record, kSettingsKeyChars) == 0) {
      if (size < 0 || length > static_cast<std::uint32_t>(size)) {
        FatalError("UE0105: invalid length");
      }
      if (length > 0) std::memcpy(dest, record + kSettingsHeaderBytes, length);
      return static_cast<int>(length);
    }
    at += kSettingsHeaderBytes + length;
  }
  return 0;
}

int CAppUty::ReadInt(const char* key, std::int32_t* dest) {
  char bytes[4];
  const int length = ReadRecord(key, bytes, sizeof bytes);
  if (length > 0) {
    // A value shorter than 4 bytes (only a damaged file has one) replaces the low bytes.
    char value[4];
    WriteLittleEndian32(value, static_cast<std::uint32_t>(*dest));
    std::memcpy(value, bytes, static_cast<std::size_t>(length));
    *dest = static_cast<std::int32_t>(ReadLittleEndian32(value));
  }
  return length;
}

void CAppUty::BeginWrite() { writePointer = buffer; }

void CAppUty::WriteRecord(const char* key, const void* data, std::int32_t length) {
  // In 64 bits: a length near the int32 limit must not wrap while it is rounded up.
  const std::int64_t padded = length < 0 ? -1 : (std::int64_t{length} + 3) / 4 * 4;
  const long offset = writePointer ? static_cast<long>(writePointer - buffer) : -1;
  if (offset < 0 || offset >= kSettingsWriteLimit || padded < 0 ||
      offset + kSettingsHeaderBytes + padded > kSettingsBufferBytes) {
    FatalError("UE0103: bp exceeds limit (%.15s at %ld)", key, offset);
  }
  std::memset(writePointer, 0, static_cast<std::size_t>(kSettingsHeaderBytes + padded));
  std::strncpy(writePointer, key, kSettingsKeyChars);
  WriteLittleEndian32(writePointer + kSettingsKeyBytes, static_cast<std::uint32_t>(padded));
  // Only the value itself is taken from the caller; the padding is zeros, never whatever
  // happens to follow the value in the caller's memory.
  if (length > 0) std::memcpy(writePointer + kSettingsHeaderBytes, data, static_cast<std::size_t>(length));
  writePointer += kSettingsHeaderBytes + padded;
}

void CAppUty::WriteString(const char* key, const char* text) {
  WriteRecord(key, text, static_cast<std::int32_t>(std::strlen(text) + 1));
}

void CAppUty::WriteInt(const char* key, std::int32_t value) {
  char bytes[4];
  WriteLittleEndian32(bytes, static_cast<std::uint32_t>(value));
  WriteRecord(key, bytes, sizeof bytes);
}

int CAppUty::Save(const char* dir, const char* name) {
  if (!writePointer || writePointer - buffer >= kSettingsBufferBytes) {
    FatalError("CAppUty:invalid bp");
  }
  const std::string path = SettingsPath(dir, name);
  if (path.empty() ||
      !ReplaceFile(path, buffer, static_cast<std::size_t>(writePointer - buffer))) {
    ReportError("UE070: Cannot write %s", name);
    return 0;
  }
  writePointer = nullptr;
  return 1;
}
