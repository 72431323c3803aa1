// What the sound file readers share: the format check, the rate, and the turn into wave samples.
#include "quicktime/formats/SoundFiles.h"

#include <algorithm>
#include <cmath>

#include "core/memory/ByteReader.h"

SoundRefusal FinishChunkedSound(SoundFileInfo* info, bool haveFormat, bool haveSamples,
                                std::span<const uint8_t> samples) {
    if (!haveFormat)
        return SoundRefusal::BadFormat;
    if (!haveSamples)
        return SoundRefusal::NoSamples;
    return FinishSoundInfo(info, samples);
}

bool SoundChunkWalk::Next(uint32_t* id, std::span<const uint8_t>* chunk) {
    if (done_ || r_.remaining() < 8)
        return false;
    *id = r_.U32BE();
    const uint32_t size = bigEndian_ ? r_.U32BE() : r_.U32LE();
    const size_t take = std::min<size_t>(size, r_.remaining());
    *chunk = r_.Bytes(take);
    if (take < size)
        done_ = true;
    else if (size & 1)
        r_.Skip(std::min<size_t>(1, r_.remaining()));
    return true;
}

SoundRefusal FinishSoundInfo(SoundFileInfo* info, std::span<const uint8_t> samples) {
    const uint16_t bits = info->bitsPerSample;
    if (info->channels == 0 || info->sampleRate == 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return SoundRefusal::BadFormat;
    if (bits != 8 && (info->encoding == SoundEncoding::Unsigned8 || info->encoding == SoundEncoding::Signed8 ||
                      info->encoding == SoundEncoding::MuLaw))
        return SoundRefusal::BadFormat;
    const uint64_t perFrame = info->BytesPerFrame();
    const uint64_t frames = std::min<uint64_t>(samples.size() / perFrame, UINT32_MAX);
    info->frames = static_cast<uint32_t>(frames);
    info->data = samples.first(static_cast<size_t>(frames * perFrame));
    return SoundRefusal::None;
}

SoundRefusal ReadSoundFile(std::span<const uint8_t> file, SoundFileInfo* info) {
    const uint32_t magic = GetBE32(file, 0);
    if (magic == 0x52494646)  // "RIFF"
        return ReadWaveFile(file, info);
    if (magic == 0x2E736E64)  // ".snd"
        return ReadAuFile(file, info);
    return ReadAiffFile(file, info);
}

int16_t MuLawToLinear(uint8_t byte) {
    const uint8_t u = static_cast<uint8_t>(~byte);
    const int exponent = (u >> 4) & 7;
    const int magnitude = (((u & 0x0F) << 3) + 0x84) << exponent;
    return static_cast<int16_t>((u & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

double Extended80ToDouble(std::span<const uint8_t, 10> b) {
    const bool negative = b[0] & 0x80;
    const int exponent = (b[0] & 0x7F) << 8 | b[1];
    const uint32_t hi = GetBE32(b, 2);
    const uint32_t lo = GetBE32(b, 6);
    double value;
    if (exponent == 0 && hi == 0 && lo == 0)
        value = 0;
    else if (exponent == 0x7FFF)
        value = HUGE_VAL;
    else
        value = std::ldexp(static_cast<double>(hi), exponent - 16383 - 31) +
                std::ldexp(static_cast<double>(lo), exponent - 16383 - 63);
    return negative ? -value : value;
}

uint32_t WholeHertz(double rate) {
    if (!(rate >= 1.0) || rate >= 4294967296.0)
        return 0;
    return static_cast<uint32_t>(rate);
}

WavePcm ToWavePcm(std::span<const uint8_t> data, SoundEncoding encoding, uint16_t bitsPerSample, uint16_t channels,
                  uint32_t sampleRate) {
    WavePcm pcm{bitsPerSample, channels, sampleRate, 0, {}};
    const size_t width = bitsPerSample / 8u;
    if (width == 0 || channels == 0)
        return pcm;
    const size_t frameBytes = width * channels;
    data = data.first(data.size() / frameBytes * frameBytes);
    pcm.frames = static_cast<uint32_t>(std::min<size_t>(data.size() / frameBytes, UINT32_MAX));
    data = data.first(size_t{pcm.frames} * frameBytes);
    switch (encoding) {
    case SoundEncoding::Unsigned8:
    case SoundEncoding::LittleEndian:
        pcm.samples.assign(data.begin(), data.end());
        break;
    case SoundEncoding::Signed8:
        pcm.samples.reserve(data.size());
        for (uint8_t b : data)
            pcm.samples.push_back(b ^ 0x80);
        break;
    case SoundEncoding::BigEndian:
        pcm.samples.resize(data.size());
        for (size_t at = 0; at < data.size(); at += width)
            for (size_t i = 0; i < width; ++i)
                pcm.samples[at + i] = data[at + width - 1 - i];
        break;
    case SoundEncoding::MuLaw:
        pcm.bitsPerSample = 16;
        pcm.samples.reserve(data.size() * 2);
        for (uint8_t b : data) {
            const auto v = static_cast<uint16_t>(MuLawToLinear(b));
            pcm.samples.push_back(static_cast<uint8_t>(v));
            pcm.samples.push_back(static_cast<uint8_t>(v >> 8));
        }
        break;
    }
    return pcm;
}

WavePcm ToWavePcm(const SoundFileInfo& info) {
    return ToWavePcm(info.data, info.encoding, info.bitsPerSample, info.channels, info.sampleRate);
}

std::vector<uint8_t> WaveFileOf(const WavePcm& pcm) {
    const uint32_t align = uint32_t{pcm.bitsPerSample} / 8 * pcm.channels;
    const auto bytes = static_cast<uint32_t>(std::min<size_t>(pcm.samples.size(), UINT32_MAX - 44));
    std::vector<uint8_t> out;
    out.reserve(size_t{bytes} + 44);
    ByteWriter w(out);
    WriteWaveHeader(w, pcm.channels, pcm.sampleRate, pcm.bitsPerSample, align, bytes);
    w.Bytes(std::span(pcm.samples).first(bytes));
    if (bytes & 1)
        w.U8(0);
    return out;
}
