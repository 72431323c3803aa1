// The movie atom reader over a movie built here atom by atom, and the writer's movies read back.
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/SoundTrack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Be16(Bytes* b, uint32_t v) {
    b->push_back(uint8_t(v >> 8));
    b->push_back(uint8_t(v));
}
void Be32(Bytes* b, uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v);
}
Bytes Atom(const char (&type)[5], std::initializer_list<Bytes> parts) {
    Bytes body;
    for (const Bytes& p : parts)
        body.insert(body.end(), p.begin(), p.end());
    Bytes b;
    Be32(&b, uint32_t(body.size() + 8));
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes Words(std::initializer_list<uint32_t> words) {
    Bytes b;
    for (uint32_t w : words)
        Be32(&b, w);
    return b;
}

// A video track of four samples in three chunks (two runs), 160 x 120 at (10, 0), and a
// 'ctyp' user data.
Bytes VideoMovie(uint32_t stszCount) {
    Bytes tkhd = Words({1, 0, 0, 7, 0, 1200, 0, 0, 0, 0});
    Bytes matrix = Words({0x10000, 0, 0, 0, 0x10000, 0, 10 << 16, 0, 0x40000000});
    tkhd.insert(tkhd.end(), matrix.begin(), matrix.end());
    const Bytes size = Words({160 << 16, 120 << 16});
    tkhd.insert(tkhd.end(), size.begin(), size.end());
    Bytes description = Words({24, QtAtomType("rle "), 0, 1, 0xAABBCCDD, 0x11223344});
    Bytes mvhd = Words({0, 0, 0, 600, 1200, 0x10000});
    mvhd.resize(100);
    const Bytes edits = Atom("edts", {Atom("elst", {Words({0, 2, 300, 0xFFFFFFFF, 0x10000, 900, 0, 0x10000})})});
    return Atom("moov", {Atom("mvhd", {mvhd}), Atom("trak", {Atom("tkhd", {tkhd}), edits,
                Atom("mdia", {Atom("mdhd", {Words({0, 0, 0, 30, 12, 0})}),
                              Atom("hdlr", {Words({0, QtAtomType("mhlr"), QtAtomType("vide"), 0, 0, 0}), Bytes{0}}),
                              Atom("minf", {Atom("stbl", {Atom("stsd", {Words({0, 1}), description}),
                                                          Atom("stts", {Words({0, 1, 4, 3})}),
                                                          Atom("stsc", {Words({0, 2, 1, 2, 1, 2, 1, 1})}),
                                                          Atom("stsz", {Words({0, 0, stszCount, 5, 6, 7, 8})}),
                                                          Atom("stco", {Words({0, 3, 100, 200, 300})})})})})}),
                         Atom("udta", {Atom("ctyp", {Words({QtAtomType("qtvr")})}), Words({0})})});
}

TEST(MovieFile, ReadsTracksSampleTablesAndUserData) {
    const Bytes file = VideoMovie(4);
    MovieFileInfo info;
    ASSERT_EQ(ReadMovieFile(file, &info), MovieRefusal::None);
    EXPECT_EQ(info.timeScale, 600u);
    EXPECT_EQ(info.duration, 1200u);
    EXPECT_EQ(info.controllerType, QtAtomType("qtvr"));
    ASSERT_EQ(info.tracks.size(), 1u);
    const MovieTrack& t = info.tracks[0];
    EXPECT_EQ(t.id, 7u);
    EXPECT_EQ(t.mediaType, QtAtomType("vide"));
    EXPECT_EQ(t.mediaTimeScale, 30u);
    ASSERT_EQ(t.edits.size(), 2u);  // half a second of nothing, then the media from its start
    EXPECT_EQ(t.edits[0].mediaTime, -1);
    EXPECT_EQ(t.edits[0].duration, 300u);
    EXPECT_EQ(t.edits[1].mediaTime, 0);
    EXPECT_EQ(t.edits[1].duration, 900u);
    EXPECT_EQ(t.mediaDuration, 12u);
    ASSERT_EQ(t.descriptions.size(), 1u);
    EXPECT_EQ(t.descriptions[0].format, QtAtomType("rle "));
    EXPECT_EQ(t.descriptions[0].bytes.size(), 24u);
    EXPECT_EQ(t.sampleCount, 4u);
    const MovieBox box = MovieBoxOf(info);
    EXPECT_EQ((std::vector<int32_t>{box.left, box.top, box.right, box.bottom}), (std::vector<int32_t>{10, 0, 170, 120}));
    const std::vector<MovieSample> samples = TrackSamples(t, 100);
    ASSERT_EQ(samples.size(), 4u);
    const uint64_t offsets[] = {100, 105, 200, 300};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(samples[i].offset, offsets[i]);
        EXPECT_EQ(samples[i].size, 5 + i);
        EXPECT_EQ(samples[i].time, 3 * i);
        EXPECT_EQ(samples[i].duration, 3u);
    }
    EXPECT_EQ(TrackSampleDuration(t), 12u);
    EXPECT_TRUE(SampleBytes(file, {file.size() - 2, 5, 0, 0, 1}).empty());  // past the end
    EXPECT_EQ(SampleBytes(file, {4, 4, 0, 0, 1}).data(), file.data() + 4);

    // A count of sizes the table does not hold is cut to those it does.
    MovieFileInfo cut;
    ASSERT_EQ(ReadMovieFile(VideoMovie(0x40000000), &cut), MovieRefusal::None);
    EXPECT_EQ(cut.tracks[0].sampleCount, 4u);

    // The same movie after a 64-bit sized 'mdat', as an atom running to the end of the file.
    Bytes wide = Words({1, QtAtomType("mdat"), 0, 20, 0xABCDEF01});
    const Bytes moov(file.begin() + 8, file.end());
    const Bytes open = Words({0, QtAtomType("moov")});
    wide.insert(wide.end(), open.begin(), open.end());
    wide.insert(wide.end(), moov.begin(), moov.end());
    MovieFileInfo far;
    ASSERT_EQ(ReadMovieFile(wide, &far), MovieRefusal::None);
    EXPECT_EQ(far.tracks.size(), 1u);
    EXPECT_EQ(far.controllerType, QtAtomType("qtvr"));

    // Refusals, and a movie cut anywhere reads without reaching past its bytes.
    MovieFileInfo refused;
    EXPECT_EQ(ReadMovieFile(Atom("mdat", {Bytes(8)}), &refused), MovieRefusal::NoMovie);
    EXPECT_EQ(ReadMovieFile(Atom("moov", {Atom("cmov", {Bytes(8)})}), &refused), MovieRefusal::Compressed);
    EXPECT_EQ(ReadMovieFile(Atom("moov", {Atom("mvhd", {Bytes(100)})}), &refused), MovieRefusal::BadHeader);
    for (size_t n = 0; n < file.size(); ++n) {
        const Bytes part(file.begin(), file.begin() + n);
        MovieFileInfo partial;
        if (ReadMovieFile(part, &partial) != MovieRefusal::None)
            continue;
        for (const MovieTrack& track : partial.tracks)
            for (const MovieSampleDescription& d : track.descriptions)
                EXPECT_TRUE(d.bytes.data() >= part.data() && d.bytes.data() + d.bytes.size() <= part.data() + part.size());
    }
}

TEST(MovieFile, WrittenTracksReadBack) {
    MovieTrackSpec music;
    music.mediaType = QtAtomType("musi");
    music.description = MakeSampleDescription(QtAtomType("musi"), Words({0, 0x60000000}));
    music.samples = Words({0x12345678, 0x60000000});
    music.sampleDuration = 1200;  // two seconds
    MovieTrackSpec sound;
    sound.mediaType = QtAtomType("soun");
    sound.mediaTimeScale = 22050;
    sound.description = MakeSampleDescription(QtAtomType("twos"), Words({0, 0, 0x00010010, 0, 22050u << 16}));
    sound.samples = Bytes(22050 * 2, 7);
    sound.sampleCount = 22050;
    sound.sampleSize = 1;
    sound.sampleDuration = 1;
    const MovieTrackSpec specs[] = {music, sound};
    const Bytes file = WriteMovieFile(specs);

    MovieFileInfo info;
    ASSERT_EQ(ReadMovieFile(file, &info), MovieRefusal::None);
    EXPECT_EQ(info.timeScale, kMovieTimeScale);
    EXPECT_EQ(info.duration, 1200u);
    const MovieBox box = MovieBoxOf(info);
    EXPECT_EQ(box.right - box.left, 0);
    ASSERT_EQ(info.tracks.size(), 2u);
    const MovieTrack& m = info.tracks[0];
    EXPECT_EQ(m.mediaType, QtAtomType("musi"));
    EXPECT_EQ(m.duration, 1200u);
    EXPECT_EQ(m.mediaDuration, 1200u);
    ASSERT_EQ(m.descriptions.size(), 1u);
    EXPECT_EQ(Bytes(m.descriptions[0].bytes.begin(), m.descriptions[0].bytes.end()), music.description);
    const std::vector<MovieSample> ms = TrackSamples(m, 10);
    ASSERT_EQ(ms.size(), 1u);
    const std::span<const uint8_t> bytes = SampleBytes(file, ms[0]);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), music.samples);
    const MovieTrack& s = info.tracks[1];
    EXPECT_EQ(s.mediaType, QtAtomType("soun"));
    EXPECT_EQ(s.duration, 600u);
    EXPECT_EQ(s.volume, 0x100);
    const std::vector<MovieChunk> chunks = TrackChunks(s);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].sampleCount, 22050u);
    EXPECT_EQ(chunks[0].offset, 8 + music.samples.size());
    EXPECT_EQ(TrackSamples(s, 3).size(), 3u);
}

}  // namespace

namespace {

TEST(SoundTrack, SoundMoviesGiveWaveSamples) {
    // 16-bit stereo wave samples written as a sound movie read back the same.
    WavePcm pcm{16, 2, 22050, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    const MovieTrackSpec spec = SoundTrackSpec(pcm);
    const Bytes file = WriteMovieFile(std::span(&spec, 1));
    MovieFileInfo info;
    ASSERT_EQ(ReadMovieFile(file, &info), MovieRefusal::None);
    EXPECT_EQ(info.duration, 1u);  // 3 frames at 22050 Hz, rounded up to a 600th of a second
    WavePcm back;
    ASSERT_EQ(MovieSoundPcm(file, info.tracks[0], &back), SoundRefusal::None);
    EXPECT_EQ(back.samples, pcm.samples);
    EXPECT_EQ(back.sampleRate, 22050u);
    EXPECT_EQ(back.frames, 3u);

    // Descriptions by format: what a wave device gets from two frames of each.
    struct Case {
        uint32_t format;
        uint16_t bits;
        SoundRefusal refusal;
        Bytes wave;
    };
    const Bytes source = {0x80, 0x01, 0x7F, 0xFE};
    const Case cases[] = {
        {QtAtomType("raw "), 8, SoundRefusal::None, {0x80, 0x01}},
        {QtAtomType("raw "), 16, SoundRefusal::None, {0x01, 0x80, 0xFE, 0x7F}},
        {QtAtomType("twos"), 8, SoundRefusal::None, {0x00, 0x81}},
        {QtAtomType("sowt"), 16, SoundRefusal::None, {0x80, 0x01, 0x7F, 0xFE}},
        {QtAtomType("MAC3"), 8, SoundRefusal::Compressed, {}},
        {QtAtomType("MAC6"), 8, SoundRefusal::Compressed, {}},
        {QtAtomType("raw "), 12, SoundRefusal::Compressed, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format << " " << std::dec << c.bits);
        MovieTrackSpec t;
        t.mediaType = QtAtomType("soun");
        t.mediaTimeScale = 8000;
        t.description = MakeSoundDescription(c.format, 1, c.bits, 8000);
        t.samples = source;
        t.sampleCount = 2;
        t.sampleSize = 1;
        t.sampleDuration = 1;
        const Bytes movie = WriteMovieFile(std::span(&t, 1));
        MovieFileInfo m;
        ASSERT_EQ(ReadMovieFile(movie, &m), MovieRefusal::None);
        WavePcm out;
        ASSERT_EQ(MovieSoundPcm(movie, m.tracks[0], &out), c.refusal);
        EXPECT_EQ(out.samples, c.wave);
    }
}

}  // namespace
