#pragma once
// Writing ground-map files: for the tools that make maps and for tests.

#include <cstdint>
#include <string>

#include "groundmap/map_file_loader.h"

namespace groundmap {

// Header fields of a map: the angles in degrees rounded to 1/10000 degree, the spare fields 0.
// An angle beyond what a field can hold gives a field that EncodeGroundMap refuses.
MapHeaderFields MakeMapHeader(int cx, int cy, double centreLonDeg, double centreLatDeg,
                              double halfFovDeg);

// Appends the run codes of one row of cx levels (each 0 to 15): short codes for runs of up to 8
// pixels, long codes for longer ones, a run longer than 2048 pixels split. No row takes more
// bytes than it has pixels.
void EncodeMapRow(const std::uint8_t* row, int cx, std::string* out);

// The bytes of a whole ground-map file for the header and a raster of CX x CY levels (row-major,
// top row first). False, with the reason in *error, when the size is outside 1..3200 by
// 1..2400, a header value does not fit its 8 characters, or a level exceeds 15.
bool EncodeGroundMap(const MapHeaderFields& header, const std::uint8_t* raster, std::string* bytes,
                     std::string* error);

// Writes bytes to path; false, with the reason in *error, when it cannot.
bool WriteMapFile(const char* path, const std::string& bytes, std::string* error);

}  // namespace groundmap
