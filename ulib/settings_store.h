#pragma once
// CAppUty, the store behind the settings file: a 50,000-byte buffer of key/value records, filled
// from the file once at start-up, read key by key, then rewritten record by record and written
// back at shut-down. It knows nothing of the keys themselves.
//
// File format: the plain concatenation of records, no header, no end marker, little-endian:
//   key     16 bytes: at most 15 characters, then NUL bytes up to 16
//   length  uint32: the value's length rounded up to a multiple of 4
//   data    length bytes: the value, zero-padded
// Keys of 15 or more characters are stored and matched by their first 15.

#include <cstddef>
#include <cstdint>

#include <sys/types.h>

inline constexpr int kSettingsBufferBytes = 50'000;
inline constexpr int kSettingsKeyBytes = 16;
inline constexpr int kSettingsKeyChars = 15;
inline constexpr int kSettingsHeaderBytes = 20;       // key and length
// A record may start below this offset; from here on writing is refused, which keeps room for
// one more record of up to 1,024 data bytes.
inline constexpr int kSettingsWriteLimit = 48'956;

// The head of one record as it lies in the buffer and the file; the data follow it.
struct SettingsRecord {
  char key[kSettingsKeyBytes];
  std::uint32_t length;  // little-endian in the buffer
};
static_assert(sizeof(SettingsRecord) == kSettingsHeaderBytes);

class CAppUty {
 public:
  CAppUty() = default;
  CAppUty(const CAppUty&) = delete;
  CAppUty& operator=(const CAppUty&) = delete;

  // Reads at most 50,000 bytes of the file into the buffer. Returns the count read, 0 when the
  // file cannot be opened (nothing changes then) or is empty. The path is name itself when its
  // second character is ":" or it begins with "/", else dir + "/" + name.
  int Load(const char* dir, const char* name);

  // Copies the value of the first record with this key (compared over 15 characters) into
  // dest and returns its stored length; 0 and dest untouched when the key is absent. Fatal
  // "UE0104: rp invalid" before anything was loaded, "UE0105: invalid length" when the value
  // is longer than size. A record that does not lie wholly inside the loaded data ends the
  // search: it and whatever follows it count as absent.
  int ReadRecord(const char* key, void* dest, std::int32_t size);
  // ReadRecord with size 4; returns 4 when found. A float is read through its bits.
  int ReadInt(const char* key, std::int32_t* dest);

  // The same reads for a file a person may have edited: a value longer than size leaves dest
  // untouched and returns kRecordTooLong instead of ending the program, so that the caller can
  // keep its default and say which key it ignored.
  static constexpr int kRecordTooLong = -1;
  int ReadRecordIfFits(const char* key, void* dest, std::int32_t size);
  int ReadIntIfFits(const char* key, std::int32_t* dest);

  // Starts writing at the beginning of the buffer; the loaded records are overwritten.
  void BeginWrite();
  // Appends one record: the length rounded up to a multiple of 4, data copied and padded with
  // zeros. Fatal "UE0103: bp exceeds limit (%s)" without BeginWrite, at a write offset of
  // 48,956 or more, or when the record would pass the end of the buffer.
  void WriteRecord(const char* key, const void* data, std::int32_t length);
  // A text with its terminating zero.
  void WriteString(const char* key, const char* text);
  // The 4 bytes of value (a float is written through its bits).
  void WriteInt(const char* key, std::int32_t value);

  // Writes the records written since BeginWrite. Fatal "CAppUty:invalid bp" when not writing.
  // The file is replaced whole through a new file beside it, so that a failed save leaves the
  // old one as it was. A symbolic link is followed and its target replaced (the link stays);
  // the file keeps its permission bits. Where the folder refuses the new file for its
  // permissions (a read-only folder holding a writable settings file) the file is rewritten in
  // place instead; for any other reason (no room, no inodes, quota) the old file stays. A file
  // its owner made read-only is not written. On failure the user is told
  // "UE070: Cannot write %s" with name, the writing state is kept and 0 is returned; 1 on
  // success, after which writing has ended.
  int Save(const char* dir, const char* name);

  // Bytes written since BeginWrite, -1 when not writing.
  int WriteOffset() const { return writePointer ? static_cast<int>(writePointer - buffer) : -1; }

 private:
  // The first record with this key inside the loaded data and its stored length; null when
  // absent. Fatal "UE0104: rp invalid" before anything was loaded.
  const char* FindRecord(const char* key, std::uint32_t* length) const;

  char buffer[kSettingsBufferBytes] = {};
  char* writePointer = nullptr;  // next byte to write; null when no writing is under way
  char* dataEnd = nullptr;       // one past the last byte loaded; null before a successful load
};

// The program's one settings store.
extern CAppUty theAppUty;

// The calls through which a save makes its new file and writes bytes, as mkstemp and write do
// (-1 with errno on failure). Tests stand in for them to give each failure a full disk or a
// locked folder gives, without making one.
struct SettingsSaveCalls {
  int (*makeTemporary)(char* pathTemplate);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
};
// Takes calls for the saves that follow; returns the ones used until now.
SettingsSaveCalls SetSettingsSaveCalls(SettingsSaveCalls calls);
