// Movie files and data by kind.
#include "quicktime/dll/StandInMovieFiles.h"

#include <cstdio>
#include <cstring>

#include "quicktime/dll/StandInMovieEdits.h"
#include "quicktime/formats/SoundFiles.h"

namespace {

constexpr size_t kMaxMovieFile = 256u << 20;  // read whole: sound, MIDI and movie files

bool Starts(std::span<const uint8_t> b, size_t at, const char* tag) {
    const size_t n = std::strlen(tag);
    return b.size() >= at + n && std::memcmp(b.data() + at, tag, n) == 0;
}

int32_t OpenSound(std::span<const uint8_t> data, std::unique_ptr<StandInMovie>* out) {
    SoundFileInfo info;
    if (ReadSoundFile(data, &info) != SoundRefusal::None)
        return kStandInCannotOpen;
    WavePcm wave = ToWavePcm(info);
    StandInPcm pcm;
    pcm.channels = wave.channels;
    pcm.bits = wave.bitsPerSample;
    pcm.rate = wave.sampleRate;
    pcm.bytes = std::move(wave.samples);
    if (pcm.FrameBytes() == 0 || pcm.rate == 0)
        return kStandInBadFormat;
    *out = StandInSoundMovie(std::move(pcm));
    return kQtNoErr;
}

}  // namespace

bool StandInFileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

bool ReadStandInFile(const std::string& path, size_t limit, std::vector<uint8_t>* out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out->clear();
    uint8_t buffer[65536];
    bool ok = true;
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        if (out->size() + n > limit) {
            ok = false;
            break;
        }
        out->insert(out->end(), buffer, buffer + n);
    }
    ok = ok && !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteStandInFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int32_t OpenStandInMovieData(std::span<const uint8_t> data, std::unique_ptr<StandInMovie>* out) {
    if (Starts(data, 0, "RIFF") && Starts(data, 8, "WAVE"))
        return OpenSound(data, out);
    if (Starts(data, 0, ".snd"))
        return OpenSound(data, out);
    if (SoundFileInfo info; ReadAiffFile(data, &info) != SoundRefusal::NotThisKind)
        return OpenSound(data, out);
    return kStandInCannotOpen;
}

int32_t OpenStandInMovieFile(const std::string& path, std::unique_ptr<StandInMovie>* out) {
    std::vector<uint8_t> head;
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f)
            return kStandInFileNotFound;
        head.resize(16);
        head.resize(std::fread(head.data(), 1, head.size(), f));
        std::fclose(f);
    }
    const StandInOutputs& platform = StandInMovieOutputs();
    if (Starts(head, 0, "RIFF") && Starts(head, 8, "AVI "))
        return platform.openAvi ? platform.openAvi(path, out) : kStandInCannotOpen;
    if (Starts(head, 0, "GIF8"))
        return platform.openGif ? platform.openGif(path, out) : kStandInCannotOpen;
    std::vector<uint8_t> data;
    if (!ReadStandInFile(path, kMaxMovieFile, &data))
        return kStandInCannotOpen;
    return OpenStandInMovieData(data, out);
}
