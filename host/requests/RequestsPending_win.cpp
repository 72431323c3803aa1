// MINIMAL: handlers not written yet do nothing; each moves to its group file when built.
#include "host/performing/ButtonActions.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestHandlers.h"

void CbGoFirstCard(NbaParamBlock&) {}
void CbGoLastCard(NbaParamBlock&) {}
void CbGoPrevCard(NbaParamBlock&) {}
void CbGoNextCard(NbaParamBlock&) {}
void CbGoToCard(NbaParamBlock&) {}
void CbRedrawCard(NbaParamBlock&) {}
void CbGetStackPaths(NbaParamBlock&) {}
void CbIsStackLocked(NbaParamBlock&) {}
void CbGetVersion(NbaParamBlock&) {}
void CbGetStackFileFields(NbaParamBlock&) {}
void CbCountCards(NbaParamBlock&) {}
void CbNewHandle(NbaParamBlock&) {}
void CbLockHandle(NbaParamBlock&) {}
void CbUnlockHandle(NbaParamBlock&) {}
void CbGetStackHandles(NbaParamBlock&) {}
void CbGetCardByIndex(NbaParamBlock&) {}
void CbGetCardIndex(NbaParamBlock&) {}
void CbGetNextCard(NbaParamBlock&) {}
void CbGetFirstObject(NbaParamBlock&) {}
void CbGetNextObject(NbaParamBlock&) {}
void CbFindObject(NbaParamBlock&) {}
void CbHideObject(NbaParamBlock&) {}
void CbShowObject(NbaParamBlock&) {}
void CbLockObject(NbaParamBlock&) {}
void CbUnlockObject(NbaParamBlock&) {}
void CbDeleteObject(NbaParamBlock&) {}
void CbGetObjectRect(NbaParamBlock&) {}
void CbSetObjectRect(NbaParamBlock&) {}
void CbGetObjectValue(NbaParamBlock&) {}
void CbSetObjectValue(NbaParamBlock&) {}
void CbGetObjectInfo(NbaParamBlock&) {}
void CbGetObjectPos(NbaParamBlock&) {}
void CbDoButton(NbaParamBlock&) {}
void CbGetFileSpecTable(NbaParamBlock&) {}
void CbSwapCards(NbaParamBlock&) {}
void CbSortCards(NbaParamBlock&) {}
void CbMarkCardChanged(NbaParamBlock&) {}
void CbMarkStackChanged(NbaParamBlock&) {}
void CbStackDirty(NbaParamBlock&) {}
void CbGetScreenSettings(NbaParamBlock&) {}
void CbGetFileSpecPath(NbaParamBlock&) {}
void CbSetFileSpecPath(NbaParamBlock&) {}
void CbMarkCard(NbaParamBlock&) {}
void CbFindObjectOnCard(NbaParamBlock&) {}
void CbDisposeHandle(NbaParamBlock&) {}
void CbGetHandleGlobal(NbaParamBlock&) {}
void CbSetHandleSize(NbaParamBlock&) {}
void CbGetHandleSize(NbaParamBlock&) {}
void CbGetHandleFlags(NbaParamBlock&) {}
void CbIsHandleDiscarded(NbaParamBlock&) {}
void CbGetCardById(NbaParamBlock&) {}
void CbGetCardAtIndex(NbaParamBlock&) {}
void CbDeleteCard(NbaParamBlock&) {}
void CbInvertObject(NbaParamBlock&) {}
void CbReadPref(NbaParamBlock&) {}
void CbWritePref(NbaParamBlock&) {}
void CbWriteStackResource(NbaParamBlock&) {}
void CbGoToStack(NbaParamBlock&) {}
void CbSetHomeToCurrent(NbaParamBlock&) {}
void CbIsMacRomanText(NbaParamBlock&) {}
void CbGetCardName(NbaParamBlock&) {}
void CbDoObjectActions(NbaParamBlock&) {}
void CbFindCardByName(NbaParamBlock&) {}
void CbGetObjectNameAt(NbaParamBlock&) {}
void CbSetObjectName(NbaParamBlock&) {}
void CbSetCardName(NbaParamBlock&) {}
void CbSwapObjects(NbaParamBlock&) {}
void CbHitTestObjects(NbaParamBlock&) {}
void CbGetObjectChunk(NbaParamBlock&) {}
void CbGoHomeStack(NbaParamBlock&) {}

// Until the objects group keeps them: only the last button's name is known.
const uint8_t* LastPerformedObjectName(int kindIndex) { return kindIndex == 0 ? LastButtonName() : nullptr; }
