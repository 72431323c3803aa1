#include "media/StopAllSoundsName.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameTextAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool IsStopAllSoundsName(std::string_view name) {
    // A prefix such as "" or "Stop" names an ordinary sound.
    return SameTextAnyCase(name, "Stop All Sounds") || SameTextAnyCase(name, "STOPSNDS.WAV");
}
