// MINIMAL: handlers not written yet do nothing; each moves to its group file when built.
#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"

void CbFindText(NbaParamBlock&) {}
void CbDoMenuItem(NbaParamBlock&) {}
void CbDispatchMessage(NbaParamBlock&) {}
void CbWaitWithMessages(NbaParamBlock&) {}
void CbScrollField(NbaParamBlock&) {}
void CbGetDrawingTargets(NbaParamBlock&) {}
void CbGetCurrentScore(NbaParamBlock&) {}
void CbAutoMaskBitmap(NbaParamBlock&) {}
void CbPlaySoundFile(NbaParamBlock&) {}
void CbPlaySoundResource(NbaParamBlock&) {}
void CbGetFieldText(NbaParamBlock&) {}
void CbSetFieldText(NbaParamBlock&) {}
void CbCallNba(NbaParamBlock&) {}
void CbDoAlert(NbaParamBlock&) {}
void CbGetObjectName(NbaParamBlock&) {}
void CbDrawToScreen(NbaParamBlock&) {}
void CbDrawToOffscreen(NbaParamBlock&) {}
void CbIsMediaDone(NbaParamBlock&) {}
void CbRecordPaintUndo(NbaParamBlock&) {}
void CbPrintField(NbaParamBlock&) {}
void CbImportTextFile(NbaParamBlock&) {}
void CbSaveHandleToFile(NbaParamBlock&) {}
void CbPrintHandle(NbaParamBlock&) {}
void CbGetToolState(NbaParamBlock&) {}
void CbSetActiveField(NbaParamBlock&) {}
void CbRenderCardToDib(NbaParamBlock&) {}
void CbSelectTool(NbaParamBlock&) {}
void CbSetTransition(NbaParamBlock&) {}
void CbChoosePicture(NbaParamBlock&) {}
void CbGetAppPalette(NbaParamBlock&) {}
void CbChooseTransition(NbaParamBlock&) {}
void CbSaveBackground(NbaParamBlock&) {}
void CbMovieAction(NbaParamBlock&) {}
void CbReleaseOffscreenDC(NbaParamBlock&) {}
void CbLoadGraphicFile(NbaParamBlock&) {}
void CbPrint(NbaParamBlock&) {}
void CbRunLogoScript(NbaParamBlock&) {}
void CbOpenLogoRunBox(NbaParamBlock&) {}
void CbSetCursorHideMode(NbaParamBlock&) {}
void CbShowFavorites(NbaParamBlock&) {}
void CbShowShortcuts(NbaParamBlock&) {}
void CbSaveStackPreview(NbaParamBlock&) {}
void CbGetActiveField(NbaParamBlock&) {}
void CbNextActiveField(NbaParamBlock&) {}
