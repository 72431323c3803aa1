// Where the samples of stored 'Snd ' data lie and how QuickTime is to read them: the sound
// header found after the modifiers and commands (standard, extended or compressed), every count
// checked against the data, and the 36-byte sound description of a sound media made from it.
#pragma once

#include <cstdint>
#include <span>

#include "quicktime/QtTypes.h"

inline constexpr uint32_t kAlertUnreadableSound = 2390;
// The encoding byte of a sound header.
inline constexpr uint8_t kStandardEncoding = 0x00, kExtendedEncoding = 0xFF, kCompressedEncoding = 0xFE;

struct StoredSoundLayout {
    uint32_t format = 0;       // 'raw ', 'MAC3' or 'MAC6'
    uint16_t channels = 0;
    uint16_t sampleSize = 0;   // bits
    uint32_t rate = 0;         // 16.16 fixed
    uint32_t dataOffset = 0;   // from the start of the data
    uint32_t byteCount = 0;    // dataOffset + byteCount lie within the data
    uint32_t sampleCount = 0;
    uint8_t encoding = 0;      // the header's: 0 standard, 0xFF extended, 0xFE compressed
};

// False (the caller shows alert 2390) for a header that is not understood or whose samples do
// not lie within the data, and for no channels, no sample size or no whole rate.
bool ReadStoredSoundLayout(std::span<const uint8_t> data, StoredSoundLayout* layout);
// The sound media's description, as QuickTime takes it in memory.
QtSoundDescription StoredSoundDescription(const StoredSoundLayout& layout);
