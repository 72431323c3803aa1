// The default menu subjects: MINIMAL until the text fields, undo and clipboard report theirs
// (no active field, nothing to undo, no nouns).
#include "host/menus/MenuSubjects.h"

#include "graphics/layers/ObjectLayer.h"
#include "objects/ObjectServices.h"
#include "paint/PaintTools.h"
#include "stack/open/StackOpenSession.h"

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
    }
    return subjects;
}

MenuSubjectsProvider g_provider = HostSubjects;

}  // namespace

void SetMenuSubjectsProvider(MenuSubjectsProvider provider) { g_provider = provider ? provider : HostSubjects; }
MenuSubjects GetMenuSubjects() { return g_provider(); }
