#include "media/elements/StoredSound.h"

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 | uint8_t(s[3]);
}

constexpr uint32_t kStandardSamples = 22;  // after the header
constexpr uint32_t kWideSamples = 64;

// Offset of the sound header, or 0 when the data has no format we read.
uint64_t SoundHeaderOffset(std::span<const uint8_t> data) {
    ByteReader r(data);
    const uint16_t format = r.U16BE();
    if (!r.ok())
        return 0;
    if (format == 1 || format == 0x100) {
        const uint16_t modifiers = r.U16BE();
        ByteReader commands(data, 4 + 6 * uint64_t{modifiers});
        const uint16_t count = commands.U16BE();
        if (!r.ok() || !commands.ok())
            return 0;
        return 6 * uint64_t{modifiers} + 8 * uint64_t{count} + 6;
    }
    if (format == 2) {
        ByteReader commands(data, 4);
        const uint16_t count = commands.U16BE();
        return commands.ok() ? 6 + 8 * uint64_t{count} : 0;
    }
    return 0;
}

}  // namespace

bool ReadStoredSoundLayout(std::span<const uint8_t> data, StoredSoundLayout* layout) {
    const uint64_t header = SoundHeaderOffset(data);
    if (header == 0 || header + kStandardSamples > data.size())
        return false;
    const size_t h = static_cast<size_t>(header);
    StoredSoundLayout out;
    out.rate = GetBE32(data, h + 8);
    out.encoding = data[h + 20];
    uint64_t bytes = 0;
    uint64_t samples = 0;
    uint64_t start = 0;
    switch (data[h + 20]) {
    case kStandardEncoding:
        out.format = FourCC("raw ");
        out.channels = 1;
        out.sampleSize = 8;
        bytes = samples = GetBE32(data, h + 4);
        start = header + kStandardSamples;
        break;
    case kExtendedEncoding:
    case kCompressedEncoding: {
        if (header + kWideSamples > data.size())
            return false;
        out.channels = static_cast<uint16_t>(GetBE32(data, h + 4) & 0xFFFF);
        const uint64_t frames = GetBE32(data, h + 22);
        start = header + kWideSamples;
        if (data[h + 20] == kExtendedEncoding) {
            out.format = FourCC("raw ");
            out.sampleSize = GetBE16(data, h + 48);
            samples = frames;
            bytes = uint64_t{out.sampleSize / 8u} * out.channels * frames;
            break;
        }
        out.sampleSize = GetBE16(data, h + 62);
        const bool stereo = out.channels == 2;
        switch (static_cast<int16_t>(GetBE16(data, h + 56))) {
        case 0:
            out.format = FourCC("raw ");
            samples = frames;
            bytes = uint64_t{out.sampleSize / 8u} * out.channels * frames;
            break;
        case 3:
            out.format = FourCC("MAC3");
            samples = frames * 6;
            bytes = frames * (stereo ? 8 : 2);
            break;
        case 4:
            out.format = FourCC("MAC6");
            samples = frames * 6;
            bytes = frames * (stereo ? 4 : 1);
            break;
        default:
            return false;
        }
        if (out.format != FourCC("raw ") && out.channels != 1 && out.channels != 2)
            return false;
        break;
    }
    default:
        return false;
    }
    // Counts from the data itself: they must describe samples that are there.
    if (out.channels == 0 || out.sampleSize == 0 || (out.rate >> 16) == 0 || samples == 0 || bytes == 0)
        return false;
    if (out.format == FourCC("raw ") && out.sampleSize % 8 != 0)
        return false;
    if (start > data.size() || bytes > data.size() - start || samples > UINT32_MAX)
        return false;
    out.dataOffset = static_cast<uint32_t>(start);
    out.byteCount = static_cast<uint32_t>(bytes);
    out.sampleCount = static_cast<uint32_t>(samples);
    *layout = out;
    return true;
}

QtSoundDescription StoredSoundDescription(const StoredSoundLayout& layout) {
    QtSoundDescription d{};
    d.descSize = sizeof d;
    d.dataFormat = layout.format;
    d.dataRefIndex = 1;
    d.numChannels = static_cast<int16_t>(layout.channels);
    d.sampleSize = static_cast<int16_t>(layout.sampleSize);
    d.sampleRate = layout.rate;
    return d;
}
