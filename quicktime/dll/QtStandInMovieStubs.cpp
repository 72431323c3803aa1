// Place-holders for the movie concern until its files come: no movie rows, no controller,
// importer or exporter kinds (null kinds are skipped).
#include "quicktime/dll/QtStandIn.h"

std::span<const StandInRow> StandInMovieRows() { return {}; }
const StandInComponentKind* StandInControllerKind() { return nullptr; }
const StandInComponentKind* StandInMovieImportKind() { return nullptr; }
const StandInComponentKind* StandInMovieExportKind() { return nullptr; }
