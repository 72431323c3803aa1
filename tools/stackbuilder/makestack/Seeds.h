// A fuzzer's seeds: named inputs, as the seed makers hand them to MakeStack.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Seeds = std::vector<std::pair<std::string, std::vector<uint8_t>>>;
