#include "tests/support/TestSounds_win.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "tests/support/TestMovieFiles_win.h"

using Bytes = std::vector<uint8_t>;

WavePcm Square(uint32_t frames, int amplitude) {
    WavePcm pcm;
    pcm.bitsPerSample = 8;
    pcm.channels = 1;
    pcm.sampleRate = 11025;
    pcm.frames = frames;
    for (uint32_t i = 0; i < frames; ++i)
        pcm.samples.push_back(static_cast<uint8_t>(128 + ((i / 10) % 2 ? amplitude : -amplitude)));
    return pcm;
}

Bytes StoredSnd(const WavePcm& pcm) {
    Bytes b = {0, 1, 0, 1, 0, 5, 0, 0, 0, 0x80, 0, 2, 0x80, 0x51, 0, 0, 0, 0, 0, 28, 0, 43, 0, 255, 0, 0, 0, 0};
    const auto n = static_cast<uint32_t>(pcm.samples.size());
    const uint8_t header[] = {0, 0, 0, 0, uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n),
                              0x2B, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60};
    b.insert(b.end(), std::begin(header), std::end(header));
    b.insert(b.end(), pcm.samples.begin(), pcm.samples.end());
    return b;
}

Bytes TwoSecondMidi() {
    Bytes track;
    for (uint8_t p : {60, 64, 67, 72}) {
        track.insert(track.end(), {0x00, 0x90, p, 100});
        track.insert(track.end(), {0x83, 0x60, 0x80, p, 0});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes b{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(uint8_t(track.size() >> shift));
    b.insert(b.end(), track.begin(), track.end());
    return b;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

double SinkAmplitude(const Bytes& wav) {
    if (wav.size() <= 44)
        return -1;
    const int bits = wav[34];
    double sum = 0;
    size_t n = 0;
    for (size_t i = 44; i + (bits / 8) <= wav.size(); i += bits / 8, ++n) {
        sum += bits == 8 ? std::abs(int(wav[i]) - 128) : std::abs(int(int16_t(wav[i] | wav[i + 1] << 8))) / 256.0;
    }
    return n ? sum / double(n) : -1;
}

Bytes WaveSamples(const Bytes& wav) {
    SoundFileInfo info;
    if (ReadWaveFile(wav, &info) != SoundRefusal::None)
        return {};
    return Bytes(info.data.begin(), info.data.end());
}

Bytes OrderedSamples(size_t n) {
    Bytes samples(n);
    for (size_t i = 0; i < n; ++i)
        samples[i] = uint8_t(40 + (i * 37) % 177);
    return samples;
}

long FirstStray(const Bytes& samples, const Bytes& input, int slack, int volume) {
    for (size_t i = 0; i < samples.size() && !input.empty(); ++i) {
        const int wanted = 128 + (int(input[i % input.size()]) - 128) * std::min(volume, 0x100) / 0x100;
        if (std::abs(int(samples[i]) - wanted) > slack)
            return long(i);
    }
    return -1;
}

int CountTemporaryMidFiles() {
    int count = 0;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA(TempPath("MID*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++count;
    while (FindNextFileA(find, &found));
    FindClose(find);
    return count;
}

StandInSoundSession::StandInSoundSession(const char* sinkName) {
    SetAppInstance(GetModuleHandleA(nullptr));
    FreeAlertSuppressionList();
    ready_ = EnsureMemRefs() && InitFolderTable();
    sink_ = TempPath(sinkName);
    DeleteFileA(sink_.c_str());
    SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", "test");
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", sink_.c_str());
    variant_.emplace(true);
}

StandInSoundSession::~StandInSoundSession() {
    variant_.reset();
    SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", nullptr);
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", nullptr);
    FreeAlertSuppressionList();
}
