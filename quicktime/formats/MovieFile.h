// QuickTime movie files: the atoms that give a movie's time scale, duration, box and tracks,
// each track's media type, time scale, sample descriptions and sample table, and the movie's
// user data ('ctyp', the controller kind); and a writer of movies whose tracks each keep their
// samples in one chunk (a music track, a sound track). Spans point into the file's bytes, which
// must outlive what was read. Every atom size, count and offset is checked against its parent.
//
//   MovieFile.cpp        reading: atoms, movie and track headers, sample tables, samples
//   MovieFileWriter.cpp  writing: 'mdat' then 'moov' with one chunk per track
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/QtAtoms.h"

inline constexpr uint32_t kMovieTimeScale = 600;  // what new movies use
inline constexpr uint32_t kSampleDescriptionHeaderBytes = 16;  // size, format, 6 reserved, data reference
inline constexpr uint32_t kTrackEnabled = 0x1;

// One entry of a track's 'stsd': its format and all its bytes, the 16-byte header included.
struct MovieSampleDescription {
    uint32_t format = 0;
    uint16_t dataReference = 0;
    std::span<const uint8_t> bytes;
};

struct MovieTimeToSample {
    uint32_t count = 0;
    uint32_t duration = 0;
};

// A run of samples shown that far (signed, in media units) after their decoding time ('ctts').
struct MovieCompositionOffset {
    uint32_t count = 0;
    int32_t offset = 0;
};

struct MovieSampleToChunk {
    uint32_t firstChunk = 0;  // from 1
    uint32_t samplesPerChunk = 0;
    uint32_t description = 0;  // from 1
};

// One entry of a track's edit list: a stretch of movie time showing media from mediaTime
// (-1: nothing, an empty edit).
struct MovieEdit {
    uint32_t duration = 0;  // in the movie's time scale
    int32_t mediaTime = 0;
    int32_t rate = 0x10000;  // 16.16
};

struct MovieTrack {
    uint32_t id = 0;
    uint32_t flags = 0;       // kTrackEnabled, in movie, in preview, in poster
    uint32_t duration = 0;    // in the movie's time scale
    int32_t width = 0;        // 16.16 fixed
    int32_t height = 0;
    int32_t left = 0;         // the matrix's translation, 16.16 fixed
    int32_t top = 0;
    uint16_t volume = 0;      // 8.8 fixed
    uint32_t mediaType = 0;   // the media handler: 'vide', 'soun', 'musi', ...
    uint32_t mediaTimeScale = 0;
    uint64_t mediaDuration = 0;
    std::vector<MovieEdit> edits;  // empty: the media from its start, at rate 1
    std::vector<MovieSampleDescription> descriptions;
    std::vector<MovieTimeToSample> timeToSample;
    std::vector<MovieSampleToChunk> sampleToChunk;
    uint32_t sampleSize = 0;  // every sample's size, or 0 when sampleSizes holds them
    uint32_t sampleCount = 0;
    std::vector<uint32_t> sampleSizes;
    std::vector<uint64_t> chunkOffsets;  // from the start of the file
    bool hasSyncTable = false;           // without 'stss' every sample is a sync sample
    std::vector<uint32_t> syncSamples;   // from 1, as 'stss' lists them
    std::vector<MovieCompositionOffset> compositionOffsets;
};

struct MovieUserData {
    uint32_t type = 0;
    std::span<const uint8_t> data;
};

struct MovieFileInfo {
    uint32_t timeScale = 0;
    uint64_t duration = 0;
    int32_t rate = 0x10000;   // preferred rate, 16.16
    uint16_t volume = 0x100;  // preferred volume, 8.8
    std::vector<MovieTrack> tracks;
    std::vector<MovieUserData> userData;
    uint32_t controllerType = 0;  // the 'ctyp' user data, 0 when there is none
};

enum class MovieRefusal : uint8_t {
    None,
    NoMovie,     // no 'moov' atom
    Compressed,  // a compressed 'moov' ('cmov')
    BadHeader,   // no 'mvhd', or its time scale is 0
};

MovieRefusal ReadMovieFile(std::span<const uint8_t> file, MovieFileInfo* info);

struct MovieBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
// The union of the enabled tracks that have a size, in whole pixels; empty for sound-only movies.
MovieBox MovieBoxOf(const MovieFileInfo& info);

// A track's chunks: where each lies and which samples it holds.
struct MovieChunk {
    uint64_t offset = 0;
    uint32_t firstSample = 0;  // from 0
    uint32_t sampleCount = 0;
    uint32_t description = 0;  // from 1
};
// Stops at the track's sample count, at the chunks there are, and at limit chunks.
std::vector<MovieChunk> TrackChunks(const MovieTrack& track, size_t limit = SIZE_MAX);

struct MovieSample {
    uint64_t offset = 0;
    uint32_t size = 0;
    uint64_t time = 0;  // in the media's time scale
    uint32_t duration = 0;
    uint32_t description = 0;  // from 1
};
// The track's samples in order, at most limit of them.
std::vector<MovieSample> TrackSamples(const MovieTrack& track, size_t limit);
// A sample's bytes, empty when they do not lie whole inside the file.
std::span<const uint8_t> SampleBytes(std::span<const uint8_t> file, const MovieSample& sample);
// The sum of the track's sample durations (its media duration as the samples tell it).
uint64_t TrackSampleDuration(const MovieTrack& track);

// What a track to be written holds: its samples lie one after the other in one chunk.
struct MovieTrackSpec {
    uint32_t mediaType = 0;            // 'soun', 'musi'
    uint32_t mediaTimeScale = kMovieTimeScale;
    std::vector<uint8_t> description;  // one whole sample description, its header included
    std::vector<uint8_t> samples;
    uint32_t sampleCount = 1;
    uint32_t sampleSize = 0;           // every sample's size; 0: one sample of all the bytes
    uint32_t sampleDuration = 0;       // every sample's duration in the media's time scale
    uint16_t volume = 0x100;
    std::vector<MovieEdit> edits;      // none: the media from its start, at rate 1
};
// A movie file ('mdat' then 'moov', time scale 600) holding the tracks in that order.
std::vector<uint8_t> WriteMovieFile(std::span<const MovieTrackSpec> tracks);
// A sample description of the format with the body after its 16-byte header.
std::vector<uint8_t> MakeSampleDescription(uint32_t format, std::span<const uint8_t> body);
