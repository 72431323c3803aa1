// Object order: objects are drawn in list order, so the end of a record's list lies in front.
#include <algorithm>
#include <vector>

#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"

namespace {

// Two neighbouring records change places in place, whatever their lengths.
void SwapNeighbours(Handle record, const ObjectPlace& first, const ObjectPlace& second) {
    HandleLock lock(record);
    if (!lock)
        return;
    uint8_t* base = lock.get();
    std::rotate(base + first.offset, base + second.offset, base + second.offset + second.length);
}

}  // namespace

int MoveObjectInList(Handle record, uint32_t offset, bool towardsFront, bool allTheWay) {
    const std::vector<ObjectPlace> places = CardObjectPlaces(record);
    const auto it = std::find_if(places.begin(), places.end(), [&](const ObjectPlace& p) { return p.offset == offset; });
    if (it == places.end())
        return 0;
    const size_t index = static_cast<size_t>(it - places.begin());
    const bool atEnd = index + 1 == places.size();
    const bool atStart = index == 0;
    if (towardsFront ? atEnd : atStart)
        return 0;
    if (allTheWay)
        return MoveObjectRecord(record, offset, record, false, !towardsFront);
    if (towardsFront)
        SwapNeighbours(record, places[index], places[index + 1]);
    else
        SwapNeighbours(record, places[index - 1], places[index]);
    return 1;
}
