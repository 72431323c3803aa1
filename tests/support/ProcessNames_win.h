// Names of files, folders and pages that no other test process of a run has used. Wine gives
// process ids again once its server starts over (a run's shard restarts it between display
// depths) while the prefix keeps its download cache and temporary folder, so the id alone is not
// enough: with it goes the time the process started.
#pragma once

#include <string>
#include <string_view>

// "<process id>-<start time>": the same all through one process.
const std::string& ProcessTag();
// STEM-<tag>-<n>.EXT (no extension when EXT is empty): a new name at every call, since the
// download cache keeps what a name brought before.
std::string ProcessUniqueName(std::string_view stem, std::string_view extension = {});
