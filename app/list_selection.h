#pragma once
// What the pair list's and the result list's selection handlers share: the "*" marks of the
// rows a list shows, and the Ctrl key that makes a click add or remove one mark.

#include <cstdint>

class CUList;

// Clears the mark column of every row the list shows, redrawing the lines that changed. Rows
// the list does not show keep their marks.
void ClearListedMarks(CUList& list, std::int32_t markColumn);

// Sets the mark column of every row the list shows to value and redraws every line.
void SetListedMarks(CUList& list, std::int32_t markColumn, std::uint32_t value);

// The Ctrl key was down at the last key or mouse event, the one that made the list post its
// select message.
bool CtrlKeyDown();
