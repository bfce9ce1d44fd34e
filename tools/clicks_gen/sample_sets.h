#pragma once
// The synthetic clicks the project ships: the demo tree under data/clicks and the files of the
// end-to-end test under tests/fixtures/analysis/e2e. Both are made again, byte for byte, by
// running the generator (the noise and the scrambling numbers come from fixed seeds).

#include <string>

// A few nights of events over three stations around 136 E 34 N: one folder per night
// ("YYYYMMDD"), one clicks file per station and event, and the true positions beside them.
// Returns an empty text, or what failed.
std::string WriteDemoTree(const std::string& dir);

// The end-to-end test's cases, one folder each (see the README written beside them).
std::string WriteEndToEndFixtures(const std::string& dir);
