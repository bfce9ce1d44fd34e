#pragma once
// The seed corpora, as fuzz/seed_sources.txt lists their folders.

#include <string>
#include <vector>

namespace fuzz {

// Every seed file of target ("clicks", "groundmap", "settings") below sourceRoot, sorted, each
// once. Empty when the list cannot be read.
std::vector<std::string> SeedFiles(const std::string& sourceRoot, const std::string& target);

}  // namespace fuzz
