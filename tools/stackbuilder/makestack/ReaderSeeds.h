// Seeds for the fuzzers of readers whose input forms MakeStack.cpp does not make: movie and
// picture files, stored chunks and records, and the byte lists some fuzzers take apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Seeds = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// The seeds of that kind, or nothing when it is not one of these.
std::optional<Seeds> ReaderSeeds(std::string_view kind);
// The seeds of the layer builders' and converters' fuzzers (LayerSeeds.cpp), or nothing.
std::optional<Seeds> LayerReaderSeeds(std::string_view kind);
