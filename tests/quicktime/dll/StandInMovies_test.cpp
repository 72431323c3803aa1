// The stand-in's movie model without Windows: sound media turned into little-endian PCM, the
// time base on the test clock, interesting times of frames, and the controller's actions.
#include "quicktime/dll/StandInMovies.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "quicktime/dll/StandInController.h"
#include "quicktime/dll/StandInMidi.h"
#include "quicktime/formats/MovieFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Description(const char* format, int channels, int bits, uint32_t rate) {
    QtSoundDescription d{};
    d.descSize = sizeof d;
    d.dataFormat = QtFourCC({format[0], format[1], format[2], format[3], 0});
    d.numChannels = static_cast<int16_t>(channels);
    d.sampleSize = static_cast<int16_t>(bits);
    d.sampleRate = rate << 16;
    Bytes b(sizeof d);
    std::memcpy(b.data(), &d, sizeof d);
    return b;
}

struct TestClock {
    TestClock() { SetStandInTestClock(true); }
    ~TestClock() { SetStandInTestClock(false); }
};

TEST(StandInMovieModel, RawSoundBecomesLittleEndianPcmAndPlaysItsDurationOnTheTestClock) {
    TestClock clock;
    struct Case {
        const char* format;
        int bits;
        Bytes in;
        Bytes out;
    };
    const Case cases[] = {
        {"raw ", 8, {0x00, 0x80, 0xFF, 0x7F}, {0x00, 0x80, 0xFF, 0x7F}},
        {"raw ", 16, {0x12, 0x34, 0x80, 0x01}, {0x34, 0x12, 0x01, 0x80}},
        {"raw ", 24, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        {"raw ", 32, {1, 2, 3, 4}, {4, 3, 2, 1}},
        {"twos", 8, {0x00, 0x80}, {0x80, 0x00}},
    };
    for (const Case& c : cases) {
        StandInTrack track;
        track.mediaType = kStandInSound;
        const uint32_t frames = static_cast<uint32_t>(c.in.size() / (c.bits / 8));
        ASSERT_EQ(AddStandInSoundSamples(&track, c.in, Description(c.format, 1, c.bits, 8000), frames, 1), kQtNoErr)
            << c.format << c.bits;
        EXPECT_EQ(track.pcm.bytes, c.out) << c.format << c.bits;
        EXPECT_EQ(track.SampleCount(), frames);
    }
    StandInTrack mace;
    EXPECT_EQ(AddStandInSoundSamples(&mace, Bytes(12), Description("MAC3", 1, 8, 8000), 6, 1), kStandInBadFormat);
    EXPECT_EQ(AddStandInSoundSamples(&mace, Bytes(12), Description("MAC6", 2, 8, 8000), 6, 1), kStandInBadFormat);
    EXPECT_TRUE(mace.pcm.bytes.empty());
    // More samples claimed than bytes given: only whole frames that exist are taken.
    StandInTrack short16;
    ASSERT_EQ(AddStandInSoundSamples(&short16, Bytes{1, 2, 3}, Description("raw ", 1, 16, 8000), 5, 1), kQtNoErr);
    EXPECT_EQ(short16.pcm.bytes, (Bytes{2, 1}));

    // One second of 16-bit stereo at 8000 Hz: done after 1000 ms of the test clock, and what the
    // sink gets is the PCM itself.
    StandInPcm pcm{2, 16, 8000, Bytes(8000 * 4)};
    for (size_t i = 0; i < pcm.bytes.size(); ++i)
        pcm.bytes[i] = static_cast<uint8_t>(i * 7);
    const QtWord word = AddStandInMovie(StandInSoundMovie(pcm));
    StandInMovie* movie = FindStandInMovie(word);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->duration, 600);
    const std::string sink = testing::TempDir() + "standin_sink.wav";
    std::remove(sink.c_str());
    SetStandInSoundSink(sink);
    SetStandInMovieRate(movie, kQtFixed1);
    StartStandInSound(word, movie);
    SetStandInSoundSink("");
    std::ifstream in(sink, std::ios::binary);
    const Bytes wav{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(wav.size(), 44 + pcm.bytes.size());
    EXPECT_EQ(0, std::memcmp(wav.data() + 44, pcm.bytes.data(), pcm.bytes.size()));
    EXPECT_EQ(wav[22], 2);                   // channels
    EXPECT_EQ(wav[24] | wav[25] << 8, 8000 & 0xFFFF);
    EXPECT_EQ(wav[34], 16);                  // bits
    AdvanceStandInTestClock(999);
    EXPECT_FALSE(IsStandInMovieDone(*movie));
    EXPECT_EQ(StandInMovieTime(*movie), 599);
    AdvanceStandInTestClock(1);
    EXPECT_TRUE(IsStandInMovieDone(*movie));
    StandInMoviesTask(word);
    EXPECT_EQ(movie->rate, 0) << "a movie at its end stops";
    DisposeStandInMovie(word);
    EXPECT_EQ(FindStandInMovie(word), nullptr);
    EXPECT_EQ(FindStandInTrack(StandInTrackWord(word, 0)).track, nullptr);
}

// Four frames at 10 per second in a movie of 600 units a second.
std::unique_ptr<StandInMovie> FourFrames() {
    auto movie = std::make_unique<StandInMovie>();
    StandInTrack video;
    video.mediaType = kStandInVideo;
    video.mediaScale = 10;
    video.runs = {{4, 1}};
    video.inserted = true;
    StandInTrack sound;
    sound.mediaType = kStandInSound;
    sound.mediaScale = 8000;
    sound.runs = {{8000, 1}};
    sound.inserted = true;
    movie->tracks = {video, sound};
    RecomputeStandInDuration(movie.get());
    return movie;
}

TEST(StandInMovieModel, InterestingTimesAreTheFramesOfTheTypesAsked) {
    const auto movie = FourFrames();
    EXPECT_EQ(movie->duration, 600) << "the sound is the longer track";
    const uint32_t video[] = {kStandInVideo};
    std::vector<StandInTime> times;
    StandInTime duration = -1;
    StandInTime t = StandInNextSampleTime(*movie, video, 0, false, true, &duration);
    EXPECT_EQ(duration, 60);
    while (t >= 0) {
        times.push_back(t);
        t = StandInNextSampleTime(*movie, video, t, false, false, nullptr);
    }
    EXPECT_EQ(times, (std::vector<StandInTime>{0, 60, 120, 180}));
    EXPECT_EQ(StandInNextSampleTime(*movie, video, 130, true, false, nullptr), 120);
    EXPECT_EQ(StandInNextSampleTime(*movie, video, 0, true, false, nullptr), -1);
    EXPECT_EQ(StandInVideoSampleAt(*movie, 179), 2);
    EXPECT_EQ(StandInVideoSampleAt(*movie, 180), 3);
    EXPECT_EQ(StandInVideoSampleAt(*movie, 600), 3) << "the last frame stays to the end";
    const uint32_t sound[] = {kStandInSound};
    // Sound samples are shorter than a movie unit: the next one after 300 starts in unit 301.
    EXPECT_EQ(StandInNextSampleTime(*movie, sound, 300, false, false, &duration), 301);
    EXPECT_EQ(StandInNextSampleTime(*movie, sound, 300, true, false, &duration), 299);
}

TEST(StandInMovieModel, ControllerPlacesTheMovieAndActsOnIt) {
    TestClock clock;
    auto four = FourFrames();
    four->natural = {0, 0, 40, 30};
    const QtWord word = AddStandInMovie(std::move(four));
    StandInMovie* movie = FindStandInMovie(word);
    const auto controller = NewStandInController(word, {0, 0, 80, 60}, kMcTopLeftMovie | kMcScaleMovieToFit, 0);
    ASSERT_NE(controller, nullptr);
    StandInController* c = controller.get();
    StandInBox b = StandInControllerBounds(*c);
    EXPECT_EQ(std::make_tuple(b.left, b.top, b.right, b.bottom), std::make_tuple(0, 0, 80, 76)) << "the bar below";
    EXPECT_EQ(std::make_tuple(movie->box.right, movie->box.bottom), std::make_tuple(80, 60));
    ASSERT_EQ(StandInControllerAction(c, kStandInActionSetVolume, 0x80), kQtNoErr);
    int16_t volume = 0;
    StandInControllerAction(c, kStandInActionGetVolume, reinterpret_cast<QtWord>(&volume));
    EXPECT_EQ(volume, 0x80);
    StandInControllerAction(c, kStandInActionStep, 2);
    EXPECT_EQ(StandInMovieTime(*movie), 120);
    StandInControllerAction(c, kStandInActionStep, static_cast<QtWord>(-1));
    EXPECT_EQ(StandInMovieTime(*movie), 60);
    StandInControllerAction(c, kStandInActionPlay, kQtFixed1);
    AdvanceStandInTestClock(2000);
    EXPECT_TRUE(IsStandInMovieDone(*movie));
    StandInControllerAction(c, kStandInActionPlay, kQtFixed1);
    EXPECT_EQ(StandInMovieTime(*movie), 0) << "playing a movie that is done starts it again";
    StandInControllerAction(c, kStandInActionSetLooping, 1);
    AdvanceStandInTestClock(1500);
    EXPECT_FALSE(IsStandInMovieDone(*movie));
    EXPECT_EQ(StandInMovieTime(*movie), 300);
    EXPECT_EQ(StandInControllerAction(c, 99, 0), kQtParamErr);
    // The play button stops and starts it; a click above the bar is not the bar's.
    EXPECT_TRUE(StandInControllerClick(c, 4, 65));
    EXPECT_EQ(movie->rate, 0);
    EXPECT_TRUE(StandInControllerClick(c, 4, 65));
    EXPECT_EQ(movie->rate, kQtFixed1);
    EXPECT_FALSE(StandInControllerClick(c, 4, 59));
    StandInControllerAction(c, kStandInActionSetKeysEnabled, 1);
    c->visible = false;
    b = StandInControllerBounds(*c);
    EXPECT_EQ(b.bottom, 60);
    EXPECT_FALSE(StandInControllerClick(c, 4, 65));
    DisposeStandInMovie(word);
}

// Big-endian bytes of a stored sound description.
Bytes StoredSoundBody(int channels, int bits, uint32_t rate) {
    return {0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(channels), 0, uint8_t(bits), 0, 0, 0, 0,
            uint8_t(rate >> 8), uint8_t(rate), 0, 0};
}

TEST(StandInMovieModel, MovieDataOpensByItsAtomsAndAMovieItCannotPlayLastsItsStatedDuration) {
    TestClock clock;
    // A sound track of 16-bit big-endian samples and a music track of events the stand-in
    // does not know.
    MovieTrackSpec sound;
    sound.mediaType = kStandInSound;
    sound.mediaTimeScale = 8000;
    sound.description = MakeSampleDescription(QtFourCC("twos"), StoredSoundBody(1, 16, 8000));
    for (int i = 0; i < 4000; ++i)
        sound.samples.insert(sound.samples.end(), {uint8_t(i >> 8), uint8_t(i)});
    sound.sampleCount = 4000;
    sound.sampleSize = 2;
    sound.sampleDuration = 1;
    MovieTrackSpec music;
    music.mediaType = kStandInMusic;
    music.description = MakeSampleDescription(QtFourCC("musi"), Bytes(8, 0xEE));
    music.samples = Bytes(16, 0xEE);
    music.sampleDuration = 1200;  // two seconds at 600
    const MovieTrackSpec tracks[] = {sound, music};
    Bytes file = WriteMovieFile(tracks);
    // The movie names a controller of its own: a 'ctyp' item in the movie's user data.
    const Bytes udta{0, 0, 0, 20, 'u', 'd', 't', 'a', 0, 0, 0, 12, 'c', 't', 'y', 'p', 'q', 't', 'v', 'r'};
    for (size_t at = 0; at + 8 <= file.size();) {
        const size_t size = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3];
        if (std::memcmp(&file[at + 4], "moov", 4) == 0 && at + size == file.size()) {
            file.insert(file.end(), udta.begin(), udta.end());
            const size_t grown = size + udta.size();
            for (int i = 0; i < 4; ++i)
                file[at + i] = uint8_t(grown >> (24 - 8 * i));
            break;
        }
        if (size < 8)
            break;
        at += size;
    }
    std::unique_ptr<StandInMovie> movie;
    ASSERT_EQ(OpenStandInMovieData(file, &movie), kQtNoErr);
    ASSERT_EQ(movie->tracks.size(), 2u);
    EXPECT_EQ(movie->timeScale, 600u);
    EXPECT_EQ(movie->duration, 1200) << "the stated duration, the longer track's";
    const StandInTrack& s = movie->tracks[0];
    EXPECT_EQ(s.mediaType, kStandInSound);
    EXPECT_EQ(s.SampleCount(), 4000u);
    ASSERT_EQ(s.pcm.bytes.size(), 8000u);
    EXPECT_EQ(std::make_tuple(s.pcm.bytes[2], s.pcm.bytes[3]), std::make_tuple(1, 0)) << "little-endian";
    EXPECT_EQ(std::make_tuple(s.pcm.bytes[7998], s.pcm.bytes[7999]), std::make_tuple(0x9F, 0x0F));
    ASSERT_EQ(s.descriptions.size(), 1u);
    const StandInSoundFormat f = ReadStandInSoundDescription(s.descriptions[0]);
    EXPECT_EQ(std::make_tuple(f.format, f.channels, f.bits, f.rate), std::make_tuple(QtFourCC("twos"), 1, 16, 8000u))
        << "descriptions come in the machine's order";
    EXPECT_EQ(movie->tracks[1].mediaType, kStandInMusic);
    EXPECT_TRUE(movie->music.empty());
    ASSERT_EQ(movie->userData.size(), 1u);
    EXPECT_EQ(movie->userData[0].first, QtFourCC("ctyp"));
    const QtWord word = AddStandInMovie(std::move(movie));
    StandInMovie* m = FindStandInMovie(word);
    SetStandInMovieRate(m, kQtFixed1);
    StartStandInSound(word, m);
    AdvanceStandInTestClock(1999);
    EXPECT_FALSE(IsStandInMovieDone(*m));
    AdvanceStandInTestClock(1);
    EXPECT_TRUE(IsStandInMovieDone(*m));
    DisposeStandInMovie(word);
    // Sound files open as movies of one sound track: an 8-bit WAV stays as it is, an AU's
    // 16-bit big-endian samples turn little-endian.
    Bytes wav{'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
              0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 2, 3, 4};
    ASSERT_EQ(OpenStandInMovieData(wav, &movie), kQtNoErr);
    ASSERT_EQ(movie->tracks.size(), 1u);
    EXPECT_EQ(movie->tracks[0].pcm.bytes, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(movie->tracks[0].mediaScale, 8000u);
    Bytes au{'.', 's', 'n', 'd', 0, 0, 0, 28, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0x1F, 0x40, 0, 0, 0, 1, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78};
    ASSERT_EQ(OpenStandInMovieData(au, &movie), kQtNoErr);
    EXPECT_EQ(movie->tracks[0].pcm.bytes, (Bytes{0x34, 0x12, 0x78, 0x56}));
    EXPECT_EQ(movie->tracks[0].SampleCount(), 2u);
    // Not movie data at all.
    EXPECT_NE(OpenStandInMovieData(Bytes(64, 0x55), &movie), kQtNoErr);
    EXPECT_NE(OpenStandInMovieData({}, &movie), kQtNoErr);
}

// What the music output was asked: the messages from a time on.
struct MusicRecord {
    std::vector<StandInMidiEvent> events;
    uint32_t fromMs = 0;
    int stops = 0;
};
MusicRecord g_music;

TEST(StandInMovieModel, MidiPlaysItsNotesFromTheMovieTimeThroughTheMusicOutput) {
    TestClock clock;
    // Two notes of half a second at 120 beats a minute, 480 ticks a quarter note.
    const Bytes midi{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 21,
                     0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x00, 0x90, 67, 90, 0x83, 0x60, 0x80, 67, 0,
                     0x00, 0xFF, 0x2F, 0x00};
    Bytes file;
    ASSERT_EQ(StandInMidiToMovieFile(midi, &file), kQtNoErr);
    std::unique_ptr<StandInMovie> movie;
    ASSERT_EQ(OpenStandInMovieData(midi, &movie), kQtNoErr) << "a MIDI file opens as a movie too";
    EXPECT_EQ(movie->duration, 600);
    ASSERT_EQ(OpenStandInMovieData(file, &movie), kQtNoErr);
    EXPECT_EQ(movie->duration, 600);
    // The notes (the part's instrument may come first), at their times.
    std::vector<std::pair<uint32_t, Bytes>> notes;
    for (const StandInMidiEvent& e : movie->music)
        if ((e.message[0] & 0xE0) == 0x80)
            notes.emplace_back(e.ms, Bytes{uint8_t(e.message[0] & 0xF0), e.message[1], uint8_t(e.message[0] >= 0x90 ? e.message[2] : 0)});
    const std::vector<std::pair<uint32_t, Bytes>> expected = {
        {0, {0x90, 60, 100}}, {500, {0x80, 60, 0}}, {500, {0x90, 67, 90}}, {1000, {0x80, 67, 0}}};
    EXPECT_EQ(notes, expected);
    EXPECT_EQ(movie->musicSource, file) << "kept as it came, for export";
    Bytes back;
    ASSERT_EQ(StandInMovieToMidiFile(*movie, &back), kQtNoErr);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 4), (Bytes{'M', 'T', 'h', 'd'}));

    const StandInOutputs saved = StandInMovieOutputs();
    StandInOutputs outputs = saved;
    outputs.playMusic = [](QtWord, std::span<const StandInMidiEvent> events, uint32_t fromMs) {
        g_music.events.assign(events.begin(), events.end());
        g_music.fromMs = fromMs;
        return true;
    };
    outputs.stopMusic = [](QtWord) { ++g_music.stops; };
    SetStandInOutputs(outputs);
    g_music = {};
    const QtWord word = AddStandInMovie(std::move(movie));
    StandInMovie* m = FindStandInMovie(word);
    SetStandInMovieTime(m, 300);  // half a second in
    SetStandInMovieRate(m, kQtFixed1);
    StartStandInSound(word, m);
    EXPECT_EQ(g_music.fromMs, 500u);
    EXPECT_EQ(g_music.events.size(), m->music.size());
    AdvanceStandInTestClock(500);
    StandInMoviesTask(word);
    EXPECT_TRUE(IsStandInMovieDone(*m));
    EXPECT_EQ(g_music.stops, 1) << "the end stops the music";
    DisposeStandInMovie(word);
    SetStandInOutputs(saved);
}

}  // namespace
