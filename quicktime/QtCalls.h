// The QuickTime calls the media layer makes, one routine each over QtCall (QtCalls.cpp,
// QtComponentCalls.cpp), and their selectors, which the stand-in's rows read too. Arguments are
// passed on unchanged, one word each, in the order the call declares them; records go by
// address, a Point by value packed into one word (QtPointWord).
//
// Component calls (movie controller, graphics importer) go through kQtSelCallComponent with a
// parameter block: flags (0), the byte count of the parameters, the component selector, the
// parameters in declaration order, and the instance in the word after them.
#pragma once

#include <cstdint>
#include <cstring>

#include "quicktime/QtTypes.h"
#include "quicktime/QuickTime.h"

enum QtCallSelector : uint32_t {
    // Component manager.
    kQtSelCallComponent = 0x10000,
    kQtSelCloseComponent = 0x10008,
    kQtSelOpenDefaultComponent = 0x10021,
    // Movie toolbox.
    kQtSelMoviesTask = 0x20005,
    kQtSelSetMovieActive = 0x20009,
    kQtSelGetMovieActive = 0x2000A,
    kQtSelStartMovie = 0x2000B,
    kQtSelStopMovie = 0x2000C,
    kQtSelGoToBeginningOfMovie = 0x2000D,
    kQtSelGetMovieGWorld = 0x20015,
    kQtSelSetMovieGWorld = 0x20016,
    kQtSelGetMoviePict = 0x2001D,
    kQtSelUpdateMovie = 0x2001F,
    kQtSelDisposeMovie = 0x20023,
    kQtSelSetMovieTimeValue = 0x2003D,
    kQtSelGetMovieUserData = 0x2003E,
    kQtSelGetMovieTrackCount = 0x2003F,
    kQtSelGetTrackMedia = 0x20062,
    kQtSelGetMediaHandlerDescription = 0x2006F,
    kQtSelBeginMediaEdits = 0x20072,
    kQtSelEndMediaEdits = 0x20073,
    kQtSelGetMediaSampleDescription = 0x20078,
    kQtSelGetMediaSampleCount = 0x20079,
    kQtSelAddMediaSample = 0x2007C,
    kQtSelCloseMovieFile = 0x200D5,
    kQtSelIsMovieDone = 0x200DD,
    kQtSelNewMovieFromFile = 0x200F0,
    kQtSelGetMoviePreferredRate = 0x200F3,
    kQtSelGetMovieBox = 0x200F9,
    kQtSelGetMovieNextInterestingTime = 0x2010E,
    kQtSelGetMovieIndTrack = 0x20117,
    kQtSelCountUserDataType = 0x2014B,
    kQtSelInsertMediaIntoTrack = 0x20183,
    kQtSelNewMovie = 0x20187,
    kQtSelNewMovieTrack = 0x20188,
    kQtSelNewMovieController = 0x2018A,
    kQtSelDisposeMovieController = 0x2018B,
    kQtSelNewTrackMedia = 0x2018E,
    kQtSelOpenMovieFile = 0x20192,
    kQtSelConvertFileToMovieFile = 0x201CB,
    kQtSelConvertMovieToFile = 0x201CC,
    kQtSelNewMovieFromDataRef = 0x20220,
    // Our own, for what tests and clocks ask of a movie.
    kQtSelGetMovieTimeScale = 0x20301,
    kQtSelGetMovieDuration = 0x20302,
    kQtSelGetMovieTime = 0x20303,
    // Image compression.
    kQtSelGetGraphicsImporterForFile = 0x3006E,
    // Files.
    kQtSelNativePathNameToFSSpec = 0xF00E2,
    // Memory (our own numbers).
    kQtSelNewHandle = 0x120001,
    kQtSelDisposeHandle = 0x120002,
    kQtSelGetHandleSize = 0x120003,
    kQtSelSetHandleSize = 0x120004,
    // QuickTime for Windows: ports and events.
    kQtSelCreatePortAssociation = 0x1D0001,
    kQtSelDestroyPortAssociation = 0x1D0002,
    kQtSelGetNativeWindowPort = 0x1D0003,
    kQtSelWinEventToMacEvent = 0x1D000A,
    kQtSelResizeWindowPort = 0x2A0026,
    // QuickDraw: regions, pictures, bits; the offscreen calls are our own numbers.
    kQtSelDisposeRgn = 0x1E0044,
    kQtSelCopyBits = 0x1E0058,
    kQtSelKillPicture = 0x1E0060,
    kQtSelPtInRgn = 0x1E0086,
    kQtSelOpColor = 0x1E00A5,
    kQtSelNewRgn = 0x1E00D8,
    kQtSelBitMapToRegion = 0x1E00D9,
    kQtSelMacOffsetRect = 0x1E00DA,
    kQtSelNewGWorld = 0x1E00DB,
    kQtSelDisposeGWorld = 0x1E00DC,
    kQtSelGetGWorld = 0x1E00DD,
    kQtSelSetGWorld = 0x1E00DE,
    kQtSelNewGWorldFromHBITMAP = 0x1E00DF,
    kQtSelGetPortHBITMAP = 0x1E00E0,
    kQtSelGetPortHDC = 0x1E00E1,
    kQtSelGetPortBitMapForCopyBits = 0x1E00E2,
};

// Component selectors of the movie controller and the graphics importer.
enum QtComponentSelector : int16_t {
    kMcSelIsPlayerEvent = 0x07,
    kMcSelDoAction = 0x09,
    kMcSelSetControllerPort = 0x0C,
    kMcSelSetVisible = 0x0E,
    kMcSelGetControllerBoundsRect = 0x10,
    kMcSelDraw = 0x18,
    kMcSelIdle = 0x1A,
    kMcSelSetClip = 0x28,
    kGiSelGetNaturalBounds = 0x0E,
    kGiSelDraw = 0x0F,
    kGiSelSetGWorld = 0x10,
    kGiSelSetBoundsRect = 0x14,
};

// The parameter block of a component call.
inline constexpr int kQtMaxComponentParams = 8;
struct QtComponentParams {
    uint8_t flags;      // 0
    uint8_t paramSize;  // bytes of parameters
    int16_t what;       // the component selector
    QtWord params[kQtMaxComponentParams + 1];  // the parameters, then the instance
};
inline int QtComponentParamCount(const QtComponentParams& p) {
    const int n = p.paramSize / static_cast<int>(sizeof(QtWord));
    return n > kQtMaxComponentParams ? kQtMaxComponentParams : n;
}
inline QtComponentInstance QtComponentParamsInstance(const QtComponentParams& p) {
    return reinterpret_cast<QtComponentInstance>(p.params[QtComponentParamCount(p)]);
}

// Component kinds.
inline constexpr QtOSType kQtMovieControllerType = QtFourCC("play");
inline constexpr QtOSType kQtGraphicsImporterType = QtFourCC("grip");
inline constexpr QtOSType kQtMovieImportType = QtFourCC("eat ");
inline constexpr QtOSType kQtMovieExportType = QtFourCC("spit");
inline constexpr QtOSType kQtMidiSubType = QtFourCC("Midi");  // the MIDI importer and exporter
inline constexpr QtOSType kQtVideoMediaType = QtFourCC("vide");
inline constexpr QtOSType kQtSoundMediaType = QtFourCC("soun");

// Controller actions and flags.
inline constexpr int16_t kMcActionPlay = 8;
inline constexpr int16_t kMcActionSetVolume = 14;
inline constexpr int16_t kMcActionGetVolume = 15;
inline constexpr int16_t kMcActionStep = 18;
inline constexpr int16_t kMcActionSetLooping = 21;
inline constexpr int16_t kMcActionSetGrowBoxBounds = 25;
inline constexpr int16_t kMcActionSetKeysEnabled = 32;
inline constexpr int32_t kMcTopLeftMovie = 1;
inline constexpr int32_t kMcScaleMovieToFit = 2;
inline constexpr int32_t kMcNotVisible = 8;

inline constexpr int16_t kQtNewMovieActive = 1;
inline constexpr int8_t kQtReadPermission = 1;
inline constexpr int16_t kQtBlendMode = 32;
inline constexpr int16_t kQtSrcCopyMode = 0;
inline constexpr int16_t kQtNextTimeMediaSample = 1;
inline constexpr int16_t kQtNextTimeEdgeOK = 0x2000;
inline constexpr QtOSType kQtHandleDataRef = QtFourCC("hndl");

// More errors the stand-in answers.
inline constexpr QtErr kQtFnfErr = -43;
inline constexpr QtErr kQtBadNameErr = -37;  // a path no file spec can hold
inline constexpr int32_t kQtBadComponentInstance = static_cast<int32_t>(0x80008001);  // an unknown instance
inline constexpr int32_t kQtBadComponentSelector = static_cast<int32_t>(0x80008002);  // a selector it has not
inline constexpr QtErr kQtCantFindHandler = -2048;
inline constexpr QtErr kQtInvalidMovie = -2010;
inline constexpr QtErr kQtInvalidTrack = -2009;
inline constexpr QtErr kQtInvalidMedia = -2008;
inline constexpr QtErr kQtBadImageDescription = -8100;

// A Point as one argument word: its four bytes as they lie in memory.
inline QtWord QtPointWord(QtPoint p) {
    uint32_t w = 0;
    std::memcpy(&w, &p, sizeof p);
    return w;
}
inline QtPoint QtPointFromWord(QtWord w) {
    const uint32_t v = static_cast<uint32_t>(w);
    QtPoint p;
    std::memcpy(&p, &v, sizeof p);
    return p;
}

// ---- QtCalls.cpp ----
// Components.
intptr_t QtCallComponent(QtComponentInstance instance, int16_t what, std::initializer_list<QtWord> params);
QtErr CloseComponent(QtComponentInstance instance);
// The default instance of a kind (subtype 0: any); null when none.
QtComponentInstance OpenDefaultComponent(QtOSType type, QtOSType subType);

// Movies.
void MoviesTask(QtMovie movie, int32_t maxMilliSecToUse);
void SetMovieActive(QtMovie movie, bool active);
bool GetMovieActive(QtMovie movie);
void StartMovie(QtMovie movie);
void StopMovie(QtMovie movie);
void GoToBeginningOfMovie(QtMovie movie);
void GetMovieGWorld(QtMovie movie, QtGrafPtr* port, QtGDHandle* device);
void SetMovieGWorld(QtMovie movie, QtGrafPtr port, QtGDHandle device);
QtPicHandle GetMoviePict(QtMovie movie, QtTimeValue time);
QtErr UpdateMovie(QtMovie movie);
void DisposeMovie(QtMovie movie);
void SetMovieTimeValue(QtMovie movie, QtTimeValue time);
QtUserData GetMovieUserData(QtMovie movie);
int16_t CountUserDataType(QtUserData data, QtOSType type);
int32_t GetMovieTrackCount(QtMovie movie);
QtTrack GetMovieIndTrack(QtMovie movie, int32_t index);  // index from 1
QtMedia GetTrackMedia(QtTrack track);
// The media type, and optionally the handler's name (a counted string of 256 bytes) and maker.
void GetMediaHandlerDescription(QtMedia media, QtOSType* mediaType, uint8_t* creatorName, QtOSType* creatorManufacturer);
// The description of a sample kind (index from 1) into a handle the caller made; it is resized.
void GetMediaSampleDescription(QtMedia media, int32_t index, QtHandle description);
int32_t GetMediaSampleCount(QtMedia media);
QtErr BeginMediaEdits(QtMedia media);
QtErr EndMediaEdits(QtMedia media);
QtErr AddMediaSample(QtMedia media, QtHandle data, int32_t offset, uint32_t size, QtTimeValue durationPerSample,
                     QtHandle description, int32_t sampleCount, int16_t sampleFlags, QtTimeValue* sampleTime);
QtErr InsertMediaIntoTrack(QtTrack track, QtTimeValue trackStart, QtTimeValue mediaTime, QtTimeValue mediaDuration,
                           QtFixed mediaRate);
QtMovie NewMovie(int32_t flags);
QtTrack NewMovieTrack(QtMovie movie, QtFixed width, QtFixed height, int16_t volume);
QtMedia NewTrackMedia(QtTrack track, QtOSType mediaType, QtTimeScale timeScale, QtHandle dataRef, QtOSType dataRefType);
QtErr OpenMovieFile(const QtFSSpec* file, int16_t* resRefNum, int8_t permission);
QtErr CloseMovieFile(int16_t resRefNum);
QtErr NewMovieFromFile(QtMovie* movie, int16_t resRefNum, int16_t* resId, uint8_t* resName, int16_t flags,
                       bool* dataRefWasChanged);
bool IsMovieDone(QtMovie movie);
QtFixed GetMoviePreferredRate(QtMovie movie);
void GetMovieBox(QtMovie movie, QtRect* box);
void GetMovieNextInterestingTime(QtMovie movie, int16_t flags, int16_t numMediaTypes, const QtOSType* mediaTypes,
                                 QtTimeValue time, QtFixed rate, QtTimeValue* interestingTime,
                                 QtTimeValue* interestingDuration);
QtMovieController NewMovieController(QtMovie movie, const QtRect* box, int32_t flags);
void DisposeMovieController(QtMovieController controller);
QtErr ConvertFileToMovieFile(const QtFSSpec* input, const QtFSSpec* output, QtOSType creator, int16_t scriptTag,
                             int16_t* resId, int32_t flags, QtComponentInstance component);
QtErr ConvertMovieToFile(QtMovie movie, QtTrack onlyTrack, const QtFSSpec* output, QtOSType fileType,
                         QtOSType creator, int16_t scriptTag, int16_t* resId, int32_t flags,
                         QtComponentInstance component);
QtErr NewMovieFromDataRef(QtMovie* movie, int16_t flags, int16_t* id, QtHandle dataRef, QtOSType dataRefType);
QtTimeScale GetMovieTimeScale(QtMovie movie);
QtTimeValue GetMovieDuration(QtMovie movie);
QtTimeValue GetMovieTime(QtMovie movie);

// Pictures and files.
QtErr GetGraphicsImporterForFile(const QtFSSpec* file, QtGraphicsImporter* importer);
QtErr NativePathNameToFSSpec(const char* path, QtFSSpec* file, int32_t flags);

// Memory: blocks of the library's making.
QtHandle QTNewHandle(uint32_t size);
void QTDisposeHandle(QtHandle h);
uint32_t QTGetHandleSize(QtHandle h);
QtErr QTSetHandleSize(QtHandle h, uint32_t size);

// Ports and events (window handles and messages as untyped pointers: no Windows header here).
QtGrafPtr CreatePortAssociation(void* window, void* storage, int32_t flags);
void DestroyPortAssociation(QtGrafPtr port);
QtGrafPtr GetNativeWindowPort(void* window);
// Fills the event from a window message (a MSG); 1 when it is one the controller reads.
int32_t WinEventToMacEvent(const void* message, QtEventRecord* event);
// The port of a window after the window was resized.
void ResizeWindowPort(QtGrafPtr port, int16_t width, int16_t height);

// QuickDraw.
QtRgnHandle NewRgn();
void DisposeRgn(QtRgnHandle region);
bool PtInRgn(QtPoint point, QtRgnHandle region);
QtErr BitMapToRegion(QtRgnHandle region, const QtBitMap* bits);
void MacOffsetRect(QtRect* rect, int16_t dh, int16_t dv);
void KillPicture(QtPicHandle picture);
void CopyBits(const QtBitMap* source, const QtBitMap* destination, const QtRect* sourceRect,
              const QtRect* destinationRect, int16_t mode, QtRgnHandle mask);
void OpColor(const QtRGBColor* color);
// A world of the bounds' size, 32 bits a pixel over a DIB section (depth 0 or 32).
QtErr NewGWorld(QtGWorldPtr* world, int16_t depth, const QtRect* bounds, void* colorTable, QtGDHandle device,
                uint32_t flags);
// A world over a DIB section the caller made (an HBITMAP) for the dc.
QtErr NewGWorldFromHBITMAP(QtGWorldPtr* world, void* colorTable, QtGDHandle device, uint32_t flags, void* bitmap,
                           void* dc);
void DisposeGWorld(QtGWorldPtr world);
void GetGWorld(QtGrafPtr* port, QtGDHandle* device);
void SetGWorld(QtGrafPtr port, QtGDHandle device);
void* GetPortHBITMAP(QtGrafPtr port);
void* GetPortHDC(QtGrafPtr port);
const QtBitMap* GetPortBitMapForCopyBits(QtGrafPtr port);

// ---- QtComponentCalls.cpp ----
int32_t MCIsPlayerEvent(QtMovieController controller, const QtEventRecord* event);
int32_t MCDoAction(QtMovieController controller, int16_t action, QtWord params);
int32_t MCSetControllerPort(QtMovieController controller, QtGrafPtr port);
int32_t MCSetVisible(QtMovieController controller, bool visible);
int32_t MCGetControllerBoundsRect(QtMovieController controller, QtRect* bounds);
int32_t MCDraw(QtMovieController controller, void* window);
int32_t MCIdle(QtMovieController controller);
int32_t MCSetClip(QtMovieController controller, QtRgnHandle clip, QtRgnHandle movieClip);
int32_t GraphicsImportGetNaturalBounds(QtGraphicsImporter importer, QtRect* bounds);
int32_t GraphicsImportDraw(QtGraphicsImporter importer);
int32_t GraphicsImportSetGWorld(QtGraphicsImporter importer, QtGrafPtr port, QtGDHandle device);
int32_t GraphicsImportSetBoundsRect(QtGraphicsImporter importer, const QtRect* bounds);
