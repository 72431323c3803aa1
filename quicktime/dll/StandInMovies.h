// The stand-in's movies: one record per movie with its tracks, its time base on a clock of its
// own, what it shows (a picture source by kind) and what it sounds (PCM in little-endian order as
// a wave device takes it, or timed MIDI messages). Movies, tracks and media reach the caller as
// opaque words that name a slot of the movie table, never as pointers.
//
//   StandInMovies.cpp          the movie table, time, tracks and media, the frame due
//   StandInMovieEdits.cpp      sound movies made in memory: tracks, media edits, 'raw ' samples
//   StandInMovieFiles.cpp      movie files and data by kind (.mov atoms, AVI chunks, sound files,
//                              MIDI, pictures)
//   StandInFrames.cpp          pictures between packed DIBs and 32-bit frames, and what the
//                              system's decoders hand back (WIC, video decompressors) made into
//                              frames and movies without Windows, for the _win files that ask them
//   StandInMovieVideo.cpp      the frames of .mov video tracks: 'raw ' and 'rle ' here, 'jpeg'
//                              and system codecs through the platform (StandInVideo_win.cpp)
//   StandInMidi.cpp            MIDI: music tracks as timed messages, import and export
//   StandInMovieRows.cpp       the rows of the movie calls
//   StandInPlayback.cpp        the clock, the sound and music outputs, the test switches and sink
//   StandInController.cpp      the movie controller (Rows: its component; _win: the bar drawn with GDI)
//   StandInAvi_win.cpp         AVI frames over AVIFile; StandInGif_win.cpp GIF frames over WIC
//   StandInPlayback_win.cpp    the clock, waveOut, MIDI out and frames into ports on Windows
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "quicktime/QtCalls.h"
#include "quicktime/QtEffects.h"
#include "quicktime/QtTypes.h"
#include "quicktime/QuickTime.h"
#include "quicktime/formats/AviFile.h"
#include "quicktime/formats/SoundFiles.h"

using StandInTime = int64_t;

// Bounds on what files and callers give, so that time arithmetic stays within 64 bits: time
// scales up to 2^24 units a second, sample durations up to 2^24 units, runs up to 2^31 samples,
// and media durations saturate at 2^55.
inline constexpr uint32_t kStandInMaxScale = 1u << 24;
inline constexpr uint32_t kStandInMaxSampleDuration = 1u << 24;
inline constexpr uint32_t kStandInMaxRun = 1u << 31;
inline constexpr StandInTime kStandInMaxTime = StandInTime(1) << 55;
inline uint32_t StandInScale(uint64_t scale) {
    return scale == 0 ? 1 : scale > kStandInMaxScale ? kStandInMaxScale : static_cast<uint32_t>(scale);
}

inline constexpr uint32_t kStandInVideo = QtFourCC("vide");
inline constexpr uint32_t kStandInSound = QtFourCC("soun");
inline constexpr uint32_t kStandInMusic = QtFourCC("musi");

inline constexpr int32_t kStandInNotEditing = -2012;     // not between BeginMediaEdits and EndMediaEdits
inline constexpr int32_t kStandInBadFormat = -2001;      // badImageDescription: a sample format we cannot play

// A picture, 32-bit rows top first: blue, green, red, alpha.
struct StandInImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgra;
};

// Samples as the wave device takes them: little-endian, 8-bit unsigned, interleaved.
struct StandInPcm {
    uint16_t channels = 0;
    uint16_t bits = 0;
    uint32_t rate = 0;
    std::vector<uint8_t> bytes;
    uint32_t FrameBytes() const { return uint32_t(channels) * (bits / 8u); }
};

// One MIDI message at its time from the start of the piece.
struct StandInMidiEvent {
    uint32_t ms = 0;
    std::vector<uint8_t> message;
};

// What shows the pictures of a movie's first video track, by sample.
class StandInPictureSource {
public:
    virtual ~StandInPictureSource() = default;
    virtual bool Frame(uint32_t sample, StandInImage* out) = 0;
};

// A system decompressor for one movie's video samples, probed once per movie.
class StandInVideoCodec {
public:
    virtual ~StandInVideoCodec() = default;
    // The frame after this sample (key: a sync sample); false when the codec refuses it.
    virtual bool Decode(std::span<const uint8_t> sample, bool key, StandInImage* out) = 0;
};

// Runs of equal sample durations, as a time-to-sample table holds them.
struct StandInSampleRun {
    uint32_t count = 0;
    uint32_t duration = 0;  // media units
};

struct StandInTrack {
    uint32_t mediaType = 0;
    uint32_t mediaScale = 600;
    std::vector<StandInSampleRun> runs;
    std::vector<std::vector<uint8_t>> descriptions;  // sample descriptions as stored, big-endian
    StandInTime trackStart = 0;                      // movie units: where the media begins
    StandInTime mediaStart = 0;                      // media units: what the track shows first
    // (display start in media units, sample) by display start, when a composition offset
    // table shows samples out of their decoding order; empty otherwise.
    std::vector<std::pair<StandInTime, uint32_t>> displayOrder;
    int32_t width = 0;                               // pixels
    int32_t height = 0;
    int16_t volume = 0x100;
    bool editing = false;
    bool inserted = false;  // the media has been put into the track
    StandInPcm pcm;         // sound media

    uint32_t SampleCount() const;
    StandInTime MediaDuration() const;
};

struct StandInBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

struct StandInMovie {
    uint32_t timeScale = 600;
    StandInTime duration = 0;  // movie units
    StandInBox natural;        // the picture's own size
    StandInBox box;            // where it is drawn in its port
    int32_t preferredRate = kQtFixed1;
    int32_t rate = 0;
    bool active = true;
    bool looping = false;
    int16_t volume = 0x100;
    StandInTime anchorTime = 0;  // the movie time at anchorMs
    int64_t anchorMs = 0;
    std::vector<StandInTrack> tracks;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> userData;
    std::unique_ptr<StandInPictureSource> pictures;
    std::vector<StandInMidiEvent> music;
    std::vector<uint8_t> musicSource;  // the movie data of a movie with music tracks, as it came
    QtWord gworld = 0;  // the port or graphics world MoviesTask draws into
    QtWord clip = 0;    // a region of the caller's that the picture is drawn within, or none
    int64_t shownSample = -1;
    bool soundOn = false;  // its sound or music is with the output
};

// The movie table. Words name slots; a disposed slot's word is never valid again.
QtWord AddStandInMovie(std::unique_ptr<StandInMovie> movie);
StandInMovie* FindStandInMovie(QtWord movie);
void DisposeStandInMovie(QtWord movie);
int StandInMovieCount();
// Tracks and media: the movie's word with the track's index (from 0).
QtWord StandInTrackWord(QtWord movie, size_t index);
QtWord StandInMediaWord(QtWord movie, size_t index);
struct StandInTrackRef {
    StandInMovie* movie = nullptr;
    StandInTrack* track = nullptr;
    QtWord movieWord = 0;
};
StandInTrackRef FindStandInTrack(QtWord track);
StandInTrackRef FindStandInMedia(QtWord media);

// The current graphics world (SetGWorld), where new movies and controllers draw.
QtWord StandInCurrentGWorld();

// Time. The movie's duration follows from its tracks (RecomputeDuration), its time from its rate
// and the clock.
void RecomputeStandInDuration(StandInMovie* movie);
StandInTime StandInMovieTime(const StandInMovie& movie);
void SetStandInMovieTime(StandInMovie* movie, StandInTime time);
void SetStandInMovieRate(StandInMovie* movie, int32_t rate);
bool IsStandInMovieDone(const StandInMovie& movie);
// The next interesting time after (or, with edgeOK, at) a time, of the samples of the tracks of
// these media types (all when empty); -1 when none. The duration of the sample found.
StandInTime StandInNextSampleTime(const StandInMovie& movie, std::span<const uint32_t> types, StandInTime time,
                                  bool backward, bool edgeOK, StandInTime* duration);
// The sample of the first video track due at a movie time; -1 when none.
int64_t StandInVideoSampleAt(const StandInMovie& movie, StandInTime time);
// Moves every movie (or one) on: ends those that reached their end, draws the frame due.
void StandInMoviesTask(QtWord movie);
// The frame at a time, at the movie's natural size; false when it has no picture.
bool StandInMovieFrame(StandInMovie* movie, StandInTime time, StandInImage* out);

// Pictures between packed DIBs (header, colours, rows; bounded) and frames (StandInFrames.cpp).
// Every frame made from sizes a file gives holds at most kMaxVideoPixels, and one that memory
// cannot hold all the same cannot be read (false), as the frames too large are.
bool StandInImageFromDib(std::span<const uint8_t> dib, StandInImage* out);
std::vector<uint8_t> StandInDibFromImage(const StandInImage& image);
// AVI frames (StandInFrames.cpp). A stored frame: the stream's format as read (its header
// and the colours or masks it carries; a colour count above those carried is capped) and the
// frame's bytes as read, which must hold its rows. A frame a codec made: the length of the
// packed DIB starting with that header, for a frame of the stream's size (colours capped at
// what the depth indexes, no wrap); 0 when the header is not one of such a frame.
bool AviFrameImage(std::span<const uint8_t> format, std::span<const uint8_t> rows, StandInImage* out);
size_t DecodedAviFrameBytes(std::span<const uint8_t> frameHeader, std::span<const uint8_t> format);

// The clock, the outputs and the test switches (StandInPlayback.cpp).
int64_t StandInNowMs();
void SetStandInTestClock(bool on);
bool StandInTestClockOn();
void AdvanceStandInTestClock(int64_t ms);
// With a path, sound goes into that WAV file (what the wave device would get) instead.
void SetStandInSoundSink(std::string path);
// The movie's volume (8.8), applied to what is playing.
void SetStandInMovieVolume(QtWord movieWord, StandInMovie* movie, int16_t volume);
// Sound and music of a movie from its current time, or silence.
void StartStandInSound(QtWord movieWord, StandInMovie* movie);
void StopStandInSound(QtWord movieWord, StandInMovie* movie);
// A frame into a port or graphics world at a box, within a clip region when there is one.
void PresentStandInFrame(QtWord port, const StandInImage& image, const StandInBox& box, QtWord clip);
// The platform's outputs; each may be null (then there is no such device).
struct StandInOutputs {
    int64_t (*nowMs)();
    bool (*playPcm)(QtWord owner, const StandInPcm& pcm, size_t fromByte);
    void (*stopPcm)(QtWord owner);
    // The loudness of what plays for the owner: 0x100 is full (8.8), more is full too.
    void (*setVolume)(QtWord owner, int16_t volume);
    bool (*playMusic)(QtWord owner, std::span<const StandInMidiEvent> events, uint32_t fromMs);
    void (*stopMusic)(QtWord owner);
    void (*present)(QtWord port, const StandInImage& image, const StandInBox& box, QtWord clip);
    // What only the platform opens: the frames of an AVI file's first video stream from its
    // start (AVIFile; null when it cannot), GIF files over WIC.
    std::unique_ptr<StandInPictureSource> (*aviPictures)(const std::string& path, int64_t firstFrame);
    int32_t (*openGif)(const std::string& path, std::unique_ptr<StandInMovie>* out);
    // A point of the screen, as events carry it, in the port's own coordinates.
    void (*toPortPoint)(QtWord port, int32_t* h, int32_t* v);
    // Video the stand-in does not decode itself: Photo-JPEG samples, and a system decompressor
    // for a description (stored, big-endian), or null when the system has none.
    bool (*decodeJpeg)(std::span<const uint8_t> sample, StandInImage* out);
    std::unique_ptr<StandInVideoCodec> (*openVideoCodec)(std::span<const uint8_t> description, int32_t width,
                                                         int32_t height);
    // A line of the stand-in's log.
    void (*log)(const std::string& line);
};
const StandInOutputs& StandInMovieOutputs();
// The stand-in's log: why a movie shows no picture, which samples were refused. The last lines
// are kept for tests; the platform writes them on (LOOM_QUICKTIME_LOG=<file> on Windows).
void StandInLog(const std::string& line);
std::vector<std::string> StandInLogLines();
void SetStandInOutputs(const StandInOutputs& outputs);
// The Windows outputs and the switches read from the environment (StandInPlayback_win.cpp),
// installed when the library loads.
void InstallStandInMovieOutputs();

// What the system's decoders hand back, made into frames and movies (StandInFrames.cpp): the
// _win files ask the system (StandInGif_win.cpp, StandInVideo_win.cpp,
// QtStandInImporter_win.cpp) and hand the results here, so that this byte work is fuzzed.
inline constexpr uint32_t kGifMaxFrames = 2000;
inline constexpr uint32_t kGifMaxSide = 4096;
inline constexpr uint64_t kGifMaxComposedBytes = 256u << 20;  // all frames together

// A GIF's frames laid one over the other as they show: each frame at its place on the logical
// screen, its transparent pixels showing what lies under it, then disposed of (2: its rectangle
// back to white; 3: the screen as it was before it) before the next.
class GifComposer {
public:
    // The logical screen's size from the file; 0 takes the first frame's.
    GifComposer(uint32_t screenWidth, uint32_t screenHeight) : screenWidth_(screenWidth), screenHeight_(screenHeight) {}
    // Whether a frame of this size may be decoded at all: 1 to kGifMaxSide each way.
    static bool FrameSizeFits(uint32_t width, uint32_t height);
    // One decoded frame: 32-bit BGRA rows top first (alpha 0 where transparent), its place, its
    // delay in hundredths of a second (0 counts as 10) and its disposal. False, and the frame
    // left out, when its size does not fit, its pixels are fewer than its size needs, or the
    // frames so far would pass kGifMaxFrames or kGifMaxComposedBytes: the composing ends there.
    bool Add(std::span<const uint8_t> bgra, uint32_t width, uint32_t height, uint32_t left, uint32_t top,
             uint32_t delay, uint32_t disposal);
    size_t FrameCount() const { return frames_.size(); }
    // The movie of the frames, one 'vide' sample each lasting its delay, the screen's size;
    // kQtCantFindHandler when no frame was added.
    int32_t Finish(StandInMovie* movie);

private:
    bool Compose(std::span<const uint8_t> bgra, uint32_t width, uint32_t height, uint32_t left, uint32_t top,
                 uint32_t delay, uint32_t disposal);

    uint32_t screenWidth_, screenHeight_;
    StandInImage canvas_;
    std::vector<StandInImage> frames_;
    StandInTrack track_;
    uint64_t total_ = 0;
};

// Photo-JPEG's frame as WIC gives it (32-bit, the fourth byte undefined) made opaque.
void MakeStandInImageOpaque(StandInImage* image);
// A decompressor's output: bottom-up rows of 3 or 4 bytes a pixel, each padded to 4 bytes, as a
// frame. False when the size or depth is not one of these or the rows are fewer than it needs.
bool StandInImageFromBottomUpRows(std::span<const uint8_t> rows, int32_t width, int32_t height, int bytesPerPixel,
                                  StandInImage* out);
// WIC's 32-bit BGRA with straight alpha composed over white, the alpha bytes then 0, in place.
void ComposeOverWhite(std::span<uint8_t> bgra);

// Sound movies made in memory (StandInMovieEdits.cpp): sound descriptions (QtSoundDescription)
// as callers pass them, in the machine's order, and the samples of a sound media turned into PCM.
struct StandInSoundFormat {
    uint32_t format = 0;
    uint16_t channels = 0;
    uint16_t bits = 0;
    uint32_t rate = 0;  // whole hertz
};
StandInSoundFormat ReadStandInSoundDescription(std::span<const uint8_t> description);
// kQtNoErr and how its samples are stored for what the stand-in plays ('raw ' 8-bit unsigned or
// 16/24/32-bit big-endian, 'twos', 'sowt', 'ulaw', 'in24', 'in32'); kStandInBadFormat for MACE
// and every other codec.
int32_t StandInPlayableSound(const StandInSoundFormat& format, SoundEncoding* encoding);
// Adds samples (each one frame of all channels) of the description to a sound track's PCM.
int32_t AddStandInSoundSamples(StandInTrack* track, std::span<const uint8_t> data,
                               std::span<const uint8_t> description, uint32_t samples, uint32_t durationPerSample);
void AddStandInSampleRun(StandInTrack* track, uint32_t count, uint32_t duration);
// The description of little-endian PCM ('raw ' for 8 bits, 'sowt' above).
std::vector<uint8_t> StandInSoundDescriptionBytes(const StandInPcm& pcm);
// A movie of one sound track holding this PCM (sound files opened as movies).
std::unique_ptr<StandInMovie> StandInSoundMovie(StandInPcm pcm);

// Movie files and movie data by kind (StandInMovieFiles.cpp): AVI and GIF files through the
// platform's openers, QuickTime movie files by their atoms (video decoded as far as a decoder
// here or in the system reads it),
// WAV, AIFF/AIFC and AU files as sound movies, MIDI files and 'Midi' data as music movies.
bool StandInFileExists(const std::string& path);
// kQtNoErr and the movie, or an error.
int32_t OpenStandInMovieFile(const std::string& path, std::unique_ptr<StandInMovie>* out);
int32_t OpenStandInMovieData(std::span<const uint8_t> data, std::unique_ptr<StandInMovie>* out);
// An AVI file's movie without its pictures (quicktime/formats/AviFile.h reads the chunks): the
// first video stream's track and box, each PCM audio stream whose frames have bytes as a sound
// track. `firstFrame` is the shown video stream's start, or -1 when the movie shows none. False
// when the file is no AVI.
bool ReadStandInAvi(const AviRead& read, uint64_t size, StandInMovie* movie, int64_t* firstFrame);
// The whole file, at most `limit` bytes; false when it cannot be read or is longer.
bool ReadStandInFile(const std::string& path, size_t limit, std::vector<uint8_t>* out);
bool WriteStandInFile(const std::string& path, std::span<const uint8_t> bytes);
