#pragma once
// The prefix of the program's default output file names ("NV4_%s.csv", "M%s_ALL_clicksb.csv",
// "B%sGMAP.bmp").

// With a pair selected, that pair's local time stamp ("YYYYMMDD_hhmmss", empty when its cell is
// empty); otherwise "YYYYMMDD_" of dateRange.date1. The text lives in a static buffer that the
// next call overwrites.
const char* GetOutputNamePrefix();
