// The frames of a .mov video track: 'raw ' and 'rle ' decoded here, 'jpeg' and every other format
// through the platform (WIC, the system's decompressors). A frame is decoded from the last sync
// sample at or before it, or on from the frame decoded last when no sync sample lies between;
// a refused sample leaves the frame before it and is logged.
#include "quicktime/dll/StandInMovieVideo.h"

#include <algorithm>

#include "quicktime/formats/VideoFrames.h"

namespace {

constexpr size_t kMaxSamples = 1u << 20;
constexpr int kMaxLoggedRefusals = 8;

std::string FourCC(uint32_t code) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(code >> shift);
        s += c >= 32 && c < 127 ? c : '?';
    }
    return "'" + s + "'";
}

class MoviePictures final : public StandInPictureSource {
public:
    MoviePictures(std::shared_ptr<const std::vector<uint8_t>> file, const MovieTrack& track, int32_t maxWidth,
                  int32_t maxHeight)
        : file_(std::move(file)), maxWidth_(maxWidth), maxHeight_(maxHeight) {
        samples_ = TrackSamples(track, kMaxSamples);
        for (const MovieSampleDescription& d : track.descriptions) {
            descriptions_.emplace_back(d.bytes.begin(), d.bytes.end());
            formats_.emplace_back();
            ReadVideoFormat(d.bytes, &formats_.back());
        }
        sync_.assign(samples_.size(), !track.hasSyncTable);
        for (uint32_t s : track.syncSamples)
            if (s >= 1 && s <= sync_.size())
                sync_[s - 1] = true;
    }

    bool Frame(uint32_t sample, StandInImage* out) override {
        if (sample >= samples_.size())
            return false;
        uint32_t from = sample;
        while (from > 0 && !sync_[from])
            --from;
        // On from the frame shown last when no sync sample lies between it and this one.
        if (decoded_ >= 0 && decoded_ <= int64_t(sample) && int64_t(from) <= decoded_)
            from = static_cast<uint32_t>(decoded_ + 1);
        else
            shown_ = false;
        for (uint32_t i = from; i <= sample; ++i)
            DecodeOne(i);
        decoded_ = sample;
        if (!shown_)
            return false;
        out->width = frame_.width;
        out->height = frame_.height;
        out->bgra = frame_.bgra;
        return true;
    }

private:
    void Refuse(uint32_t sample, const std::string& why) {
        if (refusals_++ < kMaxLoggedRefusals)
            StandInLog("movie video: sample " + std::to_string(sample) + " refused: " + why + "; the frame before stays");
    }

    // The platform's frame laid into ours, cut to it.
    bool Take(const StandInImage& image) {
        if (image.width <= 0 || image.height <= 0 || image.bgra.size() != size_t(image.width) * size_t(image.height) * 4)
            return false;
        const int32_t w = std::min(image.width, frame_.width), h = std::min(image.height, frame_.height);
        for (int32_t y = 0; y < h; ++y)
            std::copy_n(image.bgra.data() + size_t(y) * image.width * 4, size_t(w) * 4,
                        frame_.bgra.data() + size_t(y) * frame_.width * 4);
        return true;
    }

    void DecodeOne(uint32_t index) {
        const MovieSample& sample = samples_[index];
        if (sample.description < 1 || sample.description > formats_.size())
            return Refuse(index, "no sample description " + std::to_string(sample.description));
        const VideoFormat& format = formats_[sample.description - 1];
        const std::span<const uint8_t> bytes = SampleBytes(*file_, sample);
        if (bytes.empty() && sample.size > 0)
            return Refuse(index, "it lies past the end of the file");
        if (frame_.width != std::min(format.width, maxWidth_) || frame_.height != std::min(format.height, maxHeight_) ||
            !shown_) {
            if (const VideoRefusal r = NewVideoFrame(format, maxWidth_, maxHeight_, &frame_); r != VideoRefusal::None)
                return Refuse(index, VideoRefusalText(r));
        }
        if (DecodesVideo(format)) {
            if (const VideoRefusal r = DecodeVideoSample(format, bytes, &frame_); r != VideoRefusal::None)
                return Refuse(index, VideoRefusalText(r));
            shown_ = true;
            return;
        }
        const StandInOutputs& platform = StandInMovieOutputs();
        StandInImage image;
        if (format.codec == kVideoJpeg) {
            if (!platform.decodeJpeg || !platform.decodeJpeg(bytes, &image) || !Take(image))
                return Refuse(index, "the JPEG decoder refused it");
            shown_ = true;
            return;
        }
        if (!probed_) {
            probed_ = true;
            if (platform.openVideoCodec)
                codec_ = platform.openVideoCodec(descriptions_[sample.description - 1], format.width, format.height);
            if (!codec_)
                StandInLog("movie video: no decoder for " + FourCC(format.codec) + " at " + std::to_string(format.depth) +
                           " bits; the movie shows no picture");
        }
        if (!codec_)
            return;
        if (!codec_->Decode(bytes, sync_[index], &image) || !Take(image))
            return Refuse(index, "the system decoder of " + FourCC(format.codec) + " refused it");
        shown_ = true;
    }

    std::shared_ptr<const std::vector<uint8_t>> file_;
    int32_t maxWidth_, maxHeight_;
    std::vector<MovieSample> samples_;
    std::vector<std::vector<uint8_t>> descriptions_;
    std::vector<VideoFormat> formats_;
    std::vector<bool> sync_;
    VideoFrame frame_;
    int64_t decoded_ = -1;  // the sample frame_ shows the state after
    bool shown_ = false;    // frame_ holds a decoded picture
    bool probed_ = false;
    std::unique_ptr<StandInVideoCodec> codec_;
    int refusals_ = 0;
};

}  // namespace

std::unique_ptr<StandInPictureSource> NewStandInMoviePictures(std::shared_ptr<const std::vector<uint8_t>> file,
                                                              const MovieTrack& track, int32_t maxWidth,
                                                              int32_t maxHeight) {
    return std::make_unique<MoviePictures>(std::move(file), track, maxWidth, maxHeight);
}

void SetStandInDisplayOrder(const MovieTrack& stored, StandInTrack* track) {
    track->displayOrder.clear();
    if (stored.compositionOffsets.empty())
        return;
    const std::vector<MovieSample> samples = TrackSamples(stored, kMaxSamples);
    size_t run = 0;
    uint32_t left = stored.compositionOffsets[0].count;
    for (uint32_t i = 0; i < samples.size(); ++i) {
        while (left == 0 && run + 1 < stored.compositionOffsets.size())
            left = stored.compositionOffsets[++run].count;
        const int32_t offset = left ? stored.compositionOffsets[run].offset : 0;
        if (left)
            --left;
        track->displayOrder.emplace_back(StandInTime(samples[i].time) + offset, i);
    }
    std::stable_sort(track->displayOrder.begin(), track->displayOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}
