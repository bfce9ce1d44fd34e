#pragma once
// Numbers typed into a cell. As formatted input reads them, leading blanks are skipped and
// reading stops at the first character that does not fit ("17x" gives 17). Nothing comes back
// when no number begins the text or the number lies outside the cell type's range, so the cell
// keeps its value: "-1" is no unsigned number, "1e40" no single-precision one. Decimal points
// are read in the C locale.

#include <cstdint>
#include <optional>

std::optional<std::int32_t> ParseIntPrefix(const char* text);
std::optional<std::uint32_t> ParseUnsignedPrefix(const char* text);
// Finite numbers only: "inf" and "nan" are outside every cell's range.
std::optional<float> ParseFloatPrefix(const char* text);
std::optional<double> ParseDoublePrefix(const char* text);
