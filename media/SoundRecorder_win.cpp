// Recording from the wave input into a temporary WAV file, then into a stored sound.
//
// Both buffers are queued, each under its own header, so the device always has one to fill
// while the other is written; each returned header's own byte count is what gets written.
#include "media/SoundRecorder.h"

#include <algorithm>
#include <cstring>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "media/RecorderRules.h"
#include "media/WaveInput.h"
#include "media/sounds/SoundResources.h"
#include "format/StackFile.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr uint32_t kStringNotSupportedTitle = 4154;
constexpr uint32_t kStringNotSupported = 4155;
constexpr uint32_t kStringCannotAscend = 4156;
constexpr uint32_t kStringRiffFailed = 4146;
constexpr uint32_t kStringFmtFailed = 4147;
constexpr uint32_t kStringAscendFailed = 4148;
constexpr uint32_t kStringDataFailed = 4149;
constexpr uint32_t kStringWaveInFailed = 4143;
constexpr uint32_t kStringOutOfMemory = 4144;

struct Recording {
    HWND dialog = nullptr;
    bool recording = false;
    bool stopping = true;
    int quality = 0;
    DWORD startTick = 0;
    int index = 1;  // 1: buffer A is being filled, 2: buffer B
    HWAVEIN device = nullptr;
    HMMIO file = nullptr;
    MMCKINFO riff{};
    MMCKINFO data{};
    Handle format = 0;
    Handle buffers[2] = {};  // locked while they exist, as the device writes into them
    Handle headers[2] = {};
    uint8_t* buffer[2] = {};
    WAVEHDR* header[2] = {};
    int queued = 0;
    char path[MAX_PATH] = {};
};

Recording g_rec;
RecorderSound g_sound;

void ShowError(uint32_t stringId) { ShowErrorBox(ResText(stringId).c_str()); }

void FreeLocked(Handle* h) {
    if (*h) {
        UnlockHandle(*h);
        DisposeHandleAndClear(h);
    }
}

void Requeue(int i) {
    const WaveInOps& ops = GetWaveInOps();
    WAVEHDR* header = g_rec.header[i];
    *header = {};
    header->lpData = reinterpret_cast<LPSTR>(g_rec.buffer[i]);
    header->dwBufferLength = kRecorderBufferBytes;
    ops.prepareHeader(g_rec.device, header, sizeof(WAVEHDR));
    if (ops.addBuffer(g_rec.device, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR)
        ++g_rec.queued;
}

bool Fail(uint32_t stringId) {
    if (stringId)
        ShowError(stringId);
    CloseRecording();
    return false;
}

// The finished file read back and converted; the temporary file goes in every case.
void FinishFile() {
    const WaveInOps& ops = GetWaveInOps();
    if (g_rec.file) {
        if (mmioAscend(g_rec.file, &g_rec.data, 0) != MMSYSERR_NOERROR)
            ShowError(kStringCannotAscend);
        if (mmioAscend(g_rec.file, &g_rec.riff, 0) != MMSYSERR_NOERROR)
            ShowError(kStringCannotAscend);
        mmioClose(g_rec.file, 0);
        g_rec.file = nullptr;
    }
    if (g_rec.device) {
        ops.close(g_rec.device);
        g_rec.device = nullptr;
    }
    Handle image = 0;
    if (ReadFilePathToHandle(g_rec.path, &image, 0) == kFileOk && image) {
        const Handle sound = ImportWaveData(image);
        if (sound != image)
            DisposeHandle(image);
        if (sound) {
            ClearRecorderSoundData();
            g_sound.data = sound;
            SetRecorderSoundType(kSnd);  // a recording after a MIDI sound is no MIDI sound
            g_sound.isFile = 0;
        }
    }
    CloseRecording();
}

}  // namespace

RecorderSound& CurrentRecorderSound() { return g_sound; }

void SetRecorderSoundType(uint32_t type) {
    constexpr uint16_t kMidiFlag = 4;
    g_sound.type = type;
    g_sound.flags = static_cast<uint16_t>(type == kMidi ? (g_sound.flags | kMidiFlag) : (g_sound.flags & ~kMidiFlag));
}

void ClearRecorderSoundData() {
    DisposeHandleAndClear(&g_sound.data);
    g_sound.id = 0;
    g_sound.storeFlags = 0;
}

int RecordingQualityFromKeys() {
    if (GetKeyState(VK_SHIFT) < 0)
        return 1;
    return GetKeyState(VK_CONTROL) < 0 ? 2 : 0;
}

WAVEFORMATEX RecordingFormat(int quality, WORD deviceChannels) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.wBitsPerSample = 8;
    f.nChannels = quality == 2 && deviceChannels > 0 ? deviceChannels : 1;
    f.nSamplesPerSec = quality == 0 ? 11025 : 22050;
    f.nBlockAlign = f.nChannels;
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nChannels;
    return f;
}

bool StartRecording(HWND dialog, int quality) {
    CloseRecording();
    const WaveInOps& ops = GetWaveInOps();
    g_rec.dialog = dialog;
    g_rec.quality = quality;
    if (!MakeTempFileName("LMS", g_rec.path, sizeof g_rec.path))
        return Fail(kStringSoundFileFailed);

    WAVEINCAPSA caps{};
    if (ops.getDevCaps(WAVE_MAPPER, &caps, sizeof caps) != MMSYSERR_NOERROR || !(caps.dwFormats & WAVE_FORMAT_1M08)) {
        KillTimer(dialog, kRecorderMeterTimer);
        CloseRecording();
        OwnedMessageBox(dialog, ResText(kStringNotSupported).c_str(), ResText(kStringNotSupportedTitle).c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    g_rec.file = mmioOpenA(g_rec.path, nullptr, MMIO_CREATE | MMIO_WRITE);
    if (!g_rec.file)
        return Fail(kStringSoundFileFailed);
    g_rec.riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioCreateChunk(g_rec.file, &g_rec.riff, MMIO_CREATERIFF) != MMSYSERR_NOERROR)
        return Fail(kStringRiffFailed);
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    fmt.cksize = 16;
    if (mmioCreateChunk(g_rec.file, &fmt, 0) != MMSYSERR_NOERROR)
        return Fail(kStringFmtFailed);
    g_rec.format = NewHandle(sizeof(WAVEFORMATEX));
    if (!g_rec.format)
        return Fail(0);
    auto* format = reinterpret_cast<WAVEFORMATEX*>(LockHandle(g_rec.format));
    *format = RecordingFormat(quality, caps.wChannels);
    if (mmioWrite(g_rec.file, reinterpret_cast<const char*>(format), 16) != 16)
        return Fail(kStringFmtFailed);
    if (mmioAscend(g_rec.file, &fmt, 0) != MMSYSERR_NOERROR)
        return Fail(kStringAscendFailed);
    g_rec.data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioCreateChunk(g_rec.file, &g_rec.data, 0) != MMSYSERR_NOERROR)
        return Fail(kStringDataFailed);

    if (ops.open(&g_rec.device, WAVE_MAPPER, format, reinterpret_cast<DWORD_PTR>(dialog), 0, CALLBACK_WINDOW) !=
        MMSYSERR_NOERROR) {
        g_rec.device = nullptr;
        return Fail(kStringWaveInFailed);
    }
    for (int i = 0; i < 2; ++i) {
        g_rec.buffers[i] = NewHandle(kRecorderBufferBytes);
        g_rec.headers[i] = NewHandle(sizeof(WAVEHDR));
        if (!g_rec.buffers[i] || !g_rec.headers[i])
            return Fail(kStringOutOfMemory);
        g_rec.buffer[i] = LockHandle(g_rec.buffers[i]);
        g_rec.header[i] = reinterpret_cast<WAVEHDR*>(LockHandle(g_rec.headers[i]));
        FillBytes(g_rec.buffer[i], kRecorderUnfilled, kRecorderBufferBytes);
    }
    g_rec.recording = true;
    SetCapture(dialog);
    g_rec.stopping = false;
    g_rec.index = 1;
    Requeue(0);
    Requeue(1);
    g_rec.startTick = GetTickCount();
    ops.start(g_rec.device);
    SetTimer(dialog, kRecorderMeterTimer, kRecorderMeterPeriodMs, nullptr);
    return true;
}

bool RecorderBufferDone(HWND, WAVEHDR* header) {
    const int i = header && header == g_rec.header[0] ? 0 : header && header == g_rec.header[1] ? 1 : -1;
    if (i < 0 || !g_rec.device)
        return false;  // a header of a recording already closed
    const WaveInOps& ops = GetWaveInOps();
    ops.unprepareHeader(g_rec.device, header, sizeof(WAVEHDR));
    --g_rec.queued;
    // Never past the buffer, whatever count the driver reports.
    const DWORD recorded = std::min<DWORD>(header->dwBytesRecorded, kRecorderBufferBytes);
    // A short write (a full disk) still leaves a valid file once the chunks are closed.
    if (g_rec.file && recorded > 0)
        mmioWrite(g_rec.file, header->lpData, LONG(recorded));
    FillBytes(header->lpData, kRecorderUnfilled, kRecorderBufferBytes);
    g_rec.index = g_rec.index == 1 ? 2 : 1;
    if (!g_rec.stopping) {
        Requeue(i);
        return false;
    }
    if (g_rec.queued > 0)
        return false;
    FinishFile();
    return true;
}

int RecorderLevel() {
    if (!g_rec.recording)
        return 0;
    static constexpr double kBytesPerMs[] = {11.025, 22.05, 44.1};
    const DWORD elapsed = GetTickCount() - g_rec.startTick;
    const uint32_t position = uint32_t(elapsed * kBytesPerMs[g_rec.quality]) % kRecorderBufferBytes;
    return MeterLevel({g_rec.buffer[g_rec.index == 1 ? 0 : 1], kRecorderBufferBytes}, position);
}

bool IsRecording() { return g_rec.recording; }

void CloseRecording() {
    const WaveInOps& ops = GetWaveInOps();
    if (g_rec.recording && g_rec.dialog)
        KillTimer(g_rec.dialog, kRecorderMeterTimer);
    if (g_rec.file) {
        if (g_rec.recording)
            mmioFlush(g_rec.file, 0);
        mmioClose(g_rec.file, 0);
        g_rec.file = nullptr;
    }
    if (g_rec.device) {
        if (g_rec.queued > 0) {
            ops.reset(g_rec.device);
            // The headers come back as messages: taken out of the queue before they are freed.
            MSG msg;
            while (g_rec.dialog && PeekMessageA(&msg, g_rec.dialog, MM_WIM_DATA, MM_WIM_DATA, PM_REMOVE)) {
            }
        }
        for (WAVEHDR* header : g_rec.header)
            if (header && (header->dwFlags & WHDR_PREPARED))
                ops.unprepareHeader(g_rec.device, header, sizeof(WAVEHDR));
        ops.close(g_rec.device);
        g_rec.device = nullptr;
    }
    g_rec.queued = 0;
    FreeLocked(&g_rec.format);
    for (int i = 0; i < 2; ++i) {
        FreeLocked(&g_rec.buffers[i]);
        FreeLocked(&g_rec.headers[i]);
        g_rec.buffer[i] = nullptr;
        g_rec.header[i] = nullptr;
    }
    if (g_rec.recording && GetCapture() == g_rec.dialog)
        ReleaseCapture();
    g_rec.recording = false;
    g_rec.stopping = true;
    if (g_rec.path[0]) {
        DeleteFilePath(g_rec.path);
        g_rec.path[0] = 0;
    }
}

void EndRecordingForStop() {
    if (g_rec.recording) {
        if (g_rec.dialog)
            KillTimer(g_rec.dialog, kRecorderMeterTimer);
        if (g_rec.device)
            GetWaveInOps().reset(g_rec.device);
        ReleaseCapture();
    }
    g_rec.recording = false;
    g_rec.stopping = true;
}

std::string_view RecorderSoundName() { return g_sound.name; }
