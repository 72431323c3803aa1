// The Undo menu text from the string table.
#include <cstring>
#include <string>

#include "core/ui/Resources.h"
#include "paint/PasteUndoSelections.h"
#include "authoring/cards/UndoMenu.h"
#include "stack/undo/Undo.h"

bool GetUndoMenuText(char* buffer, size_t size, bool withShortcut) {
    std::string text = ResText(kStringUndo);
    const bool present = GetUndoCount() != 0;
    if (present) {
        const uint32_t name = UndoKindStringId(GetUndoKind());
        text += ' ';
        text += name == kStringUndoFilter ? std::string(LastFilterName()) : ResText(name);
    }
    if (withShortcut)
        text += ResText(kStringUndoShortcut);
    if (buffer && size) {
        const size_t n = text.size() < size - 1 ? text.size() : size - 1;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return present;
}
