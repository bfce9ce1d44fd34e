#pragma once
// Check and mark cells change by a double-click instead of an editor, and mark columns can be
// reset from the header menu.

#include <cstdint>

// A set check becomes clear (0) and a clear one set (1).
inline std::uint32_t ToggledCheck(std::uint32_t value) { return value != 0 ? 0 : 1; }

// The mark after a double-click: an unmarked line goes to "+" (4) and back, one marked "*" (1)
// to "-" (2) and back; 3 and 5 go to "*"; 6 and above stay.
inline std::uint32_t NextMarkState(std::uint32_t value) {
  switch (value) {
    case 0: return 4;
    case 1: return 2;
    case 2: return 1;
    case 3: return 1;
    case 4: return 0;
    case 5: return 1;
    default: return value;
  }
}

// "reset": marks above 1 keep only their "*" bit.
inline std::uint32_t ResetMark(std::uint32_t value) { return value > 1 ? (value & 1) : value; }
