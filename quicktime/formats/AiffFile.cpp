// "FORM" "AIFF" and "AIFC": the "COMM" chunk (channels, frames, sample size, 80-bit rate, and
// for AIFC the compression) and the "SSND" chunk (offset, block size, samples).
#include "quicktime/formats/SoundFiles.h"

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kForm = 0x464F524D;  // "FORM"
constexpr uint32_t kAiff = 0x41494646;  // "AIFF"
constexpr uint32_t kAifc = 0x41494643;  // "AIFC"
constexpr uint32_t kComm = 0x434F4D4D;  // "COMM"
constexpr uint32_t kSsnd = 0x53534E44;  // "SSND"
constexpr uint32_t kTwos = 0x74776F73;  // "twos": big-endian signed, as AIFF
constexpr uint32_t kSowt = 0x736F7774;  // "sowt": little-endian signed
constexpr uint32_t kRaw = 0x72617720;   // "raw ": 8-bit unsigned

// The offset of "FORM", at the start or any later byte; the size when there is none.
size_t FindForm(std::span<const uint8_t> file) {
    for (size_t at = 0; at + 4 <= file.size(); ++at)
        if (GetBE32(file, at) == kForm)
            return at;
    return file.size();
}

bool Encoding(uint32_t compression, uint16_t bits, SoundEncoding* encoding) {
    switch (compression) {
    case kAifcNoCompression:
    case kTwos:
        *encoding = bits == 8 ? SoundEncoding::Signed8 : SoundEncoding::BigEndian;
        return true;
    case kSowt:
        *encoding = bits == 8 ? SoundEncoding::Signed8 : SoundEncoding::LittleEndian;
        return true;
    case kRaw:
        *encoding = SoundEncoding::Unsigned8;
        return bits == 8;
    default:
        return false;
    }
}

}  // namespace

SoundRefusal ReadAiffFile(std::span<const uint8_t> file, SoundFileInfo* info) {
    *info = {};
    const size_t form = FindForm(file);
    if (form == file.size())
        return SoundRefusal::NotThisKind;
    ByteReader r(file, form + 4);
    const uint32_t formSize = r.U32BE();
    const uint32_t kind = r.U32BE();
    if (!r.ok())
        return SoundRefusal::Truncated;
    if (kind != kAiff && kind != kAifc)
        return SoundRefusal::NotThisKind;
    const size_t end = form + 8 + std::min<size_t>(formSize, file.size() - form - 8);
    SoundChunkWalk walk(file.first(end), form + 12, true);
    bool haveComm = false;
    bool haveSound = false;
    std::span<const uint8_t> samples;
    uint32_t compression = kAifcNoCompression;
    uint32_t id = 0;
    std::span<const uint8_t> chunk;
    while (walk.Next(&id, &chunk)) {
        if (id == kComm && !haveComm) {
            ByteReader c(chunk);
            info->channels = c.U16BE();
            c.Skip(4);  // frames: counted from the samples there are
            const uint16_t bits = c.U16BE();
            const std::span<const uint8_t> rate = c.Bytes(10);
            if (kind == kAifc)
                compression = c.U32BE();
            if (!c.ok())
                return SoundRefusal::Truncated;
            info->sampleRate = WholeHertz(Extended80ToDouble(rate.first<10>()));
            info->bitsPerSample = static_cast<uint16_t>((bits + 7u) / 8u * 8u);
            info->compression = compression;
            if (!Encoding(compression, info->bitsPerSample, &info->encoding))
                return SoundRefusal::Compressed;
            haveComm = true;
        } else if (id == kSsnd && !haveSound) {
            ByteReader s(chunk);
            const uint32_t offset = s.U32BE();
            s.Skip(4);  // block size
            if (!s.ok())
                return SoundRefusal::Truncated;
            // The offset skips bytes before the first sample; one past the chunk leaves none.
            samples = chunk.subspan(8 + std::min<size_t>(offset, chunk.size() - 8));
            haveSound = true;
        }
    }
    return FinishChunkedSound(info, haveComm, haveSound, samples);
}
