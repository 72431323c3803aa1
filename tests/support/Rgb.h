// A colour as three 8-bit channels, compared whole and printed as (r,g,b) in test messages.
#pragma once

#include <cstdint>
#include <ostream>

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << int{c.red} << "," << int{c.green} << "," << int{c.blue} << ")";
}
