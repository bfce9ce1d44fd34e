#pragma once
// The ground-map file (".DAT"): a 79-character text header ending in a zero byte, then CY rows of
// CX pixels each, top row first, each row run-length coded on its own.
//
// Header text: "Korvanta" and eight comma-separated integers, each in 8 characters: CX, CY,
// centre longitude, centre latitude and half field of view (the last three in 1/10000 degree),
// then three integers that nothing reads.
//
// A run code is one or two bytes. The first byte's high nibble is the run's level (0 to 15);
// with bit 3 clear the run is (b & 7) + 1 pixels long (1 to 8), with bit 3 set a second byte n
// follows and the run is ((b & 7) << 8 | n) + 1 pixels long (1 to 2048). A run never crosses the
// end of its row, and the codes of one row fit in kMapRowWindowBytes bytes.

namespace groundmap {

inline constexpr char kMapHeaderMagic[] = "Korvanta";
inline constexpr char kMapHeaderFormat[] = "Korvanta%8d,%8d,%8d,%8d,%8d,%8d,%8d,%8d";
inline constexpr int kMapHeaderFields = 8;
inline constexpr int kMapHeaderTextChars = 79;
inline constexpr int kMapHeaderBytes = kMapHeaderTextChars + 1;  // with its zero byte
inline constexpr int kMapRowWindowBytes = 3200;
inline constexpr double kMapDegreeUnits = 10000.0;  // header angles are in 1/10000 degree

inline constexpr int kMapShortRunMax = 8;
inline constexpr int kMapLongRunMax = 2048;
inline constexpr unsigned kMapLongCodeBit = 0x08;

}  // namespace groundmap
