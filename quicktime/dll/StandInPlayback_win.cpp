// The movie outputs on Windows: the tick clock, sound through waveOut, music through a MIDI
// stream (its ticks set to milliseconds), and the switches tests set in the environment:
// LOOM_QUICKTIME_CLOCK=test (a clock only tests move) and LOOM_QUICKTIME_SINK=<file.wav>.
#include <windows.h>

#include <mmsystem.h>

#include <map>

#include "quicktime/QtCalls.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInPorts.h"
#include "quicktime/dll/QtStandInRegions.h"
#include "quicktime/dll/StandInController.h"
#include "quicktime/dll/StandInMovies.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

struct WaveOut {
    HWAVEOUT device = nullptr;
    WAVEHDR header{};
    std::vector<uint8_t> bytes;
};
std::map<QtWord, WaveOut> g_waves;

struct MusicOut {
    HMIDISTRM stream = nullptr;
    MIDIHDR header{};
    std::vector<DWORD> words;
};
std::map<QtWord, MusicOut> g_music;

int64_t NowMs() { return static_cast<int64_t>(GetTickCount64()); }

void StopPcm(QtWord owner) {
    const auto it = g_waves.find(owner);
    if (it == g_waves.end())
        return;
    waveOutReset(it->second.device);
    waveOutUnprepareHeader(it->second.device, &it->second.header, sizeof(WAVEHDR));
    waveOutClose(it->second.device);
    g_waves.erase(it);
}

bool PlayPcm(QtWord owner, const StandInPcm& pcm, size_t fromByte) {
    StopPcm(owner);
    if (fromByte >= pcm.bytes.size() || StandInTestClockOn())
        return false;  // a device would not keep to the test's clock
    WAVEFORMATEX format{WAVE_FORMAT_PCM, pcm.channels, pcm.rate, pcm.rate * pcm.FrameBytes(),
                        static_cast<WORD>(pcm.FrameBytes()), pcm.bits, 0};
    WaveOut& out = g_waves[owner];
    if (waveOutOpen(&out.device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        g_waves.erase(owner);
        return false;  // no wave device: the clock alone times the movie
    }
    out.bytes.assign(pcm.bytes.begin() + static_cast<std::ptrdiff_t>(fromByte), pcm.bytes.end());
    out.header.lpData = reinterpret_cast<LPSTR>(out.bytes.data());
    out.header.dwBufferLength = static_cast<DWORD>(out.bytes.size());
    if (waveOutPrepareHeader(out.device, &out.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
        waveOutWrite(out.device, &out.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        StopPcm(owner);
        return false;
    }
    return true;
}

void SetVolume(QtWord owner, int16_t volume) {
    const auto it = g_waves.find(owner);
    if (it == g_waves.end())
        return;
    const DWORD level = volume <= 0 ? 0 : volume >= 0x100 ? 0xFFFF : DWORD(volume) * 0xFFFF / 0x100;
    waveOutSetVolume(it->second.device, level | level << 16);
}

void StopMusic(QtWord owner) {
    const auto it = g_music.find(owner);
    if (it == g_music.end())
        return;
    MusicOut& out = it->second;
    midiStreamStop(out.stream);
    midiOutReset(reinterpret_cast<HMIDIOUT>(out.stream));
    midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(out.stream), &out.header, sizeof(MIDIHDR));
    midiStreamClose(out.stream);
    g_music.erase(it);
}

// Short messages only, each as delta, stream id 0 and the packed event; one tick is a
// millisecond (1000 ticks to a quarter note of 1,000,000 microseconds).
bool PlayMusic(QtWord owner, std::span<const StandInMidiEvent> events, uint32_t fromMs) {
    StopMusic(owner);
    if (StandInTestClockOn())
        return false;  // a device would not keep to the test's clock
    MusicOut out;
    uint32_t last = fromMs;
    for (const StandInMidiEvent& e : events) {
        if (e.ms < fromMs || e.message.empty() || e.message.size() > 3 || e.message[0] < 0x80 || e.message[0] >= 0xF0)
            continue;
        DWORD packed = 0;
        for (size_t i = 0; i < e.message.size(); ++i)
            packed |= DWORD(e.message[i]) << (8 * i);
        out.words.insert(out.words.end(), {e.ms - last, 0, (DWORD(MEVT_SHORTMSG) << 24) | packed});
        last = e.ms;
    }
    if (out.words.empty())
        return false;
    UINT device = MIDI_MAPPER;
    if (midiStreamOpen(&out.stream, &device, 1, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return false;  // no MIDI device: the clock alone times the piece
    MIDIPROPTIMEDIV division{sizeof division, 1000};
    MIDIPROPTEMPO tempo{sizeof tempo, 1000000};
    midiStreamProperty(out.stream, reinterpret_cast<LPBYTE>(&division), MIDIPROP_SET | MIDIPROP_TIMEDIV);
    midiStreamProperty(out.stream, reinterpret_cast<LPBYTE>(&tempo), MIDIPROP_SET | MIDIPROP_TEMPO);
    MusicOut& kept = g_music[owner] = std::move(out);
    kept.header.lpData = reinterpret_cast<LPSTR>(kept.words.data());
    kept.header.dwBufferLength = kept.header.dwBytesRecorded = static_cast<DWORD>(kept.words.size() * sizeof(DWORD));
    if (midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(kept.stream), &kept.header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR ||
        midiStreamOut(kept.stream, &kept.header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR ||
        midiStreamRestart(kept.stream) != MMSYSERR_NOERROR) {
        StopMusic(owner);
        return false;
    }
    return true;
}

std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// A point of the screen (as events carry it) in a window port's own coordinates.
void ToPortPoint(QtWord port, int32_t* h, int32_t* v) {
    const QtPortRecord* record = StandInLivePort(reinterpret_cast<QtGrafPtr>(port));
    POINT p{*h, *v};
    if (record && record->window && ScreenToClient(record->window, &p)) {
        *h = p.x;
        *v = p.y;
    }
}

}  // namespace

void InstallStandInMovieOutputs() {
    StandInOutputs outputs{NowMs, PlayPcm, StopPcm, SetVolume, PlayMusic, StopMusic, PresentStandInFrameInPort,
                           StandInAviPictures, OpenStandInGif, ToPortPoint};
    InstallStandInVideoOutputs(&outputs);
    SetStandInOutputs(outputs);
    InstallStandInBarPainter();
    SetStandInTestClock(lstrcmpiA(Environment("LOOM_QUICKTIME_CLOCK").c_str(), "test") == 0);
    SetStandInSoundSink(Environment("LOOM_QUICKTIME_SINK"));
}

HRGN StandInClipTo(HDC dc, QtWord clip) {
    if (!clip)
        return nullptr;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const QtRect& r : StandInRegionRects(reinterpret_cast<QtRgnHandle>(clip))) {
        HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    ExtSelectClipRgn(dc, region, RGN_AND);
    return region;
}

void PresentStandInFrameInPort(QtWord port, const StandInImage& image, const StandInBox& box, QtWord clip) {
    HDC dc = StandInPortDC(reinterpret_cast<QtGrafPtr>(port));
    if (!dc || image.width <= 0 || image.height <= 0)
        return;
    const int saved = SaveDC(dc);
    HRGN region = StandInClipTo(dc, clip);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, box.left, box.top, box.Width(), box.Height(), 0, 0, image.width, image.height, image.bgra.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    RestoreDC(dc, saved);
    if (region)
        DeleteObject(region);
}

void ReleaseStandInMovieOutputs() {
    while (!g_waves.empty())
        StopPcm(g_waves.begin()->first);
    while (!g_music.empty())
        StopMusic(g_music.begin()->first);
}
