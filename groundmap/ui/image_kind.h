#pragma once
// Which writer a map picture's file name asks for.

enum class SavedImageKind {
  kBmp,   // "bmp", any case: the 24-bit BMP writer
  kJpeg,  // "jpg" or "jpeg", any case: the encoder of the platform
  kNone,  // anything else, or no extension: nothing is written
};

// By the extension of fileName: the text after the last dot of its last part (so a dot in a
// folder's name counts for nothing).
SavedImageKind SavedImageKindOf(const char* fileName);
