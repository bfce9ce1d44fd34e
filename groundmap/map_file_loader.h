#pragma once
// Reading a ground-map file into mapProjection, and where the file named by "AP.g_map" lies.

#include <string>

#include "groundmap/map_file_format.h"

namespace groundmap {

// The eight integers of a ground-map header, as written in the file.
struct MapHeaderFields {
  // CX, CY, centre longitude, centre latitude, half field of view (1/10000 degree), three spare
  int values[kMapHeaderFields] = {};
};

// Parses the header text (the characters before its zero byte) as "Korvanta" and eight
// comma-separated integers, each read like "%8d" (blanks skipped, then at most 8 characters of
// sign and digits). False when the text does not match; characters after the last field are
// ignored.
bool ParseMapHeader(const char* text, MapHeaderFields* fields);

// Loads the ground map at path (a ".DAT" file). 1 when the whole map loaded; it then replaces the
// map in mapProjection. 0 otherwise, and the map that was loaded before stays as it was, so a
// failed choice of another map keeps the one showing. Tells the user why with ReportError:
// "Cannot Open GroundMap %s" (unreadable), "GroundMap Broken header %s" (header text or angles:
// a half field of view outside (0, 90) or a centre latitude beyond 90 degrees), "GroundMap Broken
// CX,CY %s" (a size outside 1..3200 by 1..2400), "GroundMap Broken data %s" (a raster that is
// cut short, whose runs pass the end of their row or whose row's codes overrun the row window).
int LoadGroundMap(const char* path);

// The longest path that GroundMapPath gives: it must fit the program's 1024-byte path buffers.
inline constexpr int kMaxMapPathChars = 1023;

// The file that a stored map name means: a bare name (or any relative path) lies in dir, a full
// path stands as it is. Empty when the name is empty or null, or when the path would be longer
// than kMaxMapPathChars.
std::string GroundMapPath(const char* dir, const char* mapName);

// What to store for a map chosen at path (a full path) so that GroundMapPath gives the same file
// again: its bare name when it lies directly in dir, else the path itself. Folders are compared
// as written, after "." and ".." and repeated or trailing separators are taken out.
std::string GroundMapName(const char* dir, const char* path);

}  // namespace groundmap
