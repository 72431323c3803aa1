// Arbitrary bytes as a stored 'Sprt' record, then what is read of it once loaded: the path
// options and facts, each point of the path with its times, marks and segments, and each frame
// of the film with its anchor and mask, none of it reading past the parts.
#include "actions/PathOptionsState.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "media/animation/AnimRecord.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, (1 << 16)))
        return 0;
    Handle sprite = 0;
    if (ReadStoredAnimRecord({data, size}, &sprite) != 0)
        return 0;
    for (int kept : {kEndStop, kEndReverse, kEndLoop}) {
        PathOptionsState s = ReadPathOptions(sprite, kept);
        FuzzCheck(s.begin >= kEndBegin && s.begin <= kEndLoop && s.end >= kEndBegin && s.end <= kEndLoop);
        ClickPathEnd(&s, true);
        ClickPathEnd(&s, false);
        SetPathStartHere(&s, !s.startHere);
        WritePathOptions(sprite, s);
    }
    if (const Handle path = GetSpritePath(sprite)) {
        const uint32_t count = GetPathPointCount(path);
        FuzzCheck(uint64_t{count} * kPathPointBytes <= GetHandleSize(path));
        PathPoint point;
        for (uint32_t i = 0; i < count && i < 4096; ++i) {
            FuzzCheck(GetPathPoint(path, i, &point));
            GetPathPointTime(path, i);
            HitTestPathPoints(path, point.x, point.y, &point);
        }
        FuzzCheck(!GetPathPoint(path, count, &point));
        SumPathPointTimes(path, 0, count);
        uint32_t segment = 0;
        HitTestPathSegments(path, 10, 10, &segment);
        Rect32 bounds;
        FuzzCheck(PathBounds(path, &bounds) == (count != 0));
    }
    if (const Handle film = GetSpriteFilm(sprite)) {
        const uint32_t count = GetFilmFrameCount(film);
        FuzzCheck(FilmBytesFor(count) != 0 && FilmBytesFor(count) <= GetHandleSize(film));
        ShortRect rect;
        int16_t anchor[3];
        for (uint32_t i = 0; i < count && i < 4096; ++i) {
            FuzzCheck(GetFilmFrameRect(film, i, &rect) && GetFilmFrameAnchor(film, i, anchor));
            GetFilmFrameBitmap(film, i);
        }
        FuzzCheck(!GetFilmFrameRect(film, count, &rect));
        uint16_t rgb[3];
        GetFilmTransparentColor(film, rgb);
        GetFilmMaskState(film);
        GetFilmKind(film);
    }
    FuzzCheck(WriteStoredAnimRecord(sprite) == 0);
    DisposeHandle(sprite);
    return 0;
}
