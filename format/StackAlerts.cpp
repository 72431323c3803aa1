// The alerts through which opening refuses a stack. The Windows build shows them from the string
// table (resources/strings.rci holds the same texts); the texts are kept here as well so that
// the platform-neutral tools can report a refusal as the plug-in words it.
#include "format/StackFile.h"

namespace {

struct StackAlert {
    int id;
    const char* text;
};

constexpr StackAlert kStackAlerts[] = {
    {kAlertStackTooNew,
     "74This stack cannot be loaded by this version of Pageloom.\nContact Quillmark for update "
     "information.~^OK"},
    {kAlertStackTooOld,
     "64Sorry, I can't open this stack because it was saved with an older version of Pageloom.\n"
     "I should be able to open it if you load and save it with the latest Macintosh version.~^OK"},
    {kAlertBlackAndWhiteStack,
     "64Sorry, this version of Pageloom can't load black and white stacks.\nPlease convert this "
     "stack to 256 colors with the Macintosh version and try again.~^Sorry"},
    {kAlertNotAStack, "34I'm sorry, I can't load this file because it is not a stack.~^OK"},
    {kAlertSmallCards,
     "64The stack's card size must be at least %d wide and %d high. Do you want to convert it to "
     "the minimum size?~^Yes~No"},
    {kAlertNoCardsRead,
     "02Because of an error,\nI wasn't able to read any cards from this stack.~^Sorry"},
};

}  // namespace

const char* StackAlertText(int alertId) {
    for (const StackAlert& alert : kStackAlerts)
        if (alert.id == alertId)
            return alert.text;
    return nullptr;
}
