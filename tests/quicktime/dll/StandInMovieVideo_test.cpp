// The frames of .mov video tracks in the stand-in: an 'rle ' movie sought backwards and forwards
// shows what playing it through shows, composition offsets and edits choose the frame of a time,
// a sample past the file leaves the frame before it, and a format nothing decodes is logged.
#include <gtest/gtest.h>

#include <algorithm>

#include "BuilderMedia.h"
#include "quicktime/dll/StandInMovies.h"

namespace {

namespace sb = stackbuilder;
using Bytes = std::vector<uint8_t>;

// Frame k: a background of its own colour on every 7th line, a moving square, the rest as before.
sb::MovVideo RleMovie(int frames) {
    sb::MovVideo v;
    v.codec = sb::MovCodec::Rle;
    v.width = 48;
    v.height = 36;
    v.fps = 10;
    v.keyEvery = 4;
    std::vector<uint32_t> f(48 * 36, 0x204060);
    for (int k = 0; k < frames; ++k) {
        for (uint32_t y = uint32_t(k) % 7; y < 36; y += 7)
            for (uint32_t x = 0; x < 48; ++x)
                f[y * 48 + x] = 0x010203u * uint32_t(k + 1) + x;
        for (uint32_t y = 0; y < 8; ++y)
            for (uint32_t x = 0; x < 8; ++x)
                f[(y + uint32_t(k) * 2) * 48 + x + uint32_t(k) * 4] = 0xFF0000u >> k;
        v.frames.push_back(f);
    }
    return v;
}

Bytes Bgra(const std::vector<uint32_t>& rgb) {
    Bytes b;
    for (uint32_t v : rgb)
        b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), 0xFF});
    return b;
}

struct OpenedMovie {
    std::unique_ptr<StandInMovie> movie;
    explicit OpenedMovie(const Bytes& file) { EXPECT_EQ(OpenStandInMovieData(file, &movie), kQtNoErr); }
    // The picture at a movie time, empty when there is none.
    Bytes At(StandInTime t) {
        StandInImage image;
        return movie && StandInMovieFrame(movie.get(), t, &image) ? image.bgra : Bytes{};
    }
};

TEST(StandInMovieVideo, AnRleMovieSoughtAnyWayShowsTheFramesPlayedThrough) {
    const sb::MovVideo v = RleMovie(10);
    OpenedMovie m(sb::MovFile(v));
    ASSERT_NE(m.movie, nullptr);
    EXPECT_EQ(m.movie->natural.Width(), 48);
    EXPECT_EQ(m.movie->duration, 600);
    for (int k = 0; k < 10; ++k)
        ASSERT_EQ(m.At(k * 60 + 30), Bgra(v.frames[k])) << "played through, frame " << k;
    for (int k : {9, 2, 5, 0, 7, 6, 3, 8, 1, 4, 4, 9})
        EXPECT_EQ(m.At(k * 60), Bgra(v.frames[k])) << "sought, frame " << k;
    EXPECT_EQ(m.At(600), Bgra(v.frames[9])) << "the end keeps the last frame";

    // With a sound track beside it: the sound's samples play, the pictures stay.
    sb::MovSound sound{11025, Bytes(11025)};
    for (size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] = uint8_t(i * 7);
    OpenedMovie both(sb::MovFile(v, &sound));
    ASSERT_EQ(both.movie->tracks.size(), 2u);
    EXPECT_EQ(both.movie->tracks[1].mediaType, kStandInSound);
    EXPECT_EQ(both.movie->tracks[1].pcm.bytes, sound.samples);
    EXPECT_EQ(both.At(5 * 60), Bgra(v.frames[5]));
}

TEST(StandInMovieVideo, CompositionOffsetsAndEditsChooseTheFrameOfATime) {
    sb::MovVideo v;
    v.codec = sb::MovCodec::Raw;
    v.width = 4;
    v.height = 2;
    v.fps = 10;
    for (uint32_t colour : {0x112233u, 0x445566u, 0x778899u, 0xAABBCCu})
        v.frames.push_back(std::vector<uint32_t>(8, colour));
    // Decoded 0, 1, 2, 3; shown 0, 2, 1, 3 (60 units each), after 120 units of nothing, from
    // media time 0.
    v.compositionOffsets = {0, 60, -60, 0};
    v.emptyEdit = 120;
    v.mediaStart = 0;
    OpenedMovie m(sb::MovFile(v));
    EXPECT_TRUE(m.At(60).empty()) << "nothing before the media";
    EXPECT_EQ(m.At(120), Bgra(v.frames[0]));
    EXPECT_EQ(m.At(120 + 60), Bgra(v.frames[2]));
    EXPECT_EQ(m.At(120 + 179), Bgra(v.frames[1]));
    EXPECT_EQ(m.At(120 + 180), Bgra(v.frames[3]));
}

TEST(StandInMovieVideo, ASamplePastTheFileKeepsTheFrameBeforeAndAnUnknownFormatIsLogged) {
    const sb::MovVideo v = RleMovie(3);
    Bytes file = sb::MovFile(v);
    // The third sample's size made to run past the end of the file ('stsz' lists the sizes).
    const std::vector<Bytes> samples = sb::MovVideoSamples(v);
    const auto stsz = std::search(file.begin(), file.end(), std::begin("stsz"), std::end("stsz") - 1);
    ASSERT_NE(stsz, file.end());
    const size_t third = size_t(stsz - file.begin()) + 4 + 4 + 4 + 4 + 8;
    ASSERT_EQ(file[third + 3], uint8_t(samples[2].size()));
    file[third] = 0x7F;
    OpenedMovie m(file);
    EXPECT_EQ(m.At(60), Bgra(v.frames[1]));
    EXPECT_EQ(m.At(120), Bgra(v.frames[1])) << "the refused sample leaves the frame before";
    const std::vector<std::string> log = StandInLogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("sample 2 refused: it lies past the end of the file"), std::string::npos) << log.back();

    // A format nothing decodes here (and no system decoder natively): its box and time stay,
    // it has no picture, and the log says why.
    Bytes odd = sb::MovFile(RleMovie(2));
    const auto format = std::search(odd.begin(), odd.end(), std::begin("rle "), std::end("rle ") - 1);
    ASSERT_NE(format, odd.end());
    std::copy_n("zzzz", 4, format);
    OpenedMovie unknown(odd);
    ASSERT_NE(unknown.movie, nullptr);
    EXPECT_EQ(unknown.movie->natural.Width(), 48);
    EXPECT_EQ(unknown.movie->duration, 120);
    EXPECT_TRUE(unknown.At(0).empty());
    EXPECT_NE(StandInLogLines().back().find("no decoder for 'zzzz' at 24 bits"), std::string::npos)
        << StandInLogLines().back();
}

}  // namespace
