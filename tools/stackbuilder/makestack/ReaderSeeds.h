// Seeds for the fuzzers of readers whose input forms MakeStack.cpp does not make: movie and
// picture files, stored chunks and records, and the byte lists some fuzzers take apart.
#pragma once

#include <optional>
#include <string_view>

#include "Seeds.h"

// The seeds of that kind (or of a layer builder's fuzzer, LayerSeeds.h), or nothing when it is
// not one of these.
std::optional<Seeds> ReaderSeeds(std::string_view kind);
