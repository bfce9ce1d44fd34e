#pragma once
// The text labels of a render, which the page paints over the image.

#include <cstdint>

namespace groundmap {

inline constexpr int kMaxMapLabels = 1000;
inline constexpr int kMaxLabelChars = 255;

inline constexpr std::uint32_t kLabelWhite = 0xFFFFFF;  // colour as 0x00BBGGRR
inline constexpr std::uint32_t kLabelYellow = 0x00FFFF;

struct MapLabel {
  std::int32_t x = 0;  // picture column of the text's top-left corner
  std::int32_t y = 0;  // picture row of the text's top-left corner, from the top
  std::uint32_t color = kLabelWhite;
  char text[kMaxLabelChars + 1] = {};
};

}  // namespace groundmap
