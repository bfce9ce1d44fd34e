#include "ulib/image_writers.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "ulib/messages.h"

namespace {

constexpr int kBmpHeaderBytes = 54;

void PutU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool SizeIsValid(int width, int height) {
  // The file size field is 32 bits.
  return width > 0 && height > 0 &&
         static_cast<std::uint64_t>(width) * 3 * static_cast<std::uint64_t>(height) <
             0xFFFF0000u;
}

}  // namespace

int WriteBmp24(const char* fileName, const std::uint8_t* pixels, int width, int height) {
  if (!SizeIsValid(width, height)) {
    ReportError("Cannot save image %s: size %d x %d", fileName, width, height);
    return 0;
  }
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  const size_t stride = (rowBytes + 3) & ~static_cast<size_t>(3);
  const size_t imageBytes = stride * static_cast<size_t>(height);

  std::uint8_t header[kBmpHeaderBytes] = {};
  header[0] = 'B';
  header[1] = 'M';
  PutU32(header + 2, static_cast<std::uint32_t>(imageBytes + kBmpHeaderBytes));
  PutU32(header + 10, kBmpHeaderBytes);
  PutU32(header + 14, 40);
  PutU32(header + 18, static_cast<std::uint32_t>(width));
  PutU32(header + 22, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
  PutU16(header + 26, 1);
  PutU16(header + 28, 24);

  std::FILE* file = std::fopen(fileName, "wb");
  if (!file) {
    ReportError("Cannot write %s", fileName);
    return 0;
  }
  bool complete = std::fwrite(header, 1, sizeof header, file) == sizeof header;
  std::vector<std::uint8_t> row(stride, 0);
  for (int y = 0; complete && y < height; ++y) {
    std::memcpy(row.data(), pixels + rowBytes * static_cast<size_t>(y), rowBytes);
    complete = std::fwrite(row.data(), 1, stride, file) == stride;
  }
  complete = (std::fclose(file) == 0) && complete;
  if (!complete) {
    ReportError(" cannot save image Please set correct X Y");
    return 0;
  }
  return 1;
}

void SaveImageAs(const char* fileName, const std::uint8_t* pixels, int width, int height) {
  if (!SizeIsValid(width, height)) {
    ReportError("Cannot save image %s: size %d x %d", fileName, width, height);
    return;
  }
  std::string failure = platform::Current().EncodeImageFile(fileName, pixels, width, height);
  if (!failure.empty()) ReportError("Cannot save image %s: %s", fileName, failure.c_str());
}
