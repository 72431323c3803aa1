#include "media/WaveInput.h"

#include <string>

#include "core/files/FileSlots.h"

namespace {

constexpr char kStandInName[] = "loomwavein.dll";

MMRESULT WINAPI NoCaps(UINT_PTR, LPWAVEINCAPSA, UINT) { return MMSYSERR_NODRIVER; }
MMRESULT WINAPI NoOpen(LPHWAVEIN, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) { return MMSYSERR_NODRIVER; }
MMRESULT WINAPI NoDevice(HWAVEIN) { return MMSYSERR_NODRIVER; }
MMRESULT WINAPI NoHeader(HWAVEIN, LPWAVEHDR, UINT) { return MMSYSERR_NODRIVER; }

WaveInOps g_ops{NoCaps, NoOpen, NoDevice, NoHeader, NoHeader, NoHeader, NoDevice, NoDevice};
std::string g_source = "?";  // what g_ops were taken from

std::string LibraryPath(const std::string& wanted) {
    if (wanted.empty())
        return "winmm.dll";
    if (wanted != "standin")
        return wanted;
    char folder[MAX_PATH] = {};
    GetModuleFolder(folder, sizeof folder);
    return std::string(folder) + "\\" + kStandInName;
}

template <typename F>
void Take(HMODULE library, const char* name, F* slot, F fallback) {
    FARPROC found = library ? GetProcAddress(library, name) : nullptr;
    *slot = found ? reinterpret_cast<F>(reinterpret_cast<void*>(found)) : fallback;
}

}  // namespace

const WaveInOps& GetWaveInOps() {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("LOOM_WAVEIN", value, sizeof value);
    const std::string wanted = n < sizeof value ? std::string(value, n) : std::string();
    if (wanted == g_source)
        return g_ops;
    g_source = wanted;
    // Kept loaded for the run: a device's timer may still call into it.
    HMODULE library = LoadLibraryA(LibraryPath(wanted).c_str());
    Take(library, "waveInGetDevCapsA", &g_ops.getDevCaps, NoCaps);
    Take(library, "waveInOpen", &g_ops.open, NoOpen);
    Take(library, "waveInClose", &g_ops.close, NoDevice);
    Take(library, "waveInPrepareHeader", &g_ops.prepareHeader, NoHeader);
    Take(library, "waveInUnprepareHeader", &g_ops.unprepareHeader, NoHeader);
    Take(library, "waveInAddBuffer", &g_ops.addBuffer, NoHeader);
    Take(library, "waveInStart", &g_ops.start, NoDevice);
    Take(library, "waveInReset", &g_ops.reset, NoDevice);
    return g_ops;
}
