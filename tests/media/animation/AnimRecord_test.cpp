// 'Sprt' records as the builder writes them: read and written back, the film's and path's
// fields, anchors, templates, path points and the refusal of damaged records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "media/animation/AnimRecord.h"
#include "format/StackFile.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace sb = stackbuilder;

sb::Picture Strip(int width, int height) {
    sb::Picture p = sb::SolidPicture(width, height, 8, 3);
    for (size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = static_cast<uint32_t>(i % 7);
    return p;
}

// A strip of three 20 by 10 frames with a mask picture, moving along three points; the carried
// fields hold patterns, and some run-time fields hold what a writer might have left there.
sb::Sprite StripSprite() {
    sb::Sprite s;
    s.number = 77;
    s.path = {{10, 20, 100}, {30, 40, 200}, {50, 60, 300}};
    s.film.strip = Strip(60, 10);
    s.film.frames = {{0, 0, 20, 10}, {20, 0, 40, 10}, {40, 0, 60, 10}};
    sb::Picture mask = sb::SolidPicture(60, 10, 1, 1);
    s.film.mask = mask;
    s.film.maskState = 2;
    s.film.transparent = {255, 0, 0};
    s.words = {{54, 0x1234}, {80, 0x5678}, {82, 0x9ABC}, {140, 3}, {142, 9}, {150, 180}, {156, 180}, {404, 0x0102},
               {426, 0x0304}, {26, 0xDEAD}, {162, 0xBEEF}, {472, 0xF00D}};
    s.longs = {{88, 0x01020304}, {112, 0x05060708}, {212, 0x11121314}, {232, 0x21222324}, {316, 0x31323334},
               {320, 0x41424344}, {448, 0x51525354}, {84, 12}, {220, 0x77777777}, {324, 0x66666666}};
    return s;
}

sb::Sprite PerFrameSprite() {
    sb::Sprite s;
    s.number = 5;
    s.film.kind = kFilmPerFrame;
    s.film.strip = Strip(16, 12);
    s.film.framePictures = {Strip(16, 12), sb::SolidPicture(16, 12, 8, 200)};
    s.path = {{1, 2, 3}};
    return s;
}

sb::Sprite MovieSprite() {
    sb::Sprite s;
    s.number = 9;
    s.hasPath = false;
    s.film.kind = kFilmMovie;
    const std::string path = "C:\\movies\\clip1.avi";  // odd length: no pad byte after its NUL
    s.film.movieRef.assign(path.begin(), path.end());
    s.film.movieRef.push_back(0);
    s.film.movieRef.insert(s.film.movieRef.end(), 6, 0);
    for (char c : std::string("clip.avi"))
        s.film.movieRef.push_back(static_cast<uint8_t>(c));
    s.film.movieRef.push_back(0);
    return s;
}

class AnimRecordTest : public ::testing::Test {
protected:
    void SetUp() override { InitMemRefs(); }
    void TearDown() override { FreeMemRefs(); }
};

// Read and written back: everything but the run-time bytes comes back as it was stored.
Bytes RoundTrip(const Bytes& stored) {
    Handle sprite = 0;
    EXPECT_EQ(ReadStoredAnimRecord(stored, &sprite), 0);
    if (!sprite)
        return {};
    EXPECT_EQ(WriteStoredAnimRecord(sprite), 0);
    Bytes written = HandleToBytes(sprite);
    DisposeHandle(sprite);
    return written;
}

}  // namespace

TEST_F(AnimRecordTest, BuilderRecordsComeBackByteForByteOutsideTheRunTimeRanges) {
    for (const sb::Sprite& s : {StripSprite(), PerFrameSprite(), MovieSprite()}) {
        const Bytes stored = sb::SpriteRecord(s);
        const Bytes written = RoundTrip(stored);
        ASSERT_EQ(written.size(), stored.size()) << "sprite " << s.number;
        const uint32_t filmAt = kSpriteHeaderBytes + GetBE32(stored, kSpritePathLength);
        size_t differing = 0;
        for (size_t i = 0; i < stored.size(); ++i) {
            const bool runTime = i < kSpriteHeaderBytes ? IsSpriteRunTimeByte(static_cast<uint32_t>(i))
                                 : i >= filmAt && i < filmAt + FilmBytesFor(GetBE32(stored, filmAt + kFilmFrameCount))
                                     ? IsFilmRunTimeByte(static_cast<uint32_t>(i - filmAt))
                                     : false;
            if (!runTime && written[i] != stored[i]) {
                ADD_FAILURE() << "sprite " << s.number << " byte " << i << ": " << int(stored[i]) << " became " << int(written[i]);
                if (++differing > 5)
                    break;
            }
        }
        // The handle fields are written 0 whatever the record held.
        for (uint32_t at : {kSpriteExtraHandle, kSpriteFilmHandle, kSpritePathHandle})
            EXPECT_EQ(GetBE32(written, at), 0u) << at;
    }
    // The extra block is skipped on reading, so it is not written again.
    sb::Sprite withExtra = StripSprite();
    withExtra.extra = {1, 2, 3, 4};
    const Bytes written = RoundTrip(sb::SpriteRecord(withExtra));
    EXPECT_EQ(GetBE32(written, kSpriteExtraLength), 0u);
    EXPECT_EQ(written.size(), sb::SpriteRecord(StripSprite()).size());
}

TEST_F(AnimRecordTest, ALoadedRecordHoldsItsFieldsInMemoryOrder) {
    sb::Sprite s = StripSprite();
    s.film.frames[1] = {2, 1, 4, 3};  // stored top 1, left 2, bottom 3, right 4
    const Bytes stored = sb::SpriteRecord(s);
    Handle sprite = 0;
    ASSERT_EQ(ReadStoredAnimRecord(stored, &sprite), 0);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteLayer), 3);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteLayerNumber), 9);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteSeconds), 12u);
    EXPECT_EQ(GetSpriteLong(sprite, 88), 0x01020304u);
    EXPECT_EQ(GetSpriteWord(sprite, 82), 0xBC9Au) << "a field no table names stays as stored";
    const Handle film = GetSpriteFilm(sprite);
    const Handle path = GetSpritePath(sprite);
    ASSERT_NE(film, 0u);
    ASSERT_NE(path, 0u);
    EXPECT_EQ(GetFilmFrameCount(film), 3u);
    EXPECT_EQ(GetFilmMaskState(film), 2);
    ShortRect r{9, 9, 9, 9};
    ASSERT_TRUE(GetFilmFrameRect(film, 1, &r));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 3);
    // The film keeps its blocks after its frames, and names the sprite as its owner, as the path does.
    const Bytes f = HandleToBytes(film);
    EXPECT_EQ(f.size(), FilmBytesFor(3) + GetU32(f, kFilmPictureLength) + GetU32(f, kFilmMaskLength));
    const Bytes p = HandleToBytes(path);
    for (const Bytes* record : {&f, &p}) {
        EXPECT_EQ(GetU32(*record, kAnimOwner), kSprt);
        EXPECT_EQ(GetU32(*record, kAnimOwner + 4), 77u);
    }
    PathPoint point;
    ASSERT_TRUE(GetPathPoint(path, 2, &point));
    EXPECT_EQ(point.x, 50);
    EXPECT_EQ(point.y, 60);
    EXPECT_EQ(point.time, 300u);
    EXPECT_EQ(SumPathPointTimes(path, 1, 2), 500u);
    EXPECT_EQ(SumPathPointTimes(path, 2, 1), 0u);
    // Run-time fields start empty, whatever the record held.
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteOwnHandle), 0);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteBehaviours), 0);
    AnimDisposeHandle(DisposeSpriteKeepFilm(sprite));
}

TEST_F(AnimRecordTest, FilmsSizeTheirFramesAndCentreTheAnchorsOnTheFirstFrame) {
    Handle film = 0, rects = 0;
    ASSERT_EQ(NewFilmRecord(&film, kFilmStrip, {kFilm, 1}, {kSprt, 2}), 0);
    EXPECT_EQ(AnimGetHandleSize(film), 362u);
    const int16_t one[4] = {0, 0, 20, 10};
    ASSERT_EQ(AnimPtrToHandle({reinterpret_cast<const uint8_t*>(one), 8}, &rects), 0);
    ASSERT_EQ(SetFilmFrames(film, 0, rects), 0);
    EXPECT_EQ(AnimGetHandleSize(film), 482u) << "one frame, before its blocks";
    AnimDisposeHandle(rects);
    const int16_t three[12] = {0, 0, 20, 10, 20, 0, 40, 10, 40, 0, 70, 10};  // 20, 20 then 30 wide
    ASSERT_EQ(AnimPtrToHandle({reinterpret_cast<const uint8_t*>(three), 24}, &rects), 0);
    ASSERT_EQ(SetFilmFrames(film, 0, rects), 0);
    EXPECT_EQ(AnimGetHandleSize(film), 362u + 3 * 120);
    for (uint32_t i = 0; i < 3; ++i) {
        int16_t anchor[3] = {1, 1, 1};
        ASSERT_TRUE(GetFilmFrameAnchor(film, i, anchor));
        EXPECT_EQ(anchor[0], -10) << i;
        EXPECT_EQ(anchor[1], -5) << i;
        EXPECT_EQ(anchor[2], 0) << i;
    }
    AnimDisposeHandle(rects);

    // The template chosen from the counts, and what a film and a path set.
    Handle sprite = 0, path = 0;
    ASSERT_EQ(NewSpriteHeader(&sprite), 0);
    EXPECT_EQ(SwapSpriteFilm(sprite, film), 0u);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteTemplate), 1) << "frames, no path";
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteFrameInterval), 41u);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteEndFrame), 3u);
    EXPECT_EQ(GetSpriteBounds(sprite).right, 20);
    ASSERT_EQ(NewPathRecord(&path, 1, {ResType("path"), 1}, {kSprt, 0}), 0);
    EXPECT_EQ(AnimGetHandleSize(path), 138u);
    PathPoint a, b;
    a.x = 5;
    b.x = 50;
    b.time = 70;
    ASSERT_EQ(InsertPathPointAfter(path, -1, a), 0);
    ASSERT_EQ(InsertPathPointAfter(path, 0, b), 0);
    SetSpritePath(sprite, path);
    SetSpriteTemplate(sprite, kSpriteTemplateFromCounts);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteTemplate), 3) << "three frames and a two-point path";
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteEndPoint), 2u);
    EXPECT_EQ(GetSpriteWord(sprite, kSpritePathSource), 1);
    ASSERT_EQ(DeletePathPoint(path, 1), 0);
    SetSpritePath(sprite, path);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteTemplate), 1) << "one point is no path";
    EXPECT_EQ(GetSpriteLong(sprite, kSpritePathInterval), 0u);
    AnimDisposeHandle(DisposeSpriteKeepFilm(sprite));
}

TEST_F(AnimRecordTest, RecordsWithoutAPathTakeTemplateZeroOrOne) {
    for (const size_t frames : {size_t{1}, size_t{3}}) {
        sb::Sprite s = StripSprite();
        s.hasPath = false;
        s.film.mask.reset();
        s.film.frames.resize(frames);
        Handle sprite = 0;
        ASSERT_EQ(ReadStoredAnimRecord(sb::SpriteRecord(s), &sprite), 0);
        EXPECT_EQ(GetSpritePath(sprite), 0u);
        SetSpriteTemplate(sprite, kSpriteTemplateFromCounts);
        EXPECT_EQ(GetSpriteWord(sprite, kSpriteTemplate), frames > 1 ? 1 : 0) << frames;
        AnimDisposeHandle(DisposeSpriteKeepFilm(sprite));
    }
}

TEST_F(AnimRecordTest, DamagedRecordsLoadNothing) {
    const Bytes strip = sb::SpriteRecord(StripSprite());
    const Bytes perFrame = sb::SpriteRecord(PerFrameSprite());
    const Bytes movie = sb::SpriteRecord(MovieSprite());
    // Where the parts of a record lie.
    const auto pathAt = [](const Bytes&) { return kSpriteHeaderBytes; };
    const auto filmAt = [](const Bytes& r) { return kSpriteHeaderBytes + GetBE32(r, kSpritePathLength); };
    const auto add32 = [](Bytes r, size_t at, uint32_t delta) {
        SetBE32(r, at, GetBE32(r, at) + delta);
        return r;
    };
    const auto set32 = [](Bytes r, size_t at, uint32_t value) {
        SetBE32(r, at, value);
        return r;
    };
    struct Case {
        const char* what;
        Bytes record;
        AnimRecordFault fault;
    };
    Bytes notSprite = strip;
    notSprite[0] = 'F';
    Bytes noNul = movie;
    const size_t refAt = filmAt(movie) + kFilmFixedBytes;
    noNul.back() = 'x';  // the name's NUL (the record's last byte) gone
    std::fill(noNul.begin() + refAt, noNul.end(), uint8_t{'x'});
    const uint32_t filmOfPerFrame = filmAt(perFrame);
    const uint32_t frame2 = filmOfPerFrame + kFilmFrames + 2 * kFilmFrameBytes;
    const Case cases[] = {
        {"short header", Bytes(strip.begin(), strip.begin() + 599), AnimRecordFault::NotSprite},
        {"not 'Sprt'", notSprite, AnimRecordFault::NotSprite},
        {"extra length", add32(strip, kSpriteExtraLength, 1), AnimRecordFault::Lengths},
        {"path length", add32(strip, kSpritePathLength, 1), AnimRecordFault::Lengths},
        {"film length", add32(strip, kSpriteFilmLength, 1), AnimRecordFault::Lengths},
        {"point count", add32(strip, pathAt(strip) + kPathPointCount, 1), AnimRecordFault::PathLength},
        {"points past a shortened path", add32(strip, kSpritePathLength, 110 - GetBE32(strip, kSpritePathLength)),
         AnimRecordFault::PathLength},
        {"frame count", set32(strip, filmAt(strip) + kFilmFrameCount, (GetBE32(strip, kSpriteFilmLength) - 362) / 120 + 1),
         AnimRecordFault::FilmLength},
        // 120 x 0x80000003 is 360 in 32 bits: three frames to a reader that lets it wrap.
        {"frame count overflowing", add32(strip, filmAt(strip) + kFilmFrameCount, 0x80000000u), AnimRecordFault::FilmLength},
        {"picture block", add32(strip, filmAt(strip) + kFilmPictureLength, 1), AnimRecordFault::Blocks},
        {"frame block", add32(strip, filmAt(strip) + kFilmFrameBlockLength, 1), AnimRecordFault::Blocks},
        {"mask block", add32(strip, filmAt(strip) + kFilmMaskLength, 1), AnimRecordFault::Blocks},
        {"block lengths overflowing", set32(strip, filmAt(strip) + kFilmPictureLength, 0xFFFFFFFFu), AnimRecordFault::Blocks},
        {"frame picture offset", add32(perFrame, frame2 + kFramePictureOffset, 1), AnimRecordFault::FramePictures},
        {"frame picture length", add32(perFrame, frame2 + kFramePictureLength, 1), AnimRecordFault::FramePictures},
        {"movie reference", noNul, AnimRecordFault::MovieRef},
    };
    for (const Case& c : cases) {
        const int handles = MemRefsCount();
        Handle sprite = 99;
        AnimRecordFault fault = AnimRecordFault::None;
        EXPECT_EQ(ReadStoredAnimRecord(c.record, &sprite, &fault), -1) << c.what;
        EXPECT_EQ(sprite, 0u) << c.what;
        EXPECT_EQ(fault, c.fault) << c.what;
        EXPECT_EQ(MemRefsCount(), handles) << c.what;
    }
    // The same records whole load.
    for (const Bytes* good : {&strip, &perFrame, &movie}) {
        Handle sprite = 0;
        EXPECT_EQ(ReadStoredAnimRecord(*good, &sprite), 0);
        AnimDisposeHandle(DisposeSpriteKeepFilm(sprite));
    }
}

TEST_F(AnimRecordTest, PathPointsAreHitByTheirMarksAndSegments) {
    Handle path = 0;
    ASSERT_EQ(NewPathRecord(&path, 1, {ResType("path"), 1}, {kSprt, 0}), 0);
    const int16_t xy[3][2] = {{100, 100}, {200, 100}, {200, 150}};
    for (int i = 0; i < 3; ++i) {
        PathPoint p;
        p.x = xy[i][0];
        p.y = xy[i][1];
        p.time = static_cast<uint32_t>(10 * (i + 1));
        ASSERT_EQ(InsertPathPointAfter(path, i - 1, p), 0);
    }
    EXPECT_EQ(HitTestPathPoints(path, 103, 100, nullptr), -1) << "3 to the right is outside the mark";
    EXPECT_EQ(HitTestPathPoints(path, 97, 100, nullptr), 0) << "3 to the left is inside";
    EXPECT_EQ(HitTestPathPoints(path, 200, 97, nullptr), 1);
    EXPECT_EQ(HitTestPathPoints(path, 150, 120, nullptr), -1);
    uint32_t segment = 99;
    EXPECT_TRUE(HitTestPathSegments(path, 150, 101, &segment));
    EXPECT_EQ(segment, 0u);
    EXPECT_TRUE(HitTestPathSegments(path, 201, 125, &segment));
    EXPECT_EQ(segment, 1u);
    EXPECT_FALSE(HitTestPathSegments(path, 150, 110, &segment)) << "off the line";
    EXPECT_FALSE(HitTestPathSegments(path, 90, 100, &segment)) << "before the first point";
    Rect32 bounds{};
    ASSERT_TRUE(PathBounds(path, &bounds));
    EXPECT_EQ(bounds.left, 97);
    EXPECT_EQ(bounds.bottom, 153);
    // Selections move only the selected points.
    SelectPathPointsInRect(path, {150, 90, 250, 120});
    OffsetSelectedPathPoints(path, 5, -5);
    PathPoint moved;
    GetPathPoint(path, 1, &moved);
    EXPECT_EQ(moved.x, 205);
    EXPECT_EQ(moved.y, 95);
    GetPathPoint(path, 2, &moved);
    EXPECT_EQ(moved.x, 200) << "outside the rectangle";
    // Flattened and back, the same path.
    const Bytes before = HandleToBytes(path);
    FlattenPathRecord(path);
    EXPECT_EQ(GetBE32(HandleToBytes(path), kPathPointCount), 3u);
    UnflattenPathRecord(path);
    EXPECT_EQ(HandleToBytes(path), before);
    ASSERT_EQ(DeletePathPoint(path, 0), 0);
    EXPECT_EQ(GetPathPointCount(path), 2u);
    EXPECT_EQ(GetPathPointTime(path, 0), 20u);
    ReleasePathRecord(path);
    EXPECT_FALSE(IsValidHandle(path)) << "the only reference released";
}
