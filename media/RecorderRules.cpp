#include "media/RecorderRules.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::string_view kPrefix = "NewSnd";

}  // namespace

std::string IncrementNamePair(std::string_view name) {
    std::string next(name);
    if (next.size() < kPrefix.size() + 2)
        return next;
    char& tens = next[kPrefix.size()];
    char& units = next[kPrefix.size() + 1];
    if (units >= '9') {
        units = '0';
        tens = tens >= '9' ? '0' : char(tens + 1);
    } else {
        ++units;
    }
    return next.substr(0, kPrefix.size() + 2);
}

std::string NextNewSoundName(const std::vector<std::string>& names) {
    std::string greatest = "NewSnd00";
    for (const std::string& name : names) {
        if (name.size() < kPrefix.size() + 2 || name.compare(0, kPrefix.size(), kPrefix) != 0)
            continue;
        // Only the two characters after the prefix are compared, byte for byte.
        if (name.compare(kPrefix.size(), 2, greatest, kPrefix.size(), 2) > 0)
            greatest = name.substr(0, kPrefix.size() + 2);
    }
    return IncrementNamePair(greatest);
}

int MeterLevel(std::span<const uint8_t> buffer, uint32_t position) {
    if (buffer.empty())
        return 0;
    int64_t p = std::min<int64_t>(int64_t(position) - 1, int64_t(buffer.size()) - 1);
    while (p > 1 && buffer[size_t(p)] == 255)
        --p;
    if (p < 1)
        p = 1;
    const int64_t n = std::min<int64_t>(p + 1, 100) - 1;
    uint16_t sum = 0;
    int count = 1;
    for (int64_t i = p - n; i < p; ++i) {
        const int s = buffer[size_t(i)];
        sum = uint16_t(sum + std::abs(s - 128));
        if (s != 128)
            ++count;
    }
    return sum / count;
}

int MeterBarHeight(int level, int clientHeight) { return clientHeight * std::min(level, 128) / 128; }
