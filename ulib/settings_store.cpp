#include "ulib/settings_store.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ulib/messages.h"

CAppUty theAppUty;

namespace {

SettingsSaveCalls saveCalls = {mkstemp, write};

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

// Writes all bytes to fd; false on any failure.
bool WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = saveCalls.write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Follows symbolic links from path to the file they finally name (which need not exist yet),
// so that a save rewrites the linked file and keeps the link. False for a chain that does not
// end (a loop) or a link that cannot be read.
bool FollowLinks(std::string& path) {
  constexpr int kMaxLinkHops = 40;  // as the kernel's own limit
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    std::vector<char> target(static_cast<std::size_t>(PATH_MAX) + 1);
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return false;
    std::string next(target.data(), static_cast<std::size_t>(n));
    if (next[0] != '/') {
      const std::size_t slash = path.rfind('/');
      if (slash != std::string::npos) next = path.substr(0, slash + 1) + next;
    }
    path = std::move(next);
  }
  return false;
}

// Truncates the file and writes the bytes into it. Used only where no new file can be made
// beside it: a failure part way leaves the file damaged, which is why it is the last resort.
bool RewriteInPlace(const std::string& path, const char* data, std::size_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data, size) && fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  return ok;
}

// Writes the bytes to a new file beside path and renames it over path, so that the old file
// is replaced whole or stays as it was. The new file gets the old one's permission bits, or
// those of a newly created file. False on any failure, with the new file removed.
bool ReplaceFile(const std::string& linkedPath, const char* data, std::size_t size) {
  std::string path = linkedPath;
  if (!FollowLinks(path)) return false;
  mode_t mode = 0;
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    // A settings file made read-only is the user's way of keeping it; the rename below would
    // replace it all the same.
    if (access(path.c_str(), W_OK) != 0) return false;
    mode = info.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = saveCalls.makeTemporary(temporary.data());
  if (fd < 0) {
    // A folder that refuses new files (read-only, or owned by someone else) may still hold a
    // settings file the user can write. Any other failure, a full disk or quota above all,
    // would fail the same way part way through a rewrite and leave the file damaged.
    const int makeError = errno;
    if (makeError == EACCES || makeError == EPERM || makeError == EROFS) {
      return RewriteInPlace(path, data, size);
    }
    return false;
  }
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, data, size) && fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  // A sticky folder lets the user write a file of someone else's but not rename over it.
  const int renameError = errno;
  unlink(temporary.c_str());
  if (renameError == EACCES || renameError == EPERM) return RewriteInPlace(path, data, size);
  return false;
}

}  // namespace

SettingsSaveCalls SetSettingsSaveCalls(SettingsSaveCalls calls) {
  return std::exchange(saveCalls, calls);
}

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

const char* CAppUty::FindRecord(const char* key, std::uint32_t* length) const {
  if (!dataEnd) FatalError("UE0104: rp invalid");
  const std::size_t loaded = static_cast<std::size_t>(dataEnd - buffer);
  std::size_t at = 0;
  // A record that does not lie wholly inside the loaded data is where a damaged or truncated
  // file stops making sense: it and everything after it count as absent.
  while (loaded - at >= static_cast<std::size_t>(kSettingsHeaderBytes)) {
    const char* record = buffer + at;
    *length = ReadLittleEndian32(record + kSettingsKeyBytes);
    if (*length > loaded - at - kSettingsHeaderBytes) return nullptr;
    if (std::strncmp(key, record, kSettingsKeyChars) == 0) return record + kSettingsHeaderBytes;
    at += kSettingsHeaderBytes + *length;
  }
  return nullptr;
}

int CAppUty::ReadRecord(const char* key, void* dest, std::int32_t size) {
  const int length = ReadRecordIfFits(key, dest, size);
  if (length == kRecordTooLong) FatalError("UE0105: invalid length");
  return length;
}

int CAppUty::ReadRecordIfFits(const char* key, void* dest, std::int32_t size) {
  std::uint32_t length = 0;
  const char* data = FindRecord(key, &length);
  if (!data) return 0;
  if (size < 0 || length > static_cast<std::uint32_t>(size)) return kRecordTooLong;
  if (length > 0) std::memcpy(dest, data, length);
  return static_cast<int>(length);
}

int CAppUty::ReadInt(const char* key, std::int32_t* dest) {
  const int length = ReadIntIfFits(key, dest);
  if (length == kRecordTooLong) FatalError("UE0105: invalid length");
  return length;
}

int CAppUty::ReadIntIfFits(const char* key, std::int32_t* dest) {
  char bytes[4];
  const int length = ReadRecordIfFits(key, bytes, sizeof bytes);
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
