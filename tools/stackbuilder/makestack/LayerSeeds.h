// Seeds for the fuzzers of the layer builders' and converters' byte work (LayerSeeds.cpp).
#pragma once

#include <optional>
#include <string_view>

#include "Seeds.h"

// The seeds of that kind, or nothing when it is not one of these.
std::optional<Seeds> LayerReaderSeeds(std::string_view kind);
