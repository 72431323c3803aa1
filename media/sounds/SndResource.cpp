// The stored 'Snd ' form: format 1 with the sampled synthesizer and two commands (the buffer
// at byte 28 and the amplitude), then a standard header (8-bit mono) or an extended one.
// Stored sounds go out as WAV files.
#include "media/sounds/SoundResources.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "quicktime/formats/SoundFiles.h"

namespace {

constexpr uint32_t kSoundHeaderAt = 28;
constexpr uint16_t kSampledSynth = 5;
constexpr uint32_t kInitMono = 0x80, kInitStereo = 0xC0;
constexpr uint16_t kBufferCommand = 0x8051, kAmplitudeCommand = 43;
constexpr uint8_t kBaseNote = 60;

bool IsStandard(const SoundFormat& f) { return f.channels == 1 && f.bitsPerSample == 8; }

// The header of a sound of `bytes` bytes; its length is SndHeaderLength.
std::array<uint8_t, kExtendedSndHeader> SndHeader(const SoundFormat& f, uint32_t bytes) {
    std::array<uint8_t, kExtendedSndHeader> header{};
    ByteWriter w(header, 0);
    w.U16BE(1);  // format
    w.U16BE(1);  // modifiers
    w.U16BE(kSampledSynth);
    w.U32BE(f.channels == 2 ? kInitStereo : kInitMono);
    w.U16BE(2);  // commands
    w.U16BE(kBufferCommand);
    w.U16BE(0);
    w.U32BE(kSoundHeaderAt);
    w.U16BE(kAmplitudeCommand);
    w.U16BE(255);
    w.U32BE(0);
    w.U32BE(0);  // sample pointer
    const bool standard = IsStandard(f);
    w.U32BE(standard ? bytes : f.channels);
    w.U32BE(f.sampleRate << 16);
    w.U32BE(0);  // loop start
    w.U32BE(0);  // loop end
    w.U8(standard ? kStandardEncoding : kExtendedEncoding);
    w.U8(kBaseNote);
    if (!standard) {
        w.U32BE(bytes / f.BlockAlign());  // frames
        w.Zeros(22);                      // the 80-bit rate and the chunk pointers
        w.U16BE(f.bitsPerSample);
    }
    return header;
}

}  // namespace

uint32_t SndHeaderLength(const SoundFormat& format) {
    return IsStandard(format) ? kStandardSndHeader : kExtendedSndHeader;
}

uint32_t CheckSoundFormat(const SoundFormat& f) {
    if (f.channels == 0 || f.bitsPerSample == 0 || f.bitsPerSample % 8 != 0)
        return kAlertUnreadableSound;
    if (f.bitsPerSample > 32 || f.sampleRate == 0 || f.sampleRate > 0xFFFF)
        return kAlertSoundFormatUnsupported;
    if (f.byteCount < f.BlockAlign())
        return kAlertUnreadableSound;
    return 0;
}

Handle FillNewSoundHandle(Handle source, uint64_t total, uint32_t* alert,
                          const std::function<void(HandleLock& from, HandleLock& to)>& fill) {
    const Handle made = total > UINT32_MAX ? 0 : NewHandle(static_cast<uint32_t>(total));
    if (made) {
        HandleLock from(source);
        HandleLock to(made);
        if (from && to) {
            fill(from, to);
            return made;
        }
    }
    if (made)
        DisposeHandle(made);
    *alert = kAlertSoundNoMemory;
    return 0;
}

Handle BuildSndResource(Handle data, uint32_t dataOffset, const SoundFormat& format, uint32_t* alert) {
    *alert = CheckSoundFormat(format);
    if (*alert)
        return 0;
    const uint32_t size = GetHandleSize(data);
    const uint32_t bytes = format.byteCount;
    if (!IsValidHandle(data) || dataOffset > size || bytes > size - dataOffset) {
        *alert = kAlertUnreadableSound;
        return 0;
    }
    const uint32_t headerLength = SndHeaderLength(format);
    const auto header = SndHeader(format, bytes);
    const uint64_t total = uint64_t{headerLength} + bytes;
    if (total > size) {
        return FillNewSoundHandle(data, total, alert, [&](HandleLock& from, HandleLock& to) {
            std::memcpy(to.get(), header.data(), headerLength);
            std::memcpy(to.get() + headerLength, from.get() + dataOffset, bytes);
        });
    }
    {
        HandleLock lock(data);
        if (!lock) {
            *alert = kAlertSoundNoMemory;
            return 0;
        }
        std::memmove(lock.get() + headerLength, lock.get() + dataOffset, bytes);
        std::memcpy(lock.get(), header.data(), headerLength);
    }
    // Whatever followed the samples in the file is no part of the resource.
    SetHandleSize(data, static_cast<uint32_t>(total));
    return data;
}

uint32_t ReadSndHeader(Handle sound, SoundFormat* format, uint32_t* alert) {
    *alert = kAlertUnreadableSound;
    StoredSoundLayout layout;
    {
        HandleLock lock(sound);
        if (!lock || !ReadStoredSoundLayout(lock.bytes(), &layout))
            return 0;
    }
    if (layout.encoding != kStandardEncoding && layout.encoding != kExtendedEncoding)
        return 0;  // compressed: only QuickTime plays it
    SoundFormat f;
    f.bitsPerSample = layout.sampleSize;
    f.channels = layout.channels;
    f.sampleRate = layout.rate >> 16;
    f.frames = layout.byteCount / f.BlockAlign();
    f.byteCount = layout.byteCount;
    f.bigEndian = 1;
    *format = f;
    *alert = 0;
    return layout.dataOffset;
}

void ReverseSampleBytes(std::span<uint8_t> samples, uint16_t bitsPerSample) {
    const size_t width = bitsPerSample / 8u;
    if (width < 2)
        return;
    for (size_t at = 0; at + width <= samples.size(); at += width)
        std::reverse(samples.begin() + static_cast<ptrdiff_t>(at), samples.begin() + static_cast<ptrdiff_t>(at + width));
}

Handle WriteWaveFile(Handle data, uint32_t dataOffset, const SoundFormat& format, uint32_t* alert) {
    *alert = kAlertUnreadableSound;
    const uint32_t size = GetHandleSize(data);
    const uint32_t bytes = format.byteCount;
    const uint32_t align = format.BlockAlign();
    if (!IsValidHandle(data) || align == 0 || dataOffset > size || bytes > size - dataOffset)
        return 0;
    const uint32_t pad = bytes & 1;
    const uint64_t total = uint64_t{kWaveHeader} + bytes + pad;
    const Handle wave = FillNewSoundHandle(data, total, alert, [&](HandleLock& from, HandleLock& to) {
        ByteWriter w(to.bytes(), 0);
        WriteWaveHeader(w, format.channels, format.sampleRate, format.bitsPerSample, align, bytes);
        std::span<uint8_t> samples = to.bytes().subspan(kWaveHeader, bytes);
        std::memcpy(samples.data(), from.get() + dataOffset, bytes);
        if (format.bitsPerSample >= 16 && format.bigEndian) {
            const uint64_t frameBytes = uint64_t{format.frames} * align;
            ReverseSampleBytes(samples.first(static_cast<size_t>(std::min<uint64_t>(frameBytes, bytes))),
                               format.bitsPerSample);
        }
    });
    if (wave)
        *alert = 0;
    return wave;
}

Handle ExportSoundToWave(Handle sound, SoundFormat* format, uint32_t* alert) {
    SoundFormat f;
    const uint32_t dataOffset = ReadSndHeader(sound, &f, alert);
    if (dataOffset == 0)
        return 0;
    const Handle wave = WriteWaveFile(sound, dataOffset, f, alert);
    if (wave && format)
        *format = f;
    return wave;
}
