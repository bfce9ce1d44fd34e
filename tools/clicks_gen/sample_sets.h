#pragma once
// The synthetic clicks the project ships: the demo tree under data/clicks and the files of the
// end-to-end test under tests/fixtures/analysis/e2e. Both are made again, byte for byte, by
// "clicks_gen demo data/clicks" and "clicks_gen fixtures tests/fixtures/analysis/e2e" (the noise
// and the scrambling numbers come from fixed seeds).

#include <string>

// A few nights of events over three stations around 136 E 34 N: one folder per night
// ("YYYYMMDD"), one clicks file per station and event, and the true positions beside them.
// Returns an empty text, or what failed.
std::string WriteDemoTree(const std::string& dir);

// The end-to-end test's cases, one folder each: "exact" (no noise, ddeg 0), "ddeg" (the same with
// ddeg 0.05), "shifted" (every click moved by 0.05 in azimuth and elevation, ddeg 0), "noisy"
// (eight flights, noise and ddeg 0.05), and flights that must give no result at the defaults:
// "low_qc" (planes about 20 degrees apart), "far" (beyond 1000 km), "azimuth_off" (an azimuth
// column 10.5 degrees off), with "azimuth_within" (9.5 degrees off) that must.
std::string WriteEndToEndFixtures(const std::string& dir);

// A tree that fills the record store as far as wished: events 20 s apart from 2023-08-12 00:00:00
// UT, each seen by two stations about 140 km apart with 50 clicks, so that every event is one
// pair of 50 results; a folder per 1000 events. 4999 events give 9998 records, the most the
// selection pairs; 5000 fill the store. Returns an empty text, or what failed.
std::string WriteLargeTree(const std::string& dir, int events);
