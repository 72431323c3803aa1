// MINIMAL clipboard (see Clipboard.h).
#include "stack/Clipboard.h"

bool UpdatePasteMenuItem(char* noun, size_t size) {
    if (noun && size)
        noun[0] = '\0';
    return false;
}
