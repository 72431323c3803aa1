// MINIMAL until the text links are built: no link is carried.
#include "objects/text/TextLinks.h"

void UpdateLinkResource(Handle, uint16_t, Handle*, int) {}
