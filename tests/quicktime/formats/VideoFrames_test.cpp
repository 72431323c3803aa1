// The 'raw ' and 'rle ' decoders against the builder's movies: every depth decodes the builder's
// source frames exactly, 'rle ' updates keep the lines they leave alone, and damaged samples are
// refused with the frame left as it was.
#include "quicktime/formats/VideoFrames.h"

#include <gtest/gtest.h>

#include "BuilderMedia.h"
#include "quicktime/formats/MovieFile.h"

namespace {

namespace sb = stackbuilder;
using Bytes = std::vector<uint8_t>;
using Frames = std::vector<std::vector<uint32_t>>;

uint32_t Expand5(uint32_t v) { return v * 255 / 31; }

// A value of the depth: an index below 9 bits, a colour 5-5-5 can hold at 16, any colour above.
uint32_t Value(int depth, uint32_t seed) {
    if (depth <= 8)
        return seed % (1u << depth);
    if (depth == 16)
        return Expand5(seed % 32) << 16 | Expand5(seed / 3 % 32) << 8 | Expand5(seed / 7 % 32);
    return (seed * 2654435761u) & 0xFFFFFF;
}

// Frame 0 a pattern; each later frame changes a band of three lines (runs on its left half,
// literals on its right), so that 'rle ' updates name a line range and skip within lines.
Frames TestFrames(int depth, uint32_t w, uint32_t h, int count) {
    Frames frames;
    std::vector<uint32_t> f(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            f[size_t(y) * w + x] = Value(depth, x / 5 + y * 3);
    frames.push_back(f);
    for (int k = 1; k < count; ++k) {
        const uint32_t top = uint32_t(k * 5) % (h - 2);
        for (uint32_t y = top; y < top + 3; ++y)
            for (uint32_t x = w / 4; x < w; ++x)
                f[size_t(y) * w + x] = x < w / 2 ? Value(depth, 17 * k) : Value(depth, 31 * k + x * 7 + y);
        frames.push_back(f);
    }
    return frames;
}

std::vector<uint32_t> Palette(int depth) {
    std::vector<uint32_t> p;
    for (uint32_t i = 0; i < (1u << depth); ++i)
        p.push_back((i * 0x3B5D17u) & 0xFFFFFF);
    return p;
}

// What a frame of source values looks like as 32-bit pixels.
Bytes Expected(const std::vector<uint32_t>& frame, int depth, const std::array<uint32_t, 256>& colours) {
    Bytes b;
    for (uint32_t v : frame) {
        const uint32_t rgb = depth <= 8 ? colours[v] : v;
        b.insert(b.end(), {uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16), 0xFF});
    }
    return b;
}

struct Decoded {
    VideoFormat format;
    std::vector<Bytes> frames;
    std::vector<VideoRefusal> results;
};

// The movie's video track read back and decoded sample by sample over one frame.
Decoded DecodeMovie(const Bytes& file) {
    Decoded d;
    MovieFileInfo info;
    if (ReadMovieFile(file, &info) != MovieRefusal::None || info.tracks.empty() || info.tracks[0].descriptions.empty())
        return d;
    const MovieTrack& track = info.tracks[0];
    EXPECT_TRUE(ReadVideoFormat(track.descriptions[0].bytes, &d.format));
    VideoFrame frame;
    if (NewVideoFrame(d.format, 4096, 4096, &frame) != VideoRefusal::None)
        return d;
    for (const MovieSample& s : TrackSamples(track, 1000)) {
        d.results.push_back(DecodeVideoSample(d.format, SampleBytes(file, s), &frame));
        d.frames.push_back(frame.bgra);
    }
    return d;
}

TEST(VideoFrames, RawAndRleAtEveryDepthGiveTheSourceFramesExactly) {
    constexpr uint32_t kW = 37, kH = 21;
    for (sb::MovCodec codec : {sb::MovCodec::Raw, sb::MovCodec::Rle}) {
        for (int depth : {1, 2, 4, 8, 16, 24, 32}) {
            for (bool table : {false, true}) {
                if (table && depth > 8)
                    continue;
                sb::MovVideo v;
                v.codec = codec;
                v.depth = uint16_t(depth);
                v.width = kW;
                v.height = kH;
                v.frames = TestFrames(depth, kW, kH, 7);
                v.keyEvery = 3;
                if (table)
                    v.colours = Palette(depth);
                const Decoded d = DecodeMovie(sb::MovFile(v));
                const std::string what = (codec == sb::MovCodec::Raw ? "raw " : "rle ") + std::to_string(depth) +
                                         (table ? " bits, its colour table" : " bits");
                ASSERT_EQ(d.frames.size(), v.frames.size()) << what;
                EXPECT_EQ(d.format.width, int32_t(kW));
                EXPECT_EQ(d.format.depth, depth);
                std::array<uint32_t, 256> colours = DefaultVideoColours(int16_t(depth));
                for (size_t i = 0; table && i < v.colours.size(); ++i)
                    colours[i] = v.colours[i];
                for (size_t k = 0; k < v.frames.size(); ++k) {
                    EXPECT_EQ(d.results[k], VideoRefusal::None) << what << ", frame " << k;
                    EXPECT_EQ(d.frames[k], Expected(v.frames[k], depth, colours)) << what << ", frame " << k;
                }
            }
        }
    }
}

TEST(VideoFrames, DefaultTablesRunFromWhiteToBlackAndTheGreyDepthsAreRamps) {
    for (int16_t depth : {1, 2, 4, 8, 33, 34, 36, 40}) {
        const auto c = DefaultVideoColours(depth);
        const uint32_t last = (1u << (depth > 32 ? depth - 32 : depth)) - 1;
        EXPECT_EQ(c[0], 0xFFFFFFu) << depth;
        EXPECT_EQ(c[last], 0u) << depth;
    }
    const auto c8 = DefaultVideoColours(8);
    EXPECT_EQ(c8[1], 0xFFFFCCu);
    EXPECT_EQ(c8[214], 0x000033u);
    EXPECT_EQ(c8[215], 0xEE0000u);
    EXPECT_EQ(c8[254], 0x111111u);
    EXPECT_EQ(DefaultVideoColours(36)[5], 0xAAAAAAu);
}

// A 24-bit 'rle ' movie of frames that change a band each; its second sample (an update).
struct RleCase {
    sb::MovVideo video;
    std::vector<Bytes> samples;
    VideoFormat format;
    VideoFrame frame;  // frame 0 decoded
    RleCase() {
        video.codec = sb::MovCodec::Rle;
        video.width = 40;
        video.height = 30;
        video.frames = TestFrames(24, 40, 30, 3);
        samples = sb::MovVideoSamples(video);
        MovieFileInfo info;
        const Bytes file = sb::MovFile(video);
        EXPECT_EQ(ReadMovieFile(file, &info), MovieRefusal::None);
        ReadVideoFormat(info.tracks[0].descriptions[0].bytes, &format);
        NewVideoFrame(format, 40, 30, &frame);
        EXPECT_EQ(DecodeVideoSample(format, samples[0], &frame), VideoRefusal::None);
    }
};

TEST(VideoFrames, DamagedRleSamplesAreRefusedAndLeaveTheFrame) {
    RleCase c;
    const Bytes before = c.frame.bgra;
    Bytes update = c.samples[1];
    ASSERT_GE(update.size(), 20u);
    ASSERT_EQ(update[5] & 0x08, 0x08) << "an update names its line range";
    struct Damage {
        const char* what;
        Bytes sample;
        VideoRefusal refusal;
    };
    std::vector<Damage> cases;
    // Cut inside its runs, the chunk size kept: the size runs past the sample.
    cases.push_back({"cut, size kept", Bytes(update.begin(), update.end() - 5), VideoRefusal::Truncated});
    // Cut, with the size made to agree: the runs end early.
    Bytes cut(update.begin(), update.end() - 5);
    cut[3] = uint8_t(cut.size()), cut[2] = uint8_t(cut.size() >> 8);
    cases.push_back({"cut runs", cut, VideoRefusal::Truncated});
    // A line range past the picture's height.
    Bytes lines = update;
    lines[6] = 0, lines[7] = 28, lines[10] = 0, lines[11] = 5;
    cases.push_back({"lines past the box", lines, VideoRefusal::BadLines});
    // A skip past the line's end.
    Bytes skip = update;
    skip[14] = 200;
    cases.push_back({"skip past the line", skip, VideoRefusal::BadRun});
    // A run longer than the line.
    Bytes key = c.samples[0];
    ASSERT_EQ(key[7] & 0x80, 0x80) << "the key frame's first line opens with a run";
    key[7] = uint8_t(-100);
    cases.push_back({"run past the line", key, VideoRefusal::BadRun});
    for (const Damage& d : cases) {
        VideoFrame frame = c.frame;
        EXPECT_EQ(DecodeVideoSample(c.format, d.sample, &frame), d.refusal) << d.what;
        EXPECT_EQ(frame.bgra, before) << d.what << ": the frame is left as it was";
    }
    // A raw sample shorter than its rows, and a frame over 16 megapixels.
    VideoFormat raw = c.format;
    raw.codec = kVideoRaw;
    VideoFrame frame = c.frame;
    EXPECT_EQ(DecodeVideoSample(raw, Bytes(40 * 3 * 29), &frame), VideoRefusal::Truncated);
    EXPECT_EQ(frame.bgra, before);
    VideoFormat huge = raw;
    huge.width = huge.height = 5000;
    EXPECT_EQ(NewVideoFrame(huge, 32767, 32767, &frame), VideoRefusal::BadSize);
    EXPECT_EQ(NewVideoFrame(huge, 100, 50, &frame), VideoRefusal::None) << "cut to the box";
    EXPECT_EQ(frame.width * frame.height, 5000);
    // An unchanged frame is a bare size: nothing changes.
    VideoFrame same = c.frame;
    EXPECT_EQ(DecodeVideoSample(c.format, Bytes{0, 0, 0, 4}, &same), VideoRefusal::None);
    EXPECT_EQ(same.bgra, before);
}

}  // namespace
