// WAV files walked as the multimedia file services walk them, over the handle's bytes as a
// memory file; and the sound conversions with their alerts shown.
#include "media/sounds/SoundResources.h"

#include <windows.h>
#include <mmsystem.h>

#include "core/ui/Alerts.h"

namespace {

struct MmioCloser {
    HMMIO file;
    ~MmioCloser() { mmioClose(file, 0); }
};

// The conversion run, and its alert shown when it fails.
template <typename Convert>
Handle Shown(Convert convert) {
    uint32_t alert = 0;
    const Handle result = convert(&alert);
    if (!result && alert)
        ShowAlert(alert);
    return result;
}

// The "fmt " chunk read into its own handle and where the "data" chunk lies; false with the
// alert when a descent or the read fails.
bool FindWaveChunks(Handle file, Handle* formatChunk, uint64_t* dataOffset, uint64_t* dataSize, uint32_t* alert) {
    *alert = kAlertUnreadableSound;
    HandleLock lock(file);
    const uint32_t size = GetHandleSize(file);
    if (!lock || size == 0)
        return false;
    MMIOINFO info = {};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = reinterpret_cast<HPSTR>(lock.get());
    info.cchBuffer = static_cast<LONG>(size);
    const HMMIO mmio = mmioOpenA(nullptr, &info, MMIO_READWRITE);
    if (!mmio)
        return false;
    MmioCloser closer{mmio};
    MMCKINFO riff = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return false;
    MMCKINFO chunk = {};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(mmio, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return false;
    // A chunk size is the file's word: no larger than the file, and at least the PCM fields.
    if (chunk.cksize < 16 || chunk.cksize > size)
        return false;
    const Handle format = NewHandle(chunk.cksize);
    if (!format) {
        *alert = kAlertSoundNoMemory;
        return false;
    }
    ScopedHandle owner(format);
    {
        HandleLock to(format);
        const auto want = static_cast<LONG>(chunk.cksize);
        if (!to || mmioRead(mmio, reinterpret_cast<HPSTR>(to.get()), want) != want)
            return false;
    }
    if (mmioAscend(mmio, &chunk, 0) != MMSYSERR_NOERROR)
        return false;
    chunk = {};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(mmio, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return false;
    *formatChunk = owner.release();
    *dataOffset = chunk.dwDataOffset;
    *dataSize = chunk.cksize;
    *alert = 0;
    return true;
}

}  // namespace

Handle ImportWaveData(Handle file, uint32_t* alert) {
    Handle format = 0;
    uint64_t dataOffset = 0;
    uint64_t dataSize = 0;
    if (!FindWaveChunks(file, &format, &dataOffset, &dataSize, alert))
        return 0;
    ScopedHandle owner(format);
    HandleLock lock(format);
    return ImportWaveChunks(file, lock.bytes(), dataOffset, dataSize, alert);
}

Handle BuildSndResource(Handle data, uint32_t dataOffset, const SoundFormat& format) {
    return Shown([&](uint32_t* alert) { return BuildSndResource(data, dataOffset, format, alert); });
}

uint32_t ReadSndHeader(Handle sound, SoundFormat* format) {
    uint32_t alert = 0;
    const uint32_t dataOffset = ReadSndHeader(sound, format, &alert);
    if (dataOffset == 0 && alert)
        ShowAlert(alert);
    return dataOffset;
}

Handle WriteWaveFile(Handle data, uint32_t dataOffset, const SoundFormat& format) {
    return Shown([&](uint32_t* alert) { return WriteWaveFile(data, dataOffset, format, alert); });
}

Handle ExportSoundToWave(Handle sound, SoundFormat* format) {
    return Shown([&](uint32_t* alert) { return ExportSoundToWave(sound, format, alert); });
}

Handle ImportWaveData(Handle file) {
    return Shown([&](uint32_t* alert) { return ImportWaveData(file, alert); });
}

Handle ImportAiffData(Handle file) {
    return Shown([&](uint32_t* alert) { return ImportAiffData(file, alert); });
}

Handle ImportAuData(Handle file) {
    return Shown([&](uint32_t* alert) { return ImportAuData(file, alert); });
}
