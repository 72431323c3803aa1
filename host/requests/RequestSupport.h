// What the handlers share: reading the caller's strings and pointers out of the block, bounded,
// and the few answers kept in buffers of the host (names handed out by address).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/memory/Handles.h"

inline constexpr size_t kRequestPStringMax = 255;

// A caller's address in a 32-bit field; null for 0.
template <class T = uint8_t>
T* CallerPointer(uint32_t address) {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(address));
}
inline uint32_t AddressWord(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

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
    return AddressWord(buffer);
}
