// MINIMAL object services (see ObjectServices.h): nothing is made, held or tracked yet.
#include "objects/ObjectServices.h"

void LoadSampleText() {}
void LoadCropCursors(HINSTANCE) {}
void InitFindState(HWND) {}
void FreeFindState() {}
void FreeGraphicEditBitmaps() {}

int BrowseGraphicMouseDown(HWND, LayerHandle, int, int) { return 0; }
int DragGraphicInBrowse(HWND, int, int) { return 0; }
int DropGraphicInBrowse(HWND, int, int) { return 0; }
int FollowTextLink(int, int, bool, int) { return 0; }
void TypeCharIntoActiveField(WPARAM) {}

void SelectObjectMouseDown(HWND, int, int, WPARAM) {}
int SelectObjectMouseMove(HWND, int, int) { return 0; }
int SelectObjectMouseUp(HWND, LPARAM) { return 0; }
void EditObjectAtPoint(HWND, int, int, bool) {}
LayerHandle GetSelectedObject() { return nullptr; }
void DeselectObject(HWND) {}
void SelectedObjectEditCommand(HWND, int) {}
int NudgeSelectedObject(HWND, WPARAM, bool) { return 0; }
void EndObjectNudge() {}
// MINIMAL until field editing comes: no field is edited any more (its text is not saved yet).
void ClearActiveTextField() { SetActiveTextField(nullptr); }

int PlacedGraphicMouseDown(HWND, int, int) { return 0; }
int PlacedGraphicMouseMove(HWND, int, int) { return 0; }
int PlacedGraphicMouseUp() { return 0; }
bool IsPlacedGraphicShown() { return false; }
void DrawPlacedGraphic(HWND) {}
int NudgePlacedGraphic(WPARAM, bool) { return 0; }
int NewTextFieldMouseDown(HWND, int, int) { return 0; }
int NewTextFieldMouseMove(HWND, int, int) { return 0; }
int NewTextFieldMouseUp(HWND) { return 0; }
bool IsPlacedTextFieldShown() { return false; }
void CancelPlacedTextField(HWND) {}
int NudgePlacedTextField(WPARAM, bool) { return 0; }

void InitSpareButtonRecord() {}
void FreeSpareButtonRecord() {}
