// The stand-in's fixed lists: the rows of every concern, and the component kinds.
#include "quicktime/dll/QtStandIn.h"

#include <array>
#include <span>

namespace {

using RowsOf = std::span<const StandInRow> (*)();
using KindOf = const StandInComponentKind* (*)();

constexpr RowsOf kConcerns[] = {
    StandInStartRows,  StandInEffectRows, StandInComponentRows, StandInHandleRows,
    StandInRegionRows, StandInFileRows,   StandInMovieRows,
#if defined(_WIN32)
    StandInPortRows,   StandInGWorldRows, StandInImporterRows,
#endif
};

constexpr KindOf kComponentKinds[] = {
    StandInControllerKind, StandInMovieImportKind, StandInMovieExportKind,
#if defined(_WIN32)
    StandInGraphicsImporterKind,
#endif
};

}  // namespace

intptr_t StandInDispatch(uint32_t selector, const QtWord* args) {
    static constexpr QtWord kNoArgs[16] = {};
    for (RowsOf rows : kConcerns)
        for (const StandInRow& row : rows())
            if (row.selector == selector)
                return row.call(args ? args : kNoArgs);
    return kQtUnimplemented;
}

std::span<const StandInComponentKind* const> StandInComponentKinds() {
    static const auto kinds = [] {
        std::array<const StandInComponentKind*, std::size(kComponentKinds)> all{};
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = kComponentKinds[i]();
        return all;
    }();
    return kinds;
}
