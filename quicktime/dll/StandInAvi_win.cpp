// AVI frames over AVIFile: stored rows read as they are, coded frames decompressed by the
// system's codecs, both sized by StandInFrames.cpp; the movie's tracks come from the chunks
// (StandInMovieFiles.cpp, quicktime/formats/AviFile.cpp).
#include <windows.h>

#include <vfw.h>

#include <cstdint>
#include <vector>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

constexpr LONG kMaxFormatBytes = 1 << 16;
constexpr LONG kMaxFrameBytes = 64 << 20;
constexpr uint32_t kStoredRgb = 0, kStoredBitFields = 3;

// The stream's format as the file stores it; empty when it cannot be read.
std::vector<uint8_t> ReadFormat(PAVISTREAM stream) {
    LONG size = 0;
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), nullptr, &size) != 0 || size <= 0 || size > kMaxFormatBytes)
        return {};
    std::vector<uint8_t> format(static_cast<size_t>(size));
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), format.data(), &size) != 0 || size <= 0 ||
        size_t(size) > format.size())
        return {};
    format.resize(size_t(size));
    return format;
}

// Whether the frames are stored as rows (read as they are), not coded (made by a codec).
bool StoredAsRows(const std::vector<uint8_t>& format) {
    if (format.size() < 20)
        return false;
    const uint32_t compression = uint32_t(format[16]) | uint32_t(format[17]) << 8 | uint32_t(format[18]) << 16 |
                                 uint32_t(format[19]) << 24;
    return compression == kStoredRgb || compression == kStoredBitFields;
}

// The frames of one video stream; the file and stream stay open while the movie lives. Frames
// stored as rows are read as they are; coded ones come from the system's codecs, as 32-bit rows
// when a codec can make them.
class AviPictures final : public StandInPictureSource {
public:
    AviPictures(PAVIFILE file, PAVISTREAM stream, LONG first)
        : file_(file), stream_(stream), first_(first), format_(ReadFormat(stream)), stored_(StoredAsRows(format_)) {
        if (stored_ || format_.empty())
            return;
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
        const LONG at = first_ + LONG(sample);
        if (stored_)
            return AviFrameImage(format_, ReadSample(at), out);
        if (!frames_)
            return false;
        const auto* frame = static_cast<const uint8_t*>(AVIStreamGetFrame(frames_, at));
        if (!frame)
            return false;
        // The codec's frame: its header, then the colours and rows it says, for the stream's size.
        const size_t size = DecodedAviFrameBytes({frame, sizeof(BITMAPINFOHEADER)}, format_);
        return size != 0 && StandInImageFromDib({frame, size}, out);
    }

private:
    std::vector<uint8_t> ReadSample(LONG at) const {
        LONG bytes = 0;
        if (AVIStreamRead(stream_, at, 1, nullptr, 0, &bytes, nullptr) != 0 || bytes <= 0 || bytes > kMaxFrameBytes)
            return {};
        std::vector<uint8_t> sample(static_cast<size_t>(bytes));
        LONG got = 0;
        if (AVIStreamRead(stream_, at, 1, sample.data(), bytes, &got, nullptr) != 0 || got < 0 || got > bytes)
            return {};
        sample.resize(size_t(got));
        return sample;
    }

    PAVIFILE file_;
    PAVISTREAM stream_;
    LONG first_;
    std::vector<uint8_t> format_;
    bool stored_;
    PGETFRAME frames_ = nullptr;
};

}  // namespace

std::unique_ptr<StandInPictureSource> StandInAviPictures(const std::string& path, int64_t firstFrame) {
    AVIFileInit();
    PAVIFILE file = nullptr;
    PAVISTREAM video = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr) != 0) {
        AVIFileExit();
        return nullptr;
    }
    if (AVIFileGetStream(file, &video, streamtypeVIDEO, 0) != 0 || !video) {
        AVIFileRelease(file);
        AVIFileExit();
        return nullptr;
    }
    return std::make_unique<AviPictures>(file, video, static_cast<LONG>(firstFrame));
}
