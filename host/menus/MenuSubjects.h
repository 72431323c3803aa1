// What the menus' enabling and texts depend on: the active text, the selections, the undo step,
// the clipboard and the home stack. The subsystems that own them install a provider; until then
// the default provider (MenuSubjects_win.cpp) reports what the host can see itself.
#pragma once

#include <string>

struct MenuSubjects {
    bool activeField = false;      // a text field is being edited
    bool objectActive = false;     // a text object is active (printing prints its text)
    bool paintSelection = false;   // a floating paint selection exists
    bool objectSelected = false;
    bool graphicPicture = false;   // the selected object is a graphic with a picture
    bool flippableGraphic = false; // that picture is the stack's own, not a file's
    bool homeStackKnown = false;
    bool presentationMode = false;
    std::string undoText;          // empty: nothing to undo
    std::string selectionNoun;     // what Cut, Copy and Clear act on
    std::string clipboardNoun;     // empty: nothing to paste
    std::string objectItemText;    // the selected object's item (300), empty for none
};

// host/wiring keeps the default provider; tests/host/menus/MenuCommands_win_test.cpp installs one.
using MenuSubjectsProvider = MenuSubjects (*)();
// Null restores the default provider.
void SetMenuSubjectsProvider(MenuSubjectsProvider provider);
MenuSubjects GetMenuSubjects();
