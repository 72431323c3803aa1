// Movie files and data by kind.
#include "quicktime/dll/StandInMovies.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/StandInMidi.h"
#include "quicktime/dll/StandInMovieVideo.h"
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/SoundFiles.h"
#include "quicktime/formats/SoundTrack.h"

namespace {

constexpr size_t kMaxMovieFile = 256u << 20;  // read whole: sound, MIDI and movie files

bool Starts(std::span<const uint8_t> b, size_t at, const char* tag) {
    const size_t n = std::strlen(tag);
    return b.size() >= at + n && std::memcmp(b.data() + at, tag, n) == 0;
}

int32_t OpenSound(std::span<const uint8_t> data, std::unique_ptr<StandInMovie>* out) {
    SoundFileInfo info;
    if (ReadSoundFile(data, &info) != SoundRefusal::None)
        return kQtCantFindHandler;
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

uint32_t Be32(std::span<const uint8_t> b, size_t at) {
    return b.size() < at + 4 ? 0 : uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
uint16_t Be16(std::span<const uint8_t> b, size_t at) { return b.size() < at + 2 ? 0 : uint16_t(b[at] << 8 | b[at + 1]); }

// A stored description (big-endian) in the machine's order, as callers read descriptions:
// the header, and the fields of sound and image descriptions.
std::vector<uint8_t> NativeDescription(uint32_t mediaType, std::span<const uint8_t> stored) {
    std::vector<uint8_t> out(stored.begin(), stored.end());
    const auto put32 = [&](size_t at, uint32_t v) {
        if (out.size() >= at + 4)
            std::memcpy(out.data() + at, &v, 4);
    };
    const auto put16 = [&](size_t at, uint16_t v) {
        if (out.size() >= at + 2)
            std::memcpy(out.data() + at, &v, 2);
    };
    const auto swap32 = [&](size_t at) { put32(at, Be32(stored, at)); };
    const auto swap16 = [&](size_t at) { put16(at, Be16(stored, at)); };
    for (size_t at : {0, 4, 8})
        swap32(at);
    swap16(12);
    swap16(14);
    if (mediaType == kStandInSound && out.size() >= sizeof(QtSoundDescription)) {
        for (size_t at : {16, 18, 24, 26, 28, 30})
            swap16(at);
        swap32(20);
        swap32(32);
    } else if (mediaType == kStandInVideo && out.size() >= sizeof(QtImageDescription)) {
        for (size_t at : {16, 18, 32, 34, 48, 82, 84})
            swap16(at);
        for (size_t at : {20, 24, 28, 36, 40, 44})
            swap32(at);
    }
    return out;
}

// The PCM of a sound track whose samples the stand-in plays.
void ReadTrackPcm(std::span<const uint8_t> file, const MovieTrack& stored, StandInTrack* track) {
    WavePcm wave;
    if (MovieSoundPcm(file, stored, &wave, kMaxMovieFile) != SoundRefusal::None)
        return;
    track->pcm.channels = wave.channels;
    track->pcm.bits = wave.bitsPerSample;
    track->pcm.rate = wave.sampleRate;
    track->pcm.bytes = std::move(wave.samples);
}

// The file's bytes, held while its pictures are: those given when the caller hands them over,
// else a copy.
using SharedBytes = std::shared_ptr<const std::vector<uint8_t>>;

int32_t OpenMovie(std::span<const uint8_t> data, SharedBytes owned, std::unique_ptr<StandInMovie>* out) {
    MovieFileInfo info;
    if (ReadMovieFile(data, &info) != MovieRefusal::None)
        return kQtCantFindHandler;
    auto movie = std::make_unique<StandInMovie>();
    movie->timeScale = StandInScale(info.timeScale);
    const MovieBox box = MovieBoxOf(info);
    movie->natural = {box.left, box.top, box.right, box.bottom};
    movie->preferredRate = info.rate;
    movie->volume = static_cast<int16_t>(info.volume);
    for (const MovieTrack& stored : info.tracks) {
        StandInTrack track;
        track.mediaType = stored.mediaType;
        track.mediaScale = stored.mediaTimeScale ? StandInScale(stored.mediaTimeScale) : movie->timeScale;
        for (const MovieTimeToSample& run : stored.timeToSample)
            AddStandInSampleRun(&track, run.count, run.duration);
        for (const MovieSampleDescription& d : stored.descriptions)
            track.descriptions.push_back(NativeDescription(stored.mediaType, d.bytes));
        track.width = stored.width >> 16;
        track.height = stored.height >> 16;
        track.volume = static_cast<int16_t>(stored.volume);
        track.inserted = true;
        // Leading empty edits delay the track; the first edit with media shows it from its time.
        for (const MovieEdit& edit : stored.edits) {
            if (edit.mediaTime != -1) {
                track.mediaStart = edit.mediaTime;
                break;
            }
            track.trackStart = std::min<StandInTime>(track.trackStart + edit.duration, INT32_MAX);
        }
        if (track.mediaType == kStandInSound)
            ReadTrackPcm(data, stored, &track);
        if (track.mediaType == kStandInVideo && !movie->pictures) {
            SetStandInDisplayOrder(stored, &track);
            if (!owned)
                owned = std::make_shared<const std::vector<uint8_t>>(data.begin(), data.end());
            movie->pictures = NewStandInMoviePictures(owned, stored, movie->natural.Width(), movie->natural.Height());
        }
        movie->tracks.push_back(std::move(track));
    }
    for (const MovieUserData& item : info.userData)
        movie->userData.emplace_back(item.type, std::vector<uint8_t>(item.data.begin(), item.data.end()));
    // The stated duration stands, whatever of it the stand-in can play.
    movie->duration = static_cast<StandInTime>(std::min<uint64_t>(info.duration, INT32_MAX));
    if (movie->timeScale != info.timeScale)  // a scale out of bounds: the duration as its tracks say
        RecomputeStandInDuration(movie.get());
    AddStandInMusic(data, info, movie.get());
    *out = std::move(movie);
    return kQtNoErr;
}

// --- AVI files: the tracks from the chunks, the frames from the platform ---

constexpr size_t kMaxAviSoundBytes = 256u << 20;  // the rest stays silent

uint32_t OsTypeOfFourCC(uint32_t fcc) {
    return (fcc & 0xFF) << 24 | ((fcc >> 8) & 0xFF) << 16 | ((fcc >> 16) & 0xFF) << 8 | fcc >> 24;
}

std::vector<uint8_t> AviImageDescription(const AviStream& stream, const AviPictureFormat& format) {
    QtImageDescription d{};
    d.idSize = sizeof d;
    d.cType = OsTypeOfFourCC(stream.handler ? stream.handler : format.compression);
    if ((d.cType & 0xFFFF0000) == QtFourCC("iv\0\0"))
        d.cType &= ~0x20200000u;  // Indeo as QuickTime names it: 'IV32', 'IV41', ...
    if (format.compression == kAviFramesRgb)
        d.cType = QtFourCC("raw ");
    else if (format.compression == kAviFramesRle8 || format.compression == kAviFramesRle4)
        d.cType = QtFourCC("WRLE");
    d.dataRefIndex = 1;
    d.width = static_cast<int16_t>(format.width);
    d.height = static_cast<int16_t>(std::abs(format.height));
    d.hRes = d.vRes = 72 << 16;
    d.frameCount = 1;
    d.depth = static_cast<int16_t>(format.bitCount);
    d.clutId = -1;
    std::vector<uint8_t> bytes(sizeof d);
    std::memcpy(bytes.data(), &d, sizeof d);
    return bytes;
}

// A video stream's track and the movie's time scale: whole frames in 600 units a second when
// they divide it, else in the stream's own. False without a rate, scale or picture size.
bool AviVideoTrack(const AviStream& stream, StandInTrack* track, uint32_t* movieScale) {
    const AviPictureFormat format = ReadAviPictureFormat(stream);
    // Sizes a picture can have, which also keep the negated height of top-first rows defined.
    if (stream.rate == 0 || stream.scale == 0 || format.width <= 0 || format.width > 0x7FFF || format.height == 0 ||
        format.height < -0x7FFF || format.height > 0x7FFF)
        return false;
    track->mediaType = kStandInVideo;
    track->mediaScale = StandInScale(stream.rate);
    track->width = format.width;
    track->height = std::abs(format.height);
    track->descriptions.push_back(AviImageDescription(stream, format));
    AddStandInSampleRun(track, std::min(stream.length, kStandInMaxRun), stream.scale);
    track->inserted = true;
    const uint32_t g = std::gcd(track->mediaScale, stream.scale);
    const uint64_t rate = track->mediaScale / g, scale = stream.scale / g;
    *movieScale = (600 * scale) % rate == 0 ? 600 : static_cast<uint32_t>(rate);
    return true;
}

// The PCM an audio stream holds, when a frame of it has bytes: fewer than 8 bits a sample
// (or no channels) makes frames of no bytes, which nothing can count or play. A sample of 9 to
// 15 bits lies in 2 bytes (and so on up), high bits first: it plays as the wider sample.
bool AviPcmFormat(const AviStream& stream, StandInPcm* pcm) {
    const AviSoundFormat f = ReadAviSoundFormat(stream);
    if (f.tag != kAviPcmTag)
        return false;
    pcm->channels = f.channels;
    pcm->bits = f.bits < 8 ? f.bits : static_cast<uint16_t>((f.bits + 7u) / 8u * 8u);
    pcm->rate = f.rate;
    return pcm->FrameBytes() != 0 && pcm->rate != 0;
}

bool AviSoundTrack(const AviStream& stream, std::vector<uint8_t> data, StandInTrack* track) {
    StandInPcm& pcm = track->pcm;
    if (!AviPcmFormat(stream, &pcm))
        return false;
    const uint32_t frame = pcm.FrameBytes();
    if (data.size() < frame)
        return false;
    data.resize(data.size() / frame * frame);
    pcm.bytes = std::move(data);
    track->mediaType = kStandInSound;
    track->mediaScale = StandInScale(pcm.rate);
    track->descriptions.push_back(StandInSoundDescriptionBytes(pcm));
    AddStandInSampleRun(track, static_cast<uint32_t>(std::min<size_t>(pcm.bytes.size() / frame, kStandInMaxRun)), 1);
    track->inserted = true;
    return true;
}

int32_t OpenAviFile(const std::string& path, std::unique_ptr<StandInMovie>* out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return kQtFnfErr;
    long end = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        end = std::ftell(f);
    const AviRead read = [f](uint64_t at, std::span<uint8_t> into) {
        return at <= uint64_t(LONG_MAX) && std::fseek(f, static_cast<long>(at), SEEK_SET) == 0 &&
               std::fread(into.data(), 1, into.size(), f) == into.size();
    };
    auto movie = std::make_unique<StandInMovie>();
    int64_t firstFrame = -1;
    const bool avi = end > 0 && ReadStandInAvi(read, uint64_t(end), movie.get(), &firstFrame);
    std::fclose(f);
    if (!avi)
        return kQtCantFindHandler;
    if (firstFrame >= 0) {
        const StandInOutputs& platform = StandInMovieOutputs();
        movie->pictures = platform.aviPictures ? platform.aviPictures(path, firstFrame) : nullptr;
        if (!movie->pictures)
            return kQtCantFindHandler;
    }
    *out = std::move(movie);
    return kQtNoErr;
}

}  // namespace

bool ReadStandInAvi(const AviRead& read, uint64_t size, StandInMovie* movie, int64_t* firstFrame) {
    *firstFrame = -1;
    std::vector<AviStream> streams;
    if (!ReadAviStreams(read, size, &streams))
        return false;
    bool video = false;
    for (size_t n = 0; n < streams.size(); ++n) {
        const AviStream& s = streams[n];
        StandInTrack track;
        if (s.type == QtFourCC("vids") && !video) {
            // The first video stream alone is shown: the platform gives its frames.
            video = true;
            uint32_t scale = 600;
            if (AviVideoTrack(s, &track, &scale)) {
                movie->timeScale = scale;
                movie->natural = {0, 0, track.width, track.height};
                *firstFrame = s.start;
                movie->tracks.push_back(std::move(track));
            }
        } else if (StandInPcm pcm; s.type == QtFourCC("auds") && AviPcmFormat(s, &pcm) &&
                   AviSoundTrack(s, ReadAviStreamData(read, size, static_cast<uint32_t>(n), kMaxAviSoundBytes), &track)) {
            movie->tracks.push_back(std::move(track));
        }
    }
    RecomputeStandInDuration(movie);
    movie->box = movie->natural;
    return true;
}

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
    if (Starts(data, 0, "FORM"))
        return OpenSound(data, out);
    if (Starts(data, 0, "MThd")) {
        std::vector<uint8_t> movie;
        if (const int32_t err = StandInMidiToMovieFile(data, &movie))
            return err;
        return OpenMovie(movie, nullptr, out);
    }
    if (OpenMovie(data, nullptr, out) == kQtNoErr)
        return kQtNoErr;
    // An AIFF file may start further on.
    return OpenSound(data, out);
}

int32_t OpenStandInMovieFile(const std::string& path, std::unique_ptr<StandInMovie>* out) {
    std::vector<uint8_t> head;
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f)
            return kQtFnfErr;
        head.resize(16);
        head.resize(std::fread(head.data(), 1, head.size(), f));
        std::fclose(f);
    }
    const StandInOutputs& platform = StandInMovieOutputs();
    if (Starts(head, 0, "RIFF") && Starts(head, 8, "AVI "))
        return OpenAviFile(path, out);
    if (Starts(head, 0, "GIF8"))
        return platform.openGif ? platform.openGif(path, out) : kQtCantFindHandler;
    auto data = std::make_shared<std::vector<uint8_t>>();
    if (!ReadStandInFile(path, kMaxMovieFile, data.get()))
        return kQtCantFindHandler;
    // A movie file keeps its bytes for its pictures; other kinds are read from them and let go.
    const bool otherKind = Starts(head, 0, "RIFF") || Starts(head, 0, ".snd") || Starts(head, 0, "FORM") ||
                           Starts(head, 0, "MThd");
    if (!otherKind && OpenMovie(*data, data, out) == kQtNoErr)
        return kQtNoErr;
    return OpenStandInMovieData(*data, out);
}
