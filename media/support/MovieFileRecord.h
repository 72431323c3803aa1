// The QuickTime file record (QtFSSpec) of a path. It holds a path of at most 254 characters; the longer
// ones the system takes (up to 259) go through their short (8.3) form, so that a movie, a sound
// or a picture in a deep folder is still opened, never refused for its path's length alone.
#pragma once

#include "quicktime/QtCalls.h"

// NativePathNameToFSSpec's results: a path whose short form does not fit either is
// kQtBadNameErr; one not there yet (an output) is named by its folder's short form.
QtErr MovieFileRecord(const char* path, QtFSSpec* file);
