// Sound files made stored sounds: AIFF/AIFC through the shared reader, AU from its header
// (mu-law expanded to 8 bits), and WAV once its chunks are found. Samples end up as the
// stored form keeps them: 8-bit unsigned, wider ones big-endian.
#include "media/sounds/SoundResources.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "quicktime/formats/SoundFiles.h"

namespace {

constexpr uint16_t kWavePcm = 1;
// The header and the shortest annotation: no AU file's samples start before.
constexpr uint32_t kAuMinDataOffset = 28;
constexpr uint32_t kAuMuLaw = 1, kAuLinear8 = 2;

void FlipTopBits(std::span<uint8_t> samples) {
    for (uint8_t& b : samples)
        b ^= 0x80;
}

// The format of `bytes` bytes cut to whole frames.
SoundFormat FormatOf(uint16_t bits, uint16_t channels, uint32_t rate, uint64_t bytes) {
    SoundFormat f;
    f.bitsPerSample = bits;
    f.channels = channels;
    f.sampleRate = rate;
    f.bigEndian = 1;
    const uint32_t align = f.BlockAlign();
    const uint64_t frames = align ? std::min<uint64_t>(bytes, UINT32_MAX) / align : 0;
    f.frames = static_cast<uint32_t>(frames);
    f.byteCount = static_cast<uint32_t>(frames * align);
    return f;
}

// The alert for a refusal of the shared reader.
uint32_t AlertFor(SoundRefusal refusal, const SoundFileInfo& info) {
    switch (refusal) {
    case SoundRefusal::Compressed:
        return kAlertSoundCompressed;
    case SoundRefusal::BadFormat: {
        // The reader had the format chunk's values when it refused them.
        const SoundFormat format = FormatOf(info.bitsPerSample, info.channels, info.sampleRate, UINT32_MAX);
        const uint32_t alert = CheckSoundFormat(format);
        return alert ? alert : kAlertUnreadableSound;
    }
    default:
        return kAlertUnreadableSound;
    }
}

}  // namespace

uint8_t MuLawToUnsigned8(uint8_t byte) {
    const int e = (byte / 16) % 8;
    const int m = byte % 16;
    const int magnitude = (15 - m) * (1 << (8 - e)) + (1 << (12 - e)) - 32;
    const int value = byte >= 128 ? magnitude : (magnitude == 0 ? -1 : -magnitude);
    const auto wide = static_cast<int16_t>(value * 4);
    return static_cast<uint8_t>(128 + wide / 256);
}

Handle ImportAiffData(Handle file, uint32_t* alert) {
    SoundFormat format;
    uint32_t dataOffset = 0;
    {
        HandleLock lock(file);
        const std::span<uint8_t> bytes = lock.bytes();
        SoundFileInfo info;
        const SoundRefusal refusal = ReadAiffFile(bytes, &info);
        if (refusal != SoundRefusal::None) {
            *alert = AlertFor(refusal, info);
            return 0;
        }
        if (info.compression != kAifcNoCompression) {  // 'sowt', 'twos', 'raw ' and the like
            *alert = kAlertSoundCompressed;
            return 0;
        }
        format = FormatOf(info.bitsPerSample, info.channels, info.sampleRate, info.data.size());
        *alert = CheckSoundFormat(format);
        if (*alert)
            return 0;
        dataOffset = static_cast<uint32_t>(info.data.data() - bytes.data());
        if (format.bitsPerSample == 8)
            FlipTopBits(bytes.subspan(dataOffset, format.byteCount));
    }
    return BuildSndResource(file, dataOffset, format, alert);
}

Handle ImportAuData(Handle file, uint32_t* alert) {
    *alert = kAlertUnreadableSound;
    SoundFormat format;
    uint32_t start = 0;
    uint32_t encoding = 0;
    {
        HandleLock lock(file);
        const std::span<uint8_t> bytes = lock.bytes();
        ByteReader r(bytes, 4);  // the magic is not needed: the extension chose this reader
        const uint32_t offset = r.U32BE();
        r.Skip(4);  // data size: the samples run to the end
        encoding = r.U32BE();
        const uint32_t rate = r.U32BE();
        const uint32_t channels = r.U32BE();
        if (!r.ok())
            return 0;
        uint16_t bits = 0;
        switch (encoding) {
        case kAuMuLaw:
        case kAuLinear8:
            bits = 8;
            break;
        case 3:
        case 4:
        case 5:
            bits = static_cast<uint16_t>(8 * (encoding - 1));
            break;
        default:
            *alert = kAlertSoundFormatUnsupported;
            return 0;
        }
        start = std::max(offset, kAuMinDataOffset);
        if (channels > UINT16_MAX || start > bytes.size())
            return 0;
        format = FormatOf(bits, static_cast<uint16_t>(channels), rate, bytes.size() - start);
        *alert = CheckSoundFormat(format);
        if (*alert)
            return 0;
        if (encoding == kAuLinear8)
            FlipTopBits(bytes.subspan(start, format.byteCount));
    }
    if (encoding != kAuMuLaw)
        return BuildSndResource(file, start, format, alert);
    // The expanded samples go straight after the header's room in a new handle, so that the
    // resource is built there in place.
    const uint32_t headerLength = SndHeaderLength(format);
    const uint64_t total = uint64_t{headerLength} + format.byteCount;
    const Handle expanded = FillNewSoundHandle(file, total, alert, [&](HandleLock& from, HandleLock& to) {
        std::transform(from.get() + start, from.get() + start + format.byteCount, to.get() + headerLength,
                       MuLawToUnsigned8);
    });
    if (!expanded)
        return 0;
    const Handle sound = BuildSndResource(expanded, headerLength, format, alert);
    if (!sound)
        DisposeHandle(expanded);
    return sound;
}

Handle ImportWaveChunks(Handle file, std::span<const uint8_t> formatChunk, uint64_t dataOffset, uint64_t dataSize,
                        uint32_t* alert) {
    *alert = kAlertUnreadableSound;
    ByteReader f(formatChunk);
    const uint16_t tag = f.U16LE();
    const uint16_t channels = f.U16LE();
    const uint32_t rate = f.U32LE();
    f.Skip(6);  // bytes per second, block align: worked out from the rest
    const uint16_t bits = f.U16LE();
    if (!f.ok())
        return 0;
    if (tag != kWavePcm) {
        *alert = kAlertSoundFormatUnsupported;
        return 0;
    }
    SoundFormat format;
    {
        HandleLock lock(file);
        const std::span<uint8_t> bytes = lock.bytes();
        if (!lock || dataOffset > bytes.size())
            return 0;
        // A data chunk longer than the file (a download cut short) keeps the samples there are.
        const uint64_t bytesThere = std::min<uint64_t>(dataSize, bytes.size() - dataOffset);
        // Samples narrower than their container are stored left-justified in it.
        const auto width = static_cast<uint16_t>((bits + 7u) / 8u * 8u);
        format = FormatOf(width, channels, rate, bytesThere);
        *alert = CheckSoundFormat(format);
        if (*alert)
            return 0;
        ReverseSampleBytes(bytes.subspan(static_cast<size_t>(dataOffset), format.byteCount), format.bitsPerSample);
    }
    return BuildSndResource(file, static_cast<uint32_t>(dataOffset), format, alert);
}
