// The one table of the host requests (RequestTable_win.cpp): a row per request code, with its
// handler, its rule while an authoring dialog, the card walk or an editing loop runs, the keeper
// that copies what its pointers and handles name when it must wait, and what the module is
// answered meanwhile. The entry, the guard and the held request all read this row; nothing
// about a request is kept anywhere else.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "actions/NbaInterface.h"
#include "host/requests/HostRequests.h"

// The request codes that do something; the others are empty slots or codes old modules still
// send, which do nothing (kRetiredRequestCodes).
enum class RequestCode : uint8_t {
    kGoFirstCard = 1,
    kGoLastCard = 2,
    kGoPrevCard = 3,
    kGoNextCard = 4,
    kGoToCard = 5,
    kRedrawCard = 6,
    kGetStackPaths = 7,
    kFindText = 8,
    kDoMenuItem = 10,
    kIsStackLocked = 11,
    kGetVersion = 12,
    kGetStackFileFields = 13,
    kCountCards = 14,
    kNewHandle = 15,
    kLockHandle = 16,
    kUnlockHandle = 17,
    kGetStackHandles = 18,
    kGetCardByIndex = 19,
    kGetCardIndex = 20,
    kGetNextCard = 21,
    kGetFirstObject = 22,
    kGetNextObject = 23,
    kFindObject = 24,
    kHideObject = 26,
    kShowObject = 27,
    kLockObject = 28,
    kUnlockObject = 29,
    kDeleteObject = 30,
    kGetObjectRect = 31,
    kSetObjectRect = 32,
    kGetObjectValue = 33,
    kSetObjectValue = 34,
    kGetObjectInfo = 35,
    kGetObjectPos = 37,
    kUpdateRequestedObject = 38,
    kDispatchMessage = 39,
    kWaitWithMessages = 42,
    kDoButton = 43,
    kScrollField = 44,
    kGetDrawingTargets = 48,
    kGetCurrentScore = 49,
    kAutoMaskBitmap = 50,
    kPlaySoundFile = 54,
    kPlaySoundResource = 55,
    kGetFieldText = 58,
    kSetFieldText = 59,
    kGetFileSpecTable = 61,
    kSwapCards = 62,
    kSortCards = 63,
    kMarkCardChanged = 64,
    kCallNba = 67,
    kDoAlert = 68,
    kMarkStackChanged = 70,
    kGetObjectName = 71,
    kStackDirty = 72,
    kGetScreenSettings = 75,
    kGetFileSpecPath = 81,
    kSetFileSpecPath = 82,
    kDrawToScreen = 85,
    kDrawToOffscreen = 86,
    kIsMediaDone = 89,
    kMarkCard = 91,
    kFindObjectOnCard = 93,
    kRecordPaintUndo = 96,
    kPrintField = 99,
    kImportTextFile = 100,
    kSaveHandleToFile = 101,
    kPrintHandle = 102,
    kGetToolState = 103,
    kDisposeHandle = 107,
    kGetHandleGlobal = 108,
    kSetActiveField = 109,
    kSetHandleSize = 110,
    kGetHandleSize = 111,
    kGetHandleFlags = 112,
    kIsHandleDiscarded = 114,
    kRenderCardToDib = 115,
    kGetCardById = 117,
    kGetCardAtIndex = 118,
    kDeleteCard = 119,
    kInvertObject = 122,
    kReadPref = 124,
    kWritePref = 125,
    kWriteStackResource = 127,
    kGoToStack = 129,
    kSetHomeToCurrent = 131,
    kSelectTool = 146,
    kSetTransition = 148,
    kChoosePicture = 149,
    kGetAppPalette = 150,
    kChooseTransition = 151,
    kSetUpdateMode = 152,
    kSaveBackground = 159,
    kMovieAction = 160,
    kReleaseOffscreenDC = 161,
    kLoadGraphicFile = 162,
    kIsMacRomanText = 163,
    kPrint = 164,
    kLockScreen = 170,
    kUnlockScreen = 171,
    kRunLogoScript = 172,
    kGetCardName = 173,
    kOpenLogoRunBox = 174,
    kSetCursorHideMode = 175,
    kShowFavorites = 176,
    kShowShortcuts = 177,
    kSaveStackPreview = 178,
    kDoObjectActions = 180,
    kFindCardByName = 181,
    kGetObjectNameAt = 182,
    kSetObjectName = 183,
    kSetCardName = 184,
    kSwapObjects = 185,
    kGetActiveField = 186,
    kNextActiveField = 187,
    kHitTestObjects = 188,
    kGetObjectChunk = 189,
    kGoHomeStack = 190,
};

inline constexpr std::array<uint8_t, 41> kRetiredRequestCodes = {
    9,  25, 36, 40, 41, 45, 46, 47, 51, 52, 53, 56, 57, 60, 65, 66, 69, 73, 74, 76, 77,
    78, 79, 80, 83, 84, 87, 88, 90, 92, 94, 95, 97, 98, 105, 106, 113, 116, 123, 126, 128,
};

// What a request may do while an editor runs: run at once (it only reads, or touches only the
// module's own memory, plays media or shows the module's own window), wait until the last
// editor has ended (it would change the stack, a card, an object, a layer or the tool), or be
// refused with a failure's answer (it would hand out the card to draw into, or open another
// stack under the edit).
enum class GuardedRequest : uint8_t { kRuns, kWaits, kRefused };

// A field of the block.
using BlockField = uint32_t NbaParamBlock::*;

// What is copied, at the moment a waiting request is kept, of what its pointers and handles
// name: the module may free them as soon as it is answered (RequestHold_win.cpp).
enum class ArgumentKeeper : uint8_t {
    kNothing,
    kNameWhenNoId,      // the name at [58] when [50] gives no id
    kFindText,          // the text at [50]
    kMenuItem,          // the menu and item texts at [58] and [62]
    kObjectRef,         // the object reference's names
    kObjectRefAndRect,  // and the rectangle at [66]
    kScrollTarget,      // the reference, when no window is given
    kGivenText,         // the reference, and the text handles handed over
    kSwappedCardNames,  // the names of the cards given by name
    kSortFieldName,     // the text object's name at [50]
    kResourceRequest,   // the resource request and its data
    kPrintRequest,      // a copy of what the print request's handle holds
    kScriptText,        // the script text at [50]
    kObjectNameAt,      // the object by place, and the name at [62]
    kCardNameText,      // the name at [58]
    kSwappedObjects,    // the two objects by place
};

// What the module finds in the block when its request waits or is refused: nothing done yet.
enum class HeldAnswer : uint8_t {
    kNothing,
    kNothingDone,       // [50] 0
    kNotFound,          // [54] 0
    kNoResult,          // [66] 0
    kToolUnchanged,     // [54] the current tool
    kCancelled,         // [54] the chooser's Cancel
    kNoDrawingTargets,  // [50], [54], [58] 0
};

// The codes that write only in one of their modes, and read in the others.
enum class WritingMode : uint8_t {
    kAlways,
    kSelectingATool,    // [50] 1
    kNamingTheObject,   // [58] 2
    kNamingTheCard,     // [54] 1
};

struct RequestRow {
    RequestCode code;
    RequestHandler handler;
    GuardedRequest rule;
    ArgumentKeeper keep = ArgumentKeeper::kNothing;
    HeldAnswer answer = HeldAnswer::kNothing;
    // The fields that may carry a pointer or a handle of the module.
    std::array<BlockField, 3> pointers = {};
    WritingMode writes = WritingMode::kAlways;
};

// The row of a code; null for an empty slot, a retired code or a code outside 0 to 190.
const RequestRow* RequestRowOf(int code);
// Every row, by code.
std::span<const RequestRow> RequestRows();

// The rule of a code as its row gives it (others run: they do nothing).
GuardedRequest GuardedRequestRule(int code);
// The rule of this request: its row's, except for a mode that only reads, which runs.
GuardedRequest GuardedRequestOf(int code, const NbaParamBlock& b);
