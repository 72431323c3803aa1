// AVI files as movies over AVIFile: the first video stream gives the box, a 'vide' track and the
// frames (decompressed by the system's codecs), a PCM audio stream a 'soun' track.
#include <windows.h>

#include <vfw.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/StandInMovies.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

// The frames of one video stream; the file and stream stay open while the movie lives.
class AviPictures final : public StandInPictureSource {
public:
    AviPictures(PAVIFILE file, PAVISTREAM stream, LONG first) : file_(file), stream_(stream), first_(first) {
        BITMAPINFOHEADER want{sizeof want, 0, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        frames_ = AVIStreamGetFrameOpen(stream_, &want);
        if (!frames_)
            frames_ = AVIStreamGetFrameOpen(stream_, nullptr);
    }
    ~AviPictures() override {
        if (frames_)
            AVIStreamGetFrameClose(frames_);
        AVIStreamRelease(stream_);
        AVIFileRelease(file_);
        AVIFileExit();
    }
    bool Frame(uint32_t sample, StandInImage* out) override {
        if (!frames_)
            return false;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames_, first_ + LONG(sample)));
        if (!header || header->biSize < sizeof(BITMAPINFOHEADER))
            return false;
        // The system's frame: its header, colours and rows, sized as its header says.
        const DWORD colours = header->biBitCount <= 8 ? (header->biClrUsed ? header->biClrUsed : 1u << header->biBitCount) : 0;
        const size_t rowBytes = ((size_t(header->biWidth) * header->biBitCount + 31) / 32) * 4;
        const size_t size = header->biSize + colours * 4 + (header->biCompression == BI_BITFIELDS ? 12 : 0) +
                            rowBytes * size_t(std::abs(header->biHeight));
        return StandInImageFromDib({reinterpret_cast<const uint8_t*>(header), size}, out);
    }

private:
    PAVIFILE file_;
    PAVISTREAM stream_;
    LONG first_;
    PGETFRAME frames_ = nullptr;
};

uint32_t OsTypeOfFourCC(DWORD fcc) {
    return (fcc & 0xFF) << 24 | ((fcc >> 8) & 0xFF) << 16 | ((fcc >> 16) & 0xFF) << 8 | fcc >> 24;
}

std::vector<uint8_t> ImageDescriptionOf(const AVISTREAMINFOA& info, const BITMAPINFOHEADER& format) {
    QtImageDescription d{};
    d.idSize = sizeof d;
    d.cType = OsTypeOfFourCC(info.fccHandler ? info.fccHandler : format.biCompression);
    if ((d.cType & 0xFFFF0000) == QtFourCC("iv\0\0"))
        d.cType &= ~0x20200000u;  // Indeo as QuickTime names it: 'IV32', 'IV41', ...
    if (format.biCompression == BI_RGB)
        d.cType = QtFourCC("raw ");
    else if (format.biCompression == BI_RLE8 || format.biCompression == BI_RLE4)
        d.cType = QtFourCC("WRLE");
    d.dataRefIndex = 1;
    d.width = static_cast<int16_t>(format.biWidth);
    d.height = static_cast<int16_t>(std::abs(format.biHeight));
    d.hRes = d.vRes = 72 << 16;
    d.frameCount = 1;
    d.depth = static_cast<int16_t>(format.biBitCount);
    d.clutId = -1;
    std::vector<uint8_t> bytes(sizeof d);
    std::memcpy(bytes.data(), &d, sizeof d);
    return bytes;
}

constexpr LONG kMaxAudioBytes = 256 << 20;

// A PCM audio stream, read whole (up to kMaxAudioBytes: the rest stays silent).
bool ReadPcmStream(PAVISTREAM stream, StandInTrack* track) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), nullptr, &size) != 0 || size < LONG(sizeof(PCMWAVEFORMAT)))
        return false;
    std::vector<uint8_t> format(size);
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), format.data(), &size) != 0)
        return false;
    WAVEFORMATEX wave{};
    std::memcpy(&wave, format.data(), std::min<size_t>(format.size(), sizeof wave));
    if (wave.wFormatTag != WAVE_FORMAT_PCM || wave.nChannels == 0 || wave.wBitsPerSample == 0 || wave.nSamplesPerSec == 0)
        return false;
    StandInPcm& pcm = track->pcm;
    pcm.channels = wave.nChannels;
    pcm.bits = wave.wBitsPerSample;
    pcm.rate = wave.nSamplesPerSec;
    LONG bytes = 0, samples = 0;
    const LONG start = AVIStreamStart(stream);
    LONG length = AVIStreamLength(stream);
    if (length <= 0 || AVIStreamRead(stream, start, length, nullptr, 0, &bytes, &samples) != 0 || bytes <= 0)
        return false;
    if (bytes > kMaxAudioBytes) {
        length = static_cast<LONG>(int64_t(length) * kMaxAudioBytes / bytes);
        bytes = kMaxAudioBytes;
    }
    pcm.bytes.resize(size_t(bytes));
    if (AVIStreamRead(stream, start, length, pcm.bytes.data(), bytes, &bytes, &samples) != 0)
        return false;
    pcm.bytes.resize(size_t(bytes) / pcm.FrameBytes() * pcm.FrameBytes());
    track->mediaType = kStandInSound;
    track->mediaScale = StandInScale(pcm.rate);
    track->descriptions.push_back(StandInSoundDescriptionBytes(pcm));
    AddStandInSampleRun(track, static_cast<uint32_t>(pcm.bytes.size() / pcm.FrameBytes()), 1);
    track->inserted = true;
    return true;
}

}  // namespace

int32_t OpenStandInAvi(const std::string& path, std::unique_ptr<StandInMovie>* out) {
    AVIFileInit();
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr) != 0) {
        AVIFileExit();
        return kQtCantFindHandler;
    }
    auto movie = std::make_unique<StandInMovie>();
    PAVISTREAM video = nullptr;
    LONG videoStart = 0;
    for (LONG i = 0;; ++i) {
        PAVISTREAM stream = nullptr;
        if (AVIFileGetStream(file, &stream, 0, i) != 0 || !stream)
            break;
        AVISTREAMINFOA info{};
        bool keep = false;
        if (AVIStreamInfoA(stream, &info, sizeof info) == 0) {
            StandInTrack track;
            if (info.fccType == streamtypeVIDEO && !video && info.dwRate && info.dwScale) {
                BITMAPINFOHEADER format{};
                LONG size = sizeof format;
                AVIStreamReadFormat(stream, AVIStreamStart(stream), &format, &size);
                track.mediaType = kStandInVideo;
                track.mediaScale = StandInScale(info.dwRate);
                track.width = format.biWidth;
                track.height = std::abs(format.biHeight);
                track.descriptions.push_back(ImageDescriptionOf(info, format));
                AddStandInSampleRun(&track, static_cast<uint32_t>(std::max<LONG>(AVIStreamLength(stream), 0)), info.dwScale);
                track.inserted = true;
                // Whole frames in a time scale of 600 when it divides, else in the stream's own.
                const uint32_t g = std::gcd(track.mediaScale, info.dwScale);
                const uint64_t rate = track.mediaScale / g, scale = info.dwScale / g;
                movie->timeScale = (600 * scale) % rate == 0 ? 600 : static_cast<uint32_t>(rate);
                movie->natural = {0, 0, track.width, track.height};
                video = stream;
                videoStart = AVIStreamStart(stream);
                keep = true;
                movie->tracks.push_back(std::move(track));
            } else if (info.fccType == streamtypeAUDIO && ReadPcmStream(stream, &track)) {
                movie->tracks.push_back(std::move(track));
            }
        }
        if (!keep)
            AVIStreamRelease(stream);
    }
    RecomputeStandInDuration(movie.get());
    movie->box = movie->natural;
    if (video) {
        movie->pictures = std::make_unique<AviPictures>(file, video, videoStart);
    } else {
        AVIFileRelease(file);
        AVIFileExit();
    }
    *out = std::move(movie);
    return kQtNoErr;
}
