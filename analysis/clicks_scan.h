#pragma once
// The walk of the input folder: every clicks file below it is read into the record store.

// Reads every file below dir (a path without trailing '/') whose name ends in "clicks.csv" or
// "clicksb.csv" (exactly, in lower case); pipes, sockets and devices so named are not read.
// Entries whose names begin with '.' are skipped; folders, and links to folders, are walked
// depth first as they come, but a folder already visited in this walk (same device and inode)
// is not entered again, so a link loop ends.
// Names are visited in byte order, so every walk of the same tree reads the same records in the
// same order. After every entry the main window's caption shows "NortavelV4 -- %d records".
// A folder that cannot be listed is skipped without a word. Lines not read are reported once,
// when the walk ends. Returns 0, or -1 when dir itself cannot be listed.
int ScanClicksDir(const char* dir);

// Whether a file of this name is a clicks file.
bool IsClicksFileName(const char* name);
