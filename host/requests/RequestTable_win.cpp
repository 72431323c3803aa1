#include "host/requests/RequestTable.h"

#include <algorithm>
#include <iterator>

#include "actions/NbaModules.h"
#include "core/ui/ToolNumbers.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestHold.h"

namespace {

// What a module finds while its request waits or after it was refused: nothing done yet.
void AnswerNothingDone(NbaParamBlock& b) { b.param1 = 0; }
void AnswerNotFound(NbaParamBlock& b) { b.param2 = 0; }
void AnswerNoResult(NbaParamBlock& b) { b.handled = 0; }
void AnswerNotOpened(NbaParamBlock& b) { b.handled = 0; }
void AnswerToolUnchanged(NbaParamBlock& b) { b.param2 = GetCurrentTool(); }
void AnswerCancelled(NbaParamBlock& b) { b.param2 = 2; }  // the chooser's Cancel
void AnswerNoDrawingTargets(NbaParamBlock& b) { b.param1 = b.param2 = b.param3 = 0; }

// The modes of the codes that write only in one of them.
bool SelectsATool(const NbaParamBlock& b) { return b.param1 == 1; }
bool NamesTheObject(const NbaParamBlock& b) { return b.param3 == 2; }
bool NamesTheCard(const NbaParamBlock& b) { return b.param2 == 1; }

using C = RequestCode;
using B = NbaParamBlock;
using enum GuardedRequest;

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
    {C::kGoToCard, CbGoToCard, kWaits, KeepNameWhenNoId, nullptr, {&B::param3}},
    {C::kRedrawCard, CbRedrawCard, kWaits},
    {C::kGetStackPaths, CbGetStackPaths, kRuns},
    {C::kFindText, CbFindText, kWaits, KeepFindText, AnswerNotFound, {&B::param1}},
    {C::kDoMenuItem, CbDoMenuItem, kWaits, KeepMenuItem, nullptr, {&B::param3, &B::param4}},
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
    {C::kFindObject, CbFindObject, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kHideObject, CbHideObject, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kShowObject, CbShowObject, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kLockObject, CbLockObject, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kUnlockObject, CbUnlockObject, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kDeleteObject, CbDeleteObject, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kGetObjectRect, CbGetObjectRect, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kSetObjectRect, CbSetObjectRect, kWaits, KeepObjectRefAndRect, nullptr, {&B::param3, &B::param4, &B::handled}},
    {C::kGetObjectValue, CbGetObjectValue, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kSetObjectValue, CbSetObjectValue, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kGetObjectInfo, CbGetObjectInfo, kRuns},
    {C::kGetObjectPos, CbGetObjectPos, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kUpdateRequestedObject, UpdateRequestedObject, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kDispatchMessage, CbDispatchMessage, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kWaitWithMessages, CbWaitWithMessages, kRuns},
    {C::kDoButton, CbDoButton, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kScrollField, CbScrollField, kWaits, KeepScrollTarget, AnswerNothingDone, {&B::param3, &B::param4}},
    {C::kGetDrawingTargets, CbGetDrawingTargets, kRefused, nullptr, AnswerNoDrawingTargets},
    {C::kGetCurrentScore, CbGetCurrentScore, kRuns},
    {C::kAutoMaskBitmap, CbAutoMaskBitmap, kRuns},
    {C::kPlaySoundFile, CbPlaySoundFile, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kPlaySoundResource, CbPlaySoundResource, kRuns, nullptr, nullptr, {&B::param3}},
    {C::kGetFieldText, CbGetFieldText, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kSetFieldText, CbSetFieldText, kWaits, KeepGivenText, nullptr, {&B::param2, &B::param3, &B::param4}},
    {C::kGetFileSpecTable, CbGetFileSpecTable, kRuns},
    {C::kSwapCards, CbSwapCards, kWaits, KeepSwappedCardNames, nullptr, {&B::param3, &B::param4}},
    {C::kSortCards, CbSortCards, kWaits, KeepSortFieldName, nullptr, {&B::param1}},
    {C::kMarkCardChanged, CbMarkCardChanged, kWaits},
    {C::kCallNba, CbCallNba, kRuns, nullptr, nullptr, {&B::param2, &B::param3}},
    {C::kDoAlert, CbDoAlert, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kMarkStackChanged, CbMarkStackChanged, kWaits},
    {C::kGetObjectName, CbGetObjectName, kRuns},
    {C::kStackDirty, CbStackDirty, kRuns},
    {C::kGetScreenSettings, CbGetScreenSettings, kRuns},
    {C::kGetFileSpecPath, CbGetFileSpecPath, kRuns, nullptr, nullptr, {&B::param1, &B::param2}},
    {C::kSetFileSpecPath, CbSetFileSpecPath, kRuns, nullptr, nullptr, {&B::param1, &B::param2}},
    {C::kDrawToScreen, CbDrawToScreen, kRuns},
    {C::kDrawToOffscreen, CbDrawToOffscreen, kRefused, nullptr, AnswerNothingDone},
    {C::kIsMediaDone, CbIsMediaDone, kRuns},
    {C::kMarkCard, CbMarkCard, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kFindObjectOnCard, CbFindObjectOnCard, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kRecordPaintUndo, CbRecordPaintUndo, kWaits},
    {C::kPrintField, CbPrintField, kWaits, KeepObjectRef, AnswerNothingDone, {&B::param3, &B::param4}},
    {C::kImportTextFile, CbImportTextFile, kRuns},
    {C::kSaveHandleToFile, CbSaveHandleToFile, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kPrintHandle, CbPrintHandle, kWaits},
    {C::kGetToolState, CbGetToolState, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kDisposeHandle, CbDisposeHandle, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kGetHandleGlobal, CbGetHandleGlobal, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kSetActiveField, CbSetActiveField, kWaits, KeepObjectRef, nullptr, {&B::param3, &B::param4}},
    {C::kSetHandleSize, CbSetHandleSize, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kGetHandleSize, CbGetHandleSize, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kGetHandleFlags, CbGetHandleFlags, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kIsHandleDiscarded, CbIsHandleDiscarded, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kRenderCardToDib, CbRenderCardToDib, kRefused, nullptr, AnswerNothingDone},
    {C::kGetCardById, CbGetCardById, kRuns},
    {C::kGetCardAtIndex, CbGetCardAtIndex, kRuns},
    {C::kDeleteCard, CbDeleteCard, kWaits, KeepNameWhenNoId, nullptr, {&B::param3}},
    {C::kInvertObject, CbInvertObject, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
    {C::kReadPref, CbReadPref, kRuns, nullptr, nullptr, {&B::param1, &B::param2, &B::param3}},
    {C::kWritePref, CbWritePref, kRuns, nullptr, nullptr, {&B::param1, &B::param2, &B::param3}},
    {C::kWriteStackResource, CbWriteStackResource, kWaits, KeepResourceRequest, nullptr, {&B::param1}},
    {C::kGoToStack, CbGoToStack, kRefused, nullptr, AnswerNotOpened, {&B::param1, &B::param3}},
    {C::kSetHomeToCurrent, CbSetHomeToCurrent, kWaits},
    {C::kSelectTool, CbSelectTool, kWaits, nullptr, AnswerToolUnchanged, {}, SelectsATool},
    {C::kSetTransition, CbSetTransition, kRuns, nullptr, nullptr, {&B::param1, &B::param3}},
    {C::kChoosePicture, CbChoosePicture, kRuns},
    {C::kGetAppPalette, CbGetAppPalette, kRuns},
    {C::kChooseTransition, CbChooseTransition, kWaits, nullptr, AnswerCancelled},
    {C::kSetUpdateMode, CbSetUpdateMode, kWaits},
    {C::kSaveBackground, CbSaveBackground, kWaits},
    {C::kMovieAction, CbMovieAction, kWaits},
    {C::kReleaseOffscreenDC, CbReleaseOffscreenDC, kRuns},
    {C::kLoadGraphicFile, CbLoadGraphicFile, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kIsMacRomanText, CbIsMacRomanText, kRuns},
    {C::kPrint, CbPrint, kWaits, KeepPrintRequest, AnswerNothingDone, {&B::param2}},
    {C::kLockScreen, CbLockScreen, kWaits},
    {C::kUnlockScreen, CbUnlockScreen, kWaits},
    {C::kRunLogoScript, CbRunLogoScript, kWaits, KeepScriptText, nullptr, {&B::param1}},
    {C::kGetCardName, CbGetCardName, kRuns},
    {C::kOpenLogoRunBox, CbOpenLogoRunBox, kWaits},
    {C::kSetCursorHideMode, CbSetCursorHideMode, kRuns},
    {C::kShowFavorites, CbShowFavorites, kWaits},
    {C::kShowShortcuts, CbShowShortcuts, kWaits},
    {C::kSaveStackPreview, CbSaveStackPreview, kWaits},
    {C::kDoObjectActions, CbDoObjectActions, kWaits, KeepObjectRef, AnswerNothingDone, {&B::param3, &B::param4}},
    {C::kFindCardByName, CbFindCardByName, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kGetObjectNameAt, CbGetObjectNameAt, kRuns},
    {C::kSetObjectName, CbSetObjectName, kWaits, KeepObjectNameAt, nullptr, {&B::param4}, NamesTheObject},
    {C::kSetCardName, CbSetCardName, kWaits, KeepCardNameText, nullptr, {&B::param3}, NamesTheCard},
    {C::kSwapObjects, CbSwapObjects, kWaits, KeepSwappedObjects, AnswerNoResult},
    {C::kGetActiveField, CbGetActiveField, kRuns},
    {C::kNextActiveField, CbNextActiveField, kWaits},
    {C::kHitTestObjects, CbHitTestObjects, kRuns, nullptr, nullptr, {&B::param1}},
    {C::kGetObjectChunk, CbGetObjectChunk, kRuns, nullptr, nullptr, {&B::param3, &B::param4}},
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
    if (!row || (row->writes && !row->writes(b)))
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
