// The one table of the host requests (RequestTable.h), and the entry the modules call.
#include "host/requests/RequestTable.h"

#include <algorithm>
#include <iterator>

#include "actions/NbaModules.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestHold.h"

namespace {

// Whether the request, as the block asks it, writes.
bool Writes(WritingMode mode, const NbaParamBlock& b) {
    switch (mode) {
    case WritingMode::kSelectingATool: return b.param1 == 1;
    case WritingMode::kNamingTheObject: return b.param3 == 2;
    case WritingMode::kNamingTheCard: return b.param2 == 1;
    case WritingMode::kAlways: break;
    }
    return true;
}

using C = RequestCode;
using B = NbaParamBlock;
using enum GuardedRequest;
using K = ArgumentKeeper;
using A = HeldAnswer;
using W = WritingMode;

// By code: handler, rule under an editor, keeper, held answer, the fields that may carry a
// pointer or a handle, the modes that write. Waiting: the moves, redraws and updates, find (it
// shows the match), menu commands, object and field writes, card order and marks, the undo
// step, printing (it makes a field active), resources, the tool, transitions, the background
// and preview, movie commands (they may close a movie a dialog holds), scripts and palettes.
// Refused: the card's drawing targets and its rendering (which writes the card's layers into its
// record first): a module must not draw into the card under the author's edit; another stack's
// open.
constexpr RequestRow kRows[] = {
    {C::kGoFirstCard, CbGoFirstCard, kWaits},
    {C::kGoLastCard, CbGoLastCard, kWaits},
    {C::kGoPrevCard, CbGoPrevCard, kWaits},
    {C::kGoNextCard, CbGoNextCard, kWaits},
    {C::kGoToCard, CbGoToCard, kWaits, K::kNameWhenNoId, A::kNothing, {&B::param3}},
    {C::kRedrawCard, CbRedrawCard, kWaits},
    {C::kGetStackPaths, CbGetStackPaths, kRuns},
    {C::kFindText, CbFindText, kWaits, K::kFindText, A::kNotFound, {&B::param1}},
    {C::kDoMenuItem, CbDoMenuItem, kWaits, K::kMenuItem, A::kNothing, {&B::param3, &B::param4}},
    {C::kIsStackLocked, CbIsStackLocked, kRuns},
    {C::kGetVersion, CbGetVersion, kRuns},
    {C::kGetStackFileFields, CbGetStackFileFields, kRuns},
    {C::kCountCards, CbCountCards, kRuns},
    {C::kNewHandle, CbNewHandle, kRuns},
    {C::kLockHandle, CbLockHandle, kRuns},
    {C::kUnlockHandle, CbUnlockHandle, kRuns},
    {C::kGetStackHandles, CbGetStackHandles, kRuns},
    {C::kGetCardByIndex, CbGetCardByIndex, kRuns},
    {C::kGetCardIndex, CbGetCardIndex, kRuns},
    {C::kGetNextCard, CbGetNextCard, kRuns},
    {C::kGetFirstObject, CbGetFirstObject, kRuns},
    {C::kGetNextObject, CbGetNextObject, kRuns},
    {C::kFindObject, CbFindObject, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kHideObject, CbHideObject, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kShowObject, CbShowObject, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kLockObject, CbLockObject, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kUnlockObject, CbUnlockObject, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kDeleteObject, CbDeleteObject, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kGetObjectRect, CbGetObjectRect, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kSetObjectRect, CbSetObjectRect, kWaits, K::kObjectRefAndRect, A::kNothing, {&B::param3, &B::param4, &B::handled}},
    {C::kGetObjectValue, CbGetObjectValue, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kSetObjectValue, CbSetObjectValue, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kGetObjectInfo, CbGetObjectInfo, kRuns},
    {C::kGetObjectPos, CbGetObjectPos, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kUpdateRequestedObject, UpdateRequestedObject, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kDispatchMessage, CbDispatchMessage, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kWaitWithMessages, CbWaitWithMessages, kRuns},
    {C::kDoButton, CbDoButton, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kScrollField, CbScrollField, kWaits, K::kScrollTarget, A::kNothingDone, {&B::param3, &B::param4}},
    {C::kGetDrawingTargets, CbGetDrawingTargets, kRefused, K::kNothing, A::kNoDrawingTargets},
    {C::kGetCurrentScore, CbGetCurrentScore, kRuns},
    {C::kAutoMaskBitmap, CbAutoMaskBitmap, kRuns},
    {C::kPlaySoundFile, CbPlaySoundFile, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kPlaySoundResource, CbPlaySoundResource, kRuns, K::kNothing, A::kNothing, {&B::param3}},
    {C::kGetFieldText, CbGetFieldText, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kSetFieldText, CbSetFieldText, kWaits, K::kGivenText, A::kNothing, {&B::param2, &B::param3, &B::param4}},
    {C::kGetFileSpecTable, CbGetFileSpecTable, kRuns},
    {C::kSwapCards, CbSwapCards, kWaits, K::kSwappedCardNames, A::kNothing, {&B::param3, &B::param4}},
    {C::kSortCards, CbSortCards, kWaits, K::kSortFieldName, A::kNothing, {&B::param1}},
    {C::kMarkCardChanged, CbMarkCardChanged, kWaits},
    {C::kCallNba, CbCallNba, kRuns, K::kNothing, A::kNothing, {&B::param2, &B::param3}},
    {C::kDoAlert, CbDoAlert, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kMarkStackChanged, CbMarkStackChanged, kWaits},
    {C::kGetObjectName, CbGetObjectName, kRuns},
    {C::kStackDirty, CbStackDirty, kRuns},
    {C::kGetScreenSettings, CbGetScreenSettings, kRuns},
    {C::kGetFileSpecPath, CbGetFileSpecPath, kRuns, K::kNothing, A::kNothing, {&B::param1, &B::param2}},
    {C::kSetFileSpecPath, CbSetFileSpecPath, kRuns, K::kNothing, A::kNothing, {&B::param1, &B::param2}},
    {C::kDrawToScreen, CbDrawToScreen, kRuns},
    {C::kDrawToOffscreen, CbDrawToOffscreen, kRefused, K::kNothing, A::kNothingDone},
    {C::kIsMediaDone, CbIsMediaDone, kRuns},
    {C::kMarkCard, CbMarkCard, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kFindObjectOnCard, CbFindObjectOnCard, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kRecordPaintUndo, CbRecordPaintUndo, kWaits},
    {C::kPrintField, CbPrintField, kWaits, K::kObjectRef, A::kNothingDone, {&B::param3, &B::param4}},
    {C::kImportTextFile, CbImportTextFile, kRuns},
    {C::kSaveHandleToFile, CbSaveHandleToFile, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kPrintHandle, CbPrintHandle, kWaits},
    {C::kGetToolState, CbGetToolState, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kDisposeHandle, CbDisposeHandle, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kGetHandleGlobal, CbGetHandleGlobal, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kSetActiveField, CbSetActiveField, kWaits, K::kObjectRef, A::kNothing, {&B::param3, &B::param4}},
    {C::kSetHandleSize, CbSetHandleSize, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kGetHandleSize, CbGetHandleSize, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kGetHandleFlags, CbGetHandleFlags, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kIsHandleDiscarded, CbIsHandleDiscarded, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kRenderCardToDib, CbRenderCardToDib, kRefused, K::kNothing, A::kNothingDone},
    {C::kGetCardById, CbGetCardById, kRuns},
    {C::kGetCardAtIndex, CbGetCardAtIndex, kRuns},
    {C::kDeleteCard, CbDeleteCard, kWaits, K::kNameWhenNoId, A::kNothing, {&B::param3}},
    {C::kInvertObject, CbInvertObject, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kReadPref, CbReadPref, kRuns, K::kNothing, A::kNothing, {&B::param1, &B::param2, &B::param3}},
    {C::kWritePref, CbWritePref, kRuns, K::kNothing, A::kNothing, {&B::param1, &B::param2, &B::param3}},
    {C::kWriteStackResource, CbWriteStackResource, kWaits, K::kResourceRequest, A::kNothing, {&B::param1}},
    {C::kGoToStack, CbGoToStack, kRefused, K::kNothing, A::kNoResult, {&B::param1, &B::param3}},
    {C::kSetHomeToCurrent, CbSetHomeToCurrent, kWaits},
    {C::kSelectTool, CbSelectTool, kWaits, K::kNothing, A::kToolUnchanged, {}, W::kSelectingATool},
    {C::kSetTransition, CbSetTransition, kRuns, K::kNothing, A::kNothing, {&B::param1, &B::param3}},
    {C::kChoosePicture, CbChoosePicture, kRuns},
    {C::kGetAppPalette, CbGetAppPalette, kRuns},
    {C::kChooseTransition, CbChooseTransition, kWaits, K::kNothing, A::kCancelled},
    {C::kSetUpdateMode, CbSetUpdateMode, kWaits},
    {C::kSaveBackground, CbSaveBackground, kWaits},
    {C::kMovieAction, CbMovieAction, kWaits},
    {C::kReleaseOffscreenDC, CbReleaseOffscreenDC, kRuns},
    {C::kLoadGraphicFile, CbLoadGraphicFile, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kIsMacRomanText, CbIsMacRomanText, kRuns},
    {C::kPrint, CbPrint, kWaits, K::kPrintRequest, A::kNothingDone, {&B::param2}},
    {C::kLockScreen, CbLockScreen, kWaits},
    {C::kUnlockScreen, CbUnlockScreen, kWaits},
    {C::kRunLogoScript, CbRunLogoScript, kWaits, K::kScriptText, A::kNothing, {&B::param1}},
    {C::kGetCardName, CbGetCardName, kRuns},
    {C::kOpenLogoRunBox, CbOpenLogoRunBox, kWaits},
    {C::kSetCursorHideMode, CbSetCursorHideMode, kRuns},
    {C::kShowFavorites, CbShowFavorites, kWaits},
    {C::kShowShortcuts, CbShowShortcuts, kWaits},
    {C::kSaveStackPreview, CbSaveStackPreview, kWaits},
    {C::kDoObjectActions, CbDoObjectActions, kWaits, K::kObjectRef, A::kNothingDone, {&B::param3, &B::param4}},
    {C::kFindCardByName, CbFindCardByName, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kGetObjectNameAt, CbGetObjectNameAt, kRuns},
    {C::kSetObjectName, CbSetObjectName, kWaits, K::kObjectNameAt, A::kNothing, {&B::param4}, W::kNamingTheObject},
    {C::kSetCardName, CbSetCardName, kWaits, K::kCardNameText, A::kNothing, {&B::param3}, W::kNamingTheCard},
    {C::kSwapObjects, CbSwapObjects, kWaits, K::kSwappedObjects, A::kNoResult},
    {C::kGetActiveField, CbGetActiveField, kRuns},
    {C::kNextActiveField, CbNextActiveField, kWaits},
    {C::kHitTestObjects, CbHitTestObjects, kRuns, K::kNothing, A::kNothing, {&B::param1}},
    {C::kGetObjectChunk, CbGetObjectChunk, kRuns, K::kNothing, A::kNothing, {&B::param3, &B::param4}},
    {C::kGoHomeStack, CbGoHomeStack, kWaits},
};

static_assert(std::ranges::is_sorted(kRows, {}, &RequestRow::code), "one row per code, by code");
static_assert(std::ranges::adjacent_find(kRows, {}, &RequestRow::code) == std::end(kRows));
static_assert(std::ranges::none_of(kRows, [](const RequestRow& row) {
    return std::ranges::find(kRetiredRequestCodes, static_cast<uint8_t>(row.code)) != kRetiredRequestCodes.end();
}));
static_assert(static_cast<int>(std::end(kRows)[-1].code) < kRequestCodeCount);

constexpr std::array<int16_t, kRequestCodeCount> kRowOfCode = [] {
    std::array<int16_t, kRequestCodeCount> index{};
    index.fill(-1);
    for (size_t i = 0; i < std::size(kRows); ++i)
        index[static_cast<size_t>(kRows[i].code)] = static_cast<int16_t>(i);
    return index;
}();

}  // namespace

void EmptyCallback(NbaParamBlock&) {}

const RequestRow* RequestRowOf(int code) {
    if (code < 0 || code >= kRequestCodeCount || kRowOfCode[static_cast<size_t>(code)] < 0)
        return nullptr;
    return &kRows[static_cast<size_t>(kRowOfCode[static_cast<size_t>(code)])];
}

std::span<const RequestRow> RequestRows() { return kRows; }

GuardedRequest GuardedRequestRule(int code) {
    const RequestRow* row = RequestRowOf(code);
    return row ? row->rule : kRuns;
}

GuardedRequest GuardedRequestOf(int code, const NbaParamBlock& b) {
    const RequestRow* row = RequestRowOf(code);
    if (!row || !Writes(row->writes, b))
        return kRuns;
    return row->rule;
}

void NBA_CDECL DispatchCallback(NbaParamBlock*) {
    NbaParamBlock& b = *GetNbaParamBlock();
    // The code is a signed word: negative codes and codes past the table are no requests.
    const RequestRow* row = RequestRowOf(static_cast<int16_t>(b.message));
    if (row && !GuardRequest(*row, b))
        row->handler(b);
}
