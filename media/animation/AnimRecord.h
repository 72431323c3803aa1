// Animated objects as records: the sprite header, its film and its path, each in a handle of
// its own (the header keeps the other two), and the stored 'Sprt' record they come from and go
// to (layout in format/StackFile.h). Platform-free: the pictures of a film are the
// business of FilmPictures_win.cpp (AnimPlayback.h); here a film holds them packed, as blocks
// after its frames, or as handles the picture side made.
//
//   AnimMemory.cpp       the memory glue (0, or -1 for out of memory), the records' common head
//   SpriteHeader.cpp     new headers, their accessors, setting the film and the path
//   FilmRecord.cpp       new films, frames, anchors, accessors, the byte order of films
//   PathRecord.cpp       paths: points, selection, hit tests, the byte order of paths
//   AnimRecordStore.cpp  the stored record read (every length checked) and written
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// ---- AnimMemory.cpp ----
int AnimNewHandle(uint32_t size, Handle* out);  // zeroed
void AnimDisposeHandle(Handle h);
int AnimAppendHandle(Handle source, Handle destination);
int AnimAppendBytes(std::span<const uint8_t> bytes, Handle destination);
uint32_t AnimGetHandleSize(Handle h);
int AnimPtrToHandle(std::span<const uint8_t> bytes, Handle* out);
int AnimSetHandleSize(Handle h, uint32_t size);
uint8_t* AnimLockHandle(Handle h);  // null, doing nothing, for a null handle
void AnimUnlockHandle(Handle h);
int AnimPadHandleEven(Handle h);    // one byte more when the size is odd

struct AnimPair {
    uint32_t kind = 0;  // four characters
    uint32_t number = 0;
};
// A zeroed record of size bytes with the head the three records share: the tag, version 100,
// the identity and the owner.
int NewAnimRecord(Handle* out, uint32_t size, uint32_t tag, AnimPair identity, AnimPair owner);

// ---- SpriteHeader.cpp ----
// 600 bytes: tags, version 100, identity ('Sprt', 0), owner ('????', 0), float over both ways,
// time scales 100, repeats 1, path interval 1.
int NewSpriteHeader(Handle* out);
// Replaces the film and sets the frame behaviour from it: a movie plays to its end; fewer than
// two frames hold still; more step forward at 41 ms. The template is chosen from the counts and
// the bounds are the start frame's. Answers the film it replaced, for the caller to dispose
// (its pictures are the picture side's: DisposeFilm, AnimPlayback.h).
Handle SwapSpriteFilm(Handle sprite, Handle film);
// Replaces the path (the old one released) and sets the path behaviour from its count.
void SetSpritePath(Handle sprite, Handle path);
Handle GetSpriteFilm(Handle sprite);
Handle GetSpritePath(Handle sprite);
// 32000 chooses from the counts: with a path of two or more points 3 for two or more frames,
// else 2; without one 1 for two or more frames, else 0.
void SetSpriteTemplate(Handle sprite, uint16_t value);
// The fields of the header in memory order, by their offsets in StackFile.h (SpriteOffset).
uint16_t GetSpriteWord(Handle sprite, uint32_t offset);
void SetSpriteWord(Handle sprite, uint32_t offset, uint16_t value);
uint32_t GetSpriteLong(Handle sprite, uint32_t offset);
void SetSpriteLong(Handle sprite, uint32_t offset, uint32_t value);
uint8_t GetSpriteByte(Handle sprite, uint32_t offset);
void SetSpriteByte(Handle sprite, uint32_t offset, uint8_t value);
ShortRect GetSpriteBounds(Handle sprite);
// Disposes of the header and releases its path; answers its film for the caller to dispose.
Handle DisposeSpriteKeepFilm(Handle sprite);
// The two byte-order conversions of the 600-byte header (toFile: memory to stored).
void ConvertSpriteHeader(std::span<uint8_t> header, bool toFile);

// ---- FilmRecord.cpp ----
// 362 bytes: tag 'Film', version 100, the pairs, +26 = 1, the kind, its methods installed.
int NewFilmRecord(Handle* out, uint16_t kind, AnimPair identity, AnimPair owner);
// Notes the film's kind as the kind whose picture methods it uses (the methods themselves are
// the picture side's, FilmPictures_win.cpp).
void InstallFilmMethods(Handle film);
// Keeps the strip picture handle (a PixMap handle, the film's own from now) and sizes the film
// for the rectangles (8 bytes each, left, top, right, bottom in host order) as its frames:
// kind 0, anchors centred, methods installed. 0 or -1.
int SetFilmFrames(Handle film, Handle stripPicture, Handle rects);
// Every frame's anchor from the first frame's size, as long as the following frames share it.
void CentreFilmAnchors(Handle film);
uint32_t GetFilmFrameCount(Handle film);
uint16_t GetFilmKind(Handle film);
bool GetFilmFrameRect(Handle film, uint32_t index, ShortRect* rect);
bool GetFilmFrameAnchor(Handle film, uint32_t index, int16_t anchor[3]);
uint32_t GetFilmFrameBitmap(Handle film, uint32_t index);  // the frame's mask bitmap
void SetFilmFrameBitmap(Handle film, uint32_t index, uint32_t bitmap);
// A run-time handle of the film's pictures (kFilmStripPicture ... kFilmMaskPicture).
Handle GetFilmPictureHandle(Handle film, uint32_t offset);
void SetFilmPictureHandle(Handle film, uint32_t offset, Handle picture);
void SetFilmStripPicture(Handle film, Handle picture);
uint16_t GetFilmMaskState(Handle film);
void SetFilmMaskState(Handle film, uint16_t state);
void GetFilmTransparentColor(Handle film, uint16_t rgb[3]);
void StoreFilmTransparentColor(Handle film, const uint16_t rgb[3]);
// 362 + 120 x count, or 0 when that does not fit 32 bits.
uint32_t FilmBytesFor(uint32_t count);
// The film's byte order both ways, its frames included (the count read before converting when
// coming from the file). Bytes past the frames are left alone.
void ConvertFilmRecord(std::span<uint8_t> film, bool toFile);
// The blocks stored after a flattened film's frames (the strip picture, the frame pictures of a
// kind-2 film or a movie's file reference, the mask picture), each within the film; all empty
// when the film is short or its lengths run past its end.
struct FilmBlocks {
    std::span<const uint8_t> picture, frames, mask;
};
FilmBlocks StoredFilmBlocks(std::span<const uint8_t> film);
// The packed picture of a kind-2 film's frame in its frame block; empty when the frame is not
// in the film, its length is 0 or its place runs past the block.
std::span<const uint8_t> FramePictureInBlock(std::span<const uint8_t> film, std::span<const uint8_t> block,
                                             uint32_t index);
// A stored rectangle (top, left, bottom, right, big-endian) and the memory one, both ways.
void ConvertRect(std::span<uint8_t> record, uint32_t offset);

// ---- PathRecord.cpp ----
struct PathPoint {
    int16_t x = 0, y = 0, z = 0;
    uint32_t time = 0;
    uint8_t selected = 0;
};
// 138 bytes: tag 'Path', version 100, the pairs, one reference, the kind, no points.
int NewPathRecord(Handle* out, uint16_t kind, AnimPair identity, AnimPair owner);
// One reference fewer; at none the handle is disposed.
void ReleasePathRecord(Handle path);
// To the stored form (big-endian, padded to even) and back.
void FlattenPathRecord(Handle path);
void UnflattenPathRecord(Handle path);
void ConvertPathRecord(std::span<uint8_t> path, bool toFile);
void SetPathOwner(Handle path, AnimPair owner);
void SetPathFlag(Handle path, uint16_t value);
uint32_t GetPathPointCount(Handle path);
bool GetPathPoint(Handle path, uint32_t index, PathPoint* point);
bool SetPathPoint(Handle path, uint32_t index, const PathPoint& point);
uint32_t GetPathPointTime(Handle path, uint32_t index);
uint32_t SumPathPointTimes(Handle path, uint32_t first, uint32_t last);
// The point goes to index + 1 (index -1: the front). On a failed resize nothing changes. 0 or -1.
int InsertPathPointAfter(Handle path, int32_t index, const PathPoint& point);
int InsertPathPoints(Handle path, Handle points, uint32_t index);  // 28-byte stored points
int DeletePathPoint(Handle path, uint32_t index);
void SetPathPointSelected(Handle path, uint32_t index, bool selected);
void SelectAllPathPoints(Handle path, bool selected);
void SelectPathPointsInRect(Handle path, const Rect32& rect);
void MoveSelectedPathPoints(Handle path, int dx, int dy, int dz);
void OffsetSelectedPathPoints(Handle path, int dx, int dy);
// A point's mark: the 6 by 6 square from (x - 3, y - 3), right and bottom excluded.
Rect32 PathPointMark(const PathPoint& point);
// The first point whose mark holds (x, y), else -1.
int HitTestPathPoints(Handle path, int x, int y, PathPoint* point);
bool PointOnSegment(int ax, int ay, int bx, int by, int px, int py);
// True with the first segment (point i to i + 1) that (x, y) lies on.
bool HitTestPathSegments(Handle path, int x, int y, uint32_t* index);
// The union of the point marks; false for no points.
bool PathBounds(Handle path, Rect32* bounds);

// ---- AnimRecordStore.cpp ----
// Why a stored record was refused.
enum class AnimRecordFault {
    None,
    NotSprite,     // shorter than the header or not 'Sprt'
    Lengths,       // the header's three lengths pass the record
    PathLength,    // the path's points pass its length
    FilmLength,    // the film's frames pass its length (or the count overflows)
    Blocks,        // the picture, frame and mask blocks pass the film
    FramePictures, // a picture-per-frame frame passes the frame block
    MovieRef,      // a movie film's file reference is not whole
    Memory,
};
const char* AnimRecordFaultText(AnimRecordFault fault);
// The stored record (its whole payload) as a sprite header in memory with its path and its
// film, the film flat: its blocks still follow its frames. Every length and count is checked
// against the payload first: a damaged record makes nothing. 0, or -1 with *out 0.
int ReadStoredAnimRecord(std::span<const uint8_t> stored, Handle* out, AnimRecordFault* fault = nullptr);
// The stored record of a header whose film is flat, in place: the header handle grows by the
// path and the film, which are released and disposed; it is left in the stored byte order.
int WriteStoredAnimRecord(Handle sprite);
// The run-time byte ranges of each record, which a stored record does not keep.
bool IsSpriteRunTimeByte(uint32_t offset);
bool IsFilmRunTimeByte(uint32_t offset);  // frames' own included
