#pragma once
// The two folders the program remembers at start-up.

inline constexpr int kStartDirChars = 1024;

// The current folder at start-up: home of the settings file "NV4_PARAM.QRD" and of the
// ground-map files named by a bare "AP.g_map".
extern char startDir[kStartDirChars];
// The user's documents folder, created when missing: where "AP.indir" and "AP.outdir" fall back
// to when they do not exist.
extern char myDocumentsDir[kStartDirChars];
