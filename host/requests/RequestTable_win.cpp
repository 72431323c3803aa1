#include "host/requests/HostRequests.h"

#include <array>

#include "actions/NbaModules.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestHold.h"

namespace {

// Slot n answers request n. Empty slots are codes never handed out; the do-nothing handler
// marks codes that old modules still send.
constexpr std::array<RequestHandler, kRequestCodeCount> kRequestTable = {
    nullptr,  // 0
    CbGoFirstCard,  // 1
    CbGoLastCard,  // 2
    CbGoPrevCard,  // 3
    CbGoNextCard,  // 4
    CbGoToCard,  // 5
    CbRedrawCard,  // 6
    CbGetStackPaths,  // 7
    CbFindText,  // 8
    EmptyCallback,  // 9
    CbDoMenuItem,  // 10
    CbIsStackLocked,  // 11
    CbGetVersion,  // 12
    CbGetStackFileFields,  // 13
    CbCountCards,  // 14
    CbNewHandle,  // 15
    CbLockHandle,  // 16
    CbUnlockHandle,  // 17
    CbGetStackHandles,  // 18
    CbGetCardByIndex,  // 19
    CbGetCardIndex,  // 20
    CbGetNextCard,  // 21
    CbGetFirstObject,  // 22
    CbGetNextObject,  // 23
    CbFindObject,  // 24
    EmptyCallback,  // 25
    CbHideObject,  // 26
    CbShowObject,  // 27
    CbLockObject,  // 28
    CbUnlockObject,  // 29
    CbDeleteObject,  // 30
    CbGetObjectRect,  // 31
    CbSetObjectRect,  // 32
    CbGetObjectValue,  // 33
    CbSetObjectValue,  // 34
    CbGetObjectInfo,  // 35
    EmptyCallback,  // 36
    CbGetObjectPos,  // 37
    UpdateRequestedObject,  // 38
    CbDispatchMessage,  // 39
    EmptyCallback,  // 40
    EmptyCallback,  // 41
    CbWaitWithMessages,  // 42
    CbDoButton,  // 43
    CbScrollField,  // 44
    EmptyCallback,  // 45
    EmptyCallback,  // 46
    EmptyCallback,  // 47
    CbGetDrawingTargets,  // 48
    CbGetCurrentScore,  // 49
    CbAutoMaskBitmap,  // 50
    EmptyCallback,  // 51
    EmptyCallback,  // 52
    EmptyCallback,  // 53
    CbPlaySoundFile,  // 54
    CbPlaySoundResource,  // 55
    EmptyCallback,  // 56
    EmptyCallback,  // 57
    CbGetFieldText,  // 58
    CbSetFieldText,  // 59
    EmptyCallback,  // 60
    CbGetFileSpecTable,  // 61
    CbSwapCards,  // 62
    CbSortCards,  // 63
    CbMarkCardChanged,  // 64
    EmptyCallback,  // 65
    EmptyCallback,  // 66
    CbCallNba,  // 67
    CbDoAlert,  // 68
    EmptyCallback,  // 69
    CbMarkStackChanged,  // 70
    CbGetObjectName,  // 71
    CbStackDirty,  // 72
    EmptyCallback,  // 73
    EmptyCallback,  // 74
    CbGetScreenSettings,  // 75
    EmptyCallback,  // 76
    EmptyCallback,  // 77
    EmptyCallback,  // 78
    EmptyCallback,  // 79
    EmptyCallback,  // 80
    CbGetFileSpecPath,  // 81
    CbSetFileSpecPath,  // 82
    EmptyCallback,  // 83
    EmptyCallback,  // 84
    CbDrawToScreen,  // 85
    CbDrawToOffscreen,  // 86
    EmptyCallback,  // 87
    EmptyCallback,  // 88
    CbIsMediaDone,  // 89
    EmptyCallback,  // 90
    CbMarkCard,  // 91
    EmptyCallback,  // 92
    CbFindObjectOnCard,  // 93
    EmptyCallback,  // 94
    EmptyCallback,  // 95
    CbRecordPaintUndo,  // 96
    EmptyCallback,  // 97
    EmptyCallback,  // 98
    CbPrintField,  // 99
    CbImportTextFile,  // 100
    CbSaveHandleToFile,  // 101
    CbPrintHandle,  // 102
    CbGetToolState,  // 103
    nullptr,  // 104
    EmptyCallback,  // 105
    EmptyCallback,  // 106
    CbDisposeHandle,  // 107
    CbGetHandleGlobal,  // 108
    CbSetActiveField,  // 109
    CbSetHandleSize,  // 110
    CbGetHandleSize,  // 111
    CbGetHandleFlags,  // 112
    EmptyCallback,  // 113
    CbIsHandleDiscarded,  // 114
    CbRenderCardToDib,  // 115
    EmptyCallback,  // 116
    CbGetCardById,  // 117
    CbGetCardAtIndex,  // 118
    CbDeleteCard,  // 119
    nullptr,  // 120
    nullptr,  // 121
    CbInvertObject,  // 122
    EmptyCallback,  // 123
    CbReadPref,  // 124
    CbWritePref,  // 125
    EmptyCallback,  // 126
    CbWriteStackResource,  // 127
    EmptyCallback,  // 128
    CbGoToStack,  // 129
    nullptr,  // 130
    CbSetHomeToCurrent,  // 131
    nullptr,  // 132
    nullptr,  // 133
    nullptr,  // 134
    nullptr,  // 135
    nullptr,  // 136
    nullptr,  // 137
    nullptr,  // 138
    nullptr,  // 139
    nullptr,  // 140
    nullptr,  // 141
    nullptr,  // 142
    nullptr,  // 143
    nullptr,  // 144
    nullptr,  // 145
    CbSelectTool,  // 146
    nullptr,  // 147
    CbSetTransition,  // 148
    CbChoosePicture,  // 149
    CbGetAppPalette,  // 150
    CbChooseTransition,  // 151
    CbSetUpdateMode,  // 152
    nullptr,  // 153
    nullptr,  // 154
    nullptr,  // 155
    nullptr,  // 156
    nullptr,  // 157
    nullptr,  // 158
    CbSaveBackground,  // 159
    CbMovieAction,  // 160
    CbReleaseOffscreenDC,  // 161
    CbLoadGraphicFile,  // 162
    CbIsMacRomanText,  // 163
    CbPrint,  // 164
    nullptr,  // 165
    nullptr,  // 166
    nullptr,  // 167
    nullptr,  // 168
    nullptr,  // 169
    CbLockScreen,  // 170
    CbUnlockScreen,  // 171
    CbRunLogoScript,  // 172
    CbGetCardName,  // 173
    CbOpenLogoRunBox,  // 174
    CbSetCursorHideMode,  // 175
    CbShowFavorites,  // 176
    CbShowShortcuts,  // 177
    CbSaveStackPreview,  // 178
    nullptr,  // 179
    CbDoObjectActions,  // 180
    CbFindCardByName,  // 181
    CbGetObjectNameAt,  // 182
    CbSetObjectName,  // 183
    CbSetCardName,  // 184
    CbSwapObjects,  // 185
    CbGetActiveField,  // 186
    CbNextActiveField,  // 187
    CbHitTestObjects,  // 188
    CbGetObjectChunk,  // 189
    CbGoHomeStack,  // 190
};

}  // namespace

void EmptyCallback(NbaParamBlock&) {}

RequestHandler RequestHandlerOf(int code) {
    if (code < 0 || code >= kRequestCodeCount)
        return nullptr;
    return kRequestTable[static_cast<size_t>(code)];
}

void NBA_CDECL DispatchCallback(NbaParamBlock*) {
    NbaParamBlock& b = *GetNbaParamBlock();
    // The code is a signed word: negative codes and codes past the table are no requests.
    const int code = static_cast<int16_t>(b.message);
    const RequestHandler handler = RequestHandlerOf(code);
    if (handler && !GuardRequest(code, b))
        handler(b);
}
