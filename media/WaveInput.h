// The wave input device the recorder records from: winmm's, or our stand-in device.
#pragma once

#include <windows.h>

#include <mmsystem.h>

// The eight wave input calls, with winmm's signatures.
struct WaveInOps {
    MMRESULT(WINAPI* getDevCaps)(UINT_PTR device, LPWAVEINCAPSA caps, UINT size);
    MMRESULT(WINAPI* open)(LPHWAVEIN out, UINT device, LPCWAVEFORMATEX format, DWORD_PTR callback,
                           DWORD_PTR instance, DWORD flags);
    MMRESULT(WINAPI* close)(HWAVEIN device);
    MMRESULT(WINAPI* prepareHeader)(HWAVEIN device, LPWAVEHDR header, UINT size);
    MMRESULT(WINAPI* unprepareHeader)(HWAVEIN device, LPWAVEHDR header, UINT size);
    MMRESULT(WINAPI* addBuffer)(HWAVEIN device, LPWAVEHDR header, UINT size);
    MMRESULT(WINAPI* start)(HWAVEIN device);
    MMRESULT(WINAPI* reset)(HWAVEIN device);
};

// The library named by LOOM_WAVEIN when it is set ("standin": "loomwavein.dll" beside the
// plug-in; anything else a path), else winmm.dll; looked up again whenever the variable changes.
// A call the library lacks answers MMSYSERR_NODRIVER.
const WaveInOps& GetWaveInOps();
