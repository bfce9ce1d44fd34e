#pragma once
// The font of every window. The list layouts keep their column widths in pixels, and those
// widths were chosen for a small dialog font (8 points, digits about 6 pixels wide): with a
// desktop's larger default, numbers would be cut off in every list. Liberation Sans has the
// metrics the widths were made for; where it is missing the nearest sans-serif font stands in.

namespace platform {

inline constexpr const char* kProgramFontFamily = "Liberation Sans";
inline constexpr int kProgramFontPoints = 8;

// Makes the program's font the application's default. Call once the QApplication exists and
// before any window is made.
void UseProgramFont();

}  // namespace platform
