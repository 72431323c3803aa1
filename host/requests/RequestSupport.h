// What the field, media, drawing and interface handlers add to RequestArgs.h: caller strings
// read as strings, handles handed in, and names kept for the caller in buffers of the host.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/memory/Handles.h"
#include "host/requests/RequestArgs.h"

inline constexpr size_t kRequestPStringMax = 255;
// The host's buffers of names kept for the caller (length-prefixed).
inline constexpr size_t kNameBytes = 32;


// A length-prefixed string of the caller: its length byte, then at most 255 characters.
inline std::string CallerPString(uint32_t address) {
    const auto* p = CallerPointer<const uint8_t>(address);
    if (!p)
        return {};
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

// A NUL-terminated string of the caller, read no further than limit characters.
inline std::string CallerCString(uint32_t address, size_t limit) {
    const auto* p = CallerPointer<const char>(address);
    if (!p)
        return {};
    size_t n = 0;
    while (n < limit && p[n])
        ++n;
    return std::string(p, n);
}

// A handle a caller hands in: 0 unless it is one of ours and allocated.
inline Handle CallerHandle(uint32_t value) {
    const auto h = static_cast<Handle>(value);
    return IsValidHandle(h) ? h : 0;
}

// A name kept for the caller as a length-prefixed string in one of the host's buffers of
// `bytes` bytes (the text cut to bytes - 1 characters); the buffer's address.
template <size_t Bytes>
uint32_t KeepPString(uint8_t (&buffer)[Bytes], std::string_view text) {
    static_assert(Bytes >= 2 && Bytes <= 256);
    const size_t n = std::min(text.size(), Bytes - 1);
    std::memset(buffer, 0, Bytes);
    buffer[0] = static_cast<uint8_t>(n);
    std::memcpy(buffer + 1, text.data(), n);
    return BlockValue(&buffer[0]);
}
