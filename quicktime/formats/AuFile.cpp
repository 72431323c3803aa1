// ".snd" files: a big-endian header of data offset, data size, encoding, rate and channels;
// the samples run from the data offset (never inside the 24-byte header) to the end.
#include "quicktime/formats/SoundFiles.h"

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kAuMagic = 0x2E736E64;  // ".snd"
constexpr uint32_t kAuHeaderBytes = 24;
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;

}  // namespace

SoundRefusal ReadAuFile(std::span<const uint8_t> file, SoundFileInfo* info) {
    *info = {};
    ByteReader r(file);
    if (r.U32BE() != kAuMagic)
        return r.ok() ? SoundRefusal::NotThisKind : SoundRefusal::Truncated;
    const uint32_t offset = std::max(r.U32BE(), kAuHeaderBytes);
    const uint32_t size = r.U32BE();
    const uint32_t encoding = r.U32BE();
    info->sampleRate = r.U32BE();
    const uint32_t channels = r.U32BE();
    if (!r.ok())
        return SoundRefusal::Truncated;
    if (channels > UINT16_MAX)
        return SoundRefusal::BadFormat;
    info->channels = static_cast<uint16_t>(channels);
    switch (encoding) {
    case 1:
        info->bitsPerSample = 8;
        info->encoding = SoundEncoding::MuLaw;
        break;
    case 2:
        info->bitsPerSample = 8;
        info->encoding = SoundEncoding::Signed8;
        break;
    case 3:
    case 4:
    case 5:
        info->bitsPerSample = static_cast<uint16_t>(8 * (encoding - 1));
        info->encoding = SoundEncoding::BigEndian;
        break;
    default:
        return SoundRefusal::Compressed;
    }
    if (offset > file.size())
        return SoundRefusal::Truncated;
    std::span<const uint8_t> samples = file.subspan(offset);
    if (size != kUnknownSize && size < samples.size())
        samples = samples.first(size);
    return FinishSoundInfo(info, samples);
}
