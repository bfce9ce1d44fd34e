#pragma once
// A folder named in a message. A message holds at most 1023 characters, and start-up names a
// folder that is too long for its buffer beside other text, so the middle of a long folder
// gives way and both of its ends stay readable.

#include <string>
#include <string_view>

// Folders of up to 600 characters as they are; a longer one as its first 300 characters, "..."
// and its last 300.
std::string FolderForMessage(std::string_view folder);
