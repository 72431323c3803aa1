// The default menu subjects: the active field and its noun, the selections and the home stack
// (undo and the clipboard name themselves when the menu updates).
#include "host/menus/MenuSubjects.h"

#include "layers/ObjectLayer.h"
#include "objects/ObjectServices.h"
#include "objects/text/ActiveTextField.h"
#include "paint/PaintTools.h"
#include "stack/StackOpenSession.h"
#include "authoring/graphics/GraphicFlip.h"

namespace {

MenuSubjects HostSubjects() {
    MenuSubjects subjects;
    subjects.paintSelection = HasFloatingSelection();
    subjects.homeStackKnown = IsHomeStackKnown();
    if (LayerHandle selected = GetSelectedObject()) {
        subjects.objectSelected = true;
        if (auto* layer = static_cast<GraphicLayer*>(GlobalLock(selected))) {
            subjects.graphicPicture = layer->common.kind == kObjectGraphic && layer->picture;
            GlobalUnlock(selected);
        }
        subjects.flippableGraphic = CanFlipSelectedGraphic();
        char text[80] = {};
        GetObjectMenuItemText(text, sizeof text);
        subjects.objectItemText = text;
        GetSelectedObjectNoun(text, sizeof text);
        subjects.selectionNoun = text;
    }
    subjects.activeField = GetActiveTextField() != nullptr;
    // The field's text is what Cut, Copy and Clear take when nothing else is selected.
    char noun[80] = {};
    if (!subjects.objectSelected && !subjects.paintSelection && GetFieldEditNoun(noun, sizeof noun))
        subjects.selectionNoun = noun;
    return subjects;
}

MenuSubjectsProvider g_provider = HostSubjects;

}  // namespace

void SetMenuSubjectsProvider(MenuSubjectsProvider provider) { g_provider = provider ? provider : HostSubjects; }
MenuSubjects GetMenuSubjects() { return g_provider(); }
