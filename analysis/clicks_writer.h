#pragma once
// The merged clicks file: every selected record with all its clicks, in the line format the
// clicks reader reads, so it can be read back in place of its sources. The station location is
// written in clear to 0.01 degree and, to 5 decimals, only scrambled (scrambler.h). Lines end in
// CR LF.

#include <cstdint>

// The "write clicks" command. Offers "M%s_ALL_clicksb.csv" (with outputNamePrefix, the prefix of
// the program's output names) in AP.outdir through the save chooser "Write M*_clicksb.csv"; on
// cancel nothing is written. Writes the records of selectedRecords in their order under the wait
// cursor. Reports "Cannot open %s" when the file cannot be created and "Cannot write %s" when
// writing or closing it failed.
void WriteClicksCsv(const char* outputNamePrefix);

// Writes the merged file of the records at indices[0 .. count-1] (indices outside the store are
// passed over) to path, drawing a fresh scrambling number per record from the clock. Reports as
// WriteClicksCsv; true when the file was written and closed without error.
bool WriteMergedClicksFile(const char* path, const int32_t* indices, int32_t count);
