#pragma once
// The main window's caption is the program's status line.

// "NortavelV4 --  %d rec  / %d indate rec / %d pair / %d pos" of the record count, the
// selected count and the row counts of pairTable and resultTable.
void UpdateStatusLine();
