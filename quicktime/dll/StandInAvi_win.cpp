// AVI frames over AVIFile, decompressed by the system's codecs; the movie's tracks come from
// the chunks (StandInMovieFiles.cpp, quicktime/formats/AviFile.cpp).
#include <windows.h>

#include <vfw.h>

#include <cstdlib>

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
