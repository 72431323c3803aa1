// What the host checks and builds of extension modules without touching a library: the safe
// file name, the module information record ('NBAs' data), and the clock of forwarded timers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A module file name that may be appended to the "NBAS" folder: not empty, no '\', '/', ':'
// or "..", and ending in ".nba" (case ignored). Names come from downloaded stacks.
bool IsSafeNbaFileName(std::string_view name);
// The file name of 'NBAs' data: at least 304 bytes, the name terminated within its 256 and
// safe; none otherwise.
std::optional<std::string> NbaFileNameOf(std::span<const uint8_t> data);
// The short name (at most 31 characters) and the about text of 'NBAs' data, bounded.
std::string NbaShortNameOf(std::span<const uint8_t> data);
std::string NbaAboutTextOf(std::span<const uint8_t> data);

// The parts of a module information record as its library gives them.
struct NbaModuleFacts {
    uint16_t aboutFlags = 0;
    uint16_t nbaId = 0;
    std::string shortName;   // string 3, cut to 31 characters
    std::string fileName;    // string 1, cut to 255 characters
    std::string aboutText;   // "ABOUT_STR", cut at its first '/' or NUL
};
std::vector<uint8_t> MakeNbaInfoRecord(const NbaModuleFacts& facts);
std::string AboutTextOfResource(std::span<const uint8_t> text);

// Timer messages reach modules at most every 50 milliseconds, one clock for all of them.
class NbaTimerGate {
public:
    static constexpr uint32_t kIntervalMs = 50;
    // True when the message at `now` passes (and restarts the clock).
    bool Pass(uint32_t now);
    void Reset() { started_ = false; }
private:
    bool started_ = false;
    uint32_t last_ = 0;
};
