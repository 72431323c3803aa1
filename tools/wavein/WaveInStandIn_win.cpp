// A wave input device for machines without one (Wine on Xvfb has none): winmm's eight wave
// input calls over an input file, with the capabilities the environment names (CMakeLists.txt).
// One device is open at a time; it reports to its callback window only, as the recorder asks.
// The calls are winmm's own declarations, exported from here rather than imported.
#define _WINMM_
#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr DWORD kAllFormats = 0xFFF;
constexpr UINT kTickMs = 10;

struct Device {
    HWND window = nullptr;
    WAVEFORMATEX format{};
    std::deque<WAVEHDR*> queue;
    bool started = false;
    DWORD startTick = 0;
    uint64_t produced = 0;  // bytes the device has taken in since it started
    std::vector<uint8_t> input;
    UINT_PTR timer = 0;
};

Device* g_device = nullptr;

std::string Env(const char* name) {
    char buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool HasDevice() { return Env("LOOM_WAVEIN_FORMATS") != "none"; }

DWORD Formats() {
    const std::string text = Env("LOOM_WAVEIN_FORMATS");
    return text.empty() ? kAllFormats : static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0));
}

WORD Channels() {
    const std::string text = Env("LOOM_WAVEIN_CHANNELS");
    return text.empty() ? 1 : static_cast<WORD>(std::strtoul(text.c_str(), nullptr, 0));
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// The sample bytes of the "data" chunk of a WAV file; empty when there is none.
std::vector<uint8_t> ReadInput() {
    const std::string path = Env("LOOM_WAVEIN_INPUT");
    std::vector<uint8_t> file;
    if (FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            file.insert(file.end(), chunk, chunk + n);
        std::fclose(f);
    }
    for (size_t at = 12; at + 8 <= file.size();) {
        const uint32_t size = U32(file, at + 4);
        if (std::memcmp(&file[at], "data", 4) == 0) {
            const size_t end = std::min<size_t>(file.size(), at + 8 + size);
            return {file.begin() + at + 8, file.begin() + end};
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

void Return(WAVEHDR* header) {
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    PostMessageA(g_device->window, MM_WIM_DATA, reinterpret_cast<WPARAM>(g_device), reinterpret_cast<LPARAM>(header));
}

// Takes in what the elapsed time at the format's rate asks for; a full buffer goes back at
// once, and bytes that find no buffer are lost, as a real device loses them.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Device* d = g_device;
    if (!d || !d->started)
        return;
    const uint64_t due = uint64_t(GetTickCount() - d->startTick) * d->format.nAvgBytesPerSec / 1000;
    while (d->produced < due) {
        if (d->queue.empty()) {
            d->produced = due;
            break;
        }
        WAVEHDR* header = d->queue.front();
        const uint64_t take = std::min<uint64_t>(due - d->produced, header->dwBufferLength - header->dwBytesRecorded);
        auto* to = reinterpret_cast<uint8_t*>(header->lpData) + header->dwBytesRecorded;
        for (uint64_t i = 0; i < take; ++i)
            to[i] = d->input.empty() ? 128 : d->input[(d->produced + i) % d->input.size()];
        header->dwBytesRecorded += static_cast<DWORD>(take);
        d->produced += take;
        if (header->dwBytesRecorded == header->dwBufferLength) {
            d->queue.pop_front();
            Return(header);
        }
    }
}

Device* Open(HWAVEIN device) { return reinterpret_cast<Device*>(device) == g_device && g_device ? g_device : nullptr; }

}  // namespace

extern "C" {

__declspec(dllexport) MMRESULT WINAPI waveInGetDevCapsA(UINT_PTR, LPWAVEINCAPSA caps, UINT size) {
    if (!HasDevice())
        return MMSYSERR_BADDEVICEID;
    if (!caps || size < sizeof(WAVEINCAPSA))
        return MMSYSERR_INVALPARAM;
    *caps = {};
    caps->wMid = 1;
    caps->wPid = 1;
    caps->vDriverVersion = 0x100;
    std::strcpy(caps->szPname, "Pageloom stand-in input");
    caps->dwFormats = Formats();
    caps->wChannels = Channels();
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI waveInOpen(LPHWAVEIN out, UINT, LPCWAVEFORMATEX format, DWORD_PTR callback,
                                                 DWORD_PTR, DWORD flags) {
    if (!HasDevice())
        return MMSYSERR_BADDEVICEID;
    if (!format || format->wFormatTag != WAVE_FORMAT_PCM || format->wBitsPerSample != 8 || format->nChannels < 1 ||
        format->nChannels > Channels() || format->nBlockAlign != format->nChannels)
        return WAVERR_BADFORMAT;
    if (flags & WAVE_FORMAT_QUERY)
        return MMSYSERR_NOERROR;
    if ((flags & CALLBACK_TYPEMASK) != CALLBACK_WINDOW || !IsWindow(reinterpret_cast<HWND>(callback)))
        return MMSYSERR_INVALPARAM;
    if (g_device)
        return MMSYSERR_ALLOCATED;
    g_device = new Device;
    g_device->window = reinterpret_cast<HWND>(callback);
    g_device->format = *format;
    g_device->format.cbSize = 0;
    g_device->input = ReadInput();
    if (out)
        *out = reinterpret_cast<HWAVEIN>(g_device);
    PostMessageA(g_device->window, MM_WIM_OPEN, reinterpret_cast<WPARAM>(g_device), 0);
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI waveInClose(HWAVEIN device) {
    Device* d = Open(device);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!d->queue.empty())
        return WAVERR_STILLPLAYING;
    if (d->timer)
        KillTimer(nullptr, d->timer);
    PostMessageA(d->window, MM_WIM_CLOSE, reinterpret_cast<WPARAM>(d), 0);
    delete d;
    g_device = nullptr;
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI waveInPrepareHeader(HWAVEIN device, LPWAVEHDR header, UINT size) {
    if (!Open(device))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(WAVEHDR) || !header->lpData)
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI waveInUnprepareHeader(HWAVEIN device, LPWAVEHDR header, UINT size) {
    if (!Open(device))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI waveInAddBuffer(HWAVEIN device, LPWAVEHDR header, UINT size) {
    Device* d = Open(device);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    d->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI waveInStart(HWAVEIN device) {
    Device* d = Open(device);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    if (!d->started) {
        d->started = true;
        d->startTick = GetTickCount();
        d->produced = 0;
        d->timer = SetTimer(nullptr, 0, kTickMs, Tick);
    }
    return MMSYSERR_NOERROR;
}

// Stops and hands back every queued buffer, the one being filled with what it holds.
__declspec(dllexport) MMRESULT WINAPI waveInReset(HWAVEIN device) {
    Device* d = Open(device);
    if (!d)
        return MMSYSERR_INVALHANDLE;
    Tick(nullptr, 0, 0, 0);
    d->started = false;
    if (d->timer)
        KillTimer(nullptr, d->timer);
    d->timer = 0;
    while (!d->queue.empty()) {
        WAVEHDR* header = d->queue.front();
        d->queue.pop_front();
        Return(header);
    }
    return MMSYSERR_NOERROR;
}

}  // extern "C"
