// Arbitrary bytes as an AIFF, AU or WAV file or a stored sound: refused with an alert, or turned
// into a stored sound that reads back and writes out with its samples inside it.
#include <algorithm>

#include "core/memory/ByteReader.h"
#include "media/sounds/SoundResources.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// A stored sound that must read back and go out as a WAV file of its byte count.
void CheckStored(Handle sound) {
    SoundFormat format;
    uint32_t alert = 0;
    const uint32_t dataOffset = ReadSndHeader(sound, &format, &alert);
    FuzzCheck(dataOffset != 0 && alert == 0);
    FuzzCheck(uint64_t{dataOffset} + format.byteCount <= GetHandleSize(sound));
    const Handle wave = WriteWaveFile(sound, dataOffset, format, &alert);
    FuzzCheck(wave != 0 && GetHandleSize(wave) == kWaveHeader + format.byteCount + (format.byteCount & 1));
    DisposeHandle(wave);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = InitMemRefs();
    if (!ready || size < 1 || size > (1u << 20))
        return 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    const Handle file = NewHandleFromBytes(bytes);
    if (!file)
        return 0;
    uint32_t alert = 0;
    Handle sound = 0;
    switch (data[0] % 4) {
    case 0:
        sound = ImportAiffData(file, &alert);
        break;
    case 1:
        sound = ImportAuData(file, &alert);
        break;
    case 2: {
        // The format chunk's length, then the data chunk's place, as a walk of the file gives them.
        const size_t formatSize = bytes.empty() ? 0 : std::min<size_t>(bytes[0], bytes.size() - 1);
        const std::span<const uint8_t> format = bytes.subspan(std::min<size_t>(1, bytes.size()), formatSize);
        sound = ImportWaveChunks(file, format, GetU16(bytes, 1 + formatSize), GetU32(bytes, 3 + formatSize), &alert);
        break;
    }
    default: {
        SoundFormat format;
        const Handle wave = ExportSoundToWave(file, &format, &alert);
        FuzzCheck((wave != 0) == (alert == 0));
        if (wave) {
            FuzzCheck(GetHandleSize(wave) == kWaveHeader + format.byteCount + (format.byteCount & 1));
            DisposeHandle(wave);
        }
        break;
    }
    }
    FuzzCheck((sound != 0) == (data[0] % 4 != 3 && alert == 0));
    if (sound)
        CheckStored(sound);
    if (sound && sound != file)
        DisposeHandle(sound);
    DisposeHandle(file);
    return 0;
}
