// RIFF "WAVE": the "fmt " chunk (PCM, or the extensible format with a PCM sub-format) and the
// "data" chunk, found by walking the chunks, each padded to an even length; the header written.
#include "quicktime/formats/SoundFiles.h"

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kWave = 0x57415645;  // "WAVE"
constexpr uint32_t kFmt = 0x666D7420;   // "fmt "
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

SoundRefusal ReadWaveFile(std::span<const uint8_t> file, SoundFileInfo* info) {
    *info = {};
    ByteReader r(file);
    if (r.U32BE() != kRiffChunk)
        return SoundRefusal::NotThisKind;
    const uint32_t riffSize = r.U32LE();
    if (r.U32BE() != kWave)
        return r.ok() ? SoundRefusal::NotThisKind : SoundRefusal::Truncated;
    // A RIFF size past the end is common in files cut short or written while streaming, and
    // some such writers leave it 0: the bytes there are count.
    const size_t declared = riffSize < 4 ? file.size() - 8 : riffSize;
    const std::span<const uint8_t> body = file.first(8 + std::min<size_t>(declared, file.size() - 8));
    SoundChunkWalk walk(body, 12, false);
    bool haveFormat = false;
    std::span<const uint8_t> samples;
    bool haveData = false;
    uint32_t id = 0;
    std::span<const uint8_t> chunk;
    while (!(haveData && haveFormat) && walk.Next(&id, &chunk)) {
        if (id == kFmt && !haveFormat) {
            ByteReader f(chunk);
            uint16_t tag = f.U16LE();
            info->channels = f.U16LE();
            info->sampleRate = f.U32LE();
            f.Skip(6);  // bytes per second, block align
            const uint16_t bits = f.U16LE();
            if (!f.ok())
                return SoundRefusal::Truncated;
            if (tag == kFormatExtensible) {
                f.Skip(8);  // extra size, valid bits, channel mask
                tag = f.U16LE();  // the first two bytes of the sub-format GUID
                if (!f.ok())
                    return SoundRefusal::Truncated;
            }
            if (tag != kFormatPcm)
                return SoundRefusal::NotPcm;
            // Samples narrower than their container are stored left-justified in it.
            info->bitsPerSample = static_cast<uint16_t>((bits + 7u) / 8u * 8u);
            info->encoding = info->bitsPerSample == 8 ? SoundEncoding::Unsigned8 : SoundEncoding::LittleEndian;
            haveFormat = true;
        } else if (id == kDataChunk && !haveData) {  // before or after the format
            samples = chunk;
            haveData = true;
        }
    }
    return FinishChunkedSound(info, haveFormat, haveData, samples);
}

void WriteWaveHeader(ByteWriter& w, uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample, uint32_t align,
                     uint32_t dataBytes) {
    w.U32BE(kRiffChunk);
    w.U32LE(dataBytes + 36 + (dataBytes & 1));
    w.U32BE(kWave);
    w.U32BE(kFmt);
    w.U32LE(16);
    w.U16LE(kFormatPcm);
    w.U16LE(channels);
    w.U32LE(sampleRate);
    w.U32LE(sampleRate * align);
    w.U16LE(static_cast<uint16_t>(align));
    w.U16LE(bitsPerSample);
    w.U32BE(kDataChunk);
    w.U32LE(dataBytes);
}
