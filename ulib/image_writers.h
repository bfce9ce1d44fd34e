#pragma once
// Writers of the map image: 24 bits per pixel, B, G, R, rows from bottom to top with no padding
// between them (as the renderer keeps it).

#include <cstdint>

// Writes a 24-bit BMP. Rows are padded to whole 4-byte words as the format requires. 1 when
// written; 0 when the size is not positive or the file cannot be written (reported to the user).
int WriteBmp24(const char* fileName, const std::uint8_t* pixels, int width, int height);

// Writes the image in the format the file name's extension selects (JPEG for ".jpg"), encoded
// in memory; a failure is reported to the user.
void SaveImageAs(const char* fileName, const std::uint8_t* pixels, int width, int height);
