// What the system's decoders hand the stand-in, made into frames: a GIF's frames composed over
// the logical screen by place, transparency and disposal (places past the screen, even near the
// top of 32 bits, touch nothing), and a decompressor's bottom-up rows turned top first, refused
// when they are fewer than the size needs.
#include "quicktime/dll/StandInMovies.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A w x h frame of one opaque colour (blue, green, red), transparent where hole(x, y).
std::vector<uint8_t> Solid(uint32_t w, uint32_t h, uint8_t b, uint8_t g, uint8_t r, bool (*hole)(uint32_t, uint32_t) = nullptr) {
    std::vector<uint8_t> px;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            px.insert(px.end(), {b, g, r, uint8_t(hole && hole(x, y) ? 0 : 255)});
    return px;
}

// The blue byte of each pixel of a frame, row by row.
std::vector<int> Blues(const StandInImage& image) {
    std::vector<int> blues;
    for (size_t i = 0; i < image.bgra.size(); i += 4)
        blues.push_back(image.bgra[i]);
    return blues;
}

TEST(StandInFrames, GifFramesComposeByPlaceTransparencyAndDisposal) {
    GifComposer composer(4, 2);
    // Frame 1 covers the screen; its corner is transparent (the white screen shows).
    EXPECT_TRUE(composer.Add(Solid(4, 2, 1, 0, 0, [](uint32_t x, uint32_t y) { return x == 0 && y == 0; }), 4, 2, 0, 0, 0, 0));
    // Frame 2 at (2, 1) runs past the screen's edge and goes back to white afterwards.
    EXPECT_TRUE(composer.Add(Solid(3, 3, 2, 0, 0), 3, 3, 2, 1, 7, 2));
    // Frame 3 at (1, 0) is taken back before the next (disposal 3).
    EXPECT_TRUE(composer.Add(Solid(1, 1, 3, 0, 0), 1, 1, 1, 0, 0, 3));
    // Places wholly past the screen, one near the top of 32 bits, draw nothing.
    EXPECT_TRUE(composer.Add(Solid(2, 2, 4, 0, 0), 2, 2, 0xFFFFFFFFu, 0xFFFFFFFEu, 0, 0));
    EXPECT_TRUE(composer.Add(Solid(2, 2, 5, 0, 0), 2, 2, 4, 0, 0, 0));
    // Refused: too few pixels, no size, larger than a GIF may be.
    EXPECT_FALSE(composer.Add(Solid(2, 1, 6, 0, 0), 2, 2, 0, 0, 0, 0));
    EXPECT_FALSE(composer.Add({}, 0, 1, 0, 0, 0, 0));
    EXPECT_FALSE(composer.Add(std::vector<uint8_t>(size_t(kGifMaxSide + 1) * 4), kGifMaxSide + 1, 1, 0, 0, 0, 0));
    ASSERT_EQ(composer.FrameCount(), 5u);

    StandInMovie movie;
    ASSERT_EQ(composer.Finish(&movie), kQtNoErr);
    EXPECT_EQ(movie.natural.Width(), 4);
    EXPECT_EQ(movie.natural.Height(), 2);
    ASSERT_EQ(movie.tracks.size(), 1u);
    ASSERT_EQ(movie.tracks[0].SampleCount(), 5u);
    // Delays in hundredths; none counts as a tenth of a second.
    EXPECT_EQ(movie.tracks[0].runs.front().duration, 10u);
    EXPECT_EQ(movie.tracks[0].runs[1].duration, 7u);
    const std::vector<std::vector<int>> expected = {
        {255, 1, 1, 1, 1, 1, 1, 1},
        {255, 1, 1, 1, 1, 1, 2, 2},
        {255, 3, 1, 1, 1, 1, 255, 255},  // frame 2's rectangle went back to white
        {255, 1, 1, 1, 1, 1, 255, 255},  // frame 3 was taken back
        {255, 1, 1, 1, 1, 1, 255, 255},
    };
    StandInImage frame;
    for (uint32_t i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(movie.pictures->Frame(i, &frame)) << i;
        EXPECT_EQ(Blues(frame), expected[i]) << "frame " << i;
    }
    EXPECT_FALSE(movie.pictures->Frame(5, &frame));

    GifComposer empty(0, 0);
    EXPECT_EQ(empty.Finish(&movie), kQtCantFindHandler);
}

TEST(StandInFrames, BottomUpRowsTurnTopFirstAndShortRowsAreRefused) {
    // Two rows of 3 pixels at 24 bits: 9 bytes each, padded to 12. The file's last row is the top.
    std::vector<uint8_t> rows(24, 0);
    for (int x = 0; x < 3; ++x) {
        rows[size_t(x) * 3] = uint8_t(10 + x);       // bottom row
        rows[12 + size_t(x) * 3] = uint8_t(20 + x);  // top row
    }
    StandInImage out;
    ASSERT_TRUE(StandInImageFromBottomUpRows(rows, 3, 2, 3, &out));
    EXPECT_EQ(Blues(out), (std::vector<int>{20, 21, 22, 10, 11, 12}));
    EXPECT_EQ(out.bgra[3], 0xFF);
    EXPECT_FALSE(StandInImageFromBottomUpRows(std::span(rows).first(23), 3, 2, 3, &out));
    EXPECT_FALSE(StandInImageFromBottomUpRows(rows, 3, 2, 2, &out));
    EXPECT_FALSE(StandInImageFromBottomUpRows(rows, 0, 2, 3, &out));

    std::vector<uint8_t> over = {100, 100, 100, 0, 100, 50, 0, 255};
    ComposeOverWhite(over);
    EXPECT_EQ(over, (std::vector<uint8_t>{255, 255, 255, 0, 100, 50, 0, 0}));
}

}  // namespace
