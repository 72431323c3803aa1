// One routine per QuickTime call: its arguments passed on through the dispatcher.
#include "quicktime/QtCalls.h"

namespace {

QtWord W(const void* p) { return reinterpret_cast<QtWord>(p); }
QtWord S(int32_t v) { return static_cast<QtWord>(static_cast<uint32_t>(v)); }
int32_t I(intptr_t result) { return static_cast<int32_t>(result); }
QtErr E(intptr_t result) { return static_cast<QtErr>(result); }

template <class T>
T P(intptr_t result) {
    return reinterpret_cast<T>(result);
}

}  // namespace

intptr_t QtCallComponent(QtComponentInstance instance, int16_t what, std::initializer_list<QtWord> params) {
    QtComponentParams block = {};
    int n = 0;
    for (QtWord w : params)
        if (n < kQtMaxComponentParams)
            block.params[n++] = w;
    block.paramSize = static_cast<uint8_t>(n * sizeof(QtWord));
    block.what = what;
    block.params[n] = W(instance);
    return QtCall(kQtSelCallComponent, {W(&block)});
}

QtErr CloseComponent(QtComponentInstance instance) { return E(QtCall(kQtSelCloseComponent, {W(instance)})); }
QtComponentInstance OpenDefaultComponent(QtOSType type, QtOSType subType) {
    return P<QtComponentInstance>(QtCall(kQtSelOpenDefaultComponent, {type, subType}));
}

void MoviesTask(QtMovie movie, int32_t maxMilliSecToUse) { QtCall(kQtSelMoviesTask, {W(movie), S(maxMilliSecToUse)}); }
void SetMovieActive(QtMovie movie, bool active) { QtCall(kQtSelSetMovieActive, {W(movie), active ? 1u : 0u}); }
bool GetMovieActive(QtMovie movie) { return QtCall(kQtSelGetMovieActive, {W(movie)}) != 0; }
void StartMovie(QtMovie movie) { QtCall(kQtSelStartMovie, {W(movie)}); }
void StopMovie(QtMovie movie) { QtCall(kQtSelStopMovie, {W(movie)}); }
void GoToBeginningOfMovie(QtMovie movie) { QtCall(kQtSelGoToBeginningOfMovie, {W(movie)}); }
void GetMovieGWorld(QtMovie movie, QtGrafPtr* port, QtGDHandle* device) {
    QtCall(kQtSelGetMovieGWorld, {W(movie), W(port), W(device)});
}
void SetMovieGWorld(QtMovie movie, QtGrafPtr port, QtGDHandle device) {
    QtCall(kQtSelSetMovieGWorld, {W(movie), W(port), W(device)});
}
QtPicHandle GetMoviePict(QtMovie movie, QtTimeValue time) {
    return P<QtPicHandle>(QtCall(kQtSelGetMoviePict, {W(movie), S(time)}));
}
QtErr UpdateMovie(QtMovie movie) { return E(QtCall(kQtSelUpdateMovie, {W(movie)})); }
void DisposeMovie(QtMovie movie) { QtCall(kQtSelDisposeMovie, {W(movie)}); }
void SetMovieTimeValue(QtMovie movie, QtTimeValue time) { QtCall(kQtSelSetMovieTimeValue, {W(movie), S(time)}); }
QtUserData GetMovieUserData(QtMovie movie) { return P<QtUserData>(QtCall(kQtSelGetMovieUserData, {W(movie)})); }
int16_t CountUserDataType(QtUserData data, QtOSType type) {
    return static_cast<int16_t>(QtCall(kQtSelCountUserDataType, {W(data), type}));
}
int32_t GetMovieTrackCount(QtMovie movie) { return I(QtCall(kQtSelGetMovieTrackCount, {W(movie)})); }
QtTrack GetMovieIndTrack(QtMovie movie, int32_t index) {
    return P<QtTrack>(QtCall(kQtSelGetMovieIndTrack, {W(movie), S(index)}));
}
QtMedia GetTrackMedia(QtTrack track) { return P<QtMedia>(QtCall(kQtSelGetTrackMedia, {W(track)})); }
void GetMediaHandlerDescription(QtMedia media, QtOSType* mediaType, uint8_t* creatorName, QtOSType* creatorManufacturer) {
    QtCall(kQtSelGetMediaHandlerDescription, {W(media), W(mediaType), W(creatorName), W(creatorManufacturer)});
}
void GetMediaSampleDescription(QtMedia media, int32_t index, QtHandle description) {
    QtCall(kQtSelGetMediaSampleDescription, {W(media), S(index), W(description)});
}
int32_t GetMediaSampleCount(QtMedia media) { return I(QtCall(kQtSelGetMediaSampleCount, {W(media)})); }
QtErr BeginMediaEdits(QtMedia media) { return E(QtCall(kQtSelBeginMediaEdits, {W(media)})); }
QtErr EndMediaEdits(QtMedia media) { return E(QtCall(kQtSelEndMediaEdits, {W(media)})); }
QtErr AddMediaSample(QtMedia media, QtHandle data, int32_t offset, uint32_t size, QtTimeValue durationPerSample,
                     QtHandle description, int32_t sampleCount, int16_t sampleFlags, QtTimeValue* sampleTime) {
    return E(QtCall(kQtSelAddMediaSample, {W(media), W(data), S(offset), size, S(durationPerSample), W(description),
                                           S(sampleCount), S(sampleFlags), W(sampleTime)}));
}
QtErr InsertMediaIntoTrack(QtTrack track, QtTimeValue trackStart, QtTimeValue mediaTime, QtTimeValue mediaDuration,
                           QtFixed mediaRate) {
    return E(QtCall(kQtSelInsertMediaIntoTrack,
                    {W(track), S(trackStart), S(mediaTime), S(mediaDuration), S(mediaRate)}));
}
QtMovie NewMovie(int32_t flags) { return P<QtMovie>(QtCall(kQtSelNewMovie, {S(flags)})); }
QtTrack NewMovieTrack(QtMovie movie, QtFixed width, QtFixed height, int16_t volume) {
    return P<QtTrack>(QtCall(kQtSelNewMovieTrack, {W(movie), S(width), S(height), S(volume)}));
}
QtMedia NewTrackMedia(QtTrack track, QtOSType mediaType, QtTimeScale timeScale, QtHandle dataRef, QtOSType dataRefType) {
    return P<QtMedia>(QtCall(kQtSelNewTrackMedia, {W(track), mediaType, S(timeScale), W(dataRef), dataRefType}));
}
QtErr OpenMovieFile(const QtFSSpec* file, int16_t* resRefNum, int8_t permission) {
    return E(QtCall(kQtSelOpenMovieFile, {W(file), W(resRefNum), S(permission)}));
}
QtErr CloseMovieFile(int16_t resRefNum) { return E(QtCall(kQtSelCloseMovieFile, {S(resRefNum)})); }
QtErr NewMovieFromFile(QtMovie* movie, int16_t resRefNum, int16_t* resId, uint8_t* resName, int16_t flags,
                       bool* dataRefWasChanged) {
    return E(QtCall(kQtSelNewMovieFromFile,
                    {W(movie), S(resRefNum), W(resId), W(resName), S(flags), W(dataRefWasChanged)}));
}
bool IsMovieDone(QtMovie movie) { return QtCall(kQtSelIsMovieDone, {W(movie)}) != 0; }
QtFixed GetMoviePreferredRate(QtMovie movie) { return I(QtCall(kQtSelGetMoviePreferredRate, {W(movie)})); }
void GetMovieBox(QtMovie movie, QtRect* box) { QtCall(kQtSelGetMovieBox, {W(movie), W(box)}); }
void GetMovieNextInterestingTime(QtMovie movie, int16_t flags, int16_t numMediaTypes, const QtOSType* mediaTypes,
                                 QtTimeValue time, QtFixed rate, QtTimeValue* interestingTime,
                                 QtTimeValue* interestingDuration) {
    QtCall(kQtSelGetMovieNextInterestingTime, {W(movie), S(flags), S(numMediaTypes), W(mediaTypes), S(time), S(rate),
                                                W(interestingTime), W(interestingDuration)});
}
QtMovieController NewMovieController(QtMovie movie, const QtRect* box, int32_t flags) {
    return P<QtMovieController>(QtCall(kQtSelNewMovieController, {W(movie), W(box), S(flags)}));
}
void DisposeMovieController(QtMovieController controller) { QtCall(kQtSelDisposeMovieController, {W(controller)}); }
QtErr ConvertFileToMovieFile(const QtFSSpec* input, const QtFSSpec* output, QtOSType creator, int16_t scriptTag,
                             int16_t* resId, int32_t flags, QtComponentInstance component) {
    return E(QtCall(kQtSelConvertFileToMovieFile,
                    {W(input), W(output), creator, S(scriptTag), W(resId), S(flags), W(component)}));
}
QtErr ConvertMovieToFile(QtMovie movie, QtTrack onlyTrack, const QtFSSpec* output, QtOSType fileType,
                         QtOSType creator, int16_t scriptTag, int16_t* resId, int32_t flags,
                         QtComponentInstance component) {
    return E(QtCall(kQtSelConvertMovieToFile, {W(movie), W(onlyTrack), W(output), fileType, creator, S(scriptTag),
                                               W(resId), S(flags), W(component)}));
}
QtErr NewMovieFromDataRef(QtMovie* movie, int16_t flags, int16_t* id, QtHandle dataRef, QtOSType dataRefType) {
    return E(QtCall(kQtSelNewMovieFromDataRef, {W(movie), S(flags), W(id), W(dataRef), dataRefType}));
}
QtTimeScale GetMovieTimeScale(QtMovie movie) { return I(QtCall(kQtSelGetMovieTimeScale, {W(movie)})); }
QtTimeValue GetMovieDuration(QtMovie movie) { return I(QtCall(kQtSelGetMovieDuration, {W(movie)})); }
QtTimeValue GetMovieTime(QtMovie movie) { return I(QtCall(kQtSelGetMovieTime, {W(movie)})); }

QtErr GetGraphicsImporterForFile(const QtFSSpec* file, QtGraphicsImporter* importer) {
    return E(QtCall(kQtSelGetGraphicsImporterForFile, {W(file), W(importer)}));
}
QtErr NativePathNameToFSSpec(const char* path, QtFSSpec* file, int32_t flags) {
    return E(QtCall(kQtSelNativePathNameToFSSpec, {W(path), W(file), S(flags)}));
}

QtHandle QTNewHandle(uint32_t size) { return P<QtHandle>(QtCall(kQtSelNewHandle, {size})); }
void QTDisposeHandle(QtHandle h) { QtCall(kQtSelDisposeHandle, {W(h)}); }
uint32_t QTGetHandleSize(QtHandle h) { return static_cast<uint32_t>(QtCall(kQtSelGetHandleSize, {W(h)})); }
QtErr QTSetHandleSize(QtHandle h, uint32_t size) { return E(QtCall(kQtSelSetHandleSize, {W(h), size})); }

QtGrafPtr CreatePortAssociation(void* window, void* storage, int32_t flags) {
    return P<QtGrafPtr>(QtCall(kQtSelCreatePortAssociation, {W(window), W(storage), S(flags)}));
}
void DestroyPortAssociation(QtGrafPtr port) { QtCall(kQtSelDestroyPortAssociation, {W(port)}); }
QtGrafPtr GetNativeWindowPort(void* window) { return P<QtGrafPtr>(QtCall(kQtSelGetNativeWindowPort, {W(window)})); }
int32_t WinEventToMacEvent(const void* message, QtEventRecord* event) {
    return I(QtCall(kQtSelWinEventToMacEvent, {W(message), W(event)}));
}
void ResizeWindowPort(QtGrafPtr port, int16_t width, int16_t height) {
    QtCall(kQtSelResizeWindowPort, {W(port), S(width), S(height)});
}

QtRgnHandle NewRgn() { return P<QtRgnHandle>(QtCall(kQtSelNewRgn, {})); }
void DisposeRgn(QtRgnHandle region) { QtCall(kQtSelDisposeRgn, {W(region)}); }
bool PtInRgn(QtPoint point, QtRgnHandle region) { return QtCall(kQtSelPtInRgn, {QtPointWord(point), W(region)}) != 0; }
QtErr BitMapToRegion(QtRgnHandle region, const QtBitMap* bits) {
    return E(QtCall(kQtSelBitMapToRegion, {W(region), W(bits)}));
}
void MacOffsetRect(QtRect* rect, int16_t dh, int16_t dv) { QtCall(kQtSelMacOffsetRect, {W(rect), S(dh), S(dv)}); }
void KillPicture(QtPicHandle picture) { QtCall(kQtSelKillPicture, {W(picture)}); }
void CopyBits(const QtBitMap* source, const QtBitMap* destination, const QtRect* sourceRect,
              const QtRect* destinationRect, int16_t mode, QtRgnHandle mask) {
    QtCall(kQtSelCopyBits, {W(source), W(destination), W(sourceRect), W(destinationRect), S(mode), W(mask)});
}
void OpColor(const QtRGBColor* color) { QtCall(kQtSelOpColor, {W(color)}); }
QtErr NewGWorld(QtGWorldPtr* world, int16_t depth, const QtRect* bounds, void* colorTable, QtGDHandle device,
                uint32_t flags) {
    return E(QtCall(kQtSelNewGWorld, {W(world), S(depth), W(bounds), W(colorTable), W(device), flags}));
}
QtErr NewGWorldFromHBITMAP(QtGWorldPtr* world, void* colorTable, QtGDHandle device, uint32_t flags, void* bitmap,
                           void* dc) {
    return E(QtCall(kQtSelNewGWorldFromHBITMAP, {W(world), W(colorTable), W(device), flags, W(bitmap), W(dc)}));
}
void DisposeGWorld(QtGWorldPtr world) { QtCall(kQtSelDisposeGWorld, {W(world)}); }
void GetGWorld(QtGrafPtr* port, QtGDHandle* device) { QtCall(kQtSelGetGWorld, {W(port), W(device)}); }
void SetGWorld(QtGrafPtr port, QtGDHandle device) { QtCall(kQtSelSetGWorld, {W(port), W(device)}); }
void* GetPortHBITMAP(QtGrafPtr port) { return P<void*>(QtCall(kQtSelGetPortHBITMAP, {W(port)})); }
void* GetPortHDC(QtGrafPtr port) { return P<void*>(QtCall(kQtSelGetPortHDC, {W(port)})); }
const QtBitMap* GetPortBitMapForCopyBits(QtGrafPtr port) {
    return P<const QtBitMap*>(QtCall(kQtSelGetPortBitMapForCopyBits, {W(port)}));
}
