// The clock, the sound and music outputs, and the test switches: a clock that only tests move,
// and a sink that writes what the wave device would get into a WAV file.
#include "quicktime/dll/StandInMovies.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>

#include "quicktime/formats/SoundFiles.h"

namespace {

StandInOutputs g_outputs{};
bool g_testClock = false;
int64_t g_testMs = 0;
std::string g_sink;
std::deque<std::string> g_log;
constexpr size_t kLogLinesKept = 64;

// The samples at the movie's volume (8.8), as a device would play them: 8-bit unsigned about
// 128, 16-bit signed little-endian; wider samples are written as they are.
void ApplyVolume(std::vector<uint8_t>* samples, uint16_t bits, int16_t volume) {
    if (volume >= 0x100)
        return;
    const int32_t v = std::max<int32_t>(volume, 0);
    if (bits == 8) {
        for (uint8_t& s : *samples)
            s = static_cast<uint8_t>(128 + (int32_t(s) - 128) * v / 0x100);
    } else if (bits == 16) {
        for (size_t i = 0; i + 1 < samples->size(); i += 2) {
            const auto scaled = static_cast<uint16_t>(int16_t((*samples)[i] | (*samples)[i + 1] << 8) * v / 0x100);
            (*samples)[i] = uint8_t(scaled);
            (*samples)[i + 1] = uint8_t(scaled >> 8);
        }
    }
}

bool WriteSink(const StandInPcm& pcm, size_t fromByte, int16_t volume) {
    WavePcm wave{pcm.bits, pcm.channels, pcm.rate, 0, {}};
    wave.samples.assign(pcm.bytes.begin() + static_cast<std::ptrdiff_t>(std::min(fromByte, pcm.bytes.size())), pcm.bytes.end());
    ApplyVolume(&wave.samples, pcm.bits, volume);
    wave.frames = pcm.FrameBytes() ? static_cast<uint32_t>(wave.samples.size() / pcm.FrameBytes()) : 0;
    const std::vector<uint8_t> file = WaveFileOf(wave);
    std::FILE* f = std::fopen(g_sink.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

// Where a movie's sound starts, in bytes of its PCM, from its current time.
size_t PcmOffsetAt(const StandInMovie& movie, const StandInTrack& track) {
    const uint32_t frame = track.pcm.FrameBytes();
    if (frame == 0 || movie.timeScale == 0)
        return 0;
    const StandInTime since = StandInMovieTime(movie) - track.trackStart;
    if (since <= 0)
        return 0;
    const uint64_t frames = uint64_t(since) * track.pcm.rate / movie.timeScale;
    return static_cast<size_t>(std::min<uint64_t>(frames * frame, track.pcm.bytes.size() / frame * frame));
}

}  // namespace

void SetStandInOutputs(const StandInOutputs& outputs) { g_outputs = outputs; }

void StandInLog(const std::string& line) {
    g_log.push_back(line);
    if (g_log.size() > kLogLinesKept)
        g_log.pop_front();
    if (g_outputs.log)
        g_outputs.log(line);
}

std::vector<std::string> StandInLogLines() { return {g_log.begin(), g_log.end()}; }
const StandInOutputs& StandInMovieOutputs() { return g_outputs; }

int64_t StandInNowMs() {
    if (g_testClock || !g_outputs.nowMs)
        return g_testMs;
    return g_outputs.nowMs();
}

void SetStandInTestClock(bool on) { g_testClock = on; }
bool StandInTestClockOn() { return g_testClock; }
void AdvanceStandInTestClock(int64_t ms) { g_testMs += std::max<int64_t>(ms, 0); }
void SetStandInSoundSink(std::string path) { g_sink = std::move(path); }

void StartStandInSound(QtWord movieWord, StandInMovie* movie) {
    StopStandInSound(movieWord, movie);
    if (movie->rate <= 0 || IsStandInMovieDone(*movie))
        return;
    // One sound track and the music play; the clock keeps the time whether a device took them or not.
    for (const StandInTrack& track : movie->tracks) {
        if (track.mediaType != kStandInSound || !track.inserted || track.pcm.bytes.empty())
            continue;
        const size_t from = PcmOffsetAt(*movie, track);
        // One line a start, so that a test can count what played.
        StandInLog("sound: " + std::to_string((track.pcm.bytes.size() - std::min(from, track.pcm.bytes.size())) /
                                              std::max<uint32_t>(track.pcm.FrameBytes(), 1)) +
                   " frames at " + std::to_string(track.pcm.rate) + " Hz" + (g_sink.empty() ? "" : " to the sink"));
        if (!g_sink.empty())
            WriteSink(track.pcm, from, movie->volume);
        else if (g_outputs.playPcm && g_outputs.playPcm(movieWord, track.pcm, from) && g_outputs.setVolume)
            g_outputs.setVolume(movieWord, movie->volume);
        break;
    }
    if (!movie->music.empty() && g_outputs.playMusic && movie->timeScale) {
        const auto fromMs = static_cast<uint32_t>(StandInMovieTime(*movie) * 1000 / movie->timeScale);
        g_outputs.playMusic(movieWord, movie->music, fromMs);
    }
    movie->soundOn = true;
}

void SetStandInMovieVolume(QtWord movieWord, StandInMovie* movie, int16_t volume) {
    movie->volume = volume;
    if (movie->soundOn && g_outputs.setVolume)
        g_outputs.setVolume(movieWord, volume);
}

void StopStandInSound(QtWord movieWord, StandInMovie* movie) {
    if (!movie->soundOn)
        return;
    movie->soundOn = false;
    if (g_outputs.stopPcm)
        g_outputs.stopPcm(movieWord);
    if (g_outputs.stopMusic)
        g_outputs.stopMusic(movieWord);
}

void PresentStandInFrame(QtWord port, const StandInImage& image, const StandInBox& box, QtWord clip) {
    if (g_outputs.present)
        g_outputs.present(port, image, box, clip);
}
