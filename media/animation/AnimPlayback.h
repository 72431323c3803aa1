// Animated objects on the card: the pictures of films, loading and saving whole records, the
// animation offscreen and the entry points through which the card, the performer and the
// tools play, step and release them, and the path editor. The records themselves are in
// AnimRecord.h.
//
//   FilmPictures_win.cpp   the method table of each film kind (flatten, unflatten, dispose),
//                          frame pictures, transparent colour masks, mirroring
//   AnimRecordLoad_win.cpp LoadAnimRecord, SaveAnimRecord, DisposeSprite
//   AnimOffscreen_win.cpp  the offscreen, its layer mask and the playback entry points
//   AnimWorld_win.cpp      the animation world: its layers, the objects' behaviour slots and
//                          timers, starting, stepping, drawing and removing them
//   AnimPath_win.cpp       drawing a path and the modal path editor
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/pixels/PixMap.h"
#include "media/animation/AnimRecord.h"

// ---- FilmPictures_win.cpp ----
// The method of an empty slot: nothing, 0.
int NullObjectMethod(Handle film);
// Slot 0: the pictures packed into the blocks after the frames (the film flat again); 5407
// when a picture cannot be packed. Nothing for a film already flat.
int FlattenFilm(Handle film);
// Slot 1: the pictures made from the blocks, the film cut back to its frames; a movie film
// opens its movie (one frame, the movie's box). 0 or -1.
int UnflattenFilm(Handle film);
// Slot 9, then the film's handle: pictures, masks, frame block and movie go with it.
void DisposeFilm(Handle film);
// Slot 2: the source rectangle of frame index (in the film's picture) drawn at the destination
// in the target, through the frame's mask while masks are in use. 0, or -1 with nothing drawn.
int DrawFilmFrame(Handle film, uint32_t index, PixMap* target, const ShortRect& source, const ShortRect& destination);
// Slots 7 and 8: the film's pictures ready for drawing and back; a movie film is rewound
// before and stopped after.
void LockFilm(Handle film);
void UnlockFilm(Handle film);
bool IsFilmMovieDone(Handle film);
void RewindFilmMovie(Handle film);
void StopFilmMovie(Handle film);
// SwapSpriteFilm, disposing of the film replaced.
void SetSpriteFilm(Handle sprite, Handle film);
// A picture-per-frame film from a film whose frame 0 is set: each picture map (a handle of
// PixMap handles) becomes a frame with frame 0's rectangle, packed into the frame block; it
// stops at the first that fails. 0, or -1 when none could be added.
int SetFilmFramePictures(Handle film, Handle pictures);
// With a colour (red, green, blue, 0 to 255): every frame gets a one-bit mask of its rectangle,
// black where the strip picture shows the colour (mask state 2). Without one, the masks go.
// On a failure the masks go, the colour becomes black and the error is returned.
int SetFilmTransparentColor(Handle film, const uint16_t* rgb);
void DropFilmMasks(Handle film);
// A mirrored copy of the strip (kept when the film's keep-a-copy byte is set, else the flags
// stored for mirroring in place), and mirrored twins of the frame masks. 0 or -1.
int PrepareFilmMirror(Handle film, bool horizontal, bool vertical);
void ToggleFilmMirror(Handle film, bool onlyWhenMirrored);
bool IsFilmMirrored(Handle film);

// ---- AnimRecordLoad_win.cpp ----
// The stored record (the whole payload, its length checked throughout) as a sprite header with
// its path and its film, pictures made. 0, or -1 with nothing made.
int LoadAnimRecord(const uint8_t* stored, uint32_t length, Handle* sprite);
// The header, path and film flattened into the header handle, in the stored order. 0, -1 for
// memory, or 5407 when the film's pictures cannot be packed.
int SaveAnimRecord(Handle sprite);
// The header, its path and its film with its pictures.
void DisposeSprite(Handle sprite);

// ---- AnimOffscreen_win.cpp ----
// The card as it shows (its pictures and every object layer) in a map of the card offscreen's
// size and depth, made once and refreshed from the card; false when it cannot be made.
bool MakeAnimOffscreen();
PixMap* GetAnimOffscreen();
HBITMAP GetAnimLayerMask();
void FreeAnimOffscreen();
// True while the object layers are being drawn into the animation offscreen.
bool IsDrawingAnimOffscreen();
// Disposes of the animation world, then the offscreen: leaving or refreshing the card, the
// navigation commands, a tool other than browse, the end of the wait after actions, shut-down.
void ReleaseAnimPlayback();
bool IsSpriteRecord(std::span<const uint8_t> bytes);  // the first four bytes are 'Sprt'
bool IsSpriteHandle(Handle record);
// Plays the record for the object. The handle is the player's, freed on every path. 1 when
// the object started, 0 for no record, one that is not 'Sprt', or a start that failed.
int PlayAnimRecord(Handle record, uint16_t objectId);
// One step of the running objects, while a world exists.
void StepAnimations();
// True when no animated object of the owner (0: any) plays to an end.
bool AnimatedObjectsDoneFor(uint16_t objectId);
// The record's start frame drawn into the card offscreen (dc holds it) as the card is drawn.
void SetAnimTargetOffscreen(std::span<const uint8_t> record, HDC dc);

// ---- AnimWorld_win.cpp ----
// The animation world: every object that plays, in layers from bottom to top, drawn through a
// work copy of the background and copied to the window where it changed. Stepped from the card
// window's messages (a fired timer posts one) and from the wait after actions.
struct AnimWorld;
struct AnimSprite;
// Starts the stored record as the object id: 1 when it is not 'Sprt', 0 when it plays (or when
// that object already plays and allows no clone), -1 when it cannot be loaded or made.
int StartSprite(HWND window, PixMap* background, HBITMAP layerMask, std::span<const uint8_t> record,
                uint16_t id);
void StepAnimWorld();
// Every object removed (timers cancelled first) and the world freed.
void DisposeAnimWorld();
bool AnimWorldExists();
// An object ('Sprt', id) plays with an end (non-stop objects do not count); id 0: any object.
bool IsSpriteRunning(uint16_t id);
// 0, or 5402 when the multimedia timer offers no period (polled timers then serve); no world.
int InitAnimTimer();
// With show first frame set, the record's start frame at its start point in the target.
int DrawSpriteFirstFrame(std::span<const uint8_t> record, PixMap* target);
// What has been asked of the world: records started since the process began.
int CountStartedSprites();

AnimWorld* GetAnimWorld();
void RedrawAllSprites(AnimWorld* world);
void RemoveSprite(AnimWorld* world, AnimSprite* sprite);
void BeginAnimDrawing(AnimWorld* world);
void EndAnimDrawing(AnimWorld* world);
bool FindSpriteByIdentity(AnimWorld* world, AnimPair identity, AnimSprite** sprite);
// The behaviour slots from the object's template, its frame and path step kinds, timings and
// end condition.
void InstallSpriteBehaviours(AnimSprite* sprite);
// The layers bottom to top, each as its number and its objects' ids (tests, reports).
struct AnimLayerView {
    uint16_t number = 0;
    std::vector<uint32_t> ids;
};
std::vector<AnimLayerView> DescribeAnimLayers();

// Object accessors.
Handle GetSpriteHeader(const AnimSprite* sprite);
bool IsSpriteVisible(const AnimSprite* sprite);
void SetSpriteVisible(AnimSprite* sprite, bool visible);
bool IsSpriteAlive(const AnimSprite* sprite);
uint32_t GetSpriteFrameIndex(const AnimSprite* sprite);
void SetSpriteFrameIndex(AnimSprite* sprite, uint32_t index);
uint32_t GetSpritePointIndex(const AnimSprite* sprite);
ShortRect GetSpriteCurrentBounds(const AnimSprite* sprite);
// The object's anchor put on the point (x, y); (0, 0) leaves it where it is.
void MoveSpriteToPoint(AnimSprite* sprite, int16_t x, int16_t y);

// ---- AnimPath_win.cpp ----
// The path's lines and point marks in the DC (end points red, inner ones in the eraser
// colour, selected ones yellow). Without offset mode *rect receives the union of the marks;
// with it every point is drawn moved by minus the rectangle's left and top. False for no
// points; a path of one point draws nothing.
bool DrawAnimPath(HDC dc, Handle path, RECT* rect, bool offsetMode);
// The modal path editor over the card window, drawing over a snapshot of the card. True after
// an edit, false when the path has no point.
bool EditAnimPath(Handle sprite, HBITMAP snapshot);
