#pragma once
// Folder and file choosers over the platform layer, owned by the main dialog, with the
// program's fixed-size path buffers.

// Lets the user choose a folder, starting at path. On 1, path (room for size bytes) holds the
// chosen folder; on 0 (cancelled, or a chosen path too long for the buffer) it is unchanged.
int ChooseFolder(const char* title, char* path, int size);

// Lets the user choose a file to read (mode 'r') or write ('w'). filter holds pairs of
// NUL-terminated texts, shown text then patterns ("CSV(*.csv)" then "*.csv"), ended by an empty
// text. file holds the proposed name or path and receives the chosen path; fileTitle receives
// its name; each has room for size bytes. For 'w', choosing an existing file asks "file already
// exists overwrite?" and Cancel gives 0. Non-zero when a file was chosen.
int ChooseFile(const char* title, const char* filter, const char* defaultExtension, char* file,
               char* fileTitle, int size, char mode);
